#pragma once
// Loading a simulated driver exactly as the program does (registry key under
// "Drivers", dlopen, StaticFactory, Create("IADCDevice")) in a fresh output folder
// of the test's own, with the settings and state files the test writes.

#include "app/board/iadc_device.h"
#include "component/component_loader.h"
#include "plugins/board-sim/record_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace simtest {

struct DriverKind {
    const char* name; // registry name
    int32_t firstId;  // the id that answers by default
    int32_t memory;   // default memory in samples
    bool synthesiser; // default capabilities
    bool evenLength;
    bool flash;
    bool poll;
    bool secondModule;
};

inline const std::vector<DriverKind>& Kinds() {
    static const std::vector<DriverKind> kinds{
        {"KORD77PCI", 0, 1 << 20, true, false, false, false, false},
        {"KORD77USB", 0, 1 << 20, true, true, true, true, true},
        {"KORD77ISA", 0x300, 1 << 16, false, false, false, false, false},
    };
    return kinds;
}

inline std::string KindName(const testing::TestParamInfo<DriverKind>& info) {
    return info.param.name;
}

// A clock of the default table: 1e8 / 64 = 1 562 500 Hz.
inline constexpr double TableClock = 1e8 / 64;

// 1e8 / 2^k Hz, k = 0..14: the default clock table.
inline std::vector<double> DefaultClocks() {
    std::vector<double> clocks;
    for (int k = 0; k <= 14; ++k)
        clocks.push_back(1e8 / std::ldexp(1.0, k));
    return clocks;
}

// Sets KORD77_SIM_OUT to a fresh folder and clears KORD77_SIM_CONFIG and
// KORD77_SIM_STATE for the lifetime of the object.
class SimFolder {
public:
    SimFolder() {
        std::string pattern = testing::TempDir() + "board-sim-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        ::setenv("KORD77_SIM_OUT", path_.c_str(), 1);
        ::unsetenv("KORD77_SIM_CONFIG");
        ::unsetenv("KORD77_SIM_STATE");
    }
    ~SimFolder() {
        ::unsetenv("KORD77_SIM_OUT");
        ::unsetenv("KORD77_SIM_CONFIG");
        ::unsetenv("KORD77_SIM_STATE");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    SimFolder(const SimFolder&) = delete;
    SimFolder& operator=(const SimFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // The settings file; read when a driver object is created.
    void Config(const std::string& text) {
        const auto file = path_ / "config.txt";
        Write(file, text);
        ::setenv("KORD77_SIM_CONFIG", file.c_str(), 1);
    }
    // The state file (state.txt in the output folder); read on every call.
    void State(const std::string& text) { Write(path_ / "state.txt", text); }

    boardsim::RecordRead Latest() const { return boardsim::ReadLatestRecord(path_); }
    std::vector<boardsim::JournalEntry> Journal() const {
        auto read = boardsim::ReadJournal(path_);
        EXPECT_EQ(read.error, "");
        return read.entries;
    }
    size_t RecordCount() const { return boardsim::ListRecords(path_).size(); }

private:
    static void Write(const std::filesystem::path& file, const std::string& text) {
        // Written beside and renamed, as a test changing a running board would.
        auto temporary = file;
        temporary += ".tmp";
        {
            std::ofstream out(temporary, std::ios::trunc);
            out << text;
        }
        std::filesystem::rename(temporary, file);
    }

    std::filesystem::path path_;
};

// A driver object of one kind, loaded through the registry.
class Driver {
public:
    explicit Driver(const std::string& name)
        : library_(quorvel::OpenComponent(quorvel::CategoryDrivers, name)) {
        device_ = static_cast<IADCDevice*>(library_.Create("IADCDevice"));
    }
    ~Driver() {
        if (device_ != nullptr)
            device_->Release();
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    IADCDevice* operator->() const { return device_; }
    IADCDevice* Get() const { return device_; }
    const quorvel::ComponentLibrary& Library() const { return library_; }
    // Forgets the object after the test released it itself.
    void Forget() { device_ = nullptr; }

private:
    quorvel::ComponentLibrary library_;
    IADCDevice* device_ = nullptr;
};

inline BoardSettings Settings(int32_t mode, double clock, int32_t attenuator = 0,
                              int32_t filter = 0) {
    return BoardSettings{BoardSettingsType,
                         static_cast<int32_t>(sizeof(BoardSettings)),
                         mode,
                         clock,
                         attenuator,
                         filter};
}

// A sine of `count` codes, `amplitude` codes high, `periods` periods.
inline std::vector<int16_t> Sine(size_t count, double amplitude, double periods = 1.0) {
    std::vector<int16_t> codes(count);
    for (size_t i = 0; i < count; ++i)
        codes[i] = static_cast<int16_t>(
            std::lround(amplitude * std::sin(2.0 * M_PI * periods * static_cast<double>(i) /
                                             static_cast<double>(count))));
    return codes;
}

template <class T> T Out(IADCDevice* device, int32_t code, int32_t* result = nullptr) {
    T value{};
    const int32_t answer = device->Control(code, &value);
    if (result != nullptr)
        *result = answer;
    return value;
}

} // namespace simtest
