// Properties of every kind but the sine over a seeded sweep of requests, modes,
// flags, capacities and clock tables: Prepare ends, keeps inside the memory and
// reports a consistent plan; Generate writes exactly the planned points, inside the
// allowed range, and reports the true extremes of what it wrote.

#include "signal/meander_pulse.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

namespace {

std::vector<TestBoard> Boards() {
    return {
        StandardBoard(),
        {{1e8, 2.5e7, 1e6}, 1e6f, 1e8f},
        // Clocks that are no powers of two; the lowest above the minimum clock.
        {{9.9e7, 3.3e7, 1.1e6, 77777, 3001}, 3000.0f, 9.9e7f},
        {{48000}, 48000.0f, 48000.0f},
        // A wide gap between two clocks.
        {{1e8, 1e4}, 1e4f, 1e8f},
    };
}

constexpr int32_t kKinds[] = {KindTriangle, KindSaw,   KindMeander,    KindConstant,
                              KindPulse,    KindNoise, KindSampleBlock};
constexpr int32_t kModes[] = {ModeNearestFrequency, ModeMostPoints, ModeWholeMemory,
                              ModeSynthesiser, ModeWholeMemoryAlways};
constexpr int32_t kCapacities[] = {1, 2, 3, 4, 5, 7, 16, 33, 100, 1001, 4096, 65536};
constexpr int32_t kBits[] = {8, 12, 14};

bool IsPeriodic(int32_t kind) {
    return kind == KindTriangle || kind == KindSaw || kind == KindMeander || kind == KindPulse;
}

struct Draw {
    std::mt19937 random;
    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    }
    int32_t Int(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    }
    template <class T, size_t N> T Pick(const T (&values)[N]) {
        return values[static_cast<size_t>(Int(0, static_cast<int32_t>(N) - 1))];
    }
};

TEST(WaveformProperties, SeededSweep) {
    Draw draw{std::mt19937(424242)};
    const std::vector<TestBoard> boards = Boards();
    const auto start = std::chrono::steady_clock::now();
    int prepared = 0;
    for (int round = 0; round < 6000; ++round) {
        const int32_t kind = draw.Pick(kKinds);
        const TestBoard& board = boards[static_cast<size_t>(draw.Int(0, 4))];
        const int32_t mode = draw.Pick(kModes);
        const int32_t capacity = draw.Pick(kCapacities);
        const bool even = draw.Int(0, 1) == 1;
        const bool single = draw.Int(0, 1) == 1;
        const int32_t option = draw.Int(0, 3);

        UndulaRequest request{};
        request.kind = kind;
        request.amplitude = draw.Int(0, 20) == 0 ? draw.Int(-5, 0) : draw.Int(1, 9000);
        request.frequency = std::pow(10.0, draw.Uniform(-3, 8.5));
        request.polarity = draw.Int(0, 3);
        request.sawDirection = draw.Int(0, 1);
        request.noiseVariant = draw.Int(0, 3);
        const int durationKind = draw.Int(0, 9);
        request.duration = durationKind == 0 ? 0
                           : durationKind == 1
                               ? -1e-3
                               : std::pow(10.0, draw.Uniform(-3, 0.5)) / request.frequency;
        request.delay = draw.Int(0, 2) == 0 ? draw.Uniform(0, 2e-3) : 0;
        request.sampleRate = std::pow(10.0, draw.Uniform(2, 8.5));
        std::vector<int16_t> data(static_cast<size_t>(draw.Int(0, capacity + 5)));
        for (int16_t& sample : data)
            sample = static_cast<int16_t>(draw.Int(-9000, 9000));
        request.samples = data.data();
        request.sampleCount = static_cast<int32_t>(data.size());

        std::ostringstream context;
        context << "round " << round << " kind " << kind << " mode " << mode << " capacity "
                << capacity << " even " << even << " single " << single << " option " << option
                << " f " << request.frequency << " amplitude " << request.amplitude << " duration "
                << request.duration << " delay " << request.delay;
        SCOPED_TRACE(context.str());

        auto wave = MakeWaveform(kind);
        wave->SetMode(mode);
        wave->SetPulseOption(option);
        int32_t points = -7;
        const int32_t result = PrepareOn(*wave, request, board, {capacity, even, single}, &points);
        ASSERT_TRUE(result == 1 || result == 2 || result == -1 || result == -2) << result;
        if (result < 1) {
            EXPECT_FALSE(wave->IsPrepared());
            continue;
        }
        ++prepared;
        ASSERT_TRUE(wave->IsPrepared());
        ASSERT_EQ(points, wave->Points());
        ASSERT_GE(points, 1);
        ASSERT_LE(points, capacity);
        ASSERT_GE(wave->LeadingPoints(), 0);
        ASSERT_LT(wave->LeadingPoints(), points);
        ASSERT_GE(wave->Periods(), 1);
        if (even && capacity >= 4) {
            EXPECT_EQ(points % 2, 0);
        }
        // The realised frequency is the clock over the points per period, which is
        // what the client computes from Query 10 and 30.
        const double realised = wave->RealisedFrequency();
        ASSERT_TRUE(std::isfinite(realised) && realised > 0) << realised;
        EXPECT_NEAR(realised, wave->SampleClock() / wave->PointsPerPeriod(), realised * 1e-12);
        if (kind != KindNoise) {
            EXPECT_EQ(request.realisedFrequency, realised);
        }
        if (IsPeriodic(kind)) {
            if (single) {
                // Leading points, two lead points, one period and at most one pad.
                const int32_t pad = points - wave->LeadingPoints() - 2 -
                                    static_cast<int32_t>(wave->PointsPerPeriod());
                EXPECT_TRUE(pad == 0 || pad == 1) << pad;
                EXPECT_EQ(wave->Periods(), 1);
            } else {
                EXPECT_EQ(wave->LeadingPoints(), 0);
                EXPECT_DOUBLE_EQ(wave->PointsPerPeriod() * wave->Periods(), points);
            }
        }
        if (kind == KindPulse) {
            const int32_t width = static_cast<__MRect&>(*wave).Width();
            EXPECT_GE(width, 0);
            EXPECT_LE(width, wave->PointsPerPeriod());
        }

        const int32_t bits = draw.Pick(kBits);
        const int32_t half = 1 << (bits - 2);
        const int32_t base = draw.Int(-half, half);
        const double phase = draw.Int(0, 2) == 0 ? draw.Uniform(-10, 10) : 0;
        const std::vector<int16_t> codes = GenerateGuarded(*wave, base, bits, phase);
        if (HasFailure())
            return;
        const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
        EXPECT_GE(*low, wave->LowestAllowed());
        EXPECT_LE(*high, wave->HighestAllowed());
        EXPECT_GE(wave->LowestAllowed(), -(1 << (bits - 1)));
        EXPECT_LE(wave->HighestAllowed(), (1 << (bits - 1)) - 1);
        EXPECT_EQ(wave->LowestWritten(), *low);
        EXPECT_EQ(wave->HighestWritten(), *high);
        if (HasFailure())
            return;
    }
    // The sweep must reach plans, not only failures.
    EXPECT_GT(prepared, 3000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

} // namespace
