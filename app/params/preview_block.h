#pragma once
// The block of the loaded file that is played, as the preview window's clicks set
// it: a left click puts the block start at the cursor sample, a right click the
// block end. Sample indexes and counts in 16-bit words of the file; n is the
// number of words, the last index is n - 1.

#include <algorithm>
#include <cstdint>

struct PreviewBlock {
    int32_t start = 0;
    int32_t size = 2;
    bool operator==(const PreviewBlock&) const = default;
};

namespace preview_block {

// A size made even by clearing its lowest bit; 0 becomes 2.
constexpr int32_t Even(int32_t size) {
    const int32_t even = size & ~int32_t{1};
    return even == 0 ? 2 : even;
}

} // namespace preview_block

// Left click at `cursor` with board memory `memory` (samples; 0 or less: unknown).
// A cursor beyond the second-to-last sample gives a block of 2 there; a block that
// would pass the end of the file is shortened to an even size that fits; a block
// larger than the memory is cut to it. A start is never below 0 (a file of one
// word keeps its block at 0).
constexpr PreviewBlock LeftClickBlock(int32_t cursor, PreviewBlock block, int32_t n,
                                      int32_t memory) {
    const int64_t last = static_cast<int64_t>(n) - 1;
    int64_t at = std::max<int64_t>(cursor, 0);
    int64_t size = block.size;
    if (at > last - 1) {
        at = std::max<int64_t>(last - 1, 0);
        size = 2;
    } else if (at + size > last + 1) {
        size = preview_block::Even(static_cast<int32_t>(last + 1 - at));
    }
    if (memory > 0 && size > memory) {
        size = memory;
    }
    return {static_cast<int32_t>(at), static_cast<int32_t>(size)};
}

// Right click at `cursor`: the block ends at the cursor (size cursor - start + 1
// made even), or is 2 long when the cursor is not after the start; a block that
// would pass the end of the file is moved back (not below 0).
constexpr PreviewBlock RightClickBlock(int32_t cursor, PreviewBlock block, int32_t n) {
    const int64_t last = static_cast<int64_t>(n) - 1;
    const int64_t wanted =
        cursor > block.start ? static_cast<int64_t>(cursor) - block.start + 1 : 2;
    const int32_t size =
        preview_block::Even(static_cast<int32_t>(std::min<int64_t>(wanted, INT32_MAX)));
    int64_t start = block.start;
    if (start + size > last + 1) {
        start = std::max<int64_t>(last + 1 - size, 0);
    }
    return {static_cast<int32_t>(start), size};
}
