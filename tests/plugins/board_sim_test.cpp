// The simulator's parts without a driver object: its key = value text and
// numbers, the settings and state entries, and the synthesiser's clock rule.

#include "plugins/board-sim/board_config.h"
#include "plugins/board-sim/clock_rules.h"
#include "plugins/board-sim/key_value.h"
#include "plugins/board-sim/run_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <string>

using namespace boardsim;

namespace {

TEST(KeyValueTextTest, ReadsEntriesCommentsAndErrors) {
    const KeyValueText text = ParseKeyValueText("# comment\n"
                                                "\n"
                                                "  clock  =  1e6  \r\n"
                                                "name = two words\n"
                                                "clock = 2e6\n"
                                                "no equals\n"
                                                " = value\n"
                                                "empty =\n"
                                                "last = no newline");
    EXPECT_EQ(text.values.at("clock"), "2e6");
    EXPECT_EQ(text.lines.at("clock"), 5);
    EXPECT_EQ(text.values.at("name"), "two words");
    EXPECT_EQ(text.values.at("empty"), "");
    EXPECT_EQ(text.values.at("last"), "no newline");
    ASSERT_EQ(text.errors.size(), 2u);
    EXPECT_EQ(text.errors[0].substr(0, 7), "line 6:");
    EXPECT_EQ(text.errors[1].substr(0, 7), "line 7:");
}

TEST(KeyValueTextTest, IntegersAreDecimalOrHexadecimal) {
    EXPECT_EQ(ParseInteger("768"), 768);
    EXPECT_EQ(ParseInteger(" -12 "), -12);
    EXPECT_EQ(ParseInteger("0x300"), 0x300);
    EXPECT_EQ(ParseInt32("0x7A5A0020"), 0x7A5A0020);
    EXPECT_EQ(ParseInt32("0x80004005"), static_cast<int32_t>(0x80004005u));
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "0x", "12a", "1.5", "--3", "0x100000000", "99999999999999999999"})
        EXPECT_FALSE(ParseInt32(bad)) << bad;
}

TEST(KeyValueTextTest, NumbersIgnoreTheProcessLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(ParseNumber("6103.515625"), 6103.515625);
    EXPECT_FALSE(ParseNumber("6103,515625"));
    EXPECT_EQ(FormatNumber(6103.515625), "6103.515625");
    EXPECT_EQ(FormatNumber(1e6), "1000000");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(KeyValueTextTest, NumbersReadBackExactly) {
    for (const double value :
         {0.1, 1e8 / 16384, 10.0 / 8192 * static_cast<double>(0.1f), 79e6 / 64, 1e-300, 3e300})
        EXPECT_EQ(ParseNumber(FormatNumber(value)), value) << FormatNumber(value);
    for (const char* bad : {"", "nan", "inf", "1e999", "1.5x", "1,5"})
        EXPECT_FALSE(ParseNumber(bad)) << bad;
    EXPECT_EQ(ParseNumberList("1e8, 5e7  2.5e7,"), (std::vector<double>{1e8, 5e7, 2.5e7}));
    EXPECT_EQ(ParseNumberList(""), std::vector<double>{});
    EXPECT_FALSE(ParseNumberList("1, two"));
}

TEST(BoardConfigTest, DriverKeysWinOverPlainKeysWhateverTheOrder) {
    BoardConfig usb = DefaultConfig(BoardKind::Usb);
    BoardConfig pci = DefaultConfig(BoardKind::Pci);
    const KeyValueText text = ParseKeyValueText("KORD77USB.memory = 100\n"
                                                "memory = 200\n"
                                                "KORD77PCI.bits = 12\n");
    EXPECT_TRUE(ApplyConfig(usb, text).empty());
    EXPECT_TRUE(ApplyConfig(pci, text).empty());
    EXPECT_EQ(usb.memory, 100);
    EXPECT_EQ(pci.memory, 200);
    EXPECT_EQ(pci.bits, 12);
    EXPECT_EQ(usb.bits, 14);
}

TEST(BoardConfigTest, RefusedEntriesAreNamedAndLeaveTheValue) {
    BoardConfig config = DefaultConfig(BoardKind::Isa);
    const auto messages =
        ApplyConfig(config, ParseKeyValueText("bits = 7\nversion = 1.2.3\ngains = 1, 0\n"
                                              "KORD77XYZ.memory = 5\n"));
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const std::string& m) {
                                return m.find("unknown key \"KORD77XYZ.memory\"") !=
                                       std::string::npos;
                            }),
              1);
    EXPECT_EQ(config.bits, 14);
    EXPECT_EQ(config.version, (std::array<int32_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(config.gains.size(), 4u);
}

TEST(RunStateTest, ReadsEveryKey) {
    RunState state;
    const auto messages = ApplyRunState(state,
                                        ParseKeyValueText("connected = 0\n"
                                                          "power_normal = 0\n"
                                                          "no_answer = 1\n"
                                                          "answering = 1, 0x310\n"
                                                          "fail.StopOutput = -9\n"
                                                          "fail.Control = 0\n"
                                                          "fail.Control.0x7A5A0050 = 4\n"
                                                          "KORD77ISA.fail.OpenBoard = 2\n"
                                                          "KORD77PCI.fail.OpenBoard = 3\n"),
                                        "KORD77ISA");
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(state.connected);
    EXPECT_FALSE(state.powerNormal);
    EXPECT_TRUE(state.noAnswer);
    EXPECT_EQ(state.answering, (std::vector<int32_t>{1, 0x310}));
    EXPECT_EQ(state.Forced(Operation::StopOutput), -9);
    EXPECT_EQ(state.Forced(Operation::OpenBoard), 2);
    EXPECT_EQ(state.Forced(Operation::StartOutput), std::nullopt);
    EXPECT_EQ(state.Forced(Operation::Control, 0x7A5A0050), 4);
    EXPECT_EQ(state.Forced(Operation::Control, 17), 0);
}

// The synthesiser rule against a plain search of every s / 2^k.
TEST(ClockRulesTest, SynthesiserClockIsTheNearestOfAll) {
    const SynthesiserRange range;
    for (double wanted = 1.0; wanted < 3e8; wanted *= 1.0173) {
        double best = 0.0;
        for (int k = 0; k <= range.maxShift; ++k)
            for (int i = 0; i <= 200; ++i) {
                const double clock = (range.low + i * range.step) / std::ldexp(1.0, k);
                if (best == 0.0 || std::abs(clock - wanted) < std::abs(best - wanted))
                    best = clock;
            }
        const auto found = NearestSynthesiserClock(range, wanted);
        ASSERT_TRUE(found);
        EXPECT_EQ(std::abs(*found - wanted), std::abs(best - wanted)) << wanted;
    }
    EXPECT_FALSE(NearestSynthesiserClock(range, 0.0));
    EXPECT_FALSE(NearestSynthesiserClock(range, std::nan("")));
}

TEST(ClockRulesTest, TableRulesOnAnUnevenTable) {
    const std::vector<double> table{1000.0, 600.0, 500.0};
    EXPECT_EQ(NearestTableClock(table, 550.0), 600.0) << "a tie goes to the earlier entry";
    EXPECT_EQ(NearestTableClock(table, 549.0), 500.0);
    EXPECT_EQ(TableClockAtOrBelow(table, 599.0), 500.0);
    EXPECT_EQ(TableClockAtOrBelow(table, 600.0), 600.0);
    EXPECT_EQ(TableClockAtOrBelow(table, 10.0), 500.0) << "below every clock: the lowest";
    EXPECT_FALSE(NearestTableClock({}, 500.0));
    EXPECT_FALSE(TableClockAtOrBelow(table, -1.0));
}

} // namespace
