#pragma once
// The user-interface text table: every caption, hint and message by number, in
// English (1033) or Russian (1049).
//
//   TextTable table;
//   table.Load(TextTable::kRussian);
//   std::string caption = table.Text(7); // "Ошибка"
//
// Loading takes the blocks of one language. When any block is missing in that
// language, or cannot be read, the table is absent and every text is empty: a
// partial table would show texts of two languages side by side. A failed Load
// also drops the table loaded before.
//
// Text(id) gives the text as UTF-8, at most 1024 UTF-16 units of it, and an empty
// text for an absent table, an id with no block and an id whose entry is missing or
// runs past the end of its block.
//
// Load and Text are not to be called at the same time from two threads; any number
// of threads may call Text at once.

#include "resources/strings/string_blocks.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TextTable {
public:
    static constexpr std::uint16_t kEnglish = 1033;
    static constexpr std::uint16_t kRussian = 1049;
    // Texts are copied up to this many UTF-16 units.
    static constexpr int kMaxTextLength = 1024;
    // At most this many blocks are taken, in ascending block number.
    static constexpr int kMaxBlocks = 100;
    static constexpr int kEntriesPerBlock = 16;

    // Loads `language` from the program's own blocks. Returns whether the table is
    // present.
    bool Load(std::uint16_t language);
    // Loads `language` from the given set of blocks, which must outlive the table.
    bool Load(std::uint16_t language, std::span<const StringBlock> blocks);

    bool IsPresent() const { return present_; }
    // The language last asked for, present or not; 0 before the first Load.
    std::uint16_t Language() const { return language_; }

    std::string Text(int id) const;

private:
    // Index: block number - 1; an empty span for a number the set does not have.
    std::vector<std::span<const std::uint16_t>> blocks_;
    bool present_ = false;
    std::uint16_t language_ = 0;
};
