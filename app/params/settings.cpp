#include "app/params/settings.h"

#include "app/params/config_writer.h"
#include "app/params/program_files.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <exception>
#include <vector>

namespace params {

namespace {

constexpr std::size_t KeyWidth = 17;
constexpr int ValueWidth = 60;
constexpr std::string_view Comment = "//";
constexpr int ListValuesPerLine = 4;
constexpr std::size_t LanguageBufferSize = 150;
constexpr std::size_t DeviceNameBufferSize = 30;
// A list value takes at least two bytes of the file (digit and blank), so no
// readable file holds more values than this.
constexpr std::size_t MaxListValues = ConfigReader::MaxFileSize / 2;

constexpr std::string_view UsbDriver = "KORD77USB";

// Reads one key; a missing or unreadable value gives `absent`.
class KeyReader {
public:
    explicit KeyReader(const ConfigReader& reader) : reader_(reader) {}

    int Int(std::string_view key, int absent) const {
        int value = absent;
        return reader_.GetInt(key, value) == 1 ? value : absent;
    }
    bool Flag(std::string_view key, int absent) const { return Int(key, absent) != 0; }
    bool PositiveFlag(std::string_view key, int absent) const { return Int(key, absent) > 0; }
    double Double(std::string_view key, double absent) const {
        double value = absent;
        return reader_.GetDouble(key, value) == 1 ? value : absent;
    }
    std::string Text(std::string_view key, std::size_t size, std::string_view absent) const {
        std::string value;
        return reader_.GetString(key, value, size) == 1 ? value : std::string(absent);
    }

private:
    const ConfigReader& reader_;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto upper = [](char c) {
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        };
        return upper(x) == upper(y);
    });
}

int CheckQuality(int value) {
    return (value == 0 || value == 1 || value == 3 || value == 100) ? value : 3;
}

void ReadSettings(Settings& s, const ConfigReader& reader, const WindowGeometry& mainWindow) {
    const KeyReader read(reader);

    // Unquoted text reads as upper case, so the language names compare without case.
    std::string language = read.Text("Language", LanguageBufferSize, "STANDARD");
    if (language.empty()) {
        language = "STANDARD";
    }
    if (EqualsIgnoringCase(language, "English")) {
        s.english = true;
    } else if (EqualsIgnoringCase(language, "STANDARD")) {
        s.english = false;
    }

    s.deviceName = read.Text("DeviceName", DeviceNameBufferSize, UsbDriver);

    s.baseNumber = read.Int("BaseNumber", 0);
    if (s.deviceName == UsbDriver && s.baseNumber > 0) {
        --s.baseNumber; // stored 1-based for the USB driver
    }
    s.baseNumber = std::max(s.baseNumber, 0);

    s.dacStartMode = read.Int("DACStartMode", 0);
    if (s.dacStartMode != 0 && s.dacStartMode != 4) {
        s.dacStartMode = 0;
    }
    s.dacUseExt = read.Int("DACUseExt", 0);

    s.minVolts = std::max(read.Double("MinVolts", -10.0), -10.0);
    s.maxVolts = std::min(read.Double("MaxVolts", 10.0), 10.0);
    s.rLoad = read.Double("RLoad", 50.0);
    if (!(s.rLoad > 0.0)) {
        s.rLoad = 50.0; // the full-scale voltage divides by RLoad + 50
    }

    s.autoStart = read.Flag("AutoStart", 0);
    s.information = read.Flag("Information", 0);
    s.filterActive = read.Flag("FilterActive", 0);

    s.signalType = read.Int("SignalType", 0);
    if (s.signalType < 0 || s.signalType > 7) {
        s.signalType = 0;
    }

    s.amplitude = read.Double("Amplitude", 0.0);
    if (s.amplitude > s.maxVolts) {
        s.amplitude = s.maxVolts;
    }
    if (s.amplitude < 0.0) {
        s.amplitude = 0.0;
    }
    s.frequency = std::clamp(read.Double("Frequency", 0.025), 0.025, 1e7);
    s.frequencyD = std::clamp(read.Double("FrequencyD", 6103.515625), 6103.515625, 1e8);
    s.duration = std::clamp(read.Double("Duration", 0.0), 0.0, 40.0);
    s.offset = read.Double("Offset", 0.0);
    if (s.offset < -20.0 || s.offset > 20.0) {
        s.offset = 0.0;
    }

    s.blockStart = read.Int("BlockStart", 0);
    if (s.blockStart < 0) {
        s.blockStart = 0;
    }
    s.blockSize = read.Int("BlockSize", 2);
    if (s.blockSize < 0) {
        s.blockSize = 2;
    }

    s.playLoop = read.Flag("PlayLoop", 0);
    s.polarity = std::clamp(read.Int("Polarity", 2), 0, 2);
    s.impulseOptimize = read.Int("ImpulseOptimize", 1);
    if (s.impulseOptimize < 0 || s.impulseOptimize > 3) {
        s.impulseOptimize = 1;
    }
    s.sinQuality = CheckQuality(read.Int("SinQuality", 3));
    s.impulseQuality = CheckQuality(read.Int("ImpulseQuality", 3));
    s.meandrQuality = CheckQuality(read.Int("MeandrQuality", 3));
    s.triangleQuality = CheckQuality(read.Int("TriangleQuality", 3));
    s.sawQuality = CheckQuality(read.Int("SawQuality", 3));

    s.nullBits = read.PositiveFlag("NullBits", 0);
    s.data16 = read.PositiveFlag("Data16", 1);
    s.nonSigned = read.PositiveFlag("NonSigned", 0);
    s.debugInformation = read.Flag("DebugInformation", 0);
    s.autoView = read.Flag("AutoView", 1);

    s.mainWindow = {read.Int("Main_X", 0), read.Int("Main_Y", 0)};
    s.keyboard = {read.Int("Keyboard_X", 0), read.Int("Keyboard_Y", 0)};
    s.options = {read.Int("Options_X", 0), read.Int("Options_Y", 0)};
    s.additional = {read.Int("Additional_X", 0), read.Int("Additional_Y", 0)};
    s.save = {read.Int("Save_X", 0), read.Int("Save_Y", 0)};

    // The main window's position has just been applied, so the preview's absent
    // place is right of the main window where it now stands.
    const long long rightOfMain =
        static_cast<long long>(s.mainWindow.x) + static_cast<long long>(mainWindow.width);
    const int absentViewX = static_cast<int>(std::clamp<long long>(rightOfMain, INT_MIN, INT_MAX));
    s.view.left = read.Int("View_X", absentViewX);
    s.view.top = read.Int("View_Y", s.mainWindow.y);
    s.view.width = read.Int("View_DX", mainWindow.width);
    s.view.height = read.Int("View_DY", mainWindow.height);

    const int count = read.Int("RezistCount", 0);
    if (count > 0) {
        std::vector<double> values(std::min(static_cast<std::size_t>(count), MaxListValues));
        const int read_count = reader.GetDoubleList("RezistList", values);
        for (int i = 0; i < read_count; ++i) {
            const double value = values[static_cast<std::size_t>(i)];
            if (!(std::fabs(value) <= static_cast<double>(FLT_MAX))) {
                break; // cannot be stored as a float
            }
            if (s.rezistList.ListAppend(static_cast<float>(value)) != 0) {
                break;
            }
        }
    }
}

} // namespace

Settings DefaultSettings(const WindowGeometry& mainWindow) {
    Settings s;
    s.view.left = mainWindow.left + mainWindow.width;
    s.view.top = mainWindow.top;
    s.view.width = mainWindow.width;
    s.view.height = mainWindow.height;
    return s;
}

int LoadSettings(Settings& settings, const ConfigReader& reader, const WindowGeometry& mainWindow) {
    if (!reader.HasData()) {
        return 0;
    }
    try {
        ReadSettings(settings, reader, mainWindow);
    } catch (const std::exception&) {
        return -6;
    }
    return 0;
}

int SaveSettings(const Settings& s, const std::string& path) {
    ConfigWriter writer;
    if (!writer.Create(path)) {
        return -1;
    }
    const auto text = [&](std::string_view key, std::string_view value) {
        writer.WriteString(PadKey(key, KeyWidth), value, true, ValueWidth, Comment);
    };
    const auto integer = [&](std::string_view key, int value) {
        writer.WriteInt(PadKey(key, KeyWidth), value, false, ValueWidth, Comment);
    };
    const auto real = [&](std::string_view key, double value) {
        writer.WriteDouble(PadKey(key, KeyWidth), Comment, ValueWidth, value);
    };

    double minVolts = s.minVolts;
    double maxVolts = s.maxVolts;
    if (minVolts == 0.0 && maxVolts == 0.0) {
        minVolts = -10.0;
        maxVolts = 10.0;
    }

    text("Language", s.english ? "English" : "STANDART");
    text("DeviceName", s.deviceName);
    int baseNumber = s.baseNumber;
    if (s.deviceName == UsbDriver && baseNumber < INT_MAX) {
        ++baseNumber;
    }
    integer("BaseNumber", baseNumber);
    integer("DACStartMode", s.dacStartMode);
    integer("DACUseExt", s.dacUseExt);
    real("MinVolts", minVolts);
    real("MaxVolts", maxVolts);
    real("RLoad", s.rLoad);
    integer("AutoStart", s.autoStart ? 1 : 0);
    integer("Information", s.information ? 1 : 0);
    integer("FilterActive", s.filterActive ? 1 : 0);
    integer("SignalType", s.signalType);
    real("Amplitude", s.amplitude);
    real("Frequency", s.frequency);
    real("FrequencyD", s.frequencyD);
    real("Duration", s.duration);
    real("Offset", s.offset);
    integer("BlockStart", s.blockStart);
    integer("BlockSize", s.blockSize);
    integer("PlayLoop", s.playLoop ? 1 : 0);
    integer("Polarity", s.polarity);
    integer("ImpulseOptimize", s.impulseOptimize);
    integer("SinQuality", s.sinQuality);
    integer("ImpulseQuality", s.impulseQuality);
    integer("MeandrQuality", s.meandrQuality);
    integer("TriangleQuality", s.triangleQuality);
    integer("SawQuality", s.sawQuality);
    integer("NullBits", s.nullBits ? 1 : 0);
    integer("Data16", s.data16 ? 1 : 0);
    integer("NonSigned", s.nonSigned ? 1 : 0);
    integer("DebugInformation", s.debugInformation ? 1 : 0);
    integer("AutoView", s.autoView ? 1 : 0);
    integer("Main_X", s.mainWindow.x);
    integer("Main_Y", s.mainWindow.y);
    integer("Keyboard_X", s.keyboard.x);
    integer("Keyboard_Y", s.keyboard.y);
    integer("Options_X", s.options.x);
    integer("Options_Y", s.options.y);
    integer("Additional_X", s.additional.x);
    integer("Additional_Y", s.additional.y);
    integer("Save_X", s.save.x);
    integer("Save_Y", s.save.y);
    integer("View_X", s.view.left);
    integer("View_Y", s.view.top);
    integer("View_DX", s.view.width);
    integer("View_DY", s.view.height);

    std::vector<float> list = s.rezistList.Values();
    integer("RezistCount", static_cast<int>(list.size()));
    if (list.empty()) {
        list.push_back(0.0f);
    }
    writer.WriteFloatList(PadKey("RezistList", KeyWidth), list, ValueWidth, Comment,
                          ListValuesPerLine);

    // A line that failed leaves the previous file in place.
    return writer.Close() ? 0 : -1;
}

int LoadProgramSettings(Settings& settings, const WindowGeometry& mainWindow,
                        std::string_view programPath, const FileLocationContext& context) {
    const auto path = ProgramFilePath(programPath, SettingsFileName, context);
    if (!path) {
        return -1;
    }
    ConfigReader reader(*path);
    if (!reader.HasData() && !context.programFolderWritable) {
        // A system-wide install may ship a file beside the program.
        if (const auto folder = FolderOfPath(programPath)) {
            reader.Open(*folder + std::string(SettingsFileName));
        }
    }
    return LoadSettings(settings, reader, mainWindow);
}

int SaveProgramSettings(const Settings& settings, std::string_view programPath,
                        const FileLocationContext& context) {
    const auto path = ProgramFilePath(programPath, SettingsFileName, context);
    if (!path) {
        return -1;
    }
    if (!context.programFolderWritable && !EnsureFolderOf(*path)) {
        return -1;
    }
    return SaveSettings(settings, *path);
}

int LoadProgramSettings(Settings& settings, const WindowGeometry& mainWindow) {
    const auto program = ProgramPath();
    const auto folder = program ? FolderOfPath(*program) : std::nullopt;
    if (!folder) {
        return -1;
    }
    return LoadProgramSettings(settings, mainWindow, *program,
                               FileLocationContext::FromEnvironment(*folder));
}

int SaveProgramSettings(const Settings& settings) {
    const auto program = ProgramPath();
    const auto folder = program ? FolderOfPath(*program) : std::nullopt;
    if (!folder) {
        return -1;
    }
    return SaveProgramSettings(settings, *program, FileLocationContext::FromEnvironment(*folder));
}

} // namespace params
