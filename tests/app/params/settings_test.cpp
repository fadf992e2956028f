// Settings: the write-then-read round trip of every key, the checks and absent
// values, damaged, truncated and oversized files, where the file lives, the atomic
// save and numbers under a comma-decimal locale.

#include "app/params/config_reader.h"
#include "app/params/settings.h"
#include "tests/app/params/temp_folder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <locale>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using params::ConfigReader;
using params::DefaultSettings;
using params::FileLocationContext;
using params::LoadSettings;
using params::SaveSettings;
using params::Settings;
using params::WindowGeometry;

const WindowGeometry MainWindow{0, 0, 348, 265};

// Every value differs from its start-up default and passes its check.
Settings Custom() {
    Settings s = DefaultSettings(MainWindow);
    s.english = true;
    s.deviceName = "KORD77USB";
    s.baseNumber = 2;
    s.dacStartMode = 4;
    s.dacUseExt = 2;
    s.minVolts = -5.5;
    s.maxVolts = 7.25;
    s.rLoad = 75;
    s.autoStart = true;
    s.information = true;
    s.filterActive = true;
    s.signalType = 5;
    s.amplitude = 3.5;
    s.frequency = 1234.5;
    s.frequencyD = 1e6;
    s.duration = 0.125;
    s.offset = -1.5;
    s.blockStart = 10;
    s.blockSize = 500;
    s.playLoop = true;
    s.polarity = 1;
    s.impulseOptimize = 3;
    s.sinQuality = 0;
    s.impulseQuality = 1;
    s.meandrQuality = 100;
    s.triangleQuality = 0;
    s.sawQuality = 1;
    s.nullBits = true;
    s.data16 = false;
    s.nonSigned = true;
    s.debugInformation = true;
    s.autoView = false;
    s.mainWindow = {10, 20};
    s.keyboard = {30, 40};
    s.options = {50, 60};
    s.additional = {70, 80};
    s.save = {90, 100};
    s.view = {110, 120, 300, 200};
    for (const float r : {50.0f, 75.0f, 100.0f, 150.0f, 600.5f}) {
        s.rezistList.ListAppend(r);
    }
    return s;
}

// One "key = value" entry per key, continued lines joined, padding trimmed.
struct Entry {
    std::string key;
    std::string value;
};

std::vector<Entry> Entries(const std::string& text) {
    std::vector<Entry> entries;
    std::string logical;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 2;
        const bool continued = !line.empty() && line.back() == '\\';
        if (continued) {
            line.pop_back();
        }
        logical += line;
        if (continued) {
            continue;
        }
        const auto equals = logical.find(" = ");
        std::string key = logical.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : logical.substr(equals + 3);
        key.erase(key.find_last_not_of(' ') + 1);
        // squeeze runs of blanks so that continued lines compare by their values
        std::string squeezed;
        for (const char c : value) {
            if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) {
                squeezed.push_back(c);
            }
        }
        entries.push_back({key, squeezed});
        logical.clear();
    }
    return entries;
}

class SettingsFile : public ::testing::Test {
protected:
    std::string Saved(const Settings& s) {
        const std::string path = folder.File("saved.cfg");
        EXPECT_EQ(SaveSettings(s, path), 0);
        return ReadBytes(path);
    }

    Settings Loaded(std::string_view fileText, Settings start) {
        ConfigReader reader;
        reader.OpenBytes(fileText);
        EXPECT_EQ(LoadSettings(start, reader, MainWindow), 0);
        return start;
    }

    TempFolder folder;
};

TEST_F(SettingsFile, KeysAreWrittenInTheirOrder) {
    const std::vector<std::string> expected{
        "Language",         "DeviceName",      "BaseNumber", "DACStartMode",   "DACUseExt",
        "MinVolts",         "MaxVolts",        "RLoad",      "AutoStart",      "Information",
        "FilterActive",     "SignalType",      "Amplitude",  "Frequency",      "FrequencyD",
        "Duration",         "Offset",          "BlockStart", "BlockSize",      "PlayLoop",
        "Polarity",         "ImpulseOptimize", "SinQuality", "ImpulseQuality", "MeandrQuality",
        "TriangleQuality",  "SawQuality",      "NullBits",   "Data16",         "NonSigned",
        "DebugInformation", "AutoView",        "Main_X",     "Main_Y",         "Keyboard_X",
        "Keyboard_Y",       "Options_X",       "Options_Y",  "Additional_X",   "Additional_Y",
        "Save_X",           "Save_Y",          "View_X",     "View_Y",         "View_DX",
        "View_DY",          "RezistCount",     "RezistList"};
    std::vector<std::string> keys;
    for (const Entry& e : Entries(Saved(Custom()))) {
        keys.push_back(e.key);
    }
    EXPECT_EQ(keys, expected);
}

TEST_F(SettingsFile, EveryKeySurvivesAWriteAndARead) {
    const std::string custom = Saved(Custom());
    const Settings loaded = Loaded(custom, DefaultSettings(MainWindow));
    EXPECT_EQ(Saved(loaded), custom);

    // The round trip proves something only for keys whose value differs from the
    // start-up default, which Custom() promises for every key.
    const auto customEntries = Entries(custom);
    const auto defaultEntries = Entries(Saved(DefaultSettings(MainWindow)));
    ASSERT_EQ(customEntries.size(), defaultEntries.size());
    for (std::size_t i = 0; i < customEntries.size(); ++i) {
        EXPECT_NE(customEntries[i].value, defaultEntries[i].value) << customEntries[i].key;
    }

    EXPECT_TRUE(loaded.english);
    EXPECT_EQ(loaded.baseNumber, 2);
    EXPECT_EQ(loaded.rezistList.Values(), Custom().rezistList.Values());
}

TEST_F(SettingsFile, WrittenLinesLookAsDocumented) {
    const std::string text = Saved(Custom());
    const auto line = [&](std::string_view key) {
        const auto at = text.find(std::string(key) + " ");
        return text.substr(at, text.find("\r\n", at) + 2 - at);
    };
    EXPECT_EQ(line("Language"),
              "Language          = \"English\"" + std::string(50, ' ') + "//\r\n");
    EXPECT_EQ(line("Amplitude"), "Amplitude         = 3.500000" + std::string(51, ' ') + "//\r\n");
    // the USB driver's board index is stored 1-based
    EXPECT_EQ(line("BaseNumber"), "BaseNumber        = 3" + std::string(58, ' ') + "//\r\n");
    EXPECT_EQ(line("RezistList"), "RezistList        = 50.0 75.0 100.0 150.0 \\\r\n");

    Settings russian = DefaultSettings(MainWindow);
    const std::string defaults = Saved(russian);
    EXPECT_NE(defaults.find("Language          = \"STANDART\""), std::string::npos);
    EXPECT_NE(defaults.find("RezistCount       = 0 "), std::string::npos);
    EXPECT_NE(defaults.find("RezistList        = 0.0 "), std::string::npos);
}

TEST_F(SettingsFile, UsbBoardIndexOneIsReadAsZeroAndWrittenBackAsOne) {
    const Settings s =
        Loaded("DeviceName = \"KORD77USB\"\r\nBaseNumber = 1\r\n", DefaultSettings(MainWindow));
    EXPECT_EQ(s.baseNumber, 0);
    EXPECT_NE(Saved(s).find("BaseNumber        = 1 "), std::string::npos);
}

TEST_F(SettingsFile, TinyDurationIsWrittenAsZero) {
    Settings s = DefaultSettings(MainWindow);
    s.duration = 1e-7;
    const std::string text = Saved(s);
    EXPECT_NE(text.find("Duration          = 0.000000 "), std::string::npos);
    EXPECT_EQ(Loaded(text, Custom()).duration, 0.0);
}

TEST_F(SettingsFile, ZeroVoltageLimitsAreWrittenAsTheFullRange) {
    Settings s = DefaultSettings(MainWindow);
    s.minVolts = 0;
    s.maxVolts = 0;
    const Settings loaded = Loaded(Saved(s), DefaultSettings(MainWindow));
    EXPECT_EQ(loaded.minVolts, -10.0);
    EXPECT_EQ(loaded.maxVolts, 10.0);
}

TEST_F(SettingsFile, AbsentKeysTakeTheirAbsentValues) {
    // A file with data but none of the keys: every key takes its absent value,
    // which is the start-up default except for the driver name.
    Settings expected = DefaultSettings(MainWindow);
    expected.deviceName = "KORD77USB";
    expected.rezistList = Custom().rezistList; // the list is only ever appended to
    const Settings loaded = Loaded("Unrelated = 1\r\n", Custom());
    EXPECT_EQ(Saved(loaded), Saved(expected));
}

TEST_F(SettingsFile, NoReadableFileKeepsEveryStartUpDefault) {
    const Settings start = DefaultSettings(MainWindow);
    ConfigReader empty;
    Settings s = DefaultSettings(MainWindow);
    EXPECT_EQ(LoadSettings(s, empty, MainWindow), 0);
    EXPECT_EQ(s.deviceName, "KORD77PCI");
    EXPECT_EQ(Saved(s), Saved(start));
}

struct LoadCase {
    const char* name;
    bool fromDefaults; // start from the start-up defaults, else from Custom()
    const char* file;
    double (*get)(const Settings&);
    double expected;
};

std::ostream& operator<<(std::ostream& out, const LoadCase& c) {
    return out << c.name;
}

class CheckedValue : public SettingsFile, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(CheckedValue, AfterLoading) {
    const LoadCase& c = GetParam();
    const Settings s = Loaded(c.file, c.fromDefaults ? DefaultSettings(MainWindow) : Custom());
    EXPECT_DOUBLE_EQ(c.get(s), c.expected);
}

double English(const Settings& s) {
    return s.english ? 1 : 0;
}
double BaseNumber(const Settings& s) {
    return s.baseNumber;
}
double Amplitude(const Settings& s) {
    return s.amplitude;
}
double ListCount(const Settings& s) {
    return s.rezistList.Count();
}

INSTANTIATE_TEST_SUITE_P(
    Language, CheckedValue,
    ::testing::Values(
        LoadCase{"StandartLeavesTheStartUpLanguage", true, "Language = \"STANDART\"", English, 0},
        LoadCase{"StandartChangesNothing", false, "Language = \"STANDART\"", English, 1},
        LoadCase{"EnglishSelectsEnglish", true, "Language = \"English\"", English, 1},
        LoadCase{"UnquotedEnglishSelectsEnglish", true, "Language = English", English, 1},
        LoadCase{"StandardSelectsRussian", false, "Language = \"STANDARD\"", English, 0},
        LoadCase{"EmptyTextIsStandard", false, "Language = \"\"", English, 0},
        LoadCase{"AbsentIsStandard", false, "Other = 1", English, 0}));

INSTANTIATE_TEST_SUITE_P(
    Board, CheckedValue,
    ::testing::Values(LoadCase{"UsbIndexIsStoredOneBased", true,
                               "DeviceName = \"KORD77USB\"\nBaseNumber = 1", BaseNumber, 0},
                      LoadCase{"UsbIndexZeroStaysZero", true,
                               "DeviceName = \"KORD77USB\"\nBaseNumber = 0", BaseNumber, 0},
                      LoadCase{"PciIndexIsZeroBased", true,
                               "DeviceName = \"KORD77PCI\"\nBaseNumber = 1", BaseNumber, 1},
                      LoadCase{"NegativeIndexBecomesZero", true,
                               "DeviceName = \"KORD77PCI\"\nBaseNumber = -2", BaseNumber, 0},
                      LoadCase{"AbsentDriverIsUsb", true, "BaseNumber = 3", BaseNumber, 2},
                      LoadCase{"RisingEdgeStays", true, "DACStartMode = 4",
                               [](const Settings& s) { return double(s.dacStartMode); }, 4},
                      LoadCase{"OtherEdgeBecomesFalling", false, "DACStartMode = 2",
                               [](const Settings& s) { return double(s.dacStartMode); }, 0}));

INSTANTIATE_TEST_SUITE_P(
    Voltages, CheckedValue,
    ::testing::Values(
        LoadCase{"MinVoltsBelowRange", true, "MinVolts = -12",
                 [](const Settings& s) { return s.minVolts; }, -10},
        LoadCase{"MinVoltsInRange", true, "MinVolts = -3",
                 [](const Settings& s) { return s.minVolts; }, -3},
        LoadCase{"MaxVoltsAboveRange", true, "MaxVolts = 12",
                 [](const Settings& s) { return s.maxVolts; }, 10},
        LoadCase{"LoadOfMinusFiftyOhms", false, "RLoad = -50",
                 [](const Settings& s) { return s.rLoad; }, 50},
        LoadCase{"LoadOfZeroOhms", false, "RLoad = 0", [](const Settings& s) { return s.rLoad; },
                 50},
        LoadCase{"LoadOfSeventyFiveOhms", true, "RLoad = 75",
                 [](const Settings& s) { return s.rLoad; }, 75},
        LoadCase{"AmplitudeAboveMaxVolts", true, "MaxVolts = 10\nAmplitude = 12", Amplitude, 10},
        LoadCase{"AmplitudeAboveLowerMaxVolts", true, "MaxVolts = 5\nAmplitude = 6", Amplitude, 5},
        LoadCase{"AmplitudeBelowZero", false, "Amplitude = -1", Amplitude, 0},
        LoadCase{"AmplitudeUnreadable", false, "Amplitude = 1.2.3", Amplitude, 0},
        LoadCase{"OffsetOutsideRange", false, "Offset = 25",
                 [](const Settings& s) { return s.offset; }, 0},
        LoadCase{"OffsetAtTheLimit", true, "Offset = -20",
                 [](const Settings& s) { return s.offset; }, -20},
        LoadCase{"OffsetJustOutside", false, "Offset = -20.5",
                 [](const Settings& s) { return s.offset; }, 0}));

INSTANTIATE_TEST_SUITE_P(
    Signal, CheckedValue,
    ::testing::Values(LoadCase{"TypeAboveRange", false, "SignalType = 9",
                               [](const Settings& s) { return double(s.signalType); }, 0},
                      LoadCase{"TypeBelowRange", false, "SignalType = -1",
                               [](const Settings& s) { return double(s.signalType); }, 0},
                      LoadCase{"TypeFileBlock", true, "SignalType = 7",
                               [](const Settings& s) { return double(s.signalType); }, 7},
                      LoadCase{"FrequencyBelowRange", false, "Frequency = 0.01",
                               [](const Settings& s) { return s.frequency; }, 0.025},
                      LoadCase{"FrequencyAboveRange", true, "Frequency = 2e7",
                               [](const Settings& s) { return s.frequency; }, 1e7},
                      LoadCase{"FrequencyUnreadable", false, "Frequency = 1.2.3",
                               [](const Settings& s) { return s.frequency; }, 0.025},
                      LoadCase{"FrequencyWithoutEquals", true, "frequency=25",
                               [](const Settings& s) { return s.frequency; }, 25},
                      LoadCase{"SampleClockAboveRange", true, "FrequencyD = 1e9",
                               [](const Settings& s) { return s.frequencyD; }, 1e8},
                      LoadCase{"SampleClockBelowRange", false, "FrequencyD = 100",
                               [](const Settings& s) { return s.frequencyD; }, 6103.515625},
                      LoadCase{"DurationBelowZero", false, "Duration = -1",
                               [](const Settings& s) { return s.duration; }, 0},
                      LoadCase{"DurationAboveRange", true, "Duration = 50",
                               [](const Settings& s) { return s.duration; }, 40},
                      LoadCase{"TinyDurationReads", true, "Duration = 1e-7",
                               [](const Settings& s) { return s.duration; }, 1e-7},
                      LoadCase{"BlockStartNegative", false, "BlockStart = -1",
                               [](const Settings& s) { return double(s.blockStart); }, 0},
                      LoadCase{"BlockSizeNegative", false, "BlockSize = -4",
                               [](const Settings& s) { return double(s.blockSize); }, 2},
                      LoadCase{"BlockSizeZeroStays", false, "BlockSize = 0",
                               [](const Settings& s) { return double(s.blockSize); }, 0},
                      LoadCase{"PolarityAboveRange", false, "Polarity = 5",
                               [](const Settings& s) { return double(s.polarity); }, 2},
                      LoadCase{"PolarityBelowRange", true, "Polarity = -1",
                               [](const Settings& s) { return double(s.polarity); }, 0},
                      LoadCase{"PulseOptimisationAboveRange", false, "ImpulseOptimize = 4",
                               [](const Settings& s) { return double(s.impulseOptimize); }, 1},
                      LoadCase{"PulseOptimisationBelowRange", false, "ImpulseOptimize = -1",
                               [](const Settings& s) { return double(s.impulseOptimize); }, 1},
                      LoadCase{"PulseOptimisationZero", true, "ImpulseOptimize = 0",
                               [](const Settings& s) { return double(s.impulseOptimize); }, 0},
                      LoadCase{"TriangleQualityFive", false,
                               "SinQuality = 100\nTriangleQuality = 5",
                               [](const Settings& s) { return double(s.triangleQuality); }, 3},
                      LoadCase{"SinQualityKeptBesideIt", false,
                               "SinQuality = 100\nTriangleQuality = 5",
                               [](const Settings& s) { return double(s.sinQuality); }, 100},
                      LoadCase{"SawQualityTwo", false, "SawQuality = 2",
                               [](const Settings& s) { return double(s.sawQuality); }, 3}));

INSTANTIATE_TEST_SUITE_P(
    Switches, CheckedValue,
    ::testing::Values(LoadCase{"NullBitsNegativeIsOff", false, "NullBits = -1",
                               [](const Settings& s) { return double(s.nullBits); }, 0},
                      LoadCase{"NullBitsTwoIsOn", true, "NullBits = 2",
                               [](const Settings& s) { return double(s.nullBits); }, 1},
                      LoadCase{"Data16ZeroIsOff", true, "Data16 = 0",
                               [](const Settings& s) { return double(s.data16); }, 0},
                      LoadCase{"Data16AbsentIsOn", false, "Other = 1",
                               [](const Settings& s) { return double(s.data16); }, 1},
                      LoadCase{"NonSignedNegativeIsOff", false, "NonSigned = -1",
                               [](const Settings& s) { return double(s.nonSigned); }, 0},
                      LoadCase{"DebugNegativeIsOn", true, "DebugInformation = -1",
                               [](const Settings& s) { return double(s.debugInformation); }, 1},
                      LoadCase{"AutoViewAbsentIsOn", false, "Other = 1",
                               [](const Settings& s) { return double(s.autoView); }, 1},
                      LoadCase{"AutoStartAnyNonZeroIsOn", true, "AutoStart = 7",
                               [](const Settings& s) { return double(s.autoStart); }, 1}));

INSTANTIATE_TEST_SUITE_P(
    Windows, CheckedValue,
    ::testing::Values(LoadCase{"PreviewLeftFollowsTheMainWindow", true, "Main_X = 100\nMain_Y = 50",
                               [](const Settings& s) { return double(s.view.left); }, 448},
                      LoadCase{"PreviewTopFollowsTheMainWindow", true, "Main_X = 100\nMain_Y = 50",
                               [](const Settings& s) { return double(s.view.top); }, 50},
                      LoadCase{"PreviewWidthIsTheMainWindowWidth", false, "Main_X = 100",
                               [](const Settings& s) { return double(s.view.width); }, 348},
                      LoadCase{"PreviewHeightRead", false, "View_DY = 77",
                               [](const Settings& s) { return double(s.view.height); }, 77},
                      LoadCase{"NegativePositionsStay", true, "Keyboard_X = -30",
                               [](const Settings& s) { return double(s.keyboard.x); }, -30}));

INSTANTIATE_TEST_SUITE_P(
    ImpedanceList, CheckedValue,
    ::testing::Values(
        LoadCase{"CountThreeWithTwoNumbers", true, "RezistCount = 3\nRezistList = 50.0 75.0",
                 ListCount, 2},
        LoadCase{"CountTwoWithThreeNumbers", true, "RezistCount = 2\nRezistList = 50 75 100",
                 ListCount, 2},
        LoadCase{"CountZeroReadsNoList", true, "RezistCount = 0\nRezistList = 50", ListCount, 0},
        LoadCase{"NegativeCountReadsNoList", true, "RezistCount = -3\nRezistList = 50", ListCount,
                 0},
        LoadCase{"StopsAtAnUnreadableNumber", true, "RezistCount = 3\nRezistList = 50 x 70",
                 ListCount, 1},
        LoadCase{"HugeCountReadsWhatIsThere", true, "RezistCount = 2000000000\nRezistList = 1 2",
                 ListCount, 2},
        LoadCase{"ValueBeyondAFloatStops", true, "RezistCount = 2\nRezistList = 1 1E39", ListCount,
                 1},
        LoadCase{"ContinuedList", true,
                 "RezistCount = 6\nRezistList = 1 2 3 4 \\\n 5 6 //\nOther = 7", ListCount, 6}));

TEST_F(SettingsFile, DriverNameIsCutTo29Characters) {
    const Settings s =
        Loaded("DeviceName = \"" + std::string(40, 'D') + "\"\r\n", DefaultSettings(MainWindow));
    EXPECT_EQ(s.deviceName, std::string(29, 'D'));
}

TEST_F(SettingsFile, TruncatedFilesReadWhatIsThere) {
    const std::string full = Saved(Custom());
    for (std::size_t size = 1; size < full.size(); size += 7) {
        const Settings s = Loaded(full.substr(0, size), DefaultSettings(MainWindow));
        if (size > full.find("DeviceName") + 40) {
            ASSERT_TRUE(s.english) << size;
            ASSERT_EQ(s.deviceName, "KORD77USB") << size;
        }
    }
    // a cut in the middle: the first half is read, the rest takes absent values
    const std::string half = full.substr(0, full.find("Main_X"));
    const Settings s = Loaded(half, DefaultSettings(MainWindow));
    EXPECT_EQ(s.signalType, 5);
    EXPECT_FALSE(s.autoView);
    EXPECT_EQ(s.mainWindow.x, 0);
    EXPECT_EQ(s.view.left, 348);
    EXPECT_EQ(s.rezistList.Count(), 0);
}

TEST_F(SettingsFile, DamagedBytesNeverBreakLoading) {
    std::string bytes = Saved(Custom());
    unsigned state = 12345;
    for (int round = 0; round < 200; ++round) {
        for (int k = 0; k < 8; ++k) {
            state = state * 1103515245u + 12345u;
            bytes[(state >> 8) % bytes.size()] = static_cast<char>(state >> 24);
        }
        Loaded(bytes, Custom());
    }
    const Settings garbage = Loaded(std::string(5000, '\xFF'), Custom());
    EXPECT_EQ(garbage.deviceName, "KORD77USB"); // absent, not taken from the garbage
}

TEST_F(SettingsFile, OversizedFileKeepsTheStartUpDefaults) {
    std::string bytes = Saved(Custom());
    const auto padded = [&](std::size_t size) {
        std::string text = bytes;
        while (text.size() < size) {
            text += "; padding\r\n";
        }
        text.resize(size, ' ');
        return text;
    };
    EXPECT_EQ(Loaded(padded(ConfigReader::MaxFileSize - 1), DefaultSettings(MainWindow)).deviceName,
              "KORD77USB");
    const Settings s = Loaded(padded(ConfigReader::MaxFileSize), DefaultSettings(MainWindow));
    EXPECT_EQ(s.deviceName, "KORD77PCI");
    EXPECT_FALSE(s.english);
}

// --- where the file lives, and the atomic save --------------------------------------

class ProgramSettings : public SettingsFile {
protected:
    std::string ProgramIn(const std::string& subfolder) {
        std::filesystem::create_directories(folder.File(subfolder));
        return folder.File(subfolder) + "/generator";
    }
};

TEST_F(ProgramSettings, SavedAndLoadedBesideTheProgram) {
    const std::string program = ProgramIn("bin");
    const FileLocationContext writable{true, "", ""};
    ASSERT_EQ(params::SaveProgramSettings(Custom(), program, writable), 0);
    EXPECT_EQ(ReadBytes(folder.File("bin/generator.cfg")), Saved(Custom()));
    Settings s = DefaultSettings(MainWindow);
    EXPECT_EQ(params::LoadProgramSettings(s, MainWindow, program, writable), 0);
    EXPECT_EQ(s.deviceName, "KORD77USB");
}

TEST_F(ProgramSettings, NoFileKeepsTheStartUpDefaults) {
    const std::string program = ProgramIn("bin");
    Settings s = DefaultSettings(MainWindow);
    EXPECT_EQ(params::LoadProgramSettings(s, MainWindow, program, {true, "", ""}), 0);
    EXPECT_EQ(s.deviceName, "KORD77PCI");
}

TEST_F(ProgramSettings, ProgramPathWithoutFolderFails) {
    Settings s = Custom();
    EXPECT_EQ(params::LoadProgramSettings(s, MainWindow, "generator", {true, "", ""}), -1);
    EXPECT_EQ(params::SaveProgramSettings(s, "generator", {true, "", ""}), -1);
    EXPECT_EQ(s.deviceName, "KORD77USB");
}

TEST_F(ProgramSettings, ReadOnlyProgramFolderUsesTheUserFolder) {
    const std::string program = ProgramIn("bin");
    const FileLocationContext readOnly{false, folder.File("xdg"), folder.File("home")};
    ASSERT_EQ(params::SaveProgramSettings(Custom(), program, readOnly), 0);
    EXPECT_EQ(ReadBytes(folder.File("xdg/generator/generator.cfg")), Saved(Custom()));
    Settings s = DefaultSettings(MainWindow);
    EXPECT_EQ(params::LoadProgramSettings(s, MainWindow, program, readOnly), 0);
    EXPECT_EQ(s.deviceName, "KORD77USB");
}

TEST_F(ProgramSettings, ReadOnlyProgramFolderFallsBackToAShippedFile) {
    const std::string program = ProgramIn("bin");
    WriteBytes(folder.File("bin/generator.cfg"), "DeviceName = \"KORD77ISA\"\r\n");
    Settings s = DefaultSettings(MainWindow);
    EXPECT_EQ(params::LoadProgramSettings(s, MainWindow, program,
                                          {false, folder.File("xdg"), folder.File("home")}),
              0);
    EXPECT_EQ(s.deviceName, "KORD77ISA");
}

TEST_F(ProgramSettings, UnusableUserFolderFailsTheSave) {
    const std::string program = ProgramIn("bin");
    WriteBytes(folder.File("file"), "x");
    EXPECT_EQ(params::SaveProgramSettings(Custom(), program, {false, folder.File("file"), ""}), -1);
}

TEST_F(SettingsFile, SaveIntoAMissingFolderFails) {
    EXPECT_EQ(SaveSettings(Custom(), folder.File("missing/generator.cfg")), -1);
}

TEST_F(SettingsFile, FailedSaveKeepsThePreviousFile) {
    const std::string path = folder.File("generator.cfg");
    const std::string previous = Saved(Custom());
    WriteBytes(path, previous);

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 1000; // the disk fills up in the middle of the save
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int result = SaveSettings(DefaultSettings(MainWindow), path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_EQ(folder.EntryCount(), 2u); // saved.cfg and generator.cfg, no temporary file
}

// --- numbers under other locales ----------------------------------------------------

// Restores the C and C++ locales at the end of a test.
class LocaleGuard {
public:
    LocaleGuard() : cxx_(std::locale()) {}
    ~LocaleGuard() {
        std::setlocale(LC_ALL, "C");
        std::locale::global(cxx_);
    }

private:
    std::locale cxx_;
};

class CommaPoint : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(SettingsFile, CommaDecimalLocaleSavesAndLoadsUnchanged) {
    const std::string reference = Saved(Custom());
    const LocaleGuard guard;
    const char* name = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (name == nullptr) {
        name = std::setlocale(LC_ALL, "de_DE.utf8");
    }
    if (name == nullptr) {
        GTEST_SKIP() << "no de_DE locale installed (scripts/install-deps.sh installs it)";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5"); // the locale really is in force

    const std::string saved = Saved(Custom());
    EXPECT_EQ(saved, reference);
    const Settings loaded = Loaded(saved, DefaultSettings(MainWindow));
    EXPECT_EQ(loaded.frequency, 1234.5);
    EXPECT_EQ(loaded.duration, 0.125);
    EXPECT_EQ(Saved(loaded), reference);
}

TEST_F(SettingsFile, GlobalCxxLocaleWithCommaChangesNothing) {
    const std::string reference = Saved(Custom());
    const LocaleGuard guard;
    std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const std::string saved = Saved(Custom());
    EXPECT_EQ(saved, reference);
    EXPECT_EQ(Saved(Loaded(saved, DefaultSettings(MainWindow))), reference);
}

} // namespace
