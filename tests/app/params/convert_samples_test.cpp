// File sample conversion: every row of the conversion for output, flash and display,
// the data format word, the offset code, and a cross-check against how the simulated
// board reads each data format (what it plays must be what the preview shows).

#include "app/params/convert_samples.h"
#include "plugins/board-sim/sample_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> BytesOfWords(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    for (const uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}

SampleConversion Conversion(FileSampleLayout layout, bool offsetZero, int32_t offsetCode) {
    return SampleConversion{layout, offsetZero, offsetCode};
}

// Converted words of a 16-bit file.
std::vector<uint16_t> Convert16(const std::vector<uint16_t>& words, const SampleConversion& c,
                                bool forDisplay, bool forFlash) {
    const auto bytes = BytesOfWords(words);
    std::vector<int16_t> out(ConvertedWords(c.layout, words.size(), forDisplay, forFlash));
    EXPECT_TRUE(ConvertSamples(bytes, out, words.size(), c, forDisplay, forFlash));
    return {out.begin(), out.end()};
}

// An 8-bit file: output as bytes, display and flash as one word per byte.
std::vector<uint8_t> Output8(const std::vector<uint8_t>& bytes, const SampleConversion& c) {
    std::vector<int16_t> out(ConvertedWords(c.layout, bytes.size() / 2, false, false));
    EXPECT_TRUE(ConvertSamples(bytes, out, bytes.size() / 2, c, false, false));
    const auto* raw = reinterpret_cast<const uint8_t*>(out.data());
    return {raw, raw + bytes.size()};
}

std::vector<int16_t> Words8(const std::vector<uint8_t>& bytes, const SampleConversion& c,
                            bool forDisplay, bool forFlash) {
    std::vector<int16_t> out(ConvertedWords(c.layout, bytes.size() / 2, forDisplay, forFlash));
    EXPECT_TRUE(ConvertSamples(bytes, out, bytes.size() / 2, c, forDisplay, forFlash));
    return out;
}

constexpr FileSampleLayout kSigned16{true, false, false};
constexpr FileSampleLayout kUnsigned16{true, true, false};
constexpr FileSampleLayout kSignedNull16{true, false, true};
constexpr FileSampleLayout kUnsignedNull16{true, true, true};
constexpr FileSampleLayout kSigned8{false, false, false};
constexpr FileSampleLayout kUnsigned8{false, true, false};

// One row of the 16-bit conversion: input words, then output, flash and display.
struct Row16 {
    const char* name;
    FileSampleLayout layout;
    bool offsetZero;
    int32_t offsetCode;
    std::vector<uint16_t> input;
    std::vector<uint16_t> output;
    std::vector<uint16_t> flash;
    std::vector<uint16_t> display;
};

class ConvertSixteenBit : public testing::TestWithParam<Row16> {};

TEST_P(ConvertSixteenBit, OutputFlashAndDisplay) {
    const Row16& row = GetParam();
    const auto c = Conversion(row.layout, row.offsetZero, row.offsetCode);
    EXPECT_EQ(Convert16(row.input, c, false, false), row.output);
    EXPECT_EQ(Convert16(row.input, c, false, true), row.flash);
    EXPECT_EQ(Convert16(row.input, c, true, false), row.display);
}

// 0xFFFD = -3, 0xFFFC = -4.
INSTANTIATE_TEST_SUITE_P(
    Rows, ConvertSixteenBit,
    testing::Values(
        // Signed, offset 0: sent unchanged; the preview divides by 4 toward zero.
        Row16{"SignedPlain",
              kSigned16,
              true,
              0,
              {0xFFFD, 0xFFFC, 0x7FFF, 0x8000, 5},
              {0xFFFD, 0xFFFC, 0x7FFF, 0x8000, 5},
              {0xFFFD, 0xFFFC, 0x7FFF, 0x8000, 5},
              {0, 0xFFFF, 0x1FFF, 0xE000, 1}},
        // Unsigned, offset 0: sent unchanged (format 4); the flash takes the signed
        // form; the preview shows the signed code.
        Row16{"UnsignedPlain",
              kUnsigned16,
              true,
              0,
              {0x0000, 0x8000, 0xFFFF, 0x8003},
              {0x0000, 0x8000, 0xFFFF, 0x8003},
              {0x8000, 0x0000, 0x7FFF, 0x0003},
              {0xE000, 0, 0x1FFF, 0}},
        // Without sync bits, offset 0: the 14-bit code is sent (format 2), the flash
        // gets the word.
        Row16{"SignedNullBitsPlain",
              kSignedNull16,
              true,
              0,
              {0xFFFD, 0xFFFC, 0x7FFF, 5},
              {0, 0xFFFF, 0x1FFF, 1},
              {0xFFFD, 0xFFFC, 0x7FFF, 5},
              {0, 0xFFFF, 0x1FFF, 1}},
        // Unsigned without sync bits: mid-scale 0x8000 is code 0.
        Row16{"UnsignedNullBitsPlain",
              kUnsignedNull16,
              true,
              0,
              {0x8000, 0x0000, 0xFFFF},
              {0, 0xE000, 0x1FFF},
              {0, 0x8000, 0x7FFF},
              {0, 0xE000, 0x1FFF}},
        // With an offset, without sync bits: limited to +-0x7FFC; negative words stay
        // negative in the flash.
        Row16{"SignedNullBitsOffset",
              kSignedNull16,
              false,
              400,
              {0x7FF0, 0xFF9C, 0x8000},
              {0x1FFF, 75, 0xE064},
              {0x7FFC, 0x012C, 0x8190},
              {0x1FFF, 75, 0xE064}},
        // With an offset and sync bits: a sum beyond 0x7FFC keeps the word's low two
        // bits (01 -> 0x7FFD); below -0x7FFC likewise.
        Row16{"SignedOffset",
              kSigned16,
              false,
              400,
              {0x7FF1, 100, 0x8001},
              {0x7FFD, 500, 0x8191},
              {0x7FFD, 500, 0x8191},
              {0x1FFF, 125, 0xE065}},
        Row16{"SignedOffsetBelow",
              kSigned16,
              false,
              -400,
              {0x8001, 0x8002},
              {0x8005, 0x8006},
              {0x8005, 0x8006},
              {0xE002, 0xE002}},
        // Unsigned with an offset: back to offset binary for output, signed for the
        // flash, the 14-bit code for the preview.
        Row16{"UnsignedOffset",
              kUnsigned16,
              false,
              400,
              {0x8001, 0xFFFD},
              {0x8191, 0xFFFD},
              {0x0191, 0x7FFD},
              {100, 0x1FFF}},
        Row16{"UnsignedNullBitsOffset",
              kUnsignedNull16,
              false,
              400,
              {0x8000, 0x0000},
              {100, 0xE064},
              {400, 0x8190},
              {100, 0xE064}},
        // A tiny offset (code 0) takes the offset rows: only the limit differs.
        Row16{"TinyOffset",
              kSigned16,
              false,
              0,
              {0x7FFF, 0x1234},
              {0x7FFF, 0x1234},
              {0x7FFF, 0x1234},
              {0x1FFF, 0x048D}}),
    [](const testing::TestParamInfo<Row16>& row) { return std::string(row.param.name); });

TEST(ConvertEightBit, SignedAndUnsignedWithoutOffset) {
    const std::vector<uint8_t> bytes{0x7F, 0x80, 0x00, 0xFF};
    const auto signedConversion = Conversion(kSigned8, true, 0);
    // Signed bytes are sent as offset binary.
    EXPECT_EQ(Output8(bytes, signedConversion), (std::vector<uint8_t>{0xFF, 0x00, 0x80, 0x7F}));
    EXPECT_EQ(Words8(bytes, signedConversion, true, false),
              (std::vector<int16_t>{8128, -8192, 0, -64}));
    EXPECT_EQ(Words8(bytes, signedConversion, false, true),
              (std::vector<int16_t>{0x7F00, -0x8000, 0, -256}));

    const auto unsignedConversion = Conversion(kUnsigned8, true, 0);
    EXPECT_EQ(Output8(bytes, unsignedConversion), bytes);
    EXPECT_EQ(Words8(bytes, unsignedConversion, true, false),
              (std::vector<int16_t>{-64, 0, -8192, 8128}));
}

TEST(ConvertEightBit, OffsetIsLimitedAndSentAsOffsetBinary) {
    // Signed 0x7F with a large positive offset: 0x7F00 limited, plus 0x80 = 0xFF.
    const std::vector<uint8_t> high{0x7F, 0x80};
    EXPECT_EQ(Output8(high, Conversion(kSigned8, false, 0x1000)),
              (std::vector<uint8_t>{0xFF, 0x10}));
    EXPECT_EQ(Output8(high, Conversion(kSigned8, false, -0x1000)),
              (std::vector<uint8_t>{0xEF, 0x01}));
    EXPECT_EQ(Words8(high, Conversion(kSigned8, false, 0x1000), true, false),
              (std::vector<int16_t>{0x1FC0, -0x1C00}));

    // Unsigned with an offset: the same offset binary byte as signed data of the
    // same level (mid-scale 0x80 plus one byte step is 0x81).
    const std::vector<uint8_t> mid{0x80, 0x00};
    EXPECT_EQ(Output8(mid, Conversion(kUnsigned8, false, 0x100)),
              (std::vector<uint8_t>{0x81, 0x01}));
    EXPECT_EQ(Output8(std::vector<uint8_t>{0x00, 0x80}, Conversion(kSigned8, false, 0x100)),
              (std::vector<uint8_t>{0x81, 0x01}));
}

TEST(ConvertSamples, MissingOrShortBuffersDoNothing) {
    const auto bytes = BytesOfWords({1, 2, 3});
    std::vector<int16_t> out(3, 77);
    const auto c = Conversion(kSigned16, true, 0);
    EXPECT_FALSE(ConvertSamples({}, out, 3, c, false, false));
    EXPECT_FALSE(ConvertSamples(bytes, {}, 3, c, false, false));
    EXPECT_FALSE(ConvertSamples(bytes, out, 4, c, false, false)); // past the source
    std::vector<int16_t> shortOut(2, 77);
    EXPECT_FALSE(ConvertSamples(bytes, shortOut, 3, c, false, false));
    // 8-bit display needs two words per file word.
    std::vector<int16_t> display(3, 77);
    EXPECT_FALSE(ConvertSamples(bytes, display, 3, Conversion(kSigned8, true, 0), true, false));
    EXPECT_EQ(out, std::vector<int16_t>(3, 77));
    EXPECT_EQ(display, std::vector<int16_t>(3, 77));
}

TEST(OutputFormat, FollowsWidthSyncBitsAndSignedness) {
    EXPECT_EQ(OutputFormat(kSigned16), 1);
    EXPECT_EQ(OutputFormat(kUnsigned16), 4);
    EXPECT_EQ(OutputFormat(kSignedNull16), 2);
    // Without sync bits the block holds signed codes, whatever the file's signedness.
    EXPECT_EQ(OutputFormat(kUnsignedNull16), 2);
    EXPECT_EQ(OutputFormat(kSigned8), 8);
    EXPECT_EQ(OutputFormat(kUnsigned8), 8);
    EXPECT_EQ(OutputFormat(FileSampleLayout{false, true, true}), 8);
}

TEST(OffsetCode, QuarterStepsOfTheRange) {
    EXPECT_EQ(OffsetCode(1.0, 5.0), 4 * 1638);
    EXPECT_EQ(OffsetCode(-1.0, 5.0), -4 * 1638);
    EXPECT_EQ(OffsetCode(5.0 / 8192 / 2, 5.0), 0); // below one step
    EXPECT_EQ(OffsetCode(1.0, 0.0), 0);
    EXPECT_EQ(OffsetCode(1.0, -5.0), 0);
    EXPECT_EQ(OffsetCode(1e300, 5.0), 4 * 16384); // saturates far out
}

// What the board plays from the output block, decoded as the simulated board reads
// the data format, equals the preview's codes: within the sync bits for 16-bit data
// (the board floors, the preview truncates) and within the dropped low byte for 8-bit
// data. The flash image, read as the flash reads it, plays the same.
struct Layout {
    const char* name;
    FileSampleLayout layout;
};

class BoardPlaysWhatPreviewShows
    : public testing::TestWithParam<std::tuple<Layout, int32_t /* offset code; 1 = 0 V */>> {};

TEST_P(BoardPlaysWhatPreviewShows, EveryLayoutAndOffset) {
    const auto& [layout, offsetCode] = GetParam();
    const SampleConversion c =
        Conversion(layout.layout, offsetCode == 1, offsetCode == 1 ? 0 : offsetCode);
    std::mt19937 random(12345);
    std::vector<uint8_t> bytes(2 * 600);
    for (auto& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    // The extremes of every width and signedness.
    const std::vector<uint8_t> extremes{0x00, 0x80, 0xFF, 0x7F, 0x01, 0x81, 0xFE, 0x7E};
    std::copy(extremes.begin(), extremes.end(), bytes.begin());
    const std::size_t n = bytes.size() / 2;
    constexpr int bits = 14;

    std::vector<int16_t> output(ConvertedWords(c.layout, n, false, false));
    std::vector<int16_t> display(ConvertedWords(c.layout, n, true, false));
    std::vector<int16_t> flash(ConvertedWords(c.layout, n, false, true));
    ASSERT_TRUE(ConvertSamples(bytes, output, n, c, false, false));
    ASSERT_TRUE(ConvertSamples(bytes, display, n, c, true, false));
    ASSERT_TRUE(ConvertSamples(bytes, flash, n, c, false, true));

    std::vector<int16_t> played;
    int64_t clipped = 0;
    boardsim::DecodeSamples(OutputFormat(c.layout), output.data(),
                            static_cast<int32_t>(output.size()), bits, played, clipped);
    std::vector<int16_t> fromFlash;
    boardsim::DecodeFlashSamples(flash.data(), static_cast<int32_t>(flash.size()), bits, fromFlash);

    ASSERT_EQ(played.size(), display.size());
    ASSERT_EQ(fromFlash.size(), display.size());
    EXPECT_EQ(clipped, 0);
    const int tolerance = c.layout.data16 ? 1 : 64;
    for (std::size_t i = 0; i < display.size(); ++i) {
        ASSERT_LE(std::abs(played[i] - display[i]), tolerance)
            << "sample " << i << " played " << played[i] << " shown " << display[i];
        ASSERT_LE(std::abs(fromFlash[i] - display[i]), tolerance)
            << "sample " << i << " flash " << fromFlash[i] << " shown " << display[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, BoardPlaysWhatPreviewShows,
    testing::Combine(testing::Values(Layout{"Signed16", kSigned16},
                                     Layout{"Unsigned16", kUnsigned16},
                                     Layout{"SignedNullBits16", kSignedNull16},
                                     Layout{"UnsignedNullBits16", kUnsignedNull16},
                                     Layout{"Signed8", kSigned8}, Layout{"Unsigned8", kUnsigned8}),
                     testing::Values(1, 0, 6552, -6552, 0x7000, -0x7000)),
    [](const auto& param) {
        const int32_t code = std::get<1>(param.param);
        const std::string offset = code == 1  ? "ZeroVolts"
                                   : code < 0 ? "Minus" + std::to_string(-code)
                                              : "Plus" + std::to_string(code);
        return std::string(std::get<0>(param.param).name) + "_" + offset;
    });

} // namespace
