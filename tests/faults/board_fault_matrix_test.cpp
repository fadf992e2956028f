// The operator's board actions under every failure the simulated board can give:
// each result a driver call may fail with, and a board that does not answer at all,
// for each operation and Control code the action uses.
//
// For every pair of action and failure, with the real signal library and the
// simulated board (its journal and records are the oracle):
// - the action returns promptly (nothing waits on a board that does not answer);
// - the action either does what it is for, without an error box, or shows a box
//   that says what went wrong (never a silent failure, never a false alarm);
// - the board is never left playing while the Start/Stop button says stopped,
//   unless a box says that the board did not confirm the stop;
// - the parameters and the settings are as they were;
// - once the board works again, the same action succeeds (nothing is left stuck).

#include "tests/app/board/generation_rig.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace gentest {
namespace {

using params::DialogAnswer;
using params::DialogKind;

// The failures, as lines of the simulated board's state file. Operations the board
// documents failure results for get each of them; the rest get 0 and -1.
struct Fault {
    const char* name;
    const char* state;
};

const Fault kFaults[] = {
    {"NoAnswer", "no_answer = 1\n"},
    {"OpenBoard0", "fail.OpenBoard = 0\n"},
    {"ApplySettings0", "fail.ApplySettings = 0\n"},
    {"ApplySettingsBadArgument", "fail.ApplySettings = -1\n"},
    {"LoadSamples0", "fail.LoadSamples = 0\n"},
    {"LoadSamplesBadArgument", "fail.LoadSamples = -1\n"},
    {"LoadSamplesBeyondMemory", "fail.LoadSamples = -2\n"},
    {"LoadSamplesThirdCall", "fail_after.LoadSamples = 2\nfail.LoadSamples = 0\n"},
    {"StartOutput0", "fail.StartOutput = 0\n"},
    {"StartOutputNoBoard", "fail.StartOutput = -1\n"},
    {"StartOutputNothingLoaded", "fail.StartOutput = -2\n"},
    {"StartOutputNoSettings", "fail.StartOutput = -3\n"},
    {"StartOutputDisconnected", "fail.StartOutput = -4\n"},
    {"StartOutputPower", "fail.StartOutput = -5\n"},
    {"StopOutput0", "fail.StopOutput = 0\n"},
    {"EveryControl0", "fail.Control = 0\n"},
    {"EveryControlBadArgument", "fail.Control = -1\n"},
    {"LaterControls0", "fail_after.Control = 3\nfail.Control = 0\n"},
    {"Playing0", "fail.Control.0x7A5A0020 = 0\n"},
    {"Synthesiser0", "fail.Control.0x7A5A0030 = 0\n"},
    {"SynthesiserBadArgument", "fail.Control.0x7A5A0030 = -1\n"},
    {"FlashWrite0", "fail.Control.0x7A5A0090 = 0\n"},
    {"FlashWriteBadArgument", "fail.Control.0x7A5A0090 = -1\n"},
    {"FlashWriteBeyondCapacity", "fail.Control.0x7A5A0090 = -2\n"},
    {"FlashState0", "fail.Control.0x7A5A00B0 = 0\n"},
    {"Disconnected", "connected = 0\n"},
    {"PowerAbnormal", "power_normal = 0\n"},
};

// Boxes that report success or ask a question: not error messages.
bool IsErrorBox(const params::ShownDialog& box) {
    return box.kind != DialogKind::Ask && box.text != "Write succesful." &&
           box.text != "Flash erase succesful";
}

int32_t BoardPlaying(Rig& rig) {
    int32_t playing = 0;
    rig.Device()->Control(ctl::Playing, &playing);
    return playing;
}

std::string FlashState(const Rig& rig) {
    const auto read = boardsim::ReadFlashRecord(rig.SimFolder());
    return read.record ? read.record->state : std::string();
}

// What the operator set: the parameters and every saved setting.
std::string Snapshot(Rig& rig) {
    const SignalParameters& p = rig.model.Params();
    std::ostringstream out;
    out << p.type << ' ' << p.amplitude << ' ' << p.frequency << ' ' << p.sampleClock << ' '
        << p.duration << ' ' << p.offset << ' ' << p.blockStart << ' ' << p.blockSize << ' '
        << p.polarity << ' ' << p.filter << ' ' << p.playLoop << ' ' << p.fileLoaded << '\n';
    const auto file = rig.SimFolder() / "settings-snapshot.cfg";
    params::SaveSettings(rig.settings, file.string());
    std::ifstream in(file);
    out << in.rdbuf();
    return out.str();
}

// One operator action: set up without failures, then the step that meets the
// failure, whether it did its job, and how to undo a success so that it can be
// tried again.
struct Action {
    const char* name;
    const char* driver;
    std::function<void(Rig&)> prepare;
    std::function<void(Rig&)> act;
    std::function<bool(Rig&)> done;
};

void ChooseSine(Rig& rig) {
    rig.Synthesised(signal_type::Sine, 20000, 2.0, 0.5, polarity::Bipolar);
}

void ChooseFile(Rig& rig) {
    rig.LoadFile(Bytes(RampWords(6000)), 100, 4000, 1e6, 3.0);
}

// A continuous start: pressed, and the board plays.
bool PlayingAndPressed(Rig& rig) {
    return rig.control->Running() && BoardPlaying(rig) == 1;
}

void StartFile(Rig& rig) {
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
}

void WriteFlash(Rig& rig) {
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
}

void EraseFlash(Rig& rig) {
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->EraseClick();
}

std::vector<Action> Actions() {
    return {
        {"StartContinuous", "KORD77PCI", ChooseSine,
         [](Rig& rig) { rig.control->StartButtonClick(); }, PlayingAndPressed},
        {"StartSinglePlay", "KORD77PCI",
         [](Rig& rig) {
             ChooseSine(rig);
             rig.control->ButtonHandClick();
         },
         [](Rig& rig) { rig.control->StartButtonClick(); },
         [](Rig& rig) { return rig.RecordCount() > 0; }},
        {"ReplaySinglePlay", "KORD77PCI",
         [](Rig& rig) {
             ChooseSine(rig);
             rig.control->ButtonHandClick();
             rig.control->StartButtonClick();
             ASSERT_TRUE(rig.WatchUntilReleased());
             ASSERT_EQ(rig.RecordCount(), 1u);
         },
         [](Rig& rig) { rig.control->StartButtonClick(); },
         [](Rig& rig) { return rig.RecordCount() > 1; }},
        {"Stop", "KORD77PCI",
         [](Rig& rig) {
             ChooseSine(rig);
             rig.control->StartButtonClick();
             ASSERT_TRUE(PlayingAndPressed(rig));
         },
         [](Rig& rig) { rig.control->StartButtonClick(); },
         [](Rig& rig) { return !rig.control->Running() && BoardPlaying(rig) == 0; }},
        {"FileStart", "KORD77PCI", ChooseFile, StartFile, PlayingAndPressed},
        {"FlashWrite", "KORD77USB", ChooseFile, WriteFlash,
         [](Rig& rig) { return FlashState(rig) == "written"; }},
        {"FlashErase", "KORD77USB",
         [](Rig& rig) {
             ChooseFile(rig);
             WriteFlash(rig);
             ASSERT_EQ(FlashState(rig), "written");
             rig.dialogs.Reset();
         },
         EraseFlash, [](Rig& rig) { return FlashState(rig) == "erased"; }},
    };
}

struct Case {
    Action action;
    Fault fault;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const Action& action : Actions()) {
        for (const Fault& fault : kFaults) {
            cases.push_back({action, fault});
        }
    }
    return cases;
}

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.action.name << " with " << c.fault.name;
}

class BoardFaultMatrix : public testing::TestWithParam<Case> {};

TEST_P(BoardFaultMatrix, ReportsStaysStoppedAndRecovers) {
    const Action& action = GetParam().action;
    const Fault& fault = GetParam().fault;
    Rig rig(Driver(action.driver));
    action.prepare(rig);
    if (HasFatalFailure()) {
        return;
    }
    const std::string before = Snapshot(rig);
    rig.dialogs.Reset();

    rig.State(fault.state);
    const auto begin = std::chrono::steady_clock::now();
    action.act(rig);
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    rig.State("");

    EXPECT_LT(elapsed, std::chrono::seconds(5)) << "the action waited on the board";
    const bool done = action.done(rig);
    std::vector<std::string> errors;
    for (const auto& box : rig.dialogs.Shown()) {
        if (IsErrorBox(box)) {
            errors.push_back(box.text);
        }
    }
    if (done) {
        EXPECT_TRUE(errors.empty()) << "a false alarm: " << errors.front();
    } else {
        EXPECT_FALSE(errors.empty()) << "the action failed without a word";
        for (const std::string& text : errors) {
            EXPECT_FALSE(text.empty()) << "an empty box";
        }
    }
    if (BoardPlaying(rig) == 1 && !rig.control->Running()) {
        EXPECT_FALSE(errors.empty()) << "the board plays while the button says stopped";
    }
    EXPECT_EQ(Snapshot(rig), before) << "the parameters or settings changed";

    // The board works again: the action succeeds from wherever the failure left it.
    if (!done) {
        rig.dialogs.Reset();
        if (action.name == std::string("Stop")) {
            if (!rig.control->Running()) {
                rig.control->StartButtonClick(); // the button was released: press it again
            }
        } else if (rig.control->Running() && action.name != std::string("FlashWrite") &&
                   action.name != std::string("FlashErase")) {
            rig.control->StartButtonClick(); // release the pressed button first
        }
        action.act(rig);
        EXPECT_TRUE(action.done(rig)) << "no recovery once the board works again";
        for (const auto& box : rig.dialogs.Shown()) {
            EXPECT_FALSE(IsErrorBox(box)) << "after recovery: " << box.text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Actions, BoardFaultMatrix, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& param) {
                             return std::string(param.param.action.name) + "_" +
                                    param.param.fault.name;
                         });

} // namespace
} // namespace gentest
