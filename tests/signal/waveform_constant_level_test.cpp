// Constant level: four points at the level of the polarity, at the table's third
// clock.

#include "signal/constant_level.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

using Codes = std::vector<int16_t>;

struct LevelCase {
    const char* name;
    int32_t amplitude;
    int32_t polarity;
    int32_t base;
    int16_t level;
};

void PrintTo(const LevelCase& c, std::ostream* os) {
    *os << c.name;
}

const LevelCase kLevels[] = {
    {"Positive", 100, PolarityPositive, 0, 100},
    {"Negative", 100, PolarityNegative, 0, -100},
    {"Bipolar", 100, PolarityBipolar, 0, 100},
    {"OtherPolarityDoubles", 100, 4, 0, 200},
    {"BaseAdded", 100, PolarityPositive, -300, -200},
    {"Clamped", 100, PolarityPositive, 8150, 8191},
    {"ZeroAmplitude", 0, PolarityPositive, 25, 25},
};

class ConstantLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ConstantLevel, FourPointsOfTheLevel) {
    const LevelCase& c = GetParam();
    auto wave = MakeWaveform(KindConstant);
    UndulaRequest request = MakeRequest(KindConstant, 1000, c.amplitude, c.polarity);
    int32_t points = 0;
    ASSERT_EQ(PrepareOn(*wave, request, StandardBoard(), {1000, false, false}, &points), 1);
    EXPECT_EQ(points, 4);
    // The third clock of the table (25 MHz), a quarter of it per block.
    EXPECT_DOUBLE_EQ(wave->SampleClock(), 25e6);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, 25e6 / 4);
    EXPECT_DOUBLE_EQ(wave->RealisedFrequency(), 25e6 / 4);
    EXPECT_DOUBLE_EQ(request.frequency, 1000);
    EXPECT_EQ(GenerateGuarded(*wave, c.base), Codes(4, c.level));
    EXPECT_EQ(wave->LowestWritten(), c.level);
    EXPECT_EQ(wave->HighestWritten(), c.level);
}

INSTANTIATE_TEST_SUITE_P(Constant, ConstantLevel, ::testing::ValuesIn(kLevels), CaseName());

struct ArgsCase {
    const char* name;
    std::vector<double> clocks;
    int32_t clockCount;
    bool nullTable;
    int32_t capacity;
    bool even;
    int32_t result;
    int32_t points;
    double clock;
};

void PrintTo(const ArgsCase& c, std::ostream* os) {
    *os << c.name;
}

const ArgsCase kArgs[] = {
    // A table of two clocks has no third: its last clock serves.
    {"ShortTable", {8e6, 4e6}, 2, false, 1000, false, 1, 4, 4e6},
    // A memory smaller than four points holds as many as fit.
    {"SmallMemory", {8e6, 4e6, 2e6}, 3, false, 3, false, 1, 3, 2e6},
    {"SmallMemoryEven", {8e6, 4e6, 2e6}, 3, false, 3, true, 1, 2, 2e6},
    {"NoMemory", {8e6, 4e6, 2e6}, 3, false, 0, false, -2, 0, 2e6},
    {"NullTableNoCount", {}, 0, true, 1000, false, 0, -7, 0},
    {"NullTableWithCount", {}, 3, true, 1000, false, -1, -7, 0},
    {"TableWithoutCount", {8e6, 4e6, 2e6}, 0, false, 1000, false, -1, -7, 0},
};

class ConstantLevelArguments : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(ConstantLevelArguments, PlansOrFails) {
    const ArgsCase& c = GetParam();
    __MImpulse level;
    UndulaRequest request = MakeRequest(KindConstant, 1000, 100);
    int32_t points = -7;
    EXPECT_EQ(level.Prepare(&request, 1.0f, 1e8f, c.nullTable ? nullptr : c.clocks.data(),
                            c.clockCount, c.capacity, c.even ? 1 : 0, &points, 0),
              c.result);
    EXPECT_EQ(points, c.points);
    EXPECT_EQ(level.IsPrepared(), c.result == 1);
    if (c.result == 1) {
        EXPECT_DOUBLE_EQ(level.SampleClock(), c.clock);
        EXPECT_DOUBLE_EQ(request.realisedFrequency, c.clock / c.points);
        EXPECT_EQ(GenerateGuarded(level, 0), Codes(static_cast<size_t>(c.points), 100));
    }
}

INSTANTIATE_TEST_SUITE_P(Constant, ConstantLevelArguments, ::testing::ValuesIn(kArgs), CaseName());

// Without an address for the count the four points are still planned.
TEST(ConstantLevelPrepare, WithoutCountAddress) {
    __MImpulse level;
    UndulaRequest request = MakeRequest(KindConstant, 1000, 100);
    const TestBoard board = StandardBoard();
    ASSERT_EQ(level.Prepare(&request, board.minClock, board.maxClock, board.clocks.data(), 15, 1000,
                            0, nullptr, 0),
              1);
    EXPECT_EQ(level.Points(), 4);
    EXPECT_EQ(GenerateGuarded(level, 0), Codes(4, 100));
}

TEST(ConstantLevelPrepare, MissingRequestGivesZero) {
    __MImpulse level;
    const TestBoard board = StandardBoard();
    int32_t points = 0;
    EXPECT_EQ(level.Prepare(nullptr, board.minClock, board.maxClock, board.clocks.data(), 15, 1000,
                            0, &points, 0),
              0);
    EXPECT_FALSE(level.IsPrepared());
}

} // namespace
