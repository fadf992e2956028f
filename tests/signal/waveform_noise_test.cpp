// Noise: the sample-rate plan, the two-level sequence, Gaussian and uniform noise
// (statistics over a million points), the range by polarity and two objects
// generating at once.

#include "signal/noise.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <limits>
#include <numeric>
#include <ostream>
#include <set>
#include <thread>
#include <vector>

namespace {

using Codes = std::vector<int16_t>;

UndulaRequest NoiseRequest(int32_t variant, int32_t amplitude, int32_t polarity,
                           double rate = 12.5e6) {
    UndulaRequest request = MakeRequest(KindNoise, 0, amplitude, polarity);
    request.noiseVariant = variant;
    request.sampleRate = rate;
    request.realisedFrequency = -1; // the noise leaves it alone
    return request;
}

// ---------------------------------------------------------------- plan

struct RateCase {
    const char* name;
    double rate;
    int32_t amplitude;
    int32_t capacity;
    bool single;
    double delay;
    int32_t result;
    double clock; // also the request's sample rate afterwards
};

void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

const RateCase kRates[] = {
    // A rate that is a clock of the table is realised as asked.
    {"TableClock", 12.5e6, 100, 1000, false, 0, 1, 12.5e6},
    // Otherwise the lowest clock that is at least the rate: result 2.
    {"BetweenClocks", 1e6, 100, 1000, false, 0, 2, 1562500},
    {"AboveEveryClock", 3e8, 100, 1000, false, 0, 2, 1e8},
    {"BelowEveryClock", 1, 100, 1000, false, 0, 2, 6103.515625},
    // The noise fills the memory even in single play with a delay.
    {"SinglePlayDelay", 12.5e6, 100, 1000, true, 1e-3, 1, 12.5e6},
    {"ZeroRate", 0, 100, 1000, false, 0, -1, 0},
    {"NotANumberRate", std::numeric_limits<double>::quiet_NaN(), 100, 1000, false, 0, -1, 0},
    {"ZeroAmplitude", 12.5e6, 0, 1000, false, 0, -1, 0},
    {"NoCapacity", 12.5e6, 100, 0, false, 0, -2, 12.5e6},
};

class NoisePlan : public ::testing::TestWithParam<RateCase> {};

TEST_P(NoisePlan, FillsTheMemoryAtTheRealisedRate) {
    const RateCase& c = GetParam();
    __MNoise noise;
    UndulaRequest request = NoiseRequest(0, c.amplitude, PolarityBipolar, c.rate);
    request.delay = c.delay;
    int32_t points = -7;
    EXPECT_EQ(PrepareOn(noise, request, StandardBoard(), {c.capacity, false, c.single}, &points),
              c.result);
    if (c.result == -1) {
        EXPECT_EQ(points, -7);
        EXPECT_FALSE(noise.IsPrepared());
        return;
    }
    EXPECT_DOUBLE_EQ(request.sampleRate, c.clock);
    EXPECT_DOUBLE_EQ(noise.SampleClock(), c.clock);
    EXPECT_EQ(points, c.capacity);
    EXPECT_EQ(noise.LeadingPoints(), 0);
    EXPECT_EQ(noise.IsPrepared(), c.result > 0);
    if (c.result > 0) {
        EXPECT_DOUBLE_EQ(noise.RealisedFrequency(), c.clock / c.capacity);
        EXPECT_DOUBLE_EQ(noise.PointsPerPeriod(), c.capacity);
    }
    EXPECT_EQ(request.realisedFrequency, -1);
}

INSTANTIATE_TEST_SUITE_P(Noise, NoisePlan, ::testing::ValuesIn(kRates), CaseName());

TEST(NoisePlan, EvenFlagWithOddMemoryGivesOnePointLess) {
    __MNoise noise;
    UndulaRequest request = NoiseRequest(0, 100, PolarityBipolar);
    int32_t points = 0;
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {1001, true, false}, &points), 1);
    EXPECT_EQ(points, 1000);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {1001, false, false}, &points), 1);
    EXPECT_EQ(points, 1001);
}

TEST(NoisePlan, MissingRequestGivesZero) {
    __MNoise noise;
    const TestBoard board = StandardBoard();
    int32_t points = 0;
    EXPECT_EQ(noise.Prepare(nullptr, board.minClock, board.maxClock, board.clocks.data(), 15, 100,
                            0, &points, 0),
              0);
}

// ---------------------------------------------------------------- two-level sequence

// The sequence computed bit by bit: before each point the register moves up one
// place and its new lowest bit is bit 30 xor bit 27 of the old register; the top
// bit then selects base - A.
Codes ReferenceSequence(size_t count, int32_t base, int32_t a) {
    std::bitset<32> reg(__MNoise::SequenceStart);
    Codes codes;
    for (size_t i = 0; i < count; ++i) {
        const bool feedback = reg[30] != reg[27];
        reg <<= 1;
        reg[0] = feedback;
        codes.push_back(static_cast<int16_t>(reg[31] ? base - a : base + a));
    }
    return codes;
}

TEST(NoiseSequence, FollowsTheRegisterAndRepeatsAtEveryGenerate) {
    __MNoise noise;
    UndulaRequest request = NoiseRequest(0, 100, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {5000, false, false}), 1);
    const Codes first = GenerateGuarded(noise, 50);
    EXPECT_EQ(first, ReferenceSequence(5000, 50, 100));
    EXPECT_EQ(GenerateGuarded(noise, 50), first);
    EXPECT_EQ(GenerateGuarded(*noise.Clone(), 50), first);
    // Both levels occur.
    EXPECT_EQ(noise.LowestWritten(), -50);
    EXPECT_EQ(noise.HighestWritten(), 150);
}

TEST(NoiseSequence, AnyOtherVariantIsTheSequence) {
    __MNoise noise;
    UndulaRequest request = NoiseRequest(7, 10, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {64, false, false}), 1);
    EXPECT_EQ(GenerateGuarded(noise, 0), ReferenceSequence(64, 0, 10));
}

// ---------------------------------------------------------------- uniform

TEST(NoiseUniform, AmplitudeOneAlternatesBetweenBaseLessOneAndBase) {
    __MNoise noise;
    UndulaRequest request = NoiseRequest(NoiseUniform, 1, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {10000, false, false}), 1);
    const Codes codes = GenerateGuarded(noise, 300);
    const std::set<int16_t> values(codes.begin(), codes.end());
    EXPECT_EQ(values, (std::set<int16_t>{299, 300}));
    EXPECT_EQ(noise.LowestWritten(), 299);
    EXPECT_EQ(noise.HighestWritten(), 300);
}

TEST(NoiseUniform, CoversBaseLessAToBasePlusALessOne) {
    __MNoise noise;
    UndulaRequest request = NoiseRequest(NoiseUniform, 100, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {1000000, false, false}), 1);
    const Codes codes = GenerateGuarded(noise, 1000);
    const std::set<int16_t> values(codes.begin(), codes.end());
    ASSERT_EQ(values.size(), 200u);
    EXPECT_EQ(*values.begin(), 900);
    EXPECT_EQ(*values.rbegin(), 1099);
    const double mean =
        std::accumulate(codes.begin(), codes.end(), 0.0) / static_cast<double>(codes.size());
    // Uniform over 900..1099: mean 999.5, standard error 57.7 / 1000.
    EXPECT_NEAR(mean, 999.5, 0.5);
    EXPECT_EQ(noise.LowestWritten(), 900);
    EXPECT_EQ(noise.HighestWritten(), 1099);
}

// An amplitude beyond 16384 codes needs more than one 15-bit draw to reach the top
// half of the range.
TEST(NoiseUniform, WideAmplitudeReachesBothEnds) {
    __MNoise noise;
    UndulaRequest request = NoiseRequest(NoiseUniform, 20000, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {200000, false, false}), 1);
    const Codes codes = GenerateGuarded(noise, 0, 16);
    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
    EXPECT_GE(*low, -20000);
    EXPECT_LT(*low, -19000);
    EXPECT_LE(*high, 19999);
    EXPECT_GT(*high, 19000);
}

// ---------------------------------------------------------------- Gaussian

TEST(NoiseGaussian, MeanAndSpreadOverAMillionPoints) {
    __MNoise noise;
    const int32_t a = 1000;
    UndulaRequest request = NoiseRequest(NoiseGaussian, a, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {1000000, false, false}), 1);
    const Codes codes = GenerateGuarded(noise, 0);
    const auto n = static_cast<double>(codes.size());
    double sum = 0;
    double squares = 0;
    size_t withinOne = 0;
    for (const int16_t code : codes) {
        sum += code;
        squares += static_cast<double>(code) * code;
        if (std::abs(code) <= a)
            ++withinOne;
    }
    const double mean = sum / n;
    const double sd = std::sqrt(squares / n - mean * mean);
    // Standard error of the mean: 1000 / sqrt(1e6) = 1; of the deviation about 0.7.
    EXPECT_NEAR(mean, 0, 5);
    EXPECT_NEAR(sd, a, 10);
    EXPECT_NEAR(static_cast<double>(withinOne) / n, 0.6827, 0.005);
    // No full-scale spikes: u1 never is 0, so |g| <= sqrt(-2 ln(1 / 32767)) < 4.6.
    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
    EXPECT_GT(*low, -4600);
    EXPECT_LT(*high, 4600);
    EXPECT_EQ(noise.LowestWritten(), *low);
    EXPECT_EQ(noise.HighestWritten(), *high);
}

// Two noise objects generating at the same time on two threads each produce sound
// noise (each has its own generator and selector).
TEST(NoiseGaussian, TwoObjectsOnTwoThreads) {
    __MNoise first;
    __MNoise second;
    UndulaRequest request = NoiseRequest(NoiseGaussian, 1000, PolarityBipolar);
    ASSERT_EQ(PrepareOn(first, request, StandardBoard(), {300000, false, false}), 1);
    ASSERT_EQ(PrepareOn(second, request, StandardBoard(), {300000, false, false}), 1);
    std::vector<int16_t> a(300000);
    std::vector<int16_t> b(300000);
    int32_t ra = 0;
    int32_t rb = 0;
    std::thread ta([&] { ra = first.Generate(a.data(), 0, 14, 0); });
    std::thread tb([&] { rb = second.Generate(b.data(), 0, 14, 0); });
    ta.join();
    tb.join();
    EXPECT_EQ(ra, 1);
    EXPECT_EQ(rb, 1);
    for (const auto* codes : {&a, &b}) {
        double sum = 0;
        double squares = 0;
        for (const int16_t code : *codes) {
            sum += code;
            squares += static_cast<double>(code) * code;
        }
        const double mean = sum / 300000;
        EXPECT_NEAR(mean, 0, 10);
        EXPECT_NEAR(std::sqrt(squares / 300000 - mean * mean), 1000, 15);
    }
}

// ---------------------------------------------------------------- range by polarity

struct RangeCase {
    const char* name;
    int32_t polarity;
    int32_t lowest;
    int32_t highest;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

const RangeCase kRanges[] = {
    {"Positive", PolarityPositive, 0, 8191},
    {"Negative", PolarityNegative, -8191, 0},
    {"Bipolar", PolarityBipolar, -8192, 8191},
    {"OtherTakesTheWholeRange", 9, -8192, 8191},
};

class NoiseRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(NoiseRange, ClampsIntoThePolarityRange) {
    const RangeCase& c = GetParam();
    __MNoise noise;
    // A polarity-0 generation first: an unknown polarity must not keep its range.
    UndulaRequest before = NoiseRequest(NoiseGaussian, 8000, PolarityPositive);
    ASSERT_EQ(PrepareOn(noise, before, StandardBoard(), {1000, false, false}), 1);
    GenerateGuarded(noise, 0);

    UndulaRequest request = NoiseRequest(NoiseGaussian, 8000, c.polarity);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {50000, false, false}), 1);
    const Codes codes = GenerateGuarded(noise, 0);
    EXPECT_EQ(noise.LowestAllowed(), c.lowest);
    EXPECT_EQ(noise.HighestAllowed(), c.highest);
    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
    EXPECT_EQ(*low, c.lowest); // an amplitude of 8000 reaches both ends
    EXPECT_EQ(*high, c.highest);
}

INSTANTIATE_TEST_SUITE_P(Noise, NoiseRange, ::testing::ValuesIn(kRanges), CaseName());

TEST(NoiseGenerate, StopFlagEndsWithMinusOne) {
    for (const int32_t variant : {int32_t{0}, int32_t{NoiseGaussian}, int32_t{NoiseUniform}}) {
        __MNoise noise;
        UndulaRequest request = NoiseRequest(variant, 100, PolarityBipolar);
        ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {1000, false, false}), 1);
        std::vector<int16_t> buffer(1000);
        noise.RequestStop();
        EXPECT_EQ(noise.Generate(buffer.data(), 0, 14, 0), -1) << "variant " << variant;
    }
}

TEST(NoiseGenerate, UnpreparedOrNullBufferGivesZero) {
    __MNoise noise;
    int16_t code = Untouched;
    EXPECT_EQ(noise.Generate(&code, 0, 14, 0), 0);
    EXPECT_EQ(code, Untouched);
    UndulaRequest request = NoiseRequest(0, 100, PolarityBipolar);
    ASSERT_EQ(PrepareOn(noise, request, StandardBoard(), {10, false, false}), 1);
    EXPECT_EQ(noise.Generate(nullptr, 0, 14, 0), 0);
}

} // namespace
