#pragma once
// The simple text the simulator reads and writes (settings file, state file,
// record sidecars):
//
//   # a comment line
//   key = value
//
// One entry per line; blanks around key and value are dropped; a later entry of
// the same key replaces an earlier one. Numbers are read and written in the C
// locale whatever the process locale is (std::from_chars / std::to_chars).

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace boardsim {

struct KeyValueText {
    std::map<std::string, std::string> values; // key -> value, last one wins
    std::map<std::string, int> lines;          // key -> line of its last entry
    std::vector<std::string> errors;           // "line N: why" for lines that do not parse
};

KeyValueText ParseKeyValueText(std::string_view text);

// Reads a whole file. Null when it cannot be opened or read; `error` says why.
std::optional<std::string> ReadTextFile(const std::filesystem::path& file, std::string* error);

// Values. Every parser refuses trailing characters and non-finite numbers.
// Integers: decimal with an optional sign, or hexadecimal with 0x.
std::optional<int64_t> ParseInteger(std::string_view text);
std::optional<int32_t> ParseInt32(std::string_view text);
std::optional<double> ParseNumber(std::string_view text);
// Lists separated by commas and/or blanks; an empty text is an empty list.
std::optional<std::vector<double>> ParseNumberList(std::string_view text);
std::optional<std::vector<int32_t>> ParseInt32List(std::string_view text);

// Shortest text that reads back as the same value, in the C locale.
std::string FormatNumber(double value);
std::string FormatNumber(float value);
std::string FormatHex32(uint32_t value); // "0x7A5A0020"

} // namespace boardsim
