// Fuzz target of the data file conversion: any bytes as a loaded data file, in any
// file layout, with any offset and any block, must convert for each consumer (the
// board's memory, the flash, the preview) without a read or write outside the
// buffers, and give what the consumer expects:
// - a block is the words asked for, cut at the end of the file, and empty when it
//   starts outside the file;
// - a destination too short is refused and left untouched;
// - the preview's codes of 16-bit data lie within the 14-bit code range.
//
// The first 16 bytes of the input choose the case: a flag byte (bits 0-2: 16-bit,
// unsigned, null bits; bit 3: take bytes 12-15 as a raw offset code, beyond what
// OffsetCode gives), the block start and size (32 bits each) and the offset in volts
// with its range (16 bits each, in millivolts, so that zero, tiny, huge and negative
// offsets all occur); the rest is the file.
//
// Built two ways (tests/CMakeLists.txt, add_fuzz_target): as a libFuzzer program in
// a fuzzing tree, and with any compiler as a replay program that runs the seed
// corpus in tests/fuzz/fuzz_file_conversion/ and fixed mutations of it as a test.

#include "app/params/convert_samples.h"
#include "app/params/file_conversion.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "file conversion fuzz: %s\n", what);
        std::abort();
    }
}

template <class T> T Take(const uint8_t* data, std::size_t at) {
    T value{};
    std::memcpy(&value, data + at, sizeof value);
    return value;
}

constexpr std::size_t kHeader = 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < kHeader) {
        return 0;
    }
    const uint8_t flags = data[0];
    const auto start = static_cast<int64_t>(Take<int32_t>(data, 1));
    const auto count = static_cast<int64_t>(Take<int32_t>(data, 5));
    const double offset = Take<int16_t>(data, 9) / 1000.0;
    const double range = Take<int16_t>(data, 11) / 1000.0;
    const std::span<const uint8_t> file(data + kHeader, size - kHeader);

    SampleConversion conversion;
    conversion.layout.data16 = (flags & 1) != 0;
    conversion.layout.nonSigned = (flags & 2) != 0;
    conversion.layout.nullBits = (flags & 4) != 0;
    conversion.offsetZero = offset == 0;
    conversion.offsetCode = OffsetCode(offset, range);
    if ((flags & 8) != 0) {
        conversion.offsetCode = Take<int32_t>(data, 12);
    }

    const int32_t format = OutputFormat(conversion.layout);
    Require(format == 1 || format == 2 || format == 4 || format == 8, "unknown data format");

    // The block as the output and the flash take it.
    const auto words = static_cast<int64_t>(file.size() / 2);
    const bool inside = start >= 0 && start < words && count >= 1;
    const auto n = inside ? static_cast<std::size_t>(std::min(count, words - start)) : 0;
    for (const bool forFlash : {false, true}) {
        const std::vector<int16_t> block =
            ConvertFileBlock(file, start, count, conversion, forFlash);
        const std::size_t expected =
            inside ? ConvertedWords(conversion.layout, n, false, forFlash) : 0;
        Require(block.size() == expected, "a block of the wrong length");
    }

    // The preview's codes, and a destination one word too short.
    const std::size_t all = file.size() / 2;
    if (all > 0) {
        std::vector<int16_t> display(ConvertedWords(conversion.layout, all, true, false));
        Require(ConvertSamples(file, display, all, conversion, true, false), "preview refused");
        if (conversion.layout.data16) {
            for (const int16_t code : display) {
                Require(code >= -8192 && code <= 8191, "a preview code beyond 14 bits");
            }
        }
        std::vector<int16_t> shortBuffer(display.size() - 1, 0x5A5A);
        if (!shortBuffer.empty()) {
            Require(!ConvertSamples(file, shortBuffer, all, conversion, true, false),
                    "a short destination accepted");
            Require(std::all_of(shortBuffer.begin(), shortBuffer.end(),
                                [](int16_t v) { return v == 0x5A5A; }),
                    "a refused conversion wrote");
        }
    }
    return 0;
}
