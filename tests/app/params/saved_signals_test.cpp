// The saved-signals window's logic: start-up with the file as it is, showing a
// record, Save, Delete, rename on Enter, Apply, and the discarding of a store with
// an invalid record, which must keep the erased file as "generator.sav.bad".

#include "app/params/saved_signals.h"
#include "app/params/scripted_dialogs.h"
#include "resources/strings/text_table.h"
#include "tests/app/params/signal_store_support.h"
#include "tests/app/params/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

using params::SavedSignalLabel;
using params::SignalRecord;
using storetest::Bytes;
using storetest::FileRecords;
using storetest::Names;
using storetest::Sine;

namespace {

constexpr double kMaxClock = 1e8;

struct LabelState {
    std::string text;
    bool enabled = true;
};

class FakeView : public params::SavedSignalsView {
public:
    void SetLabel(SavedSignalLabel label, const std::string& text) override {
        labels[label].text = text;
    }
    void EnableLabel(SavedSignalLabel label, bool enabled) override {
        labels[label].enabled = enabled;
    }
    void SetList(const std::vector<std::string>& names) override { list = names; }

    const LabelState& operator[](SavedSignalLabel label) { return labels[label]; }

    std::map<SavedSignalLabel, LabelState> labels;
    std::vector<std::string> list;
};

// The main window: its current signal and the Apply steps it was given.
class FakeHost : public params::SavedSignalsHost {
public:
    double MaxSampleClock() override { return maxClock; }
    SignalRecord CurrentSignal() override { return current; }
    void SetFilterAndType(bool filter, int type) override {
        steps.push_back("filter " + std::to_string(filter) + " type " + std::to_string(type));
    }
    void SetAmplitude(double v) override { steps.push_back("amplitude " + std::to_string(v)); }
    void SetFrequency(double v) override { steps.push_back("frequency " + std::to_string(v)); }
    void SetDuration(double v) override { steps.push_back("duration " + std::to_string(v)); }
    void SetOffset(double v) override { steps.push_back("offset " + std::to_string(v)); }
    void SetPlayOnce(bool v) override { steps.push_back("single " + std::to_string(v)); }
    void SetPolarityAndShowAll(int v) override {
        steps.push_back("polarity " + std::to_string(v) + ", all shown");
    }
    params::Dialogs& MessageBoxes() override { return dialogs; }

    double maxClock = kMaxClock;
    SignalRecord current = Sine("ignored", 4);
    std::vector<std::string> steps;
    params::ScriptedDialogs dialogs;
};

class SavedSignalsTest : public ::testing::Test {
protected:
    SavedSignalsTest() {
        english_.Load(TextTable::kEnglish);
        window_ = std::make_unique<params::SavedSignals>(
            view_, host_, [this](int id) { return english_.Text(id); });
    }

    std::string Path() const { return folder_.File("generator.sav"); }
    std::string BadCopy() const { return Path() + ".bad"; }
    void Start(const std::string& fileBytes) {
        WriteBytes(Path(), fileBytes);
        window_->Open(Path());
    }
    void Start(const std::vector<SignalRecord>& records) { Start(Bytes(records)); }

    // True when exactly one box was shown and it was message 18 with caption 7.
    bool ErasedMessageShown() const {
        const auto shown = host_.dialogs.Shown();
        return shown.size() == 1 && shown[0].text == "Error occured,save file was erased" &&
               shown[0].caption == "Error" && shown[0].kind == params::DialogKind::Inform;
    }

    TempFolder folder_;
    TextTable english_;
    FakeView view_;
    FakeHost host_;
    std::unique_ptr<params::SavedSignals> window_;
};

TEST_F(SavedSignalsTest, A100ByteFileGivesOneRecordAndIsRewrittenAs88Bytes) {
    std::string bytes = Bytes({Sine("kept")});
    bytes.append(12, 'x');
    Start(bytes);
    EXPECT_TRUE(window_->StoreValid());
    EXPECT_EQ(view_.list, std::vector<std::string>{"kept"});
    EXPECT_EQ(view_[SavedSignalLabel::SaveName].text, "kept");
    window_->Close();
    EXPECT_EQ(ReadBytes(Path()), bytes.substr(0, 88));
}

TEST_F(SavedSignalsTest, AFileShorterThanARecordGivesAnEmptyListWithoutMessage) {
    Start(std::string(50, '\x01'));
    EXPECT_FALSE(window_->StoreValid());
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
    for (const auto label : params::kDetailLabels) {
        EXPECT_FALSE(view_[label].enabled);
        EXPECT_EQ(view_[label].text, "");
    }
}

TEST_F(SavedSignalsTest, AMissingFileGivesAnEmptyListAndTheFirstSaveCreatesIt) {
    window_->Open(Path());
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
    window_->SaveClick(-1);
    EXPECT_EQ(view_.list, std::vector<std::string>{"signal0"});
    EXPECT_EQ(Names(FileRecords(Path())), std::vector<std::string>{"signal0"});
}

// A first record that fails validation is shown at start-up and erases the file.
struct BadRecordCase {
    const char* what;
    void (*spoil)(SignalRecord&);
};

class BadFirstRecord : public SavedSignalsTest,
                       public ::testing::WithParamInterface<BadRecordCase> {};

TEST_P(BadFirstRecord, ErasesTheFileWithMessage18AndKeepsACopy) {
    SignalRecord bad = Sine("bad");
    GetParam().spoil(bad);
    const std::string original = Bytes({bad, Sine("good")});
    Start(original);

    EXPECT_TRUE(ErasedMessageShown());
    EXPECT_FALSE(window_->StoreValid());
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(window_->Store().Count(), 0);
    EXPECT_EQ(ReadBytes(Path()), "") << "an empty file is left behind";
    EXPECT_EQ(window_->LastDiscardedCopy(), BadCopy());
    EXPECT_EQ(ReadBytes(BadCopy()), original) << "the operator's records are kept";
    EXPECT_FALSE(view_[SavedSignalLabel::SaveName].enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BadFirstRecord,
    ::testing::Values(BadRecordCase{"polarity 3", [](SignalRecord& r) { r.polarity = 3; }},
                      BadRecordCase{"amplitude 10.5", [](SignalRecord& r) { r.amplitude = 10.5; }},
                      BadRecordCase{"frequency above the clock",
                                    [](SignalRecord& r) { r.frequency = 2 * kMaxClock; }}));

TEST_F(SavedSignalsTest, ABadRecordFurtherDownErasesWhenItIsShown) {
    SignalRecord bad = Sine("bad");
    bad.polarity = 3;
    Start({Sine("good"), bad});
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
    EXPECT_EQ(view_.list.size(), 2u);
    window_->ListClick(1);
    EXPECT_TRUE(ErasedMessageShown());
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(FileRecords(BadCopy()).size(), 2u);
}

TEST_F(SavedSignalsTest, ASecondErasedFileDoesNotReplaceTheFirstCopy) {
    SignalRecord bad = Sine("bad");
    bad.amplitude = 10.5;
    WriteBytes(BadCopy(), "earlier copy");
    Start({bad});
    EXPECT_EQ(ReadBytes(BadCopy()), "earlier copy");
    EXPECT_EQ(window_->LastDiscardedCopy(), BadCopy() + ".2");
    EXPECT_EQ(ReadBytes(BadCopy() + ".2"), Bytes({bad}));
}

TEST_F(SavedSignalsTest, WhenNoCopyCanBeMadeTheFileIsNotDestroyed) {
    WriteBytes(BadCopy(), "1");
    for (int n = 2; n < 99; ++n) {
        WriteBytes(BadCopy() + "." + std::to_string(n), "n");
    }
    // The last name is a folder with something in it: the rename must fail.
    std::filesystem::create_directory(BadCopy() + ".99");
    WriteBytes(BadCopy() + ".99/inside", "x");
    SignalRecord bad = Sine("bad");
    bad.polarity = 3;
    const std::string original = Bytes({bad});
    Start(original);

    EXPECT_TRUE(ErasedMessageShown());
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(window_->LastDiscardedCopy(), "");
    EXPECT_EQ(ReadBytes(Path()), original);
    window_->Close();
    EXPECT_EQ(ReadBytes(Path()), original) << "the end of the program must not write over it";
}

TEST_F(SavedSignalsTest, BoundaryValuesAreShownWithoutMessage) {
    SignalRecord r = Sine("edges");
    r.type = 2; // the pulse shows every value
    r.amplitude = 10;
    r.duration = 40;
    r.offset = -20;
    r.frequency = kMaxClock;
    SignalRecord high = r;
    high.offset = 20;
    Start({r, high});
    window_->ListClick(1);
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
    EXPECT_TRUE(window_->StoreValid());
    EXPECT_EQ(view_[SavedSignalLabel::AmpMain].text, "10.0000 В");
    EXPECT_EQ(view_[SavedSignalLabel::FreqMain].text, "100.000 MГц");
    EXPECT_EQ(view_[SavedSignalLabel::PerMain].text, "10.0000 nс");
    EXPECT_EQ(view_[SavedSignalLabel::DurMain].text, "40.0000 с");
    EXPECT_EQ(view_[SavedSignalLabel::Label7].text, "20.0000 В");
    EXPECT_EQ(view_[SavedSignalLabel::Label3].text, "Импульс");
}

// Which value labels a record's type shows.
struct LayoutCase {
    int type;
    bool frequency;
    bool period;
    bool duration;
    const char* typeName;
};

class DetailsLayout : public SavedSignalsTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(DetailsLayout, HidesWhatTheTypeDoesNotUse) {
    const LayoutCase c = GetParam();
    SignalRecord r = Sine("r");
    r.type = c.type;
    r.filter = 1;
    r.polarity = 1;
    r.playOnce = 1;
    Start({r});
    const auto shown = [&](SavedSignalLabel label) {
        return view_[label].enabled && !view_[label].text.empty();
    };
    EXPECT_EQ(view_[SavedSignalLabel::Label3].text, c.typeName);
    EXPECT_TRUE(shown(SavedSignalLabel::AmpMain));
    EXPECT_EQ(shown(SavedSignalLabel::FreqMain), c.frequency);
    EXPECT_EQ(shown(SavedSignalLabel::PerMain), c.period);
    EXPECT_EQ(shown(SavedSignalLabel::DurMain), c.duration);
    EXPECT_EQ(view_[SavedSignalLabel::Label10].text, "включено");
    EXPECT_EQ(view_[SavedSignalLabel::Label12].text, "отрицательная");
    EXPECT_EQ(view_[SavedSignalLabel::Label14].text, "включено");
    EXPECT_TRUE(view_[SavedSignalLabel::Label13].enabled);
    EXPECT_EQ(view_[SavedSignalLabel::SaveName].text, "r");
    EXPECT_TRUE(view_[SavedSignalLabel::SaveName].enabled);
}

INSTANTIATE_TEST_SUITE_P(Types, DetailsLayout,
                         ::testing::Values(LayoutCase{0, false, false, false, "Постоянный сигнал"},
                                           LayoutCase{1, true, true, false, "Синус"},
                                           LayoutCase{2, true, true, true, "Импульс"},
                                           LayoutCase{3, true, true, false, "Меандр"},
                                           LayoutCase{6, true, true, false, "Убывающая пила"}));

TEST_F(SavedSignalsTest, AZeroFrequencyShowsNoPeriod) {
    SignalRecord r = Sine("dc-like");
    r.frequency = 0;
    Start({r});
    EXPECT_EQ(view_[SavedSignalLabel::FreqMain].text, "0.00000 Гц");
    EXPECT_EQ(view_[SavedSignalLabel::PerMain].text, "");
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
}

// Save in a list of three: where the new record goes, in memory and on disk at once.
struct SaveCase {
    int selected;
    std::vector<std::string> names;
};

class SaveInto : public SavedSignalsTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveInto, InsertsAtTheSelectedEntryAndWritesTheFile) {
    Start({Sine("a"), Sine("b"), Sine("c")});
    window_->SaveClick(GetParam().selected);
    EXPECT_EQ(view_.list, GetParam().names);
    EXPECT_EQ(Names(FileRecords(Path())), GetParam().names) << "written at once";
    EXPECT_EQ(window_->LastWriteResult(), 1);
    EXPECT_EQ(view_[SavedSignalLabel::SaveName].text, GetParam().names[0]) << "entry 0 shown";
}

INSTANTIATE_TEST_SUITE_P(Selections, SaveInto,
                         ::testing::Values(SaveCase{-1, {"a", "b", "c", "signal3"}},
                                           SaveCase{0, {"signal3", "a", "b", "c"}},
                                           SaveCase{1, {"a", "signal3", "b", "c"}},
                                           SaveCase{2, {"a", "b", "c", "signal3"}}));

TEST_F(SavedSignalsTest, SaveTakesTheMainWindowsValues) {
    host_.current = Sine("ignored", 7.5);
    host_.current.offset = 3.25;
    host_.current.type = 3;
    window_->Open(Path());
    window_->SaveClick(-1);
    const auto records = FileRecords(Path());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(params::RecordName(records[0]), "signal0");
    EXPECT_EQ(records[0].amplitude, 7.5);
    EXPECT_EQ(records[0].offset, 3.25);
    EXPECT_EQ(records[0].type, 3);
    EXPECT_TRUE(window_->StoreValid());
}

TEST_F(SavedSignalsTest, SaveDoesNothingForADataFileSignal) {
    Start({Sine("a")});
    const std::string before = ReadBytes(Path());
    host_.current.type = 7;
    window_->SaveClick(-1);
    EXPECT_EQ(view_.list, std::vector<std::string>{"a"});
    EXPECT_EQ(ReadBytes(Path()), before);
}

TEST_F(SavedSignalsTest, AFailedSaveWriteKeepsTheOldFileAndTheChangeInMemory) {
    Start({Sine("a"), Sine("b"), Sine("c")});
    const std::string before = ReadBytes(Path());
    {
        const storetest::FileSizeLimit full(200);
        window_->SaveClick(-1);
    }
    EXPECT_EQ(window_->LastWriteResult(), -2);
    EXPECT_EQ(ReadBytes(Path()), before);
    EXPECT_EQ(view_.list.size(), 4u);
    window_->Close(); // the end of the program tries again
    EXPECT_EQ(FileRecords(Path()).size(), 4u);
}

TEST_F(SavedSignalsTest, DeleteRemovesTheSelectedEntryFromTheFile) {
    Start({Sine("a"), Sine("b"), Sine("c")});
    window_->DeleteClick(1);
    EXPECT_EQ(view_.list, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(Names(FileRecords(Path())), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(view_[SavedSignalLabel::SaveName].text, "a");
}

TEST_F(SavedSignalsTest, DeletingTheLastEntryClearsTheDetailsAndEmptiesTheFile) {
    Start({Sine("a")});
    window_->DeleteClick(0);
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(ReadBytes(Path()), "");
    EXPECT_FALSE(view_[SavedSignalLabel::SaveName].enabled);
    EXPECT_FALSE(view_[SavedSignalLabel::AmpMain].enabled);
}

TEST_F(SavedSignalsTest, DeleteWithoutSelectionChangesNothing) {
    Start({Sine("a")});
    window_->DeleteClick(-1);
    EXPECT_EQ(Names(FileRecords(Path())), std::vector<std::string>{"a"});
    EXPECT_FALSE(view_[SavedSignalLabel::SaveName].enabled);
}

TEST_F(SavedSignalsTest, RenameTakes29CharactersAndIgnores30) {
    Start({Sine("a"), Sine("b")});
    const std::string name29(29, 'n');
    window_->NameEnter(1, name29);
    EXPECT_EQ(view_.list, (std::vector<std::string>{"a", name29}));
    EXPECT_EQ(Names(FileRecords(Path())), (std::vector<std::string>{"a", name29}));

    window_->NameEnter(1, std::string(30, 'm'));
    window_->NameEnter(0, "");
    EXPECT_EQ(Names(FileRecords(Path())), (std::vector<std::string>{"a", name29}));
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u) << "ignored without a message";
}

TEST_F(SavedSignalsTest, ApplyTakesEveryFieldOverInOrder) {
    SignalRecord r = Sine("r");
    r.type = 2;
    r.polarity = 0;
    r.playOnce = 1;
    Start({r});
    EXPECT_TRUE(window_->ApplyClick());
    EXPECT_EQ(host_.steps,
              (std::vector<std::string>{"filter 1 type 2", "amplitude 2.500000",
                                        "frequency 1000.000000", "duration 0.001000",
                                        "offset -1.500000", "single 1", "polarity 0, all shown"}));
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
}

TEST_F(SavedSignalsTest, ApplyWithAFrequencyAboveTheClockStopsAfterTheAmplitude) {
    // Shown while the board allowed the frequency; applied after a driver with a
    // lower maximum clock was chosen.
    SignalRecord r = Sine("r");
    r.frequency = 5e7;
    Start({r, Sine("other")});
    ASSERT_EQ(host_.dialogs.ShownCount(), 0u);
    const std::string original = ReadBytes(Path());
    host_.maxClock = 1e7;

    EXPECT_FALSE(window_->ApplyClick());
    EXPECT_EQ(host_.steps, (std::vector<std::string>{"filter 1 type 1", "amplitude 2.500000"}));
    EXPECT_TRUE(ErasedMessageShown());
    EXPECT_FALSE(window_->StoreValid());
    EXPECT_TRUE(view_.list.empty());
    EXPECT_EQ(ReadBytes(Path()), "");
    EXPECT_EQ(ReadBytes(BadCopy()), original);
}

TEST_F(SavedSignalsTest, ApplyUsesTheEntryLastShown) {
    SignalRecord second = Sine("second", 6);
    Start({Sine("first"), second});
    window_->ListClick(1);
    EXPECT_TRUE(window_->ApplyClick());
    ASSERT_GE(host_.steps.size(), 2u);
    EXPECT_EQ(host_.steps[1], "amplitude 6.000000");
}

TEST_F(SavedSignalsTest, ApplyOnAnEmptyStoreDoesNothing) {
    window_->Open(Path());
    EXPECT_FALSE(window_->ApplyClick());
    EXPECT_TRUE(host_.steps.empty());
    EXPECT_EQ(host_.dialogs.ShownCount(), 0u);
}

} // namespace
