#include "resources/strings/unicode.h"

#include <cstdint>

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0U | (code >> 6)));
        out.push_back(static_cast<char>(0x80U | (code & 0x3FU)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0U | (code >> 12)));
        out.push_back(static_cast<char>(0x80U | ((code >> 6) & 0x3FU)));
        out.push_back(static_cast<char>(0x80U | (code & 0x3FU)));
    } else {
        out.push_back(static_cast<char>(0xF0U | (code >> 18)));
        out.push_back(static_cast<char>(0x80U | ((code >> 12) & 0x3FU)));
        out.push_back(static_cast<char>(0x80U | ((code >> 6) & 0x3FU)));
        out.push_back(static_cast<char>(0x80U | (code & 0x3FU)));
    }
}

// Decodes the character at the start of `text` into `code`; returns its length in
// bytes, or 0 when the bytes there are not well-formed UTF-8.
std::size_t DecodeOne(std::string_view text, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0U) == 0xC0U) {
        length = 2;
        code = lead & 0x1FU;
        smallest = 0x80;
    } else if ((lead & 0xF0U) == 0xE0U) {
        length = 3;
        code = lead & 0x0FU;
        smallest = 0x800;
    } else if ((lead & 0xF8U) == 0xF0U) {
        length = 4;
        code = lead & 0x07U;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        if (!IsContinuation(byte)) {
            return 0;
        }
        code = (code << 6) | (byte & 0x3FU);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

} // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view text, std::size_t* badOffset) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t code = 0;
        const std::size_t length = DecodeOne(text.substr(i), code);
        if (length == 0) {
            if (badOffset != nullptr) {
                *badOffset = i;
            }
            return std::nullopt;
        }
        if (code >= 0x10000) {
            const char32_t offset = code - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800U + (offset >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00U + (offset & 0x3FFU)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            const char32_t code =
                0x10000 + ((static_cast<char32_t>(unit - 0xD800) << 10) | (text[i + 1] - 0xDC00U));
            AppendUtf8(out, code);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}
