// The board state display: glyph, Start, flash menu and power indicator for each
// kind and state, the USB board's connection and power, and what it remembers
// between updates.

#include "app/board/board_display.h"
#include "tests/app/board/board_fakes.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using board::BoardDisplay;
using board::DisplayInput;
using board::DisplayOutcome;
using boardtest::FakeDriver;

struct StaticCase {
    const char* name;
    DeviceKind kind;
    bool opened;
    bool found;
    int glyph;
    bool startEnabled;
};

void PrintTo(const StaticCase& row, std::ostream* out) {
    *out << row.name;
}

class StaticBoards : public ::testing::TestWithParam<StaticCase> {};

// ISA and PCI boards, and every board that is not opened: the glyph and Start
// follow from the kind and BoardFound alone; no driver call is made.
TEST_P(StaticBoards, GlyphAndStart) {
    const StaticCase& c = GetParam();
    FakeDriver driver;
    BoardDisplay display;
    DisplayInput input;
    input.kind = c.kind;
    input.boardOpened = c.opened;
    input.boardFound = c.found;
    input.startEnabled = !c.startEnabled; // the display must change it either way
    input.driver = &driver;
    const DisplayOutcome outcome = display.Update(input, false);
    ASSERT_TRUE(outcome.decision.plugGlyph);
    EXPECT_EQ(*outcome.decision.plugGlyph, c.glyph);
    ASSERT_TRUE(outcome.decision.startEnabled);
    EXPECT_EQ(*outcome.decision.startEnabled, c.startEnabled);
    EXPECT_EQ(outcome.boardFound, c.found);
    EXPECT_FALSE(outcome.recomputeNeeded);
    EXPECT_TRUE(driver.controls.empty());
    if (c.opened) {
        EXPECT_EQ(outcome.decision.powerVisible, false);
        EXPECT_EQ(outcome.decision.plugVisible, true);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Display, StaticBoards,
    ::testing::Values(StaticCase{"IsaNotOpened", DeviceKind::Isa, false, true, 6, false},
                      StaticCase{"PciNotOpened", DeviceKind::Pci, false, true, 7, false},
                      StaticCase{"UsbNotOpened", DeviceKind::Usb, false, true, 4, false},
                      StaticCase{"UnknownNotOpened", DeviceKind::Unknown, false, false, 7, false},
                      StaticCase{"IsaFound", DeviceKind::Isa, true, true, 2, true},
                      StaticCase{"IsaNotFound", DeviceKind::Isa, true, false, 6, false},
                      StaticCase{"PciFound", DeviceKind::Pci, true, true, 3, true},
                      StaticCase{"PciNotFound", DeviceKind::Pci, true, false, 7, false}),
    [](const auto& row) { return std::string(row.param.name); });

class UsbDisplay : public ::testing::Test {
protected:
    DisplayOutcome Update(bool startEnabled, bool force = false) {
        DisplayInput input;
        input.kind = DeviceKind::Usb;
        input.boardOpened = true;
        input.boardFound = true;
        input.startEnabled = startEnabled;
        input.fileLoaded = fileLoaded;
        input.driver = &driver;
        return display.Update(input, force);
    }
    void Connected(int32_t value) { driver.values[ctl::Connected] = value; }
    void Power(int32_t value) { driver.values[ctl::PowerNormal] = value; }

    FakeDriver driver;
    BoardDisplay display;
    bool fileLoaded = false;
};

TEST_F(UsbDisplay, ConnectedWithNormalPowerEnablesStartAndShowsBoth) {
    Connected(1);
    Power(1);
    fileLoaded = true;
    const DisplayOutcome outcome = Update(false);
    EXPECT_EQ(outcome.decision.startEnabled, true);
    EXPECT_EQ(outcome.decision.flashWriteEnabled, true); // a file is loaded
    EXPECT_EQ(outcome.decision.flashMenuEnabled, true);
    EXPECT_EQ(outcome.decision.plugGlyph, 0);
    EXPECT_EQ(outcome.decision.powerVisible, true);
    EXPECT_EQ(outcome.decision.powerNormalPicture, true);
    EXPECT_TRUE(outcome.boardFound);
    EXPECT_FALSE(outcome.recomputeNeeded);
}

TEST_F(UsbDisplay, UnchangedStateIsNotRedrawnUnlessForced) {
    Connected(1);
    Power(1);
    Update(false);
    const DisplayOutcome again = Update(true);
    EXPECT_FALSE(again.decision.plugGlyph);
    EXPECT_FALSE(again.decision.powerNormalPicture);
    EXPECT_FALSE(again.decision.startEnabled); // already enabled: left alone
    const DisplayOutcome forced = Update(true, true);
    EXPECT_EQ(forced.decision.plugGlyph, 0);
    EXPECT_EQ(forced.decision.powerNormalPicture, true);
}

TEST_F(UsbDisplay, UnpluggedDisablesStartAndWriteAndAsksForRecomputation) {
    Connected(1);
    Power(1);
    Update(false);
    Connected(0);
    const DisplayOutcome outcome = Update(true);
    EXPECT_EQ(outcome.decision.startEnabled, false);
    EXPECT_EQ(outcome.decision.flashWriteEnabled, false);
    EXPECT_EQ(outcome.decision.flashMenuEnabled, false);
    EXPECT_EQ(outcome.decision.powerVisible, false);
    EXPECT_EQ(outcome.decision.plugGlyph, 4); // the connected glyph was shown
    EXPECT_FALSE(outcome.boardFound);
    EXPECT_TRUE(outcome.recomputeNeeded);
    // Still unplugged: the glyph stays as it is, nothing to recompute anew.
    const DisplayOutcome again = Update(false);
    EXPECT_FALSE(again.decision.plugGlyph);
    EXPECT_FALSE(again.decision.startEnabled);
    EXPECT_FALSE(again.recomputeNeeded);
}

TEST_F(UsbDisplay, AbnormalPowerDisablesStartAndShowsTheWarningPicture) {
    Connected(1);
    Power(1);
    Update(false);
    Power(0);
    const DisplayOutcome outcome = Update(true);
    EXPECT_EQ(outcome.decision.startEnabled, false);
    EXPECT_EQ(outcome.decision.flashWriteEnabled, false); // no file loaded
    EXPECT_EQ(outcome.decision.powerNormalPicture, false);
    EXPECT_EQ(outcome.decision.flashMenuEnabled, true);
    EXPECT_TRUE(outcome.boardFound);
    EXPECT_TRUE(outcome.recomputeNeeded);
    Power(1);
    const DisplayOutcome back = Update(false);
    EXPECT_EQ(back.decision.startEnabled, true);
    EXPECT_EQ(back.decision.powerNormalPicture, true);
}

// A call that fails counts as "connected" and "power normal".
TEST_F(UsbDisplay, FailedQueriesCountAsConnectedAndNormal) {
    driver.results[ctl::Connected] = 0;
    driver.results[ctl::PowerNormal] = -1;
    const DisplayOutcome outcome = Update(false);
    EXPECT_EQ(outcome.decision.startEnabled, true);
    EXPECT_EQ(outcome.decision.powerNormalPicture, true);
    EXPECT_EQ(outcome.decision.plugGlyph, 0);
}

TEST(AbsentGlyph, ByKind) {
    EXPECT_EQ(board::AbsentGlyph(DeviceKind::Isa), 6);
    EXPECT_EQ(board::AbsentGlyph(DeviceKind::Pci), 7);
    EXPECT_EQ(board::AbsentGlyph(DeviceKind::Usb), 4);
    EXPECT_EQ(board::AbsentGlyph(DeviceKind::Unknown), 7);
}

} // namespace
