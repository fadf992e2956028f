#pragma once
// ExtendedParameters: the extended parameters window without its widgets. It is the
// provider of the additional parameters for the parameter model and the numeric
// entry (only index 6, the base voltage or offset, in volts, exists), and it holds
// the polarity and the output filter switches.
//
// The window owns one, calls Create() once the settings are read and the main
// window's parameter model exists, forwards its button, list and key events and
// shows what ExtendedParametersView is told. The entered offset is the value the
// program uses; every change is written to the setting `Offset`. Polarity and
// filter are written to the settings (`Polarity`, `FilterActive`) and to the
// parameter model, which generation control reads.
//
// Main thread only.

#include "app/params/aux_host.h"
#include "app/params/parameter_model.h"
#include "app/params/parameter_view.h"
#include "app/params/settings.h"

#include <array>
#include <cstdint>
#include <string>

// What the window shows.
class ExtendedParametersView {
public:
    virtual void ShowEntered(const std::string& text) = 0;  // Enter0
    virtual void ShowRealised(const std::string& text) = 0; // Real0
    // The polarity button that is down: polarity::Positive (ButtonPlusPolar),
    // Negative (ButtonMinusPolar) or Bipolar (ButtonBePolar).
    virtual void ShowPolarity(int polarity) = 0;
    virtual void ShowFilter(bool down) = 0; // SpeedButton1
    // Label1 and the three polarity buttons.
    virtual void ShowPolarityControls(bool visible) = 0;

protected:
    ExtendedParametersView() = default;
    ExtendedParametersView(const ExtendedParametersView&) = default;
    ExtendedParametersView& operator=(const ExtendedParametersView&) = default;
    ~ExtendedParametersView() = default;
};

// Text numbers of the window (captions and hints).
namespace extended_text {
inline constexpr int Caption = 74;        // window: "Additional parameters"
inline constexpr int PolarityLabel = 76;  // Label1: "Signal polarity:"
inline constexpr int FilterLabel = 77;    // Label2: "Filter:"
inline constexpr int BaseVoltage = 75;    // ParamList's single row
inline constexpr int ParamListHint = 136; // ParamList
inline constexpr int EnteredHint = 137;   // Panel1
inline constexpr int RealisedHint = 138;  // Panel2
inline constexpr int NegativeHint = 139;  // ButtonMinusPolar
inline constexpr int BipolarHint = 140;   // ButtonBePolar
inline constexpr int PositiveHint = 141;  // ButtonPlusPolar
inline constexpr int FilterHint = 142;    // SpeedButton1
} // namespace extended_text

class ExtendedParameters final : public AdditionalParameters {
public:
    // The one additional parameter and the unit index of the volt (text 150 + 18).
    static constexpr int kOffsetIndex = kind::Offset;
    static constexpr int kVoltUnitIndex = 18;
    // Virtual key code of the numeric keypad's multiply key.
    static constexpr int kMultiplyKey = 106;

    ExtendedParameters(params::Settings& settings, ParameterModel& model, AuxiliaryHost& host,
                       ExtendedParametersView& view);

    // Creation: entered value 0, prefixes 0, -3, -6, SetEntered(6, Offset) (the
    // entered value is shown even when it stays 0); the polarity button of
    // `Polarity` clicked and down; the filter switched on again when `FilterActive`
    // is set; the polarity controls hidden when the main window's signal type is the
    // data file (7). Call once, after the settings are read.
    void Create();

    // --- The provider of the additional parameters (index 6 only). ---
    // Signed, +-2 x fullScale (the volts available at the load), unit index 18.
    // Without an opened board the current amplitude maximum stands for fullScale.
    bool GetLimits(int signalType, int index, AdditionalLimits& limits) override;
    bool GetPrefixExponents(int index, std::array<int8_t, 3>& exponents) override;
    // "В", "мВ", "мкВ" (the built-in Russian words, whatever the language).
    bool GetUnitNames(int index, std::array<std::string, 3>& names) override;
    double GetEntered(int index) override;
    // A finite value that differs from the entered one: stored, shown in Enter0,
    // written to `Offset`; true. Anything else changes nothing; false.
    bool SetEntered(int index, double value) override;
    void SetReal(int index, double value) override;
    void ShowReal(int index) override;

    // --- Events of the window. ---
    // ParamListClick: parameter 6 + the selected row becomes the entry's current
    // parameter; nothing without a selection.
    void SelectParameter();
    // The row after the selected one (wrapping; the first without a selection), then
    // SelectParameter.
    void SelectNextParameter();
    // The operator or the main window selected a row of ParamList (-1: none; a row
    // outside the list counts as none).
    void SetSelectedRow(int row);
    // SetTexts refills ParamList with its single row, which leaves no row selected.
    void RefillList() { selectedRow_ = -1; }
    // The main window shows or hides the polarity controls when the signal type
    // changes after start-up.
    void SetPolarityControlsVisible(bool visible);
    // FormKeyDown, ParamListKeyDown: the keypad's multiply key selects the next
    // parameter. True when the key was used.
    bool KeyDown(int virtualKey);

    void ButtonPlusPolarClick() { SetPolarity(polarity::Positive); }
    void ButtonMinusPolarClick() { SetPolarity(polarity::Negative); }
    void ButtonBePolarClick() { SetPolarity(polarity::Bipolar); }
    // Toggles FilterActive.
    void SpeedButton1Click();

    // --- State. ---
    double Entered() const { return entered_; }
    double Realised() const { return realised_; }
    const std::array<int8_t, 3>& PrefixExponents() const { return exponents_; }
    int Polarity() const { return settings_.polarity; }
    bool Filter() const { return settings_.filterActive; }
    bool PolarityControlsVisible() const { return polarityControlsVisible_; }
    int SelectedRow() const { return selectedRow_; }
    // Rows of ParamList: one, the base voltage.
    static constexpr int RowCount() { return 1; }

private:
    void SetPolarity(int polarity);
    void RestartIfRunning();
    std::string FormatVolts(double value);

    params::Settings& settings_;
    ParameterModel& model_;
    AuxiliaryHost& host_;
    ExtendedParametersView& view_;

    double entered_ = 0;
    double realised_ = 0;
    std::array<int8_t, 3> exponents_{0, -3, -6};
    bool polarityControlsVisible_ = true;
    int selectedRow_ = -1;
};
