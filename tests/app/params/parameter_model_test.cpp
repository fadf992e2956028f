// ParameterModel: setters and their labels, the amplitude realisation, the output
// range, the sample clock, the block and the additional parameter.

#include "app/params/parameter_model.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using L = ParameterLabel;

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.restartIfRunning = [this] { ++restarts; };
        model.previewChanged = [this] { ++previews; };
    }

    // 16 V without load into 50 ohms: 8 V full scale, 1/1024 V per code at 14 bits.
    void OpenBoard(std::vector<double> gains = {1, 0.5}, double v0 = 16,
                   IADCDevice* device = nullptr, bool synthesiser = false) {
        BoardValues board;
        board.maxVoltage = v0;
        board.codeBits = 14;
        board.gains = std::move(gains);
        board.memory = 1 << 20;
        board.synthesiser = synthesiser;
        model.OpenBoard(board, device);
    }

    // A quiet start: nothing pending, nothing counted.
    void Settle() {
        model.Params().recomputeNeeded = false;
        restarts = 0;
        previews = 0;
        view.writes = 0;
    }

    FakeParameterView view;
    ParameterModel model{view, EnglishText};
    int restarts = 0;
    int previews = 0;
};

TEST(FullScaleOf, DividesWithFiftyOhmsInSinglePrecision) {
    EXPECT_EQ(FullScaleOf(10, 50), 5.0);
    EXPECT_EQ(FullScaleOf(16, 50), 8.0);
    EXPECT_EQ(FullScaleOf(10, 100), static_cast<double>(10.0f * 100.0f / 150.0f));
    EXPECT_EQ(FullScaleOf(10, 0), 0.0);
    EXPECT_EQ(FullScaleOf(10, std::numeric_limits<double>::infinity()), 10.0);
    // Loads that cannot be count as the default; voltages that cannot give nothing.
    EXPECT_EQ(FullScaleOf(10, -50), 5.0);
    EXPECT_EQ(FullScaleOf(10, std::nan("")), 5.0);
    EXPECT_EQ(FullScaleOf(std::nan(""), 50), 0.0);
    EXPECT_EQ(FullScaleOf(-3, 50), 0.0);
}

TEST_F(ModelTest, OpeningTheBoardSetsTheAmplitudeLimitsEverywhere) {
    EXPECT_EQ(model.Limits().amplitudeMax, 5); // no board yet
    OpenBoard();
    EXPECT_EQ(model.FullScale(), 8);
    EXPECT_EQ(model.Limits().amplitudeMax, 8);
    EXPECT_EQ(model.Limits().amplitudeMin, -8);
    for (int r = 0; r < kWaveformRecordCount; ++r) {
        EXPECT_EQ(model.Record(static_cast<WaveformRecord>(r)).limits.amplitudeMax, 8);
        EXPECT_EQ(model.Record(static_cast<WaveformRecord>(r)).limits.amplitudeMin, -8);
    }
    EXPECT_EQ(model.Limits().frequencyMax, 1e7);
    EXPECT_EQ(model.Limits().periodMin, 1e-7);
}

struct FrequencyCase {
    double frequency;
    const char* freqMain;
    const char* perMain;
};

class FrequencyLabels : public ModelTest, public ::testing::WithParamInterface<FrequencyCase> {};

TEST_P(FrequencyLabels, ShowFrequencyAndPeriod) {
    model.SetFrequency(GetParam().frequency);
    EXPECT_EQ(view.Label(L::FreqMain), GetParam().freqMain);
    EXPECT_EQ(view.Label(L::PerMain), GetParam().perMain);
}

INSTANTIATE_TEST_SUITE_P(Edges, FrequencyLabels,
                         ::testing::Values(FrequencyCase{0.026, "26.0000 mHz", "38.4615 s"},
                                           FrequencyCase{1e7, "10.0000 MHz", "100.000 ns"},
                                           FrequencyCase{1000, "1.00000 kHz", "1.00000 ms"}));

TEST_F(ModelTest, MinimumFrequencyShowsAfterMinusOne) {
    model.SetFrequency(-1); // the stored 0.025 Hz
    EXPECT_EQ(view.Label(L::FreqMain), "25.0000 mHz");
    EXPECT_EQ(view.Label(L::PerMain), "40.0000 s");
}

TEST_F(ModelTest, FrequencyZeroKeepsThePeriodAndPeriodZeroKeepsTheFrequency) {
    model.SetFrequency(200);
    model.SetFrequency(0);
    EXPECT_EQ(model.Params().frequency, 0);
    EXPECT_EQ(model.Params().period, 0.005);
    EXPECT_EQ(view.Label(L::FreqMain), "0.00000 Hz");
    EXPECT_EQ(view.Label(L::PerMain), "5.00000 ms");

    model.SetPeriod(0.01);
    EXPECT_EQ(model.Params().frequency, 100);
    model.SetPeriod(0);
    EXPECT_EQ(model.Params().period, 0);
    EXPECT_EQ(model.Params().frequency, 100);
    EXPECT_EQ(view.Label(L::FreqMain), "100.000 Hz");
    EXPECT_EQ(view.Label(L::PerMain), "0.00000 s");
}

TEST_F(ModelTest, TheStoredValueAgainChangesNothing) {
    OpenBoard();
    model.SetAmplitude(2);
    model.SetFrequency(50);
    model.SetDuration(0.001);
    Settle();
    model.SetAmplitude(2);
    model.SetFrequency(50);
    model.SetPeriod(0.02);
    model.SetDuration(0.001);
    model.SetSampleClock(model.Params().sampleClock);
    model.SetBlockStart(0);
    model.SetBlockSize(2.9); // truncated: the stored 2
    EXPECT_EQ(view.writes, 0);
    EXPECT_EQ(restarts, 0);
    EXPECT_FALSE(model.Params().recomputeNeeded);
}

TEST_F(ModelTest, EveryChangeMarksRecomputationAndAsksForARestart) {
    OpenBoard();
    Settle();
    model.SetAmplitude(1);
    EXPECT_TRUE(model.Params().recomputeNeeded);
    model.SetFrequency(10);
    model.SetPeriod(1);
    model.SetDuration(0.5);
    model.SetFrequency(-1); // shows again and restarts too
    EXPECT_EQ(restarts, 5);
}

TEST_F(ModelTest, AmplitudeIsRealisedWithTheStageAndCode) {
    OpenBoard({1, 0.5});
    model.SelectType(signal_type::Sine);
    model.SetAmplitude(2); // peak 2 V fits stage 1 (4 V): 2 / (1/1024) / 0.5
    EXPECT_EQ(model.Params().attenuator, 1);
    EXPECT_EQ(model.Params().amplitudeCode, 4096);
    EXPECT_EQ(model.Params().realisedAmplitude, 2.0);
    EXPECT_EQ(view.Label(L::AmpMain), "2.00000 V");
    EXPECT_EQ(view.Label(L::AmpRez), "-2.0000 V / 2.00000 V");

    model.SetAmplitude(0.3);
    EXPECT_EQ(model.Params().amplitudeCode, 614); // trunc(614.4)
    EXPECT_DOUBLE_EQ(model.Params().realisedAmplitude, 614 * 0.5 / 1024);
}

TEST_F(ModelTest, AmplitudeZeroIsOneStepOnPeriodicTypesAndZeroOnTheConstant) {
    OpenBoard({1, 0.5});
    model.SelectType(signal_type::Sine);
    model.SetAmplitude(1);
    model.SetAmplitude(0);
    EXPECT_EQ(model.Params().amplitudeCode, 1);
    EXPECT_DOUBLE_EQ(model.Params().realisedAmplitude, 0.5 / 1024);

    model.SelectType(signal_type::Constant);
    EXPECT_EQ(model.Params().amplitudeCode, 0);
    EXPECT_EQ(model.Params().realisedAmplitude, 0.0);
    EXPECT_EQ(view.Label(L::AmpRez), "0.00000 V");
}

TEST_F(ModelTest, WithoutAnAttenuatorTableAmplitudeEntriesAreIgnored) {
    OpenBoard({});
    Settle();
    model.SetAmplitude(2);
    EXPECT_EQ(model.Params().amplitude, 0);
    EXPECT_EQ(view.Label(L::AmpMain), "<unset>");
    EXPECT_EQ(restarts, 0);
    // The file type needs no table.
    model.SelectType(signal_type::File);
    model.SetFileAmplitude(2);
    EXPECT_EQ(view.Label(L::AmpMain), "2.00000 V");
    EXPECT_EQ(view.Label(L::AmpRez), "-8.0000 V / 8.00000 V");
}

struct RangeCase {
    int type;
    int polarity;
    double offset;
    double amplitude;
    const char* text;
};

class OutputRange : public ModelTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(OutputRange, ShowsTheRealisedRangeWithinTheAmplitudeLimits) {
    const RangeCase& c = GetParam();
    OpenBoard({1, 0.5});
    FakeAdditional offset(8);
    offset.entered = c.offset;
    model.SetAdditionalParameters(&offset);
    model.SelectType(c.type);
    model.SetPolarity(c.polarity);
    model.SetAmplitude(c.amplitude);
    EXPECT_EQ(view.Label(L::AmpRez), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Polarities, OutputRange,
    ::testing::Values(RangeCase{1, polarity::Positive, 1, 2, "1.00000 V / 3.00000 V"},
                      RangeCase{1, polarity::Negative, 1, 2, "-1.0000 V / 1.00000 V"},
                      RangeCase{1, polarity::Bipolar, 1, 2, "-1.0000 V / 3.00000 V"},
                      RangeCase{1, polarity::Bipolar, 7, 3, "4.00000 V / 8.00000 V"},
                      RangeCase{1, polarity::Negative, -7, 3, "-8.0000 V / -7.0000 V"},
                      RangeCase{0, polarity::Positive, 1, 2, "3.00000 V"},
                      RangeCase{0, polarity::Negative, 1, 2, "-1.0000 V"},
                      RangeCase{0, polarity::Bipolar, 7, 3, "8.00000 V"}));

TEST_F(ModelTest, OffsetOneVoltRangeAgainstMaxVolts) {
    OpenBoard({1, 0.5});
    FakeAdditional offset(8);
    offset.entered = 1;
    model.SetAdditionalParameters(&offset);
    model.SelectType(signal_type::Sine);
    model.SetPolarity(polarity::Positive);
    model.SetAmplitude(2);
    EXPECT_EQ(view.Label(L::AmpRez), "1.00000 V / 3.00000 V");
    EXPECT_TRUE(model.Params().withinVoltageLimits);

    model.SetSettings({-10, 2.5, 50});
    model.ReapplyAmplitude();
    EXPECT_EQ(view.Label(L::AmpRez), "1.00000 V / 3.00000 V");
    EXPECT_FALSE(model.Params().withinVoltageLimits);

    model.SetSettings({1.5, 10, 50}); // the low end (the offset, 1 V) is below
    model.ReapplyAmplitude();
    EXPECT_FALSE(model.Params().withinVoltageLimits);
}

TEST_F(ModelTest, FileTypeRangeFollowsTheUnmultipliedStage) {
    OpenBoard({1, 0.1, 0.01}, 10); // 5 V full scale
    model.SelectType(signal_type::File);
    model.SetFileAmplitude(0.3);
    EXPECT_EQ(model.Params().fileAttenuator, 1);
    EXPECT_EQ(view.Label(L::AmpRez), "-500.00 mV / 500.000 mV");

    FakeAdditional offset(5);
    model.SetAdditionalParameters(&offset);
    Settle();
    model.SetAdditional(kind::Offset, 0.2); // peak 0.5 V still fits stage 1
    EXPECT_EQ(model.Params().fileAttenuator, 1);
    EXPECT_EQ(view.Label(L::AmpRez), "-300.00 mV / 500.000 mV");
    EXPECT_EQ(previews, 1);

    model.SetFileAmplitude(0.04); // peak 0.24 V: stage 1 still
    EXPECT_EQ(model.Params().fileAttenuator, 1);
    model.SetAdditional(kind::Offset, 0);
    EXPECT_EQ(model.Params().fileAttenuator, 2); // peak 0.04 V: stage 2
}

TEST_F(ModelTest, SwitchingTypeRealisesTheAmplitudeForTheNewType) {
    OpenBoard({1, 0.1, 0.01}, 10);
    model.SelectType(signal_type::File);
    model.SetFileAmplitude(4);
    EXPECT_EQ(model.Params().fileAttenuator, 0);
    model.SelectType(signal_type::Sine);
    model.SetAmplitude(0.03);
    // Back to the file: the stage follows the amplitude entered meanwhile.
    model.SelectType(signal_type::File);
    EXPECT_EQ(model.Params().fileAttenuator, 2);
    EXPECT_EQ(view.Label(L::AmpRez), "-50.000 mV / 50.0000 mV");
}

TEST_F(ModelTest, SelectTypeTakesTheRecordQualityAndShowsTheFrequencyPlace) {
    model.Record(WaveformRecord::Sine).quality = QualityNearest;
    model.Record(WaveformRecord::Saw).quality = QualityWholeMemory;
    model.Params().sampleClock = 1e6;
    model.SelectType(signal_type::Sine);
    EXPECT_EQ(model.Params().quality, QualityNearest);
    EXPECT_EQ(view.Label(L::FreqMain), "25.0000 mHz");
    model.SelectType(signal_type::FallingSaw);
    EXPECT_EQ(model.Params().quality, QualityWholeMemory);
    model.SelectType(signal_type::File);
    EXPECT_EQ(model.Params().quality, QualitySynthesiser);
    EXPECT_EQ(view.Label(L::FreqMain), "1.00000 MHz");
    EXPECT_EQ(view.Label(L::FreqRez), "1.00000 MHz"); // no driver: the same text
    model.SelectType(12);
    EXPECT_EQ(model.Params().type, signal_type::Constant);
}

TEST_F(ModelTest, BoardsWithoutASynthesiserDropQualityThree) {
    model.Record(WaveformRecord::Sine).quality = QualityMaxPoints;
    model.SelectType(signal_type::Pulse);
    model.DropSynthesiserQuality();
    EXPECT_EQ(model.Params().quality, QualityNearest);
    EXPECT_EQ(model.Record(WaveformRecord::Pulse).quality, QualityNearest);
    EXPECT_EQ(model.Record(WaveformRecord::Sine).quality, QualityMaxPoints);
}

struct ClockCase {
    const char* name;
    std::map<int32_t, double> answers;
    bool synthesiser;
    const char* freqRez;
};

class SampleClock : public ModelTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(SampleClock, ShowsTheNearestRealisableClock) {
    FakeClockDevice device;
    device.answers = GetParam().answers;
    OpenBoard({1}, 16, &device, GetParam().synthesiser);
    model.SelectType(signal_type::File);
    model.SetSampleClock(10000);
    EXPECT_EQ(view.Label(L::FreqMain), "10.0000 kHz");
    EXPECT_EQ(view.Label(L::FreqRez), GetParam().freqRez);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SampleClock,
    ::testing::Values(
        ClockCase{"TieGoesTo65", {{66, 10100}, {65, 9900}}, false, "9.90000 kHz"},
        ClockCase{"Nearer66Wins", {{66, 10050}, {65, 9900}}, false, "10.0500 kHz"},
        ClockCase{"Nearer65Wins", {{66, 10500}, {65, 9900}}, false, "9.90000 kHz"},
        ClockCase{"SynthesiserStrictlyNearer",
                  {{66, 10100}, {65, 9900}, {67, 10001}},
                  true,
                  "10.0010 kHz"},
        ClockCase{
            "SynthesiserTieLoses", {{66, 10100}, {65, 9900}, {67, 10100}}, true, "9.90000 kHz"},
        ClockCase{"SynthesiserNotAskedWithoutOne",
                  {{66, 10100}, {65, 9900}, {67, 10000}},
                  false,
                  "9.90000 kHz"},
        ClockCase{"Failed65LeavesTheOther", {{66, 10100}}, false, "10.1000 kHz"},
        ClockCase{"NoAnswerShowsTheEntered", {}, false, "10.0000 kHz"},
        ClockCase{"NonsenseAnswerIsNoCandidate", {{66, -5}, {65, 9000}}, false, "9.00000 kHz"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ModelTest, SampleClockAsksTheCodesInOrder) {
    FakeClockDevice device;
    device.answers = {{66, 10100}, {65, 9900}, {67, 10000}};
    OpenBoard({1}, 16, &device, true);
    model.SelectType(signal_type::File);
    device.calls.clear();
    model.SetSampleClock(10020);
    EXPECT_EQ(device.calls, (std::vector<int32_t>{66, 65, 67}));
    EXPECT_EQ(model.Params().realisedSampleClock, 10000);
    model.CloseBoard();
    device.calls.clear();
    model.SetSampleClock(30000);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(view.Label(L::FreqRez), "30.0000 kHz");
}

struct BlockCase {
    const char* name;
    int32_t lastSampleIndex;
    int32_t start;
    int32_t size;
    bool setStart; // else set the size
    double value;
    int32_t expectedStart;
    int32_t expectedSize;
};

class Block : public ModelTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(Block, KeepsTheBlockEvenAndInsideTheFile) {
    const BlockCase& c = GetParam();
    OpenBoard();
    model.SetLoadedFile(true, c.lastSampleIndex);
    model.Params().blockStart = c.start;
    model.Params().blockSize = c.size;
    if (c.setStart) {
        model.SetBlockStart(c.value);
    } else {
        model.SetBlockSize(c.value);
    }
    EXPECT_EQ(model.Params().blockStart, c.expectedStart);
    EXPECT_EQ(model.Params().blockSize, c.expectedSize);
    EXPECT_EQ(view.Label(L::StartBlockMain), std::to_string(c.expectedStart));
    EXPECT_EQ(view.Label(L::SizeBlockMain), std::to_string(c.expectedSize));
    EXPECT_EQ(model.Markers()[1].position, static_cast<float>(c.expectedStart));
    EXPECT_EQ(model.Markers()[2].position,
              static_cast<float>(c.expectedStart + c.expectedSize - 1));
    EXPECT_EQ(previews, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Block,
    ::testing::Values(BlockCase{"SizeSevenBecomesSix", 99, 0, 2, false, 7, 0, 6},
                      BlockCase{"SizeOneBecomesTwo", 99, 0, 4, false, 1, 0, 2},
                      BlockCase{"SizeIsTruncated", 99, 0, 2, false, 9.99, 0, 8},
                      BlockCase{"SizeMovesTheStartBack", 99, 90, 2, false, 20, 80, 20},
                      BlockCase{"SizeBeyondAShortFileShrinks", 4, 0, 2, false, 7, 0, 4},
                      BlockCase{"StartBeyondTheEndGoesToZero", 99, 0, 6, true, 150, 0, 2},
                      BlockCase{"StartAtTheLastSampleGoesToZero", 99, 0, 6, true, 99, 0, 2},
                      BlockCase{"StartNearTheEndShrinksTheSize", 99, 0, 6, true, 97, 97, 2},
                      BlockCase{"StartInsideKeepsTheSize", 99, 0, 6, true, 50, 50, 6},
                      BlockCase{"NegativeStartIsTheFirstSample", 99, 10, 6, true, -7, 0, 6},
                      BlockCase{"MinusOneKeepsTheStart", 99, 10, 6, true, -1, 10, 6}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ModelTest, BlockSizeIsLimitedByTheBoardMemory) {
    BoardValues board;
    board.maxVoltage = 10;
    board.gains = {1};
    board.memory = 1001;
    model.OpenBoard(board, nullptr);
    model.SetLoadedFile(true, 500000);
    model.SetBlockSize(5000);
    EXPECT_EQ(model.Params().blockSize, 1000);
}

TEST_F(ModelTest, AdditionalChangesGoToTheExtendedWindow) {
    OpenBoard();
    FakeAdditional offset(8);
    model.SetAdditionalParameters(&offset);
    model.SelectType(signal_type::Sine);
    model.SetAmplitude(1);
    Settle();
    model.SetAdditional(kind::Offset, 2);
    EXPECT_EQ(offset.entered, 2);
    EXPECT_EQ(model.Offset(), 2);
    EXPECT_TRUE(model.Params().recomputeNeeded);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(view.Label(L::AmpRez), "1.00000 V / 3.00000 V");
    EXPECT_EQ(previews, 0); // not the file type

    Settle();
    model.SetAdditional(kind::Offset, 2); // unchanged: no restart
    EXPECT_EQ(restarts, 0);
    EXPECT_FALSE(model.Params().recomputeNeeded);
    model.SetAdditional(kind::Offset, -1); // a valid offset, not "keep"
    EXPECT_EQ(offset.entered, -1);
}

TEST_F(ModelTest, WithoutTheExtendedWindowTheOffsetFieldIsUsed) {
    OpenBoard();
    model.SetAdditional(kind::Offset, 1.5);
    EXPECT_EQ(model.Params().offset, 1.5);
    EXPECT_EQ(model.Offset(), 1.5);
    EXPECT_EQ(model.ValueOf(kind::Offset), 1.5);
    EXPECT_EQ(model.ValueOf(7), 0);
}

TEST_F(ModelTest, ShowRealisedWritesTheRealisedLabels) {
    OpenBoard({1, 0.5});
    FakeAdditional offset(8);
    model.SetAdditionalParameters(&offset);
    model.SelectType(signal_type::Pulse);
    model.Params().realisedFrequency = 1000;
    model.Params().realisedDuration = 2e-4;
    model.Params().realisedAmplitude = 1;
    model.ShowRealised(kind::Frequency);
    model.ShowRealised(kind::Period);
    model.ShowRealised(kind::Duration);
    model.ShowRealised(kind::Amplitude);
    model.ShowRealised(kind::Offset);
    EXPECT_EQ(view.Label(L::FreqRez), "1.00000 kHz");
    EXPECT_EQ(view.Label(L::PerRez), "1.00000 ms");
    EXPECT_EQ(view.Label(L::DurRez), "200.000 µs");
    EXPECT_EQ(view.Label(L::AmpRez), "-1.0000 V / 1.00000 V");
    EXPECT_EQ(offset.shownReal, std::vector<int>{kind::Offset});

    model.Params().realisedFrequency = 0;
    model.ShowRealised(kind::Period);
    EXPECT_EQ(view.Label(L::PerRez), "0.00000 s");
}

TEST_F(ModelTest, LoadImpedanceChangeBringsAmplitudeAndOffsetInside) {
    OpenBoard({1, 0.5}, 10); // 5 V
    FakeAdditional offset(5);
    offset.entered = 5;
    model.SetAdditionalParameters(&offset);
    model.SelectType(signal_type::Sine);
    model.SetAmplitude(4);
    model.ChangeLoadImpedance(12.5); // 10 x 12.5 / 62.5 = 2 V
    EXPECT_EQ(model.FullScale(), 2);
    EXPECT_EQ(model.Limits().amplitudeMax, 2);
    EXPECT_EQ(model.Record(WaveformRecord::Pulse).limits.amplitudeMin, -2);
    EXPECT_EQ(model.Params().amplitude, 2);
    EXPECT_EQ(offset.entered, 4);

    offset.entered = -9;
    model.ChangeLoadImpedance(50); // back to 5 V: -9 lies within +-10
    EXPECT_EQ(offset.entered, -9);
    model.ChangeLoadImpedance(12.5);
    EXPECT_EQ(offset.entered, -4);
}

TEST_F(ModelTest, ShowAllShowsEveryStoredValue) {
    OpenBoard();
    model.Params().amplitude = 1;
    model.Params().frequency = 50;
    model.Params().duration = 0.002;
    model.ShowAll();
    EXPECT_EQ(view.Label(L::AmpMain), "1.00000 V");
    EXPECT_EQ(view.Label(L::FreqMain), "50.0000 Hz");
    EXPECT_EQ(view.Label(L::FreqRez), "<unset>"); // the file type's place is not shown
    EXPECT_EQ(view.Label(L::PerMain), "20.0000 ms");
    EXPECT_EQ(view.Label(L::DurMain), "2.00000 ms");
    EXPECT_EQ(view.Label(L::StartBlockMain), "0");
    EXPECT_EQ(view.Label(L::SizeBlockMain), "2");
}

TEST_F(ModelTest, DispatchByKindFollowsTheType) {
    OpenBoard();
    model.SelectType(signal_type::File);
    model.SetByKind(kind::Frequency, 50000);
    EXPECT_EQ(model.Params().sampleClock, 50000);
    EXPECT_EQ(model.Params().frequency, 0.025);
    model.SetByKind(kind::Amplitude, 1);
    EXPECT_EQ(model.Params().amplitude, 1);
    model.SelectType(signal_type::Sine);
    model.SetByKind(kind::Frequency, 20);
    EXPECT_EQ(model.Params().frequency, 20);
    model.SetByKind(kind::Period, 0.1);
    EXPECT_EQ(model.Params().frequency, 10);
    model.SetByKind(kind::Duration, 0.01);
    EXPECT_EQ(model.Params().duration, 0.01);
    model.SetByKind(kind::Offset, 0.5);
    EXPECT_EQ(model.Offset(), 0.5);
}

TEST_F(ModelTest, AFormattingFailureSetsTheFlag) {
    EXPECT_FALSE(model.FormattingFailed());
    EXPECT_EQ(model.Format(std::numeric_limits<double>::infinity(), "s"), "");
    EXPECT_TRUE(model.FormattingFailed());
    model.ClearFormattingFailed();
    EXPECT_FALSE(model.FormattingFailed());
}

TEST_F(ModelTest, ValuesThatAreNotNumbersAreIgnored) {
    OpenBoard();
    model.SelectType(signal_type::Pulse);
    Settle();
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {nan, inf, -inf}) {
        model.SetAmplitude(v);
        model.SetFrequency(v);
        model.SetPeriod(v);
        model.SetDuration(v);
        model.SetBlockStart(v);
        model.SetBlockSize(v);
        model.SetAdditional(kind::Offset, v);
    }
    model.SelectType(signal_type::File);
    Settle();
    model.SetFileAmplitude(nan);
    model.SetSampleClock(inf);
    EXPECT_EQ(view.writes, 0);
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(model.Params().frequency, 0.025);
    EXPECT_EQ(model.Params().sampleClock, kDefaultMinSampleClock);
    EXPECT_EQ(model.Params().offset, 0);
    EXPECT_FALSE(model.FormattingFailed());
}

TEST_F(ModelTest, MarkersStartAsTheViewerExpects) {
    const auto& m = model.Markers();
    EXPECT_EQ(m[0].kind, kPreviewMarkerKind);
    EXPECT_EQ(m[0].colour, 0xFF0000);
    EXPECT_EQ(m[0].secondColour, 0xFF0000);
    EXPECT_EQ(m[1].colour, 0x00FF00);
    EXPECT_EQ(m[2].secondColour, 0x00FF00);
    EXPECT_EQ(m[1].position, 0.0f);
    EXPECT_EQ(m[2].position, 1.0f);
    EXPECT_EQ(m[2].reserved, 0);
}

} // namespace
