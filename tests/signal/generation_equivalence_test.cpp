// The fast generation loops against the plain per-sample loops (plain_generation.h)
// over seeded random plans of every kind: every code and the lowest and highest
// code written must be the same. The plans reach the fast paths: long ramps whose
// codes repeat, short ones whose codes change every point, several periods,
// phases, polarities, bases near and beyond the code range, bit counts, single
// play with delays, and odd sizes.
//
// The sine is the one exception: long buffers are computed as independent chains
// restarted from the single chain's closed form, so a code may differ from the
// single chain's by one where that chain's level lies within 1e-6 of a rounding
// boundary (SineCodeAgrees); every other code must be the same.

#include "signal/constant_level.h"
#include "signal/meander_pulse.h"
#include "signal/noise.h"
#include "signal/sample_block.h"
#include "signal/saw_triangle.h"
#include "signal/sine.h"
#include "tests/signal/plain_generation.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Draw {
    std::mt19937_64 random;
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    }
    int32_t Int(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    }
    double LogUniform(double low, double high) {
        return std::exp(Uniform(std::log(low), std::log(high)));
    }
    template <class T, size_t N> T Pick(const T (&values)[N]) {
        return values[static_cast<size_t>(Int(0, static_cast<int32_t>(N) - 1))];
    }
};

std::vector<TestBoard> Boards() {
    return {StandardBoard(),
            {{1e8, 2.5e7, 1e6}, 1e6f, 1e8f},
            {{9.9e7, 3.3e7, 1.1e6, 77777, 3001}, 3000.0f, 9.9e7f},
            {{48000}, 48000.0f, 48000.0f},
            // One slow clock under wide limits: periods of one or two points that the
            // even flag grows to three periods and more.
            {{1000}, 1.0f, 1e8f}};
}

// One drawn plan: the request, the board arguments and the Generate arguments.
struct Plan {
    UndulaRequest request{};
    size_t board = 0;
    int32_t mode = ModeMostPoints;
    int32_t option = 1;
    int32_t capacity = 0;
    bool even = false;
    bool single = false;
    int32_t base = 0;
    int32_t bits = 14;
    double phase = 0;

    std::string Describe() const {
        std::ostringstream text;
        text.precision(17);
        text << "kind " << request.kind << " board " << board << " mode " << mode << " option "
             << option << " capacity " << capacity << " even " << even << " single " << single
             << " frequency " << request.frequency << " amplitude " << request.amplitude
             << " polarity " << request.polarity << " direction " << request.sawDirection
             << " duration " << request.duration << " delay " << request.delay << " base " << base
             << " bits " << bits << " phase " << phase;
        return text.str();
    }
};

Plan DrawPlan(Draw& draw, int32_t kind, size_t boards) {
    constexpr int32_t kModes[] = {ModeNearestFrequency, ModeMostPoints, ModeWholeMemory,
                                  ModeSynthesiser, ModeWholeMemoryAlways};
    constexpr int32_t kAmplitudes[] = {1, 2, 3, 50, 100, 4095, 8191, 8192, 20000, 1 << 30};
    constexpr int32_t kBits[] = {14, 14, 14, 12, 16, 8, 1};
    Plan plan;
    plan.board = static_cast<size_t>(draw.Int(0, static_cast<int32_t>(boards) - 1));
    plan.mode = draw.Pick(kModes);
    plan.option = draw.Int(0, 3);
    // Odd and even sizes from tiny to a few hundred thousand points.
    plan.capacity = static_cast<int32_t>(draw.LogUniform(1, 400000));
    plan.even = draw.Int(0, 2) == 0;
    plan.single = draw.Int(0, 3) == 0;
    UndulaRequest& r = plan.request;
    r.kind = kind;
    r.amplitude = draw.Int(0, 2) == 0 ? draw.Pick(kAmplitudes) : draw.Int(1, 9000);
    r.frequency = draw.LogUniform(1e-2, 6e7);
    r.sampleRate = draw.LogUniform(1e3, 2e8);
    r.polarity = draw.Int(0, 4) == 0 ? draw.Int(3, 5) : draw.Int(0, 2);
    r.sawDirection = draw.Int(0, 1);
    r.noiseVariant = 0;
    r.duration = draw.Int(0, 4) == 0 ? 0 : draw.LogUniform(1e-9, 1);
    r.delay = plan.single && draw.Int(0, 1) == 0 ? draw.LogUniform(1e-7, 1e-2) : 0;
    switch (draw.Int(0, 5)) {
    case 0:
        plan.base = 0;
        break;
    case 1:
        plan.base = draw.Int(-9000, 9000);
        break;
    case 2:
        plan.base = draw.Int(-40000, 40000);
        break;
    case 3:
        plan.base = draw.Int(0, 1) == 0 ? std::numeric_limits<int32_t>::max()
                                        : std::numeric_limits<int32_t>::min();
        break;
    default:
        plan.base = draw.Int(-100, 100);
        break;
    }
    plan.bits = draw.Pick(kBits);
    switch (draw.Int(0, 4)) {
    case 0:
        plan.phase = 0;
        break;
    case 1:
        plan.phase = draw.Uniform(-20, 20);
        break;
    case 2:
        plan.phase = std::numbers::pi / 2;
        break;
    default:
        plan.phase = draw.Uniform(0, 7);
        break;
    }
    return plan;
}

// Prepares the plan on `wave`; false when the plan is refused.
bool PreparePlan(__MSignal& wave, Plan& plan, const TestBoard& board) {
    wave.SetMode(plan.mode);
    wave.SetPulseOption(plan.option);
    int32_t points = 0;
    const int32_t result =
        wave.Prepare(&plan.request, board.minClock, board.maxClock, board.clocks.data(),
                     static_cast<int32_t>(board.clocks.size()), plan.capacity, plan.even ? 1 : 0,
                     &points, plan.single ? 1 : 0);
    return result >= 1 && wave.IsPrepared() && wave.Points() >= 1;
}

plain::Output PlainOf(const __MSignal& wave, const Plan& plan) {
    const UndulaRequest& r = plan.request;
    switch (r.kind) {
    case KindSine:
        return plain::Sine(wave, r.polarity, plan.base, plan.bits, plan.phase);
    case KindTriangle:
        return plain::Triangle(wave, r.polarity, plan.base, plan.bits);
    case KindSaw:
        return plain::Saw(wave, r.sawDirection != 0, r.polarity, plan.base, plan.bits, plan.phase);
    case KindMeander:
        return plain::TwoLevel(wave, false, 0, r.polarity, plan.base, plan.bits, plan.phase);
    case KindPulse:
        return plain::TwoLevel(wave, true, static_cast<const __MRect&>(wave).Width(), r.polarity,
                               plan.base, plan.bits, plan.phase);
    case KindConstant:
        return plain::Constant(wave, r.polarity, plan.base, plan.bits);
    case KindNoise:
        return plain::SequenceNoise(wave, r.polarity, plan.base, plan.bits);
    default:
        return plain::SampleBlock(static_cast<const __MBuffer&>(wave), r.samples, r.polarity,
                                  plan.base, plan.bits);
    }
}

// A sine code that differs from the single chain's: by one code, where that chain's
// level lies within 1e-6 of a rounding boundary (a half-integer).
bool SineCodeAgrees(int16_t code, int16_t chainCode, double chainLevel) {
    const double fromBoundary = std::fabs(chainLevel - std::floor(chainLevel) - 0.5);
    return std::abs(code - chainCode) == 1 && fromBoundary < 1e-6;
}

// Generates the plan with the library (into a guarded buffer with room for the
// two single-play lead points) and compares it with the plain loops. Returns
// false after the first difference.
bool SameAsPlain(__MSignal& wave, const Plan& plan) {
    const auto points = static_cast<size_t>(wave.Points());
    constexpr size_t Guard = 16;
    std::vector<int16_t> buffer(points + 2 + Guard, Untouched);
    const int32_t result = wave.Generate(buffer.data(), plan.base, plan.bits, plan.phase);
    EXPECT_EQ(result, 1) << plan.Describe();
    for (size_t i = points + 2; i < buffer.size(); ++i) {
        if (buffer[i] != Untouched) {
            ADD_FAILURE() << "write past the buffer at " << i << ": " << plan.Describe();
            return false;
        }
    }
    const plain::Output expected = PlainOf(wave, plan);
    size_t boundaryPoints = 0;
    for (size_t i = 0; i < points; ++i) {
        if (buffer[i] == expected.codes[i])
            continue;
        if (!expected.levels.empty() &&
            SineCodeAgrees(buffer[i], expected.codes[i], expected.levels[i])) {
            ++boundaryPoints;
            continue;
        }
        ADD_FAILURE() << "code " << i << " of " << points << " is " << buffer[i]
                      << ", the plain loop wrote " << expected.codes[i] << ": " << plan.Describe();
        return false;
    }
    // Boundary points are rare: a systematic drift would show as many of them.
    EXPECT_LE(boundaryPoints, 1 + points / 10000) << plan.Describe();
    if (boundaryPoints == 0) {
        EXPECT_EQ(wave.LowestWritten(), expected.lowest) << plan.Describe();
        EXPECT_EQ(wave.HighestWritten(), expected.highest) << plan.Describe();
        return wave.LowestWritten() == expected.lowest && wave.HighestWritten() == expected.highest;
    }
    // A boundary point may be an extreme: the extremes are those of what was written.
    const auto written =
        std::minmax_element(buffer.begin(), buffer.begin() + static_cast<long>(points));
    EXPECT_EQ(wave.LowestWritten(), *written.first) << plan.Describe();
    EXPECT_EQ(wave.HighestWritten(), *written.second) << plan.Describe();
    EXPECT_LE(std::abs(wave.LowestWritten() - expected.lowest), 1) << plan.Describe();
    EXPECT_LE(std::abs(wave.HighestWritten() - expected.highest), 1) << plan.Describe();
    return true;
}

struct KindSweep {
    std::string name;
    int32_t kind;
    int rounds;
    friend void PrintTo(const KindSweep& c, std::ostream* os) { *os << c.name; }
};

class GenerationEquivalence : public ::testing::TestWithParam<KindSweep> {};

TEST_P(GenerationEquivalence, SeededPlansMatchThePlainLoops) {
    const KindSweep& sweep = GetParam();
    Draw draw{std::mt19937_64(0x5eed0000u + static_cast<uint64_t>(sweep.kind))};
    const std::vector<TestBoard> boards = Boards();
    std::vector<int16_t> blockData;
    int compared = 0;
    for (int round = 0; round < sweep.rounds; ++round) {
        Plan plan = DrawPlan(draw, sweep.kind, boards.size());
        if (sweep.kind == KindSampleBlock) {
            // Samples across the whole 16-bit range, so that clamping matters.
            blockData.resize(static_cast<size_t>(draw.LogUniform(1, 300000)));
            for (int16_t& sample : blockData)
                sample = static_cast<int16_t>(draw.Int(-32768, 32767));
            plan.request.samples = blockData.data();
            plan.request.sampleCount = static_cast<int32_t>(blockData.size());
        }
        auto wave = MakeWaveform(sweep.kind);
        if (!PreparePlan(*wave, plan, boards[plan.board]))
            continue;
        ++compared;
        if (!SameAsPlain(*wave, plan))
            return;
    }
    // Most drawn plans must be playable, or the sweep proves little.
    EXPECT_GT(compared, sweep.rounds / 3);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GenerationEquivalence,
    ::testing::Values(KindSweep{"Sine", KindSine, 300}, KindSweep{"Triangle", KindTriangle, 600},
                      KindSweep{"Saw", KindSaw, 600}, KindSweep{"Meander", KindMeander, 400},
                      KindSweep{"Pulse", KindPulse, 400}, KindSweep{"Constant", KindConstant, 100},
                      KindSweep{"SequenceNoise", KindNoise, 200},
                      KindSweep{"SampleBlock", KindSampleBlock, 300}),
    CaseName());

// With the even flag an odd period of 999 points is served twice: the second
// period is a copy of the first, phase shift included.
TEST(GenerationEquivalence, PeriodServedTwiceMatchesThePlainLoops) {
    for (const int32_t kind : {KindSaw, KindTriangle, KindMeander, KindPulse}) {
        for (const double phase : {0.0, 2.0, 5.0}) {
            Plan plan;
            plan.request = MakeRequest(kind, 1e8 / 999, 100, PolarityBipolar);
            plan.request.sawDirection = phase > 1 ? 1 : 0;
            plan.request.duration = 3e-6;
            plan.capacity = 100000;
            plan.even = true;
            plan.phase = phase;
            auto wave = MakeWaveform(kind);
            ASSERT_TRUE(PreparePlan(*wave, plan, StandardBoard())) << plan.Describe();
            ASSERT_EQ(wave->Periods(), 2) << plan.Describe();
            ASSERT_EQ(wave->Points(), 1998) << plan.Describe();
            EXPECT_TRUE(SameAsPlain(*wave, plan));
        }
    }
}

// A stopped generation ends with -1 after a stretch; the next one, with the flag
// cleared, writes the whole plan as the plain loops do.
TEST(GenerationEquivalence, StoppedThenClearedGenerationMatchesThePlainLoops) {
    std::vector<int16_t> blockData(200000);
    for (size_t i = 0; i < blockData.size(); ++i)
        blockData[i] = static_cast<int16_t>(i * 7919 % 20000) - 10000;
    for (const int32_t kind :
         {KindSine, KindTriangle, KindSaw, KindMeander, KindPulse, KindNoise, KindSampleBlock}) {
        Plan plan;
        plan.request = MakeRequest(kind, 100, 8191, PolarityBipolar);
        plan.request.sampleRate = 1e8;
        plan.request.duration = 1e-3;
        plan.request.samples = blockData.data();
        plan.request.sampleCount = static_cast<int32_t>(blockData.size());
        plan.capacity = 200000;
        plan.phase = 1;
        auto wave = MakeWaveform(kind);
        ASSERT_TRUE(PreparePlan(*wave, plan, StandardBoard())) << plan.Describe();
        ASSERT_GT(wave->Points(), 100000) << plan.Describe();
        std::vector<int16_t> buffer(static_cast<size_t>(wave->Points()) + 2);
        wave->RequestStop();
        EXPECT_EQ(wave->Generate(buffer.data(), 0, 14, plan.phase), -1) << plan.Describe();
        wave->ClearStop();
        EXPECT_TRUE(SameAsPlain(*wave, plan));
    }
}

// Sine buffers long enough to be computed by two threads, over seeded plans: whole
// memory, several periods, every polarity, phases and bases; the rule of
// SineCodeAgrees holds over millions of points.
TEST(GenerationEquivalence, LongSinePlansFollowTheSingleChain) {
    Draw draw{std::mt19937_64(0x5eed51e5u)};
    constexpr int32_t kAmplitudes[] = {1, 100, 4095, 8191, 8192, 32767};
    for (int round = 0; round < 6; ++round) {
        Plan plan;
        plan.mode = round % 2 == 0 ? ModeWholeMemoryAlways : ModeWholeMemory;
        plan.capacity = static_cast<int32_t>(draw.Int(1 << 20, 3 << 20));
        plan.even = round % 3 == 0;
        plan.request =
            MakeRequest(KindSine, draw.LogUniform(10, 1e6), draw.Pick(kAmplitudes), draw.Int(0, 2));
        plan.base = draw.Int(-100, 100);
        plan.bits = round == 5 ? 16 : 14;
        plan.phase = draw.Uniform(-4, 4);
        __MSine2 wave;
        ASSERT_TRUE(PreparePlan(wave, plan, StandardBoard())) << plan.Describe();
        ASSERT_GT(wave.Points(), 1 << 20) << plan.Describe();
        if (round == 0) {
            // Stopped, both halves give up; cleared, the next run is whole.
            std::vector<int16_t> buffer(static_cast<size_t>(wave.Points()) + 2);
            wave.RequestStop();
            EXPECT_EQ(wave.Generate(buffer.data(), plan.base, plan.bits, plan.phase), -1);
            wave.ClearStop();
        }
        if (!SameAsPlain(wave, plan))
            return;
    }
}

} // namespace
