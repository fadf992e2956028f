#pragma once
// OptionsLogic: the options window's controls that write the settings, without
// widgets: the generation mode of each waveform family, the external start, the
// device type, the language, the interface switches, the voltage limits and the
// load impedance with its list. (The board list, the board information and the
// library list are the board's: app/board/board_selection.h.)
//
// The window owns one, forwards its events (with the text of an edit where the
// event needs it) and shows the state below; a message box goes through Dialogs.
// Settings are written at once; what the output depends on is also written to the
// parameter model, and the main window is asked to restart, stop or reload through
// AuxiliaryHost.
//
// Number edits (Edit1 MinVolts, Edit2 MaxVolts, Edit3 RLoad): a confirmed text is
// checked character by character; digits and the decimal comma "," are accepted,
// and in Edit1 and Edit2 the minus sign "-" too. Any other character (the full stop
// included) shows message 17 "Enter the valid number" and changes nothing; a text
// of accepted characters that is no number ("1,2,3", "-") changes nothing either.
// The comma is the decimal separator whatever the process locale.
//
// Main thread only.

#include "app/params/aux_host.h"
#include "app/params/dialogs.h"
#include "app/params/format_value.h"
#include "app/params/parameter_model.h"
#include "app/params/settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text numbers of the options window.
namespace options_text {
inline constexpr int Caption = 27; // "Settings"
inline constexpr int Error = 7;
inline constexpr int InvalidNumber = 17; // "Enter the valid number"
// Tabs in page order: "Signals", "Interface", "Output parameters", "About", "Board
// settings", "Information".
inline constexpr std::array<int, 6> Tabs{35, 38, 36, 41, 37, 216};
inline constexpr int SignalTypeLabel = 81;
inline constexpr int GenerationModeGroup = 59;
inline constexpr std::array<int, 5> Families{54, 55, 56, 57, 58}; // ListBox1 rows
inline constexpr std::array<int, 4> ModeCaptions{60, 61, 62, 63}; // RadioButton1-4
inline constexpr std::array<int, 4> ModeHints{127, 128, 129, 130};
inline constexpr int LanguagesLabel = 64;
inline constexpr int InterfaceGroup = 65;
inline constexpr int Information = 66;
inline constexpr int AutoStart = 67;
inline constexpr int AutoView = 68;
inline constexpr int InformationHint = 131;
inline constexpr int AutoStartHint = 132;
inline constexpr int AutoViewHint = 133;
inline constexpr int VoltageGroup = 69;
inline constexpr int MinimumLabel = 70;
inline constexpr int MaximumLabel = 71;
inline constexpr int MinimumHint = 134;
inline constexpr int MaximumHint = 135;
inline constexpr int ImpedanceGroup = 72;
inline constexpr int Maker = 217;
inline constexpr int GeneratorVersion = 42; // "Generator ver. " + version text
inline constexpr int ExternalStartGroup = 48;
inline constexpr int UseExternalStart = 49;
inline constexpr int UseExternalStartHint = 125;
inline constexpr int StartTypeHint = 126;
inline constexpr std::array<int, 2> StartTypes{220, 219}; // falling, rising edge
inline constexpr int BaseAddressGroup = 47;
inline constexpr int BaseNumberHint = 124;
inline constexpr int DeviceGroup = 222;
inline constexpr std::array<int, 2> Devices{223, 224}; // PCI, USB
inline constexpr int SerialNumber = 50;
inline constexpr int FirmwareVersion = 51;
inline constexpr int DriverVersion = 52;
inline constexpr int NotAvailable = 53;
inline constexpr int LoadedLibraries = 225;
} // namespace options_text

// ListBox2's rows, untranslated.
inline constexpr std::array<std::string_view, 2> kLanguageRows{"Русский", "English"};

// Generation modes in the order of RadioButton1 .. RadioButton4.
inline constexpr std::array<int, 4> kGenerationModes{QualityNearest, QualityMaxPoints,
                                                     QualityWholeMemory, QualitySynthesiser};
// The radio button (0-3) of a mode; 3 (the synthesiser) for a value that is no mode.
int RadioOfMode(int mode);

// A waveform family of ListBox1: its record and the signal type the row governs.
struct GenerationFamily {
    WaveformRecord record;
    int signalType;
    int params::Settings::*quality; // SinQuality, ImpulseQuality, ...
};
const std::array<GenerationFamily, 5>& GenerationFamilies();

// The result of checking a confirmed number text.
enum class NumberCheck {
    Accepted,
    RejectedCharacter, // message 17
    NotANumber,        // accepted characters, but no number: nothing happens
};
struct NumberText {
    NumberCheck check = NumberCheck::NotANumber;
    double value = 0;
};
// Checks `text` (digits, ",", and "-" when `allowMinus`) and converts it with the
// comma as the decimal separator. An empty text is NotANumber.
NumberText CheckNumberText(std::string_view text, bool allowMinus);
// A number as the edits show it: plain decimal, the comma as separator, as few
// digits as read back to the same value ("-2,5", "75", "-10").
std::string PlainDecimal(double value);
std::string PlainDecimal(float value);

class OptionsLogic {
public:
    static constexpr int kEnterKey = 13;

    OptionsLogic(params::Settings& settings, ParameterModel& model, AuxiliaryHost& host,
                 params::Dialogs& dialogs, TextLookup texts);

    // Creation (the parts that are settings): Edit1 and Edit2 from MinVolts and
    // MaxVolts; the first external-start row; RadioButton4 enabled only when the
    // board has a synthesiser; the device row of DeviceName; the first family
    // selected (ListBox1Click); Edit3's list from the load-impedance list and its
    // text from RLoad.
    void Create(bool synthesiser);
    // FillBoardSettings, steps 3-4: RLoad, MinVolts, MaxVolts into Edit3, Edit1,
    // Edit2; CheckBox3 and ComboBox3 from DACUseExt and DACStartMode.
    void PutSettings();
    // The board's synthesiser became known again (after a driver reload):
    // RadioButton4 enabled only with one, and the chosen family's radio button shown
    // again (a board without one has its synthesiser modes dropped).
    void SetSynthesiser(bool present);

    // --- Signals tab. ---
    // ListBox1Click: remembers the row (-1: row 0) and checks the radio button of
    // the family's stored mode.
    void ListBox1Click(int row);
    // RadioButton1Click .. RadioButton4Click (button 0-3): the family takes the
    // mode; when the family governs the current signal type and its current mode
    // differs, the mode becomes current and a running output restarts (AutoStart).
    void RadioButtonClick(int button);

    // --- Interface tab. ---
    void ListBox2Click(int row); // 0 Russian, 1 English
    void CheckBox4Click(bool checked) { settings_.information = checked; }
    void AutoStartBoxClick(bool checked) { settings_.autoStart = checked; }
    void AutoViewBoxClick(bool checked) { settings_.autoView = checked; }

    // --- Output parameters tab. ---
    // Act on Enter (key 13) with a text that is not empty; true when the key acted.
    bool Edit1KeyPress(int key, std::string_view text);
    bool Edit2KeyPress(int key, std::string_view text);
    // Enter in Edit3: RLoad, fullScale and the voltage limits of the model, then the
    // entry chooses its parameter again.
    bool Edit3KeyDown(int key, std::string_view text);
    // A list entry chosen in Edit3 (index into ImpedanceList()) acts as Enter.
    void Edit3Click(int index);
    // "+": puts Edit3's number at the front of the list, refills it, selects entry 0.
    void Button1Click(std::string_view text);
    // The hidden button: removes the selected list entry, refills, selects entry 0.
    void Button2Click();

    // --- Board settings tab (the settings part). ---
    void CheckBox3Click(bool checked); // DACUseExt 2 or 0
    void ComboBox3Change(int row);     // DACStartMode 0 (row 0) or 4 (row 1)
    // Device type: row 0 PCI, row 1 USB; a running output is stopped and the driver
    // reloaded.
    void CBDeviceSelectChange(int row);

    // --- State the window shows. ---
    int FamilyRow() const { return familyRow_; }
    int CheckedRadio() const { return checkedRadio_; }
    bool SynthesiserModeEnabled() const { return synthesiserEnabled_; }
    int LanguageRow() const { return settings_.english ? 1 : 0; }
    const std::string& Edit1Text() const { return edit1Text_; }
    const std::string& Edit2Text() const { return edit2Text_; }
    const std::string& Edit3Text() const { return edit3Text_; }
    const std::vector<std::string>& ImpedanceList() const { return impedanceList_; }
    int ImpedanceSelected() const { return impedanceSelected_; }
    bool ExternalStartChecked() const { return settings_.dacUseExt == 2; }
    bool StartTypeEnabled() const { return settings_.dacUseExt == 2; }
    int StartTypeRow() const { return startTypeRow_; }
    int DeviceRow() const { return deviceRow_; }

    std::string Text(int id) const { return texts_ ? texts_(id) : std::string(); }
    // The rows of the lists in the current language.
    std::vector<std::string> Texts(const int* ids, std::size_t count) const;
    template <std::size_t N> std::vector<std::string> Texts(const std::array<int, N>& ids) const {
        return Texts(ids.data(), N);
    }

private:
    std::optional<double> ConfirmedNumber(std::string_view text, bool allowMinus);
    void ApplyVoltageLimits();
    void ApplyLoadImpedance(double rLoad);
    void RefillImpedanceList();
    void SelectFirstImpedance();
    void StartChanged();
    void RestartIfRunning();

    params::Settings& settings_;
    ParameterModel& model_;
    AuxiliaryHost& host_;
    params::Dialogs& dialogs_;
    TextLookup texts_;

    int familyRow_ = 0;
    int checkedRadio_ = 3;
    bool synthesiserEnabled_ = true;
    std::string edit1Text_;
    std::string edit2Text_;
    std::string edit3Text_;
    std::vector<std::string> impedanceList_;
    int impedanceSelected_ = -1;
    int startTypeRow_ = 0;
    int deviceRow_ = -1;
};
