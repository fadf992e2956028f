#pragma once
// The string table in its block form, as the program carries it.
//
// Block `number` (1, 2, ...) of one language holds the texts with ids
// 16 (number - 1) to 16 (number - 1) + 15 as 16 counted strings: a 16-bit length,
// then that many UTF-16 units.

#include <cstdint>
#include <span>

struct StringBlock {
    std::uint16_t number = 0;
    std::uint16_t language = 0; // 1033 English, 1049 Russian
    std::span<const std::uint16_t> data;
};

// Every block of every language compiled into the program from the text files
// (blocks 1 to 15 of English and Russian), in ascending block number.
std::span<const StringBlock> ProgramStringBlocks();
