#pragma once
// What the parameter model and the numeric entry need from their surroundings:
// the main window's value labels and the extended parameters window, each behind a
// small interface that the windows implement and tests fake.

#include <array>
#include <cstdint>
#include <string>

// The entered (…Main) and realised (…Rez) value labels of the main window.
enum class ParameterLabel {
    AmpMain,
    AmpRez,
    FreqMain,
    FreqRez,
    PerMain,
    PerRez,
    DurMain,
    DurRez,
    StartBlockMain,
    SizeBlockMain,
};

class ParameterView {
public:
    virtual void SetLabel(ParameterLabel label, const std::string& text) = 0;

protected:
    ParameterView() = default;
    ParameterView(const ParameterView&) = default;
    ParameterView& operator=(const ParameterView&) = default;
    ~ParameterView() = default;
};

// Limits of an additional parameter as the extended parameters window gives them.
struct AdditionalLimits {
    bool isSigned = false; // the value may be negative
    double maximum = 0;
    double minimum = 0;
    int unitIndex = 0; // unit text number = 150 + unitIndex
};

// The extended parameters window as the provider of the additional parameters
// (kind 6 and above; only 6, the offset in volts, exists). Operations for an index
// it does not provide return false / 0 and leave their outputs untouched.
class AdditionalParameters {
public:
    virtual bool GetLimits(int signalType, int index, AdditionalLimits& limits) = 0;
    virtual bool GetPrefixExponents(int index, std::array<int8_t, 3>& exponents) = 0;
    virtual bool GetUnitNames(int index, std::array<std::string, 3>& names) = 0;
    virtual double GetEntered(int index) = 0;
    // Stores a value that differs from the entered one and shows it; true when it
    // changed.
    virtual bool SetEntered(int index, double value) = 0;
    virtual void SetReal(int index, double value) = 0;
    virtual void ShowReal(int index) = 0;

protected:
    AdditionalParameters() = default;
    AdditionalParameters(const AdditionalParameters&) = default;
    AdditionalParameters& operator=(const AdditionalParameters&) = default;
    ~AdditionalParameters() = default;
};
