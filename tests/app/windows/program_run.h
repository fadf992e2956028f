#pragma once
// One run of the program for window tests: a registry file of the run's own with the
// built components and the simulated boards, a simulator folder, the settings file
// and scripted dialogs; Start() makes the windows as the program entry does.
// The test program defines the component paths (UNDULAN_LIBRARY ... KORD77ISA_LIBRARY).

#include "app/params/scripted_dialogs.h"
#include "app/windows/Gen.h"
#include "app/windows/program_windows.h"
#include "tests/app/board/sim_registry.h"
#include "ui_Gen.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace windowtest {

using simtest::SimEnvironment;

constexpr const char* kBase = "Base library";
constexpr const char* kDrivers = "Drivers";

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One run of the program: its registry, simulator folder, settings file and
// dialogs; Start() makes the windows as the program entry does.
class Run {
public:
    explicit Run(bool withViewer = true, bool withDrivers = true) {
        std::vector<SimEnvironment::Component> components{{kBase, "UndulaN", UNDULAN_LIBRARY},
                                                          {kBase, "NIVELL", NIVELL_LIBRARY}};
        if (withViewer) {
            components.push_back({kBase, "LUPEX", LUPEX_LIBRARY});
        }
        if (withDrivers) {
            components.push_back({kDrivers, "KORD77PCI", KORD77PCI_LIBRARY});
            components.push_back({kDrivers, "KORD77USB", KORD77USB_LIBRARY});
            components.push_back({kDrivers, "KORD77ISA", KORD77ISA_LIBRARY});
        }
        env.Register(components);
    }

    // The program's settings file before the start (key = value lines). A file
    // without DeviceName would mean the USB board, so the PCI board is named
    // unless the text names another.
    void Settings(const std::string& text) {
        env.Settings(text.find("DeviceName") == std::string::npos
                         ? "DeviceName = \"KORD77PCI\"\n" + text
                         : text);
    }

    ProgramWindows& Start() {
        board::StartupOptions options;
        options.dialogs = &dialogs;
        options.programPath = env.ProgramPath();
        options.files.programFolderWritable = true;
        windows = std::make_unique<ProgramWindows>(options);
        return *windows;
    }
    TForm1& Main() { return windows->Main(); }
    Ui::TForm1& Form() { return windows->Main().Form(); }
    // Destroys the windows (the main window last): the settings are saved.
    void End() { windows.reset(); }

    std::vector<params::ShownDialog> Shown() const { return dialogs.Shown(); }
    int CountShown(const std::string& textStart) const {
        int count = 0;
        for (const auto& shown : dialogs.Shown()) {
            count += shown.text.rfind(textStart, 0) == 0 ? 1 : 0;
        }
        return count;
    }
    std::vector<std::string> OpenedIds() const {
        std::vector<std::string> ids;
        for (const auto& entry : env.Calls("OpenBoard")) {
            ids.push_back(entry.driver + " " + entry.Arg("id"));
        }
        return ids;
    }

    SimEnvironment env;
    params::ScriptedDialogs dialogs;
    std::unique_ptr<ProgramWindows> windows;
};

} // namespace windowtest
