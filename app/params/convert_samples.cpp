#include "app/params/convert_samples.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

// Limits of the offset sums, in 16-bit word units.
constexpr int32_t kWordLimit = 0x7FFC;
constexpr int32_t kByteLimit = 0x7F00;

// Every loop below applies one small function to eight samples at a time, chosen
// once per call with all settings fixed, in 16-bit lanes (GCC and Clang vector
// types: the same code on every target, vectorised where the target has vectors).
// The last samples of a block go through the same function in a zero-padded block,
// so that every sample takes exactly one code path.
using Lanes = int16_t __attribute__((vector_size(16)));
using ULanes = uint16_t __attribute__((vector_size(16)));
using ByteLanes = uint8_t __attribute__((vector_size(8)));
constexpr std::size_t kLanes = 8;

Lanes Splat(int32_t v) {
    return Lanes{} + static_cast<int16_t>(v);
}

// Little-endian file words into lanes.
ULanes FromLittleEndian(ULanes words) {
    if constexpr (std::endian::native == std::endian::big) {
        return (words >> 8) | (words << 8);
    } else {
        return words;
    }
}

// op(ULanes words) -> Lanes, for n file words.
template <typename Op>
void MapWords(const uint8_t* source, int16_t* destination, std::size_t n, Op op) {
    std::size_t i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        ULanes words;
        std::memcpy(&words, source + 2 * i, sizeof words);
        const Lanes result = op(FromLittleEndian(words));
        std::memcpy(destination + i, &result, sizeof result);
    }
    if (i < n) {
        ULanes words{};
        std::memcpy(&words, source + 2 * i, 2 * (n - i));
        const Lanes result = op(FromLittleEndian(words));
        std::memcpy(destination + i, &result, 2 * (n - i));
    }
}

// op(ULanes bytes) -> Lanes, one file byte (0..255) per lane, for count bytes;
// storeBytes keeps the low byte of each result.
template <bool storeBytes, typename Op>
void MapBytes(const uint8_t* source, void* destination, std::size_t count, Op op) {
    auto* to = static_cast<uint8_t*>(destination);
    const std::size_t size = storeBytes ? 1 : 2;
    const auto map = [&](std::size_t i, std::size_t lanes) {
        ByteLanes bytes{};
        std::memcpy(&bytes, source + i, lanes);
        const Lanes result = op(__builtin_convertvector(bytes, ULanes));
        if constexpr (storeBytes) {
            const ByteLanes low = __builtin_convertvector(result, ByteLanes);
            std::memcpy(to + i, &low, lanes);
        } else {
            std::memcpy(to + size * i, &result, size * lanes);
        }
    };
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        map(i, kLanes);
    }
    if (i < count) {
        map(i, count - i);
    }
}

// The words as signed values; flip is 0x8000 for unsigned (offset binary) words.
Lanes SignedValue(ULanes words, uint16_t flip) {
    return reinterpret_cast<Lanes>(words ^ flip);
}

// File bytes as signed left-justified values (byte x 256); flip is 0x80 for
// unsigned bytes.
Lanes ByteValue(ULanes bytes, uint16_t flip) {
    return reinterpret_cast<Lanes>((bytes ^ flip) << 8);
}

// v / 4 toward zero: a left-justified word as a 14-bit code.
Lanes Quarter(Lanes v) {
    return (v + ((v >> 15) & 3)) >> 2;
}

// a + b modulo 2^16.
Lanes WrappingAdd(Lanes a, uint16_t b) {
    return reinterpret_cast<Lanes>(reinterpret_cast<ULanes>(a) + b);
}

// clamp(s + offset, -limit, limit) for 16-bit values s, in 16 bits: s is clamped to
// the window that the offset maps onto the limits, then the offset is added modulo
// 2^16 (the true sum lies within the limits).
struct ClampWindow {
    Lanes low;
    Lanes high;
    uint16_t add;

    // s within the window.
    Lanes Clamp(Lanes s) const {
        const Lanes raised = s < low ? low : s;
        return raised > high ? high : raised;
    }

    Lanes operator()(Lanes s) const { return WrappingAdd(Clamp(s), add); }
};

ClampWindow ClampWindowOf(int32_t offsetCode, int32_t limit) {
    // Beyond these bounds every 16-bit value gives the same sum as at the bound,
    // whose window still lies within 16 bits.
    const int32_t offset = std::clamp(offsetCode, -(limit + 0x7FFF), limit + 0x8000);
    return {Splat(std::clamp(-limit - offset, -0x8000, 0x7FFF)),
            Splat(std::clamp(limit - offset, -0x8000, 0x7FFF)),
            static_cast<uint16_t>(offset & 0xFFFF)};
}

// The same limit for words with sync bits: a sum beyond +-kWordLimit becomes the
// limit plus the word's two low bits. A sum is beyond exactly when the window moved
// s; offsets below the window's bound (allLimited) limit every word.
struct SyncLimit {
    ClampWindow window;
    Lanes allLimited;

    Lanes operator()(Lanes s, ULanes words) const {
        const Lanes sync = reinterpret_cast<Lanes>(words & 3);
        const Lanes clamped = window.Clamp(s);
        const Lanes limited = (clamped != s) | allLimited;
        return WrappingAdd(clamped, window.add) + (limited & sync);
    }
};

SyncLimit SyncLimitOf(int32_t offsetCode) {
    // At the window's upper bound only s = -0x8000 is not limited, which is the word
    // 0x8000 (0x0000 unsigned) whose sync bits are 0 anyway.
    return {ClampWindowOf(offsetCode, kWordLimit),
            Splat(offsetCode < -(kWordLimit + 0x7FFF) ? -1 : 0)};
}

// 16-bit data with an offset of exactly 0.
void PlainWords(const uint8_t* source, int16_t* destination, std::size_t n,
                const FileSampleLayout& layout, bool forDisplay, bool forFlash) {
    const uint16_t flip = layout.nonSigned ? 0x8000 : 0;
    if (forDisplay || (!forFlash && layout.nullBits)) {
        MapWords(source, destination, n,
                 [flip](ULanes w) { return Quarter(SignedValue(w, flip)); });
    } else if (forFlash) {
        MapWords(source, destination, n, [flip](ULanes w) { return SignedValue(w, flip); });
    } else if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(destination, source, 2 * n); // formats 1 and 4 take the file word
    } else {
        MapWords(source, destination, n, [](ULanes w) { return reinterpret_cast<Lanes>(w); });
    }
}

// 16-bit data without sync bits, with an offset: limited to +-kWordLimit.
void OffsetNullBitsWords(const uint8_t* source, int16_t* destination, std::size_t n, uint16_t flip,
                         int32_t offsetCode, bool forFlash) {
    const ClampWindow limited = ClampWindowOf(offsetCode, kWordLimit);
    if (forFlash) {
        MapWords(source, destination, n,
                 [flip, limited](ULanes w) { return limited(SignedValue(w, flip)) & ~3; });
    } else {
        MapWords(source, destination, n,
                 [flip, limited](ULanes w) { return Quarter(limited(SignedValue(w, flip))); });
    }
}

// 16-bit data with sync bits, with an offset. outFlip turns the result back to
// offset binary.
void OffsetSyncWords(const uint8_t* source, int16_t* destination, std::size_t n, uint16_t flip,
                     int32_t offsetCode, bool quarter, uint16_t outFlip) {
    const SyncLimit limited = SyncLimitOf(offsetCode);
    if (quarter) {
        MapWords(source, destination, n,
                 [flip, limited](ULanes w) { return Quarter(limited(SignedValue(w, flip), w)); });
    } else {
        MapWords(source, destination, n, [flip, limited, outFlip](ULanes w) {
            return limited(SignedValue(w, flip), w) ^ static_cast<int16_t>(outFlip);
        });
    }
}

// 8-bit data for the display (quarter) or the flash: one word per byte, the byte
// as a signed left-justified value, limited to +-kByteLimit when an offset is added.
void ByteWords(const uint8_t* source, int16_t* destination, std::size_t count, uint16_t flip,
               bool offsetZero, int32_t offsetCode, bool quarter) {
    if (offsetZero) {
        if (quarter) {
            MapBytes<false>(source, destination, count,
                            [flip](ULanes b) { return Quarter(ByteValue(b, flip)); });
        } else {
            MapBytes<false>(source, destination, count,
                            [flip](ULanes b) { return ByteValue(b, flip); });
        }
        return;
    }
    const ClampWindow limited = ClampWindowOf(offsetCode, kByteLimit);
    if (quarter) {
        MapBytes<false>(source, destination, count,
                        [flip, limited](ULanes b) { return Quarter(limited(ByteValue(b, flip))); });
    } else {
        MapBytes<false>(source, destination, count,
                        [flip, limited](ULanes b) { return limited(ByteValue(b, flip)); });
    }
}

// 8-bit data for output: offset binary bytes in file order. With an offset the
// limited sum's high byte is sent; as the limits are whole bytes, that is the
// signed byte plus the offset's whole bytes (rounded down), limited to +-127.
void OutputBytes(const uint8_t* source, uint8_t* destination, std::size_t count, bool nonSigned,
                 bool offsetZero, int32_t offsetCode) {
    const uint16_t flip = nonSigned ? 0x80 : 0;
    if (offsetZero) {
        MapBytes<true>(source, destination, count, [flip](ULanes b) {
            return reinterpret_cast<Lanes>(b ^ static_cast<uint16_t>(flip ^ 0x80));
        });
        return;
    }
    // Beyond +-255 steps every byte is limited alike.
    const Lanes steps = Splat(std::clamp(offsetCode >> 8, -255, 255));
    const Lanes top = Splat(127);
    const Lanes bottom = Splat(-127);
    MapBytes<true>(source, destination, count, [flip, steps, top, bottom](ULanes b) {
        const Lanes level = (ByteValue(b, flip) >> 8) + steps;
        const Lanes raised = level < bottom ? bottom : level;
        return (raised > top ? top : raised) + 0x80;
    });
}

} // namespace

int32_t OffsetCode(double offset, double range) {
    if (!(range > 0) || !std::isfinite(range) || std::isnan(offset)) {
        return 0;
    }
    const double steps = std::trunc(std::clamp(8192.0 * offset / range, -16384.0, 16384.0));
    return 4 * static_cast<int32_t>(steps);
}

int32_t OutputFormat(const FileSampleLayout& layout) {
    if (!layout.data16) {
        return 8;
    }
    if (layout.nullBits) {
        return 2;
    }
    return layout.nonSigned ? 4 : 1;
}

std::size_t ConvertedWords(const FileSampleLayout& layout, std::size_t n, bool forDisplay,
                           bool forFlash) {
    if (layout.data16 || !(forDisplay || forFlash)) {
        return n;
    }
    return 2 * n;
}

bool ConvertSamples(std::span<const uint8_t> source, std::span<int16_t> destination, std::size_t n,
                    const SampleConversion& conversion, bool forDisplay, bool forFlash) {
    const FileSampleLayout& layout = conversion.layout;
    if (source.empty() || destination.empty() || n > source.size() / 2 ||
        destination.size() < ConvertedWords(layout, n, forDisplay, forFlash)) {
        return false;
    }

    const uint8_t* from = source.data();
    if (layout.data16) {
        if (conversion.offsetZero) {
            PlainWords(from, destination.data(), n, layout, forDisplay, forFlash);
            return true;
        }
        const uint16_t flip = layout.nonSigned ? 0x8000 : 0;
        if (layout.nullBits) {
            OffsetNullBitsWords(from, destination.data(), n, flip, conversion.offsetCode, forFlash);
        } else {
            const bool quarter = forDisplay && !forFlash;
            const uint16_t outFlip = !forDisplay && !forFlash && layout.nonSigned ? 0x8000 : 0;
            OffsetSyncWords(from, destination.data(), n, flip, conversion.offsetCode, quarter,
                            outFlip);
        }
        return true;
    }

    if (forDisplay || forFlash) {
        ByteWords(from, destination.data(), 2 * n, layout.nonSigned ? 0x80 : 0,
                  conversion.offsetZero, conversion.offsetCode, forDisplay);
        return true;
    }
    OutputBytes(from, reinterpret_cast<uint8_t*>(destination.data()), 2 * n, layout.nonSigned,
                conversion.offsetZero, conversion.offsetCode);
    return true;
}
