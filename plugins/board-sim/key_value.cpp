#include "plugins/board-sim/key_value.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace boardsim {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitList(std::string_view text) {
    std::vector<std::string_view> items;
    size_t at = 0;
    while (at < text.size()) {
        const auto start = text.find_first_not_of(" \t,", at);
        if (start == std::string_view::npos)
            break;
        auto end = text.find_first_of(" \t,", start);
        if (end == std::string_view::npos)
            end = text.size();
        items.push_back(text.substr(start, end - start));
        at = end;
    }
    return items;
}

} // namespace

KeyValueText ParseKeyValueText(std::string_view text) {
    KeyValueText result;
    int lineNumber = 0;
    size_t at = 0;
    while (at <= text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trim(text.substr(at, end - at));
        ++lineNumber;
        at = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find('=');
        const std::string_view key =
            equals == std::string_view::npos ? line : Trim(line.substr(0, equals));
        if (equals == std::string_view::npos || key.empty()) {
            result.errors.push_back("line " + std::to_string(lineNumber) +
                                    ": expected \"key = value\"");
            continue;
        }
        result.values[std::string(key)] = std::string(Trim(line.substr(equals + 1)));
        result.lines[std::string(key)] = lineNumber;
    }
    return result;
}

std::optional<std::string> ReadTextFile(const std::filesystem::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error != nullptr)
            *error = "cannot open " + file.string();
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        if (error != nullptr)
            *error = "cannot read " + file.string();
        return std::nullopt;
    }
    return content.str();
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return std::nullopt;
    const auto value = static_cast<int64_t>(magnitude);
    return negative ? -value : value;
}

std::optional<int32_t> ParseInt32(std::string_view text) {
    const auto value = ParseInteger(text);
    if (!value)
        return std::nullopt;
    // Hexadecimal codes such as 0x80004005 are 32-bit words: accept up to 0xFFFFFFFF.
    if (*value < std::numeric_limits<int32_t>::min() || *value > 0xFFFFFFFFll)
        return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(*value & 0xFFFFFFFFll));
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::vector<double>> ParseNumberList(std::string_view text) {
    std::vector<double> values;
    for (const auto item : SplitList(text)) {
        const auto value = ParseNumber(item);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

std::optional<std::vector<int32_t>> ParseInt32List(std::string_view text) {
    std::vector<int32_t> values;
    for (const auto item : SplitList(text)) {
        const auto value = ParseInt32(item);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

std::string FormatNumber(double value) {
    // Plain decimals while they stay short ("1000000", "0.001220703125"); the
    // shortest exponent form otherwise. Either reads back as the same double.
    std::array<char, 400> buffer{};
    const auto fixed = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                     std::chars_format::fixed);
    if (fixed.ec == std::errc() && fixed.ptr - buffer.data() <= 24)
        return std::string(buffer.data(), fixed.ptr);
    const auto general = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), general.ptr);
}

std::string FormatNumber(float value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string FormatHex32(uint32_t value) {
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
    std::string text(digits.data(), result.ptr);
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    return "0x" + std::string(8 - text.size(), '0') + text;
}

} // namespace boardsim
