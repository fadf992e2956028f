#include "plugins/board-sim/sample_format.h"

#include <algorithm>

namespace boardsim {

bool IsSampleFormat(int32_t format) {
    return format == 1 || format == 2 || format == 4 || format == 8;
}

int64_t SamplesPerWords(int32_t format, int64_t count) {
    return format == 8 ? 2 * count : count;
}

void DecodeSamples(int32_t format, const int16_t* words, int32_t count, int32_t bits,
                   std::vector<int16_t>& codes, int64_t& clipped) {
    const int32_t lowest = -(1 << (bits - 1));
    const int32_t highest = (1 << (bits - 1)) - 1;
    const int32_t dropped = 16 - bits; // bits below the code in a left-justified word
    codes.reserve(codes.size() + static_cast<size_t>(SamplesPerWords(format, count)));
    for (int32_t i = 0; i < count; ++i) {
        const int32_t word = words[i];
        switch (format) {
        case 1:
            codes.push_back(static_cast<int16_t>(word >> dropped));
            break;
        case 2:
            if (word < lowest || word > highest)
                ++clipped;
            codes.push_back(static_cast<int16_t>(std::clamp(word, lowest, highest)));
            break;
        case 4:
            codes.push_back(static_cast<int16_t>((word ^ -0x8000) >> dropped));
            break;
        case 8: {
            const auto bits16 = static_cast<uint16_t>(word);
            for (const int32_t byte : {bits16 & 0xFF, bits16 >> 8})
                codes.push_back(static_cast<int16_t>((byte - 128) * (1 << (bits - 8))));
            break;
        }
        default:
            break;
        }
    }
}

} // namespace boardsim
