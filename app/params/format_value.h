#pragma once
// FormatValue: the one routine that turns a displayed number into text with a unit
// prefix, e.g. 0.025 Hz -> "25.0000 mHz", -5 V -> "-5.0000 V", 1e-7 s -> "100.000 ns".
//
// The prefixes and units are texts of the text table in the current language; the
// caller hands a lookup by text number. Numbers are always written with a decimal
// point, whatever the process locale.

#include <functional>
#include <string>
#include <string_view>

// Text of the text table by number, in the current language ("" when missing).
using TextLookup = std::function<std::string(int id)>;

namespace text_id {
inline constexpr int PrefixNano = 161;
inline constexpr int PrefixMicro = 162;
inline constexpr int PrefixMilli = 163;
inline constexpr int PrefixKilo = 164;
inline constexpr int PrefixMega = 165;
inline constexpr int PrefixGiga = 166;
inline constexpr int Volt = 168;
inline constexpr int Second = 169;
inline constexpr int Hertz = 170;
} // namespace text_id

// Formats `value` with `unit`: the magnitude is scaled into [1, 1000) with a prefix
// G, M, k, m, µ or n (equality counts, so 1000 Hz is "1.00000 kHz"), printed with six
// decimals, cut to seven characters with its sign, and joined as
// "<number> <prefix><unit>". Zero has no prefix ("0.00000 V"). Magnitudes below
// 1e-9 keep the smallest prefix "n" ("0.50000 ns" for 5e-10 s).
//
// A value that cannot be written as a number (infinite, not a number) gives "" and
// sets *failed when `failed` is given; *failed is never cleared here.
std::string FormatValue(double value, std::string_view unit, const TextLookup& texts,
                        bool* failed = nullptr);
