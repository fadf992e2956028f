// The board session against the simulated drivers: the order in which the board
// information is asked, the checks that end the program (201, 202) or not (226),
// discovery with the display and the poll, and the poll that stops an output
// whose USB board went away.

#include "app/board/board_session.h"
#include "app/board/component_slots.h"
#include "app/params/error_report.h"
#include "app/params/scripted_dialogs.h"
#include "resources/strings/text_table.h"
#include "tests/app/board/board_fakes.h"
#include "tests/app/board/sim_registry.h"

#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <string>
#include <vector>

namespace {

using board::BoardSession;
using simtest::SimEnvironment;

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        env.Register({{"Base library", "UndulaN", UNDULAN_LIBRARY},
                      {"Drivers", "KORD77PCI", KORD77PCI_LIBRARY},
                      {"Drivers", "KORD77USB", KORD77USB_LIBRARY},
                      {"Drivers", "KORD77ISA", KORD77ISA_LIBRARY}});
        texts.Load(TextTable::kEnglish);
        session.hooks.running = [this] { return running; };
        session.hooks.startStop = [this] {
            ++startStops;
            running = false;
        };
        session.hooks.markRecomputeNeeded = [this] { ++recomputes; };
        session.hooks.transferRunning = [this] { return transferRunning; };
    }

    BoardSession::ReadResult Open(const std::string& name, DeviceKind kind) {
        EXPECT_TRUE(session.LoadDriver(name)) << session.DriverReason();
        session.SetKind(kind);
        return session.ReadInformation(nullptr, baseNumber);
    }
    std::vector<std::string> Warnings() const {
        std::vector<std::string> shownTexts;
        for (const auto& shown : dialogs.Shown()) {
            shownTexts.push_back(shown.text);
        }
        return shownTexts;
    }
    bool Warned(int id) const {
        for (const auto& shown : dialogs.Shown()) {
            if (shown.text.rfind(texts.Text(id), 0) == 0 && shown.caption == texts.Text(7)) {
                return true;
            }
        }
        return false;
    }

    SimEnvironment env;
    TextTable texts;
    params::ScriptedDialogs dialogs;
    params::ErrorReport report{dialogs, [] {}, {"Ошибка", "Неизвестная ошибка"}};
    boardtest::FakeIndicators indicators;
    boardtest::FakePoll poll;
    BoardSession session{report, [this](int id) { return texts.Text(id); }, indicators, poll};
    int baseNumber = 0;
    bool running = false;
    bool transferRunning = false;
    int startStops = 0;
    int recomputes = 0;
};

// Every code in the order the board information is read, then the list, the poll
// flag and the scan (PCI: ids 0 and 1, of which 0 answers), then the board opened.
TEST_F(SessionTest, ReadsTheBoardInTheStatedOrder) {
    ASSERT_EQ(Open("KORD77PCI", DeviceKind::Pci), BoardSession::ReadResult::Done);
    std::vector<std::string> calls;
    for (const auto& entry : env.Journal()) {
        if (entry.operation == "Control") {
            calls.push_back(entry.Arg("name"));
        } else if (entry.operation == "OpenBoard") {
            calls.push_back("OpenBoard " + entry.Arg("id"));
        }
    }
    const std::vector<std::string> expected{
        "SecondMajor",     "VersionMajor",  "VersionMinor", "VersionRevision", "VersionBuild",
        "SecondName",      "Name",          "Resolution",   "MinClock",        "MaxClock",
        "Memory",          "VoltageUnused", "MaxVoltage",   "Capabilities",    "AttenuatorCount",
        "AttenuatorTable", "ClockTable",    "ClockCount",   "Capabilities",    "BoardIds",
        "BoardIdCount",    "ListUnused1",   "ListCheckA",   "ListCheckB",      "ListUnused2",
        "PollState",       "OpenBoard 0",   "OpenBoard 1",  "OpenBoard 0"};
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(dialogs.Shown().empty());

    const board::BoardInformation& info = session.Information();
    EXPECT_EQ(info.codeBits, 14);
    EXPECT_EQ(info.memory, 1 << 20);
    EXPECT_FLOAT_EQ(info.maxVoltage, 10.0f);
    EXPECT_FLOAT_EQ(info.minClock, 6103.515625f);
    EXPECT_EQ(info.clockCount, 16); // 15 clocks and the repeated last one
    EXPECT_EQ(info.UsableClockCount(), 15);
    ASSERT_NE(info.clocks, nullptr);
    EXPECT_DOUBLE_EQ(info.clocks[0], 1e8);
    EXPECT_TRUE(info.synthesiser);
    EXPECT_FALSE(info.evenLength);
    EXPECT_FALSE(info.secondModule.present);
    EXPECT_EQ(info.driver.name, "KORD77PCI simulated driver");
    EXPECT_EQ(info.ModelValues().gains, (std::vector<double>{1.0f, 0.1f, 0.01f, 0.001f}));
    EXPECT_FALSE(info.pollRequested);

    EXPECT_TRUE(session.BoardOpened());
    EXPECT_TRUE(session.BoardFound());
    EXPECT_EQ(session.FoundCount(), 1);
    EXPECT_EQ(indicators.glyph, 3);
    EXPECT_TRUE(indicators.startEnabled);
    EXPECT_FALSE(poll.active); // the PCI driver does not ask for polling
}

TEST_F(SessionTest, SecondModuleAndSignalLibraryVersions) {
    board::SignalLibrarySlot signal;
    ASSERT_TRUE(signal.Load()) << signal.Reason();
    ASSERT_TRUE(session.LoadDriver("KORD77USB"));
    session.SetKind(DeviceKind::Usb);
    session.ReadInformation(signal.Object(), baseNumber);
    const board::BoardInformation& info = session.Information();
    EXPECT_TRUE(info.signalLibrary.present);
    EXPECT_EQ(info.signalLibrary.name, "libundulan.so");
    EXPECT_EQ(info.signalLibrary.numbers[0], QUORVEL_VERSION_MAJOR);
    ASSERT_TRUE(info.secondModule.present);
    EXPECT_EQ(info.secondModule.name, "KORD77USB simulated loader");
    EXPECT_EQ(info.secondModule.numbers[0], 1);
    EXPECT_EQ(info.secondModule.numbers[1], 2);
    EXPECT_TRUE(info.evenLength);
    // Releasing the driver forgets its versions but not the signal library's.
    session.ReleaseDriver();
    EXPECT_FALSE(session.Information().driver.present);
    EXPECT_FALSE(session.Information().secondModule.present);
    EXPECT_TRUE(session.Information().signalLibrary.present);
    EXPECT_FALSE(session.BoardOpened());
}

struct DataProblem {
    const char* name;
    const char* config;
    BoardSession::ReadResult result;
    int message;
    int code;
    bool listAsked;
};

void PrintTo(const DataProblem& row, std::ostream* out) {
    *out << row.name;
}

class BoardDataProblems : public SessionTest, public ::testing::WithParamInterface<DataProblem> {};

// Missing tables end the program before the board list is asked; a missing list
// is reported and leaves the program running without a board.
TEST_P(BoardDataProblems, AreReportedWithTheirCodes) {
    const DataProblem& p = GetParam();
    env.Config(p.config);
    EXPECT_EQ(Open("KORD77PCI", DeviceKind::Pci), p.result);
    ASSERT_EQ(dialogs.ShownCount(), 1u);
    EXPECT_TRUE(Warned(p.message)) << ::testing::PrintToString(Warnings());
    EXPECT_EQ(report.Code(), p.code);
    EXPECT_EQ(report.SourceFile(), "Gen");
    bool listAsked = false;
    for (const auto& entry : env.Journal()) {
        listAsked = listAsked || entry.Arg("name") == "BoardIds";
    }
    EXPECT_EQ(listAsked, p.listAsked);
    EXPECT_TRUE(env.Calls("OpenBoard").empty());
    EXPECT_FALSE(session.BoardFound());
    EXPECT_FALSE(session.BoardOpened());
}

INSTANTIATE_TEST_SUITE_P(
    Session, BoardDataProblems,
    ::testing::Values(DataProblem{"NoClockTable", "clocks =\n", BoardSession::ReadResult::Fatal,
                                  201, -9, false},
                      DataProblem{"OneReportedClock", "extra_entry = 0\nclocks = 1e6\n",
                                  BoardSession::ReadResult::Fatal, 201, -9, false},
                      DataProblem{"NoAttenuatorTable", "gains =\n", BoardSession::ReadResult::Fatal,
                                  202, -10, false},
                      DataProblem{"ListCheckZero", "list_check_a = 0\n",
                                  BoardSession::ReadResult::Done, 226, -11, true},
                      DataProblem{"EmptyBoardList", "board_ids =\n", BoardSession::ReadResult::Done,
                                  226, -11, true}),
    [](const auto& row) { return std::string(row.param.name); });

// One real clock and one real stage are enough (the board reports one entry more).
TEST_F(SessionTest, ASingleClockAndStageAreEnough) {
    env.Config("clocks = 1e6\ngains = 1\n");
    EXPECT_EQ(Open("KORD77PCI", DeviceKind::Pci), BoardSession::ReadResult::Done);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(session.Information().UsableClockCount(), 1);
    EXPECT_TRUE(session.BoardFound());
}

TEST_F(SessionTest, WithoutADriverTheDisplayShowsNoBoard) {
    indicators.startEnabled = true;
    EXPECT_EQ(session.ReadInformation(nullptr, baseNumber), BoardSession::ReadResult::Done);
    EXPECT_EQ(indicators.glyph, 7);
    EXPECT_FALSE(indicators.startEnabled);
    EXPECT_EQ(session.Discover(baseNumber), 0);
}

TEST_F(SessionTest, FailedDriverLoadIsReportedWithMessage200) {
    EXPECT_FALSE(session.LoadDriver("KORD77XYZ"));
    ASSERT_EQ(dialogs.ShownCount(), 1u);
    EXPECT_TRUE(Warned(200));
    EXPECT_EQ(report.Code(), -8);
    EXPECT_EQ(session.Driver(), nullptr);
}

// A USB board that asks for polling: the poll starts with discovery; unplugged
// while the output runs, the next tick disables Start and runs the Start/Stop
// action once; while a transfer runs the poll leaves the board alone.
TEST_F(SessionTest, PollStopsTheOutputOfAnUnpluggedBoard) {
    ASSERT_EQ(Open("KORD77USB", DeviceKind::Usb), BoardSession::ReadResult::Done);
    EXPECT_TRUE(poll.active);
    EXPECT_TRUE(session.Information().pollRequested);
    EXPECT_EQ(indicators.glyph, 0);
    EXPECT_EQ(indicators.powerNormal, true);
    EXPECT_TRUE(indicators.startEnabled);

    running = true;
    session.PollTick();
    EXPECT_EQ(startStops, 0);

    env.State("connected = 0\n");
    transferRunning = true;
    env.ClearJournal();
    session.PollTick();
    EXPECT_TRUE(env.Journal().empty());
    EXPECT_TRUE(indicators.startEnabled);

    transferRunning = false;
    session.PollTick();
    EXPECT_FALSE(indicators.startEnabled);
    EXPECT_EQ(indicators.glyph, 4);
    EXPECT_EQ(indicators.powerVisible, false);
    EXPECT_EQ(startStops, 1);
    EXPECT_FALSE(running);
    EXPECT_EQ(recomputes, 1);
    EXPECT_FALSE(session.BoardFound());
    EXPECT_TRUE(poll.active);

    env.State("connected = 1\n");
    session.PollTick();
    EXPECT_TRUE(indicators.startEnabled);
    EXPECT_EQ(indicators.glyph, 0);
    EXPECT_TRUE(session.BoardFound());
}

TEST_F(SessionTest, PollStopsItselfWhenTheDriverNoLongerAsks) {
    env.Config("KORD77USB.poll = 0\n");
    ASSERT_EQ(Open("KORD77USB", DeviceKind::Usb), BoardSession::ReadResult::Done);
    EXPECT_FALSE(poll.active);
    poll.active = true; // as if a previous driver had started it
    session.PollTick();
    EXPECT_FALSE(poll.active);
}

// No USB board answers: one display update as if a board were open, then the
// poll (the driver asks for it) shows the board as not opened.
TEST_F(SessionTest, NoAnsweringUsbBoard) {
    env.Config("answering =\n");
    ASSERT_EQ(Open("KORD77USB", DeviceKind::Usb), BoardSession::ReadResult::Done);
    EXPECT_FALSE(session.BoardOpened());
    EXPECT_EQ(session.FoundCount(), 0);
    EXPECT_EQ(indicators.glyph, 0); // connected, shown once
    EXPECT_TRUE(poll.active);
    session.PollTick();
    EXPECT_EQ(indicators.glyph, 4);
    EXPECT_FALSE(indicators.startEnabled);
}

} // namespace
