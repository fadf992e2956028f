#pragma once
// Records and files for the tests of the saved-signal store.

#include "app/params/cslparams.h"
#include "tests/app/params/temp_folder.h"

#include <csignal>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <vector>

namespace storetest {

// A valid sine record with the given name.
inline params::SignalRecord Sine(std::string_view name, double amplitude = 2.5) {
    params::SignalRecord r = params::EmptySignalRecord();
    params::SetRecordName(r, name);
    r.type = 1;
    r.amplitude = amplitude;
    r.frequency = 1000;
    r.duration = 0.001;
    r.offset = -1.5;
    r.filter = 1;
    r.polarity = 2;
    r.playOnce = 0;
    return r;
}

inline std::string Bytes(const std::vector<params::SignalRecord>& records) {
    return std::string(reinterpret_cast<const char*>(records.data()),
                       records.size() * sizeof(params::SignalRecord));
}

inline std::vector<std::string> Names(const std::vector<params::SignalRecord>& records) {
    std::vector<std::string> names;
    for (const auto& r : records) {
        names.push_back(params::RecordName(r));
    }
    return names;
}

// The records a file holds, read by a fresh store.
inline std::vector<params::SignalRecord> FileRecords(const std::string& path) {
    params::SignalRecordStore store;
    store.Open(path);
    return store.Records();
}

// While it lives, a write that makes a file larger than `bytes` fails (EFBIG)
// instead of raising SIGXFSZ: a disk that is full for this process only.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

} // namespace storetest
