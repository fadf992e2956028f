// BarMapping: log and linear scales, positions to values and back, mouse presses.

#include "app/params/track_bar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(BarMapping, LogScaleRunsFromZeroToTheMaximum) {
    const BarMapping bar = BarMapping::Log(0, 5, false);
    EXPECT_TRUE(bar.logScale);
    EXPECT_EQ(bar.lowest, 0);
    EXPECT_EQ(bar.highest, 200);
    EXPECT_NEAR(static_cast<double>(bar.step), 5 / 368.3558, 1e-6);
    EXPECT_EQ(bar.ValueAt(0), 0.0);
    EXPECT_EQ(bar.ValueAt(200), 5.0);
    EXPECT_EQ(bar.PositionOf(5), 200);
    EXPECT_EQ(bar.PositionOf(0), 0);
    EXPECT_EQ(bar.PositionOf(6), 200); // beyond the top
    // Each position is 3% more (plus the step) than the one before.
    const double v100 = bar.ValueAt(100);
    EXPECT_NEAR(v100, static_cast<double>(bar.step) * (std::pow(1.03, 100) - 1), 1e-12);
    EXPECT_EQ(bar.PositionOf(v100), 100);
    EXPECT_EQ(bar.PositionOf(v100 * 0.999), 99); // truncated
}

TEST(BarMapping, LogScaleCanStartAtTheMinimum) {
    const BarMapping bar = BarMapping::Log(10, 40, true);
    // ln(10 / (40 / 368.3558) + 1) / ln(1.03) = 153.4
    EXPECT_EQ(bar.lowest, 153);
    EXPECT_EQ(bar.PositionOf(1), 153); // below the lowest position
    EXPECT_EQ(BarMapping::Log(1e-7, 40, true).lowest, 0);
    EXPECT_EQ(BarMapping::Log(6103.515625, 1e8, true).lowest, 0);
}

TEST(BarMapping, ValuesAboveOneHundredMillionAreCut) {
    const BarMapping bar = BarMapping::Log(0, 1e9, false);
    EXPECT_EQ(bar.ValueAt(200), 1e8);
}

TEST(BarMapping, AZeroMaximumMapsEverythingToPositionZero) {
    const BarMapping log = BarMapping::Log(0, 0, true);
    EXPECT_EQ(log.lowest, 0);
    EXPECT_EQ(log.PositionOf(3), 0);
    EXPECT_EQ(log.ValueAt(200), 0.0);
    const BarMapping linear = BarMapping::Block(0, true);
    EXPECT_EQ(linear.PositionOf(1), 0);
}

TEST(BarMapping, BlockScaleIsLinear) {
    const BarMapping bar = BarMapping::Block(1000, true);
    EXPECT_FALSE(bar.logScale);
    EXPECT_EQ(bar.highest, BarMapping::kLinearTop);
    EXPECT_EQ(bar.PositionOf(1000), BarMapping::kLinearTop);
    EXPECT_EQ(bar.PositionOf(500), BarMapping::kLinearTop / 2);
    EXPECT_NEAR(bar.ValueAt(BarMapping::kLinearTop), 1000, 1e-6);
    EXPECT_NEAR(bar.ValueAt(BarMapping::kLinearTop / 2), 500, 1e-6);

    const BarMapping noFile = BarMapping::Block(0, false);
    EXPECT_EQ(static_cast<double>(noFile.step), 1.0);
    EXPECT_EQ(noFile.ValueAt(7), 7.0);
}

TEST(BarMapping, AdditionalScaleShiftsANegativeMinimumToPositionZero) {
    const BarMapping bar = BarMapping::Additional(-12, 12);
    EXPECT_EQ(bar.base, -12);
    EXPECT_EQ(bar.lowest, 0);
    EXPECT_EQ(bar.highest, BarMapping::kLinearTop);
    EXPECT_EQ(bar.ValueAt(0), -12.0);
    EXPECT_NEAR(bar.ValueAt(BarMapping::kLinearTop), 12, 1e-7);
    EXPECT_EQ(bar.ValueAt(BarMapping::kLinearTop / 2), 0.0); // snapped
    EXPECT_EQ(bar.PositionOf(-12), 0);
    EXPECT_EQ(bar.PositionOf(12), BarMapping::kLinearTop);
    EXPECT_EQ(bar.PositionOf(0), BarMapping::kLinearTop / 2);

    const BarMapping flat = BarMapping::Additional(3, 3);
    EXPECT_EQ(flat.lowest, 0);
    EXPECT_EQ(flat.highest, 0);
}

struct PressCase {
    int x;
    int width;
    int position;
};

class PressPosition : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressPosition, UsesTwelvePixelMarginsAndRoundsHalvesDown) {
    BarMapping bar = BarMapping::Log(0, 5, false); // positions 0 .. 200
    EXPECT_EQ(bar.PressPosition(GetParam().x, GetParam().width), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Presses, PressPosition,
                         ::testing::Values(PressCase{0, 224, 0}, PressCase{11, 224, 0},
                                           PressCase{12, 224, 0}, PressCase{112, 224, 100},
                                           PressCase{212, 224, 200}, PressCase{213, 224, 200},
                                           PressCase{223, 224, 200}, PressCase{13, 424, 0},
                                           PressCase{14, 424, 1}, PressCase{15, 424, 1},
                                           PressCase{16, 424, 2}, PressCase{17, 424, 2},
                                           PressCase{30, 20, 200}));

TEST(BarMapping, PressPositionStartsAtTheLowestPosition) {
    const BarMapping bar = BarMapping::Log(10, 40, true); // 153 .. 200
    EXPECT_EQ(bar.PressPosition(12, 59), 153);
    EXPECT_EQ(bar.PressPosition(47, 59), 200);
    EXPECT_EQ(bar.PressPosition(30, 59), 177); // 153 + 18 x 47 / 35 = 177.17
}

} // namespace
