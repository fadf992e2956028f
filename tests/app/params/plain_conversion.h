#pragma once
// The file sample conversion written one sample at a time, with every setting
// tested per sample: the oracle that the fast conversion must match bit for bit.

#include "app/params/convert_samples.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace plain {

// Limits of the offset sums, in 16-bit word units.
constexpr int32_t kWordLimit = 0x7FFC;
constexpr int32_t kByteLimit = 0x7F00;

// v / 4 toward zero: a left-justified word as a 14-bit code.
inline int16_t Quarter(int32_t v) {
    return static_cast<int16_t>(v / 4);
}

inline int16_t Word(int32_t v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

// Clears the two synchronisation bits of a left-justified word, keeping its sign.
inline int16_t WithoutSyncBits(int32_t v) {
    return Word(v & ~3);
}

inline int16_t SourceWord(std::span<const uint8_t> source, std::size_t i) {
    const auto low = static_cast<uint16_t>(source[2 * i]);
    const auto high = static_cast<uint16_t>(source[2 * i + 1]);
    return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

// The word as a signed value: unsigned (offset binary) words are moved down by half
// the range.
inline int32_t SignedValue(int16_t word, bool nonSigned) {
    const auto u = static_cast<uint16_t>(word);
    return nonSigned ? static_cast<int16_t>(static_cast<uint16_t>(u ^ 0x8000u)) : word;
}

// One 16-bit file word, offset exactly 0.
inline int16_t PlainWord(int16_t word, const FileSampleLayout& layout, bool forDisplay,
                         bool forFlash) {
    const int32_t v = SignedValue(word, layout.nonSigned);
    if (forDisplay) {
        return Quarter(v);
    }
    if (forFlash) {
        return Word(v);
    }
    if (layout.nullBits) {
        return Quarter(v);
    }
    return word; // signed or unsigned, with its sync bits: formats 1 and 4
}

// One 16-bit file word with the offset.
inline int16_t OffsetWord(int16_t word, const FileSampleLayout& layout, int32_t offsetCode,
                          bool forDisplay, bool forFlash) {
    const int32_t value = SignedValue(word, layout.nonSigned);
    int32_t v = value + offsetCode;
    if (layout.nullBits) {
        v = std::clamp(v, -kWordLimit, kWordLimit);
        return forFlash ? WithoutSyncBits(v) : Quarter(v);
    }
    // Limited, the word keeps its two synchronisation bits.
    const int32_t sync = static_cast<uint16_t>(word) & 3;
    if (v > kWordLimit) {
        v = sync + kWordLimit;
    } else if (v < -kWordLimit) {
        v = sync - kWordLimit;
    }
    if (forDisplay) {
        return forFlash ? Word(v) : Quarter(v);
    }
    if (layout.nonSigned && !forFlash) {
        return Word(v ^ 0x8000); // back to offset binary
    }
    return Word(v);
}

// One 8-bit file sample as a signed left-justified value (byte x 256) with the
// offset; limited when an offset is added.
inline int32_t ByteValue(uint8_t byte, bool nonSigned, bool offsetZero, int32_t offsetCode) {
    const int32_t b = nonSigned ? static_cast<int8_t>(static_cast<uint8_t>(byte ^ 0x80u))
                                : static_cast<int8_t>(byte);
    int32_t w = b * 256;
    if (!offsetZero) {
        w = std::clamp(w + offsetCode, -kByteLimit, kByteLimit);
    }
    return w;
}

inline bool ConvertSamples(std::span<const uint8_t> source, std::span<int16_t> destination,
                           std::size_t n, const SampleConversion& conversion, bool forDisplay,
                           bool forFlash) {
    const FileSampleLayout& layout = conversion.layout;
    if (source.empty() || destination.empty() || n > source.size() / 2 ||
        destination.size() < ::ConvertedWords(layout, n, forDisplay, forFlash)) {
        return false;
    }

    if (layout.data16) {
        for (std::size_t i = 0; i < n; ++i) {
            const int16_t word = SourceWord(source, i);
            destination[i] = conversion.offsetZero ? PlainWord(word, layout, forDisplay, forFlash)
                                                   : OffsetWord(word, layout, conversion.offsetCode,
                                                                forDisplay, forFlash);
        }
        return true;
    }

    if (forDisplay || forFlash) {
        // One word per byte: the 14-bit code, or the left-justified word of the flash.
        for (std::size_t i = 0; i < 2 * n; ++i) {
            const int32_t w = ByteValue(source[i], layout.nonSigned, conversion.offsetZero,
                                        conversion.offsetCode);
            destination[i] = forDisplay ? Quarter(w) : Word(w);
        }
        return true;
    }

    // Output: offset binary bytes, two to a word, in file order.
    auto* bytes = reinterpret_cast<uint8_t*>(destination.data());
    for (std::size_t i = 0; i < 2 * n; ++i) {
        const uint8_t b = source[i];
        if (conversion.offsetZero) {
            bytes[i] = layout.nonSigned ? b : static_cast<uint8_t>(b ^ 0x80u);
        } else {
            const int32_t w = ByteValue(b, layout.nonSigned, false, conversion.offsetCode);
            bytes[i] = static_cast<uint8_t>((w >> 8) + 0x80);
        }
    }
    return true;
}

} // namespace plain
