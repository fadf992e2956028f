#include "app/params/entry_controller.h"

#include "app/params/format_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

bool IsDigitBox(int position) {
    return position >= 1 && position <= 5;
}
bool IsBox(int position) {
    return position >= 1 && position <= EntryController::kExponentBox;
}

// Exponent texts further out than this are read as the bound; the value is then
// limited by the kind's maximum or minimum anyway.
constexpr int kExponentTextBound = 99;

} // namespace

EntryController::EntryController(ParameterModel& model, EntryView& view)
    : model_(model), view_(view) {
    for (int i = 1; i <= kExponentBox; ++i) {
        boxes_[static_cast<std::size_t>(i)] = "0";
        previous_[static_cast<std::size_t>(i)] = "0";
    }
}

const std::string& EntryController::Box(int position) const {
    return boxes_[static_cast<std::size_t>(IsBox(position) ? position : 1)];
}

bool EntryController::IsBlockKind() const {
    return kind_ == kind::BlockStart || kind_ == kind::BlockSize;
}

int EntryController::ExponentShown(int e) const {
    const int lowest = IsBlockKind() ? 0 : entry_.MinExponent();
    return std::clamp(e, lowest, entry_.MaxExponent());
}

int EntryController::BoxExponent() const {
    const std::string& text = boxes_[kExponentBox];
    int e = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), e);
    if (result.ec == std::errc::result_out_of_range) {
        return text.starts_with('-') ? -kExponentTextBound : kExponentTextBound;
    }
    if (result.ec != std::errc{}) {
        return 0;
    }
    return std::clamp(e, -kExponentTextBound, kExponentTextBound);
}

int EntryController::DigitAt(int position) const {
    const std::string& text = boxes_[static_cast<std::size_t>(position)];
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
        return text[0] - '0';
    }
    return 0;
}

double EntryController::BoxValue() const {
    std::array<uint8_t, 5> digits{};
    for (int i = 1; i <= 5; ++i) {
        digits[static_cast<std::size_t>(i - 1)] = static_cast<uint8_t>(DigitAt(i));
    }
    return entry_.ReadValue(digits.data(), BoxExponent(), entry_.Negative());
}

// Every write of the program makes the box's text its own previous text, so that
// Backspace only ever brings back what a typed digit replaced.
void EntryController::SetBox(int position, const std::string& text) {
    const auto i = static_cast<std::size_t>(position);
    boxes_[i] = text;
    previous_[i] = text;
    view_.ShowBox(position, text);
}

void EntryController::SetDigit(int position, int digit) {
    SetBox(position, std::string(1, static_cast<char>('0' + digit)));
}

void EntryController::LoadAndShow(double v) {
    entry_.LoadValue(v);
    for (int i = 1; i <= 5; ++i) {
        SetDigit(i, entry_.Digit(i - 1));
    }
    SetBox(kExponentBox, std::to_string(ExponentShown(entry_.Exponent())));
    view_.ShowSign(entry_.Negative());
}

void EntryController::SetFocusTo(int position) {
    focus_ = position;
    view_.SetFocus(position);
}

void EntryController::ShowKind(ParameterKind k) {
    if (k < 0) {
        return;
    }
    LoadAndShow(model_.ValueOf(k));
}

// --- Acting on the boxes ---

void EntryController::ApplyEntry() {
    double v = BoxValue();
    if (underflow_) {
        underflow_ = false;
        v = minimum_ - 1;
    }
    if (v > maximum_) {
        view_.SetBarPosition(bar_.highest);
        LoadAndShow(maximum_);
    } else if (v < minimum_) {
        view_.SetBarPosition(bar_.lowest);
        LoadAndShow(minimum_);
    } else {
        view_.SetBarPosition(bar_.PositionOf(v));
    }
    CommitEntry();
}

void EntryController::CommitEntry() {
    if (underflow_) {
        for (int i = 1; i <= 5; ++i) {
            SetDigit(i, 0);
        }
        view_.SetBarPosition(bar_.lowest);
        underflow_ = false;
    }
    double v = BoxValue();
    if (v > maximum_) {
        v = maximum_;
        LoadAndShow(v);
    }
    if (v < minimum_) {
        v = minimum_;
        LoadAndShow(v);
    }
    if (kind_ >= 0) {
        model_.SetByKind(kind_, v);
    }
}

// --- Digit and exponent steps ---

bool EntryController::ZeroThrough(int position) const {
    for (int i = 1; i <= position; ++i) {
        if (DigitAt(i) != 0) {
            return false;
        }
    }
    return true;
}

// One digit up; a 10 becomes 0 and carries into the digit on the left, except at
// Num1, where it is lost.
void EntryController::Raise(int position) {
    int d = DigitAt(position) + 1;
    if (d > 9) {
        d = 0;
        if (position > 1) {
            Raise(position - 1);
        }
    }
    SetDigit(position, d);
}

// One digit down; a -1 becomes 9 and borrows from the digit on the left; a borrow
// out of Num1 sets the underflow flag (the value then goes to the minimum).
void EntryController::Lower(int position) {
    int d = DigitAt(position) - 1;
    if (d < 0) {
        d = 9;
        if (position > 1) {
            Lower(position - 1);
        } else {
            underflow_ = true;
        }
    }
    SetDigit(position, d);
}

void EntryController::StepDigitUp(int position) {
    if (!IsDigitBox(position)) {
        return;
    }
    if (entry_.Negative() && ZeroThrough(position)) {
        // A negative number whose digits up to here are zero crosses zero: it turns
        // positive and the digit goes up, the mirror of the down step. (Borrowing
        // would run out of Num1 and send the value to the minimum.)
        entry_.SetNegative(false);
        view_.ShowSign(false);
        Raise(position);
    } else if (entry_.Negative()) {
        Lower(position);
        if (ZeroThrough(position)) {
            entry_.SetNegative(false);
            view_.ShowSign(false);
        }
    } else {
        Raise(position);
    }
    ApplyEntry();
}

void EntryController::StepDigitDown(int position) {
    if (!IsDigitBox(position)) {
        return;
    }
    const bool crossesZero = ZeroThrough(position) && signed_;
    if (crossesZero) {
        entry_.SetNegative(true);
        view_.ShowSign(true);
    }
    if (entry_.Negative()) {
        Raise(position);
        if (crossesZero) {
            CommitEntry();
        }
    } else {
        Lower(position);
    }
    ApplyEntry();
}

void EntryController::StepExponent(int delta, bool bounded) {
    int e = BoxExponent() + delta;
    if (bounded) {
        e = std::clamp(e, entry_.MinExponent(), entry_.MaxExponent());
    }
    SetBox(kExponentBox, std::to_string(e));
    ApplyEntry();
}

// --- Keys ---

void EntryController::TypeDigit(int digit) {
    if (digit < 0 || digit > 9 || !IsBox(focus_)) {
        return;
    }
    const int position = focus_;
    const auto i = static_cast<std::size_t>(position);
    const std::string before = boxes_[i];
    boxes_[i] = std::to_string(digit);
    previous_[i] = before;
    view_.ShowBox(position, boxes_[i]);
    ApplyEntry();
    SetFocusTo(position == kExponentBox ? 1 : position + 1);
}

// Typing moves the focus one box right; Backspace goes back the same way and puts
// back the text that the digit typed there replaced.
void EntryController::Backspace() {
    const int position = focus_ <= 1 ? kExponentBox : focus_ - 1;
    const auto i = static_cast<std::size_t>(position);
    boxes_[i] = previous_[i];
    view_.ShowBox(position, boxes_[i]);
    SetFocusTo(position);
    ApplyEntry();
}

void EntryController::Clear() {
    for (int i = 1; i <= kExponentBox; ++i) {
        SetBox(i, "0");
    }
    entry_.SetNegative(false);
    view_.ShowSign(false);
    ApplyEntry();
    SetFocusTo(1);
}

void EntryController::Sign() {
    if (IsDigitBox(focus_)) {
        if (!signed_) {
            return;
        }
        entry_.SetNegative(!entry_.Negative());
        view_.ShowSign(entry_.Negative());
        ApplyEntry();
    } else if (focus_ == kExponentBox) {
        // Applied with the next change.
        SetBox(kExponentBox, std::to_string(-BoxExponent()));
    }
}

void EntryController::DecimalPoint() {
    // Block start and size are whole numbers: no point.
    if (wholeNumber_ || focus_ < 2 || focus_ > 5) {
        return;
    }
    entry_.SetPoint(6 - focus_);
    view_.ShowPoint(entry_.Point());
    CommitEntry();
}

void EntryController::UnitKey(int index) {
    if (index < 0 || index > 2) {
        return;
    }
    SetBox(kExponentBox, std::to_string(unitExponents_[static_cast<std::size_t>(index)]));
    ApplyEntry();
}

void EntryController::KeyboardCode(int code) {
    if (code >= 1 && code <= 9) {
        TypeDigit(code);
        return;
    }
    switch (code) {
    case 10:
        TypeDigit(0);
        break;
    case 11:
        Clear();
        break;
    case 12:
        Backspace();
        break;
    case 13:
        if (startStop) {
            startStop();
        }
        break;
    case 16:
        DecimalPoint();
        break;
    case 17:
        Sign();
        break;
    case 18:
        UnitKey(2);
        break;
    case 19:
        UnitKey(1);
        break;
    case 20:
        UnitKey(0);
        break;
    default: // 14, 15: the two disabled keys
        break;
    }
}

void EntryController::Enter(bool inEntryBox) {
    if (inEntryBox) {
        CommitEntry();
    }
    if (startStop) {
        startStop();
    }
}

void EntryController::FocusLeft() {
    SetFocusTo(focus_ <= 1 ? kExponentBox : focus_ - 1);
}

void EntryController::FocusRight() {
    SetFocusTo(focus_ >= kExponentBox ? 1 : focus_ + 1);
}

void EntryController::SetFocusPosition(int position) {
    if (IsBox(position)) {
        focus_ = position;
    }
}

void EntryController::ArrowUp() {
    Wheel(focus_, true);
}

void EntryController::ArrowDown() {
    Wheel(focus_, false);
}

void EntryController::Wheel(int position, bool forward) {
    if (position == kExponentBox) {
        StepExponent(forward ? 1 : -1, false);
    } else if (forward) {
        StepDigitUp(position);
    } else {
        StepDigitDown(position);
    }
}

void EntryController::WheelOverBar(bool forward) {
    Wheel(5, forward);
}

void EntryController::BarKey(bool right) {
    Wheel(5, right);
}

// --- Track bar ---

void EntryController::BarMoved(int position) {
    double v = bar_.ValueAt(position);
    if (v > maximum_) {
        v = maximum_;
    }
    if (v < minimum_) {
        v = minimum_;
    }
    if (IsBlockKind()) {
        v = std::ceil(v - 0.5); // nearer whole sample, halves down
    }
    LoadAndShow(v);
    CommitEntry();
}

void EntryController::BarPressed(int x, int width) {
    const int position = bar_.PressPosition(x, width);
    view_.SetBarPosition(position);
    BarMoved(position);
}

void EntryController::MinBarClick() {
    view_.SetBarPosition(bar_.lowest);
    BarMoved(bar_.lowest);
}

void EntryController::MaxBarClick() {
    view_.SetBarPosition(bar_.highest);
    BarMoved(bar_.highest);
}

// --- Choosing ---

void EntryController::EnterWholeNumberMode() {
    if (!wholeNumber_) {
        rememberedPoint_ = entry_.Point();
        wholeNumber_ = true;
    }
    entry_.SetPoint(0);
    view_.ShowPoint(0);
}

void EntryController::LeaveWholeNumberMode() {
    if (!wholeNumber_) {
        return;
    }
    wholeNumber_ = false;
    entry_.SetPoint(rememberedPoint_);
    view_.ShowPoint(entry_.Point());
}

void EntryController::SetUnitKeys(const std::array<std::string, 3>& captions,
                                  const std::array<int, 3>& exponents) {
    unitCaptions_ = captions;
    unitExponents_ = exponents;
    view_.ShowUnitKeys(captions);
}

void EntryController::SetBar(const BarMapping& bar) {
    bar_ = bar;
    view_.SetBarRange(bar_.lowest, bar_.highest);
}

std::string EntryController::LimitText(double v, const std::string& unit) {
    if (IsBlockKind()) {
        return std::to_string(static_cast<long long>(v));
    }
    return model_.Format(v, unit);
}

void EntryController::ChooseKind(ParameterKind k) {
    if (k > kind::BlockSize) {
        ChooseAdditional(k);
        return;
    }
    if (k < kind::Amplitude) {
        return;
    }
    // The period and the duration first take what was entered for the previous
    // kind, read with the point position it was entered with.
    if ((k == kind::Period || k == kind::Duration) && kind_ >= 0) {
        CommitEntry();
    }
    if (k == kind::BlockStart || k == kind::BlockSize) {
        EnterWholeNumberMode();
    } else {
        LeaveWholeNumberMode();
    }

    kind_ = k;
    signed_ = false;
    ShowKind(k);

    const SignalParameters& p = model_.Params();
    const LimitSet& limits = model_.Limits();
    const bool file = p.type == signal_type::File;
    const std::string milli = model_.Text(text_id::PrefixMilli);
    const std::string micro = model_.Text(text_id::PrefixMicro);
    std::string unit;
    double shownMinimum = 0;

    switch (k) {
    case kind::Amplitude:
        unit = model_.Text(text_id::Volt);
        SetUnitKeys({unit, milli + unit, micro + unit}, {0, -3, -6});
        minimum_ = 0;
        maximum_ = limits.amplitudeMax;
        shownMinimum = 0;
        SetBar(BarMapping::Log(minimum_, maximum_, false));
        break;
    case kind::Frequency:
        unit = model_.Text(text_id::Hertz);
        SetUnitKeys({unit, model_.Text(text_id::PrefixKilo) + unit,
                     model_.Text(text_id::PrefixMega) + unit},
                    {0, 3, 6});
        if (file) {
            minimum_ = model_.Board().minClock;
            maximum_ = model_.Board().maxClock;
        } else {
            minimum_ = limits.frequencyMin;
            maximum_ = limits.frequencyMax;
        }
        shownMinimum = minimum_;
        SetBar(BarMapping::Log(minimum_, maximum_, file));
        break;
    case kind::Period:
    case kind::Duration:
        unit = model_.Text(text_id::Second);
        SetUnitKeys({unit, milli + unit, micro + unit}, {0, -3, -6});
        minimum_ = k == kind::Period ? limits.periodMin : limits.durationMin;
        maximum_ = k == kind::Period ? limits.periodMax : limits.durationMax;
        shownMinimum = k == kind::Period ? minimum_ : 0;
        SetBar(BarMapping::Log(minimum_, maximum_, true));
        break;
    default: // block start, block size
        SetUnitKeys({"", "", ""}, {0, 0, 0});
        if (k == kind::BlockStart) {
            minimum_ = 0;
            maximum_ = p.fileLoaded ? std::max(0, p.lastSampleIndex - 1) : 0;
        } else {
            minimum_ = 2;
            maximum_ = p.fileLoaded ? static_cast<double>(p.lastSampleIndex) + 1 : 2;
        }
        shownMinimum = minimum_;
        SetBar(BarMapping::Block(maximum_, p.fileLoaded));
        break;
    }
    view_.ShowLimits(LimitText(shownMinimum, unit), LimitText(maximum_, unit));
    view_.ShowUnit(unit);
    if (k != kind::Duration) {
        view_.SetBarVisible(false);
    }
    ApplyEntry();
    SetFocusTo(1);
}

void EntryController::ChooseAdditional(ParameterKind k) {
    if (k < kind::Offset) {
        ChooseKind(k); // ignores a negative kind
        return;
    }
    LeaveWholeNumberMode();
    kind_ = k;

    AdditionalLimits limits;
    std::array<int8_t, 3> exponents{0, 0, 0};
    std::array<std::string, 3> names{};
    if (additional_ != nullptr) {
        additional_->GetLimits(model_.Params().type, k, limits);
        additional_->GetPrefixExponents(k, exponents);
        additional_->GetUnitNames(k, names);
    }
    signed_ = limits.isSigned;
    minimum_ = limits.minimum;
    maximum_ = limits.maximum;
    ShowKind(k);
    SetUnitKeys(names, {exponents[0], exponents[1], exponents[2]});

    const std::string unit = model_.Text(150 + limits.unitIndex);
    view_.ShowLimits(model_.Format(minimum_, unit), model_.Format(maximum_, unit));
    view_.ShowUnit(unit);
    SetBar(BarMapping::Additional(minimum_, maximum_));
    view_.SetBarVisible(true);
    ApplyEntry();
    view_.FocusBar();
}
