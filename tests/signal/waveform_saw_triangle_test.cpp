// Saw and triangle: exact codes of short periods, the plans (table choice,
// single-period plan, each kind's synthesiser search and its tie rule), single
// play and the phase.

#include "signal/saw_triangle.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Codes = std::vector<int16_t>;

// One clock of `clock` Hz and a request of 1000 Hz give clock / 1000 points per
// period through the table choice.
struct CodesCase {
    const char* name;
    int32_t kind;
    double clock;
    int32_t amplitude;
    int32_t polarity;
    int32_t direction; // saw only
    int32_t base;
    bool even;
    bool single;
    double delay;
    double phase;
    Codes codes;
    int32_t periods;
};

const CodesCase kCodes[] = {
    {"SawRising",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     0,
     {0, 25, 50, 75, 100},
     1},
    {"SawFalling",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     1,
     0,
     false,
     false,
     0,
     0,
     {100, 75, 50, 25, 0},
     1},
    {"SawNegative",
     KindSaw,
     5000,
     100,
     PolarityNegative,
     0,
     0,
     false,
     false,
     0,
     0,
     {-100, -75, -50, -25, 0},
     1},
    {"SawBipolar",
     KindSaw,
     5000,
     100,
     PolarityBipolar,
     0,
     0,
     false,
     false,
     0,
     0,
     {-100, -50, 0, 50, 100},
     1},
    {"SawOtherPolarityDoubleHeight",
     KindSaw,
     5000,
     100,
     7,
     0,
     0,
     false,
     false,
     0,
     0,
     {0, 50, 100, 150, 200},
     1},
    // The base is added after rounding; codes above 8191 are clamped (14 bits).
    {"SawClampedAtTop",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     0,
     8150,
     false,
     false,
     0,
     0,
     {8150, 8175, 8191, 8191, 8191},
     1},
    // Amplitude 10 over 4 steps: 0, 2.5, 5, 7.5, 10 rounded half away from zero.
    {"SawRoundsHalfAwayFromZero",
     KindSaw,
     5000,
     10,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     0,
     {0, 3, 5, 8, 10},
     1},
    {"SawRoundsNegativeHalfAwayFromZero",
     KindSaw,
     5000,
     10,
     PolarityNegative,
     0,
     0,
     false,
     false,
     0,
     0,
     {-10, -8, -5, -3, 0},
     1},
    // The even flag serves the odd period twice.
    {"SawTwoPeriods", KindSaw, 5000, 100, PolarityPositive, 0, 0, true, false, 0, 0,
     Repeat({0, 25, 50, 75, 100}, 2), 2},
    // Phase pi shifts the period by trunc(pi x 5 / 2 pi) = 2 points.
    {"SawPhasePi",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     std::numbers::pi,
     {75, 100, 0, 25, 50},
     1},
    // A negative phase gets 2 pi added: 3 pi / 2 gives a shift of 3.
    {"SawPhaseNegative",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     -std::numbers::pi / 2,
     {50, 75, 100, 0, 25},
     1},
    // Single play: two lead points at the bottom, the period, and a pad point at the
    // bottom that makes the count even; all of them are planned points.
    {"SawSinglePlay",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     true,
     0,
     0,
     {0, 0, 0, 25, 50, 75, 100, 0},
     1},
    // A delay of 1 ms at 5 kHz: five leading points at the top code first.
    {"SawSinglePlayDelay",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     true,
     0.001,
     0,
     {100, 100, 100, 100, 100, 0, 0, 0, 25, 50, 75, 100},
     1},
    // The even flag in single play: the table serves the odd count as one more
    // point (6), never as two periods.
    {"SawSinglePlayEven",
     KindSaw,
     5000,
     100,
     PolarityPositive,
     1,
     0,
     true,
     true,
     0,
     0,
     {0, 0, 100, 80, 60, 40, 20, 0},
     1},
    {"TriangleEvenPeriod",
     KindTriangle,
     6000,
     90,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     0,
     {0, 30, 60, 90, 60, 30},
     1},
    {"TriangleOddPeriod",
     KindTriangle,
     7000,
     90,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     0,
     {0, 30, 60, 90, 90, 60, 30},
     1},
    {"TriangleBipolar",
     KindTriangle,
     6000,
     90,
     PolarityBipolar,
     0,
     0,
     false,
     false,
     0,
     0,
     {-90, -30, 30, 90, 30, -30},
     1},
    {"TriangleNegative",
     KindTriangle,
     6000,
     90,
     PolarityNegative,
     0,
     0,
     false,
     false,
     0,
     0,
     {-90, -60, -30, 0, -30, -60},
     1},
    {"TriangleOddTwoPeriods", KindTriangle, 7000, 90, PolarityPositive, 0, 0, true, false, 0, 0,
     Repeat({0, 30, 60, 90, 90, 60, 30}, 2), 2},
    // The triangle ignores the phase.
    {"TrianglePhaseIgnored",
     KindTriangle,
     6000,
     90,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     1.0,
     {0, 30, 60, 90, 60, 30},
     1},
    {"TriangleSinglePlay",
     KindTriangle,
     6000,
     90,
     PolarityPositive,
     0,
     0,
     false,
     true,
     0,
     0,
     {0, 0, 0, 30, 60, 90, 60, 30},
     1},
    {"TriangleSinglePlayOddPads",
     KindTriangle,
     7000,
     90,
     PolarityPositive,
     0,
     0,
     false,
     true,
     0,
     0,
     {0, 0, 0, 30, 60, 90, 90, 60, 30, 0},
     1},
    // Two points per period: bottom and top.
    {"TriangleTwoPoints",
     KindTriangle,
     2000,
     50,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     0,
     {0, 50},
     1},
};

void PrintTo(const CodesCase& c, std::ostream* os) {
    *os << c.name;
}

class RampCodes : public ::testing::TestWithParam<CodesCase> {};

TEST_P(RampCodes, WritesExactCodes) {
    const CodesCase& c = GetParam();
    auto wave = MakeWaveform(c.kind);
    ASSERT_NE(wave, nullptr);
    UndulaRequest request = MakeRequest(c.kind, 1000, c.amplitude, c.polarity);
    request.sawDirection = c.direction;
    request.delay = c.delay;
    const TestBoard board{{c.clock}, 1.0f, 1e6f};
    int32_t points = 0;
    ASSERT_EQ(PrepareOn(*wave, request, board, {100, c.even, c.single}, &points), 1);
    EXPECT_EQ(points, static_cast<int32_t>(c.codes.size()));
    EXPECT_EQ(wave->Periods(), c.periods);
    const Codes codes = GenerateGuarded(*wave, c.base, 14, c.phase);
    EXPECT_EQ(codes, c.codes);
    EXPECT_EQ(wave->LowestWritten(), *std::min_element(c.codes.begin(), c.codes.end()));
    EXPECT_EQ(wave->HighestWritten(), *std::max_element(c.codes.begin(), c.codes.end()));
    // The realised frequency is the period the buffer holds.
    EXPECT_DOUBLE_EQ(wave->RealisedFrequency(), c.clock / wave->PointsPerPeriod());
    EXPECT_DOUBLE_EQ(request.realisedFrequency, wave->RealisedFrequency());
}

INSTANTIATE_TEST_SUITE_P(Ramps, RampCodes, ::testing::ValuesIn(kCodes), CaseName());

// ---------------------------------------------------------------- plans

struct PlanCase {
    const char* name;
    int32_t kind;
    TestBoard board;
    double frequency;
    int32_t amplitude;
    int32_t mode;
    PrepareArgs args;
    // expected
    int32_t result;
    double clock;
    int32_t points;
    int32_t periods;
    double perPeriod;
    double frequencyAfter; // the request's frequency field after Prepare
};

TestBoard Board(std::vector<double> clocks, float minClock, float maxClock) {
    return {std::move(clocks), minClock, maxClock};
}

const PlanCase kPlans[] = {
    // Most points: 1.5625 MHz gives 520 points of 3 kHz; faster clocks need more
    // than the 1000 points of memory.
    {"TableMostPoints",
     KindSaw,
     StandardBoard(),
     3000,
     100,
     ModeMostPoints,
     {1000, false, false},
     1,
     1562500,
     520,
     1,
     520,
     3000},
    // 519 is odd and twice it does not fit: 520 with one period.
    {"TableEvenUsesNextCount",
     KindTriangle,
     StandardBoard(),
     3010,
     100,
     ModeMostPoints,
     {1000, true, false},
     1,
     1562500,
     520,
     1,
     520,
     3010},
    // Above half the highest clock: lowered to 50 MHz, 2 points at 100 MHz, result
    // 2 and the realised frequency written into the request's frequency.
    {"FrequencyLowered",
     KindSaw,
     StandardBoard(),
     6e7,
     100,
     ModeMostPoints,
     {1000, false, false},
     2,
     1e8,
     2,
     1,
     2,
     5e7},
    // The table gives one point (1.6 clocks per period): the single-period plan
    // rounds 1.6 to two points.
    {"SinglePeriodPlan",
     KindSaw,
     Board({1600}, 1.0f, 1e4f),
     1000,
     100,
     ModeMostPoints,
     {100, false, false},
     1,
     1600,
     2,
     1,
     2,
     1000},
    // Mode 3, saw: k = 0 first and s downwards; the first exact candidate stays
    // (100 MHz, 100000 points), later equal ones do not replace it.
    {"SawSearchFirstOfEqual",
     KindSaw,
     StandardBoard(),
     1000,
     100,
     ModeSynthesiser,
     {100000, false, false},
     1,
     1e8,
     100000,
     1,
     100000,
     1000},
    // With 60000 points of memory the first exact one is 60 MHz.
    {"SawSearchCapacity",
     KindSaw,
     StandardBoard(),
     1000,
     100,
     ModeSynthesiser,
     {60000, false, false},
     1,
     6e7,
     60000,
     1,
     60000,
     1000},
    // An odd count served as two periods: 333 points at 100 MHz.
    {"SawSearchTwoPeriods",
     KindSaw,
     StandardBoard(),
     1e8 / 333,
     100,
     ModeSynthesiser,
     {100000, false, false},
     1,
     1e8,
     666,
     2,
     333,
     1e8 / 333},
    // Mode 3, triangle: k = 14 first, s upwards, the last of equal candidates
    // stays: k = 0 at 100 MHz (a rule keeping the first would stop at a large k).
    {"TriangleSearchLastOfEqual",
     KindTriangle,
     StandardBoard(),
     1000,
     100,
     ModeSynthesiser,
     {100000, false, false},
     1,
     1e8,
     100000,
     1,
     100000,
     1000},
    {"TriangleSearchCapacity",
     KindTriangle,
     StandardBoard(),
     1000,
     100,
     ModeSynthesiser,
     {60000, false, false},
     1,
     6e7,
     60000,
     1,
     60000,
     1000},
    // The triangle never plans fewer than 10 points per period in mode 3.
    {"TriangleSearchTenPoints",
     KindTriangle,
     StandardBoard(),
     5e7,
     100,
     ModeSynthesiser,
     {100000, false, false},
     1,
     1e8,
     10,
     1,
     10,
     5e7},
    // A search keeps result 2 of a frequency moved into range, and the realised
    // frequency goes into the request's frequency.
    {"SearchKeepsMovedResult",
     KindSaw,
     StandardBoard(),
     6e7,
     100,
     ModeSynthesiser,
     {100000, false, false},
     2,
     1e8,
     6,
     2,
     3,
     1e8 / 3},
    // The saw at the highest frequency: p = 2 becomes 3, served as two periods.
    {"SawSearchShortPeriod",
     KindSaw,
     StandardBoard(),
     5e7,
     100,
     ModeSynthesiser,
     {100000, false, false},
     1,
     1e8,
     6,
     2,
     3,
     5e7},
    // Single play: the search keeps two points of room; the lead points are
    // counted (99750 + 2).
    {"SawSearchSinglePlay",
     KindSaw,
     StandardBoard(),
     1000,
     100,
     ModeSynthesiser,
     {100000, false, true},
     1,
     99750000,
     99752,
     1,
     99750,
     1000},
    // Single play of the odd two-period candidate: one period of 333, the two lead
    // points and a pad (336), one period, so the frequency stays 1e8 / 333.
    {"SawSearchSinglePlayOddPeriod",
     KindSaw,
     StandardBoard(),
     1e8 / 333,
     100,
     ModeSynthesiser,
     {100000, false, true},
     1,
     1e8,
     336,
     1,
     333,
     1e8 / 333},
    // Single play when the period fills the memory: the period gives way to the
    // two lead points (100 points of memory, a period of 100 at 100 kHz).
    {"SinglePlayPeriodGivesWay",
     KindTriangle,
     Board({100000}, 1.0f, 1e6f),
     1000,
     100,
     ModeMostPoints,
     {100, false, true},
     1,
     100000,
     100,
     1,
     98,
     1000},
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

class RampPlans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(RampPlans, PlansAsExpected) {
    const PlanCase& c = GetParam();
    auto wave = MakeWaveform(c.kind);
    wave->SetMode(c.mode);
    UndulaRequest request = MakeRequest(c.kind, c.frequency, c.amplitude);
    int32_t points = 0;
    EXPECT_EQ(PrepareOn(*wave, request, c.board, c.args, &points), c.result);
    EXPECT_EQ(points, c.points);
    EXPECT_EQ(wave->Points(), c.points);
    EXPECT_DOUBLE_EQ(wave->SampleClock(), c.clock);
    EXPECT_EQ(wave->Periods(), c.periods);
    EXPECT_DOUBLE_EQ(wave->PointsPerPeriod(), c.perPeriod);
    const double realised = c.clock / c.perPeriod;
    EXPECT_DOUBLE_EQ(wave->RealisedFrequency(), realised);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, realised);
    EXPECT_DOUBLE_EQ(request.frequency, c.frequencyAfter);
    EXPECT_TRUE(wave->IsPrepared());
    GenerateGuarded(*wave, 0);
}

INSTANTIATE_TEST_SUITE_P(Ramps, RampPlans, ::testing::ValuesIn(kPlans), CaseName());

// ---------------------------------------------------------------- failures

struct FailureCase {
    const char* name;
    int32_t kind;
    TestBoard board;
    double frequency;
    int32_t amplitude;
    int32_t mode;
    int32_t capacity;
    bool even;
    int32_t result;
};

const FailureCase kFailures[] = {
    {"ZeroFrequency", KindSaw, StandardBoard(), 0, 100, ModeMostPoints, 1000, false, -1},
    {"NotANumberFrequency", KindTriangle, StandardBoard(), std::numeric_limits<double>::quiet_NaN(),
     100, ModeMostPoints, 1000, false, -1},
    {"ZeroAmplitude", KindSaw, StandardBoard(), 1000, 0, ModeMostPoints, 1000, false, -1},
    {"NoCapacity", KindTriangle, StandardBoard(), 1000, 100, ModeMostPoints, 0, false, -1},
    {"NoClocks", KindSaw, Board({}, 1.0f, 1e6f), 1000, 100, ModeMostPoints, 1000, false, -1},
    // Every clock gives more points than the memory holds: the single-period plan
    // would overrun it, so nothing fits.
    {"SinglePeriodTooLong", KindSaw, Board({1e6, 5e5}, 1.0f, 1e7f), 1000, 100, ModeMostPoints, 100,
     false, -2},
    // The triangle's search needs 10 points per period.
    {"TriangleSearchNoRoom", KindTriangle, StandardBoard(), 1e6, 100, ModeSynthesiser, 9, false,
     -2},
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class RampFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RampFailures, FailsAndStaysUnprepared) {
    const FailureCase& c = GetParam();
    auto wave = MakeWaveform(c.kind);
    wave->SetMode(c.mode);
    UndulaRequest request = MakeRequest(c.kind, c.frequency, c.amplitude);
    EXPECT_EQ(PrepareOn(*wave, request, c.board, {c.capacity, c.even, false}), c.result);
    EXPECT_FALSE(wave->IsPrepared());
    int16_t code = Untouched;
    EXPECT_EQ(wave->Generate(&code, 0, 14, 0), 0);
    EXPECT_EQ(code, Untouched);
}

INSTANTIATE_TEST_SUITE_P(Ramps, RampFailures, ::testing::ValuesIn(kFailures), CaseName());

TEST(RampPrepare, MissingRequestGivesZeroAndClearsTheOldPlan) {
    for (const int32_t kind : {KindSaw, KindTriangle}) {
        auto wave = MakeWaveform(kind);
        UndulaRequest request = MakeRequest(kind, 1000, 100);
        ASSERT_EQ(PrepareOn(*wave, request, StandardBoard(), {}), 1);
        const TestBoard board = StandardBoard();
        int32_t points = 0;
        EXPECT_EQ(wave->Prepare(nullptr, board.minClock, board.maxClock, board.clocks.data(), 15,
                                1000, 0, &points, 0),
                  0);
        EXPECT_FALSE(wave->IsPrepared());
    }
}

// Mode 3 in single play with a delay: the leading points come from the clock the
// search chose (99.75 MHz x 1 us = 99), not from an earlier one.
TEST(RampPrepare, DelayFollowsTheSearchClock) {
    auto wave = MakeWaveform(KindSaw);
    wave->SetMode(ModeSynthesiser);
    UndulaRequest request = MakeRequest(KindSaw, 1000, 100);
    request.delay = 1e-6;
    int32_t points = 0;
    ASSERT_EQ(PrepareOn(*wave, request, StandardBoard(), {100000, false, true}, &points), 1);
    EXPECT_DOUBLE_EQ(wave->SampleClock(), 99750000);
    EXPECT_EQ(wave->LeadingPoints(), 99);
    // 99 leading, 2 lead points, 99750 of the period and a pad point.
    EXPECT_EQ(points, 99852);
    const Codes codes = GenerateGuarded(*wave, 0);
    EXPECT_EQ(codes[98], 100); // leading points at the top code
    EXPECT_EQ(codes[99], 0);   // lead points at the bottom
    EXPECT_EQ(codes[100], 0);
    EXPECT_EQ(codes[101], 0); // the ramp starts
    EXPECT_EQ(codes[99850], 100);
    EXPECT_EQ(codes[99851], 0); // pad
}

TEST(RampGenerate, NullBufferGivesZero) {
    auto wave = MakeWaveform(KindSaw);
    UndulaRequest request = MakeRequest(KindSaw, 1000, 100);
    ASSERT_EQ(PrepareOn(*wave, request, StandardBoard(), {}), 1);
    EXPECT_EQ(wave->Generate(nullptr, 0, 14, 0), 0);
}

TEST(RampGenerate, StopFlagEndsWithMinusOne) {
    auto wave = MakeWaveform(KindTriangle);
    UndulaRequest request = MakeRequest(KindTriangle, 1000, 100);
    ASSERT_EQ(PrepareOn(*wave, request, StandardBoard(), {}), 1);
    wave->RequestStop();
    std::vector<int16_t> buffer(static_cast<size_t>(wave->Points()));
    EXPECT_EQ(wave->Generate(buffer.data(), 0, 14, 0), -1);
    wave->ClearStop();
    EXPECT_EQ(wave->Generate(buffer.data(), 0, 14, 0), 1);
}

// A long saw: every step is H / (p - 1), the last point reaches the top exactly and
// the extremes are the bottom and top codes.
TEST(RampGenerate, LongSawReachesTopExactly) {
    auto wave = MakeWaveform(KindSaw);
    UndulaRequest request = MakeRequest(KindSaw, 1000, 8191, PolarityBipolar);
    ASSERT_EQ(PrepareOn(*wave, request, StandardBoard(), {100000, false, false}), 1);
    ASSERT_EQ(wave->PointsPerPeriod(), 100000);
    const Codes codes = GenerateGuarded(*wave, 0);
    EXPECT_EQ(codes.front(), -8191);
    EXPECT_EQ(codes.back(), 8191);
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_EQ(wave->LowestWritten(), -8191);
    EXPECT_EQ(wave->HighestWritten(), 8191);
}

TEST(RampClone, CarriesThePlan) {
    __MSaw2 saw;
    UndulaRequest request = MakeRequest(KindSaw, 1000, 100);
    request.sawDirection = 1;
    ASSERT_EQ(PrepareOn(saw, request, {{5000}, 1.0f, 1e6f}, {100, false, false}), 1);
    const auto copy = saw.Clone();
    EXPECT_EQ(GenerateGuarded(*copy, 0), (Codes{100, 75, 50, 25, 0}));
}

} // namespace
