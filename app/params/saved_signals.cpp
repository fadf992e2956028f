#include "app/params/saved_signals.h"

#include "app/params/program_files.h"
#include "resources/strings/russian_words.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace params {

namespace {

// Indexes of the built-in word list.
namespace word {
constexpr int Volt = 18;
constexpr int Second = 19;
constexpr int Hertz = 20;
constexpr int On = 29;
constexpr int Off = 30;
constexpr int Positive = 31; // 32 negative, 33 bipolar
} // namespace word

constexpr int kLastNamedType = 6; // types 0-6 have a name; 7 (file) has none
constexpr int kMaxCopyNumber = 99;

std::string OnOff(bool on) {
    return RussianWord(on ? word::On : word::Off);
}

} // namespace

std::string SignalStorePath() {
    const auto path = ProgramFilePath(kSignalStoreFileName);
    if (!path) {
        return {};
    }
    EnsureFolderOf(*path);
    return *path;
}

std::string DiscardedCopyPath(const std::string& storePath) {
    const std::string first = storePath + ".bad";
    std::error_code error;
    if (!std::filesystem::exists(first, error)) {
        return first;
    }
    for (int n = 2; n < kMaxCopyNumber; ++n) {
        std::string candidate = first + "." + std::to_string(n);
        if (!std::filesystem::exists(candidate, error)) {
            return candidate;
        }
    }
    return first + "." + std::to_string(kMaxCopyNumber);
}

SavedSignals::SavedSignals(SavedSignalsView& view, SavedSignalsHost& host, TextLookup texts)
    : view_(view), host_(host), texts_(std::move(texts)) {}

void SavedSignals::Open(std::string_view path) {
    path_ = std::string(path);
    storeValid_ = store_.Open(path_) > 0;
    ClearDetails();
    if (storeValid_) {
        RefillList();
    }
}

int SavedSignals::Close() {
    lastWrite_ = store_.Close();
    return lastWrite_;
}

void SavedSignals::ClearDetails() {
    for (const SavedSignalLabel label : kDetailLabels) {
        view_.SetLabel(label, {});
        view_.EnableLabel(label, false);
    }
}

void SavedSignals::RefillList() {
    std::vector<std::string> names;
    SignalRecord record{};
    for (int p = 1; p <= store_.Count(); ++p) {
        if (store_.Get(record, p) != 1) {
            break;
        }
        names.push_back(RecordName(record));
    }
    view_.SetList(names);
    if (!names.empty()) {
        ListClick(0);
    }
}

void SavedSignals::ListClick(int entry) {
    SignalRecord record{};
    if (entry < 0 || store_.Get(record, entry + 1) != 1) {
        ClearDetails();
        return;
    }
    if (!IsValidRecord(record, host_.MaxSampleClock()) || !ShowRecord(record)) {
        storeValid_ = false;
        ClearDetails();
        Discard();
        return;
    }
    LayOut(record.type);
    view_.SetLabel(SavedSignalLabel::SaveName, RecordName(record));
    view_.EnableLabel(SavedSignalLabel::SaveName, true);
}

bool SavedSignals::ShowRecord(const SignalRecord& record) {
    if (!storeValid_) {
        return true;
    }
    view_.EnableLabel(SavedSignalLabel::Label3, true);
    bool failed = false;
    const auto format = [&](double value, int unitWord) {
        return FormatValue(value, RussianWord(unitWord), texts_, &failed);
    };
    const std::string amplitude = format(record.amplitude, word::Volt);
    const std::string frequency = format(record.frequency, word::Hertz);
    // Without a frequency there is no period to show.
    const std::string period =
        record.frequency != 0 ? format(1.0 / record.frequency, word::Second) : std::string();
    const std::string duration = format(record.duration, word::Second);
    const std::string offset = format(record.offset, word::Volt);
    if (failed) {
        return false;
    }
    view_.SetLabel(SavedSignalLabel::AmpMain, amplitude);
    view_.SetLabel(SavedSignalLabel::FreqMain, frequency);
    view_.SetLabel(SavedSignalLabel::PerMain, period);
    view_.SetLabel(SavedSignalLabel::DurMain, duration);
    view_.SetLabel(SavedSignalLabel::Label7, offset);
    view_.SetLabel(SavedSignalLabel::Label10, OnOff(record.filter == 1));
    view_.SetLabel(SavedSignalLabel::Label12, RussianWord(word::Positive + record.polarity));
    view_.SetLabel(SavedSignalLabel::Label14, OnOff(record.playOnce == 1));
    return true;
}

void SavedSignals::LayOut(int type) {
    if (type > kLastNamedType) {
        return; // a file signal has no layout of its own
    }
    view_.SetLabel(SavedSignalLabel::Label3, RussianWord(type));
    for (const SavedSignalLabel label :
         {SavedSignalLabel::Label13, SavedSignalLabel::AmpMain, SavedSignalLabel::FreqMain,
          SavedSignalLabel::PerMain, SavedSignalLabel::DurMain, SavedSignalLabel::Label7,
          SavedSignalLabel::Label10, SavedSignalLabel::Label12, SavedSignalLabel::Label14}) {
        view_.EnableLabel(label, true);
    }
    if (type == 0) { // a constant level has no frequency, period or duration
        Hide(SavedSignalLabel::FreqMain);
        Hide(SavedSignalLabel::PerMain);
        Hide(SavedSignalLabel::DurMain);
    } else if (type != 2) { // only the pulse has a duration
        Hide(SavedSignalLabel::DurMain);
    }
}

void SavedSignals::Hide(SavedSignalLabel label) {
    view_.SetLabel(label, {});
    view_.EnableLabel(label, false);
}

void SavedSignals::WriteStore() {
    lastWrite_ = store_.Write();
}

void SavedSignals::SaveClick(int selectedEntry) {
    SignalRecord record = host_.CurrentSignal();
    if (record.type > kLastNamedType) {
        return;
    }
    SetRecordName(record, "signal" + std::to_string(store_.Count()));
    storeValid_ = true;
    const int inserted =
        selectedEntry < 0 ? store_.Append(record) : store_.InsertAt(record, selectedEntry + 1);
    if (inserted == 1) {
        WriteStore();
    }
    RefillList();
}

void SavedSignals::DeleteClick(int selectedEntry) {
    if (selectedEntry < 0) {
        ClearDetails();
        return;
    }
    if (store_.RemoveAt(selectedEntry + 1) == 1) {
        WriteStore();
    }
    RefillList();
    if (store_.Count() == 0) {
        ClearDetails();
    }
}

void SavedSignals::NameEnter(int selectedEntry, std::string_view name) {
    if (selectedEntry < 0 || name.empty()) {
        return;
    }
    if (store_.Rename(name, selectedEntry + 1) == 1) {
        WriteStore();
    }
    RefillList();
}

bool SavedSignals::ApplyClick() {
    if (store_.Count() == 0) {
        return false;
    }
    SignalRecord r{};
    store_.Current(r);
    using namespace record_check;
    // Each step checks its own fields; the steps before a failing one stay done.
    const bool done = [&] {
        if (!TypeAndFilter(r)) {
            return false;
        }
        host_.SetFilterAndType(r.filter == 1, r.type);
        if (!Amplitude(r)) {
            return false;
        }
        host_.SetAmplitude(r.amplitude);
        if (!Frequency(r, host_.MaxSampleClock())) {
            return false;
        }
        host_.SetFrequency(r.frequency);
        if (!Duration(r)) {
            return false;
        }
        host_.SetDuration(r.duration);
        if (!Offset(r)) {
            return false;
        }
        host_.SetOffset(r.offset);
        if (!PlayOnce(r)) {
            return false;
        }
        host_.SetPlayOnce(r.playOnce == 1);
        if (!Polarity(r)) {
            return false;
        }
        host_.SetPolarityAndShowAll(r.polarity);
        return true;
    }();
    if (!done) {
        storeValid_ = false;
        ClearDetails();
        Discard();
    }
    return done;
}

void SavedSignals::Discard() {
    lastCopy_.clear();
    // The erased file is kept under another name instead of being deleted. When no
    // copy can be made the file stays as it is: the records are then shown as
    // erased but not destroyed.
    bool fileKept = true;
    std::error_code error;
    if (!path_.empty() && std::filesystem::exists(path_, error)) {
        const std::string copy = DiscardedCopyPath(path_);
        std::filesystem::rename(path_, copy, error);
        if (error) {
            fileKept = false;
        } else {
            lastCopy_ = copy;
        }
    }
    host_.MessageBoxes().Inform(texts_ ? texts_(text_id::SaveFileErased) : std::string(),
                                texts_ ? texts_(text_id::ErrorCaption) : std::string(),
                                DialogIcon::None);
    if (fileKept) {
        store_.Clear();
        lastWrite_ = store_.Close(); // leaves an empty file behind
        store_.Open(path_);
    } else {
        // A store on the same path would read the bad records again; this one
        // keeps its records in memory only (the folder refused the rename, so it
        // would refuse a write as well).
        store_ = SignalRecordStore();
    }
    storeValid_ = false;
    view_.SetList({});
}

} // namespace params
