#include "resources/strings/text_table.h"

#include "resources/strings/unicode.h"

#include <algorithm>

bool TextTable::Load(std::uint16_t language) {
    return Load(language, ProgramStringBlocks());
}

bool TextTable::Load(std::uint16_t language, std::span<const StringBlock> blocks) {
    blocks_.clear();
    present_ = false;
    language_ = language;

    // The block numbers of the set in any language, ascending, as the platform
    // lists them; numbers start at 1.
    std::vector<std::uint16_t> numbers;
    for (const StringBlock& block : blocks) {
        if (block.number > 0) {
            numbers.push_back(block.number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    if (numbers.size() > static_cast<std::size_t>(kMaxBlocks)) {
        numbers.resize(kMaxBlocks);
    }
    if (numbers.empty()) {
        return false;
    }

    std::vector<std::span<const std::uint16_t>> found(numbers.back());
    for (const std::uint16_t number : numbers) {
        const auto block = std::find_if(blocks.begin(), blocks.end(), [&](const StringBlock& b) {
            return b.number == number && b.language == language;
        });
        if (block == blocks.end() || block->data.empty()) {
            return false; // missing in this language, or nothing to read: absent
        }
        found[number - 1] = block->data;
    }
    // Looked up by block number rather than by position among the loaded blocks, so
    // a set without some block number still gives every other text its own number.
    blocks_ = std::move(found);
    present_ = true;
    return true;
}

std::string TextTable::Text(int id) const {
    if (!present_ || id < 0) {
        return {};
    }
    const auto index = static_cast<std::size_t>(id / kEntriesPerBlock);
    if (index >= blocks_.size()) {
        return {};
    }
    const std::span<const std::uint16_t> data = blocks_[index];
    std::size_t offset = 0;
    for (int entry = 0; entry < id % kEntriesPerBlock; ++entry) {
        if (offset >= data.size()) {
            return {};
        }
        offset += 1 + std::size_t{data[offset]};
    }
    if (offset >= data.size()) {
        return {};
    }
    const std::size_t length = data[offset++];
    if (length > data.size() - offset) {
        return {};
    }
    std::size_t copied = std::min(length, static_cast<std::size_t>(kMaxTextLength));
    // A cut between the two halves of a surrogate pair drops the first half too.
    if (copied < length && copied > 0 && data[offset + copied - 1] >= 0xD800 &&
        data[offset + copied - 1] <= 0xDBFF) {
        --copied;
    }
    std::u16string text(copied, u'\0');
    for (std::size_t i = 0; i < copied; ++i) {
        text[i] = static_cast<char16_t>(data[offset + i]);
    }
    return Utf16ToUtf8(text);
}
