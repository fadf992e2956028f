#include "plugins/board-sim/board_config.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

namespace boardsim {
namespace {

std::vector<double> StandardClocks() {
    std::vector<double> clocks;
    for (int k = 0; k <= 14; ++k)
        clocks.push_back(1e8 / std::ldexp(1.0, k));
    return clocks;
}

// A setter refuses a value by returning the reason.
using Setter = std::function<std::string(BoardConfig&, std::string_view)>;

Setter Flag(bool BoardConfig::*field) {
    return [field](BoardConfig& config, std::string_view text) -> std::string {
        const auto value = ParseInteger(text);
        if (!value || (*value != 0 && *value != 1))
            return "expected 0 or 1";
        config.*field = *value == 1;
        return {};
    };
}

Setter Int(int32_t BoardConfig::*field, int64_t low, int64_t high) {
    return [field, low, high](BoardConfig& config, std::string_view text) -> std::string {
        const auto value = ParseInteger(text);
        if (!value || *value < low || *value > high)
            return "expected a whole number from " + std::to_string(low) + " to " +
                   std::to_string(high);
        config.*field = static_cast<int32_t>(*value);
        return {};
    };
}

Setter AnyInt(int32_t BoardConfig::*field) {
    return [field](BoardConfig& config, std::string_view text) -> std::string {
        const auto value = ParseInt32(text);
        if (!value)
            return "expected a 32-bit whole number";
        config.*field = *value;
        return {};
    };
}

Setter PositiveFloat(float BoardConfig::*field) {
    return [field](BoardConfig& config, std::string_view text) -> std::string {
        const auto value = ParseNumber(text);
        if (!value || *value <= 0.0 || *value > std::numeric_limits<float>::max())
            return "expected a positive number";
        config.*field = static_cast<float>(*value);
        return {};
    };
}

Setter SynthNumber(double SynthesiserRange::*field) {
    return [field](BoardConfig& config, std::string_view text) -> std::string {
        const auto value = ParseNumber(text);
        if (!value || *value <= 0.0)
            return "expected a positive number";
        config.synth.*field = *value;
        return {};
    };
}

Setter Text(std::string BoardConfig::*field) {
    return [field](BoardConfig& config, std::string_view text) -> std::string {
        config.*field = std::string(text);
        return {};
    };
}

Setter Version(std::array<int32_t, 4> BoardConfig::*field) {
    return [field](BoardConfig& config, std::string_view text) -> std::string {
        std::array<int32_t, 4> parts{};
        size_t at = 0;
        for (size_t i = 0; i < parts.size(); ++i) {
            const auto dot = i + 1 < parts.size() ? text.find('.', at) : text.size();
            if (dot == std::string_view::npos)
                return "expected four numbers a.b.c.d";
            const auto part = ParseInteger(text.substr(at, dot - at));
            if (!part || *part < 0 || *part > 65535)
                return "expected four numbers a.b.c.d from 0 to 65535";
            parts[i] = static_cast<int32_t>(*part);
            at = dot + 1;
        }
        config.*field = parts;
        return {};
    };
}

std::string SetClocks(BoardConfig& config, std::string_view text) {
    const auto values = ParseNumberList(text);
    if (!values)
        return "expected a list of clocks in Hz";
    for (const double clock : *values)
        if (clock <= 0.0 || clock > std::numeric_limits<float>::max())
            return "every clock must be positive";
    config.clocks = *values;
    return {};
}

std::string SetGains(BoardConfig& config, std::string_view text) {
    const auto values = ParseNumberList(text);
    if (!values)
        return "expected a list of gains";
    std::vector<float> gains;
    for (const double gain : *values) {
        if (gain <= 0.0 || gain > std::numeric_limits<float>::max())
            return "every gain must be positive";
        gains.push_back(static_cast<float>(gain));
    }
    config.gains = gains;
    return {};
}

std::string SetIds(std::vector<int32_t>& ids, std::string_view text) {
    const auto values = ParseInt32List(text);
    if (!values)
        return "expected a list of whole numbers";
    ids = *values;
    return {};
}

const std::map<std::string, Setter, std::less<>>& Setters() {
    static const std::map<std::string, Setter, std::less<>> setters{
        {"clocks", SetClocks},
        {"gains", SetGains},
        {"extra_entry", Flag(&BoardConfig::extraEntry)},
        {"min_clock", PositiveFloat(&BoardConfig::minClock)},
        {"max_clock", PositiveFloat(&BoardConfig::maxClock)},
        {"bits", Int(&BoardConfig::bits, 8, 16)},
        {"volts", PositiveFloat(&BoardConfig::volts)},
        {"volts_unused", PositiveFloat(&BoardConfig::voltsUnused)},
        {"synthesiser", Flag(&BoardConfig::synthesiser)},
        {"synth_low", SynthNumber(&SynthesiserRange::low)},
        {"synth_high", SynthNumber(&SynthesiserRange::high)},
        {"synth_step", SynthNumber(&SynthesiserRange::step)},
        {"synth_max_shift",
         [](BoardConfig& config, std::string_view text) -> std::string {
             const auto value = ParseInteger(text);
             if (!value || *value < 0 || *value > 30)
                 return "expected a whole number from 0 to 30";
             config.synth.maxShift = static_cast<int32_t>(*value);
             return {};
         }},
        {"even_length", Flag(&BoardConfig::evenLength)},
        {"memory", Int(&BoardConfig::memory, 1, 1 << 28)},
        {"board_ids",
         [](BoardConfig& config, std::string_view text) { return SetIds(config.boardIds, text); }},
        {"answering",
         [](BoardConfig& config, std::string_view text) { return SetIds(config.answering, text); }},
        {"list_check_a", AnyInt(&BoardConfig::listCheckA)},
        {"list_check_b", AnyInt(&BoardConfig::listCheckB)},
        {"list_unused_1", AnyInt(&BoardConfig::listUnused1)},
        {"list_unused_2", AnyInt(&BoardConfig::listUnused2)},
        {"poll", Flag(&BoardConfig::poll)},
        {"flash_capacity", Int(&BoardConfig::flashCapacity, 0, 1 << 24)},
        {"name", Text(&BoardConfig::name)},
        {"version", Version(&BoardConfig::version)},
        {"second_module", Flag(&BoardConfig::secondModule)},
        {"second_name", Text(&BoardConfig::secondName)},
        {"second_version", Version(&BoardConfig::secondVersion)},
        {"driver_version", AnyInt(&BoardConfig::driverVersion)},
        {"firmware_version", AnyInt(&BoardConfig::firmwareVersion)},
        {"serial_number", AnyInt(&BoardConfig::serialNumber)},
        {"keep_records", Int(&BoardConfig::keepRecords, 0, std::numeric_limits<int32_t>::max())},
    };
    return setters;
}

bool IsDriverPrefix(std::string_view prefix) {
    return prefix == "KORD77ISA" || prefix == "KORD77PCI" || prefix == "KORD77USB";
}

} // namespace

const char* DriverName(BoardKind kind) {
    switch (kind) {
    case BoardKind::Isa:
        return "KORD77ISA";
    case BoardKind::Pci:
        return "KORD77PCI";
    case BoardKind::Usb:
        return "KORD77USB";
    }
    return "KORD77";
}

BoardConfig DefaultConfig(BoardKind kind) {
    BoardConfig config;
    config.driver = DriverName(kind);
    config.clocks = StandardClocks();
    config.gains = {1.0f, 0.1f, 0.01f, 0.001f};
    config.name = config.driver + " simulated driver";
    switch (kind) {
    case BoardKind::Pci:
        config.synthesiser = true;
        config.memory = 1 << 20;
        config.boardIds = {0, 1, 2, 3};
        config.answering = {0};
        config.serialNumber = 770001;
        break;
    case BoardKind::Usb:
        config.synthesiser = true;
        config.evenLength = true;
        config.memory = 1 << 20;
        config.boardIds = {0, 1, 2, 3};
        config.answering = {0};
        config.poll = true;
        config.flashCapacity = 500;
        config.secondModule = true;
        config.secondName = "KORD77USB simulated loader";
        config.secondVersion = {1, 2, 0, 0};
        config.serialNumber = 770002;
        break;
    case BoardKind::Isa:
        config.memory = 1 << 16;
        config.boardIds = {0x300, 0x310, 0x320, 0x330};
        config.answering = {0x300};
        config.serialNumber = 770003;
        break;
    }
    config.listCheckB = static_cast<int32_t>(config.boardIds.size());
    return config;
}

std::vector<std::string> ApplyConfig(BoardConfig& config, const KeyValueText& text) {
    std::vector<std::string> messages = text.errors;
    // Plain keys first, then the keys of this driver, so that "KORD77USB.memory"
    // overrides "memory" whatever the order of the lines.
    for (const bool prefixed : {false, true}) {
        for (const auto& [fullKey, value] : text.values) {
            std::string_view key = fullKey;
            const auto dot = key.find('.');
            if (dot != std::string_view::npos && IsDriverPrefix(key.substr(0, dot))) {
                if (!prefixed || key.substr(0, dot) != config.driver)
                    continue;
                key.remove_prefix(dot + 1);
            } else if (prefixed) {
                continue;
            }
            const std::string where = "line " + std::to_string(text.lines.at(fullKey)) + ": ";
            const auto setter = Setters().find(key);
            if (setter == Setters().end()) {
                messages.push_back(where + "unknown key \"" + fullKey + "\"");
                continue;
            }
            if (const std::string why = setter->second(config, value); !why.empty())
                messages.push_back(where + fullKey + ": " + why + "; the value is ignored");
        }
    }
    return messages;
}

BoardConfig LoadConfig(BoardKind kind, std::vector<std::string>& messages) {
    BoardConfig config = DefaultConfig(kind);
    const char* file = std::getenv("KORD77_SIM_CONFIG");
    if (file == nullptr || *file == '\0')
        return config;
    std::string error;
    const auto text = ReadTextFile(file, &error);
    if (!text) {
        messages.push_back("settings file: " + error + "; the defaults are used");
        return config;
    }
    for (const auto& message : ApplyConfig(config, ParseKeyValueText(*text)))
        messages.push_back(std::string("settings file ") + file + ": " + message);
    return config;
}

} // namespace boardsim
