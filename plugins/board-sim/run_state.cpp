#include "plugins/board-sim/run_state.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace boardsim {
namespace {

constexpr std::array<Operation, 6> AllOperations{Operation::OpenBoard,   Operation::ApplySettings,
                                                 Operation::StartOutput, Operation::StopOutput,
                                                 Operation::LoadSamples, Operation::Control};

std::optional<Operation> OperationByName(std::string_view name) {
    for (const Operation operation : AllOperations)
        if (name == OperationName(operation))
            return operation;
    return std::nullopt;
}

std::string ApplyEntry(RunState& state, std::string_view key, std::string_view value) {
    const auto flag = [&](bool& field) -> std::string {
        const auto parsed = ParseInteger(value);
        if (!parsed || (*parsed != 0 && *parsed != 1))
            return "expected 0 or 1";
        field = *parsed == 1;
        return {};
    };
    if (key == "connected")
        return flag(state.connected);
    if (key == "power_normal")
        return flag(state.powerNormal);
    if (key == "no_answer")
        return flag(state.noAnswer);
    if (key == "answering") {
        const auto ids = ParseInt32List(value);
        if (!ids)
            return "expected a list of whole numbers";
        state.answering = *ids;
        return {};
    }
    if (key.starts_with("fail_after.")) {
        const auto calls = ParseInt32(value);
        if (!calls || *calls < 0)
            return "expected a number of calls, 0 or more";
        const auto operation = OperationByName(key.substr(11));
        if (!operation)
            return "unknown operation";
        state.failAfter[*operation] = *calls;
        return {};
    }
    if (key.starts_with("fail.")) {
        const auto result = ParseInt32(value);
        if (!result)
            return "expected a 32-bit result";
        std::string_view what = key.substr(5);
        if (what.starts_with("Control.")) {
            const auto code = ParseInt32(what.substr(8));
            if (!code)
                return "expected fail.Control.<code>";
            state.forcedControl[*code] = *result;
            return {};
        }
        if (what == "Control") {
            state.forcedControlAll = *result;
            return {};
        }
        const auto operation = OperationByName(what);
        if (!operation)
            return "unknown operation";
        state.forced[*operation] = *result;
        return {};
    }
    return "unknown key";
}

bool IsDriverPrefix(std::string_view prefix) {
    return prefix == "KORD77ISA" || prefix == "KORD77PCI" || prefix == "KORD77USB";
}

} // namespace

const char* OperationName(Operation operation) {
    switch (operation) {
    case Operation::OpenBoard:
        return "OpenBoard";
    case Operation::ApplySettings:
        return "ApplySettings";
    case Operation::StartOutput:
        return "StartOutput";
    case Operation::StopOutput:
        return "StopOutput";
    case Operation::LoadSamples:
        return "LoadSamples";
    case Operation::Control:
        return "Control";
    }
    return "?";
}

std::optional<int32_t> RunState::Forced(Operation operation, int32_t code, int64_t call) const {
    if (const auto after = failAfter.find(operation);
        after != failAfter.end() && call <= after->second)
        return std::nullopt;
    if (operation == Operation::Control) {
        if (const auto entry = forcedControl.find(code); entry != forcedControl.end())
            return entry->second;
        return forcedControlAll;
    }
    if (const auto entry = forced.find(operation); entry != forced.end())
        return entry->second;
    return std::nullopt;
}

std::vector<std::string> ApplyRunState(RunState& state, const KeyValueText& text,
                                       const std::string& driver) {
    std::vector<std::string> messages = text.errors;
    for (const bool prefixed : {false, true}) {
        for (const auto& [fullKey, value] : text.values) {
            std::string_view key = fullKey;
            const auto dot = key.find('.');
            if (dot != std::string_view::npos && IsDriverPrefix(key.substr(0, dot))) {
                if (!prefixed || key.substr(0, dot) != driver)
                    continue;
                key.remove_prefix(dot + 1);
            } else if (prefixed) {
                continue;
            }
            if (const std::string why = ApplyEntry(state, key, value); !why.empty())
                messages.push_back("line " + std::to_string(text.lines.at(fullKey)) + ": " +
                                   fullKey + ": " + why + "; the entry is ignored");
        }
    }
    return messages;
}

std::string StateFilePath() {
    if (const char* state = std::getenv("KORD77_SIM_STATE"); state != nullptr && *state != '\0')
        return state;
    if (const char* out = std::getenv("KORD77_SIM_OUT"); out != nullptr && *out != '\0')
        return (std::filesystem::path(out) / "state.txt").string();
    return {};
}

const RunState& RunStateReader::Read(std::vector<std::string>& messages) {
    const std::string path = StateFilePath();
    std::optional<std::string> text;
    std::error_code error;
    if (!path.empty() && std::filesystem::exists(path, error)) {
        std::string why;
        text = ReadTextFile(path, &why);
        if (!text && path != lastPath_)
            messages.push_back("state file: " + why);
    }
    if (path == lastPath_ && text == lastText_)
        return state_;
    lastPath_ = path;
    lastText_ = text;
    state_ = RunState{};
    calls_.clear();
    if (text) {
        for (const auto& message : ApplyRunState(state_, ParseKeyValueText(*text), driver_))
            messages.push_back("state file " + path + ": " + message);
    }
    return state_;
}

} // namespace boardsim
