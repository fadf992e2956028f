// BoardSelection against the simulated drivers, loaded through a registry file of
// the test's own: the board list (ISA addresses in hexadecimal), the choice of a
// board, probing with the second driver object, the information labels and the
// library list. The board's journal is the oracle for what the driver was asked.

#include "app/board/board_selection.h"
#include "app/params/scripted_dialogs.h"
#include "resources/strings/russian_words.h"
#include "resources/strings/text_table.h"
#include "tests/app/params/aux_fakes.h"
#include "tests/app/params/param_model_fakes.h"
#include "tests/component/registry_env.h"
#include "tests/plugins/sim_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string RegistryText() {
    std::string text;
    auto key = [&](const std::string& name, const std::string& path) {
        std::error_code ignored;
        const auto real = std::filesystem::canonical(path, ignored);
        text += "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\" + name + "]\n";
        text += "\"path\"=\"" + (real.empty() ? path : real.string()) + "\"\n";
        text += "\"UIName\"=\"IADCDevice\"\n\n";
    };
    key("KORD77PCI", KORD77PCI_LIBRARY);
    key("KORD77USB", KORD77USB_LIBRARY);
    key("KORD77ISA", KORD77ISA_LIBRARY);
    return text;
}

std::string English(int id) {
    static const TextTable table = [] {
        TextTable t;
        t.Load(TextTable::kEnglish);
        return t;
    }();
    return table.Text(id);
}

class FakeIndicators final : public board::BoardIndicators {
public:
    void ApplyDisplay(const board::DisplayDecision&) override {}
    bool StartEnabled() const override { return true; }
};

class FakePoll final : public board::PollTimer {
public:
    void StartPoll() override { active = true; }
    void StopPoll() override { active = false; }
    bool PollActive() const override { return active; }
    bool active = false;
};

class FakeSelectionHost final : public board::BoardSelectionHost {
public:
    bool OutputRunning() const override { return running; }
    void StartButtonClick() override {
        calls.push_back("StartButtonClick");
        running = false;
    }
    void SetupTuner(IADCDevice* driver) override {
        calls.push_back("SetupTuner");
        tunerDriver = driver;
    }
    void EndApplication() override { calls.push_back("EndApplication"); }

    bool running = false;
    IADCDevice* tunerDriver = nullptr;
    std::vector<std::string> calls;
};

class BoardSelectionTest : public ::testing::Test {
protected:
    BoardSelectionTest() {
        WriteText(registry.File(), RegistryText());
        session.hooks.markRecomputeNeeded = [this] { model.Params().recomputeNeeded = true; };
    }

    // Loads driver `name` with the simulator settings `config` and reads the board
    // as the start-up does.
    void Open(const std::string& name, const std::string& config = "") {
        if (!config.empty()) {
            sim.Config(config);
        }
        settings.deviceName = name;
        session.SetKind(DeviceKindOf(name));
        ASSERT_TRUE(session.LoadDriver(name)) << session.DriverReason();
        ASSERT_EQ(session.ReadInformation(nullptr, settings.baseNumber),
                  board::BoardSession::ReadResult::Done);
        model.OpenBoard(session.Information().ModelValues(), session.Driver());
    }

    // The ids of the OpenBoard calls in the journal from entry `from` on.
    std::vector<std::string> OpenedIds(std::size_t from = 0) const {
        std::vector<std::string> ids;
        const auto journal = sim.Journal();
        for (std::size_t i = from; i < journal.size(); ++i) {
            if (journal[i].operation == "OpenBoard") {
                ids.push_back(journal[i].Arg("id"));
            }
        }
        return ids;
    }

    std::vector<std::string> ShownTexts() const {
        std::vector<std::string> texts;
        for (const auto& d : dialogs.Shown()) {
            texts.push_back(d.text + "|" + d.caption);
        }
        return texts;
    }

    simtest::SimFolder sim;
    TestRegistry registry;
    params::ScriptedDialogs dialogs;
    int endRequests = 0;
    params::ErrorReport report{dialogs, [this] { ++endRequests; }, {"Ошибка", "Ошибка"}};
    FakeIndicators indicators;
    FakePoll poll;
    board::BoardSession session{report, English, indicators, poll};
    params::Settings settings;
    FakeParameterView labels;
    ParameterModel model{labels, English};
    FakeAuxHost auxHost;
    OptionsLogic options{settings, model, auxHost, dialogs, English};
    FakeSelectionHost host;
    board::BoardSelection selection{settings, model, session, host, dialogs, report, English};
};

TEST(BoardIdText, IsaAddressesInHexadecimalOthersInDecimal) {
    EXPECT_EQ(board::BoardIdText(DeviceKind::Isa, 0x300), "0x300");
    EXPECT_EQ(board::BoardIdText(DeviceKind::Isa, 0x2a), "0x02A");
    EXPECT_EQ(board::BoardIdText(DeviceKind::Isa, 0x1000), "0x1000");
    EXPECT_EQ(board::BoardIdText(DeviceKind::Pci, 2), "2");
    EXPECT_EQ(board::BoardIdText(DeviceKind::Usb, 0), "0");
}

TEST(FirmwareText, EachHexDigitAsADecimalNumber) {
    EXPECT_EQ(board::FirmwareText(0x1A), "1.10");
    EXPECT_EQ(board::FirmwareText(0x12), "1.2");
    EXPECT_EQ(board::FirmwareText(0x05), "0.5");
    EXPECT_EQ(board::FirmwareText(0xFF), "15.15");
    EXPECT_EQ(board::FirmwareText(0x102), "1.0");
    EXPECT_EQ(board::FirmwareText(0), "");
    EXPECT_EQ(board::FirmwareText(-3), "");
}

TEST_F(BoardSelectionTest, IsaBoardsAreListedByTheirAddresses) {
    Open("KORD77ISA", "KORD77ISA.answering = 0x300, 0x320\n");
    ASSERT_TRUE(selection.Create(options));
    EXPECT_EQ(selection.BoardList(), (std::vector<std::string>{"0x300", "0x320"}));
    EXPECT_EQ(selection.BoardSelected(), 0);

    // Choosing the second entry opens the address that answered.
    const std::size_t before = sim.Journal().size();
    selection.ComboBox4Change(1);
    EXPECT_EQ(OpenedIds(before), std::vector<std::string>{"800"}); // 0x320
    EXPECT_EQ(settings.baseNumber, 1);
    EXPECT_TRUE(session.BoardOpened());
    EXPECT_TRUE(ShownTexts().empty());
}

TEST_F(BoardSelectionTest, PciBoardsAreListedByNumber) {
    Open("KORD77PCI", "KORD77PCI.answering = 0, 1, 2\n");
    ASSERT_TRUE(selection.Create(options));
    EXPECT_EQ(selection.BoardList(), (std::vector<std::string>{"0", "1", "2"}));
}

TEST_F(BoardSelectionTest, BaseNumberBeyondTheBoardsFoundSelectsEntryZero) {
    Open("KORD77PCI", "KORD77PCI.answering = 0, 1\n");
    settings.baseNumber = 5;
    const std::size_t before = sim.Journal().size();
    selection.FillBoardSettings(options);
    EXPECT_EQ(selection.BoardSelected(), 0);
    // A board was found, so the chosen one is opened again.
    EXPECT_EQ(OpenedIds(before), std::vector<std::string>{"0"});
    EXPECT_EQ(settings.baseNumber, 0);
}

TEST_F(BoardSelectionTest, ChoosingABoardStopsTheOutputAndSetsUpTheTuner) {
    Open("KORD77PCI", "KORD77PCI.answering = 0, 1\n");
    selection.FillBoardSettings(options);
    host.calls.clear();
    host.running = true;
    model.Params().recomputeNeeded = false;
    selection.ComboBox4Change(1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"StartButtonClick", "SetupTuner"}));
    EXPECT_EQ(host.tunerDriver, session.Driver());
    EXPECT_EQ(settings.baseNumber, 1);
    EXPECT_TRUE(session.BoardFound());
    EXPECT_TRUE(model.Params().recomputeNeeded);
}

TEST_F(BoardSelectionTest, ABoardThatDoesNotOpenShowsErrorAndClearsTheState) {
    Open("KORD77PCI", "KORD77PCI.answering = 0, 1\n");
    selection.FillBoardSettings(options);
    settings.baseNumber = 1;
    sim.State("fail.OpenBoard = 0\n");
    host.calls.clear();
    selection.ComboBox4Change(1);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Error|"});
    EXPECT_EQ(settings.baseNumber, 0);
    EXPECT_FALSE(session.BoardOpened());
    EXPECT_FALSE(session.BoardFound());
    EXPECT_TRUE(host.calls.empty()); // no tuner for a board that is not there
}

TEST_F(BoardSelectionTest, InformationLabelsFromTheDriver) {
    Open("KORD77PCI", "firmware_version = 0x1A\nserial_number = 4711\n"
                      "driver_version = 0x00030002\n");
    ASSERT_TRUE(selection.Create(options));
    EXPECT_EQ(selection.Firmware(), "1.10");
    EXPECT_EQ(selection.SerialNumber(), "4711");
    EXPECT_EQ(selection.DriverVersion(), "2.3"); // low.high
}

TEST_F(BoardSelectionTest, MissingInformationShowsNotAvailableAndTheReadVersion) {
    Open("KORD77PCI", "firmware_version = 0\nserial_number = 0\ndriver_version = 0\n"
                      "version = 4.5.6.7\n");
    ASSERT_TRUE(selection.Create(options));
    EXPECT_EQ(selection.Firmware(), "Not available");
    EXPECT_EQ(selection.SerialNumber(), "Not available");
    EXPECT_EQ(selection.DriverVersion(), "4.5.6.7"); // codes 2001 .. 2004

    sim.State("fail.Control.0x7A5A00A0 = 0\n");
    selection.RefreshInformation();
    EXPECT_EQ(selection.Firmware(), "Not available");
}

TEST_F(BoardSelectionTest, ReleasedDriverLeavesNothingOfItsInformation) {
    Open("KORD77PCI", "firmware_version = 0x12\nserial_number = 4711\n");
    ASSERT_TRUE(selection.Create(options));
    ASSERT_EQ(selection.Firmware(), "1.2");
    // A reload whose new driver cannot be loaded: what the old one told is gone.
    model.CloseBoard();
    session.ReleaseDriver();
    selection.RefreshInformation();
    EXPECT_EQ(selection.Firmware(), "Not available");
    EXPECT_EQ(selection.SerialNumber(), "Not available");
    EXPECT_EQ(selection.DriverVersion(), "Not available");
}

TEST_F(BoardSelectionTest, LibraryListHasAnEmptyLineForAnAbsentModule) {
    Open("KORD77USB", "KORD77USB.version = 1.2.3.4\nKORD77USB.second_version = 2.0.0.9\n"
                      "KORD77USB.second_name = loader\n");
    const std::vector<std::string> lines = selection.LibraryList();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Loaded dynamic libraries:");
    EXPECT_EQ(lines[1], ""); // no signal library in this test
    EXPECT_EQ(lines[2], session.Information().driver.name + "(1.2.3.4)");
    EXPECT_EQ(lines[3], "loader(2.0.0.9)");

    // A module that reads only zeros is absent; a version ending in 0 is a version.
    board::ModuleVersion absent;
    absent.name = "x";
    absent.numbers = {0, 0, 0, 0};
    EXPECT_EQ(board::LibraryLine(absent), "");
    board::ModuleVersion released;
    released.name = "x";
    released.numbers = {1, 2, 3, 0};
    EXPECT_EQ(board::LibraryLine(released), "x(1.2.3.0)");
}

TEST_F(BoardSelectionTest, InformationTabIsHiddenForAFoundBoardThatIsNotUsb) {
    Open("KORD77PCI");
    selection.Create(options);
    EXPECT_FALSE(selection.InformationTabVisible());
}

TEST_F(BoardSelectionTest, InformationTabStaysForUsb) {
    Open("KORD77USB");
    selection.Create(options);
    EXPECT_TRUE(selection.InformationTabVisible());
}

TEST_F(BoardSelectionTest, InformationTabStaysWhenNoBoardWasFound) {
    Open("KORD77PCI", "KORD77PCI.answering = 7\n");
    selection.Create(options);
    EXPECT_TRUE(selection.InformationTabVisible());
    EXPECT_TRUE(selection.BoardList().empty());
    EXPECT_EQ(selection.BoardSelected(), -1);
}

TEST_F(BoardSelectionTest, ProbingCountsTheBoardsThatAnswerTheSecondDriver) {
    Open("KORD77USB"); // board 0 answers
    ASSERT_TRUE(selection.Create(options));
    ASSERT_NE(selection.ProbeDriver(), nullptr);
    EXPECT_NE(selection.ProbeDriver(), session.Driver());
    EXPECT_TRUE(selection.UpdateButtonEnabled());
    EXPECT_EQ(selection.BoardList(), std::vector<std::string>{"0"});

    sim.State("answering = 0, 1, 2\n"); // two more boards plugged in
    host.running = true;
    host.calls.clear();
    const std::size_t before = sim.Journal().size();
    selection.UpdateButtonClick();
    EXPECT_EQ(host.calls, std::vector<std::string>{"StartButtonClick"});
    EXPECT_EQ(selection.BoardList(), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(selection.BoardSelected(), 0);
    // Ids 0 .. 3 of the list were tried; the first that did not answer ended it.
    EXPECT_EQ(OpenedIds(before), (std::vector<std::string>{"0", "1", "2", "3"}));

    selection.ComboBox4Change(2);
    ASSERT_EQ(settings.baseNumber, 2);
    selection.UpdateButtonClick();
    EXPECT_EQ(selection.BoardSelected(), 2); // kept: below the count
    sim.State("answering = 0\n");
    selection.UpdateButtonClick();
    EXPECT_EQ(selection.BoardList(), std::vector<std::string>{"0"});
    EXPECT_EQ(selection.BoardSelected(), 0);
}

TEST_F(BoardSelectionTest, WithoutPollingThereIsNoSecondDriver) {
    Open("KORD77PCI");
    ASSERT_TRUE(selection.Create(options));
    EXPECT_EQ(selection.ProbeDriver(), nullptr);
    EXPECT_FALSE(selection.UpdateButtonEnabled());
    const std::size_t before = sim.Journal().size();
    selection.UpdateButtonClick();
    EXPECT_EQ(sim.Journal().size(), before);
}

TEST_F(BoardSelectionTest, SecondDriverThatCannotBeCreatedEndsTheApplication) {
    Open("KORD77USB");
    WriteText(registry.File(), ""); // the driver is no longer registered
    EXPECT_FALSE(selection.Create(options));
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.back(), "EndApplication");
    EXPECT_EQ(selection.ProbeDriver(), nullptr);
    EXPECT_EQ(report.Line(), 79);
    EXPECT_EQ(report.Code(), -8);
    EXPECT_EQ(report.SourceFile(), "OptionsWindow");
    const auto shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, RussianWord(7));
    EXPECT_NE(shown[0].text.find(RussianWord(50)), std::string::npos);
}

TEST_F(BoardSelectionTest, SecondDriverFollowsADriverReload) {
    Open("KORD77USB");
    ASSERT_TRUE(selection.Create(options));
    ASSERT_NE(selection.ProbeDriver(), nullptr);

    session.ReleaseDriver();
    Open("KORD77PCI");
    EXPECT_TRUE(selection.AfterDriverReload(options));
    EXPECT_EQ(selection.ProbeDriver(), nullptr);

    session.ReleaseDriver();
    Open("KORD77USB");
    EXPECT_TRUE(selection.AfterDriverReload(options));
    EXPECT_NE(selection.ProbeDriver(), nullptr);
}

TEST_F(BoardSelectionTest, FillBoardSettingsPutsTheSettingsIntoTheOptions) {
    Open("KORD77PCI");
    settings.dacUseExt = 2;
    settings.dacStartMode = 4;
    settings.rLoad = 75;
    settings.minVolts = -2.5;
    selection.FillBoardSettings(options);
    EXPECT_EQ(options.Edit3Text(), "75");
    EXPECT_EQ(options.Edit1Text(), "-2,5");
    EXPECT_TRUE(options.ExternalStartChecked());
    EXPECT_EQ(options.StartTypeRow(), 1);
    // The rows of the window's lists in the current language.
    EXPECT_EQ(options.Texts(options_text::StartTypes),
              (std::vector<std::string>{"by the falling edge", "by the raising edge"}));
    EXPECT_EQ(options.Texts(options_text::Devices),
              (std::vector<std::string>{"VELK-1 PCI", "VELK-2 USB"}));
}

} // namespace
