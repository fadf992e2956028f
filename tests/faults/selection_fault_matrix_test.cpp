// The options window's choice of a board under every failure the simulated board
// can give, for each driver kind, while the output runs:
// - the choice returns promptly and stops the running output first;
// - the board chosen is opened and remembered, or a box says it could not be;
// - the other settings are as they were;
// - once the board works again, the same choice opens it without a box.

#include "app/board/board_selection.h"
#include "app/params/scripted_dialogs.h"
#include "resources/strings/text_table.h"
#include "tests/app/board/sim_registry.h"
#include "tests/app/params/aux_fakes.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string English(int id) {
    static const TextTable table = [] {
        TextTable t;
        t.Load(TextTable::kEnglish);
        return t;
    }();
    return table.Text(id);
}

class Indicators final : public board::BoardIndicators {
public:
    void ApplyDisplay(const board::DisplayDecision&) override {}
    bool StartEnabled() const override { return true; }
};

class Poll final : public board::PollTimer {
public:
    void StartPoll() override { active = true; }
    void StopPoll() override { active = false; }
    bool PollActive() const override { return active; }
    bool active = false;
};

class Host final : public board::BoardSelectionHost {
public:
    bool OutputRunning() const override { return running; }
    void StartButtonClick() override {
        ++stops;
        running = false;
    }
    void SetupTuner(IADCDevice*) override {}
    void EndApplication() override { ++endRequests; }

    bool running = false;
    int stops = 0;
    int endRequests = 0;
};

struct Fault {
    const char* name;
    const char* state;
    bool opens; // OpenBoard of the chosen board still succeeds
};

const Fault kFaults[] = {
    {"NoAnswer", "no_answer = 1\n", false},
    {"OpenBoard0", "fail.OpenBoard = 0\n", false},
    {"OpenBoardBadArgument", "fail.OpenBoard = -1\n", false},
    {"EveryControl0", "fail.Control = 0\n", true},
    {"EveryControlBadArgument", "fail.Control = -1\n", true},
    {"Disconnected", "connected = 0\n", false},
    {"PowerAbnormal", "power_normal = 0\n", true},
    {"ChosenBoardGone", "answering = 0\nKORD77ISA.answering = 0x300\n", false},
};

const char* const kDrivers[] = {"KORD77PCI", "KORD77USB", "KORD77ISA"};

struct Case {
    const char* driver;
    Fault fault;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.driver << " with " << c.fault.name;
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const char* driver : kDrivers) {
        for (const Fault& fault : kFaults) {
            cases.push_back({driver, fault});
        }
    }
    return cases;
}

class SelectionFaultMatrix : public testing::TestWithParam<Case> {
protected:
    SelectionFaultMatrix() {
        env.Register({{"Drivers", "KORD77PCI", KORD77PCI_LIBRARY},
                      {"Drivers", "KORD77USB", KORD77USB_LIBRARY},
                      {"Drivers", "KORD77ISA", KORD77ISA_LIBRARY}});
        // Two boards answer: ids 0 and 1, or the first two ISA addresses.
        env.Config("answering = 0, 1\nKORD77ISA.answering = 0x300, 0x310\n");
    }

    // Every setting but the board number, as the settings file holds them.
    std::string SettingsText() {
        params::Settings copy = settings;
        copy.baseNumber = 0;
        const auto file = env.Folder() / "snapshot.cfg";
        params::SaveSettings(copy, file.string());
        std::ifstream in(file);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    simtest::SimEnvironment env;
    params::ScriptedDialogs dialogs;
    params::ErrorReport report{dialogs, [] {}, {"Error", "Unknown error"}};
    Indicators indicators;
    Poll poll;
    board::BoardSession session{report, English, indicators, poll};
    params::Settings settings;
    FakeParameterView labels;
    ParameterModel model{labels, English};
    FakeAuxHost auxHost;
    OptionsLogic options{settings, model, auxHost, dialogs, English};
    Host host;
    board::BoardSelection selection{settings, model, session, host, dialogs, report, English};
};

TEST_P(SelectionFaultMatrix, OpensTheBoardOrSaysSo) {
    const Case& c = GetParam();
    settings.deviceName = c.driver;
    session.SetKind(DeviceKindOf(c.driver));
    ASSERT_TRUE(session.LoadDriver(c.driver)) << session.DriverReason();
    ASSERT_EQ(session.ReadInformation(nullptr, settings.baseNumber),
              board::BoardSession::ReadResult::Done);
    model.OpenBoard(session.Information().ModelValues(), session.Driver());
    ASSERT_TRUE(selection.Create(options));
    ASSERT_EQ(selection.BoardList().size(), 2u);
    const std::string before = SettingsText();
    host.running = true;
    dialogs.Reset();

    env.State(c.fault.state);
    const auto begin = std::chrono::steady_clock::now();
    selection.ComboBox4Change(1);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    env.State("");

    EXPECT_FALSE(host.running) << "the output was not stopped";
    EXPECT_EQ(host.endRequests, 0);
    EXPECT_EQ(session.BoardOpened(), c.fault.opens);
    if (session.BoardOpened()) {
        EXPECT_EQ(settings.baseNumber, 1);
        EXPECT_EQ(dialogs.ShownCount(), 0u) << dialogs.Shown().front().text;
    } else {
        ASSERT_GE(dialogs.ShownCount(), 1u) << "the board was not opened, without a word";
        EXPECT_FALSE(dialogs.Shown().front().text.empty());
    }
    EXPECT_EQ(SettingsText(), before) << "settings other than the board changed";

    dialogs.Reset();
    selection.ComboBox4Change(1);
    EXPECT_TRUE(session.BoardOpened()) << "no recovery once the board works again";
    EXPECT_EQ(settings.baseNumber, 1);
    EXPECT_EQ(dialogs.ShownCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Boards, SelectionFaultMatrix, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.driver) + "_" + param.param.fault.name;
                         });

} // namespace
