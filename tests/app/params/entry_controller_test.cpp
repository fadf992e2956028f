// EntryController: choosing a kind, ApplyEntry/CommitEntry into the parameter model,
// digit and exponent steps, the keys, whole-number mode and the track bar.

#include "app/params/entry_controller.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

class EntryTest : public ::testing::Test {
protected:
    EntryTest() {
        model.SetAdditionalParameters(&offset);
        entry.SetAdditionalParameters(&offset);
        entry.startStop = [this] { ++startStops; };
        BoardValues board;
        board.maxVoltage = 10; // 5 V full scale
        board.gains = {1, 0.1, 0.01};
        board.memory = 1 << 20;
        model.OpenBoard(board, nullptr);
        model.SelectType(signal_type::Pulse);
    }

    // Stores `value` for kind k and makes k the entry's kind.
    void Choose(ParameterKind k, double value) {
        model.SetByKind(k, value);
        entry.ChooseKind(k);
    }

    void ChooseFileKind(ParameterKind k, int32_t lastSampleIndex = 99) {
        model.SelectType(signal_type::File);
        model.SetLoadedFile(true, lastSampleIndex);
        entry.ChooseKind(k);
    }

    FakeParameterView labels;
    FakeAdditional offset{5};
    ParameterModel model{labels, EnglishText};
    FakeEntryView view;
    EntryController entry{model, view};
    int startStops = 0;
};

struct KindCase {
    ParameterKind kind;
    const char* minBar;
    const char* maxBar;
    const char* unit;
    int barLowest;
    std::array<const char*, 3> keys;
    std::array<int, 3> exponents;
};

class ChooseKindTest : public EntryTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(ChooseKindTest, SetsLimitsUnitsAndBar) {
    const KindCase& c = GetParam();
    entry.ChooseKind(c.kind);
    EXPECT_EQ(entry.Kind(), c.kind);
    EXPECT_EQ(view.minBar, c.minBar);
    EXPECT_EQ(view.maxBar, c.maxBar);
    EXPECT_EQ(view.unit, c.unit);
    EXPECT_EQ(view.barLowest, c.barLowest);
    EXPECT_EQ(view.barHighest, 200);
    EXPECT_TRUE(entry.Bar().logScale);
    EXPECT_EQ(view.unitKeys, (std::array<std::string, 3>{c.keys[0], c.keys[1], c.keys[2]}));
    EXPECT_EQ(entry.UnitExponents(), c.exponents);
    EXPECT_EQ(view.focus, 1);
    EXPECT_FALSE(entry.SignedKind());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ChooseKindTest,
    ::testing::Values(
        KindCase{kind::Amplitude, "0.00000 V", "5.00000 V", "V", 0, {"V", "mV", "µV"}, {0, -3, -6}},
        KindCase{kind::Frequency,
                 "25.0000 mHz",
                 "10.0000 MHz",
                 "Hz",
                 0,
                 {"Hz", "kHz", "MHz"},
                 {0, 3, 6}},
        KindCase{kind::Period, "100.000 ns", "40.0000 s", "s", 0, {"s", "ms", "µs"}, {0, -3, -6}},
        KindCase{
            kind::Duration, "0.00000 s", "40.0000 s", "s", 0, {"s", "ms", "µs"}, {0, -3, -6}}));

TEST_F(EntryTest, TheFileTypesFrequencyPlaceIsTheSampleClock) {
    ChooseFileKind(kind::Frequency);
    EXPECT_EQ(view.minBar, "6.10351 kHz");
    EXPECT_EQ(view.maxBar, "100.000 MHz");
    EXPECT_EQ(entry.Minimum(), 6103.515625);
    EXPECT_EQ(entry.Maximum(), 1e8);
    entry.MaxBarClick();
    EXPECT_EQ(model.Params().sampleClock, 1e8);
    EXPECT_EQ(view.Digits(), "001.00");
    EXPECT_EQ(view.Exponent(), "8");
}

TEST_F(EntryTest, TheBarHidesExceptForTheDuration) {
    view.barVisible = true;
    entry.ChooseKind(kind::Duration);
    EXPECT_TRUE(view.barVisible);
    entry.ChooseKind(kind::Period);
    EXPECT_FALSE(view.barVisible);
    entry.ChooseAdditional(kind::Offset);
    EXPECT_TRUE(view.barVisible);
    entry.ChooseKind(kind::Duration);
    EXPECT_TRUE(view.barVisible); // left as it was
    entry.ChooseKind(kind::Amplitude);
    EXPECT_FALSE(view.barVisible);
}

struct ShowCase {
    ParameterKind kind;
    double value;
    const char* digits;
    const char* exponent;
};

class ShowKindTest : public EntryTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowKindTest, ShowsTheStoredValue) {
    Choose(GetParam().kind, GetParam().value);
    EXPECT_EQ(view.Digits(), GetParam().digits);
    EXPECT_EQ(view.Exponent(), GetParam().exponent);
    EXPECT_FALSE(view.minus);
}

INSTANTIATE_TEST_SUITE_P(Values, ShowKindTest,
                         ::testing::Values(ShowCase{kind::Amplitude, 0.5, "005.00", "-1"},
                                           ShowCase{kind::Frequency, 1e7, "001.00", "7"},
                                           ShowCase{kind::Frequency, 123.45, "123.45", "0"},
                                           ShowCase{kind::Period, 1e-7, "001.00", "-7"},
                                           ShowCase{kind::Duration, 0, "000.00", "0"}));

TEST_F(EntryTest, EscOnTheFrequencyGivesTheMinimum) {
    Choose(kind::Frequency, 300);
    entry.SetFocusPosition(4);
    entry.Clear();
    EXPECT_EQ(model.Params().frequency, 0.025);
    EXPECT_EQ(view.Digits(), "025.00");
    EXPECT_EQ(view.Exponent(), "-3");
    EXPECT_EQ(view.focus, 1);
    EXPECT_EQ(view.barPosition, 0);
}

TEST_F(EntryTest, UpOnNum1LosesTheCarry) {
    Choose(kind::Frequency, 999.99);
    entry.StepDigitUp(1);
    EXPECT_EQ(view.Digits(), "099.99");
    EXPECT_NEAR(model.Params().frequency, 99.99, 1e-9);
}

TEST_F(EntryTest, DigitStepsCarryAndBorrow) {
    Choose(kind::Frequency, 199.99);
    entry.StepDigitUp(5);
    EXPECT_EQ(view.Digits(), "200.00");
    EXPECT_NEAR(model.Params().frequency, 200, 1e-9);
    entry.StepDigitDown(5);
    EXPECT_EQ(view.Digits(), "199.99");
    EXPECT_NEAR(model.Params().frequency, 199.99, 1e-9);
    entry.StepDigitDown(1);
    EXPECT_EQ(view.Digits(), "099.99");
    EXPECT_NEAR(model.Params().frequency, 99.99, 1e-9);
}

TEST_F(EntryTest, DownOnNum5FromZeroGivesTheAmplitudeMinimum) {
    Choose(kind::Amplitude, 0.001); // "001.00" x 10^-3
    entry.StepDigitDown(3);
    EXPECT_EQ(view.Digits(), "000.00");
    EXPECT_EQ(model.Params().amplitude, 0);
    view.barPosition = -1;
    // "000.00": the borrow runs out of Num1; not 999.99 (which would be limited to
    // the 5 V maximum) but the minimum.
    entry.StepDigitDown(5);
    EXPECT_FALSE(entry.Underflow());
    EXPECT_EQ(view.Digits(), "000.00");
    EXPECT_EQ(view.Exponent(), "0");
    EXPECT_EQ(model.Params().amplitude, 0);
    EXPECT_EQ(view.barPosition, 0);
}

TEST_F(EntryTest, BorrowOutOfNum1GivesTheFrequencyMinimum) {
    Choose(kind::Frequency, 0.5); // "005.00" x 10^-1
    entry.StepDigitDown(1);
    EXPECT_EQ(model.Params().frequency, 0.025);
    EXPECT_EQ(view.Digits(), "025.00");
    EXPECT_EQ(view.Exponent(), "-3");
}

TEST_F(EntryTest, UnsignedKindsNeverTurnNegative) {
    Choose(kind::Frequency, 1);
    entry.SetFocusPosition(2);
    entry.Sign();
    EXPECT_FALSE(view.minus);
    EXPECT_EQ(model.Params().frequency, 1);
}

TEST_F(EntryTest, SignedStepsCrossZeroBothWays) {
    entry.ChooseAdditional(kind::Offset);
    EXPECT_TRUE(entry.SignedKind());
    EXPECT_EQ(view.Digits(), "000.00");
    entry.StepDigitDown(5);
    EXPECT_TRUE(view.minus);
    EXPECT_EQ(view.Digits(), "000.01");
    EXPECT_NEAR(offset.entered, -0.01, 1e-12);
    entry.StepDigitUp(5);
    EXPECT_FALSE(view.minus);
    EXPECT_EQ(offset.entered, 0);

    entry.StepDigitUp(3);
    for (int i = 0; i < 5; ++i) {
        entry.StepDigitUp(5);
    }
    EXPECT_EQ(view.Digits(), "001.05");
    EXPECT_NEAR(offset.entered, 1.05, 1e-12);
    entry.StepDigitDown(3);
    EXPECT_NEAR(offset.entered, 0.05, 1e-12);
    // Down with zeros up to the units digit: negative, one unit further out.
    entry.StepDigitDown(3);
    EXPECT_TRUE(view.minus);
    EXPECT_EQ(view.Digits(), "001.05");
    EXPECT_NEAR(offset.entered, -1.05, 1e-12);
    // Up: the units digit becomes 0 and the sign goes.
    entry.StepDigitUp(3);
    EXPECT_FALSE(view.minus);
    EXPECT_NEAR(offset.entered, 0.05, 1e-12);

    entry.StepDigitDown(3);
    entry.StepDigitUp(4); // -1.05 -> -0.95
    EXPECT_TRUE(view.minus);
    EXPECT_NEAR(offset.entered, -0.95, 1e-12);
    // A negative number with zeros up to the stepped digit turns positive, the
    // mirror of the down step, instead of borrowing out of Num1 (which would give
    // the minimum, -10 V).
    entry.StepDigitUp(3);
    EXPECT_FALSE(view.minus);
    EXPECT_EQ(view.Digits(), "001.95");
    EXPECT_NEAR(offset.entered, 1.95, 1e-12);
}

TEST_F(EntryTest, SignTogglesOnSignedKindsAndNegatesTheExponentBox) {
    offset.entered = 2;
    entry.ChooseAdditional(kind::Offset);
    entry.SetFocusPosition(3);
    entry.Sign();
    EXPECT_TRUE(view.minus);
    EXPECT_EQ(offset.entered, -2);
    EXPECT_EQ(entry.Focus(), 3);

    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.UnitKey(1); // -3: -2 mV
    EXPECT_NEAR(offset.entered, -0.002, 1e-15);
    entry.Sign();
    EXPECT_EQ(view.Exponent(), "3");
    EXPECT_NEAR(offset.entered, -0.002, 1e-15); // applied with the next change
    entry.StepDigitUp(5);                       // "001.99" x 10^3, negative: limited to the minimum
    EXPECT_EQ(offset.entered, -10);
}

TEST_F(EntryTest, MovingThePointChangesTheValue) {
    Choose(kind::Frequency, 123.45);
    entry.SetFocusPosition(5);
    entry.DecimalPoint();
    EXPECT_EQ(view.point, 1);
    EXPECT_EQ(view.Digits(), "1234.5");
    EXPECT_NEAR(model.Params().frequency, 1234.5, 1e-9);
    entry.SetFocusPosition(2);
    entry.DecimalPoint();
    EXPECT_EQ(view.point, 4);
    EXPECT_NEAR(model.Params().frequency, 1.2345, 1e-12);
    // Nothing on Num1 or the exponent box.
    entry.SetFocusPosition(1);
    entry.DecimalPoint();
    entry.SetFocusPosition(6);
    entry.DecimalPoint();
    EXPECT_EQ(view.point, 4);
}

TEST_F(EntryTest, TypingOnTheExponentSetsItAndWrapsTheFocus) {
    Choose(kind::Frequency, 1);
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.TypeDigit(7);
    EXPECT_EQ(view.Exponent(), "7");
    EXPECT_EQ(model.Params().frequency, 1e7);
    EXPECT_EQ(view.focus, 1);
}

TEST_F(EntryTest, TypingAValueAboveTheMaximumShowsTheMaximum) {
    Choose(kind::Amplitude, 1);
    entry.TypeDigit(9); // Num1: 901 V
    EXPECT_EQ(model.Params().amplitude, 5);
    EXPECT_EQ(view.Digits(), "005.00");
    EXPECT_EQ(view.barPosition, 200);
    EXPECT_EQ(view.focus, 2);
}

TEST_F(EntryTest, BackspaceUndoesTheLastTypedDigit) {
    Choose(kind::Frequency, 25);
    entry.TypeDigit(1); // "125.00"
    EXPECT_EQ(model.Params().frequency, 125);
    EXPECT_EQ(view.focus, 2);
    entry.Backspace();
    EXPECT_EQ(view.Digits(), "025.00");
    EXPECT_EQ(model.Params().frequency, 25);
    EXPECT_EQ(view.focus, 1);

    // Boxes that were not typed keep their digits.
    entry.SetFocusPosition(4);
    entry.Backspace();
    EXPECT_EQ(view.Digits(), "025.00");
    EXPECT_EQ(view.focus, 3);

    // A digit typed into the exponent box is undone from Num1, where typing left
    // the focus.
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.TypeDigit(2);
    EXPECT_EQ(model.Params().frequency, 2500);
    entry.Backspace();
    EXPECT_EQ(view.Exponent(), "0");
    EXPECT_EQ(model.Params().frequency, 25);
    EXPECT_EQ(view.focus, EntryController::kExponentBox);
}

TEST_F(EntryTest, ExponentArrowsGoPastTheBoundsAndImagesDoNot) {
    ChooseFileKind(kind::Frequency);
    entry.MaxBarClick(); // 1e8 = "001.00" x 10^8
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.ArrowUp(); // 10^9: above the maximum, which shows again
    EXPECT_EQ(model.Params().sampleClock, 1e8);
    EXPECT_EQ(view.Exponent(), "8");
    EXPECT_EQ(view.barPosition, 200);
    entry.StepExponent(+1, true);
    EXPECT_EQ(view.Exponent(), "8");
    EXPECT_EQ(model.Params().sampleClock, 1e8);
}

TEST_F(EntryTest, ExponentArrowsGoBelowTheLowestExponent) {
    Choose(kind::Duration, 1e-9); // "001.00" x 10^-9
    EXPECT_EQ(view.Exponent(), "-9");
    entry.StepExponent(-1, true); // the image stops at -9
    EXPECT_EQ(view.Exponent(), "-9");
    EXPECT_DOUBLE_EQ(model.Params().duration, 1e-9);
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.ArrowDown(); // the arrow does not
    EXPECT_EQ(view.Exponent(), "-10");
    EXPECT_DOUBLE_EQ(model.Params().duration, 1e-10);
    entry.Wheel(EntryController::kExponentBox, false);
    EXPECT_EQ(view.Exponent(), "-11");
}

TEST_F(EntryTest, UnitKeysSetTheirExponent) {
    Choose(kind::Frequency, 2);
    entry.KeyboardCode(18); // KeyM: MHz
    EXPECT_EQ(view.Exponent(), "6");
    EXPECT_EQ(model.Params().frequency, 2e6);
    entry.KeyboardCode(19); // KeyK: kHz
    EXPECT_EQ(model.Params().frequency, 2e3);
    entry.KeyboardCode(20); // KeyO: Hz
    EXPECT_EQ(model.Params().frequency, 2);
}

TEST_F(EntryTest, KeyboardCodesReachTheirOperations) {
    Choose(kind::Frequency, 25);
    entry.KeyboardCode(3); // digit 3 into Num1
    EXPECT_EQ(model.Params().frequency, 325);
    entry.KeyboardCode(10); // digit 0 into Num2
    EXPECT_EQ(model.Params().frequency, 305);
    entry.KeyboardCode(12); // Backspace: Num2 back to 2
    EXPECT_EQ(model.Params().frequency, 325);
    entry.SetFocusPosition(4);
    entry.KeyboardCode(16); // point at Num4: unchanged position r = 2
    EXPECT_EQ(view.point, 2);
    entry.KeyboardCode(14);
    entry.KeyboardCode(15);
    EXPECT_EQ(model.Params().frequency, 325);
    EXPECT_EQ(startStops, 0);
    entry.KeyboardCode(13);
    EXPECT_EQ(startStops, 1);
    entry.KeyboardCode(11); // clear
    EXPECT_EQ(model.Params().frequency, 0.025);
}

TEST_F(EntryTest, EnterCommitsInABoxAndStartsOrStops) {
    Choose(kind::Amplitude, 0.5);
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.Sign(); // "1": not applied yet
    entry.Enter(false);
    EXPECT_EQ(model.Params().amplitude, 0.5);
    EXPECT_EQ(startStops, 1);
    entry.Enter(true);
    EXPECT_EQ(model.Params().amplitude, 5); // 50 V, limited
    EXPECT_EQ(startStops, 2);
}

TEST_F(EntryTest, PeriodAndDurationCommitThePendingEntryFirst) {
    Choose(kind::Amplitude, 0.5);
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.Sign(); // pending: "005.00" x 10^1
    entry.ChooseKind(kind::Frequency);
    EXPECT_EQ(model.Params().amplitude, 0.5);

    Choose(kind::Amplitude, 0.5);
    entry.SetFocusPosition(EntryController::kExponentBox);
    entry.Sign();
    entry.ChooseKind(kind::Duration);
    EXPECT_EQ(model.Params().amplitude, 5);
}

TEST_F(EntryTest, WholeNumberModeForTheBlockKinds) {
    Choose(kind::Frequency, 123.45);
    entry.SetFocusPosition(5);
    entry.DecimalPoint(); // r = 1
    ChooseFileKind(kind::BlockStart);
    EXPECT_TRUE(entry.WholeNumberMode());
    EXPECT_EQ(view.point, 0);
    EXPECT_EQ(view.Digits(), "00000");
    EXPECT_EQ(view.minBar, "0");
    EXPECT_EQ(view.maxBar, "98");
    EXPECT_EQ(view.unit, "");
    EXPECT_EQ(view.unitKeys, (std::array<std::string, 3>{"", "", ""}));
    EXPECT_EQ(entry.UnitExponents(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_FALSE(entry.Bar().logScale);
    EXPECT_EQ(view.barHighest, BarMapping::kLinearTop);

    entry.ChooseKind(kind::BlockSize);
    EXPECT_EQ(view.minBar, "2");
    EXPECT_EQ(view.maxBar, "100");
    EXPECT_EQ(view.Digits(), "00002");
    EXPECT_EQ(view.Exponent(), "0");
    entry.SetFocusPosition(4);
    entry.DecimalPoint(); // whole numbers: no point
    EXPECT_EQ(view.point, 0);
    entry.SetFocusPosition(4);
    entry.TypeDigit(3); // "00032"
    EXPECT_EQ(model.Params().blockSize, 32);

    entry.ChooseKind(kind::Amplitude); // the point before the block kinds returns
    EXPECT_FALSE(entry.WholeNumberMode());
    EXPECT_EQ(view.point, 1);
}

TEST_F(EntryTest, BlockKindsWithoutAFile) {
    model.SelectType(signal_type::File);
    entry.ChooseKind(kind::BlockSize);
    EXPECT_EQ(entry.Minimum(), 2);
    EXPECT_EQ(entry.Maximum(), 2);
    EXPECT_EQ(static_cast<double>(entry.Bar().step), 1.0);
    entry.ChooseKind(kind::BlockStart);
    EXPECT_EQ(entry.Maximum(), 0);
}

TEST_F(EntryTest, BarPositionsGiveValues) {
    Choose(kind::Frequency, 100);
    entry.MinBarClick();
    EXPECT_EQ(model.Params().frequency, 0.025);
    EXPECT_EQ(view.barPosition, 0);
    entry.MaxBarClick();
    EXPECT_EQ(model.Params().frequency, 1e7);
    EXPECT_EQ(view.barPosition, 200);
    entry.BarPressed(112, 224); // position 100
    EXPECT_EQ(view.barPosition, 100);
    const double expected = 1e7 / 368.3558 * (std::pow(1.03, 100) - 1);
    EXPECT_NEAR(model.Params().frequency, expected, expected * 1e-4);
    // What is committed is what the digits show.
    EXPECT_EQ(model.Params().frequency, entry.BoxValue());
}

TEST_F(EntryTest, BlockBarRoundsToWholeSamplesHalvesDown) {
    ChooseFileKind(kind::BlockStart, 2147483646 / 2 + 1); // maximum 1073741823
    // One position is 0.5 of a sample.
    entry.BarMoved(3);
    EXPECT_EQ(model.Params().blockStart, 1); // 1.5 -> 1
    entry.BarMoved(5);
    EXPECT_EQ(model.Params().blockStart, 2); // 2.5 -> 2
    entry.BarMoved(6);
    EXPECT_EQ(model.Params().blockStart, 3);
}

TEST_F(EntryTest, AdditionalParameterUsesTheExtendedWindowsLimits) {
    offset.entered = -2.5;
    entry.ChooseAdditional(kind::Offset);
    EXPECT_EQ(entry.Kind(), kind::Offset);
    EXPECT_EQ(view.minBar, "-10.000 V");
    EXPECT_EQ(view.maxBar, "10.0000 V");
    EXPECT_EQ(view.unit, "V");
    EXPECT_EQ(view.unitKeys, (std::array<std::string, 3>{"V", "mV", "µV"}));
    EXPECT_EQ(entry.UnitExponents(), (std::array<int, 3>{0, -3, -6}));
    EXPECT_TRUE(view.minus);
    EXPECT_EQ(view.Digits(), "025.00");
    EXPECT_EQ(view.Exponent(), "-1");
    EXPECT_TRUE(view.barFocused);
    EXPECT_EQ(entry.Bar().base, -10);
    EXPECT_EQ(view.barLowest, 0);
    EXPECT_EQ(view.barHighest, BarMapping::kLinearTop);
    EXPECT_EQ(view.barPosition, entry.Bar().PositionOf(-2.5));
    entry.MinBarClick();
    EXPECT_EQ(offset.entered, -10);
    entry.MaxBarClick();
    EXPECT_NEAR(offset.entered, 10, 1e-6);
}

TEST_F(EntryTest, WheelAndBarKeysStepTheLastDigit) {
    Choose(kind::Frequency, 123.45);
    entry.WheelOverBar(true);
    EXPECT_NEAR(model.Params().frequency, 123.46, 1e-9);
    entry.BarKey(false);
    EXPECT_NEAR(model.Params().frequency, 123.45, 1e-9);
    entry.Wheel(3, true);
    EXPECT_NEAR(model.Params().frequency, 124.45, 1e-9);
    entry.SetFocusPosition(2);
    entry.ArrowUp();
    EXPECT_NEAR(model.Params().frequency, 134.45, 1e-9);
    entry.ArrowDown();
    EXPECT_NEAR(model.Params().frequency, 124.45, 1e-9);
    entry.Wheel(2, false);
    EXPECT_NEAR(model.Params().frequency, 114.45, 1e-9);
}

TEST_F(EntryTest, FocusMovesCyclically) {
    entry.ChooseKind(kind::Frequency);
    entry.FocusLeft();
    EXPECT_EQ(view.focus, EntryController::kExponentBox);
    entry.FocusRight();
    EXPECT_EQ(view.focus, 1);
    entry.FocusRight();
    EXPECT_EQ(view.focus, 2);
}

} // namespace
