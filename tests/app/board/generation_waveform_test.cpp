// Start of every synthesised signal type through the real signal library and the
// simulated PCI board: what the board records must be what the window shows as
// realised (frequency from the recorded clock and the periods in the record,
// amplitude and offset from the recorded volts per code and stage, the pulse's
// duration from the samples at its high level).

#include "tests/app/board/generation_rig.h"

#include <cmath>
#include <string>

namespace gentest {
namespace {

struct WaveCase {
    const char* name;
    int type;
    double frequency; // Hz
    double amplitude; // V
    double offset;    // V
    int polarity;
    int quality;
    double duration = 0; // s, pulse only
};

std::string CaseName(const testing::TestParamInfo<WaveCase>& info) {
    return info.param.name;
}

// Periods in a cyclic record: upward crossings of the middle level.
int CountPeriods(const std::vector<int16_t>& codes, int lowest, int highest) {
    const double middle = (lowest + highest) / 2.0;
    int periods = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        const double here = codes[i];
        const double next = codes[(i + 1) % codes.size()];
        if (here < middle && next >= middle) {
            ++periods;
        }
    }
    return periods;
}

class SynthesisedOutput : public testing::TestWithParam<WaveCase> {};

TEST_P(SynthesisedOutput, RecordedOutputHasTheShownRealisedValues) {
    const WaveCase& c = GetParam();
    Rig rig;
    rig.Synthesised(c.type, c.frequency, c.amplitude, c.offset, c.polarity, c.duration);
    rig.model.Params().quality = c.quality;

    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.control->Running());
    EXPECT_EQ(rig.dialogs.ShownCount(), 0u) << rig.Shown().front();
    EXPECT_EQ(rig.view.face, StartFace::Stop);
    EXPECT_EQ(rig.view.caption, "Stop");
    EXPECT_EQ(rig.view.writeEnabled, false);
    EXPECT_FALSE(rig.model.Params().recomputeNeeded);
    EXPECT_FALSE(rig.control->BoardStopped());

    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    const boardsim::OutputRecord& record = *read.record;
    const SignalParameters& p = rig.model.Params();
    EXPECT_TRUE(record.continuous);
    EXPECT_EQ(record.dataFormat, 2);
    EXPECT_EQ(record.clipped, 0);
    EXPECT_EQ(record.attenuator, p.attenuator);
    EXPECT_EQ(record.codes.size(), static_cast<size_t>(rig.control->PointCount()));
    // The codes are the library's, as computed into the window's buffer.
    ASSERT_EQ(record.words.size(), static_cast<size_t>(rig.control->PointCount()));
    EXPECT_TRUE(
        std::equal(record.words.begin(), record.words.end(), rig.control->Buffer().begin()));

    const auto [low, high] = std::minmax_element(record.codes.begin(), record.codes.end());
    // Volts at the load: the record gives them without load; the load takes half of
    // them with the default 50 ohms.
    const double load = rig.settings.rLoad / (rig.settings.rLoad + 50.0);
    const double voltsPerCode = record.voltsPerCode * load;
    const double codeTolerance = voltsPerCode * 1.0001;

    double amplitude = 0;
    double offset = 0;
    if (c.type == signal_type::Constant) {
        offset = rig.control->RealisedOffset();
        const double level = *low * voltsPerCode;
        amplitude = c.polarity == polarity::Negative ? offset - level : level - offset;
        EXPECT_EQ(*low, *high);
    } else if (c.polarity == polarity::Bipolar) {
        amplitude = (*high - *low) / 2.0 * voltsPerCode;
        offset = (*high + *low) / 2.0 * voltsPerCode;
    } else {
        amplitude = (*high - *low) * voltsPerCode;
        offset = (c.polarity == polarity::Positive ? *low : *high) * voltsPerCode;
    }
    EXPECT_NEAR(amplitude, p.realisedAmplitude, codeTolerance);
    EXPECT_NEAR(offset, rig.control->RealisedOffset(), codeTolerance);
    ASSERT_TRUE(rig.view.realisedOffset);
    EXPECT_DOUBLE_EQ(*rig.view.realisedOffset, rig.control->RealisedOffset());
    // The realised values are near the entered ones (one code step at the stage).
    EXPECT_NEAR(p.realisedAmplitude, c.amplitude,
                rig.model.Scale().Step() * rig.model.Scale().Gain(p.attenuator));
    EXPECT_NEAR(rig.control->RealisedOffset(), c.offset,
                rig.model.Scale().Step() * rig.model.Scale().Gain(p.attenuator));

    if (c.type != signal_type::Constant) {
        const int periods = CountPeriods(record.codes, *low, *high);
        ASSERT_GT(periods, 0);
        const double recorded = record.clock * periods / static_cast<double>(record.codes.size());
        EXPECT_NEAR(recorded, p.realisedFrequency, p.realisedFrequency * 1e-6);
        EXPECT_NEAR(p.realisedFrequency, c.frequency, c.frequency * 0.02);
        EXPECT_EQ(rig.labels.Label(ParameterLabel::FreqRez),
                  rig.model.Format(p.realisedFrequency, "Hz"));
        EXPECT_EQ(rig.labels.Label(ParameterLabel::PerRez),
                  rig.model.Format(1 / p.realisedFrequency, "s"));
    }
    if (c.type == signal_type::Pulse) {
        // Samples at the pulse level in one period of the record.
        const int pulseLevel = c.polarity == polarity::Negative ? *low : *high;
        const auto inPulse = std::count(record.codes.begin(), record.codes.end(), pulseLevel);
        const int periods = CountPeriods(record.codes, *low, *high);
        const double duration = static_cast<double>(inPulse) / periods / record.clock;
        EXPECT_NEAR(duration, p.realisedDuration, 1e-9 + p.realisedDuration * 1e-6);
        EXPECT_EQ(rig.labels.Label(ParameterLabel::DurRez),
                  rig.model.Format(p.realisedDuration, "s"));
    }

    // Stop: the button is released and the board stopped.
    const size_t before = rig.JournalSize();
    rig.control->StartButtonClick();
    EXPECT_FALSE(rig.control->Running());
    EXPECT_EQ(rig.view.face, StartFace::Start);
    EXPECT_EQ(rig.view.caption, "Start");
    EXPECT_EQ(rig.view.writeEnabled, true);
    EXPECT_TRUE(rig.control->BoardStopped());
    EXPECT_TRUE(rig.model.Params().recomputeNeeded);
    EXPECT_FALSE(rig.Calls("StopOutput", before).empty());
    int32_t playing = 1;
    rig.Device()->Control(ctl::Playing, &playing);
    EXPECT_EQ(playing, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Types, SynthesisedOutput,
    testing::Values(WaveCase{"ConstantPositive", signal_type::Constant, 0.025, 1.5, 0.0,
                             polarity::Positive, QualitySynthesiser},
                    WaveCase{"ConstantNegativeWithOffset", signal_type::Constant, 0.025, 0.3, -0.1,
                             polarity::Negative, QualitySynthesiser},
                    WaveCase{"ConstantBipolarWithOffset", signal_type::Constant, 0.025, 2.0, 1.0,
                             polarity::Bipolar, QualityNearest},
                    WaveCase{"SineBipolar", signal_type::Sine, 1000, 2.0, 0.0, polarity::Bipolar,
                             QualitySynthesiser},
                    WaveCase{"SineSmallPositive", signal_type::Sine, 12345.6, 0.3, 0.1,
                             polarity::Positive, QualityMaxPoints},
                    WaveCase{"SineNegativeWithOffset", signal_type::Sine, 50, 3.0, 0.5,
                             polarity::Negative, QualityNearest},
                    WaveCase{"PulsePositive", signal_type::Pulse, 1000, 2.0, 0.0,
                             polarity::Positive, QualitySynthesiser, 100e-6},
                    WaveCase{"PulseNegativeWithOffset", signal_type::Pulse, 20000, 1.0, -1.0,
                             polarity::Negative, QualityMaxPoints, 10e-6},
                    WaveCase{"MeanderBipolar", signal_type::Meander, 5000, 1.0, 0.0,
                             polarity::Bipolar, QualitySynthesiser},
                    WaveCase{"MeanderPositiveWithOffset", signal_type::Meander, 777, 0.04, 0.01,
                             polarity::Positive, QualityMaxPoints},
                    WaveCase{"TriangleBipolarWithOffset", signal_type::Triangle, 2000, 3.0, -1.0,
                             polarity::Bipolar, QualitySynthesiser},
                    WaveCase{"TrianglePositive", signal_type::Triangle, 150, 1.0, 0.0,
                             polarity::Positive, QualityNearest},
                    WaveCase{"RisingSawPositive", signal_type::RisingSaw, 1000, 2.0, 0.0,
                             polarity::Positive, QualitySynthesiser},
                    WaveCase{"RisingSawBipolar", signal_type::RisingSaw, 45000, 0.5, 0.2,
                             polarity::Bipolar, QualityMaxPoints},
                    WaveCase{"FallingSawNegativeWithOffset", signal_type::FallingSaw, 300, 1.0, 0.2,
                             polarity::Negative, QualitySynthesiser},
                    WaveCase{"FallingSawBipolar", signal_type::FallingSaw, 10000, 4.0, 0.0,
                             polarity::Bipolar, QualityNearest}),
    CaseName);

// The falling saw falls within its period, the rising saw rises.
TEST(SawDirection, FallingSawFallsAndRisingSawRises) {
    for (const int type : {signal_type::RisingSaw, signal_type::FallingSaw}) {
        Rig rig;
        rig.Synthesised(type, 1000, 2.0, 0.0, polarity::Bipolar);
        rig.control->StartButtonClick();
        const auto read = rig.Latest();
        ASSERT_TRUE(read.record) << read.error;
        int rises = 0;
        int falls = 0;
        const auto& codes = read.record->codes;
        for (size_t i = 0; i + 1 < codes.size(); ++i) {
            rises += codes[i + 1] > codes[i] ? 1 : 0;
            falls += codes[i + 1] < codes[i] ? 1 : 0;
        }
        if (type == signal_type::RisingSaw) {
            EXPECT_GT(rises, 10 * falls);
        } else {
            EXPECT_GT(falls, 10 * rises);
        }
        EXPECT_EQ(rig.control->Request().sawDirection, type == signal_type::FallingSaw ? 1 : 0);
    }
}

// The library computes codes as wide as the board's converter, around the offset code.
TEST(ComputedPath, CodesAsWideAsTheConverter) {
    Rig rig(Driver("KORD77PCI", "bits = 12\n"));
    rig.Synthesised(signal_type::Sine, 1000, 4.0, 0.5, polarity::Bipolar);
    rig.control->StartButtonClick();
    EXPECT_EQ(rig.signal->lastBits, 12);
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->clipped, 0);
    const auto [low, high] =
        std::minmax_element(read.record->codes.begin(), read.record->codes.end());
    const double voltsPerCode = read.record->voltsPerCode / 2;
    EXPECT_NEAR((*high - *low) / 2.0 * voltsPerCode, rig.model.Params().realisedAmplitude,
                voltsPerCode);
    EXPECT_NEAR((*high + *low) / 2.0 * voltsPerCode, 0.5, voltsPerCode);
}

// Constant level with frequency 0: the minimum frequency is used.
TEST(ComputedPath, ConstantWithoutFrequencyUsesTheMinimum) {
    Rig rig;
    rig.Synthesised(signal_type::Constant, 0, 1.0, 0.0, polarity::Positive);
    ASSERT_EQ(rig.model.Params().frequency, 0);
    rig.control->StartButtonClick();
    EXPECT_EQ(rig.dialogs.ShownCount(), 0u);
    EXPECT_EQ(rig.model.Params().frequency, rig.model.Limits().frequencyMin);
    EXPECT_TRUE(rig.Latest().record);
}

} // namespace
} // namespace gentest
