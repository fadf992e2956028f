#pragma once
// Reader of the text files en.txt and ru.txt from which the string table is built.
//
// Format (UTF-8, an optional byte-order mark, LF or CRLF line ends):
// - an empty line, or a line whose first character is '#', is ignored;
// - every other line is `id<TAB>text`: the id in decimal digits only, one tab, then
//   the text up to the line end, blanks at either end included;
// - in the text, `\n` stands for a line break, `\t` for a tab and `\\` for a
//   backslash; any other backslash, a raw tab and any other control character are
//   errors, so what the file shows is what the program shows.
// Every id from 1 to the last id must be given exactly once.

#include <map>
#include <string>
#include <string_view>
#include <vector>

// A text is stored with a 16-bit length, and the lookup copies at most this many
// UTF-16 units, so a longer text would be cut without notice: it is refused here.
constexpr int kMaxTextUnits = 1024;

struct TextFileError {
    int line = 0; // 1-based; 0 for the file as a whole (an id that is missing)
    std::string message;
};

struct TextFile {
    std::map<int, std::u16string> texts; // id -> text, UTF-16
    std::vector<TextFileError> errors;   // in line order; empty when the file is sound
};

// Reads the whole content of one text file whose ids run from 1 to `lastId`.
TextFile ParseTextFile(std::string_view content, int lastId);
