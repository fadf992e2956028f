// Every kind but the sine through the signal object: Prepare, Start, wait (Query
// 75) and the copy into the client's buffer, against a waveform object of our own.

#include "signal/noise.h"
#include "signal/undula.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

namespace {

using Codes = std::vector<int16_t>;

struct KindCase {
    const char* name;
    int32_t kind;
    TestBoard board;
    double frequency; // periodic kinds; sample rate of noise and sample block
    int32_t amplitude;
    int32_t polarity;
    int32_t variant; // noise variant or saw direction
    double duration;
    int32_t mode;
    int32_t option;
    PrepareArgs args;
    bool deterministic;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

const KindCase kKinds[] = {
    {"Triangle",
     KindTriangle,
     StandardBoard(),
     1000,
     4000,
     PolarityBipolar,
     0,
     0,
     ModeMostPoints,
     1,
     {65536, false, false},
     true},
    {"SawFallingSinglePlay",
     KindSaw,
     StandardBoard(),
     3000,
     4000,
     PolarityPositive,
     1,
     0,
     ModeNearestFrequency,
     1,
     {65536, true, true},
     true},
    {"MeanderSynthesiser",
     KindMeander,
     StandardBoard(),
     1000,
     100,
     PolarityBipolar,
     0,
     0,
     ModeSynthesiser,
     1,
     {100000, false, false},
     true},
    {"PulseWidthFirst",
     KindPulse,
     StandardBoard(),
     1000,
     100,
     PolarityPositive,
     0,
     1e-4,
     ModeSynthesiser,
     2,
     {100000, false, false},
     true},
    {"PulseSinglePlay",
     KindPulse,
     StandardBoard(),
     2000,
     100,
     PolarityBipolar,
     0,
     1e-4,
     ModeMostPoints,
     1,
     {65536, false, true},
     true},
    {"ConstantLevel",
     KindConstant,
     StandardBoard(),
     1000,
     100,
     PolarityPositive,
     0,
     0,
     ModeMostPoints,
     1,
     {65536, false, false},
     true},
    {"NoiseSequence",
     KindNoise,
     StandardBoard(),
     12.5e6,
     300,
     PolarityBipolar,
     0,
     0,
     ModeMostPoints,
     1,
     {4096, false, false},
     true},
    {"NoiseGaussian",
     KindNoise,
     StandardBoard(),
     12.5e6,
     300,
     PolarityPositive,
     NoiseGaussian,
     0,
     ModeMostPoints,
     1,
     {4096, false, false},
     false},
    {"NoiseUniform",
     KindNoise,
     StandardBoard(),
     12.5e6,
     300,
     PolarityBipolar,
     NoiseUniform,
     0,
     ModeMostPoints,
     1,
     {4096, false, false},
     false},
    {"SampleBlock",
     KindSampleBlock,
     StandardBoard(),
     1e6,
     100,
     PolarityBipolar,
     0,
     0,
     ModeMostPoints,
     1,
     {1000, true, false},
     true},
};

UndulaRequest RequestFor(const KindCase& c) {
    UndulaRequest request = MakeRequest(c.kind, c.frequency, c.amplitude, c.polarity);
    request.sampleRate = c.frequency;
    request.noiseVariant = c.variant;
    request.sawDirection = c.variant;
    request.duration = c.duration;
    return request;
}

class ThroughUndula : public ::testing::TestWithParam<KindCase> {};

TEST_P(ThroughUndula, CopiesWhatTheWaveformGenerates) {
    const KindCase& c = GetParam();
    const int32_t base = 250;
    // The client's buffer; for the sample block it also holds the source samples.
    Codes client(static_cast<size_t>(c.args.capacity) + GuardCodes, Untouched);
    const Codes block = {5, -7, 9, 11, -13, 15, 17};
    if (c.kind == KindSampleBlock)
        std::copy(block.begin(), block.end(), client.begin());

    Undula undula;
    UndulaRequest request = RequestFor(c);
    request.samples = client.data();
    request.sampleCount = static_cast<int32_t>(block.size());
    const UndulaRequest original = request;
    int32_t mode = c.mode;
    int32_t option = c.option;
    ASSERT_EQ(undula.Query(QuerySetRequest, &request), 1);
    ASSERT_EQ(undula.Query(QuerySetMode, &mode), 1);
    ASSERT_EQ(undula.Query(QuerySetPulseOption, &option), 1);
    int32_t points = 0;
    const int32_t prepared =
        undula.Prepare(&request, c.board.minClock, c.board.maxClock, c.board.clocks.data(),
                       static_cast<int32_t>(c.board.clocks.size()), c.args.capacity,
                       c.args.even ? 1 : 0, &points, c.args.single ? 1 : 0);
    ASSERT_GE(prepared, 1);
    request.sampleCount = points;
    ASSERT_EQ(undula.Start(&request, base, 14, 0.0, nullptr, nullptr, 0), 1);
    ASSERT_EQ(undula.Query(QueryWait, nullptr), 1);
    int32_t value = 0;
    ASSERT_EQ(undula.Query(QueryResult, &value), 1);
    EXPECT_EQ(value, 1);

    // Exactly `points` codes were copied.
    const Codes copied(client.begin(), client.begin() + points);
    EXPECT_TRUE(std::all_of(client.begin() + points, client.end(),
                            [](int16_t code) { return code == Untouched; }));
    EXPECT_EQ(std::find(copied.begin(), copied.end(), Untouched), copied.end());

    // The same plan and codes from a waveform object of our own.
    auto reference = MakeWaveform(c.kind);
    reference->SetMode(c.mode);
    reference->SetPulseOption(c.option);
    Codes source = block;
    UndulaRequest again = original;
    again.samples = source.data();
    int32_t referencePoints = 0;
    ASSERT_EQ(PrepareOn(*reference, again, c.board, c.args, &referencePoints), prepared);
    ASSERT_EQ(referencePoints, points);
    const Codes expected = GenerateGuarded(*reference, base);
    if (c.deterministic) {
        EXPECT_EQ(copied, expected);
    }

    double real = 0;
    ASSERT_EQ(undula.Query(QuerySampleClock, &real), 1);
    EXPECT_DOUBLE_EQ(real, reference->SampleClock());
    ASSERT_EQ(undula.Query(QueryPointsPerPeriod, &real), 1);
    EXPECT_DOUBLE_EQ(real, reference->PointsPerPeriod());
    ASSERT_EQ(undula.Query(QueryPeriods, &value), 1);
    EXPECT_EQ(value, reference->Periods());
    const auto [low, high] = std::minmax_element(copied.begin(), copied.end());
    ASSERT_EQ(undula.Query(QueryLowestWritten, &value), 1);
    EXPECT_EQ(value, *low);
    ASSERT_EQ(undula.Query(QueryHighestWritten, &value), 1);
    EXPECT_EQ(value, *high);
    ASSERT_EQ(undula.Query(QueryLowestAllowed, &value), 1);
    EXPECT_LE(value, *low);
    ASSERT_EQ(undula.Query(QueryHighestAllowed, &value), 1);
    EXPECT_GE(value, *high);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ThroughUndula, ::testing::ValuesIn(kKinds), CaseName());

// In single play the client copies `points` codes: they hold the two lead points
// and the whole period, its last code (the top of the saw) included.
TEST(ThroughUndulaSinglePlay, ClientGetsTheWholePeriod) {
    Codes client(8 + GuardCodes, Untouched);
    Undula undula;
    UndulaRequest request = MakeRequest(KindSaw, 1000, 100);
    request.samples = client.data();
    const double clocks[] = {5000};
    int32_t points = 0;
    ASSERT_EQ(undula.Prepare(&request, 1.0f, 1e6f, clocks, 1, 100, 0, &points, 1), 1);
    ASSERT_EQ(points, 8);
    request.sampleCount = points;
    ASSERT_EQ(undula.Start(&request, 0, 14, 0.0, nullptr, nullptr, 0), 1);
    ASSERT_EQ(undula.Query(QueryWait, nullptr), 1);
    EXPECT_EQ(Codes(client.begin(), client.begin() + 8), (Codes{0, 0, 0, 25, 50, 75, 100, 0}));
    EXPECT_EQ(client[8], Untouched);
}

} // namespace
