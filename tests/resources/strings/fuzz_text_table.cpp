// Fuzz target of the text table: any set of string blocks must load or be refused
// as a whole, and every lookup must stay within its block and give well-formed UTF-8
// of at most 1024 UTF-16 units; any bytes as a text file (en.txt, ru.txt) must parse
// into texts within the id range and the length limit, or errors with their line.
//
// The input is read twice. As blocks: a byte with the language to load, then blocks
// of (number byte, language byte, length byte, that many 16-bit words), as long as
// the input lasts. As a text file: the whole input.
//
// Built two ways (tests/CMakeLists.txt, add_fuzz_target): as a libFuzzer program in
// a fuzzing tree, and with any compiler as a replay program that runs the seed
// corpus in tests/fuzz/fuzz_text_table/ and fixed mutations of it as a test.

#include "resources/strings/string_blocks.h"
#include "resources/strings/text_file.h"
#include "resources/strings/text_table.h"
#include "resources/strings/unicode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "text table fuzz: %s\n", what);
        std::abort();
    }
}

// The languages a byte stands for: mostly the two real ones, so that loads succeed.
uint16_t LanguageOf(uint8_t byte) {
    switch (byte % 4) {
    case 0:
        return TextTable::kEnglish;
    case 1:
        return TextTable::kRussian;
    default:
        return byte;
    }
}

void CheckText(const std::string& text) {
    const auto units = Utf8ToUtf16(text);
    Require(units.has_value(), "a text that is not UTF-8");
    Require(units->size() <= static_cast<std::size_t>(TextTable::kMaxTextLength),
            "a text beyond the length limit");
}

void FuzzBlocks(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const uint16_t language = LanguageOf(data[0]);
    std::vector<std::vector<uint16_t>> words;
    std::vector<StringBlock> blocks;
    int highest = 0;
    std::size_t at = 1;
    while (at + 3 <= size) {
        const uint16_t number = data[at];
        const uint16_t blockLanguage = LanguageOf(data[at + 1]);
        const std::size_t length = data[at + 2];
        at += 3;
        const std::size_t available = std::min(length, (size - at) / 2);
        std::vector<uint16_t> block(available);
        if (available > 0) {
            std::memcpy(block.data(), data + at, available * 2);
        }
        at += available * 2;
        words.push_back(std::move(block));
        blocks.push_back({number, blockLanguage, {}});
        highest = std::max<int>(highest, number);
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        blocks[b].data = words[b];
    }

    TextTable table;
    const bool present = table.Load(language, blocks);
    Require(present == table.IsPresent(), "Load and IsPresent disagree");
    for (int id = -1; id <= (highest + 1) * TextTable::kEntriesPerBlock; ++id) {
        const std::string text = table.Text(id);
        Require(present || text.empty(), "a text from an absent table");
        CheckText(text);
    }
    CheckText(table.Text(0x7FFFFFFF));
}

void FuzzTextFile(const uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    for (const int lastId : {1, 16, 226}) {
        const TextFile file = ParseTextFile(content, lastId);
        for (const auto& [id, text] : file.texts) {
            Require(id >= 1 && id <= lastId, "a text outside the id range");
            Require(text.size() <= static_cast<std::size_t>(kMaxTextUnits), "a text too long");
        }
        for (const TextFileError& error : file.errors) {
            Require(error.line >= 0, "an error before the first line");
            Require(!error.message.empty(), "an error without a message");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzBlocks(data, size);
    FuzzTextFile(data, size);
    return 0;
}
