// Plans and codes of the sine, and the shared rules of the waveform model that the
// sine exercises: frequency limits, table choice, whole-memory plan, single play.

#include "signal/sine.h"
#include "tests/signal/board_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

UndulaRequest SineRequest(double frequency, int32_t amplitude, int32_t polarity = PolarityBipolar) {
    UndulaRequest r{};
    r.kind = KindSine;
    r.amplitude = amplitude;
    r.frequency = frequency;
    r.polarity = polarity;
    return r;
}

struct PlanCase {
    const char* name;
    std::vector<double> clocks;
    float minClock;
    float maxClock;
    double frequency;
    int32_t amplitude;
    int32_t mode;
    int32_t capacity;
    bool even;
    bool single;
    // expected
    int32_t result;
    double clock;
    int32_t points;
    int32_t periods;
    double perPeriod;
    double realised;
    double frequencyAfter; // the request's frequency field after Prepare
};

std::vector<double> Standard() {
    auto c = StandardClocks();
    return {c.begin(), c.end()};
}

const PlanCase kPlans[] = {
    // Above half the highest clock: lowered to 5e7, two points at 1e8, result 2.
    {"AboveHighestFrequency", Standard(), StandardMinClock, StandardMaxClock, 6e7, 100, 1, 1000,
     false, false, 2, 1e8, 2, 1, 2, 5e7, 5e7},
    // Below the lowest frequency (min clock / capacity): raised, result 2.
    {"BelowLowestFrequency", Standard(), StandardMinClock, StandardMaxClock, 1.0, 100, 1, 1000,
     false, false, 2, 6103.515625, 1000, 1, 1000, 6.103515625, 6.103515625},
    // Most points: the highest clock needs more than the capacity, so 5e7 wins.
    {"MostPointsSkipsTooLong", Standard(), StandardMinClock, StandardMaxClock, 1000, 100, 1, 65536,
     false, false, 1, 5e7, 50000, 1, 50000, 1000, 1000},
    // Nearest frequency, equal errors: the entry with more points wins even if later.
    {"NearestTiePrefersMorePoints",
     {4000, 6000},
     4000,
     6000,
     2000,
     100,
     0,
     100,
     false,
     false,
     1,
     6000,
     3,
     1,
     3,
     2000,
     2000},
    // Nearest frequency picks the smallest error, not the most points.
    {"NearestPicksSmallestError",
     {1000, 700},
     700,
     1000,
     300,
     10,
     0,
     100,
     false,
     false,
     1,
     1000,
     3,
     1,
     3,
     1000.0 / 3,
     300},
    // Even flag outside single play: an odd n is served as two periods.
    {"EvenOddServedAsTwoPeriods",
     {7000},
     7000,
     7000,
     1000,
     100,
     1,
     100,
     true,
     false,
     1,
     7000,
     14,
     2,
     7,
     1000,
     1000},
    // Even flag when two periods do not fit: n + 1.
    {"EvenTwoPeriodsDoNotFit",
     {7000},
     7000,
     7000,
     1000,
     100,
     1,
     10,
     true,
     false,
     1,
     7000,
     8,
     1,
     8,
     875,
     1000},
    // Whole memory: p = 300, capacity 1000 -> 3 periods, 900 points; even keeps 900.
    {"WholeMemoryThreePeriods",
     {3e5},
     3e5,
     3e5,
     1000,
     100,
     2,
     1000,
     false,
     false,
     1,
     3e5,
     900,
     3,
     300,
     1000,
     1000},
    {"WholeMemoryThreePeriodsEven",
     {3e5},
     3e5,
     3e5,
     1000,
     100,
     2,
     1000,
     true,
     false,
     1,
     3e5,
     900,
     3,
     300,
     1000,
     1000},
    // Whole memory with p = 333.5: 2 periods of 667 points.
    {"WholeMemoryFractionalPeriod",
     {333500},
     333500,
     333500,
     1000,
     100,
     2,
     1000,
     false,
     false,
     1,
     333500,
     667,
     2,
     333.5,
     1000,
     1000},
    // Mode 100 ignores the table even when it would give a plan.
    {"WholeMemoryAlways",
     {3e5},
     3e5,
     3e5,
     1000,
     100,
     100,
     1000,
     false,
     false,
     1,
     3e5,
     900,
     3,
     300,
     1000,
     1000},
    // The whole-memory clock is the lowest clock reaching F x span (here 2000 x 20).
    {"WholeMemoryClockLookup",
     {1e5, 5e4, 2.5e4},
     2.5e4,
     1e5,
     2000,
     10,
     2,
     1000,
     false,
     false,
     1,
     5e4,
     1000,
     40,
     25,
     2000,
     2000},
    // Single play: the table choice, one period of 7 whole points, two lead points
    // and a pad to an even count; the period and frequency reported are those played.
    {"SinglePlayOddPeriod",
     {7000},
     7000,
     7000,
     1000,
     100,
     2,
     100,
     false,
     true,
     1,
     7000,
     10,
     1,
     7,
     1000,
     1000},
    {"SinglePlayEvenPeriod",
     {8000},
     8000,
     8000,
     1000,
     100,
     1,
     100,
     false,
     true,
     1,
     8000,
     10,
     1,
     8,
     1000,
     1000},
    // Single play without room for the two lead points: the period loses two points.
    {"SinglePlayNoRoom",
     {8000},
     8000,
     8000,
     1000,
     100,
     1,
     8,
     false,
     true,
     1,
     8000,
     8,
     1,
     6,
     8000.0 / 6,
     1000},
};

class SinePlan : public testing::TestWithParam<PlanCase> {};

TEST_P(SinePlan, MatchesHandComputedPlan) {
    const PlanCase& c = GetParam();
    __MSine2 sine;
    sine.SetMode(c.mode);
    UndulaRequest r = SineRequest(c.frequency, c.amplitude);
    int32_t points = -7;
    const int32_t result =
        sine.Prepare(&r, c.minClock, c.maxClock, c.clocks.data(),
                     static_cast<int32_t>(c.clocks.size()), c.capacity, c.even, &points, c.single);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(points, c.points);
    EXPECT_EQ(sine.Points(), c.points);
    EXPECT_DOUBLE_EQ(sine.SampleClock(), c.clock);
    EXPECT_EQ(sine.Periods(), c.periods);
    EXPECT_DOUBLE_EQ(sine.PointsPerPeriod(), c.perPeriod);
    EXPECT_DOUBLE_EQ(sine.RealisedFrequency(), c.realised);
    EXPECT_DOUBLE_EQ(r.realisedFrequency, c.realised);
    EXPECT_DOUBLE_EQ(r.frequency, c.frequencyAfter);
    EXPECT_TRUE(sine.IsPrepared());
    EXPECT_LE(points, c.capacity);
    if (c.even) {
        EXPECT_EQ(points % 2, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Plans, SinePlan, testing::ValuesIn(kPlans),
                         [](const testing::TestParamInfo<PlanCase>& i) { return i.param.name; });

struct FailureCase {
    const char* name;
    double frequency;
    int32_t amplitude;
    float minClock;
    int32_t clockCount;
    int32_t capacity;
    bool nullTable;
    int32_t mode;
    bool even;
    std::vector<double> clocks;
    int32_t result;
};

const FailureCase kFailures[] = {
    {"ZeroFrequency", 0, 100, 1000, 1, 1000, false, 1, false, {3e5}, -1},
    {"NegativeFrequency", -5, 100, 1000, 1, 1000, false, 1, false, {3e5}, -1},
    {"NotANumberFrequency", std::nan(""), 100, 1000, 1, 1000, false, 1, false, {3e5}, -1},
    {"ZeroAmplitude", 1000, 0, 1000, 1, 1000, false, 1, false, {3e5}, -1},
    {"ZeroClock", 1000, 100, 0, 1, 1000, false, 1, false, {3e5}, -1},
    {"NoTable", 1000, 100, 1000, 1, 1000, true, 1, false, {3e5}, -1},
    {"NoClocks", 1000, 100, 1000, 0, 1000, false, 1, false, {3e5}, -1},
    {"NoCapacity", 1000, 100, 1000, 1, 0, false, 1, false, {3e5}, -1},
    // p = 333.5, even flag: 1 period of 333 points is odd, 0 periods fails.
    {"WholeMemoryEvenImpossible", 1000, 100, 333500, 1, 1000, false, 2, true, {333500}, -1},
    // The lowest clock reaching F x span gives a period longer than the memory.
    {"WholeMemoryNoPeriodFits", 1500, 1000, 3e5, 2, 200, false, 2, false, {6e5, 3e5}, -2},
    // A table far below the maximum clock: 2e-5 points per period would make 5e9
    // periods of the memory, more than a count holds.
    {"WholeMemoryTooManyPeriods", 5e7, 100, 1e8, 1, 100000, false, 2, true, {1000}, -2},
};

class SineFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(SineFailure, IsRejectedAndNotPrepared) {
    const FailureCase& c = GetParam();
    __MSine2 sine;
    sine.SetMode(c.mode);
    UndulaRequest r = SineRequest(c.frequency, c.amplitude);
    int32_t points = 0;
    EXPECT_EQ(sine.Prepare(&r, c.minClock, c.minClock, c.nullTable ? nullptr : c.clocks.data(),
                           c.clockCount, c.capacity, c.even, &points, 0),
              c.result);
    EXPECT_FALSE(sine.IsPrepared());
    std::vector<int16_t> buffer(16);
    EXPECT_EQ(sine.Generate(buffer.data(), 0, 14, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, SineFailure, testing::ValuesIn(kFailures),
                         [](const testing::TestParamInfo<FailureCase>& i) { return i.param.name; });

TEST(SinePrepare, MissingRequestReturnsZero) {
    __MSine2 sine;
    const double clock = 1e5;
    int32_t points = 0;
    EXPECT_EQ(sine.Prepare(nullptr, 1e5f, 1e5f, &clock, 1, 100, 0, &points, 0), 0);
}

// A plan lasts until the next Prepare begins: a rejected request must not leave the
// earlier plan to be generated as if it were the answer to this one.
TEST(SinePrepare, RejectedRequestUnpreparesTheEarlierPlan) {
    __MSine2 sine;
    const double clock = 1e5;
    int32_t points = 0;
    UndulaRequest r = SineRequest(1000, 100);
    ASSERT_EQ(sine.Prepare(&r, 1e5f, 1e5f, &clock, 1, 1000, 0, &points, 0), 1);
    ASSERT_TRUE(sine.IsPrepared());
    r.amplitude = 0;
    EXPECT_EQ(sine.Prepare(&r, 1e5f, 1e5f, &clock, 1, 1000, 0, &points, 0), -1);
    EXPECT_FALSE(sine.IsPrepared());
    std::vector<int16_t> buffer(1000);
    EXPECT_EQ(sine.Generate(buffer.data(), 0, 14, 0), 0);
}

// Prepares a sine on a one-clock table so that the plan is exact, then generates.
std::vector<int16_t> Generate(__MSine2& sine, double clock, double frequency, int32_t amplitude,
                              int32_t polarity, int32_t base, int32_t capacity, int32_t mode,
                              bool single, int32_t* points) {
    sine.SetMode(mode);
    UndulaRequest r = SineRequest(frequency, amplitude, polarity);
    EXPECT_GE(sine.Prepare(&r, static_cast<float>(clock), static_cast<float>(clock), &clock, 1,
                           capacity, 0, points, single),
              1);
    std::vector<int16_t> buffer(static_cast<size_t>(*points) + 4, int16_t{0x5555});
    EXPECT_EQ(sine.Generate(buffer.data(), base, 14, 0), 1);
    return buffer;
}

TEST(SineGenerate, ShortPeriodStartsAtTheCrest) {
    __MSine2 sine;
    int32_t points = 0;
    // 10 points per period, bipolar, amplitude 100.
    auto codes = Generate(sine, 10000, 1000, 100, PolarityBipolar, 0, 10, 1, false, &points);
    ASSERT_EQ(points, 10);
    const int16_t expected[] = {100, 81, 31, -31, -81, -100, -81, -31, 31, 81};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(codes[i], expected[i]) << i;
    EXPECT_EQ(codes[10], 0x5555) << "wrote past the plan";
    EXPECT_EQ(sine.LowestWritten(), -100);
    EXPECT_EQ(sine.HighestWritten(), 100);
}

TEST(SineGenerate, PolarityScalesIntoItsRange) {
    struct Case {
        int32_t polarity;
        int16_t first, quarter, threeQuarters;
    } cases[] = {
        // 20 points per period starting at phase 0: codes at 0, 1/4 and 3/4 period.
        {PolarityPositive, 50, 100, 0},
        {PolarityNegative, -50, 0, -100},
        {PolarityBipolar, 0, 100, -100},
    };
    for (const Case& c : cases) {
        __MSine2 sine;
        int32_t points = 0;
        auto codes = Generate(sine, 20000, 1000, 100, c.polarity, 0, 20, 1, false, &points);
        ASSERT_EQ(points, 20);
        EXPECT_EQ(codes[0], c.first) << c.polarity;
        EXPECT_EQ(codes[5], c.quarter) << c.polarity;
        EXPECT_EQ(codes[15], c.threeQuarters) << c.polarity;
    }
}

TEST(SineGenerate, CodesAreClampedToFourteenBits) {
    for (int32_t base : {0, 100, -100}) {
        __MSine2 sine;
        int32_t points = 0;
        auto codes =
            Generate(sine, 64000, 1000, 8191, PolarityBipolar, base, 64, 1, false, &points);
        ASSERT_EQ(points, 64);
        int lowest = 1 << 20, highest = -(1 << 20);
        for (int i = 0; i < points; ++i) {
            lowest = std::min<int>(lowest, codes[i]);
            highest = std::max<int>(highest, codes[i]);
        }
        EXPECT_EQ(highest, std::min(8191, base + 8191)) << base;
        EXPECT_EQ(lowest, std::max(-8192, base - 8191)) << base;
        EXPECT_EQ(sine.HighestWritten(), highest);
        EXPECT_EQ(sine.LowestWritten(), lowest);
        EXPECT_EQ(sine.LowestAllowed(), -8192);
        EXPECT_EQ(sine.HighestAllowed(), 8191);
    }
}

// The period played in single play closes on itself and has exactly the points per
// period that the plan reports, so clock / points per period is the frequency heard.
TEST(SineGenerate, SinglePlayPeriodMatchesTheReportedFrequency) {
    __MSine2 sine;
    int32_t points = 0;
    auto codes = Generate(sine, 7000, 1000, 100, PolarityBipolar, 0, 100, 1, true, &points);
    ASSERT_EQ(points, 10);
    ASSERT_DOUBLE_EQ(sine.PointsPerPeriod(), 7);
    // Two lead points at the start level, 7 points of one period from the crest,
    // one pad at the start level.
    const int16_t expected[] = {100, 100, 100, 62, -22, -90, -90, -22, 62, 100};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(codes[i], expected[i]) << i;
    EXPECT_EQ(codes[10], 0x5555);

    // A long period: every point of the period is the sine at 2 pi i / p.
    __MSine2 longSine;
    auto samples = Generate(longSine, 1e6, 1000, 1000, PolarityBipolar, 0, 5000, 1, true, &points);
    ASSERT_DOUBLE_EQ(longSine.PointsPerPeriod(), 1000);
    ASSERT_EQ(points, 1002);
    for (int i = 0; i < 1000; ++i) {
        const double level = 1000 * std::sin(2 * std::numbers::pi * i / 1000);
        EXPECT_NEAR(samples[2 + i], level, 0.5 + 1e-9) << i;
    }
    EXPECT_DOUBLE_EQ(longSine.RealisedFrequency(), 1e6 / 1000);
}

TEST(SineGenerate, StoppedGenerationReturnsMinusOne) {
    __MSine2 sine;
    int32_t points = 0;
    UndulaRequest r = SineRequest(1000, 100);
    const double clock = 1e6;
    ASSERT_EQ(sine.Prepare(&r, 1e6f, 1e6f, &clock, 1, 1000, 0, &points, 0), 1);
    std::vector<int16_t> buffer(static_cast<size_t>(points), int16_t{0x5555});
    sine.RequestStop();
    EXPECT_EQ(sine.Generate(buffer.data(), 0, 14, 0), -1);
    // The flag is checked after each point of the loop: the first two are written.
    EXPECT_NE(buffer[1], 0x5555);
    EXPECT_EQ(buffer[2], 0x5555);
    sine.ClearStop();
    EXPECT_EQ(sine.Generate(buffer.data(), 0, 14, 0), 1);
    EXPECT_EQ(sine.Generate(nullptr, 0, 14, 0), 0);
}

// A million points of a full-scale bipolar sine stay within one code of direct
// evaluation: the rotation recurrence does not drift.
TEST(SineGenerate, LongRunStaysWithinOneCode) {
    __MSine2 sine;
    sine.SetMode(ModeWholeMemoryAlways);
    UndulaRequest r = SineRequest(1234.5, 8191);
    const auto clocks = StandardClocks();
    int32_t points = 0;
    ASSERT_GE(sine.Prepare(&r, StandardMinClock, StandardMaxClock, clocks.data(), 15, 1'000'000, 0,
                           &points, 0),
              1);
    ASSERT_GT(points, 990'000);
    std::vector<int16_t> buffer(static_cast<size_t>(points));
    ASSERT_EQ(sine.Generate(buffer.data(), 0, 14, 0.0), 1);
    const double step = sine.Periods() * 2 * std::numbers::pi / points;
    int worst = 0;
    for (int i = 0; i < points; ++i) {
        const double exact = 8191 * std::sin(i * step);
        const int direct = static_cast<int>(exact >= 0 ? exact + 0.5 : exact - 0.5);
        worst = std::max(worst, std::abs(direct - buffer[i]));
    }
    EXPECT_LE(worst, 1);
}

} // namespace
