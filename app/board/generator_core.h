#pragma once
// GeneratorCore: everything the main window owns and does from its construction
// to its destruction, without widgets. The window (TForm1) implements the views
// and MainWindowHost and owns one GeneratorCore; tests drive it with fakes.
//
// Start() runs the constructor steps in order:
//   1  string table for the user's locale; idle flags
//   2  error report
//   3  defaults, Russian table, settings ("English" -> English table), position,
//      captions
//   5  numeric-entry model (failure: -3, message 196, end)
//   6  signal library "UndulaN" (failure: -7, message 199, end)
//   7  driver <DeviceName> (failure: -8, message 200, go on without)
//   8  device kind from DeviceName (unknown: -8, message 200, end); USB shows the
//      flash item Write
//   9  viewer "LUPEX" (no factory: message 2, viewing off)
//   10 board information and discovery (201, 202 end; 226 goes on)
//   11 the loaded values on the displays; the board's voltage limits in every record
//   12 sample buffer: board memory + 1024 samples (failure: -3, message 196, end)
//   13 the entry boxes' texts remembered (failure: 48, message 198, end)
//   14 signal type, hooks, pictures, amplitude chosen, captions
//   15 tuner "NIVELL": Create("SETUP", driver) when a board is opened
//   16 window shown, progress bar hidden
// A step that ends the program asks the host to end the application and Start()
// returns false; nothing after it runs.
//
// Shut-down: CloseQuery() (the question while the output runs), FormDestroy()
// and Shutdown() (the destructor's order, settings saved). ReloadDriver() is the
// options window's device change.
//
// Main thread only.

#include "app/board/board_session.h"
#include "app/board/component_slots.h"
#include "app/board/output_control.h"
#include "app/params/dialogs.h"
#include "app/params/entry_controller.h"
#include "app/params/entry_view.h"
#include "app/params/error_report.h"
#include "app/params/parameter_model.h"
#include "app/params/parameter_view.h"
#include "app/params/program_files.h"
#include "app/params/settings.h"
#include "resources/strings/text_table.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace board {

// Where the program's files live and how it shows messages.
struct StartupOptions {
    params::Dialogs* dialogs = nullptr;
    // The program file: "generator.cfg" lives beside it (see program_files.h).
    std::string programPath;
    params::FileLocationContext files;

    // The running program: /proc/self/exe and the real environment. `programPath`
    // stays empty when the program's path cannot be found (settings are then
    // neither read nor written).
    static StartupOptions ForRunningProgram(params::Dialogs& dialogs);
};

// What the start-up asks of the main window and the windows it knows.
class MainWindowHost {
public:
    // The window's frame, for the preview window's default place and size.
    virtual params::WindowGeometry Geometry() const = 0;
    // The system colours the viewer's display record names (0x00BBGGRR): button
    // face, button shadow, button text.
    virtual std::array<int32_t, 3> ViewerColours() const = 0;
    // Main_X, Main_Y: placed at once after the settings are read; read back at exit.
    virtual void MoveTo(params::WindowPosition position) = 0;
    virtual params::WindowPosition Position() const = 0;
    // Captions, hints and menus from the text table in the current language.
    virtual void SetTexts() = 0;
    // Flash menu item Write visible (USB boards).
    virtual void SetFlashWriteVisible(bool visible) = 0;
    // The synthesiser radio button of the options window, when it exists.
    virtual void ShowSynthesiser(bool present) = 0;
    // Switches of the loaded values: single play (ButtonHand), polarity and filter
    // of the extended parameters window when it exists.
    virtual void ApplySwitches() = 0;
    // Keeps the texts of the six entry boxes; false when they cannot be read.
    virtual bool RememberEntryTexts() = 0;
    // Shows `type` in SignalButton and lays the window out for it.
    virtual void SelectSignalType(int type) = 0;
    virtual void InstallHooks() = 0;
    virtual void RemoveHooks() = 0;
    // Track bars, transparent colours, the Start glyph, the owner-drawn list; false
    // when the Start glyph could not be made.
    virtual bool PrepareControls() = 0;
    // The parameter choice (IsAmpChoose .. BlockSize) of `kind`.
    virtual void ChooseParameter(ParameterKind kind) = 0;
    // The options window's board lists, when it exists.
    virtual void RefreshBoardLists() = 0;
    virtual void ShowWindow() = 0;
    virtual void HideProgressBar() = 0;
    // Kills every timer that is set (entry repeat, delayed restart, single-play
    // watch, board poll, transfer progress).
    virtual void StopTimers() = 0;
    // Ends the application: before the event loop, it is not entered.
    virtual void EndApplication() = 0;

protected:
    MainWindowHost() = default;
    MainWindowHost(const MainWindowHost&) = default;
    MainWindowHost& operator=(const MainWindowHost&) = default;
    ~MainWindowHost() = default;
};

class GeneratorCore {
public:
    // Step 1. The views must outlive the core.
    GeneratorCore(StartupOptions options, MainWindowHost& host, ParameterView& parameterView,
                  EntryView& entryView, BoardIndicators& indicators, PollTimer& poll);
    ~GeneratorCore();
    GeneratorCore(const GeneratorCore&) = delete;
    GeneratorCore& operator=(const GeneratorCore&) = delete;

    // Steps 2-16; false when the program must end.
    bool Start();
    bool TerminationRequested() const { return terminated_; }

    // The output: IdleOutput until generation control is attached. `output` must
    // outlive the core (or be detached with null, which returns to IdleOutput).
    // After the start-up the attached output gets its sample buffer for the board
    // memory at once (failure: -3, message 196, the program ends).
    void AttachOutput(OutputControl* output);
    OutputControl& Output() { return *output_; }
    IdleOutput& Idle() { return idle_; }
    // The Start/Stop button action; the board display runs it to stop an output
    // whose board went away.
    void StartStop() { output_->StartStop(); }

    // FormCloseQuery: true when the window may close. While the output runs the
    // operator is asked (text 13): Cancel keeps the window, Yes leaves the board
    // playing, No stops it first.
    bool CloseQuery();
    // FormDestroy: the transfer ended, the signal object cancelled and forgotten,
    // the tuner told SETUP with no driver.
    void FormDestroy();
    // The destructor's steps: timers and hooks, settings saved, components
    // unloaded. Runs once; the destructor calls it when nobody did.
    void Shutdown();

    // The options window changed DeviceName: release the driver, load the new one,
    // read the board again, refresh the displays and discover.
    void ReloadDriver(const std::string& deviceName);

    // Timer 4.
    void PollTick() { board_.PollTick(); }

    // --- What the windows read and change ---
    std::string Text(int id) const { return texts_.Text(id); }
    TextLookup Texts() const;
    const TextTable& Table() const { return texts_; }
    // Loads the table of the language that `settings.english` names.
    void LoadLanguage();
    params::Settings& Settings() { return settings_; }
    const params::Settings& Settings() const { return settings_; }
    params::ErrorReport& Report() { return report_; }
    params::Dialogs& Dialogs() { return *options_.dialogs; }
    ParameterModel* Model() { return model_.get(); }
    EntryController* Entry() { return entry_.get(); }
    BoardSession& Board() { return board_; }
    const BoardSession& Board() const { return board_; }
    IUndula* Signal() const { return signal_.Object(); }
    bool ViewingAvailable() const { return viewer_.Available(); }
    ILUPEX* Viewer() const { return viewer_.Object(); }
    // The viewer's display record and working area (the preview window hands the
    // state part to every painting).
    LupexWorkArea& ViewerWorkArea() { return viewerArea_; }
    bool TunerPresent() const { return tuner_.Present(); }
    // The tuner's Create("SETUP", driver) (the options window's board choice);
    // nothing without the tuner.
    void SetupTuner(IADCDevice* driver) { tuner_.Setup(driver); }
    // Path of the settings file ("" when the program path is unknown).
    std::string SettingsPath() const;

private:
    void Terminate();
    void Fail(int line, int code, int messageId); // report, then end the program
    void ApplyToDisplays();
    void PrepareWindow();
    void PrepareViewer();

    StartupOptions options_;
    MainWindowHost& host_;
    ParameterView& parameterView_;
    EntryView& entryView_;
    TextTable texts_;
    params::ErrorReport report_;
    params::Settings settings_;
    bool settingsRead_ = false;
    std::unique_ptr<ParameterModel> model_;
    std::unique_ptr<EntryController> entry_;
    SignalLibrarySlot signal_;
    ViewerSlot viewer_;
    TunerSlot tuner_;
    LupexWorkArea viewerArea_{};
    BoardSession board_;
    IdleOutput idle_;
    OutputControl* output_ = &idle_;
    bool terminated_ = false;
    bool started_ = false;
    bool destroyed_ = false;
    bool shutDown_ = false;
};

// The language of the user's locale (LC_ALL, LC_MESSAGES, LANG): Russian for
// "ru...", English otherwise.
int LocaleLanguage();

} // namespace board
