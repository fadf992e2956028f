#pragma once
// One number token of a configuration line. A token starts after blanks and ends
// at the first byte not above the blank. Accepted forms:
//   0X1F          hexadecimal, up to 64 bits
//   -12  +3  2K   decimal integer with sign; a final K multiplies by 1024, M by 1048576
//   -1.5E-1  1D3  2.5K
//                 floating point: one dot and/or one exponent mark (E or D, with an
//                 optional sign right after it), the same multipliers
// A token that starts with ";" is a comment, which callers treat like an absent
// value. Everything else is invalid.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace params {

enum class NumberStatus {
    Comment = -1,
    Invalid = 0,
    Ok = 1,
};

enum class NumberForm {
    Hexadecimal,
    Integer,
    Floating,
};

struct ParsedNumber {
    NumberStatus status = NumberStatus::Invalid;
    NumberForm form = NumberForm::Integer;
    double value = 0.0;           // every valid token, as a double
    std::optional<int32_t> asInt; // valid tokens that have an int value (see below)
    std::size_t end = 0;          // position after the token
};

// Parses the token at `position` of `line` (the line ends at the end of the view or
// at its first zero byte). The int value is:
//   hexadecimal: the value when it fits in 32 bits, read as a signed int, so that
//                "0xFFFFFFFF" (as the writer writes -1) reads back as -1;
//   integer:     the value when it lies in the int range;
//   floating:    the value rounded half up, floor(x + 0.5), when it lies in range.
// Values outside those ranges have no int value, and numbers that overflow a
// 64-bit integer or a double are invalid rather than wrapped or infinite.
ParsedNumber ParseNumber(std::string_view line, std::size_t position = 0);

} // namespace params
