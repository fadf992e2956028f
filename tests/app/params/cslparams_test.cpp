// The saved-signal store: the record's bytes, loading and writing "generator.sav",
// the list operations with their bounds, and the validity ranges.

#include "app/params/cslparams.h"
#include "tests/app/params/signal_store_support.h"
#include "tests/app/params/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using params::SignalRecord;
using params::SignalRecordStore;
using storetest::Bytes;
using storetest::Names;
using storetest::Sine;

namespace {

class StoreFile : public ::testing::Test {
protected:
    std::string Path() const { return folder_.File("generator.sav"); }
    // A store opened on a file holding `records`.
    SignalRecordStore Opened(const std::vector<SignalRecord>& records) {
        WriteBytes(Path(), Bytes(records));
        SignalRecordStore store;
        EXPECT_EQ(store.Open(Path()), 1);
        return store;
    }

    TempFolder folder_;
};

TEST(SignalRecordBytes, FieldsSitAtTheirFileOffsetsLittleEndian) {
    std::string bytes(88, '\x5A'); // padding and name tail: any value is accepted
    std::memcpy(bytes.data(), "abc\0", 4);
    const auto put = [&](std::size_t at, const auto& value) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    };
    put(32, int32_t{3});
    put(40, 7.25);
    put(48, 12500.0);
    put(56, 0.125);
    put(64, -19.5);
    bytes[72] = 1;
    put(76, int32_t{1});
    bytes[80] = 1;
    // The little-endian encoding of the type, spelled out.
    EXPECT_EQ(bytes.substr(32, 4), std::string("\x03\x00\x00\x00", 4));

    SignalRecordStore store;
    ASSERT_EQ(store.LoadBytes(bytes), 1);
    SignalRecord r{};
    ASSERT_EQ(store.Current(r), 1);
    EXPECT_EQ(params::RecordName(r), "abc");
    EXPECT_EQ(r.type, 3);
    EXPECT_EQ(r.amplitude, 7.25);
    EXPECT_EQ(r.frequency, 12500.0);
    EXPECT_EQ(r.duration, 0.125);
    EXPECT_EQ(r.offset, -19.5);
    EXPECT_EQ(r.filter, 1);
    EXPECT_EQ(r.polarity, 1);
    EXPECT_EQ(r.playOnce, 1);
    EXPECT_TRUE(params::IsValidRecord(r, 1e8));
}

TEST(SignalRecordBytes, ANameWithoutTerminatorEndsAfter32Bytes) {
    SignalRecord r = Sine("x");
    std::memset(r.name, 'n', sizeof r.name);
    EXPECT_EQ(params::RecordName(r), std::string(32, 'n'));
}

TEST(SignalRecordBytes, RenamingZerosTheRestOfTheName) {
    SignalRecord r = params::EmptySignalRecord();
    std::memset(r.name, 'x', sizeof r.name);
    ASSERT_TRUE(params::SetRecordName(r, "ab"));
    EXPECT_EQ(std::string(r.name, 32), std::string("ab") + std::string(30, '\0'));
}

// Loading by file size: records are size / 88; a file shorter than one record
// holds none and leaves the store as it was.
struct SizeCase {
    std::size_t size;
    int result;
    int count; // after loading into a store that held two records
};

class LoadBySize : public StoreFile, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(LoadBySize, CountsWholeRecords) {
    const SizeCase c = GetParam();
    SignalRecordStore store = Opened({Sine("old0"), Sine("old1")});
    store.Select(2);
    std::string bytes = Bytes({Sine("new0"), Sine("new1"), Sine("new2")});
    bytes.resize(c.size, '\x7F');
    WriteBytes(Path(), bytes);

    EXPECT_EQ(store.Load(), c.result);
    EXPECT_EQ(store.Count(), c.count);
    if (c.result == 1) {
        EXPECT_EQ(store.CurrentPosition(), 1);
        SignalRecord current{};
        store.Current(current);
        EXPECT_EQ(params::RecordName(current), "new0");
    } else {
        EXPECT_EQ(Names(store.Records()), (std::vector<std::string>{"old0", "old1"}));
        EXPECT_EQ(store.CurrentPosition(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LoadBySize,
                         ::testing::Values(SizeCase{0, 0, 2}, SizeCase{50, 0, 2},
                                           SizeCase{87, 0, 2}, SizeCase{88, 1, 1},
                                           SizeCase{100, 1, 1}, SizeCase{175, 1, 1},
                                           SizeCase{176, 1, 2}, SizeCase{264, 1, 3}));

TEST_F(StoreFile, AMissingFileFailsToLoadAndLeavesTheStoreEmpty) {
    SignalRecordStore store;
    EXPECT_EQ(store.Open(Path()), -1);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.HasTable());
    EXPECT_EQ(store.Path(), Path()); // a later write creates it
}

TEST_F(StoreFile, A100ByteFileIsRewrittenAsOneWholeRecord) {
    std::string bytes = Bytes({Sine("only")});
    bytes.append(12, '\x11');
    WriteBytes(Path(), bytes);
    SignalRecordStore store;
    ASSERT_EQ(store.Open(Path()), 1);
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.Close(), 1);
    EXPECT_EQ(ReadBytes(Path()), bytes.substr(0, 88));
}

TEST_F(StoreFile, WriteReplacesTheFileWithTheRecordsInListOrder) {
    SignalRecordStore store = Opened({Sine("a"), Sine("b")});
    ASSERT_EQ(store.Append(Sine("c", 9)), 1);
    ASSERT_EQ(store.InsertAt(Sine("first"), 1), 1);
    ASSERT_EQ(store.Write(), 1);
    EXPECT_EQ(ReadBytes(Path()), Bytes(store.Records()));
    EXPECT_EQ(Names(storetest::FileRecords(Path())),
              (std::vector<std::string>{"first", "a", "b", "c"}));
    EXPECT_EQ(folder_.EntryCount(), 1u) << "no temporary file is left";
}

TEST_F(StoreFile, WriteWithoutATableLeavesAnEmptyFile) {
    SignalRecordStore store = Opened({Sine("a")});
    store.Clear();
    EXPECT_EQ(store.Write(), -1);
    EXPECT_EQ(ReadBytes(Path()), "");
}

TEST_F(StoreFile, WriteOfAStoreEmptiedByRemovalSucceedsWithNoBytes) {
    SignalRecordStore store = Opened({Sine("a")});
    ASSERT_EQ(store.RemoveAt(1), 1);
    EXPECT_EQ(store.Write(), 1);
    EXPECT_EQ(ReadBytes(Path()), "");
}

TEST_F(StoreFile, AFailedWriteKeepsTheOldFileWhole) {
    SignalRecordStore store = Opened({Sine("a"), Sine("b")});
    const std::string old = ReadBytes(Path());
    for (int i = 0; i < 10; ++i) {
        store.Append(Sine("more"));
    }
    {
        const storetest::FileSizeLimit full(300); // room for three records
        EXPECT_EQ(store.Write(), -2);
    }
    EXPECT_EQ(ReadBytes(Path()), old);
    EXPECT_EQ(folder_.EntryCount(), 1u) << "the temporary file is removed";
    EXPECT_EQ(store.Write(), 1); // the next write with room succeeds
    EXPECT_EQ(storetest::FileRecords(Path()).size(), 12u);
}

TEST_F(StoreFile, ATooLongPathLeavesTheStoreWithoutAFile) {
    const std::string longPath =
        folder_.Path() + "/" + std::string(params::kMaxStorePathLength, 'a');
    SignalRecordStore store;
    EXPECT_EQ(store.Open(longPath), -1);
    EXPECT_EQ(store.Path(), "");
    store.Append(Sine("a"));
    EXPECT_EQ(store.Write(), -1);
    EXPECT_EQ(folder_.EntryCount(), 0u);
}

TEST_F(StoreFile, ALoadThatFailsAfterAnEarlierLoadKeepsNothingStale) {
    SignalRecordStore store = Opened({Sine("a"), Sine("b")});
    ASSERT_EQ(store.Open(folder_.File("missing.sav")), -1);
    EXPECT_EQ(store.Count(), 0);
    SignalRecord current{};
    store.Current(current);
    EXPECT_EQ(params::RecordName(current), "") << "the current copy belongs to the old file";
}

TEST(StoreSelect, PositionsOutsideOneToCountFail) {
    SignalRecordStore store;
    store.LoadBytes(Bytes({Sine("a"), Sine("b"), Sine("c")}));
    SignalRecord r = Sine("untouched");
    for (const int p : {-1, 0, 4}) {
        EXPECT_EQ(store.Get(r, p), -1) << p;
        EXPECT_EQ(params::RecordName(r), "untouched");
    }
    EXPECT_EQ(store.Get(r, 3), 1);
    EXPECT_EQ(params::RecordName(r), "c");
    EXPECT_EQ(store.CurrentPosition(), 3);
}

// InsertAt in a store of a, b, c: where the new record lands.
struct InsertCase {
    int position;
    int result;
    std::vector<std::string> names;
};

class StoreInsert : public ::testing::TestWithParam<InsertCase> {};

TEST_P(StoreInsert, PlacesTheRecordAndKeepsTheCurrentPosition) {
    const InsertCase c = GetParam();
    SignalRecordStore store;
    store.LoadBytes(Bytes({Sine("a"), Sine("b"), Sine("c")}));
    store.Select(2);
    EXPECT_EQ(store.InsertAt(Sine("new"), c.position), c.result);
    EXPECT_EQ(Names(store.Records()), c.names);
    EXPECT_EQ(store.CurrentPosition(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, StoreInsert,
    ::testing::Values(InsertCase{-1, -1, {"a", "b", "c"}},
                      InsertCase{0, 1, {"new", "a", "b", "c"}}, // not before the table
                      InsertCase{1, 1, {"new", "a", "b", "c"}},
                      InsertCase{2, 1, {"a", "new", "b", "c"}},
                      InsertCase{3, 1, {"a", "b", "c", "new"}}, // p = count: after all
                      InsertCase{4, -1, {"a", "b", "c"}}));

TEST(StoreInsert, AnEmptyStoreWithoutTableTakesOnlyPositionZero) {
    SignalRecordStore store;
    EXPECT_EQ(store.InsertAt(Sine("a"), 1), -1);
    EXPECT_EQ(store.Append(Sine("a")), 1);
    EXPECT_TRUE(store.HasTable());
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.CurrentPosition(), 0);
}

// RemoveAt in a store of a, b, c with a current record.
struct RemoveCase {
    int current;
    int removed;
    int result;
    int currentAfter;
    std::vector<std::string> names;
};

class StoreRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(StoreRemove, MovesTheRestUpAndKeepsACurrentRecord) {
    const RemoveCase c = GetParam();
    SignalRecordStore store;
    store.LoadBytes(Bytes({Sine("a"), Sine("b"), Sine("c")}));
    store.Select(c.current);
    EXPECT_EQ(store.RemoveAt(c.removed), c.result);
    EXPECT_EQ(store.CurrentPosition(), c.currentAfter);
    EXPECT_EQ(Names(store.Records()), c.names);
}

INSTANTIATE_TEST_SUITE_P(Positions, StoreRemove,
                         ::testing::Values(RemoveCase{3, 3, 1, 2, {"a", "b"}}, // the previous one
                                           RemoveCase{2, 2, 1, 1, {"a", "c"}}, //
                                           RemoveCase{1, 1, 1, 1, {"b", "c"}}, // the new first one
                                           RemoveCase{3, 1, 1, 2, {"b", "c"}}, // still "c"
                                           RemoveCase{1, 3, 1, 1, {"a", "b"}}, //
                                           RemoveCase{2, 0, -1, 2, {"a", "b", "c"}}, //
                                           RemoveCase{2, 4, -1, 2, {"a", "b", "c"}}));

TEST(StoreRemove, TheLastRecordLeavesNoCurrentPosition) {
    SignalRecordStore store;
    store.LoadBytes(Bytes({Sine("a")}));
    EXPECT_EQ(store.RemoveAt(1), 1);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.CurrentPosition(), 0);
    EXPECT_EQ(store.RemoveAt(1), -1);
    SignalRecordStore noTable;
    EXPECT_EQ(noTable.RemoveAt(1), -1);
}

TEST(StoreRename, TakesUpTo29Characters) {
    SignalRecordStore store;
    store.LoadBytes(Bytes({Sine("a"), Sine("b")}));
    const std::string name29(29, 'x');
    EXPECT_EQ(store.Rename(name29, 2), 1);
    EXPECT_EQ(params::RecordName(store.Records()[1]), name29);
    EXPECT_EQ(store.Rename(std::string(30, 'y'), 2), -1);
    EXPECT_EQ(params::RecordName(store.Records()[1]), name29);
    EXPECT_EQ(store.Rename("z", 0), -1);
    EXPECT_EQ(store.Rename("z", 3), -1);
    // A Cyrillic letter is two bytes: 14 fit, 15 do not.
    std::string cyrillic;
    for (int i = 0; i < 15; ++i) {
        cyrillic += "ж";
    }
    EXPECT_EQ(store.Rename(cyrillic, 1), -1);
    EXPECT_EQ(store.Rename(cyrillic.substr(0, 28), 1), 1);
}

// Validity: one field changed from a valid record at a time.
struct ValidityCase {
    const char* what;
    void (*change)(SignalRecord&);
    bool valid;
};

constexpr double kMaxClock = 1e8;

class RecordValidity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(RecordValidity, EveryFieldWithinItsRange) {
    SignalRecord r = Sine("r");
    GetParam().change(r);
    EXPECT_EQ(params::IsValidRecord(r, kMaxClock), GetParam().valid) << GetParam().what;
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Fields, RecordValidity,
    ::testing::Values(
        ValidityCase{"amplitude 10", [](SignalRecord& r) { r.amplitude = 10; }, true},
        ValidityCase{"amplitude 0", [](SignalRecord& r) { r.amplitude = 0; }, true},
        ValidityCase{"amplitude 10.5", [](SignalRecord& r) { r.amplitude = 10.5; }, false},
        ValidityCase{"amplitude -0.1", [](SignalRecord& r) { r.amplitude = -0.1; }, false},
        ValidityCase{"amplitude NaN", [](SignalRecord& r) { r.amplitude = NaN; }, false},
        ValidityCase{"duration 40", [](SignalRecord& r) { r.duration = 40; }, true},
        ValidityCase{"duration 40.001", [](SignalRecord& r) { r.duration = 40.001; }, false},
        ValidityCase{"offset -20", [](SignalRecord& r) { r.offset = -20; }, true},
        ValidityCase{"offset 20", [](SignalRecord& r) { r.offset = 20; }, true},
        ValidityCase{"offset 20.5", [](SignalRecord& r) { r.offset = 20.5; }, false},
        ValidityCase{"offset -inf",
                     [](SignalRecord& r) { r.offset = -std::numeric_limits<double>::infinity(); },
                     false},
        ValidityCase{"frequency max", [](SignalRecord& r) { r.frequency = kMaxClock; }, true},
        ValidityCase{"frequency 0", [](SignalRecord& r) { r.frequency = 0; }, true},
        ValidityCase{"frequency above max",
                     [](SignalRecord& r) { r.frequency = std::nextafter(kMaxClock, 2e8); }, false},
        ValidityCase{"frequency NaN", [](SignalRecord& r) { r.frequency = NaN; }, false},
        ValidityCase{"type 7", [](SignalRecord& r) { r.type = 7; }, true},
        ValidityCase{"type 8", [](SignalRecord& r) { r.type = 8; }, false},
        ValidityCase{"type -1", [](SignalRecord& r) { r.type = -1; }, false},
        ValidityCase{"polarity 0", [](SignalRecord& r) { r.polarity = 0; }, true},
        ValidityCase{"polarity 3", [](SignalRecord& r) { r.polarity = 3; }, false},
        ValidityCase{"polarity -1", [](SignalRecord& r) { r.polarity = -1; }, false},
        ValidityCase{"filter 2", [](SignalRecord& r) { r.filter = 2; }, false},
        ValidityCase{"playOnce 1", [](SignalRecord& r) { r.playOnce = 1; }, true},
        ValidityCase{"playOnce 255", [](SignalRecord& r) { r.playOnce = 255; }, false}));

} // namespace
