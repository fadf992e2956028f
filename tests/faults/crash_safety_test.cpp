// The program killed while it saves: a child process saves "generator.cfg" (the
// settings) or "generator.sav" (the signal store) over and over, alternating
// between two contents, and is killed with SIGKILL at a random moment, a few
// hundred times. After every kill the file on disk must be exactly one of the two
// complete contents: never missing, empty, cut short or mixed.

#include "app/params/cslparams.h"
#include "app/params/settings.h"
#include "tests/app/params/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Saves one of two versions of a file: Save(path, version) returns true on success.
struct SavedFile {
    const char* name; // the file's name
    std::function<bool(const std::string&, int)> save;
};

params::Settings SettingsVersion(int version) {
    params::Settings settings = params::DefaultSettings({0, 0, 348, 265});
    if (version == 1) {
        settings.deviceName = "KORD77USB";
        settings.english = !settings.english;
        settings.amplitude = 7.25;
        settings.frequency = 12345.5;
    }
    return settings;
}

bool SaveSignals(const std::string& path, int version) {
    params::SignalRecordStore store;
    store.Open(path);
    while (store.Count() > 0) {
        store.RemoveAt(store.Count());
    }
    for (int i = 0; i < 3 + 2 * version; ++i) {
        params::SignalRecord record = params::EmptySignalRecord();
        params::SetRecordName(record, "signal" + std::to_string(version) + "-" + std::to_string(i));
        record.type = 1 + i % 6;
        record.amplitude = 0.5 * (i + 1);
        record.frequency = 1000.0 * (version + 1);
        store.Append(record);
    }
    return store.Write() == 1;
}

const SavedFile kFiles[] = {
    {"generator.cfg",
     [](const std::string& path, int version) {
         return params::SaveSettings(SettingsVersion(version), path) == 0;
     }},
    {"generator.sav", SaveSignals},
};

class CrashSafety : public testing::TestWithParam<SavedFile> {};

TEST_P(CrashSafety, AKilledSaveLeavesTheOldOrTheNewFile) {
    const SavedFile& file = GetParam();
    TempFolder folder;
    const fs::path path = fs::path(folder.Path()) / file.name;

    // The two complete contents, saved once each where nothing interrupts them.
    std::string contents[2];
    for (int version = 0; version < 2; ++version) {
        const fs::path reference =
            fs::path(folder.Path()) / ("reference-" + std::to_string(version));
        ASSERT_TRUE(file.save(reference.string(), version));
        contents[version] = ReadAll(reference);
        ASSERT_FALSE(contents[version].empty());
    }
    ASSERT_NE(contents[0], contents[1]);
    ASSERT_TRUE(file.save(path.string(), 0));

    constexpr int kKills = 300;
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> delay(0, 12000); // microseconds
    for (int k = 0; k < kKills; ++k) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int n = 0;; ++n) {
                if (!file.save(path.string(), n % 2 == 0 ? 1 : 0)) {
                    ::_exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself: " << status;

        const std::string now = ReadAll(path);
        ASSERT_TRUE(now == contents[0] || now == contents[1])
            << "after kill " << k << ": " << now.size() << " bytes, neither version";
    }
    std::cout << file.name << ": " << kKills << " kills survived\n";
}

INSTANTIATE_TEST_SUITE_P(Files, CrashSafety, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<SavedFile>& param) {
                             std::string name = param.param.name;
                             name[name.find('.')] = '_';
                             return name;
                         });

} // namespace
