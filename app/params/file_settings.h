#pragma once
// FileSettings: the file settings window without its widgets. After a data file was
// read, the main window hides its windows and shows this one alone; the operator
// chooses how the file's bytes are read (settings `Data16`, `NonSigned`,
// `NullBits`) and Accept or Cancel completes the load.
//
// The data-width group offers one choice, "16 bit". SetTexts empties it, adds that
// choice and asks for choice 1, which the group limits to its last choice 0; the
// change of choice sets `Data16` to 1. So `Data16` is on from the creation of this
// window on, whatever the configuration file said, and after every language change.
//
// Completing the load (accepted): the file is marked loaded; the block is set up for
// the numeric entry's current parameter; the flash Write menu item is enabled; the
// preview gets its view range and markers (and opens when AutoView is on); a start
// that waited for the load goes on. Cancelled: only the windows come back.
//
// Main thread only.

#include "app/params/entry_controller.h"
#include "app/params/ilupex.h"
#include "app/params/parameter_model.h"
#include "app/params/settings.h"

#include <functional>
#include <string>
#include <vector>

// What completing the load asks of the main window.
class FileLoadHost {
public:
    // Shows again the windows that were visible before the load (main, keyboard,
    // options, extended parameters, saved signals, preview).
    virtual void RestoreWindows() = 0;
    virtual void SetFlashWriteEnabled(bool enabled) = 0; // menu item N16
    // The viewer component exists.
    virtual bool ViewerAvailable() const = 0;
    // The preview window's view-range record; its markers are the model's.
    virtual void SetPreviewRange(const LupexViewRange& range) = 0;
    virtual bool PreviewVisible() const = 0;
    virtual void ShowPreview() = 0;
    // Start pressed without a loaded file and the operator agreed to load one: the
    // output starts now (GenerationControl::FileLoadAccepted).
    virtual void ContinueStartAfterLoad() = 0;

protected:
    FileLoadHost() = default;
    FileLoadHost(const FileLoadHost&) = default;
    FileLoadHost& operator=(const FileLoadHost&) = default;
    ~FileLoadHost() = default;
};

// Text numbers of the window.
namespace file_settings_text {
inline constexpr int Caption = 91;        // "File settings"
inline constexpr int SixteenBit = 92;     // the group's single choice: "16 bit"
inline constexpr int NonSigned = 93;      // IsNonSigned: "Unsigned"
inline constexpr int NullBits = 94;       // IsNullBits: "Not give synchro-bit"
inline constexpr int Accept = 95;         // Agree
inline constexpr int Cancel = 96;         // Cancel
inline constexpr int DataWidthHint = 148; // RadioGroup1: "Data rank"
inline constexpr int NonSignedHint = 149;
inline constexpr int NullBitsHint = 150;
} // namespace file_settings_text

// The view range of a loaded file: x over every 16-bit sample, y over the 14-bit
// codes with a margin (both y pairs).
LupexViewRange FileViewRange(int32_t lastSampleIndex);

class FileSettings {
public:
    // `entry` is the main window's numeric entry; `texts` gives the current
    // language's texts.
    FileSettings(params::Settings& settings, ParameterModel& model, EntryController& entry,
                 FileLoadHost& host, TextLookup texts);

    // Creation: SetTexts; the close permission cleared; the check boxes from the
    // settings; choice 0 for Data16 on, else choice 1 (limited to 0).
    void Create();
    // The texts of the current language; refills the data-width group (see above).
    void SetTexts();

    // The group's selection changed (by the operator or by the program).
    void RadioGroup1Click();
    // The operator chose `choice` (-1: none).
    void SelectChoice(int choice);
    // The setting takes the box's state at once; Cancel does not undo it.
    void IsNonSignedClick(bool checked);
    void IsNullBitsClick(bool checked);
    // Completes the load as accepted, then permits closing (the window then closes).
    void AgreeClick();
    // Permits closing, completes the load as cancelled (the window then closes).
    void CancelClick();
    // FormCloseQuery: closing is allowed only after Accept or Cancel.
    bool CanClose() const { return closePermitted_; }
    // A new load shows the window again: closing is refused until Accept or Cancel.
    void ClearClosePermission() { closePermitted_ = false; }

    // --- State the window shows. ---
    const std::vector<std::string>& Choices() const { return choices_; }
    int SelectedChoice() const { return selected_; }
    bool NonSignedChecked() const { return nonSignedChecked_; }
    bool NullBitsChecked() const { return nullBitsChecked_; }
    bool NullBitsEnabled() const { return nullBitsEnabled_; }
    std::string Text(int id) const { return texts_ ? texts_(id) : std::string(); }

private:
    // The group's ItemIndex: limited to the last choice; a change runs the click.
    void SetItemIndex(int index);
    void CompleteLoad(bool accepted);

    params::Settings& settings_;
    ParameterModel& model_;
    EntryController& entry_;
    FileLoadHost& host_;
    TextLookup texts_;

    std::vector<std::string> choices_;
    int selected_ = -1;
    bool nonSignedChecked_ = false;
    bool nullBitsChecked_ = false;
    bool nullBitsEnabled_ = true;
    bool closePermitted_ = false;
};
