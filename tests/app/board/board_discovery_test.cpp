// Discovery: which ids are tried (every one for ISA, up to the first silent one
// otherwise), which board is opened at the end and what becomes of BaseNumber.

#include "app/board/board_discovery.h"
#include "tests/app/board/board_fakes.h"

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

namespace {

struct DiscoveryCase {
    const char* name;
    DeviceKind kind;
    std::vector<int32_t> ids;
    std::vector<int32_t> answering;
    int baseNumber;
    std::vector<int32_t> expectedCalls; // OpenBoard ids, scan and final open
    int expectedFound;
    int expectedBaseNumber;
    int32_t expectedSelected; // meaningful when a board was found
};

void PrintTo(const DiscoveryCase& row, std::ostream* out) {
    *out << row.name;
}

class Discover : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(Discover, TriesOpensAndSelects) {
    const DiscoveryCase& c = GetParam();
    boardtest::FakeDriver driver;
    driver.answering.insert(c.answering.begin(), c.answering.end());
    int baseNumber = c.baseNumber;
    const board::Discovery found = board::DiscoverBoards(&driver, c.kind, c.ids, baseNumber);
    EXPECT_EQ(driver.opened, c.expectedCalls);
    EXPECT_EQ(found.Found(), c.expectedFound);
    EXPECT_EQ(baseNumber, c.expectedBaseNumber);
    if (c.expectedFound > 0) {
        EXPECT_EQ(found.selectedId, c.expectedSelected);
        EXPECT_EQ(driver.opened.back(), c.expectedSelected); // the selected board is current
        EXPECT_EQ(found.baseNumberReset, c.baseNumber != c.expectedBaseNumber);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boards, Discover,
    ::testing::Values(
        // Only the third of three ISA addresses answers: all three are tried.
        DiscoveryCase{"IsaThirdOnly",
                      DeviceKind::Isa,
                      {0x300, 0x310, 0x320},
                      {0x320},
                      0,
                      {0x300, 0x310, 0x320, 0x320},
                      1,
                      0,
                      0x320},
        // A PCI board whose first id is silent: the scan stops at once.
        DiscoveryCase{"PciFirstSilent", DeviceKind::Pci, {0, 1, 2}, {1, 2}, 0, {0}, 0, 0, 0},
        // Nothing found: BaseNumber stays as it was.
        DiscoveryCase{"UsbNoneKeepsBaseNumber", DeviceKind::Usb, {0, 1}, {}, 3, {0}, 0, 3, 0},
        // BaseNumber 5 with two boards: the first is opened and BaseNumber becomes 0.
        DiscoveryCase{"BaseNumberBeyondFound",
                      DeviceKind::Pci,
                      {0, 1, 2, 3},
                      {0, 1},
                      5,
                      {0, 1, 2, 0},
                      2,
                      0,
                      0},
        DiscoveryCase{
            "NegativeBaseNumber", DeviceKind::Usb, {0, 1}, {0, 1}, -1, {0, 1, 0}, 2, 0, 0},
        DiscoveryCase{"BaseNumberWithinFound",
                      DeviceKind::Usb,
                      {0, 1, 2},
                      {0, 1, 2},
                      2,
                      {0, 1, 2, 2},
                      3,
                      2,
                      2},
        // ISA: the selected index counts the addresses that answered, not the list.
        DiscoveryCase{"IsaIndexAmongAnswered",
                      DeviceKind::Isa,
                      {0x300, 0x310, 0x320, 0x330},
                      {0x310, 0x330},
                      1,
                      {0x300, 0x310, 0x320, 0x330, 0x330},
                      2,
                      1,
                      0x330}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
