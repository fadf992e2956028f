// The settings reach the parameter model at start-up and come back unchanged for
// saving: a value that is not carried over would be lost at the next start.

#include "app/board/settings_transfer.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsTransfer, EveryCarriedValueSurvivesTheRoundTrip) {
    params::Settings in = params::DefaultSettings({});
    in.signalType = signal_type::Pulse;
    in.amplitude = 1.25;
    in.frequency = 1234.5;
    in.frequencyD = 250000;
    in.duration = 0.003;
    in.offset = -0.5;
    in.blockStart = 10;
    in.blockSize = 64;
    in.polarity = polarity::Negative;
    in.filterActive = true;
    in.playLoop = true;
    in.impulseOptimize = 2;
    in.sinQuality = QualityNearest;
    in.impulseQuality = QualityMaxPoints;
    in.meandrQuality = QualityWholeMemory;
    in.triangleQuality = QualitySynthesiser;
    in.sawQuality = QualityNearest;
    in.minVolts = -3;
    in.maxVolts = 4;
    in.rLoad = 1000;

    FakeParameterView view;
    ParameterModel model(view, EnglishText);
    board::CopySettingsToModel(in, model);
    EXPECT_DOUBLE_EQ(model.Params().period, 1 / 1234.5);
    EXPECT_EQ(model.Params().quality, QualityMaxPoints); // the pulse's record
    EXPECT_DOUBLE_EQ(model.Settings().rLoad, 1000);
    EXPECT_DOUBLE_EQ(model.Settings().minVolts, -3);

    params::Settings out = params::DefaultSettings({});
    board::CopyModelToSettings(model, out);
    EXPECT_EQ(out.signalType, in.signalType);
    EXPECT_DOUBLE_EQ(out.amplitude, in.amplitude);
    EXPECT_DOUBLE_EQ(out.frequency, in.frequency);
    EXPECT_DOUBLE_EQ(out.frequencyD, in.frequencyD);
    EXPECT_DOUBLE_EQ(out.duration, in.duration);
    EXPECT_DOUBLE_EQ(out.offset, in.offset);
    EXPECT_EQ(out.blockStart, in.blockStart);
    EXPECT_EQ(out.blockSize, in.blockSize);
    EXPECT_EQ(out.polarity, in.polarity);
    EXPECT_EQ(out.filterActive, in.filterActive);
    EXPECT_EQ(out.playLoop, in.playLoop);
    EXPECT_EQ(out.impulseOptimize, in.impulseOptimize);
    EXPECT_EQ(out.sinQuality, in.sinQuality);
    EXPECT_EQ(out.impulseQuality, in.impulseQuality);
    EXPECT_EQ(out.meandrQuality, in.meandrQuality);
    EXPECT_EQ(out.triangleQuality, in.triangleQuality);
    EXPECT_EQ(out.sawQuality, in.sawQuality);
}

} // namespace
