#pragma once
// The run-time state of a simulated board that a test (or a person) changes while
// the program runs: a small key = value file that the board re-reads on every
// driver call. Named by KORD77_SIM_STATE, else "state.txt" in the KORD77_SIM_OUT
// folder; a missing file means the defaults below. Keys: see README.md.

#include "plugins/board-sim/key_value.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace boardsim {

// The operations a forced result can be given to ("fail.<Operation> = result").
enum class Operation { OpenBoard, ApplySettings, StartOutput, StopOutput, LoadSamples, Control };

const char* OperationName(Operation operation);

struct RunState {
    bool connected = true;   // the USB cable is in (code 0x7A5A0050)
    bool powerNormal = true; // the power supply is normal (code 0x7A5A0070)
    bool noAnswer = false;   // the board answers nothing: every call fails at once with 0
    std::optional<std::vector<int32_t>> answering; // replaces the settings file's list
    std::map<Operation, int32_t> forced;           // "fail.StartOutput = -7"
    std::optional<int32_t> forcedControlAll;       // "fail.Control = 0"
    std::map<int32_t, int32_t> forcedControl;      // "fail.Control.0x7A5A0020 = 0"
    std::map<Operation, int64_t> failAfter;        // "fail_after.LoadSamples = 3"

    // The forced result of a call, when there is one. For Control the entry of the
    // code wins over "fail.Control". `call` counts the calls of the operation since
    // the state file last changed, this one included: the first failAfter calls are
    // not forced (so a test can fail, say, the third chunk of a transfer).
    std::optional<int32_t> Forced(Operation operation, int32_t code = 0, int64_t call = 1) const;
};

// Applies the entries of `text` for `driver` (plain keys and "<driver>." keys, the
// latter winning). Returns one message per refused entry.
std::vector<std::string> ApplyRunState(RunState& state, const KeyValueText& text,
                                       const std::string& driver);

// The path of the state file, or empty when neither variable is set.
std::string StateFilePath();

// Re-reads the state file when its text has changed since the last call, so that a
// board polled every few milliseconds does not reparse it (and report the same
// problems) again and again.
class RunStateReader {
public:
    explicit RunStateReader(std::string driver) : driver_(std::move(driver)) {}
    // The current state; problems of a changed file are added to `messages`.
    const RunState& Read(std::vector<std::string>& messages);
    // Counts a call of `operation`; returns how many there were since the state file
    // last changed, this one included.
    int64_t CountCall(Operation operation) { return ++calls_[operation]; }

private:
    std::string driver_;
    std::string lastPath_;
    std::optional<std::string> lastText_;
    RunState state_;
    std::map<Operation, int64_t> calls_;
};

} // namespace boardsim
