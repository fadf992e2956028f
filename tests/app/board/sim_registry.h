#pragma once
// A registry file and a simulator folder of a test's own: the registry names only
// the components the test wants (paths of the built libraries come from the build
// as compile definitions), and KORD77_SIM_OUT / KORD77_SIM_CONFIG point into a
// fresh folder. Both environment variables are restored when the object goes.

#include "plugins/board-sim/record_reader.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace simtest {

class SimEnvironment {
public:
    SimEnvironment() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "generator-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        folder_ = pattern;
        std::filesystem::create_directories(folder_ / "sim");
        for (const char* name :
             {"QUORVEL_REGISTRY", "KORD77_SIM_OUT", "KORD77_SIM_CONFIG", "KORD77_SIM_STATE"}) {
            const char* value = std::getenv(name);
            saved_[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
        ::setenv("QUORVEL_REGISTRY", Registry().c_str(), 1);
        ::setenv("KORD77_SIM_OUT", SimFolder().c_str(), 1);
        ::unsetenv("KORD77_SIM_CONFIG");
        ::unsetenv("KORD77_SIM_STATE");
    }
    ~SimEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SimEnvironment(const SimEnvironment&) = delete;
    SimEnvironment& operator=(const SimEnvironment&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    std::string Registry() const { return (folder_ / "registry.reg").string(); }
    std::filesystem::path SimFolder() const { return folder_ / "sim"; }
    // A program path in the test's folder: "generator.cfg" lives beside it.
    std::string ProgramPath() const { return (folder_ / "generator").string(); }
    std::filesystem::path SettingsFile() const { return folder_ / "generator.cfg"; }

    // Registers components: {category, name, library path}.
    struct Component {
        const char* category; // "Base library" or "Drivers"
        const char* name;
        const char* library;
    };
    void Register(const std::vector<Component>& components) const {
        std::ofstream out(Registry(), std::ios::trunc);
        for (const Component& c : components) {
            out << "[SOFTWARE\\Quorvel LTD\\" << c.category << "\\1.0\\" << c.name << "]\n"
                << "\"path\"=\"" << c.library << "\"\n\n";
        }
    }

    // The simulator's settings file (read when a driver object is made).
    void Config(const std::string& text) const {
        const auto file = folder_ / "sim-config.txt";
        Write(file, text);
        ::setenv("KORD77_SIM_CONFIG", file.c_str(), 1);
    }
    // The simulator's state file (read on every driver call).
    void State(const std::string& text) const { Write(SimFolder() / "state.txt", text); }
    // The program's settings file.
    void Settings(const std::string& text) const { Write(SettingsFile(), text); }

    std::vector<boardsim::JournalEntry> Journal() const {
        return boardsim::ReadJournal(SimFolder()).entries;
    }
    // Journal lines of one operation ("OpenBoard", "StopOutput", ...).
    std::vector<boardsim::JournalEntry> Calls(const std::string& operation) const {
        std::vector<boardsim::JournalEntry> calls;
        for (auto& entry : Journal()) {
            if (entry.operation == operation) {
                calls.push_back(entry);
            }
        }
        return calls;
    }
    void ClearJournal() const {
        std::error_code ignored;
        std::filesystem::remove(SimFolder() / "journal.txt", ignored);
    }

private:
    static void Write(const std::filesystem::path& file, const std::string& text) {
        auto temporary = file;
        temporary += ".tmp";
        {
            std::ofstream out(temporary, std::ios::trunc);
            out << text;
        }
        std::filesystem::rename(temporary, file);
    }

    std::filesystem::path folder_;
    std::map<std::string, std::optional<std::string>> saved_;
};

} // namespace simtest
