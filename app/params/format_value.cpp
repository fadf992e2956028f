#include "app/params/format_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

struct Scaled {
    double magnitude;
    int prefixId; // 0: none
};

Scaled Scale(double a) {
    if (a == 0) {
        return {a, 0};
    }
    if (a >= 1e9) {
        return {a / 1e9, text_id::PrefixGiga};
    }
    if (a >= 1e6) {
        return {a / 1e6, text_id::PrefixMega};
    }
    if (a >= 1e3) {
        return {a / 1e3, text_id::PrefixKilo};
    }
    if (a >= 1) {
        return {a, 0};
    }
    if (a >= 1e-3) {
        return {a * 1e3, text_id::PrefixMilli};
    }
    if (a >= 1e-6) {
        return {a * 1e6, text_id::PrefixMicro};
    }
    // 1e-9 and below: there is no smaller prefix than nano.
    return {a * 1e9, text_id::PrefixNano};
}

} // namespace

std::string FormatValue(double value, std::string_view unit, const TextLookup& texts,
                        bool* failed) {
    if (!std::isfinite(value)) {
        if (failed != nullptr) {
            *failed = true;
        }
        return {};
    }
    const Scaled s = Scale(std::fabs(value));

    // "%f" of the magnitude with a leading minus, cut to seven characters. to_chars
    // writes a decimal point in every locale; the magnitude is below 1e300 / 1e9, so
    // 400 characters always hold it.
    char buffer[400];
    char* first = buffer;
    if (value < 0) {
        *first++ = '-';
    }
    const auto result =
        std::to_chars(first, buffer + sizeof buffer, s.magnitude, std::chars_format::fixed, 6);
    if (result.ec != std::errc{}) {
        if (failed != nullptr) {
            *failed = true;
        }
        return {};
    }
    const auto length = std::min<std::ptrdiff_t>(result.ptr - buffer, 7);

    std::string text(buffer, static_cast<std::size_t>(length));
    text += ' ';
    if (s.prefixId != 0 && texts) {
        text += texts(s.prefixId);
    }
    text += unit;
    return text;
}
