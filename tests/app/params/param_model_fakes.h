#pragma once
// Fakes shared by the parameter model and numeric entry tests: the English texts,
// the main window's labels and entry controls, the extended parameters window and a
// board driver that answers the sample-clock codes.

#include "app/board/iadc_device.h"
#include "app/params/entry_view.h"
#include "app/params/format_value.h"
#include "app/params/parameter_view.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

inline std::string EnglishText(int id) {
    static const std::map<int, std::string> texts = {
        {161, "n"}, {162, "µ"}, {163, "m"}, {164, "k"},  {165, "M"},
        {166, "G"}, {168, "V"}, {169, "s"}, {170, "Hz"},
    };
    const auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
}

class FakeParameterView final : public ParameterView {
public:
    void SetLabel(ParameterLabel label, const std::string& text) override {
        labels[label] = text;
        ++writes;
    }
    std::string Label(ParameterLabel label) const {
        const auto it = labels.find(label);
        return it == labels.end() ? std::string("<unset>") : it->second;
    }
    std::map<ParameterLabel, std::string> labels;
    int writes = 0;
};

// The extended parameters window with its one parameter, the offset (index 6).
class FakeAdditional final : public AdditionalParameters {
public:
    explicit FakeAdditional(double fullScale) : fullScale_(fullScale) {}

    bool GetLimits(int, int index, AdditionalLimits& limits) override {
        if (index != 6) {
            return false;
        }
        limits = {true, 2 * fullScale_, -2 * fullScale_, 18};
        return true;
    }
    bool GetPrefixExponents(int index, std::array<int8_t, 3>& exponents) override {
        if (index != 6) {
            return false;
        }
        exponents = {0, -3, -6};
        return true;
    }
    bool GetUnitNames(int index, std::array<std::string, 3>& names) override {
        if (index != 6) {
            return false;
        }
        names = {"V", "mV", "µV"};
        return true;
    }
    double GetEntered(int index) override { return index == 6 ? entered : 0; }
    bool SetEntered(int index, double value) override {
        ++setCalls;
        if (index != 6 || value == entered) {
            return false;
        }
        entered = value;
        return true;
    }
    void SetReal(int index, double value) override {
        if (index == 6) {
            real = value;
        }
    }
    void ShowReal(int index) override { shownReal.push_back(index); }

    double entered = 0;
    double real = 0;
    int setCalls = 0;
    std::vector<int> shownReal;

private:
    double fullScale_;
};

// A driver that answers the nearest-clock codes with set values and records every
// control call. A code without an answer fails.
class FakeClockDevice final : public IADCDevice {
public:
    int32_t Reserved0() override { return 0; }
    int32_t Release() override { return 0; }
    int32_t OpenBoard(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    int32_t Reserved3() override { return 0; }
    int32_t ApplySettings(int32_t, BoardSettings*, float*) override { return 1; }
    int32_t StartOutput() override { return 1; }
    int32_t StopOutput() override { return 1; }
    int32_t LoadSamples(int32_t, const int16_t*, int32_t, int32_t) override { return 1; }
    int32_t Reserved8() override { return 0; }
    int32_t Control(int32_t code, void* data) override {
        calls.push_back(code);
        const auto it = answers.find(code);
        if (it == answers.end()) {
            return 0;
        }
        *static_cast<double*>(data) = it->second;
        return 1;
    }

    std::map<int32_t, double> answers;
    std::vector<int32_t> calls;
};

// The main window's entry controls as the entry controller leaves them.
class FakeEntryView final : public EntryView {
public:
    void ShowBox(int position, const std::string& text) override {
        boxes[static_cast<std::size_t>(position)] = text;
    }
    void ShowSign(bool negative) override { minus = negative; }
    void ShowPoint(int r) override { point = r; }
    void SetFocus(int position) override { focus = position; }
    void FocusBar() override { barFocused = true; }
    void SetBarRange(int lowest, int highest) override {
        barLowest = lowest;
        barHighest = highest;
    }
    void SetBarPosition(int position) override { barPosition = position; }
    void SetBarVisible(bool visible) override { barVisible = visible; }
    void ShowLimits(const std::string& minimum, const std::string& maximum) override {
        minBar = minimum;
        maxBar = maximum;
    }
    void ShowUnit(const std::string& text) override { unit = text; }
    void ShowUnitKeys(const std::array<std::string, 3>& captions) override { unitKeys = captions; }

    // "123.45" style text of the five digit boxes with the point where it is shown.
    std::string Digits() const {
        std::string text;
        for (int i = 1; i <= 5; ++i) {
            if (point > 0 && i == 6 - point) {
                text += '.';
            }
            text += boxes[static_cast<std::size_t>(i)];
        }
        return text;
    }
    const std::string& Exponent() const { return boxes[6]; }

    std::array<std::string, 7> boxes{};
    bool minus = false;
    int point = 2;
    int focus = 0;
    bool barFocused = false;
    int barLowest = 0;
    int barHighest = 0;
    int barPosition = -1;
    bool barVisible = true;
    std::string minBar;
    std::string maxBar;
    std::string unit;
    std::array<std::string, 3> unitKeys{};
};
