#pragma once
// Conversions between the UTF-8 of the program's texts and the UTF-16 of the
// string-table blocks.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 to UTF-16. Characters beyond U+FFFF become surrogate pairs. Returns nothing,
// and sets `badOffset` to the byte where decoding failed, for ill-formed input
// (bad lead or continuation byte, truncated sequence, overlong form, surrogate
// code point, value above U+10FFFF).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text, std::size_t* badOffset = nullptr);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD, so the result is always
// well-formed UTF-8.
std::string Utf16ToUtf8(std::u16string_view text);
