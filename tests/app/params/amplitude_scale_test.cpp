// AmplitudeScale: stage choice, codes and the voltage a board plays for them.

#include "app/params/amplitude_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

AmplitudeScale Scale(double fullScale, std::vector<double> gains, int bits = 14) {
    AmplitudeScale s;
    s.fullScale = fullScale;
    s.codeBits = bits;
    s.gains = std::move(gains);
    return s;
}

struct StageCase {
    double peak;
    int stage;
};

class SelectAttenuatorTest : public ::testing::TestWithParam<StageCase> {};

// Table {1, 0.1, 0.01} at 5 V: the products are 5, 0.5 and 0.005 V.
TEST_P(SelectAttenuatorTest, WalksTheMultipliedGains) {
    const AmplitudeScale s = Scale(5, {1, 0.1, 0.01});
    EXPECT_EQ(s.SelectAttenuator(GetParam().peak), GetParam().stage);
}

INSTANTIATE_TEST_SUITE_P(Peaks, SelectAttenuatorTest,
                         ::testing::Values(StageCase{5, 0}, StageCase{5.0001, 0}, StageCase{100, 0},
                                           StageCase{0.5, 1}, StageCase{0.4999, 1},
                                           StageCase{0.05, 1}, StageCase{0.005, 2}, StageCase{0, 2},
                                           StageCase{std::nan(""), 0}));

TEST(AmplitudeScale, NeverChoosesAStageWhoseOwnGainCannotHoldThePeak) {
    // Stage 1 attenuates to 0.5 of full scale; multiplied up with the 2 before it,
    // it would seem to reach 5 V. A 4 V peak stays on stage 0.
    const AmplitudeScale s = Scale(5, {2, 0.5});
    const int stage = s.SelectAttenuator(4);
    EXPECT_EQ(stage, 0);
    EXPECT_LE(s.Code(4, stage), 8192);
    EXPECT_NEAR(s.Volts(s.Code(4, stage), stage), 4, s.Step() * 2);
}

TEST(AmplitudeScale, ShownAmplitudeIsWhatTheStagePlays) {
    // For any board table of factors in (0, 1], starting at 1 and descending, and
    // any peak up to full scale: the chosen stage holds the code within the
    // converter's range, and the realised value is the code at that stage's factor,
    // below the request by less than one code step.
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<double> gains{1};
        const int count = 1 + static_cast<int>(unit(random) * 5);
        for (int i = 1; i < count; ++i) {
            gains.push_back(gains.back() * (0.05 + 0.95 * unit(random)));
        }
        const double fullScale = 0.5 + 10 * unit(random);
        const AmplitudeScale s = Scale(fullScale, gains);
        const double amplitude = fullScale * unit(random) * unit(random);
        const int stage = s.SelectAttenuator(amplitude);
        const int32_t code = s.Code(amplitude, stage);
        ASSERT_LE(std::abs(code), 8192) << trial;
        const double played = code * s.Step() * gains[static_cast<std::size_t>(stage)];
        EXPECT_DOUBLE_EQ(s.Volts(code, stage), played);
        EXPECT_LE(played, amplitude + 1e-12);
        EXPECT_GT(played, amplitude - s.Step() * gains[static_cast<std::size_t>(stage)]);
    }
}

TEST(AmplitudeScale, CodesTruncateTowardZero) {
    const AmplitudeScale s = Scale(8, {1, 0.5}); // step 1/1024 V
    EXPECT_DOUBLE_EQ(s.Step(), 1.0 / 1024);
    EXPECT_EQ(s.Code(2, 0), 2048);
    EXPECT_EQ(s.Code(2, 1), 4096);
    EXPECT_EQ(s.Code(0.0019, 0), 1);
    EXPECT_EQ(s.Code(-0.0019, 0), -1);
    EXPECT_DOUBLE_EQ(s.Volts(4096, 1), 2.0);
}

TEST(AmplitudeScale, ZeroAmplitudeIsOneStepOnPeriodicTypesAndZeroOnTheConstant) {
    const AmplitudeScale s = Scale(8, {1, 0.5});
    EXPECT_EQ(s.AmplitudeCode(0, 1, false), 1);
    EXPECT_DOUBLE_EQ(s.Volts(s.AmplitudeCode(0, 1, false), 1), 0.5 / 1024);
    EXPECT_EQ(s.AmplitudeCode(0, 1, true), 0);
}

TEST(AmplitudeScale, OddGainsAndValuesGiveNoUndefinedCodes) {
    const AmplitudeScale zeroGain = Scale(8, {1, 0});
    EXPECT_EQ(zeroGain.Code(1, 1), 1024); // no division by a zero gain
    EXPECT_DOUBLE_EQ(zeroGain.Volts(1024, 1), 0.0);
    const AmplitudeScale tiny = Scale(8, {1e-300});
    EXPECT_EQ(tiny.Code(1, 0), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(tiny.Code(-1, 0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(tiny.Code(std::nan(""), 0), 0);
    EXPECT_DOUBLE_EQ(tiny.Gain(5), 1.0); // outside the table
}

TEST(AmplitudeScale, FileStageCountsTheStagesThatHoldThePeak) {
    const AmplitudeScale s = Scale(5, {1, 0.1, 0.01});
    EXPECT_EQ(s.FileStage(0.3, 5), 1);
    EXPECT_EQ(s.FileStage(0.05, 5), 2);
    EXPECT_EQ(s.FileStage(0.5, 5), 1);
    EXPECT_EQ(s.FileStage(6, 5), 0);
    EXPECT_EQ(Scale(5, {}).FileStage(1, 5), 0);
    // Not multiplied up: {1, 0.5, 0.5} keeps both half stages.
    EXPECT_EQ(Scale(5, {1, 0.5, 0.5}).FileStage(2, 5), 2);
}

} // namespace
