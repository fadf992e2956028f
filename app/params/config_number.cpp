#include "app/params/config_number.h"

#include "app/params/config_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace params {

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsExponentMark(char c) {
    const char u = Upper(c);
    return u == 'E' || u == 'D';
}

std::optional<int32_t> IntFromDouble(double rounded) {
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return static_cast<int32_t>(rounded);
    }
    return std::nullopt;
}

ParsedNumber ParseHexadecimal(std::string_view digits, ParsedNumber result) {
    if (digits.empty()) {
        return result;
    }
    uint64_t value = 0;
    for (const char c : digits) {
        const char u = Upper(c);
        uint64_t digit = 0;
        if (IsDigit(u)) {
            digit = static_cast<uint64_t>(u - '0');
        } else if (u >= 'A' && u <= 'F') {
            digit = static_cast<uint64_t>(u - 'A' + 10);
        } else {
            return result;
        }
        if (value > (std::numeric_limits<uint64_t>::max() >> 4)) {
            return result; // more than 64 bits
        }
        value = (value << 4) | digit;
    }
    result.status = NumberStatus::Ok;
    result.form = NumberForm::Hexadecimal;
    result.value = static_cast<double>(value);
    if (value <= std::numeric_limits<uint32_t>::max()) {
        result.asInt = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    return result;
}

ParsedNumber ParseFloating(std::string_view body, bool negative, double multiplier,
                           ParsedNumber result) {
    // The standard conversion knows only "E" as the exponent mark.
    std::string text(body);
    for (char& c : text) {
        if (IsExponentMark(c)) {
            c = 'E';
        }
    }
    double x = 0.0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, x, std::chars_format::general);
    if (ec != std::errc() || ptr != last) {
        return result; // "1E", "1E5.5", out of the double range
    }
    x *= multiplier;
    if (!std::isfinite(x)) {
        return result;
    }
    if (negative) {
        x = -x;
    }
    result.status = NumberStatus::Ok;
    result.form = NumberForm::Floating;
    result.value = x;
    result.asInt = IntFromDouble(std::floor(x + 0.5));
    return result;
}

ParsedNumber ParseInteger(std::string_view body, bool negative, uint64_t multiplier,
                          ParsedNumber result) {
    constexpr auto limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t value = 0;
    for (const char c : body) {
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10) {
            return result;
        }
        value = value * 10 + digit;
    }
    if (value > limit / multiplier) {
        return result;
    }
    value *= multiplier;
    const int64_t signedValue =
        negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    result.status = NumberStatus::Ok;
    result.form = NumberForm::Integer;
    result.value = static_cast<double>(signedValue);
    if (signedValue >= std::numeric_limits<int32_t>::min() &&
        signedValue <= std::numeric_limits<int32_t>::max()) {
        result.asInt = static_cast<int32_t>(signedValue);
    }
    return result;
}

} // namespace

ParsedNumber ParseNumber(std::string_view line, std::size_t position) {
    if (const auto zero = line.find('\0'); zero != std::string_view::npos) {
        line = line.substr(0, zero);
    }
    std::size_t start = position < line.size() ? position : line.size();
    while (start < line.size() && IsSeparator(line[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < line.size() && !IsSeparator(line[end])) {
        ++end;
    }

    ParsedNumber result;
    result.end = end;
    std::string_view token = line.substr(start, end - start);
    if (token.empty()) {
        return result;
    }
    if (token.front() == ';') {
        result.status = NumberStatus::Comment;
        return result;
    }
    if (token.size() >= 2 && token[0] == '0' && Upper(token[1]) == 'X') {
        return ParseHexadecimal(token.substr(2), result);
    }

    bool negative = false;
    if (token.front() == '-' || token.front() == '+') {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    uint64_t multiplier = 1;
    if (!token.empty() && Upper(token.back()) == 'K') {
        multiplier = 1024;
    } else if (!token.empty() && Upper(token.back()) == 'M') {
        multiplier = 1048576;
    }
    if (multiplier != 1) {
        token.remove_suffix(1);
    }

    int digits = 0;
    int dots = 0;
    int exponentMarks = 0;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        if (IsDigit(c)) {
            ++digits;
        } else if (c == '.') {
            ++dots;
        } else if (IsExponentMark(c)) {
            ++exponentMarks;
        } else if ((c == '+' || c == '-') && i > 0 && IsExponentMark(token[i - 1]) &&
                   exponentMarks == 1) {
            // the sign of the exponent
        } else {
            return result;
        }
    }
    if (digits == 0 || dots > 1 || exponentMarks > 1) {
        return result;
    }
    if (dots == 1 || exponentMarks == 1) {
        return ParseFloating(token, negative, static_cast<double>(multiplier), result);
    }
    return ParseInteger(token, negative, multiplier, result);
}

} // namespace params
