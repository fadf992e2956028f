// ExtendedParameters: the offset as additional parameter 6 for the parameter model
// and the numeric entry, the creation steps, polarity, filter and keys.

#include "app/params/entry_controller.h"
#include "app/params/extended_parameters.h"
#include "tests/app/params/aux_fakes.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

class ExtendedTest : public ::testing::Test {
protected:
    ExtendedTest() { model.SetAdditionalParameters(&ext); }

    // A board with `maxVoltage` volts without load; at the default 50 ohms the
    // voltage at the load (fullScale) is half of it.
    void OpenBoard(double maxVoltage) {
        BoardValues board;
        board.maxVoltage = maxVoltage;
        board.gains = {1, 0.1, 0.01};
        board.memory = 1 << 20;
        model.OpenBoard(board, nullptr);
    }

    params::Settings settings;
    FakeParameterView labels;
    ParameterModel model{labels, EnglishText};
    FakeAuxHost host;
    FakeExtendedView view;
    ExtendedParameters ext{settings, model, host, view};
};

TEST_F(ExtendedTest, SetEnteredTwiceChangesOnceAndWritesOffsetOnce) {
    EXPECT_TRUE(ext.SetEntered(6, 1.5));
    EXPECT_EQ(settings.offset, 1.5);
    EXPECT_EQ(view.entered, "1.50000 В");
    EXPECT_EQ(view.enteredWrites, 1);

    settings.offset = 99; // a second write would show
    EXPECT_FALSE(ext.SetEntered(6, 1.5));
    EXPECT_EQ(settings.offset, 99);
    EXPECT_EQ(view.enteredWrites, 1);
    EXPECT_EQ(ext.GetEntered(6), 1.5);
}

TEST_F(ExtendedTest, ValuesThatAreNoNumberNeverReachTheOffset) {
    ext.SetEntered(6, 2);
    EXPECT_FALSE(ext.SetEntered(6, std::nan("")));
    EXPECT_FALSE(ext.SetEntered(6, INFINITY));
    EXPECT_EQ(ext.GetEntered(6), 2);
    EXPECT_EQ(settings.offset, 2);
}

TEST_F(ExtendedTest, OtherIndexesHaveNoEffect) {
    EXPECT_FALSE(ext.SetEntered(5, 3));
    EXPECT_EQ(ext.GetEntered(5), 0);
    EXPECT_EQ(ext.GetEntered(6), 0);
    EXPECT_EQ(view.enteredWrites, 0);

    AdditionalLimits limits{false, 77, 66, 5};
    EXPECT_FALSE(ext.GetLimits(signal_type::Sine, 5, limits));
    EXPECT_EQ(limits.maximum, 77);
    EXPECT_EQ(limits.minimum, 66);
    EXPECT_EQ(limits.unitIndex, 5);
    EXPECT_FALSE(limits.isSigned);

    std::array<int8_t, 3> exponents{9, 9, 9};
    EXPECT_FALSE(ext.GetPrefixExponents(7, exponents));
    EXPECT_EQ(exponents, (std::array<int8_t, 3>{9, 9, 9}));
    std::array<std::string, 3> names{"a", "b", "c"};
    EXPECT_FALSE(ext.GetUnitNames(7, names));
    EXPECT_EQ(names[0], "a");

    ext.SetReal(5, 4);
    ext.ShowReal(5);
    EXPECT_EQ(ext.Realised(), 0);
    EXPECT_EQ(view.realised, "<unset>");
}

TEST_F(ExtendedTest, LimitsAreTwiceTheVoltsAtTheLoad) {
    OpenBoard(12); // 12 V x 50 / (50 + 50) = 6 V at the load
    ASSERT_DOUBLE_EQ(model.FullScale(), 6);
    AdditionalLimits limits;
    ASSERT_TRUE(ext.GetLimits(signal_type::Sine, 6, limits));
    EXPECT_TRUE(limits.isSigned);
    EXPECT_DOUBLE_EQ(limits.maximum, 12);
    EXPECT_DOUBLE_EQ(limits.minimum, -12);
    EXPECT_EQ(limits.unitIndex, 18);
    EXPECT_EQ(model.Text(150 + limits.unitIndex), "V");
}

TEST_F(ExtendedTest, WithoutABoardTheAmplitudeLimitStandsForTheFullScale) {
    AdditionalLimits limits;
    ASSERT_TRUE(ext.GetLimits(signal_type::Sine, 6, limits));
    EXPECT_DOUBLE_EQ(limits.maximum, 10); // 2 x the 5 V kept without a driver
    EXPECT_DOUBLE_EQ(limits.minimum, -10);
}

TEST_F(ExtendedTest, UnitsArePrefixedVoltsInRussianWords) {
    std::array<std::string, 3> names;
    ASSERT_TRUE(ext.GetUnitNames(6, names));
    EXPECT_EQ(names, (std::array<std::string, 3>{"В", "мВ", "мкВ"}));
    std::array<int8_t, 3> exponents{};
    ASSERT_TRUE(ext.GetPrefixExponents(6, exponents));
    EXPECT_EQ(exponents, (std::array<int8_t, 3>{0, -3, -6}));
}

TEST_F(ExtendedTest, TheNumericEntryTakesLimitsUnitsAndValueFromIt) {
    OpenBoard(12);
    ext.SetEntered(6, -1.25);
    FakeEntryView entryView;
    EntryController entry{model, entryView};
    entry.SetAdditionalParameters(&ext);
    entry.ChooseAdditional(kind::Offset);
    EXPECT_DOUBLE_EQ(entry.Maximum(), 12);
    EXPECT_DOUBLE_EQ(entry.Minimum(), -12);
    EXPECT_TRUE(entry.SignedKind());
    EXPECT_EQ(entry.UnitCaptions(), (std::array<std::string, 3>{"В", "мВ", "мкВ"}));
    EXPECT_EQ(entry.UnitExponents(), (std::array<int, 3>{0, -3, -6}));
    EXPECT_EQ(entryView.minBar, "-12.000 V");
    EXPECT_DOUBLE_EQ(entry.BoxValue(), -1.25);
}

TEST_F(ExtendedTest, ModelCommitGoesThroughTheWindowAndTheRealisedValueIsShown) {
    OpenBoard(12);
    model.SetByKind(kind::Offset, 2.5);
    EXPECT_EQ(settings.offset, 2.5);
    EXPECT_EQ(model.Offset(), 2.5);
    EXPECT_EQ(view.entered, "2.50000 В");

    ext.SetReal(6, 2.4993);
    model.ShowRealised(kind::Offset);
    EXPECT_EQ(view.realised, "2.49930 В");
}

TEST_F(ExtendedTest, CreationShowsTheStoredOffset) {
    settings.offset = -0.5;
    ext.Create();
    EXPECT_EQ(ext.GetEntered(6), -0.5);
    EXPECT_EQ(view.entered, "-500.00 mВ");
}

TEST_F(ExtendedTest, CreationWithOffsetZeroStillShowsTheEnteredValue) {
    ext.Create();
    EXPECT_EQ(view.entered, "0.00000 В");
    EXPECT_EQ(settings.offset, 0);
}

struct PolarityCase {
    int setting;
    int down;
};

class CreationPolarityTest : public ExtendedTest,
                             public ::testing::WithParamInterface<PolarityCase> {};

TEST_P(CreationPolarityTest, StoredPolarityPutsItsButtonDownAndReachesTheModel) {
    settings.polarity = GetParam().setting;
    model.Params().polarity = (GetParam().down + 1) % 3; // so that a change shows
    ext.Create();
    EXPECT_EQ(view.polarityDown, GetParam().down);
    EXPECT_EQ(settings.polarity, GetParam().down);
    EXPECT_EQ(model.Params().polarity, GetParam().down);
    EXPECT_TRUE(host.calls.empty()); // nothing runs at creation
}

INSTANTIATE_TEST_SUITE_P(Polarities, CreationPolarityTest,
                         ::testing::Values(PolarityCase{0, polarity::Positive},
                                           PolarityCase{1, polarity::Negative},
                                           PolarityCase{2, polarity::Bipolar}));

TEST_F(ExtendedTest, StartingWithTheFilterOnLeavesItOnWithTheButtonDown) {
    settings.filterActive = true;
    ext.Create();
    EXPECT_TRUE(settings.filterActive);
    EXPECT_TRUE(ext.Filter());
    EXPECT_EQ(view.filterDown, true);
    EXPECT_TRUE(model.Params().filter);
}

TEST_F(ExtendedTest, StartingWithTheFilterOffLeavesItOff) {
    ext.Create();
    EXPECT_FALSE(settings.filterActive);
    EXPECT_EQ(view.filterDown, false);
    EXPECT_FALSE(model.Params().filter);
}

TEST_F(ExtendedTest, DataFileAtStartHidesThePolarityControls) {
    model.SelectType(signal_type::File);
    ext.Create();
    EXPECT_FALSE(ext.PolarityControlsVisible());
    EXPECT_EQ(view.polarityControls, false);
}

TEST_F(ExtendedTest, SynthesisedSignalAtStartShowsThePolarityControls) {
    model.SelectType(signal_type::Sine);
    ext.Create();
    EXPECT_TRUE(ext.PolarityControlsVisible());
    EXPECT_EQ(view.polarityControls, true);
}

TEST_F(ExtendedTest, PolarityButtonRealisesTheAmplitudeAgain) {
    OpenBoard(16); // 8 V at the load: 2 V is exactly 2048 codes
    model.SelectType(signal_type::Sine);
    ext.SetEntered(6, 1);
    model.SetAmplitude(2);
    ASSERT_EQ(labels.Label(ParameterLabel::AmpRez), "-1.0000 V / 3.00000 V");

    ext.ButtonPlusPolarClick();
    EXPECT_EQ(labels.Label(ParameterLabel::AmpRez), "1.00000 V / 3.00000 V");
    ext.ButtonMinusPolarClick();
    EXPECT_EQ(labels.Label(ParameterLabel::AmpRez), "-1.0000 V / 1.00000 V");
    EXPECT_EQ(settings.polarity, polarity::Negative);
}

struct RestartCase {
    bool running;
    bool autoStart;
    int restarts;
};

class SwitchRestartTest : public ExtendedTest, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(SwitchRestartTest, PolarityAndFilterRestartOnlyARunningOutputWithAutoStart) {
    host.running = GetParam().running;
    settings.autoStart = GetParam().autoStart;
    ext.ButtonBePolarClick();
    EXPECT_EQ(host.Count("ScheduleRestart"), GetParam().restarts);
    ext.SpeedButton1Click();
    EXPECT_EQ(host.Count("ScheduleRestart"), 2 * GetParam().restarts);
    EXPECT_TRUE(settings.filterActive);
    ext.SpeedButton1Click();
    EXPECT_FALSE(settings.filterActive);
    EXPECT_FALSE(model.Params().filter);
}

INSTANTIATE_TEST_SUITE_P(Conditions, SwitchRestartTest,
                         ::testing::Values(RestartCase{true, true, 1}, RestartCase{true, false, 0},
                                           RestartCase{false, true, 0}));

TEST_F(ExtendedTest, MultiplyKeySelectsTheNextParameter) {
    ext.RefillList();
    ext.SelectParameter(); // no row selected: nothing
    EXPECT_TRUE(host.calls.empty());

    EXPECT_FALSE(ext.KeyDown(107)); // keypad plus
    EXPECT_TRUE(host.calls.empty());

    EXPECT_TRUE(ext.KeyDown(ExtendedParameters::kMultiplyKey));
    EXPECT_EQ(ext.SelectedRow(), 0);
    EXPECT_TRUE(ext.KeyDown(ExtendedParameters::kMultiplyKey)); // wraps to the only row
    EXPECT_EQ(host.calls, (std::vector<std::string>{"SelectParameter 6", "SelectParameter 6"}));
}

} // namespace
