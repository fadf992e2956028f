// The fast file sample conversion against the plain one-sample-at-a-time conversion,
// for every layout, offset and consumer: every 16-bit word value (and so every byte
// value) followed by seeded random data, from an odd address and with a length that
// no vector width divides. Results must be identical bit for bit, and nothing past
// the converted words may be written.

#include "app/params/convert_samples.h"
#include "tests/app/params/plain_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// Every 16-bit word in order, then random words; the bytes start at an odd offset
// of the returned buffer (index 1).
std::vector<uint8_t> FileBytes(std::size_t words, uint32_t seed) {
    std::vector<uint8_t> bytes(1 + 2 * words);
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < words; ++i) {
        const auto w = static_cast<uint16_t>(i < 0x10000 ? i : random());
        bytes[1 + 2 * i] = static_cast<uint8_t>(w & 0xFF);
        bytes[2 + 2 * i] = static_cast<uint8_t>(w >> 8);
    }
    return bytes;
}

struct Consumer {
    bool forDisplay;
    bool forFlash;
};

TEST(ConvertSamplesEquivalence, EveryCombinationMatchesThePlainConversion) {
    constexpr std::size_t kWords = 0x10000 + 1237;
    const std::vector<uint8_t> file = FileBytes(kWords, 20240611);
    const std::span<const uint8_t> source = std::span<const uint8_t>(file).subspan(1);

    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    // Offset codes: none, the entered range (multiples of 4 up to +-65536), values
    // near each limit, odd codes a record may hold, the offsets beyond which every
    // sample is limited (limit + 0x7FFF or 0x8000, word and byte limits) and far
    // beyond any limit.
    const std::vector<int32_t> offsetCodes{0,
                                           4,
                                           -4,
                                           400,
                                           -400,
                                           0x1000,
                                           -0x1000,
                                           0x7000,
                                           -0x7000,
                                           0x7FFC,
                                           -0x7FFC,
                                           0xFFFC,
                                           -0xFFFC,
                                           0x10000,
                                           -0x10000,
                                           0x17EFC,
                                           -0x17EFC,
                                           1,
                                           -3,
                                           255,
                                           -257,
                                           0x8001,
                                           -0x8001,
                                           1 << 30,
                                           -(1 << 30),
                                           kMax - 0x10000,
                                           kMin + 0x10000};
    const Consumer consumers[] = {{false, false}, {false, true}, {true, false}, {true, true}};

    for (const bool data16 : {true, false}) {
        for (const bool nonSigned : {false, true}) {
            for (const bool nullBits : {false, true}) {
                for (const bool offsetZero : {true, false}) {
                    for (const int32_t offsetCode : offsetCodes) {
                        if (offsetZero && offsetCode != 0) {
                            continue; // 0 V always has offset code 0
                        }
                        const SampleConversion conversion{
                            {data16, nonSigned, nullBits}, offsetZero, offsetCode};
                        for (const Consumer& c : consumers) {
                            const std::size_t words =
                                ConvertedWords(conversion.layout, kWords, c.forDisplay, c.forFlash);
                            // One word more than needed, to see that it stays untouched.
                            std::vector<int16_t> fast(words + 1, 0x5A5A);
                            std::vector<int16_t> plainResult(words + 1, 0x5A5A);
                            ASSERT_TRUE(ConvertSamples(source, fast, kWords, conversion,
                                                       c.forDisplay, c.forFlash));
                            ASSERT_TRUE(plain::ConvertSamples(
                                source, plainResult, kWords, conversion, c.forDisplay, c.forFlash));
                            ASSERT_EQ(fast, plainResult)
                                << "data16 " << data16 << " nonSigned " << nonSigned << " nullBits "
                                << nullBits << " offsetZero " << offsetZero << " offsetCode "
                                << offsetCode << " display " << c.forDisplay << " flash "
                                << c.forFlash;
                        }
                    }
                }
            }
        }
    }
}

// Short blocks take the loops' tails alone; a zero-length block writes nothing.
TEST(ConvertSamplesEquivalence, ShortBlocksMatchThePlainConversion) {
    const std::vector<uint8_t> file = FileBytes(64, 7);
    const std::span<const uint8_t> source = std::span<const uint8_t>(file).subspan(1);
    for (std::size_t n = 0; n <= 33; ++n) {
        for (const bool data16 : {true, false}) {
            for (const int32_t offsetCode : {0, 0x3000}) {
                const SampleConversion conversion{
                    {data16, true, false}, offsetCode == 0, offsetCode};
                for (const Consumer c : {Consumer{false, false}, Consumer{true, false}}) {
                    std::vector<int16_t> fast(70, 0x5A5A);
                    std::vector<int16_t> plainResult(70, 0x5A5A);
                    ASSERT_TRUE(
                        ConvertSamples(source, fast, n, conversion, c.forDisplay, c.forFlash));
                    ASSERT_TRUE(plain::ConvertSamples(source, plainResult, n, conversion,
                                                      c.forDisplay, c.forFlash));
                    ASSERT_EQ(fast, plainResult) << "n " << n << " data16 " << data16;
                }
            }
        }
    }
}

} // namespace
