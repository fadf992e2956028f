#pragma once
// The text form the configuration reader works on. The whole file is normalised
// once: names and values outside quotes become upper case, everything that is not
// part of a name or a number becomes a blank, comments (from ";" or ":") vanish,
// and each line ends in a zero byte unless it holds exactly one slash or backslash,
// in which case it continues on the next line.

#include <string>
#include <string_view>

namespace params {

// The character table: a-z become upper case; A-Z, 0-9, blank, "+", "-", ".", ";"
// and "_" stay; ":" becomes ";"; every other byte becomes a blank.
char ConfigTableChar(unsigned char byte);

// Returns text of the same length as `raw`. Line feeds become zero bytes (end of
// line) or blanks (continued line); the result therefore holds no line feed.
std::string NormaliseConfigText(std::string_view raw);

// True for the bytes that separate words: zero and every byte up to the blank.
inline bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace params
