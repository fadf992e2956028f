#include "app/params/options_logic.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

constexpr std::string_view kPciDriver = "KORD77PCI";
constexpr std::string_view kUsbDriver = "KORD77USB";

template <class T> std::string PlainDecimalOf(T value) {
    if (value == 0 || !std::isfinite(value)) {
        return "0";
    }
    // Shortest fixed notation that reads back to the same value; no exponent, which
    // the edits would not accept.
    char buffer[512];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return "0";
    }
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

} // namespace

int RadioOfMode(int mode) {
    for (std::size_t i = 0; i < kGenerationModes.size(); ++i) {
        if (kGenerationModes[i] == mode) {
            return static_cast<int>(i);
        }
    }
    return 3;
}

const std::array<GenerationFamily, 5>& GenerationFamilies() {
    static const std::array<GenerationFamily, 5> families{{
        {WaveformRecord::Sine, signal_type::Sine, &params::Settings::sinQuality},
        {WaveformRecord::Pulse, signal_type::Pulse, &params::Settings::impulseQuality},
        {WaveformRecord::Meander, signal_type::Meander, &params::Settings::meandrQuality},
        {WaveformRecord::Triangle, signal_type::Triangle, &params::Settings::triangleQuality},
        {WaveformRecord::Saw, signal_type::RisingSaw, &params::Settings::sawQuality},
    }};
    return families;
}

NumberText CheckNumberText(std::string_view text, bool allowMinus) {
    NumberText result;
    if (text.empty()) {
        return result;
    }
    std::string converted;
    converted.reserve(text.size());
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            converted += c;
        } else if (c == ',') {
            converted += '.';
        } else if (c == '-' && allowMinus) {
            converted += c;
        } else {
            result.check = NumberCheck::RejectedCharacter;
            return result;
        }
    }
    double value = 0;
    const char* end = converted.data() + converted.size();
    const auto parsed = std::from_chars(converted.data(), end, value, std::chars_format::fixed);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value)) {
        return result;
    }
    result.check = NumberCheck::Accepted;
    result.value = value;
    return result;
}

std::string PlainDecimal(double value) {
    return PlainDecimalOf(value);
}

std::string PlainDecimal(float value) {
    return PlainDecimalOf(value);
}

OptionsLogic::OptionsLogic(params::Settings& settings, ParameterModel& model, AuxiliaryHost& host,
                           params::Dialogs& dialogs, TextLookup texts)
    : settings_(settings), model_(model), host_(host), dialogs_(dialogs), texts_(std::move(texts)) {
}

std::vector<std::string> OptionsLogic::Texts(const int* ids, std::size_t count) const {
    std::vector<std::string> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        rows.push_back(Text(ids[i]));
    }
    return rows;
}

void OptionsLogic::Create(bool synthesiser) {
    edit1Text_ = PlainDecimal(settings_.minVolts);
    edit2Text_ = PlainDecimal(settings_.maxVolts);
    startTypeRow_ = 0;
    synthesiserEnabled_ = synthesiser;
    if (settings_.deviceName == kPciDriver) {
        deviceRow_ = 0;
    } else if (settings_.deviceName == kUsbDriver) {
        deviceRow_ = 1;
    } else {
        deviceRow_ = -1;
    }
    ListBox1Click(0);
    RefillImpedanceList();
    edit3Text_ = PlainDecimal(settings_.rLoad);
}

void OptionsLogic::PutSettings() {
    edit3Text_ = PlainDecimal(settings_.rLoad);
    edit1Text_ = PlainDecimal(settings_.minVolts);
    edit2Text_ = PlainDecimal(settings_.maxVolts);
    startTypeRow_ = settings_.dacStartMode == 4 ? 1 : 0;
}

void OptionsLogic::SetSynthesiser(bool present) {
    synthesiserEnabled_ = present;
    ListBox1Click(familyRow_);
}

void OptionsLogic::ListBox1Click(int row) {
    const int count = static_cast<int>(GenerationFamilies().size());
    familyRow_ = row >= 0 && row < count ? row : 0;
    const GenerationFamily& family = GenerationFamilies()[static_cast<std::size_t>(familyRow_)];
    checkedRadio_ = RadioOfMode(model_.Record(family.record).quality);
}

void OptionsLogic::RadioButtonClick(int button) {
    if (button < 0 || button >= static_cast<int>(kGenerationModes.size())) {
        return;
    }
    if (button == RadioOfMode(QualitySynthesiser) && !synthesiserEnabled_) {
        return; // disabled: the board has no synthesiser
    }
    const int mode = kGenerationModes[static_cast<std::size_t>(button)];
    checkedRadio_ = button;
    const GenerationFamily& family = GenerationFamilies()[static_cast<std::size_t>(familyRow_)];
    settings_.*family.quality = mode;
    model_.Record(family.record).quality = mode;

    // Both saws share one record, so the saw row governs the falling saw as well.
    SignalParameters& p = model_.Params();
    if (SignalTypeOf(p.type).record == family.record && p.quality != mode) {
        p.quality = mode;
        p.recomputeNeeded = true;
        RestartIfRunning();
    }
}

void OptionsLogic::ListBox2Click(int row) {
    if (row != 0 && row != 1) {
        return;
    }
    settings_.english = row == 1;
    host_.ApplyLanguage();
}

std::optional<double> OptionsLogic::ConfirmedNumber(std::string_view text, bool allowMinus) {
    const NumberText number = CheckNumberText(text, allowMinus);
    switch (number.check) {
    case NumberCheck::Accepted:
        return number.value;
    case NumberCheck::RejectedCharacter:
        dialogs_.Inform(Text(options_text::InvalidNumber), "", params::DialogIcon::None);
        return std::nullopt;
    case NumberCheck::NotANumber:
        break;
    }
    return std::nullopt;
}

bool OptionsLogic::Edit1KeyPress(int key, std::string_view text) {
    if (key != kEnterKey || text.empty()) {
        return false;
    }
    if (const auto value = ConfirmedNumber(text, true)) {
        settings_.minVolts = *value;
        edit1Text_ = std::string(text);
        ApplyVoltageLimits();
    }
    return true;
}

bool OptionsLogic::Edit2KeyPress(int key, std::string_view text) {
    if (key != kEnterKey || text.empty()) {
        return false;
    }
    if (const auto value = ConfirmedNumber(text, true)) {
        settings_.maxVolts = *value;
        edit2Text_ = std::string(text);
        ApplyVoltageLimits();
    }
    return true;
}

void OptionsLogic::ApplyVoltageLimits() {
    ModelSettings limits = model_.Settings();
    limits.minVolts = settings_.minVolts;
    limits.maxVolts = settings_.maxVolts;
    model_.SetSettings(limits);
    // The realised range against the new limits. The data file realises its entered
    // amplitude (no code is computed for it), so that is the value its range needs.
    const SignalParameters& p = model_.Params();
    model_.ShowOutputRange(p.type == signal_type::File ? p.amplitude : p.realisedAmplitude);
}

bool OptionsLogic::Edit3KeyDown(int key, std::string_view text) {
    if (key != kEnterKey) {
        return false;
    }
    if (const auto value = ConfirmedNumber(text, false)) {
        edit3Text_ = std::string(text);
        ApplyLoadImpedance(*value);
    }
    return true;
}

void OptionsLogic::Edit3Click(int index) {
    if (index < 0 || index >= static_cast<int>(impedanceList_.size())) {
        return;
    }
    impedanceSelected_ = index;
    edit3Text_ = impedanceList_[static_cast<std::size_t>(index)];
    Edit3KeyDown(kEnterKey, edit3Text_);
}

void OptionsLogic::ApplyLoadImpedance(double rLoad) {
    settings_.rLoad = rLoad;
    // fullScale = V0 x R / (R + 50), +-fullScale the voltage limits; amplitude and
    // offset brought within them.
    model_.ChangeLoadImpedance(rLoad);
    host_.ReselectParameter();
}

void OptionsLogic::Button1Click(std::string_view text) {
    if (text.empty()) {
        return;
    }
    // A negative impedance could never be chosen from the list (Edit3 refuses the
    // minus sign), so it is refused here as well.
    if (const auto value = ConfirmedNumber(text, false)) {
        settings_.rezistList.ListPushFront(static_cast<float>(*value));
        RefillImpedanceList();
        SelectFirstImpedance();
    }
}

void OptionsLogic::Button2Click() {
    if (impedanceSelected_ < 0) {
        return;
    }
    settings_.rezistList.ListRemoveAt(impedanceSelected_ + 1);
    RefillImpedanceList();
    SelectFirstImpedance();
}

void OptionsLogic::RefillImpedanceList() {
    impedanceList_.clear();
    float value = 0;
    for (int result = settings_.rezistList.ListFirst(value); result == 0;
         result = settings_.rezistList.ListNext(value)) {
        impedanceList_.push_back(PlainDecimal(value));
    }
    impedanceSelected_ = -1;
}

void OptionsLogic::SelectFirstImpedance() {
    // Selecting entry 0 of the drop-down list also puts it into the edit.
    if (!impedanceList_.empty()) {
        impedanceSelected_ = 0;
        edit3Text_ = impedanceList_.front();
    }
}

void OptionsLogic::CheckBox3Click(bool checked) {
    settings_.dacUseExt = checked ? 2 : 0;
    StartChanged();
}

void OptionsLogic::ComboBox3Change(int row) {
    if (row != 0 && row != 1) {
        return;
    }
    startTypeRow_ = row;
    settings_.dacStartMode = row == 1 ? 4 : 0;
    StartChanged();
}

void OptionsLogic::CBDeviceSelectChange(int row) {
    if (row != 0 && row != 1) {
        return;
    }
    deviceRow_ = row;
    settings_.deviceName = std::string(row == 0 ? kPciDriver : kUsbDriver);
    if (host_.OutputRunning()) {
        host_.StartButtonClick();
    }
    host_.ReloadDriver();
}

void OptionsLogic::StartChanged() {
    model_.Params().recomputeNeeded = true;
    RestartIfRunning();
}

void OptionsLogic::RestartIfRunning() {
    if (host_.OutputRunning() && settings_.autoStart) {
        host_.ScheduleRestart();
    }
}
