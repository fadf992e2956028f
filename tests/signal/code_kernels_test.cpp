// The building blocks of the fast generation loops against the plain per-sample
// rules: the runs of a running sum against the sums themselves, the conversion of
// a progression of levels and the clamping of shifted samples against the
// rounding and clamping of __MSignal, the fill, and the noise loops (seeded)
// against the plain noise loops, also when a buffer is filled in stretches.

#include "signal/accumulation.h"
#include "signal/code_kernels.h"
#include "signal/noise_fill.h"
#include "tests/signal/plain_generation.h"
#include "tests/signal/waveform_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// The values the runs describe, one per index.
std::vector<double> Expand(const std::vector<Progression>& runs) {
    std::vector<double> values;
    for (const Progression& run : runs) {
        EXPECT_EQ(run.first, static_cast<int64_t>(values.size())) << "runs leave a gap";
        for (int64_t k = 0; k < run.count; ++k)
            values.push_back(run.start + static_cast<double>(k) * run.step);
    }
    return values;
}

// Bit for bit, with -0 and +0 taken as equal (no level tells them apart).
bool SameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

struct SumCase {
    std::string name;
    double start;
    double step;
    int64_t count;
    size_t maxRuns; // a long sum must stay a handful of runs, or the fast path is lost
    friend void PrintTo(const SumCase& c, std::ostream* os) { *os << c.name; }
};

class AccumulationRuns : public ::testing::TestWithParam<SumCase> {};

TEST_P(AccumulationRuns, ReproduceTheRunningSum) {
    const SumCase& c = GetParam();
    std::vector<Progression> runs;
    const double after = AppendAccumulation(runs, 0, c.start, c.step, c.count);
    const std::vector<double> values = Expand(runs);
    ASSERT_EQ(static_cast<int64_t>(values.size()), c.count);
    double v = c.start;
    for (int64_t i = 0; i < c.count; ++i) {
        ASSERT_TRUE(SameValue(values[static_cast<size_t>(i)], v))
            << "value " << i << " is " << values[static_cast<size_t>(i)] << ", the sum is " << v;
        v += c.step;
    }
    EXPECT_TRUE(SameValue(after, v));
    EXPECT_LE(runs.size(), c.maxRuns);
}

const SumCase kSums[] = {
    {"RisingSawOfAMillionPoints", 0, 16382.0 / 999999, 1000000, 200},
    {"FallingSawOfAMillionPoints", 16382, -16382.0 / 999999, 1000000, 200},
    {"CrossesZeroDownwards", 1, -0.0001234, 300000, 400},
    {"CrossesZeroUpwards", -3.7, 1.0 / 3, 100, 100},
    // A step of exactly half the spacing: round to even alternates the increment.
    {"TiesAtTwoToThe53", 0x1p53, 1.0, 1000, 1000},
    {"TiesAtTwoToThe52", 0x1p52, 0.5, 1000, 1000},
    {"TiesOfThreeHalves", 0x1p52, 1.5, 1000, 1000},
    {"StepBelowHalfASpacingNeverMoves", 1e17, 1.0, 100000, 2},
    {"StartsOnABinadeEdgeGoingDown", 1024, -0x1p-40, 100000, 4},
    {"EndsJustBelowABinadeEdge", 1024 - 0x1p-30, 0x1p-42, 100000, 4},
    {"TinyValues", 0x1p-1060, 0x1p-1070, 1000, 1000},
    {"ZeroStep", 5, 0, 100000, 1},
    {"ZeroStepFromZero", 0, 0, 1000, 1},
    {"InfiniteStart", std::numeric_limits<double>::infinity(), 1, 50, 50},
    {"NotANumberStep", 1, std::numeric_limits<double>::quiet_NaN(), 50, 50},
    {"SingleValue", 7, 1, 1, 1},
    {"NoValue", 7, 1, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Sums, AccumulationRuns, ::testing::ValuesIn(kSums), CaseName());

TEST(AccumulationRuns, SeededSumsReproduceTheRunningSum) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 300; ++round) {
        const double magnitude = std::ldexp(1.0, static_cast<int>(random() % 60) - 20);
        const double start = (unit(random) - 0.5) * magnitude;
        const double step =
            (unit(random) - 0.5) * magnitude / std::ldexp(1.0, static_cast<int>(random() % 30));
        const auto count = static_cast<int64_t>(random() % 20000);
        std::vector<Progression> runs;
        AppendAccumulation(runs, 0, start, step, count);
        const std::vector<double> values = Expand(runs);
        ASSERT_EQ(static_cast<int64_t>(values.size()), count);
        double v = start;
        for (int64_t i = 0; i < count; ++i) {
            ASSERT_TRUE(SameValue(values[static_cast<size_t>(i)], v))
                << "start " << start << " step " << step << " value " << i;
            v += step;
        }
    }
}

// Per-sample codes of levels bottom + v with __MSignal's rounding and clamping.
std::vector<int16_t> PlainCodes(const std::vector<double>& values, double bottom, int32_t base,
                                int32_t bits) {
    plain::Writer writer(bits, values.size());
    std::vector<int16_t> codes;
    for (const double v : values)
        codes.push_back(static_cast<int16_t>(writer.Code(base, bottom + v)));
    return codes;
}

TEST(ConvertProgression, SeededRampsMatchThePerSampleCodes) {
    std::mt19937_64 random(77);
    std::uniform_real_distribution<double> unit(0, 1);
    const int32_t bases[] = {0,
                             100,
                             -8191,
                             8191,
                             40000,
                             -40000,
                             1 << 30,
                             (1 << 30) + 1,
                             std::numeric_limits<int32_t>::max(),
                             std::numeric_limits<int32_t>::min()};
    for (int round = 0; round < 400; ++round) {
        const int32_t base = round % 3 == 0 ? bases[random() % std::size(bases)]
                                            : static_cast<int32_t>(random() % 20001) - 10000;
        const int32_t bits = 1 + static_cast<int32_t>(random() % 16);
        const double height = std::ldexp(unit(random), static_cast<int>(random() % 20));
        const double bottom = (unit(random) - 0.5) * 3 * height;
        // From a code every few points to a code every few thousand points.
        const auto count = static_cast<int64_t>(1 + random() % 30000);
        const double step =
            (random() % 2 == 0 ? 1 : -1) * height / static_cast<double>(1 + random() % 200000);
        std::vector<Progression> runs;
        AppendAccumulation(runs, 0, random() % 2 == 0 ? 0 : height, step, count);
        const std::vector<double> values = Expand(runs);
        const std::vector<int16_t> expected = PlainCodes(values, bottom, base, bits);

        const int32_t lowest = __MSignal::LowestCode(bits);
        const int32_t highest = __MSignal::HighestCode(bits);
        const codes::LevelCoder coder(base, lowest, highest);
        std::vector<int16_t> codes(values.size(), 0x5555);
        codes::Extremes extremes{highest, lowest};
        for (const Progression& run : runs)
            codes::ConvertProgression(coder, bottom, run.start, run.step, run.count,
                                      codes.data() + run.first, extremes);
        ASSERT_EQ(codes, expected)
            << "base " << base << " bits " << bits << " bottom " << bottom << " step " << step;
        EXPECT_EQ(extremes.lowest, *std::min_element(expected.begin(), expected.end()));
        EXPECT_EQ(extremes.highest, *std::max_element(expected.begin(), expected.end()));
    }
}

// Levels exactly on the half-way points between codes round away from zero.
TEST(ConvertProgression, HalfWayLevelsRoundAwayFromZero) {
    const codes::LevelCoder coder(0, -8192, 8191);
    for (const double step : {0.5, 0.25, 1.0 / 64, -1.0 / 64, -0.5}) {
        const int64_t count = static_cast<int64_t>(8 / std::fabs(step)) + 1;
        std::vector<double> values;
        for (int64_t k = 0; k < count; ++k)
            values.push_back(-4 * (step > 0 ? 1 : -1) + static_cast<double>(k) * step);
        std::vector<int16_t> codes(values.size());
        codes::Extremes extremes{8191, -8192};
        codes::ConvertProgression(coder, 0, values.front(), step, count, codes.data(), extremes);
        EXPECT_EQ(codes, PlainCodes(values, 0, 0, 14)) << "step " << step;
    }
}

TEST(ClampShifted, MatchesThePerSampleClamp) {
    std::mt19937_64 random(5);
    const int32_t bases[] = {0,
                             1,
                             -1,
                             32767,
                             -32768,
                             32768,
                             -32769,
                             70000,
                             -70000,
                             std::numeric_limits<int32_t>::max(),
                             std::numeric_limits<int32_t>::min()};
    for (int round = 0; round < 300; ++round) {
        const auto count = static_cast<int64_t>(random() % 100);
        std::vector<int16_t> data(static_cast<size_t>(count));
        for (int16_t& sample : data)
            sample = static_cast<int16_t>(random());
        const int32_t base = round % 2 == 0 ? bases[random() % std::size(bases)]
                                            : static_cast<int32_t>(random() % 20001) - 10000;
        const int32_t bits = 1 + static_cast<int32_t>(random() % 16);
        plain::Writer writer(bits, data.size());
        writer.PolarityRange(static_cast<int32_t>(random() % 3));
        // The writer's range after the polarity, read back through Clamp.
        const int32_t lowest = writer.Clamp(-1e9);
        const int32_t highest = writer.Clamp(1e9);
        std::vector<int16_t> expected;
        for (const int16_t sample : data)
            expected.push_back(
                static_cast<int16_t>(writer.Clamp(static_cast<double>(base) + sample)));
        std::vector<int16_t> codes(data.size());
        codes::Extremes extremes{highest, lowest};
        codes::ClampShifted(data.data(), count, base, lowest, highest, codes.data(), extremes);
        ASSERT_EQ(codes, expected) << "base " << base << " bits " << bits;
        if (count > 0) {
            EXPECT_EQ(extremes.lowest, *std::min_element(expected.begin(), expected.end()));
            EXPECT_EQ(extremes.highest, *std::max_element(expected.begin(), expected.end()));
        }
    }
}

// Small fills, block-copied ones and fills that bypass the caches (asked for, or
// from 4,194,304 codes), from aligned and unaligned starts.
TEST(Fill, WritesExactlyTheCount) {
    for (const int64_t count :
         {0, 1, 7, 8, 9, 2047, 2048, 2049, 4096, 5000, 100001, 1 << 22, (1 << 22) + 13}) {
        for (const auto& [start, bypass] :
             {std::pair{size_t{0}, false}, std::pair{size_t{3}, false}, std::pair{size_t{0}, true},
              std::pair{size_t{5}, true}}) {
            std::vector<int16_t> buffer(static_cast<size_t>(count) + 16, 0x5555);
            codes::Fill(buffer.data() + start, count, -1234, bypass);
            const auto end = start + static_cast<size_t>(count);
            for (size_t i = 0; i < buffer.size(); ++i) {
                const int16_t expected = i >= start && i < end ? -1234 : 0x5555;
                ASSERT_EQ(buffer[i], expected)
                    << i << " of " << count << " from " << start << " bypass " << bypass;
            }
        }
    }
}

// Fills `count` points in stretches of drawn lengths through `stretch`.
template <class Stretch>
std::vector<int16_t> InStretches(std::mt19937_64& random, int64_t count, Stretch stretch) {
    std::vector<int16_t> codes(static_cast<size_t>(count));
    for (int64_t i = 0; i < count;) {
        const int64_t take =
            std::min<int64_t>(count - i, 1 + static_cast<int64_t>(random() % 5000));
        stretch(codes.data() + i, take);
        i += take;
    }
    return codes;
}

TEST(NoiseFill, SequenceInStretchesMatchesThePlainRegister) {
    std::mt19937_64 random(3);
    const int64_t count = 100000;
    uint32_t reg = __MNoise::SequenceStart;
    codes::Extremes extremes{8191, -8192};
    const auto codes = InStretches(random, count, [&](int16_t* out, int64_t take) {
        noisefill::Sequence(reg, out, take, -7, 9, extremes);
    });
    uint32_t plainReg = __MNoise::SequenceStart;
    for (int64_t i = 0; i < count; ++i) {
        plainReg = (plainReg << 1) | (((plainReg >> 30) ^ (plainReg >> 27)) & 1u);
        ASSERT_EQ(codes[static_cast<size_t>(i)], (plainReg & 0x80000000u) != 0 ? -7 : 9) << i;
    }
    EXPECT_EQ(reg, plainReg);
    EXPECT_EQ(extremes.lowest, -7);
    EXPECT_EQ(extremes.highest, 9);
}

struct NoiseCase {
    std::string name;
    int32_t base;
    int64_t a;
    int32_t lowest;
    int32_t highest;
    friend void PrintTo(const NoiseCase& c, std::ostream* os) { *os << c.name; }
};

class SeededNoise : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(SeededNoise, UniformMatchesThePlainLoop) {
    const NoiseCase& c = GetParam();
    std::mt19937_64 random(11);
    NoiseRandom generator;
    generator.Seed(987654);
    codes::Extremes extremes{c.highest, c.lowest};
    const bool wide = 2 * c.a > NoiseRandom::Max + 1;
    const auto codes = InStretches(random, 60000, [&](int16_t* out, int64_t take) {
        noisefill::Uniform(generator, out, take, c.base, c.a, wide, c.lowest, c.highest, extremes);
    });
    NoiseRandom plainGenerator;
    plainGenerator.Seed(987654);
    const auto expected =
        plain::UniformNoise(plainGenerator, 60000, c.base, c.a, c.lowest, c.highest);
    ASSERT_EQ(codes, expected);
    EXPECT_EQ(extremes.lowest, *std::min_element(expected.begin(), expected.end()));
    EXPECT_EQ(extremes.highest, *std::max_element(expected.begin(), expected.end()));
    EXPECT_EQ(generator.Next(), plainGenerator.Next()) << "the generator state runs on";
}

TEST_P(SeededNoise, GaussianMatchesThePlainLoop) {
    const NoiseCase& c = GetParam();
    std::mt19937_64 random(12);
    for (const uint8_t startSelector : {uint8_t{0}, uint8_t{1}}) {
        NoiseRandom generator;
        generator.Seed(4242);
        uint8_t selector = startSelector;
        codes::Extremes extremes{c.highest, c.lowest};
        const auto codes = InStretches(random, 40000, [&](int16_t* out, int64_t take) {
            noisefill::Gaussian(generator, selector, out, take, c.base, static_cast<double>(c.a),
                                c.lowest, c.highest, extremes);
        });
        NoiseRandom plainGenerator;
        plainGenerator.Seed(4242);
        uint8_t plainSelector = startSelector;
        const auto expected = plain::GaussianNoise(plainGenerator, plainSelector, 40000, c.base,
                                                   static_cast<double>(c.a), c.lowest, c.highest);
        ASSERT_EQ(codes, expected);
        EXPECT_EQ(selector, plainSelector);
        EXPECT_EQ(extremes.lowest, *std::min_element(expected.begin(), expected.end()));
        EXPECT_EQ(extremes.highest, *std::max_element(expected.begin(), expected.end()));
    }
}

const NoiseCase kNoises[] = {
    {"AmplitudeOne", 0, 1, -8192, 8191},
    {"Bipolar", 0, 8000, -8192, 8191},
    {"ClampedByABase", 5000, 8000, -8192, 8191},
    {"PositiveRange", -100, 300, 0, 8191},
    {"NegativeRange", 100, 300, -8191, 0},
    {"WideRangeTakesTwoDraws", 0, 20000, -32768, 32767},
    {"WidestAmplitude", 3, 1 << 30, -32768, 32767},
    {"HugeBase", std::numeric_limits<int32_t>::max(), 100, -8192, 8191},
    {"HugeNegativeBase", std::numeric_limits<int32_t>::min(), 100, -8192, 8191},
};

INSTANTIATE_TEST_SUITE_P(Noises, SeededNoise, ::testing::ValuesIn(kNoises), CaseName());

} // namespace
