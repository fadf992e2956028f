#pragma once
// The built-in list of 60 Russian words. Some auxiliary windows show these words
// as they are, whatever language the text table has. Index 0 to 9 stand beside
// text numbers 151 to 160 and index 11 to 59 beside 161 to 209; index 10 (the
// prefix pico) has no text number. Word 59 is the Russian of texts 209 and 210
// joined without a separator, and a few words differ from the Russian table
// (word 9 "Стоп " ends with a blank; word 53 keeps its spelling).

#include <string>

constexpr int kRussianWordCount = 60;

// The word at `index` (0 to 59) as UTF-8; an empty text for any other index.
std::string RussianWord(int index);
