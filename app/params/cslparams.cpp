#include "app/params/cslparams.h"

#include "app/params/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace params {

namespace {

constexpr double kMaxAmplitude = 10; // volts
constexpr double kMaxDuration = 40;  // seconds
constexpr double kOffsetLimit = 20;  // volts, either sign
constexpr int kLastSignalType = 7;   // data from a file
constexpr int kLastPolarity = 2;     // bipolar
// Count() is an int, and Append needs room for one more.
constexpr std::size_t kMaxRecordCount = static_cast<std::size_t>(INT_MAX) - 1;

// Written so that a value that is not a number fails.
bool InRange(double value, double low, double high) {
    return value >= low && value <= high;
}

// Reads exactly `size` bytes; false on an error or an early end of the file.
bool ReadExactly(int fd, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::read(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace

SignalRecord EmptySignalRecord() {
    SignalRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

std::string RecordName(const SignalRecord& record) {
    const char* end = std::find(std::begin(record.name), std::end(record.name), '\0');
    return std::string(std::begin(record.name), end);
}

bool SetRecordName(SignalRecord& record, std::string_view name) {
    if (name.size() > kMaxRecordNameLength) {
        return false;
    }
    std::memset(record.name, 0, sizeof record.name);
    std::memcpy(record.name, name.data(), name.size());
    return true;
}

namespace record_check {
bool TypeAndFilter(const SignalRecord& r) {
    return r.type >= 0 && r.type <= kLastSignalType && r.filter <= 1;
}
bool Amplitude(const SignalRecord& r) {
    return InRange(r.amplitude, 0, kMaxAmplitude);
}
bool Frequency(const SignalRecord& r, double maxClock) {
    return InRange(r.frequency, 0, maxClock);
}
bool Duration(const SignalRecord& r) {
    return InRange(r.duration, 0, kMaxDuration);
}
bool Offset(const SignalRecord& r) {
    return InRange(r.offset, -kOffsetLimit, kOffsetLimit);
}
bool PlayOnce(const SignalRecord& r) {
    return r.playOnce <= 1;
}
bool Polarity(const SignalRecord& r) {
    return r.polarity >= 0 && r.polarity <= kLastPolarity;
}
} // namespace record_check

bool IsValidRecord(const SignalRecord& record, double maxClock) {
    using namespace record_check;
    return TypeAndFilter(record) && Amplitude(record) && Frequency(record, maxClock) &&
           Duration(record) && Offset(record) && PlayOnce(record) && Polarity(record);
}

int SignalRecordStore::Open(std::string_view path) {
    Clear();
    currentCopy_ = EmptySignalRecord();
    path_ = path.size() <= kMaxStorePathLength ? std::string(path) : std::string();
    return Load();
}

int SignalRecordStore::Load() {
    if (path_.empty()) {
        return -1;
    }
    const FileHandle file(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return -1;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    const std::size_t count = size / kSignalRecordSize;
    if (count == 0) {
        return 0;
    }
    Clear();
    if (count > kMaxRecordCount) {
        return -2;
    }
    std::vector<SignalRecord> records;
    try {
        records.resize(count);
        records.reserve(count + 1);
    } catch (const std::bad_alloc&) {
        return -2;
    }
    if (!ReadExactly(file.Get(), reinterpret_cast<char*>(records.data()),
                     count * kSignalRecordSize)) {
        return -2;
    }
    records_ = std::move(records);
    hasTable_ = true;
    Select(1);
    return 1;
}

int SignalRecordStore::LoadBytes(std::string_view bytes) {
    const std::size_t count = bytes.size() / kSignalRecordSize;
    if (count == 0) {
        return 0;
    }
    Clear();
    records_.resize(count);
    std::memcpy(records_.data(), bytes.data(), count * kSignalRecordSize);
    hasTable_ = true;
    Select(1);
    return 1;
}

int SignalRecordStore::Write() {
    if (path_.empty()) {
        return -1;
    }
    AtomicFile file;
    if (!file.Create(path_)) {
        return -1;
    }
    if (!hasTable_) {
        return file.Commit() ? -1 : -2;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(records_.data()),
                                 records_.size() * kSignalRecordSize);
    if (!file.Write(bytes) || !file.Commit()) {
        return -2;
    }
    return 1;
}

int SignalRecordStore::Select(int p) {
    if (p < 1 || p > Count()) {
        return -1;
    }
    current_ = p;
    currentCopy_ = records_[static_cast<std::size_t>(p - 1)];
    return 1;
}

int SignalRecordStore::Current(SignalRecord& out) const {
    out = currentCopy_;
    return 1;
}

int SignalRecordStore::Get(SignalRecord& out, int p) {
    if (Select(p) != 1) {
        return -1;
    }
    return Current(out);
}

int SignalRecordStore::Append(const SignalRecord& record) {
    return InsertAt(record, Count());
}

int SignalRecordStore::InsertAt(const SignalRecord& record, int p) {
    if (p < 0 || p > Count() || (p > 0 && !hasTable_)) {
        return -1;
    }
    if (static_cast<std::size_t>(Count()) >= kMaxRecordCount) {
        return -1;
    }
    try {
        const std::size_t index = (p == Count() || p == 0) ? static_cast<std::size_t>(p)
                                                           : static_cast<std::size_t>(p - 1);
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(index), record);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    hasTable_ = true;
    return 1;
}

int SignalRecordStore::RemoveAt(int p) {
    if (!hasTable_ || p < 1 || p > Count()) {
        return -1;
    }
    records_.erase(records_.begin() + (p - 1));
    if (p == current_) {
        if (p > 1) {
            current_ = p - 1;
        } else {
            current_ = records_.empty() ? 0 : 1;
        }
    } else if (p < current_) {
        // The current record moved one place up with the others.
        --current_;
    }
    return 1;
}

int SignalRecordStore::Rename(std::string_view name, int p) {
    if (p < 1 || p > Count()) {
        return -1;
    }
    return SetRecordName(records_[static_cast<std::size_t>(p - 1)], name) ? 1 : -1;
}

void SignalRecordStore::Clear() {
    records_.clear();
    records_.shrink_to_fit();
    hasTable_ = false;
    current_ = 0;
}

int SignalRecordStore::Close() {
    const int result = Write();
    Clear();
    path_.clear();
    return result;
}

} // namespace params
