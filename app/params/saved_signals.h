#pragma once
// SavedSignals: what the saved-signals window does, without its widgets. It owns
// the store (cslparams.h) and the flag "store valid", and runs the window's
// handlers: list refill, showing a record, Save, Delete, rename on Enter, Apply,
// and discarding a store that holds an invalid record. The window implements
// SavedSignalsView (its labels and list) and hands in the main window as
// SavedSignalsHost.
//
// Every change (Save, Delete, Rename) is written to "generator.sav" at once, by an
// atomic replacement: a crash never loses a change and never leaves a half-written
// file. A failed write is not reported to the operator (the store in memory keeps
// the change and the next write tries again); LastWriteResult() tells.
//
// Discarding keeps the erased file beside it as "generator.sav.bad" (or
// "generator.sav.bad.2", ... when that exists already) before the store is emptied,
// so the operator's records can still be recovered by hand.
//
// Main thread only.

#include "app/params/cslparams.h"
#include "app/params/dialogs.h"
#include "app/params/format_value.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace params {

// The window's labels that show a record. Label3 is the type name, Label7 the
// offset, Label10 the filter, Label12 the polarity, Label14 the single-play switch,
// Label13 the caption "Single:" and SaveName the name's edit box.
enum class SavedSignalLabel {
    Label3,
    AmpMain,
    FreqMain,
    PerMain,
    DurMain,
    Label7,
    Label10,
    Label12,
    Label14,
    Label13,
    SaveName,
};

// Labels that "clear the details" empties and disables (every one but Label13).
inline constexpr SavedSignalLabel kDetailLabels[] = {
    SavedSignalLabel::Label3,   SavedSignalLabel::AmpMain, SavedSignalLabel::FreqMain,
    SavedSignalLabel::PerMain,  SavedSignalLabel::DurMain, SavedSignalLabel::Label7,
    SavedSignalLabel::Label10,  SavedSignalLabel::Label12, SavedSignalLabel::Label14,
    SavedSignalLabel::SaveName,
};

class SavedSignalsView {
public:
    virtual void SetLabel(SavedSignalLabel label, const std::string& text) = 0;
    virtual void EnableLabel(SavedSignalLabel label, bool enabled) = 0;
    // Replaces the entries of SaveList; with at least one entry, entry 0 is
    // selected.
    virtual void SetList(const std::vector<std::string>& names) = 0;

protected:
    SavedSignalsView() = default;
    SavedSignalsView(const SavedSignalsView&) = default;
    SavedSignalsView& operator=(const SavedSignalsView&) = default;
    ~SavedSignalsView() = default;
};

// The main window as the source of Save and the destination of Apply.
class SavedSignalsHost {
public:
    // The board's maximum sample clock (driver Control code 26), hertz.
    virtual double MaxSampleClock() = 0;
    // The current signal: type, amplitude, frequency, duration, offset (the
    // extended parameters window's entered value), filter, single play, polarity.
    // The name is ignored.
    virtual SignalRecord CurrentSignal() = 0;

    // Apply, one step at a time.
    virtual void SetFilterAndType(bool filter, int type) = 0;
    virtual void SetAmplitude(double volts) = 0;
    virtual void SetFrequency(double hertz) = 0;
    virtual void SetDuration(double seconds) = 0;
    virtual void SetOffset(double volts) = 0;
    virtual void SetPlayOnce(bool playOnce) = 0;
    // Sets the polarity, then shows every value again as after loading the
    // settings (every setter with -1, the type selected, the switches applied).
    virtual void SetPolarityAndShowAll(int polarity) = 0;

    // The message of a discarded store: text, caption, OK button.
    virtual Dialogs& MessageBoxes() = 0;

protected:
    SavedSignalsHost() = default;
    SavedSignalsHost(const SavedSignalsHost&) = default;
    SavedSignalsHost& operator=(const SavedSignalsHost&) = default;
    ~SavedSignalsHost() = default;
};

namespace text_id {
inline constexpr int ErrorCaption = 7;
inline constexpr int SaveFileErased = 18; // "Error occured,save file was erased"
} // namespace text_id

// Where the store lives: "generator.sav" beside the program (or in the user's
// configuration folder for a read-only install, which is created when missing).
// Empty when no place is known.
std::string SignalStorePath();

// "generator.sav.bad", or the first of "generator.sav.bad.2" .. ".bad.99" that does
// not exist (".bad.99" is replaced when all do).
std::string DiscardedCopyPath(const std::string& storePath);

class SavedSignals {
public:
    // `texts`: the text table in the current language (messages, unit prefixes).
    SavedSignals(SavedSignalsView& view, SavedSignalsHost& host, TextLookup texts);

    // Creation: opens the store on `path`; a load that read records marks the
    // store valid. Clears the details and, for a valid store, fills the list.
    void Open(std::string_view path);
    // Program end: writes the store (a failure is silent) and closes it.
    int Close();

    // SaveListClick: shows the record of list entry `entry` (0-based; -1 none).
    // An invalid record discards the store.
    void ListClick(int entry);
    // SaveButtonClick with the list's selected entry (-1 none). Nothing for a
    // signal from a data file (type 7).
    void SaveClick(int selectedEntry);
    // DeleteButtonClick.
    void DeleteClick(int selectedEntry);
    // SaveNameKeyDown with Enter: renames the selected entry to `name`. An empty
    // name or one longer than kMaxRecordNameLength bytes changes nothing.
    void NameEnter(int selectedEntry, std::string_view name);
    // ApplyButtonClick and SaveListDblClick: the current record into the main
    // window, step by step; the first failing check discards the store. Returns
    // whether every step was done.
    bool ApplyClick();

    // Deletes the file (keeping it as DiscardedCopyPath), shows message 18, and
    // starts again with an empty store on the same path and an empty list.
    void Discard();

    bool StoreValid() const { return storeValid_; }
    const SignalRecordStore& Store() const { return store_; }
    // The result of the last Write (see SignalRecordStore::Write); 0 before any.
    int LastWriteResult() const { return lastWrite_; }
    // Where the last discarded file went; empty when none was kept.
    const std::string& LastDiscardedCopy() const { return lastCopy_; }

private:
    void ClearDetails();
    void RefillList();
    // Shows `record`; false when a value cannot be formatted.
    bool ShowRecord(const SignalRecord& record);
    void LayOut(int type);
    void Show(SavedSignalLabel label, const std::string& text);
    void Hide(SavedSignalLabel label);
    void WriteStore();

    SavedSignalsView& view_;
    SavedSignalsHost& host_;
    TextLookup texts_;
    SignalRecordStore store_;
    std::string path_;
    bool storeValid_ = false;
    int lastWrite_ = 0;
    std::string lastCopy_;
};

} // namespace params
