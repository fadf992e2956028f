// Fuzz target of the saved-signal store: any bytes as "generator.sav" must load
// (from memory and from a file) without a crash and without a read outside the
// data, and every record must survive the operations the window runs on it: name,
// validity, Get, Rename, InsertAt and RemoveAt. (Writing is left out: its flush to
// the disk would make each run slow, and it reads nothing from the input.)
//
// Built two ways (tests/CMakeLists.txt, add_fuzz_target): as a libFuzzer program in
// a fuzzing tree, and with any compiler as a replay program that runs the seed
// corpus in tests/fuzz/fuzz_signal_store/ and fixed mutations of it as a test.

#include "app/params/cslparams.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One file in memory per process (memfd), rewritten for every input and opened by
// its /proc path: a real file to the store, without a disk to wait for.
class Scratch {
public:
    Scratch() : fd_(::memfd_create("generator.sav", MFD_CLOEXEC)) {
        if (fd_ >= 0) {
            path_ = "/proc/self/fd/" + std::to_string(fd_);
        }
    }
    ~Scratch() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // The file's path, empty when no file could be made.
    const std::string& Write(std::string_view bytes) {
        if (fd_ >= 0 && ::ftruncate(fd_, 0) == 0) {
            std::size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                           static_cast<off_t>(done));
                if (n <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(n);
            }
        }
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

void Exercise(params::SignalRecordStore& store, std::string_view bytes) {
    const int count = store.Count();
    int valid = 0;
    for (int p = 1; p <= count; ++p) {
        params::SignalRecord r{};
        if (store.Get(r, p) != 1) {
            std::abort(); // every position within the count must answer
        }
        const std::string name = params::RecordName(r);
        if (name.size() > sizeof r.name) {
            std::abort();
        }
        valid += params::IsValidRecord(r, 1e8) ? 1 : 0;
    }
    // Operations at positions taken from the input, in and out of range.
    const auto position = [&](std::size_t at) {
        return at < bytes.size() ? static_cast<int>(static_cast<int8_t>(bytes[at])) : count;
    };
    params::SignalRecord copy = params::EmptySignalRecord();
    store.Current(copy);
    store.Rename(bytes.substr(0, static_cast<std::size_t>(position(1) & 63)), position(2));
    store.InsertAt(copy, position(3));
    store.RemoveAt(position(4));
    store.Select(position(5));
    store.Append(copy);
    if (store.Count() < 0 || valid > count) {
        std::abort();
    }
}

} // namespace

// The file path must really load, or the target would test only the memory path.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    params::SignalRecord records[2] = {params::EmptySignalRecord(), params::EmptySignalRecord()};
    records[1].type = 1;
    params::SignalRecordStore probe;
    if (probe.Open(TheScratch().Write(
            std::string_view(reinterpret_cast<const char*>(records), sizeof records))) != 1 ||
        probe.Count() != 2) {
        std::fprintf(stderr, "fuzz_signal_store: the scratch file does not load\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    params::SignalRecordStore memory;
    memory.LoadBytes(bytes);
    Exercise(memory, bytes);

    params::SignalRecordStore file;
    const int loaded = file.Open(TheScratch().Write(bytes));
    if (loaded == 1 && file.Count() != static_cast<int>(size / sizeof(params::SignalRecord))) {
        std::abort();
    }
    Exercise(file, bytes);
    return 0;
}
