// The board side of the start-up, discovery and the driver reload of the options
// window under every failure the simulated board can give, for each driver kind:
// - the reading returns promptly;
// - it ends the program only with the message that says why (no clock table,
//   no attenuator table);
// - otherwise the program goes on: an opened board shows the found picture, a board
//   that was not opened never shows it (a USB board's picture shows its cable);
// - once the board works again, a driver reload finds the board.

#include "app/board/board_display.h"
#include "app/board/board_session.h"
#include "app/params/error_report.h"
#include "app/params/scripted_dialogs.h"
#include "resources/strings/text_table.h"
#include "tests/app/board/board_fakes.h"
#include "tests/app/board/sim_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace {

using board::BoardSession;
using simtest::SimEnvironment;

struct Fault {
    const char* name;
    const char* state;
};

const Fault kFaults[] = {
    {"NoAnswer", "no_answer = 1\n"},
    {"OpenBoard0", "fail.OpenBoard = 0\n"},
    {"OpenBoardBadArgument", "fail.OpenBoard = -1\n"},
    {"EveryControl0", "fail.Control = 0\n"},
    {"EveryControlBadArgument", "fail.Control = -1\n"},
    {"LaterControls0", "fail_after.Control = 10\nfail.Control = 0\n"},
    {"ClockTable0", "fail.Control.0x7A5A0008 = 0\n"},
    {"ClockCount0", "fail.Control.0x7A5A000A = 0\n"},
    {"AttenuatorTable0", "fail.Control.0x7A5A0000 = 0\n"},
    {"AttenuatorCount0", "fail.Control.0x7A5A0004 = 0\n"},
    {"Memory0", "fail.Control.48 = 0\n"},
    {"Resolution0", "fail.Control.31 = 0\n"},
    {"Capabilities0", "fail.Control.17 = 0\n"},
    {"BoardIds0", "fail.Control.18 = 0\n"},
    {"BoardIdCount0", "fail.Control.41 = 0\n"},
    {"PollState0", "fail.Control.0x7A5A0040 = 0\n"},
    {"Connected0", "fail.Control.0x7A5A0050 = 0\n"},
    {"Disconnected", "connected = 0\n"},
    {"PowerAbnormal", "power_normal = 0\n"},
    {"NoBoardAnswers", "answering = 999\n"},
};

struct Driver {
    const char* name;
    DeviceKind kind;
    int foundGlyph;
};

const Driver kDrivers[] = {
    {"KORD77PCI", DeviceKind::Pci, board::glyph::PciFound},
    {"KORD77USB", DeviceKind::Usb, board::glyph::UsbConnected},
    {"KORD77ISA", DeviceKind::Isa, board::glyph::IsaFound},
};

enum class Action { StartUp, DriverReload };

struct Case {
    Action action;
    Driver driver;
    Fault fault;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << (c.action == Action::StartUp ? "start-up" : "driver reload") << " of " << c.driver.name
         << " with " << c.fault.name;
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const Action action : {Action::StartUp, Action::DriverReload}) {
        for (const Driver& driver : kDrivers) {
            for (const Fault& fault : kFaults) {
                cases.push_back({action, driver, fault});
            }
        }
    }
    return cases;
}

class SessionFaultMatrix : public testing::TestWithParam<Case> {
protected:
    SessionFaultMatrix() {
        env.Register({{"Base library", "UndulaN", UNDULAN_LIBRARY},
                      {"Drivers", "KORD77PCI", KORD77PCI_LIBRARY},
                      {"Drivers", "KORD77USB", KORD77USB_LIBRARY},
                      {"Drivers", "KORD77ISA", KORD77ISA_LIBRARY}});
        texts.Load(TextTable::kEnglish);
    }

    BoardSession::ReadResult Read(const Driver& driver) {
        session.ReleaseDriver();
        EXPECT_TRUE(session.LoadDriver(driver.name)) << session.DriverReason();
        session.SetKind(driver.kind);
        return session.ReadInformation(nullptr, baseNumber);
    }

    SimEnvironment env;
    TextTable texts;
    params::ScriptedDialogs dialogs;
    params::ErrorReport report{dialogs, [] {}, {"Error", "Unknown error"}};
    boardtest::FakeIndicators indicators;
    boardtest::FakePoll poll;
    BoardSession session{report, [this](int id) { return texts.Text(id); }, indicators, poll};
    int baseNumber = 0;
};

TEST_P(SessionFaultMatrix, EndsOnlyWithItsMessageAndFindsTheBoardAgain) {
    const Case& c = GetParam();
    if (c.action == Action::DriverReload) {
        // The options window changes the driver: first another one, working.
        const Driver& other = c.driver.kind == DeviceKind::Pci ? kDrivers[1] : kDrivers[0];
        ASSERT_EQ(Read(other), BoardSession::ReadResult::Done);
        ASSERT_TRUE(session.BoardFound());
    }
    dialogs.Reset();
    env.State(c.fault.state);
    const auto begin = std::chrono::steady_clock::now();
    const BoardSession::ReadResult result = Read(c.driver);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    env.State("");

    std::vector<std::string> shown;
    for (const auto& box : dialogs.Shown()) {
        shown.push_back(box.text);
    }
    if (result == BoardSession::ReadResult::Fatal) {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].starts_with(texts.Text(201)) || shown[0].starts_with(texts.Text(202)))
            << shown[0];
    } else if (session.BoardOpened()) {
        EXPECT_TRUE(session.BoardFound());
        EXPECT_EQ(indicators.glyph, c.driver.foundGlyph);
    } else if (c.driver.kind != DeviceKind::Usb && indicators.glyph.has_value()) {
        // (A USB board's picture shows whether its cable is in, opened or not.)
        EXPECT_NE(*indicators.glyph, c.driver.foundGlyph) << "a board not opened shown as found";
    }
    for (const std::string& text : shown) {
        EXPECT_FALSE(text.empty()) << "an empty box";
    }

    // The board works again: reading it once more finds it, without a box.
    dialogs.Reset();
    EXPECT_EQ(Read(c.driver), BoardSession::ReadResult::Done);
    EXPECT_TRUE(session.BoardFound());
    EXPECT_EQ(indicators.glyph, c.driver.foundGlyph);
    EXPECT_EQ(dialogs.ShownCount(), 0u) << dialogs.Shown().front().text;
}

INSTANTIATE_TEST_SUITE_P(Actions, SessionFaultMatrix, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.action == Action::StartUp
                                                    ? "StartUp_"
                                                    : "DriverReload_") +
                                    param.param.driver.name + "_" + param.param.fault.name;
                         });

} // namespace
