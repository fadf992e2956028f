#include "app/params/extended_parameters.h"

#include "resources/strings/russian_words.h"

#include <cmath>

namespace {

// Built-in words: the volt and the prefixes milli and micro.
constexpr int kWordVolt = 18;
constexpr int kWordMilli = 13;
constexpr int kWordMicro = 12;

bool IsOffset(int index) {
    return index == ExtendedParameters::kOffsetIndex;
}

} // namespace

ExtendedParameters::ExtendedParameters(params::Settings& settings, ParameterModel& model,
                                       AuxiliaryHost& host, ExtendedParametersView& view)
    : settings_(settings), model_(model), host_(host), view_(view) {}

void ExtendedParameters::Create() {
    RefillList();
    entered_ = 0;
    exponents_ = {0, -3, -6};
    // An Offset of 0 leaves the entered value unchanged; Enter0 must not stay blank.
    if (!SetEntered(kOffsetIndex, settings_.offset)) {
        view_.ShowEntered(FormatVolts(entered_));
    }

    switch (settings_.polarity) {
    case polarity::Positive:
        ButtonPlusPolarClick();
        break;
    case polarity::Negative:
        ButtonMinusPolarClick();
        break;
    default:
        ButtonBePolarClick();
        break;
    }

    if (settings_.filterActive) {
        settings_.filterActive = false;
        SpeedButton1Click();
    } else {
        view_.ShowFilter(false);
    }

    SetPolarityControlsVisible(model_.Params().type != signal_type::File);
}

bool ExtendedParameters::GetLimits(int /*signalType*/, int index, AdditionalLimits& limits) {
    if (!IsOffset(index)) {
        return false;
    }
    const double fullScale = model_.HasBoard() ? model_.FullScale() : model_.Limits().amplitudeMax;
    limits.isSigned = true;
    limits.maximum = 2 * fullScale;
    limits.minimum = -limits.maximum;
    limits.unitIndex = kVoltUnitIndex;
    return true;
}

bool ExtendedParameters::GetPrefixExponents(int index, std::array<int8_t, 3>& exponents) {
    if (!IsOffset(index)) {
        return false;
    }
    exponents = exponents_;
    return true;
}

bool ExtendedParameters::GetUnitNames(int index, std::array<std::string, 3>& names) {
    if (!IsOffset(index)) {
        return false;
    }
    const std::string volt = RussianWord(kWordVolt);
    names = {volt, RussianWord(kWordMilli) + volt, RussianWord(kWordMicro) + volt};
    return true;
}

double ExtendedParameters::GetEntered(int index) {
    return IsOffset(index) ? entered_ : 0;
}

bool ExtendedParameters::SetEntered(int index, double value) {
    // A value that is not a number must never reach the board nor the settings file.
    if (!IsOffset(index) || !std::isfinite(value) || value == entered_) {
        return false;
    }
    entered_ = value;
    view_.ShowEntered(FormatVolts(value));
    settings_.offset = value;
    return true;
}

void ExtendedParameters::SetReal(int index, double value) {
    if (IsOffset(index)) {
        realised_ = value;
    }
}

void ExtendedParameters::ShowReal(int index) {
    if (IsOffset(index)) {
        view_.ShowRealised(FormatVolts(realised_));
    }
}

void ExtendedParameters::SelectParameter() {
    if (selectedRow_ < 0) {
        return;
    }
    host_.SelectParameter(kind::Offset + selectedRow_);
}

void ExtendedParameters::SelectNextParameter() {
    selectedRow_ = selectedRow_ < 0 ? 0 : (selectedRow_ + 1) % RowCount();
    SelectParameter();
}

void ExtendedParameters::SetSelectedRow(int row) {
    selectedRow_ = row >= 0 && row < RowCount() ? row : -1;
}

bool ExtendedParameters::KeyDown(int virtualKey) {
    if (virtualKey != kMultiplyKey) {
        return false;
    }
    SelectNextParameter();
    return true;
}

void ExtendedParameters::SpeedButton1Click() {
    settings_.filterActive = !settings_.filterActive;
    model_.Params().filter = settings_.filterActive;
    view_.ShowFilter(settings_.filterActive);
    RestartIfRunning();
}

void ExtendedParameters::SetPolarityControlsVisible(bool visible) {
    polarityControlsVisible_ = visible;
    view_.ShowPolarityControls(visible);
}

void ExtendedParameters::SetPolarity(int polarity) {
    settings_.polarity = polarity;
    view_.ShowPolarity(polarity);
    // The model stores it and re-applies the current amplitude (SetFileAmplitude(-1)
    // for the data file, else SetAmplitude(-1)), so that the realised values follow.
    model_.SetPolarity(polarity);
    RestartIfRunning();
}

void ExtendedParameters::RestartIfRunning() {
    if (host_.OutputRunning() && settings_.autoStart) {
        host_.ScheduleRestart();
    }
}

std::string ExtendedParameters::FormatVolts(double value) {
    return model_.Format(value, RussianWord(kWordVolt));
}
