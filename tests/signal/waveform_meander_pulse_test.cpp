// Meander and pulse: exact codes, the halving and shrinking plans (with their
// bounds), the pulse width, the three pulse options in mode 3 and single play.

#include "signal/meander_pulse.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <ostream>
#include <random>
#include <vector>

namespace {

using Codes = std::vector<int16_t>;

// A board of one clock: a request of `frequency` Hz gets clock / frequency points.
struct CodesCase {
    const char* name;
    int32_t kind;
    double clock;
    double frequency;
    int32_t amplitude;
    int32_t polarity;
    double duration; // pulse only
    int32_t base;
    bool even;
    bool single;
    double phase;
    Codes codes;
    int32_t width; // pulse only
};

constexpr double Pi = std::numbers::pi;
const Codes kEightHigh4 = {100, 100, 100, 100, 0, 0, 0, 0};

const CodesCase kCodes[] = {
    {"MeanderEight", KindMeander, 8000, 1000, 100, PolarityPositive, 0, 0, false, false, 0,
     kEightHigh4, 0},
    // An odd period: r / 2 = 3 points high, 4 low.
    {"MeanderSeven",
     KindMeander,
     7000,
     1000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     {100, 100, 100, 0, 0, 0, 0},
     0},
    {"MeanderNegative",
     KindMeander,
     8000,
     1000,
     100,
     PolarityNegative,
     0,
     0,
     false,
     false,
     0,
     {-100, -100, -100, -100, 0, 0, 0, 0},
     0},
    {"MeanderBipolar",
     KindMeander,
     8000,
     1000,
     100,
     PolarityBipolar,
     0,
     0,
     false,
     false,
     0,
     {100, 100, 100, 100, -100, -100, -100, -100},
     0},
    {"MeanderOtherPolarity",
     KindMeander,
     8000,
     1000,
     100,
     5,
     0,
     0,
     false,
     false,
     0,
     {200, 200, 200, 200, 0, 0, 0, 0},
     0},
    // Levels are clamped after the base is added.
    {"MeanderClamped",
     KindMeander,
     4000,
     1000,
     100,
     PolarityBipolar,
     0,
     -8150,
     false,
     false,
     0,
     {-8050, -8050, -8192, -8192},
     0},
    // The even flag serves the odd period twice: two identical periods.
    {"MeanderTwoPeriods", KindMeander, 7000, 1000, 100, PolarityPositive, 0, 0, true, false, 0,
     Repeat({100, 100, 100, 0, 0, 0, 0}, 2), 0},
    // Phase pi: a shift of 4 points.
    {"MeanderPhasePi",
     KindMeander,
     8000,
     1000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     false,
     Pi,
     {0, 0, 0, 0, 100, 100, 100, 100},
     0},
    // Single play: two lead points at L0, then the period.
    {"MeanderSinglePlay",
     KindMeander,
     8000,
     1000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     true,
     0,
     {0, 0, 100, 100, 100, 100, 0, 0, 0, 0},
     0},
    {"MeanderSinglePlayOddPads",
     KindMeander,
     7000,
     1000,
     100,
     PolarityPositive,
     0,
     0,
     false,
     true,
     0,
     {0, 0, 100, 100, 100, 0, 0, 0, 0, 0},
     0},
    // Pulses at 8192 Hz and 1024 Hz: 8 points; a duration of 3 / 8192 s is 3 points.
    {"PulsePositive",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     3.0 / 8192,
     0,
     false,
     false,
     0,
     {100, 100, 100, 0, 0, 0, 0, 0},
     3},
    {"PulseNegative",
     KindPulse,
     8192,
     1024,
     100,
     PolarityNegative,
     3.0 / 8192,
     0,
     false,
     false,
     0,
     {-100, -100, -100, 0, 0, 0, 0, 0},
     3},
    // Bipolar pulse of amplitude 100: pulse level 100, base level -100.
    {"PulseBipolar",
     KindPulse,
     8192,
     1024,
     100,
     PolarityBipolar,
     3.0 / 8192,
     0,
     false,
     false,
     0,
     {100, 100, 100, -100, -100, -100, -100, -100},
     3},
    // A duration longer than the period: width 0, a constant low level.
    {"PulseLongerThanPeriod",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     2.0 / 1024,
     0,
     false,
     false,
     0,
     {0, 0, 0, 0, 0, 0, 0, 0},
     0},
    // Exactly the period: all high.
    {"PulseWholePeriod",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     1.0 / 1024,
     0,
     false,
     false,
     0,
     {100, 100, 100, 100, 100, 100, 100, 100},
     8},
    {"PulseZeroDuration",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     0,
     0,
     false,
     false,
     0,
     {0, 0, 0, 0, 0, 0, 0, 0},
     0},
    {"PulseNegativeDuration",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     -1e-3,
     0,
     false,
     false,
     0,
     {0, 0, 0, 0, 0, 0, 0, 0},
     0},
    // The pulse takes a zero amplitude: both levels are the base.
    {"PulseZeroAmplitude",
     KindPulse,
     8192,
     1024,
     0,
     PolarityBipolar,
     3.0 / 8192,
     50,
     false,
     false,
     0,
     {50, 50, 50, 50, 50, 50, 50, 50},
     3},
    // Seven points served twice, 2.5 points of duration give width 2 in each.
    {"PulseTwoPeriods", KindPulse, 7168, 1024, 100, PolarityPositive, 2.5 / 7168, 0, true, false, 0,
     Repeat({100, 100, 0, 0, 0, 0, 0}, 2), 2},
    // A shift of exactly one point becomes two for the pulse.
    {"PulseShiftOneBecomesTwo",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     3.0 / 8192,
     0,
     false,
     false,
     3 * Pi / 8,
     {0, 0, 100, 100, 100, 0, 0, 0},
     3},
    {"PulsePhasePi",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     3.0 / 8192,
     0,
     false,
     false,
     Pi,
     {0, 0, 0, 0, 100, 100, 100, 0},
     3},
    {"PulseSinglePlay",
     KindPulse,
     8192,
     1024,
     100,
     PolarityPositive,
     3.0 / 8192,
     0,
     false,
     true,
     0,
     {0, 0, 100, 100, 100, 0, 0, 0, 0, 0},
     3},
};

void PrintTo(const CodesCase& c, std::ostream* os) {
    *os << c.name;
}

class TwoLevelCodes : public ::testing::TestWithParam<CodesCase> {};

TEST_P(TwoLevelCodes, WritesExactCodes) {
    const CodesCase& c = GetParam();
    auto wave = MakeWaveform(c.kind);
    UndulaRequest request = MakeRequest(c.kind, c.frequency, c.amplitude, c.polarity);
    request.duration = c.duration;
    const TestBoard board{{c.clock}, 1.0f, 1e6f};
    int32_t points = 0;
    ASSERT_EQ(PrepareOn(*wave, request, board, {100, c.even, c.single}, &points), 1);
    EXPECT_EQ(points, static_cast<int32_t>(c.codes.size()));
    if (c.kind == KindPulse) {
        EXPECT_EQ(static_cast<__MRect&>(*wave).Width(), c.width);
    }
    const Codes codes = GenerateGuarded(*wave, c.base, 14, c.phase);
    EXPECT_EQ(codes, c.codes);
    // The extremes of what was written (a flat pulse has no high level in it).
    EXPECT_EQ(wave->LowestWritten(), *std::min_element(c.codes.begin(), c.codes.end()));
    EXPECT_EQ(wave->HighestWritten(), *std::max_element(c.codes.begin(), c.codes.end()));
    EXPECT_DOUBLE_EQ(request.realisedFrequency, c.clock / wave->PointsPerPeriod());
}

INSTANTIATE_TEST_SUITE_P(TwoLevel, TwoLevelCodes, ::testing::ValuesIn(kCodes), CaseName());

// ---------------------------------------------------------------- plans

struct PlanCase {
    const char* name;
    int32_t kind;
    TestBoard board;
    double frequency;
    double duration;
    int32_t mode;
    int32_t option;
    PrepareArgs args;
    // expected
    int32_t result;
    double clock;
    int32_t points;
    int32_t periods;
    double perPeriod;
    int32_t width;        // pulse only
    double durationAfter; // pulse only: the request's duration after Prepare
    double frequencyAfter;
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

TestBoard Board(std::vector<double> clocks) {
    return {std::move(clocks), 1.0f, 1e7f};
}

const PlanCase kPlans[] = {
    // Table choice, most points; width trunc(1e8 x 1e-4).
    {"PulseTable",
     KindPulse,
     StandardBoard(),
     1000,
     1e-4,
     ModeMostPoints,
     1,
     {100000, false, false},
     1,
     1e8,
     100000,
     1,
     100000,
     10000,
     1e-4,
     1000},
    {"MeanderFrequencyLowered",
     KindMeander,
     StandardBoard(),
     6e7,
     0,
     ModeMostPoints,
     1,
     {1000, false, false},
     2,
     1e8,
     2,
     1,
     2,
     0,
     0,
     5e7},
    // Halving plan: the table gives one point (1.8 clocks per period); halving m
    // from 100 reaches the 1800 Hz clock at m = 1: round(1.8) = 2 points.
    {"MeanderHalvingPlan",
     KindMeander,
     Board({1e6, 1800}),
     1000,
     0,
     ModeMostPoints,
     1,
     {100, false, false},
     1,
     1800,
     2,
     1,
     2,
     0,
     0,
     1000},
    // Mode 3, meander: k = 0 first and s upwards, first exact candidate stays:
    // 50 MHz and 50000 points (s downwards would give 100 MHz, a rule keeping the
    // last a larger k).
    {"MeanderSearch",
     KindMeander,
     StandardBoard(),
     1000,
     0,
     ModeSynthesiser,
     1,
     {100000, false, false},
     1,
     5e7,
     50000,
     1,
     50000,
     0,
     0,
     1000},
    // Mode 3, option 1: s downwards first, k inner: at 100 MHz, k = 0 needs 100000
    // points (more than 60000), k = 1 is exact: 50 MHz, 50000 points; width
    // 50000 x 0.1 = 5000, duration 5000 / 5e7 written back.
    {"PulseOption1",
     KindPulse,
     StandardBoard(),
     1000,
     1e-4,
     ModeSynthesiser,
     1,
     {60000, false, false},
     1,
     5e7,
     50000,
     1,
     50000,
     5000,
     1e-4,
     1000},
    // Option 1 with a duration longer than the period: shortened to (n-1)/n of it.
    {"PulseOption1TooLong",
     KindPulse,
     StandardBoard(),
     1000,
     2e-3,
     ModeSynthesiser,
     1,
     {100000, false, false},
     1,
     1e8,
     100000,
     1,
     100000,
     99999,
     99999 / 1e8,
     1000},
    // Option 0 at 1 MHz, duration 0.3 us: gap and pulse lengths in the ratio 7 : 3;
    // the longest pair the 100 MHz clock can play at 1 MHz is 70 + 30.
    {"PulseOption0",
     KindPulse,
     StandardBoard(),
     1e6,
     3e-7,
     ModeSynthesiser,
     0,
     {100000, false, false},
     1,
     1e8,
     100,
     1,
     100,
     30,
     3e-7,
     1e6},
    // Option 0 with a duration of 0: nothing found, the shrinking plan stays (at
    // m = 100000 the clock 195312.5 Hz gives too many points; m jumps to 97656).
    {"PulseOption0NothingFound",
     KindPulse,
     StandardBoard(),
     1,
     0,
     ModeSynthesiser,
     0,
     {100000, false, false},
     1,
     97656.25,
     97656,
     1,
     97656,
     0,
     0,
     1},
    // Option 2: width first (10000 points at 100 MHz), then the gap.
    {"PulseOption2",
     KindPulse,
     StandardBoard(),
     1000,
     1e-4,
     ModeSynthesiser,
     2,
     {100000, false, false},
     1,
     1e8,
     100000,
     1,
     100000,
     10000,
     1e-4,
     1000},
    // Option 2, width 101 and a gap of -1: each gap candidate at least 2, the odd
    // total 103 becomes 104.
    {"PulseOption2ShortGap",
     KindPulse,
     StandardBoard(),
     1e6,
     1.01e-6,
     ModeSynthesiser,
     2,
     {100000, false, false},
     1,
     1e8,
     104,
     1,
     104,
     101,
     101 / 1e8,
     1e6},
    // Option 2 at 1 Hz: the period does not fit into the memory, so the plan without
    // the search stays and the duration is the client's.
    {"PulseOption2NoRoom",
     KindPulse,
     StandardBoard(),
     1,
     1e-3,
     ModeSynthesiser,
     2,
     {100000, false, false},
     1,
     97656.25,
     97656,
     1,
     97656,
     97,
     1e-3,
     1},
    // Single play forces option 2: the period is the pulse alone (10000 points),
    // after the two lead points.
    {"PulseSinglePlayWidthFirst",
     KindPulse,
     StandardBoard(),
     1000,
     1e-4,
     ModeSynthesiser,
     1,
     {100000, false, true},
     1,
     1e8,
     10002,
     1,
     10000,
     10000,
     1e-4,
     1000},
};

class TwoLevelPlans : public ::testing::TestWithParam<PlanCase> {};

TEST_P(TwoLevelPlans, PlansAsExpected) {
    const PlanCase& c = GetParam();
    auto wave = MakeWaveform(c.kind);
    wave->SetMode(c.mode);
    wave->SetPulseOption(c.option);
    UndulaRequest request = MakeRequest(c.kind, c.frequency, 100);
    request.duration = c.duration;
    int32_t points = 0;
    EXPECT_EQ(PrepareOn(*wave, request, c.board, c.args, &points), c.result);
    EXPECT_EQ(points, c.points);
    EXPECT_DOUBLE_EQ(wave->SampleClock(), c.clock);
    EXPECT_EQ(wave->Periods(), c.periods);
    EXPECT_DOUBLE_EQ(wave->PointsPerPeriod(), c.perPeriod);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, c.clock / c.perPeriod);
    EXPECT_DOUBLE_EQ(request.frequency, c.frequencyAfter);
    if (c.kind == KindPulse) {
        EXPECT_EQ(static_cast<__MRect&>(*wave).Width(), c.width);
        EXPECT_DOUBLE_EQ(request.duration, c.durationAfter);
    }
    // The client's pulse option survives a single play.
    EXPECT_EQ(wave->PulseOption(), c.option);
    GenerateGuarded(*wave, 0);
}

INSTANTIATE_TEST_SUITE_P(TwoLevel, TwoLevelPlans, ::testing::ValuesIn(kPlans), CaseName());

struct FailureCase {
    const char* name;
    int32_t kind;
    TestBoard board;
    double frequency;
    int32_t mode;
    PrepareArgs args;
    int32_t result;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

const FailureCase kFailures[] = {
    // Even the lowest clock gives more points than the memory holds: the halving
    // plan ends at m = 0 instead of repeating without end.
    {"MeanderHalvingNothingFits",
     KindMeander,
     Board({1e6, 5e5}),
     1000,
     ModeMostPoints,
     {100, false, false},
     -2},
    // One point per period and the even flag: no even plan exists.
    {"MeanderHalvingOddLeft",
     KindMeander,
     Board({1e6, 1300}),
     1000,
     ModeMostPoints,
     {1, true, false},
     -1},
    // The shrinking plan ends with more points than the memory holds.
    {"PulseShrinkingNothingFits",
     KindPulse,
     Board({1e6, 5e5}),
     1000,
     ModeMostPoints,
     {100, false, false},
     -2},
    {"MeanderZeroFrequency", KindMeander, StandardBoard(), 0, ModeMostPoints, {}, -1},
    {"PulseZeroFrequency", KindPulse, StandardBoard(), 0, ModeMostPoints, {}, -1},
    {"PulseNoClocks", KindPulse, Board({}), 1000, ModeMostPoints, {}, -1},
    {"PulseNoCapacity", KindPulse, StandardBoard(), 1000, ModeMostPoints, {0, false, false}, -1},
    // The meander's search needs two points.
    {"MeanderSearchNoRoom",
     KindMeander,
     StandardBoard(),
     1000,
     ModeSynthesiser,
     {1, false, false},
     -2},
};

class TwoLevelFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TwoLevelFailures, FailsAndStaysUnprepared) {
    const FailureCase& c = GetParam();
    auto wave = MakeWaveform(c.kind);
    wave->SetMode(c.mode);
    UndulaRequest request = MakeRequest(c.kind, c.frequency, 100);
    EXPECT_EQ(PrepareOn(*wave, request, c.board, c.args), c.result);
    EXPECT_FALSE(wave->IsPrepared());
}

INSTANTIATE_TEST_SUITE_P(TwoLevel, TwoLevelFailures, ::testing::ValuesIn(kFailures), CaseName());

// Option 0 with a duration equal to the period: shortened to 99/100 of it, which
// needs more points than the 100 MHz clock can play at 1 MHz, so the plan without
// the search stays (100 points at 100 MHz) and the frequency is kept.
TEST(PulseOption0, DurationOfAWholePeriodKeepsTheFrequency) {
    __MRect pulse;
    pulse.SetMode(ModeSynthesiser);
    pulse.SetPulseOption(0);
    UndulaRequest request = MakeRequest(KindPulse, 1e6, 100);
    request.duration = 1e-6;
    ASSERT_EQ(PrepareOn(pulse, request, StandardBoard(), {}), 1);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, 1e6);
    EXPECT_DOUBLE_EQ(request.duration, 1e-6);
}

// Option 0 keeps to pairs the synthesiser can play: a 1 kHz request with a 10%
// pulse stays at 1 kHz.
TEST(PulseOption0, LongestPlayablePairKeepsTheFrequency) {
    __MRect pulse;
    pulse.SetMode(ModeSynthesiser);
    pulse.SetPulseOption(0);
    UndulaRequest request = MakeRequest(KindPulse, 1000, 100);
    request.duration = 1e-4;
    ASSERT_EQ(PrepareOn(pulse, request, StandardBoard(), {1000000, false, false}), 1);
    EXPECT_NEAR(request.realisedFrequency, 1000, 1e-6);
    EXPECT_LE(pulse.SampleClock(), SynthHigh);
    EXPECT_NEAR(pulse.Width() / pulse.PointsPerPeriod(), 0.1, 1e-3);
}

// Every table clock is too fast for 100 points of memory: the plan without the
// search fails, but in mode 3 the synthesiser search still finds a period (1 MHz
// at 100 points).
TEST(PulseSynthesiser, SearchReplacesAFailedPlan) {
    __MRect pulse;
    pulse.SetMode(ModeSynthesiser);
    pulse.SetPulseOption(1);
    UndulaRequest request = MakeRequest(KindPulse, 1e4, 100);
    request.duration = 2e-5;
    int32_t points = 0;
    ASSERT_EQ(PrepareOn(pulse, request, Board({1e8, 5e7}), {100, false, false}, &points), 1);
    EXPECT_EQ(points, 100);
    EXPECT_DOUBLE_EQ(pulse.SampleClock(), 1e6);
    EXPECT_EQ(pulse.Width(), 20);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, 1e4);
    // Without the search the same request fails.
    pulse.SetMode(ModeMostPoints);
    EXPECT_EQ(PrepareOn(pulse, request, Board({1e8, 5e7}), {100, false, false}), -2);
}

// ---------------------------------------------------------------- shrinking walk

// The pulse's shrinking plan as a plain walk of m down in steps of 2: the
// reference for the skipping walk of the library.
struct WalkResult {
    int32_t result = 0; // 0 made, -1, -2
    double clock = 0;
    int64_t points = 0;
    int32_t periods = 1;
};

WalkResult PlainWalk(const std::vector<double>& clocks, double f, int64_t capacity, bool even) {
    int64_t m = capacity % 2 != 0 ? capacity - 1 : capacity;
    WalkResult out;
    double points = 0;
    bool made = false;
    bool first = true;
    while (true) {
        if (!first && points != 0)
            m -= 2;
        first = false;
        const double clock = __MSignal::LookupClock(
            clocks.data(), static_cast<int32_t>(clocks.size()), f * static_cast<double>(m));
        out.clock = clock;
        out.periods = 1;
        points = std::trunc(clock / f);
        if (even && std::fmod(points, 2) != 0) {
            if (2 * points <= static_cast<double>(capacity)) {
                points *= 2;
                out.periods = 2;
                made = true;
                break;
            }
        } else if (points <= static_cast<double>(capacity) && points > 1) {
            made = true;
            break;
        }
        if (points < 1 || m < 1)
            break;
    }
    out.points = static_cast<int64_t>(points);
    if (!made) {
        if (points < 1 || points > static_cast<double>(capacity))
            out.result = -2;
        else if (even && std::fmod(points, 2) != 0)
            out.result = -1;
    }
    return out;
}

// Mode 3 with option 0 and no duration: the search finds nothing, so the plan is
// the shrinking walk alone. Random tables, frequencies and small capacities.
TEST(PulseShrinkingPlan, MatchesThePlainWalk) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        const int count = 1 + static_cast<int>(random() % 6);
        std::vector<double> clocks;
        for (int i = 0; i < count; ++i)
            clocks.push_back(static_cast<double>(100 + random() % 200000));
        std::sort(clocks.begin(), clocks.end(), std::greater<>());
        const int32_t capacity = 1 + static_cast<int32_t>(random() % 3000);
        const bool even = random() % 2 == 0;
        const double f = 5.0 + static_cast<double>(random() % 20000) / 7.0;

        __MRect pulse;
        pulse.SetMode(ModeSynthesiser);
        pulse.SetPulseOption(0);
        UndulaRequest request = MakeRequest(KindPulse, f, 100);
        const TestBoard board{clocks, 1.0f, 1e7f};
        int32_t points = 0;
        const int32_t result = PrepareOn(pulse, request, board, {capacity, even, false}, &points);
        const WalkResult walk = PlainWalk(clocks, request.frequency, capacity, even);
        SCOPED_TRACE(::testing::Message() << "round " << round << " f " << f << " capacity "
                                          << capacity << " even " << even);
        if (walk.result < 0) {
            EXPECT_EQ(result, walk.result);
            continue;
        }
        ASSERT_GE(result, 1);
        EXPECT_DOUBLE_EQ(pulse.SampleClock(), walk.clock);
        EXPECT_EQ(points, walk.points);
        EXPECT_EQ(pulse.Periods(), walk.periods);
    }
}

// A memory of two thousand million points and a clock table with a wide gap: the
// plain walk would take 500 million steps from the fast clock to the slow one.
TEST(PulseShrinkingPlan, LargeMemoryEndsQuickly) {
    __MRect pulse;
    pulse.SetMode(ModeSynthesiser);
    pulse.SetPulseOption(0);
    UndulaRequest request = MakeRequest(KindPulse, 1000, 100);
    const TestBoard board{{1e13, 1e12}, 1.0f, 1e13f};
    const auto start = std::chrono::steady_clock::now();
    int32_t points = 0;
    EXPECT_EQ(PrepareOn(pulse, request, board, {2000000000, false, false}, &points), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(points, 1000000000);
    EXPECT_DOUBLE_EQ(pulse.SampleClock(), 1e12);
}

} // namespace
