#pragma once
// TForm1, the main window (unit Gen): the operator's panel. It is a thin view:
// GeneratorCore (app/board) runs the start-up, the board display and the
// shut-down; ParameterModel and EntryController (app/params) hold the values and
// the numeric entry. The window implements their views, owns the timers and
// forwards control events.
//
// The constructor runs the whole start-up (GeneratorCore::Start) before any other
// window exists; TerminationRequested() tells the program entry not to run the
// event loop. Closing asks GeneratorCore::CloseQuery; an accepted close ends the
// event loop, and the destructor runs the shut-down (settings saved).
//
// Where later work plugs in:
//   - the Start/Stop action: Core().AttachOutput(generation control); StartButton,
//     the board display and the close question then use it;
//   - parameter choices, the entry boxes, the track bar: the controls of Ui() and
//     Core().Entry(), driven through the application-wide hooks mouseHook,
//     wheelHook and keyHook (MainEntryInput, main_entry_input.h);
//   - the menus: the actions N1 .. N18 of Ui(); the flash items N15 .. N17 are
//     generation control's;
//   - the other windows: SetWindows() gives the main window their addresses.

#include "app/board/generation_host.h"
#include "app/board/generator_core.h"
#include "app/params/aux_host.h"
#include "app/params/entry_view.h"
#include "app/params/file_settings.h"
#include "app/params/parameter_view.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TForm1;
}
class QLabel;
class QLineEdit;
class GenerationControl;
class MainEntryInput;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;

// The auxiliary windows, null while they do not exist.
struct AuxiliaryWindows {
    TForm2* keyboard = nullptr;
    TForm3* options = nullptr;
    TForm4* additional = nullptr;
    TForm5* saving = nullptr;
    TForm6* preview = nullptr;
    TForm7* fileSettings = nullptr;
};

class TForm1 final : public QMainWindow,
                     public ParameterView,
                     public EntryView,
                     public board::BoardIndicators,
                     public board::PollTimer,
                     public board::MainWindowHost,
                     public AuxiliaryHost,
                     public FileLoadHost {
    Q_OBJECT

public:
    explicit TForm1(board::StartupOptions options, QWidget* parent = nullptr);
    ~TForm1() override;

    bool TerminationRequested() const { return terminated_; }
    board::GeneratorCore& Core() { return *core_; }
    Ui::TForm1& Form() { return *ui_; }
    void SetWindows(const AuxiliaryWindows& windows) { windows_ = windows; }
    const AuxiliaryWindows& Windows() const { return windows_; }

    // Generation control, attached by the program once the start-up succeeded and
    // detached (null) before it goes; null in tests that run the window without it.
    void AttachGeneration(GenerationControl* generation) { generation_ = generation; }
    GenerationControl* Generation() const { return generation_; }

    // The data file as File / Load read it (empty before a load). Generation control
    // reads the samples from here; the preview window shows them.
    std::vector<uint8_t>& FileData() { return fileData_; }
    const std::vector<uint8_t>& FileData() const { return fileData_; }
    // File / Load: the open dialog, reading the file, the file settings window.
    FileLoadResult RunFileLoad();

    // What the options, extended parameters and file settings windows ask of the
    // main window.
    AuxiliaryHost& AuxHost() { return *this; }
    FileLoadHost& FileHost() { return *this; }

    // The glyph ImagePlug shows (-1 before the first display update).
    int PlugGlyph() const { return plugGlyph_; }
    // Whether PowerPlug shows the normal-power picture.
    bool PowerPictureNormal() const { return powerNormal_; }
    // The texts of the two status bar panels.
    QString StatusPanelText(int panel) const;

    // The application-wide hooks (event filters): each gets the watched object and
    // the event and returns true to swallow it. The constructor sets them to the
    // numeric entry's (Input()); an empty hook lets every event pass.
    std::function<bool(QObject*, QEvent*)> mouseHook; // step images, boxes, Bar, MinBar/MaxBar
    std::function<bool(QObject*, QEvent*)> wheelHook; // wheel over digits and Bar
    std::function<bool(QObject*, QEvent*)> keyHook;   // keys while main or keyboard active
    bool HooksInstalled() const { return hooksInstalled_; }

    // Timers of the main window, one per role.
    QTimer entryRepeatTimer; // 1, 160 ms: entry arrows held down
    QTimer restartTimer;     // 2, 160 ms: delayed restart
    QTimer singlePlayTimer;  // 3, 10 ms: single-play watch
    QTimer boardPollTimer;   // 4, 200 ms: board poll
    QTimer tunerTimer;       // 9, 500 ms: after a file start with the tuner
    QTimer progressTimer;    // 99, 160 ms: transfer progress

    // --- ParameterView ---
    void SetLabel(ParameterLabel label, const std::string& text) override;
    // --- EntryView ---
    void ShowBox(int position, const std::string& text) override;
    void ShowSign(bool negative) override;
    void ShowPoint(int point) override;
    void SetFocus(int position) override;
    void FocusBar() override;
    void SetBarRange(int lowest, int highest) override;
    void SetBarPosition(int position) override;
    void SetBarVisible(bool visible) override;
    void ShowLimits(const std::string& minimum, const std::string& maximum) override;
    void ShowUnit(const std::string& unit) override;
    void ShowUnitKeys(const std::array<std::string, 3>& captions) override;
    const std::array<std::string, 3>& UnitKeyCaptions() const { return unitKeys_; }
    // --- BoardIndicators ---
    void ApplyDisplay(const board::DisplayDecision& decision) override;
    bool StartEnabled() const override;
    // --- PollTimer ---
    void StartPoll() override;
    void StopPoll() override;
    bool PollActive() const override;
    // --- MainWindowHost ---
    params::WindowGeometry Geometry() const override;
    void MoveTo(params::WindowPosition position) override;
    params::WindowPosition Position() const override;
    std::array<int32_t, 3> ViewerColours() const override;
    void SetTexts() override;
    void SetFlashWriteVisible(bool visible) override;
    void ShowSynthesiser(bool present) override;
    void ApplySwitches() override;
    bool RememberEntryTexts() override;
    void SelectSignalType(int type) override;
    void InstallHooks() override;
    void RemoveHooks() override;
    bool PrepareControls() override;
    void ChooseParameter(ParameterKind kind) override;
    void RefreshBoardLists() override;
    void ShowWindow() override;
    void HideProgressBar() override;
    void StopTimers() override;
    void EndApplication() override;

    // --- AuxiliaryHost ---
    bool OutputRunning() const override;
    void ScheduleRestart() override;
    void StartButtonClick() override; // the Start/Stop action
    void SelectParameter(ParameterKind kind) override;
    void ReselectParameter() override;
    void ReloadDriver() override;
    void ApplyLanguage() override;
    // --- FileLoadHost ---
    void RestoreWindows() override;
    void SetFlashWriteEnabled(bool enabled) override;
    bool ViewerAvailable() const override;
    void SetPreviewRange(const LupexViewRange& range) override;
    bool PreviewVisible() const override;
    void ShowPreview() override;
    void ContinueStartAfterLoad() override;

    // The numeric entry's hooks.
    MainEntryInput& Input() { return *input_; }

    // Handlers.
    void SignalButtonChange(int index);
    // Kinds 0-5: the radio button of the kind is checked and the entry edits it;
    // the extended parameters window's list is disabled.
    void ChooseKindClick(ParameterKind kind);
    // IsAdditionalChooseClick: the extended parameters window (opened the first
    // time), its first parameter chosen.
    void IsAdditionalChooseClick();
    // Numeric pad /: the next enabled choice (amplitude, frequency, period,
    // duration, additional, cyclic).
    void NextParameter();
    // Numeric pad *: the additional parameters, or the next one of them.
    void AdditionalKey();
    void N1Click();  // View / Keyboard
    void N3Click();  // View / Parameters
    void N4Click();  // View / Saving
    void N18Click(); // View / View
    void N6Click();  // File / Load
    void N7Click();  // File / Quit
    // Settings / Signals (page 0), Output parameters (2), Board settings (4),
    // Interface (1), Help / About (3): the options window at that page.
    void ShowOptionsPage(int page);
    // Whether the open-on-additional flag is still set.
    bool OpenOnAdditional() const { return openOnAdditional_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* ValueLabel(ParameterLabel label) const;
    QLineEdit* Box(int position) const;
    void SetCaption(QWidget* widget, int id);
    void ShowTypeLayout(int type);
    void ConnectControls();
    // The captions and hint of the amplitude and frequency choices for the type.
    void SetChoiceTexts();
    // The windows whose visibility a file load hides and restores: main, keyboard,
    // options, extended parameters, saved signals, preview.
    std::array<QWidget*, 6> LoadWindows();
    std::string Text(int id) const { return core_->Text(id); }

    std::unique_ptr<Ui::TForm1> ui_;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    std::unique_ptr<board::GeneratorCore> core_;
    AuxiliaryWindows windows_;
    GenerationControl* generation_ = nullptr;
    std::vector<uint8_t> fileData_;
    std::array<std::string, 7> entryTexts_{}; // index = box position; 0 unused
    std::array<std::string, 3> unitKeys_{};
    std::unique_ptr<MainEntryInput> input_;
    QMetaObject::Connection focusConnection_;
    std::array<bool, 6> visibleBeforeLoad_{};
    bool loadHidWindows_ = false;
    bool openOnAdditional_ = true;
    bool choosing_ = false; // a parameter choice runs
    int plugGlyph_ = -1;
    bool powerNormal_ = false;
    bool hooksInstalled_ = false;
    bool terminated_ = false;
};
