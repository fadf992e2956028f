// The main of every fuzz target's replay program: runs the target's
// LLVMFuzzerTestOneInput on files, without libFuzzer, so that any compiler and every
// sanitizer build exercise the same code as the fuzzer does.
//
//   name_replay PATH...            every file named, and every file in each folder
//                                  named, then a fixed set of mutations of each
//   name_replay -rounds=N PATH...  N mutations per file (default 1000)
//   name_replay -rounds=0 FILE     only that file, as it is (to reproduce a crash)
//
// The mutations are the same on every run (a fixed seed), so a failure reproduces.
// A target that needs one-time set-up defines LLVMFuzzerInitialize, as for libFuzzer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

void Run(const std::string& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// xorshift32: small, fast and the same everywhere.
class Random {
public:
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : Next() % n; }

private:
    uint32_t state_ = 2463534242u;
};

// One to eight edits of `seed`: a byte changed, a run of bytes copied from elsewhere
// in the seed (which keeps its keywords, quotes and record sizes in play) or made
// random, a run erased, a run repeated, or the input cut short.
std::string Mutate(const std::string& seed, Random& random) {
    std::string bytes = seed;
    const std::size_t edits = 1 + random.Below(8);
    for (std::size_t e = 0; e < edits; ++e) {
        const std::size_t at = random.Below(bytes.size());
        const std::size_t length = 1 + random.Below(random.Below(2) == 0 ? 4 : 96);
        switch (random.Below(6)) {
        case 0:
            if (!bytes.empty()) {
                bytes[at] = static_cast<char>(random.Next());
            }
            break;
        case 1:
            if (!seed.empty()) {
                const std::size_t from = random.Below(seed.size());
                bytes.insert(at, seed, from, length);
            }
            break;
        case 2: {
            std::string noise(length, '\0');
            for (char& c : noise) {
                c = static_cast<char>(random.Next());
            }
            bytes.insert(at, noise);
            break;
        }
        case 3:
            if (!bytes.empty()) {
                bytes.erase(at, length);
            }
            break;
        case 4:
            if (!bytes.empty()) {
                bytes.insert(at, bytes.substr(at, length));
            }
            break;
        default:
            bytes.resize(at);
            break;
        }
    }
    return bytes;
}

// The files named: plain files as given, folders by their regular files in name order.
std::vector<fs::path> Inputs(const std::vector<std::string>& names) {
    std::vector<fs::path> files;
    for (const std::string& name : names) {
        if (fs::is_directory(name)) {
            std::vector<fs::path> inFolder;
            for (const fs::directory_entry& entry : fs::directory_iterator(name)) {
                if (entry.is_regular_file()) {
                    inFolder.push_back(entry.path());
                }
            }
            std::sort(inFolder.begin(), inFolder.end());
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else {
            files.emplace_back(name);
        }
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    long rounds = 1000;
    std::vector<std::string> names;
    for (int a = 1; a < argc; ++a) {
        const std::string_view arg = argv[a];
        if (arg.starts_with("-rounds=")) {
            rounds = std::strtol(argv[a] + 8, nullptr, 10);
        } else {
            names.emplace_back(arg);
        }
    }
    const std::vector<fs::path> files = Inputs(names);
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s [-rounds=N] FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    Random random;
    std::size_t runs = 0;
    for (const fs::path& file : files) {
        if (!fs::is_regular_file(file)) {
            std::fprintf(stderr, "%s: not a file\n", file.c_str());
            return 2;
        }
        const std::string seed = ReadAll(file);
        Run(seed);
        ++runs;
        for (long round = 0; round < rounds; ++round) {
            Run(Mutate(seed, random));
            ++runs;
        }
    }
    std::printf("%zu inputs from %zu files\n", runs, files.size());
    return 0;
}
