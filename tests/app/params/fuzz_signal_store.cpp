// Fuzz target of the saved-signal store: any bytes as "generator.sav" must load
// (from memory and from a file) without a crash and without a read outside the
// data, and every record must survive the operations the window runs on it: name,
// validity, Get, Rename, InsertAt and RemoveAt. (Writing is left out: its flush to
// the disk would make each run slow, and it reads nothing from the input.)
//
// Built two ways, like fuzz_config_reader: with clang as a libFuzzer program
// (fuzz_signal_store), and with any compiler as a replay program (FUZZ_REPLAY) that
// runs the files named on its command line, or else fixed seeds and a fixed set of
// their mutations.

#include "app/params/cslparams.h"

#include <cstddef>
#include <cstdint>
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

#ifdef FUZZ_REPLAY
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <vector>

namespace {

void Run(std::string_view bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string Record(int32_t type, double amplitude, double frequency, int32_t polarity) {
    params::SignalRecord r = params::EmptySignalRecord();
    params::SetRecordName(r, "signal0");
    r.type = type;
    r.amplitude = amplitude;
    r.frequency = frequency;
    r.polarity = polarity;
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        for (int a = 1; a < argc; ++a) {
            std::ifstream in(argv[a], std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            Run(bytes);
        }
        return 0;
    }
    // The file path must really load, or the replay would test only memory.
    params::SignalRecordStore probe;
    if (probe.Open(TheScratch().Write(Record(1, 1, 1, 1) + Record(2, 2, 2, 2))) != 1 ||
        probe.Count() != 2) {
        std::cerr << "the scratch file does not load\n";
        return 1;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::string> seeds{
        "",
        std::string(50, '\xff'),
        Record(1, 2.5, 1000, 2),
        Record(1, 2.5, 1000, 2) + Record(7, 10, 1e8, 0) + std::string(12, 'x'),
        Record(-1, nan, -1e308, 3) + Record(8, 10.5, 1e300, -2147483647 - 1),
        std::string(88 * 3, '\0'),
        std::string(88 * 2 + 87, 'A'),
    };
    uint32_t state = 2463534242u;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    std::size_t runs = 0;
    for (const std::string& seed : seeds) {
        Run(seed);
        ++runs;
        for (int round = 0; round < 1500; ++round) {
            std::string bytes = seed;
            const uint32_t edits = 1 + next() % 8;
            for (uint32_t e = 0; e < edits; ++e) {
                const uint32_t r = next();
                const std::size_t at = bytes.empty() ? 0 : r % bytes.size();
                switch ((r >> 24) % 4) {
                case 0:
                    if (!bytes.empty()) {
                        bytes[at] = static_cast<char>(next());
                    }
                    break;
                case 1:
                    bytes.insert(at, 1 + next() % 90, static_cast<char>(next()));
                    break;
                case 2:
                    if (!bytes.empty()) {
                        bytes.erase(at, 1 + next() % 90);
                    }
                    break;
                default:
                    bytes.resize(at); // truncated
                    break;
                }
            }
            Run(bytes);
            ++runs;
        }
    }
    std::cout << runs << " inputs read\n";
    return 0;
}
#endif
