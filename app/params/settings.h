#pragma once
// The program's persistent settings, the last signal parameters and the window
// positions, kept in "generator.cfg". The main window sets the start-up defaults,
// loads the file once at start-up and saves it once at program end. Every value is
// checked after reading; a key that is missing or unreadable takes its "absent"
// value, and a missing, unreadable or oversized file keeps every start-up default.

#include "app/params/config_reader.h"
#include "app/params/program_files.h"
#include "app/params/value_list.h"

#include <string>
#include <string_view>

namespace params {

inline constexpr std::string_view SettingsFileName = "generator.cfg";
inline constexpr int LanguageEnglish = 1033;
inline constexpr int LanguageRussian = 1049;

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// The main window's frame; the preview window's defaults are derived from it.
struct WindowGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Settings {
    bool english = false; // `Language`: English texts (1033) or Russian (1049)
    std::string deviceName = "KORD77PCI";
    int baseNumber = 0;   // index of the board among those found (0-based)
    int dacStartMode = 0; // external start edge: 0 falling, 4 rising
    int dacUseExt = 0;    // 0 internal start, 2 external start
    double minVolts = -10.0;
    double maxVolts = 10.0;
    double rLoad = 50.0; // ohms
    bool autoStart = false;
    bool information = false;
    bool filterActive = false;
    int signalType = 0;
    double amplitude = 0.0;          // volts
    double frequency = 0.025;        // hertz
    double frequencyD = 6103.515625; // sample clock of the file type, hertz
    double duration = 0.0;           // seconds
    double offset = 0.0;             // volts
    int blockStart = 0;
    int blockSize = 2;
    bool playLoop = false;
    int polarity = 2; // 0 positive, 1 negative, 2 bipolar
    int impulseOptimize = 1;
    int sinQuality = 3;
    int impulseQuality = 3;
    int meandrQuality = 3;
    int triangleQuality = 3;
    int sawQuality = 3;
    bool nullBits = false;
    bool data16 = true;
    bool nonSigned = false;
    bool debugInformation = false;
    bool autoView = true;
    WindowPosition mainWindow; // `Main_X`, `Main_Y`: saved from the window's position
    WindowPosition keyboard;
    WindowPosition options;
    WindowPosition additional;
    WindowPosition save;
    WindowGeometry view;  // `View_X`, `View_Y`, `View_DX`, `View_DY`
    ValueList rezistList; // load-impedance choices, ohms

    int LanguageId() const { return english ? LanguageEnglish : LanguageRussian; }
};

// The start-up defaults; the preview window sits right of the main window with the
// main window's size.
Settings DefaultSettings(const WindowGeometry& mainWindow);

// Reads every key with its check. Without data the settings stay as they are.
// `mainWindow` gives the width and height for the preview window's absent values.
// Returns 0, or -6 when reading raised an exception (values read so far stay).
int LoadSettings(Settings& settings, const ConfigReader& reader, const WindowGeometry& mainWindow);

// Writes every key in order; 0 when the file was replaced, -1 when it could not be
// created or written (the previous file then stays as it was).
int SaveSettings(const Settings& settings, const std::string& path);

// The load and save of the running program: the file lives where ProgramFilePath
// puts it (when the program's folder is read-only and the user has no file yet,
// a file beside the program is read instead). Load returns 0 when done (also when
// there is no file), -1 when the program path cannot be found or split, -6 as
// above; save returns 0 or -1.
int LoadProgramSettings(Settings& settings, const WindowGeometry& mainWindow);
int SaveProgramSettings(const Settings& settings);

// The same with an explicit program path and location context.
int LoadProgramSettings(Settings& settings, const WindowGeometry& mainWindow,
                        std::string_view programPath, const FileLocationContext& context);
int SaveProgramSettings(const Settings& settings, std::string_view programPath,
                        const FileLocationContext& context);

} // namespace params
