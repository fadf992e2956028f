// Sample block: the client's samples at the realised sample rate, the even
// extension, clamping by polarity, the delay, and the failures.

#include "signal/sample_block.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

using Codes = std::vector<int16_t>;

// 2^20 Hz: a delay of k / 2^20 s is exactly k leading points.
constexpr double Clock = 1048576;

struct BlockCase {
    const char* name;
    Codes samples;
    int32_t count; // samples used (the request's count)
    int32_t polarity;
    int32_t base;
    int32_t capacity;
    bool even;
    bool single;
    double delayPoints;
    Codes codes;
    int32_t leading;
};

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << c.name;
}

const Codes kFive = {10, -20, 30, 40, 50};

const BlockCase kBlocks[] = {
    {"AsGiven", kFive, 5, PolarityBipolar, 0, 100, false, false, 0, kFive, 0},
    // The even flag extends an odd block by repeating its last sample.
    {"EvenExtension",
     kFive,
     5,
     PolarityBipolar,
     0,
     100,
     true,
     false,
     0,
     {10, -20, 30, 40, 50, 50},
     0},
    {"BaseAdded",
     kFive,
     5,
     PolarityBipolar,
     1000,
     100,
     false,
     false,
     0,
     {1010, 980, 1030, 1040, 1050},
     0},
    // Samples outside the range are clamped per point; polarity 0 allows 0..8191.
    {"ClampedPositive",
     {-5, 100, 9000, -8000, 3},
     5,
     PolarityPositive,
     0,
     100,
     false,
     false,
     0,
     {0, 100, 8191, 0, 3},
     0},
    {"ClampedNegative",
     {-5, 100, 9000, -8000, 3},
     5,
     PolarityNegative,
     0,
     100,
     false,
     false,
     0,
     {-5, 0, 0, -8000, 0},
     0},
    {"ClampedBipolar",
     {-9000, 9000},
     2,
     PolarityBipolar,
     0,
     100,
     false,
     false,
     0,
     {-8192, 8191},
     0},
    // More samples than the memory holds: the first `capacity` are played.
    {"CountBeyondCapacity",
     {1, 2, 3, 4, 5, 6},
     6,
     PolarityBipolar,
     0,
     4,
     false,
     false,
     0,
     {1, 2, 3, 4},
     0},
    // An odd block filling an odd memory: cut to the largest even count.
    {"EvenInOddMemory", kFive, 5, PolarityBipolar, 0, 5, true, false, 0, {10, -20, 30, 40}, 0},
    // Single play keeps room for two points: 5 + 1 + 2 > 7, so 7 - 2 = 5, cut to 4.
    {"EvenSinglePlayCut", kFive, 5, PolarityBipolar, 0, 7, true, true, 0, {10, -20, 30, 40}, 0},
    // A delay before a single play: code 0 (not the base) in each leading point.
    {"SinglePlayDelay",
     kFive,
     5,
     PolarityBipolar,
     500,
     100,
     false,
     true,
     3,
     {0, 0, 0, 510, 480, 530, 540, 550},
     3},
    // The delay never pushes the block out of the memory.
    {"DelayLimitedByCapacity",
     kFive,
     5,
     PolarityBipolar,
     0,
     7,
     false,
     true,
     50,
     {0, 0, 10, -20, 30, 40, 50},
     2},
    // With the even flag the extended block stays even behind an odd delay.
    {"EvenDelay",
     kFive,
     5,
     PolarityBipolar,
     0,
     100,
     true,
     true,
     3,
     {0, 0, 10, -20, 30, 40, 50, 50},
     2},
    // A delay outside single play is not used.
    {"DelayOutsideSinglePlay", kFive, 5, PolarityBipolar, 0, 100, false, false, 3, kFive, 0},
};

class SampleBlockCodes : public ::testing::TestWithParam<BlockCase> {};

TEST_P(SampleBlockCodes, PlaysTheClientSamples) {
    const BlockCase& c = GetParam();
    auto wave = MakeWaveform(KindSampleBlock);
    Codes samples = c.samples;
    UndulaRequest request = MakeRequest(KindSampleBlock, 0, 100, c.polarity);
    request.sampleRate = Clock;
    request.samples = samples.data();
    request.sampleCount = c.count;
    request.delay = c.delayPoints / Clock;
    int32_t points = 0;
    ASSERT_EQ(
        PrepareOn(*wave, request, {{Clock}, 1.0f, 1e7f}, {c.capacity, c.even, c.single}, &points),
        1);
    EXPECT_EQ(points, static_cast<int32_t>(c.codes.size()));
    EXPECT_EQ(wave->LeadingPoints(), c.leading);
    const Codes codes = GenerateGuarded(*wave, c.base);
    EXPECT_EQ(codes, c.codes);
    EXPECT_EQ(wave->LowestWritten(), *std::min_element(c.codes.begin(), c.codes.end()));
    EXPECT_EQ(wave->HighestWritten(), *std::max_element(c.codes.begin(), c.codes.end()));
    // The block repeats at clock / its length; the client's samples are unchanged.
    const double block = static_cast<double>(points - c.leading);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, Clock / block);
    EXPECT_DOUBLE_EQ(wave->PointsPerPeriod(), block);
    EXPECT_EQ(wave->Periods(), 1);
    EXPECT_EQ(samples, c.samples);
}

INSTANTIATE_TEST_SUITE_P(SampleBlock, SampleBlockCodes, ::testing::ValuesIn(kBlocks), CaseName());

TEST(SampleBlockPlan, SampleRateIsRealisedFromTheTable) {
    __MBuffer block;
    Codes samples = kFive;
    UndulaRequest request = MakeRequest(KindSampleBlock, 0, 100, PolarityBipolar);
    request.samples = samples.data();
    request.sampleCount = 5;
    request.sampleRate = 1e6;
    EXPECT_EQ(PrepareOn(block, request, StandardBoard(), {100, false, false}), 2);
    EXPECT_DOUBLE_EQ(request.sampleRate, 1562500);
    request.sampleRate = 1562500;
    EXPECT_EQ(PrepareOn(block, request, StandardBoard(), {100, false, false}), 1);
    EXPECT_DOUBLE_EQ(request.realisedFrequency, 1562500.0 / 5);
}

struct FailureCase {
    const char* name;
    bool data;
    int32_t count;
    double rate;
    int32_t amplitude;
    int32_t result;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

const FailureCase kFailures[] = {
    // Nothing to play is no success.
    {"NoSamples", true, 0, Clock, 100, -2},   {"NegativeCount", true, -3, Clock, 100, -2},
    {"NullData", false, 5, Clock, 100, -1},   {"ZeroRate", true, 5, 0, 100, -1},
    {"ZeroAmplitude", true, 5, Clock, 0, -1},
};

class SampleBlockFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SampleBlockFailures, FailsAndStaysUnprepared) {
    const FailureCase& c = GetParam();
    __MBuffer block;
    Codes samples = kFive;
    UndulaRequest request = MakeRequest(KindSampleBlock, 0, c.amplitude, PolarityBipolar);
    request.samples = c.data ? samples.data() : nullptr;
    request.sampleCount = c.count;
    request.sampleRate = c.rate;
    EXPECT_EQ(PrepareOn(block, request, {{Clock}, 1.0f, 1e7f}, {100, false, false}), c.result);
    EXPECT_FALSE(block.IsPrepared());
    int16_t code = Untouched;
    EXPECT_EQ(block.Generate(&code, 0, 14, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(SampleBlock, SampleBlockFailures, ::testing::ValuesIn(kFailures),
                         CaseName());

} // namespace
