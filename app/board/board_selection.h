#pragma once
// BoardSelection: the board side of the options window, without widgets. The list
// of boards found (ComboBox4) and the choice of one, the probing of the boards with
// a second driver object (UpdateButton, USB), the board information labels
// (serial number, firmware, driver version), the list of loaded libraries (Memo1),
// and FillBoardSettings, which the main window runs after a driver reload.
//
// The second driver object is created through the component registry for the
// driver named by `DeviceName` while the driver asks for the board state to be
// polled (Control 0x7A5A0040); it is only asked OpenBoard, to see which boards
// answer.
//
// The board list holds the ids of the boards that answered the discovery (for PCI
// and USB these are the first ids of the driver's list; an ISA board may answer at
// any of its base addresses). ISA entries read "0x300", the others "0", "1", ...
//
// Main thread only.

#include "app/board/board_information.h"
#include "app/board/board_session.h"
#include "app/board/device_kind.h"
#include "app/board/iadc_device.h"
#include "app/params/dialogs.h"
#include "app/params/error_report.h"
#include "app/params/options_logic.h"
#include "app/params/parameter_model.h"
#include "app/params/settings.h"
#include "component/component_loader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace board {

// What the board selection asks of the main window.
class BoardSelectionHost {
public:
    // The output runs (generation control's running state).
    virtual bool OutputRunning() const = 0;
    // The Start/Stop action (StartButtonClick): stops a running output.
    virtual void StartButtonClick() = 0;
    // The tuner's factory Create("SETUP", driver); nothing without the tuner.
    virtual void SetupTuner(IADCDevice* driver) = 0;
    // Ends the application (the second driver object could not be created).
    virtual void EndApplication() = 0;

protected:
    BoardSelectionHost() = default;
    BoardSelectionHost(const BoardSelectionHost&) = default;
    BoardSelectionHost& operator=(const BoardSelectionHost&) = default;
    ~BoardSelectionHost() = default;
};

// Where the failure to create the second driver object is reported.
inline constexpr int kProbeDriverLine = 79;
inline constexpr int kProbeDriverCode = -8;
inline constexpr const char* kOptionsWindowSource = "OptionsWindow";

// A board id as ComboBox4 lists it: "0x" and at least three upper-case hexadecimal
// digits for ISA ("0x300"), else decimal.
std::string BoardIdText(DeviceKind kind, int32_t id);
// The firmware value of Control 0x7A5A00A0 in hexadecimal with at least two digits;
// the first and the second digit each as a decimal number, joined by "."
// (0x12 -> "1.2", 0x1A -> "1.10"). Empty for a value of 0 or less.
std::string FirmwareText(int32_t value);
// "name(a.b.c.d)" with the four numbers in the order of their codes; empty when
// all four are 0 (the module is absent).
std::string LibraryLine(const ModuleVersion& module);

class BoardSelection {
public:
    BoardSelection(params::Settings& settings, ParameterModel& model, BoardSession& session,
                   BoardSelectionHost& host, params::Dialogs& dialogs, params::ErrorReport& report,
                   TextLookup texts);
    ~BoardSelection();
    BoardSelection(const BoardSelection&) = delete;
    BoardSelection& operator=(const BoardSelection&) = delete;

    // The creation of the options window, in order: the information labels "Not
    // available"; the settings controls (OptionsLogic::Create); the "Information"
    // tab hidden for a board found that is not USB; the board information;
    // FillBoardSettings; the second driver object when the board is polled; the
    // probe button for USB. False when the second driver object could not be
    // created: the error was reported and the application asked to end.
    bool Create(OptionsLogic& options);

    // Refills the board list (BaseNumber selected when it is below the number
    // found, else entry 0), puts the settings into the voltage, impedance and
    // external-start controls, and reopens the chosen board when one was found.
    void FillBoardSettings(OptionsLogic& options);
    // After a driver reload: FillBoardSettings, and the second driver object follows
    // the new driver (created while it asks for polling, released otherwise).
    // False as for Create.
    bool AfterDriverReload(OptionsLogic& options);

    // ComboBox4Change: a running output is stopped, the chosen board opened with
    // the main driver; BaseNumber, BoardOpened, BoardFound follow; message 7 when
    // it cannot be opened. Then the information and the state display.
    void ComboBox4Change(int index);
    // UpdateButtonClick (USB, with the second driver object): the output stopped,
    // the boards that answer counted, the list refilled with that many ids.
    void UpdateButtonClick();
    // The labels of the "Information" tab; "Not available" without a main driver.
    void RefreshInformation();
    // Memo1: text 225, then the signal library, the driver and the driver's second
    // module ("name(a.b.c.d)", an empty line for an absent one).
    std::vector<std::string> LibraryList() const;

    // --- State the window shows. ---
    const std::vector<std::string>& BoardList() const { return boardTexts_; }
    const std::vector<int32_t>& BoardListIds() const { return boardIds_; }
    int BoardSelected() const { return boardSelected_; }
    const std::string& SerialNumber() const { return serial_; }         // Label5
    const std::string& Firmware() const { return firmware_; }           // Label11
    const std::string& DriverVersion() const { return driverVersion_; } // Label26
    bool InformationTabVisible() const { return informationTabVisible_; }
    bool UpdateButtonEnabled() const;
    IADCDevice* ProbeDriver() const { return probe_; }

private:
    bool UpdateProbeDriver();
    void ReleaseProbeDriver();
    void SetBoardList(const std::vector<int32_t>& ids, int wanted);
    std::string Text(int id) const { return texts_ ? texts_(id) : std::string(); }
    void ShowError();

    params::Settings& settings_;
    ParameterModel& model_;
    BoardSession& session_;
    BoardSelectionHost& host_;
    params::Dialogs& dialogs_;
    params::ErrorReport& report_;
    TextLookup texts_;

    std::vector<int32_t> boardIds_;
    std::vector<std::string> boardTexts_;
    int boardSelected_ = -1;
    std::string serial_;
    std::string firmware_;
    std::string driverVersion_;
    bool informationTabVisible_ = true;

    quorvel::ComponentLibrary probeLibrary_;
    IADCDevice* probe_ = nullptr;
    std::string probeName_;
};

} // namespace board
