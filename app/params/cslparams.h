#pragma once
// The saved-signal store: named sets of signal parameters kept in memory and in the
// file "generator.sav" beside the program.
//
// The file holds the 88-byte records one after another, in list order, and nothing
// else (no header, no count, no checksum). Its record count is its size divided by
// 88, rounded down; bytes after the last whole record are ignored on reading and
// dropped at the next writing. Every write replaces the file atomically (temporary
// file in the same folder, flush, rename), so a crash or a failed write keeps the
// previous file whole.
//
// Positions are 1-based; 0 means "no record". Results: 1 success, -1 failure,
// other values as stated.
//
// Main thread only.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace params {

// One stored set: the in-memory form is the on-disk form, little-endian. The
// padding is spelled out so that a record's bytes are always defined: what a file
// holds there is kept, new records get zeros.
struct SignalRecord {
    char name[32];       // zero-terminated; the terminator may be missing in a bad file
    int32_t type;        // signal type 0-7 (SignalType)
    uint8_t padding1[4]; //
    double amplitude;    // volts, 0-10 (Amplitude)
    double frequency;    // hertz, 0 to the board's maximum sample clock (Frequency)
    double duration;     // seconds, 0-40 (Duration)
    double offset;       // volts, -20 to 20 (Offset)
    uint8_t filter;      // 0 off, 1 on (FilterActive)
    uint8_t padding2[3]; //
    int32_t polarity;    // 0 positive, 1 negative, 2 bipolar (Polarity)
    uint8_t playOnce;    // 0 off, 1 single play (PlayLoop)
    uint8_t padding3[7]; //
};

static_assert(std::endian::native == std::endian::little,
              "records are copied to and from the file as they are");
static_assert(std::is_trivially_copyable_v<SignalRecord>);
static_assert(std::is_standard_layout_v<SignalRecord>);
static_assert(sizeof(SignalRecord) == 88);
static_assert(offsetof(SignalRecord, name) == 0);
static_assert(offsetof(SignalRecord, type) == 32);
static_assert(offsetof(SignalRecord, amplitude) == 40);
static_assert(offsetof(SignalRecord, frequency) == 48);
static_assert(offsetof(SignalRecord, duration) == 56);
static_assert(offsetof(SignalRecord, offset) == 64);
static_assert(offsetof(SignalRecord, filter) == 72);
static_assert(offsetof(SignalRecord, polarity) == 76);
static_assert(offsetof(SignalRecord, playOnce) == 80);

inline constexpr std::size_t kSignalRecordSize = sizeof(SignalRecord);
// Longest name Rename accepts, in bytes of UTF-8 (a name of Latin letters: 29
// characters; a Cyrillic letter takes two bytes).
inline constexpr std::size_t kMaxRecordNameLength = 29;
// Longest file path the store keeps (PATH_MAX without the terminator); a longer
// one leaves the store without a file.
inline constexpr std::size_t kMaxStorePathLength = 4095;
// The file's name beside the program.
inline constexpr std::string_view kSignalStoreFileName = "generator.sav";

// A record with every byte zero.
SignalRecord EmptySignalRecord();
// The name up to its terminator, at most 32 bytes.
std::string RecordName(const SignalRecord& record);
// Copies `name` and its terminator into the record and zeros the bytes after it;
// false (record unchanged) when the name is longer than kMaxRecordNameLength.
bool SetRecordName(SignalRecord& record, std::string_view name);

// Value ranges of a stored record. `maxClock` is the board's maximum sample clock
// (driver Control code 26). Values that are not numbers are never in range.
namespace record_check {
bool TypeAndFilter(const SignalRecord& r);
bool Amplitude(const SignalRecord& r);
bool Frequency(const SignalRecord& r, double maxClock);
bool Duration(const SignalRecord& r);
bool Offset(const SignalRecord& r);
bool PlayOnce(const SignalRecord& r);
bool Polarity(const SignalRecord& r);
} // namespace record_check

// Every field in range: the rule for showing and for applying a record.
bool IsValidRecord(const SignalRecord& record, double maxClock);

class SignalRecordStore {
public:
    SignalRecordStore() = default;

    // Empties the store, keeps `path` when it is at most kMaxStorePathLength bytes
    // (else the store has no file) and returns Load's result.
    int Open(std::string_view path);

    // Reads the file. -1: it cannot be opened; 0: it is shorter than one record
    // (the store stays as it was); -2: a short read (the store is then empty);
    // 1: the records were read, record 1 is current.
    int Load();
    // The same from bytes in memory (a file's content): 0 or 1 as above.
    int LoadBytes(std::string_view bytes);

    // Replaces the file by count x 88 bytes of records. Without a record table the
    // file is replaced by an empty one and the result is -1; -1 also when no file
    // is known or the temporary file cannot be made; -2 when writing, flushing or
    // renaming failed (the previous file is then unchanged).
    int Write();

    int Count() const { return static_cast<int>(records_.size()); }
    // The current position (0: none).
    int CurrentPosition() const { return current_; }
    bool HasTable() const { return hasTable_; }
    const std::string& Path() const { return path_; }

    // Makes p current and copies record p; fails unless 1 <= p <= Count().
    int Select(int p);
    // The copy of the current record (all zeros before the first Select). 1.
    int Current(SignalRecord& out) const;
    // Select(p), then Current.
    int Get(SignalRecord& out, int p);

    // InsertAt(record, Count()).
    int Append(const SignalRecord& record);
    // Fails unless 0 <= p <= Count() (and, when p > 0, a table exists). With
    // p = Count() the record goes after all others; with 1 <= p < Count() it takes
    // index p - 1 and the records from there move one place down; with p = 0 (and
    // records present) it goes first. The current position is not changed.
    int InsertAt(const SignalRecord& record, int p);
    // Fails unless a table exists and 1 <= p <= Count(). Removing the current
    // record makes the previous one current, or for p = 1 the new first one (none
    // when the store is then empty).
    int RemoveAt(int p);
    // Fails unless 1 <= p <= Count() and the name fits (see SetRecordName).
    int Rename(std::string_view name, int p);

    // Frees the table; count and current position become 0.
    void Clear();
    // Write, then Clear and forget the file; returns Write's result.
    int Close();

    // The records in list order.
    const std::vector<SignalRecord>& Records() const { return records_; }

private:
    std::string path_;
    std::vector<SignalRecord> records_;
    bool hasTable_ = false;
    int current_ = 0;
    SignalRecord currentCopy_ = EmptySignalRecord();
};

} // namespace params
