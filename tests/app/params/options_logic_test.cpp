// OptionsLogic: the number edits and their rules, the load impedance with its list
// and its effect on the limits, generation modes, external start, device type,
// language and interface switches.

#include "app/params/extended_parameters.h"
#include "app/params/options_logic.h"
#include "app/params/scripted_dialogs.h"
#include "tests/app/params/aux_fakes.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>
#include <vector>

namespace {

// --- Checking and showing numbers ---

struct NumberCase {
    const char* text;
    bool allowMinus;
    NumberCheck check;
    double value;
};

class NumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberTextTest, CharactersThenConversion) {
    const NumberCase& c = GetParam();
    const NumberText result = CheckNumberText(c.text, c.allowMinus);
    EXPECT_EQ(result.check, c.check) << c.text;
    if (c.check == NumberCheck::Accepted) {
        EXPECT_DOUBLE_EQ(result.value, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NumberTextTest,
    ::testing::Values(NumberCase{"-2,5", true, NumberCheck::Accepted, -2.5},
                      NumberCase{"-2.5", true, NumberCheck::RejectedCharacter, 0},
                      NumberCase{"2.5", false, NumberCheck::RejectedCharacter, 0},
                      NumberCase{"-1", true, NumberCheck::Accepted, -1},
                      NumberCase{"-1", false, NumberCheck::RejectedCharacter, 0},
                      NumberCase{"75", false, NumberCheck::Accepted, 75},
                      NumberCase{",5", false, NumberCheck::Accepted, 0.5},
                      NumberCase{"0012,250", false, NumberCheck::Accepted, 12.25},
                      NumberCase{"1e3", false, NumberCheck::RejectedCharacter, 0},
                      NumberCase{" 5", false, NumberCheck::RejectedCharacter, 0},
                      NumberCase{"+5", true, NumberCheck::RejectedCharacter, 0},
                      NumberCase{"1,2,3", false, NumberCheck::NotANumber, 0},
                      NumberCase{"-", true, NumberCheck::NotANumber, 0},
                      NumberCase{",", true, NumberCheck::NotANumber, 0},
                      NumberCase{"--1", true, NumberCheck::NotANumber, 0},
                      NumberCase{"1-", true, NumberCheck::NotANumber, 0},
                      NumberCase{"", true, NumberCheck::NotANumber, 0}));

TEST(NumberText, HugeDigitStringsAreNoNumber) {
    const std::string huge = "1" + std::string(400, '0');
    EXPECT_EQ(CheckNumberText(huge, false).check, NumberCheck::NotANumber);
}

TEST(NumberText, TheCommaIsTheSeparatorWhateverTheLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const std::locale savedCxx;
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    const NumberText comma = CheckNumberText("-2,5", true);
    const std::string shown = PlainDecimal(-2.5);
    std::setlocale(LC_ALL, "en_US.UTF-8");
    const NumberText english = CheckNumberText("-2,5", true);
    std::setlocale(LC_ALL, saved.c_str());
    std::locale::global(savedCxx);
    EXPECT_EQ(comma.value, -2.5) << (german ? "" : "(no German locale installed)");
    EXPECT_EQ(english.value, -2.5);
    EXPECT_EQ(shown, "-2,5");
}

TEST(PlainDecimal, ShortestTextThatReadsBack) {
    EXPECT_EQ(PlainDecimal(-10.0), "-10");
    EXPECT_EQ(PlainDecimal(-2.5), "-2,5");
    EXPECT_EQ(PlainDecimal(0.0), "0");
    EXPECT_EQ(PlainDecimal(75.0f), "75");
    EXPECT_EQ(PlainDecimal(33.3f), "33,3");
    EXPECT_EQ(PlainDecimal(1e20), "100000000000000000000");
    for (const double v : {-2.5, 0.1, 123.456, 1e-7}) {
        const NumberText back = CheckNumberText(PlainDecimal(v), true);
        EXPECT_EQ(back.check, NumberCheck::Accepted) << v;
        EXPECT_EQ(back.value, v);
    }
}

// --- The window's logic ---

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() {
        model.SetAdditionalParameters(&ext);
        model.SetSettings({settings.minVolts, settings.maxVolts, settings.rLoad});
    }

    // 16 V without load: 8 V at 50 ohms, 2 V is exactly 2048 codes.
    void OpenBoard(double maxVoltage = 16) {
        BoardValues board;
        board.maxVoltage = maxVoltage;
        board.gains = {1, 0.1, 0.01};
        board.memory = 1 << 20;
        model.OpenBoard(board, nullptr);
    }

    // The dialogs shown so far, as "text|caption".
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& d : dialogs.Shown()) {
            texts.push_back(d.text + "|" + d.caption);
        }
        return texts;
    }

    static std::string Texts(int id) {
        return id == 17 ? "Enter the valid number" : EnglishText(id);
    }

    params::Settings settings;
    FakeParameterView labels;
    ParameterModel model{labels, Texts};
    FakeAuxHost host;
    FakeExtendedView extView;
    ExtendedParameters ext{settings, model, host, extView};
    params::ScriptedDialogs dialogs;
    OptionsLogic options{settings, model, host, dialogs, Texts};
};

TEST_F(OptionsTest, CommaTextSetsMinVolts) {
    EXPECT_TRUE(options.Edit1KeyPress(13, "-2,5"));
    EXPECT_EQ(settings.minVolts, -2.5);
    EXPECT_EQ(model.Settings().minVolts, -2.5);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OptionsTest, FullStopIsRejectedWithMessage17AndNothingChanges) {
    EXPECT_TRUE(options.Edit1KeyPress(13, "-2.5"));
    EXPECT_EQ(settings.minVolts, -10);
    EXPECT_EQ(model.Settings().minVolts, -10);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Enter the valid number|"});
}

TEST_F(OptionsTest, MaxVoltsTakesItsOwnMinusSign) {
    options.Edit2KeyPress(13, "-1");
    EXPECT_EQ(settings.maxVolts, -1);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OptionsTest, EditsActOnlyOnEnterWithText) {
    EXPECT_FALSE(options.Edit1KeyPress('5', "5"));
    EXPECT_FALSE(options.Edit2KeyPress(13, ""));
    EXPECT_FALSE(options.Edit3KeyDown(40, "5"));
    EXPECT_EQ(settings.minVolts, -10);
    EXPECT_EQ(settings.maxVolts, 10);
    EXPECT_EQ(settings.rLoad, 50);
    // A text of accepted characters that is no number changes nothing, silently.
    options.Edit1KeyPress(13, "1,2,3");
    EXPECT_EQ(settings.minVolts, -10);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OptionsTest, NewVoltageLimitsAreCheckedAgainstTheRealisedRange) {
    OpenBoard();
    model.SelectType(signal_type::Sine);
    settings.polarity = polarity::Positive;
    model.SetPolarity(polarity::Positive);
    ext.SetEntered(6, 1);
    model.SetAmplitude(2); // 1 V .. 3 V
    ASSERT_TRUE(model.Params().withinVoltageLimits);

    options.Edit2KeyPress(13, "2,5");
    EXPECT_FALSE(model.Params().withinVoltageLimits);
    options.Edit2KeyPress(13, "3");
    EXPECT_TRUE(model.Params().withinVoltageLimits);
    options.Edit1KeyPress(13, "1,5");
    EXPECT_FALSE(model.Params().withinVoltageLimits);
}

TEST_F(OptionsTest, LoadImpedance75With10VoltsGivesLimitsOfSixVolts) {
    OpenBoard(10);
    ASSERT_DOUBLE_EQ(model.Limits().amplitudeMax, 5);
    EXPECT_TRUE(options.Edit3KeyDown(13, "75"));
    EXPECT_EQ(settings.rLoad, 75);
    EXPECT_DOUBLE_EQ(model.Limits().amplitudeMax, 6);
    EXPECT_DOUBLE_EQ(model.Limits().amplitudeMin, -6);
    EXPECT_DOUBLE_EQ(model.FullScale(), 6);
    AdditionalLimits offset;
    ext.GetLimits(model.Params().type, 6, offset);
    EXPECT_DOUBLE_EQ(offset.maximum, 12);
    EXPECT_EQ(host.calls, std::vector<std::string>{"ReselectParameter"});
}

TEST_F(OptionsTest, SmallerLoadBringsAmplitudeAndOffsetWithinTheNewLimits) {
    OpenBoard(10); // 5 V at 50 ohms
    model.SelectType(signal_type::Sine);
    model.SetAmplitude(4);
    ext.SetEntered(6, -9);
    options.Edit3KeyDown(13, "25"); // 10 x 25 / 75 = 3.33 V
    const double fullScale = model.FullScale();
    EXPECT_NEAR(fullScale, 10.0 / 3, 1e-6);
    EXPECT_DOUBLE_EQ(model.Params().amplitude, fullScale);
    EXPECT_DOUBLE_EQ(ext.GetEntered(6), -2 * fullScale);
    EXPECT_DOUBLE_EQ(settings.offset, -2 * fullScale);
}

TEST_F(OptionsTest, NegativeLoadIsRejected) {
    OpenBoard(10);
    options.Edit3KeyDown(13, "-75");
    EXPECT_EQ(settings.rLoad, 50);
    EXPECT_DOUBLE_EQ(model.Limits().amplitudeMax, 5);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Enter the valid number|"});
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(OptionsTest, CreationFillsTheImpedanceListAndTheEdits) {
    settings.rezistList.ListAppend(75);
    settings.rezistList.ListAppend(33.3f);
    settings.rLoad = 600;
    settings.minVolts = -2.5;
    settings.deviceName = "KORD77USB";
    options.Create(true);
    EXPECT_EQ(options.ImpedanceList(), (std::vector<std::string>{"75", "33,3"}));
    EXPECT_EQ(options.Edit3Text(), "600");
    EXPECT_EQ(options.Edit1Text(), "-2,5");
    EXPECT_EQ(options.Edit2Text(), "10");
    EXPECT_EQ(options.DeviceRow(), 1);
    EXPECT_EQ(options.FamilyRow(), 0);
    EXPECT_EQ(options.StartTypeRow(), 0);
    EXPECT_TRUE(options.SynthesiserModeEnabled());
}

TEST_F(OptionsTest, ChoosingAListEntryActsAsEnter) {
    OpenBoard(10);
    settings.rezistList.ListAppend(50);
    settings.rezistList.ListAppend(75);
    options.Create(false);
    options.Edit3Click(1);
    EXPECT_EQ(options.Edit3Text(), "75");
    EXPECT_EQ(settings.rLoad, 75);
    EXPECT_DOUBLE_EQ(model.Limits().amplitudeMax, 6);
}

TEST_F(OptionsTest, PlusPutsTheNumberInFrontAndSelectsIt) {
    settings.rezistList.ListAppend(50);
    options.Create(false);
    options.Button1Click("150");
    EXPECT_EQ(options.ImpedanceList(), (std::vector<std::string>{"150", "50"}));
    EXPECT_EQ(settings.rezistList.Values(), (std::vector<float>{150, 50}));
    EXPECT_EQ(options.ImpedanceSelected(), 0);
    EXPECT_EQ(options.Edit3Text(), "150");
    EXPECT_EQ(settings.rLoad, 50); // the list only

    options.Button1Click("");   // nothing
    options.Button1Click("-5"); // an impedance the list could never apply
    EXPECT_EQ(settings.rezistList.Count(), 2);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Enter the valid number|"});

    options.Button2Click(); // removes the selected entry 0
    EXPECT_EQ(options.ImpedanceList(), std::vector<std::string>{"50"});
    EXPECT_EQ(options.Edit3Text(), "50");
}

TEST_F(OptionsTest, FamilyRowShowsItsStoredMode) {
    model.Record(WaveformRecord::Pulse).quality = QualityWholeMemory;
    model.Record(WaveformRecord::Saw).quality = QualityMaxPoints;
    options.ListBox1Click(1);
    EXPECT_EQ(options.CheckedRadio(), 2);
    options.ListBox1Click(4);
    EXPECT_EQ(options.CheckedRadio(), 1);
    options.ListBox1Click(-1); // empty selection: row 0
    EXPECT_EQ(options.FamilyRow(), 0);
    EXPECT_EQ(options.CheckedRadio(), 3);
}

TEST_F(OptionsTest, ModeOfTheCurrentFamilyBecomesCurrentAndRestarts) {
    options.Create(true);
    model.SelectType(signal_type::Sine);
    host.running = true;
    settings.autoStart = true;
    options.ListBox1Click(0);
    options.RadioButtonClick(0);
    EXPECT_EQ(settings.sinQuality, QualityNearest);
    EXPECT_EQ(model.Record(WaveformRecord::Sine).quality, QualityNearest);
    EXPECT_EQ(model.Params().quality, QualityNearest);
    EXPECT_EQ(host.Count("ScheduleRestart"), 1);

    options.RadioButtonClick(0); // no change of the current mode: no restart
    EXPECT_EQ(host.Count("ScheduleRestart"), 1);

    options.ListBox1Click(2); // meander: stored, not current
    options.RadioButtonClick(2);
    EXPECT_EQ(settings.meandrQuality, QualityWholeMemory);
    EXPECT_EQ(model.Params().quality, QualityNearest);
    EXPECT_EQ(host.Count("ScheduleRestart"), 1);
}

TEST_F(OptionsTest, SawRowGovernsTheFallingSawToo) {
    options.Create(true);
    model.SelectType(signal_type::FallingSaw);
    options.ListBox1Click(4);
    options.RadioButtonClick(1);
    EXPECT_EQ(settings.sawQuality, QualityMaxPoints);
    EXPECT_EQ(model.Params().quality, QualityMaxPoints);
}

TEST_F(OptionsTest, SynthesiserModeIsOffWithoutASynthesiser) {
    options.Create(false);
    EXPECT_FALSE(options.SynthesiserModeEnabled());
    options.RadioButtonClick(0);
    options.RadioButtonClick(3);
    EXPECT_EQ(settings.sinQuality, QualityNearest);
    EXPECT_EQ(options.CheckedRadio(), 0);
}

TEST_F(OptionsTest, ExternalStartAndItsEdge) {
    host.running = true;
    settings.autoStart = true;
    model.Params().recomputeNeeded = false;
    options.CheckBox3Click(true);
    EXPECT_EQ(settings.dacUseExt, 2);
    EXPECT_TRUE(options.ExternalStartChecked());
    EXPECT_TRUE(options.StartTypeEnabled());
    EXPECT_TRUE(model.Params().recomputeNeeded);
    options.ComboBox3Change(1);
    EXPECT_EQ(settings.dacStartMode, 4);
    options.ComboBox3Change(0);
    EXPECT_EQ(settings.dacStartMode, 0);
    options.CheckBox3Click(false);
    EXPECT_EQ(settings.dacUseExt, 0);
    EXPECT_FALSE(options.StartTypeEnabled());
    EXPECT_EQ(host.Count("ScheduleRestart"), 4);
}

TEST_F(OptionsTest, PutSettingsShowsTheExternalStart) {
    settings.dacUseExt = 2;
    settings.dacStartMode = 4;
    settings.rLoad = 75;
    options.PutSettings();
    EXPECT_TRUE(options.ExternalStartChecked());
    EXPECT_EQ(settings.dacUseExt, 2);
    EXPECT_TRUE(options.StartTypeEnabled());
    EXPECT_EQ(options.StartTypeRow(), 1);
    EXPECT_EQ(options.Edit3Text(), "75");
}

TEST_F(OptionsTest, DeviceChangeStopsTheOutputAndReloadsTheDriver) {
    host.running = true;
    options.CBDeviceSelectChange(1);
    EXPECT_EQ(settings.deviceName, "KORD77USB");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"StartButtonClick", "ReloadDriver"}));
    options.CBDeviceSelectChange(0);
    EXPECT_EQ(settings.deviceName, "KORD77PCI");
    EXPECT_EQ(options.DeviceRow(), 0);
    EXPECT_EQ(host.Count("StartButtonClick"), 1); // stopped already
    options.CBDeviceSelectChange(-1);
    EXPECT_EQ(host.Count("ReloadDriver"), 2);
}

TEST_F(OptionsTest, LanguageRowsSwitchEveryWindow) {
    options.ListBox2Click(1);
    EXPECT_TRUE(settings.english);
    EXPECT_EQ(settings.LanguageId(), 1033);
    EXPECT_EQ(options.LanguageRow(), 1);
    options.ListBox2Click(0);
    EXPECT_FALSE(settings.english);
    EXPECT_EQ(host.Count("ApplyLanguage"), 2);
    options.ListBox2Click(-1);
    EXPECT_EQ(host.Count("ApplyLanguage"), 2);
}

TEST_F(OptionsTest, InterfaceSwitchesFollowTheirBoxes) {
    options.CheckBox4Click(true);
    options.AutoStartBoxClick(true);
    options.AutoViewBoxClick(false);
    EXPECT_TRUE(settings.information);
    EXPECT_TRUE(settings.autoStart);
    EXPECT_FALSE(settings.autoView);
}

} // namespace
