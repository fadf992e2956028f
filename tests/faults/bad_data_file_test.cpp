// Data files of any content and length, from empty to twice the 1 MiB the program
// reads, loaded, previewed and started in every file layout (16-bit or 8-bit,
// signed or unsigned, with or without null bits) with and without an offset:
// - the load reads min(size, 1 MiB) bytes rounded down to even, at least 4, the
//   bytes as they are in the file (an empty file: two samples 0x3FFF);
// - the block the operator had chosen is moved into the file;
// - the preview converts every sample of the file;
// - Start sends the converted block and the board plays exactly that block, with
//   no box shown.

#include "app/params/file_conversion.h"
#include "app/windows/main_file_load.h"
#include "tests/app/board/generation_rig.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace gentest {
namespace {

constexpr int64_t kMiB = 1 << 20;

struct FileCase {
    const char* name;
    int64_t size;       // bytes
    bool truncatedRamp; // a ramp of 16-bit words cut at `size`, else random bytes
};

const FileCase kFiles[] = {
    {"Empty", 0, false},         {"OneByte", 1, false},
    {"ThreeBytes", 3, true},     {"FourBytes", 4, false},
    {"OddKilobyte", 1023, true}, {"SmallRandom", 4096, false},
    {"OddRamp", 65537, true},    {"JustUnderLimit", kMiB - 1, false},
    {"AtLimit", kMiB, true},     {"JustOverLimit", kMiB + 1, false},
    {"TwoMiB", 2 * kMiB, false},
};

std::vector<uint8_t> Content(const FileCase& c) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(c.size));
    std::mt19937 random(static_cast<uint32_t>(c.size) * 2654435761u);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (c.truncatedRamp) {
            const auto word = static_cast<uint16_t>(i / 2 * 97);
            bytes[i] = static_cast<uint8_t>(i % 2 == 0 ? word & 0xFF : word >> 8);
        } else {
            bytes[i] = static_cast<uint8_t>(random());
        }
    }
    return bytes;
}

// The layouts: bit 0 data16, bit 1 nonSigned, bit 2 nullBits; bit 3 an offset.
class BadDataFile : public testing::TestWithParam<std::tuple<FileCase, int>> {};

TEST_P(BadDataFile, LoadsPreviewsAndPlaysTheBlock) {
    const FileCase& c = std::get<0>(GetParam());
    const int layout = std::get<1>(GetParam());
    Rig rig;
    const std::string path = (rig.SimFolder() / "data.dat").string();
    const std::vector<uint8_t> content = Content(c);
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(content.data()),
                  static_cast<std::streamsize>(content.size()));
    }

    // Load.
    const DataFile file = ReadDataFile(path);
    ASSERT_EQ(file.status, DataFileStatus::Read);
    const int64_t expected = std::clamp<int64_t>(c.size, kDataFileMinimum, kDataFileLimit) & ~1;
    ASSERT_EQ(static_cast<int64_t>(file.bytes.size()), expected);
    EXPECT_EQ(file.lastSampleIndex, expected / 2 - 1);
    if (c.size == 0) {
        EXPECT_EQ(file.bytes, (std::vector<uint8_t>{0xFF, 0x3F, 0xFF, 0x3F}));
    } else {
        const auto kept = std::min<std::size_t>(content.size(), file.bytes.size());
        EXPECT_TRUE(std::equal(file.bytes.begin(), file.bytes.begin() + static_cast<long>(kept),
                               content.begin()));
    }

    // The block chosen for an earlier, longer file is moved into this one.
    const SampleBlock block = FitBlockToFile({300, 6000}, file.lastSampleIndex);
    ASSERT_GE(block.start, 0);
    ASSERT_GE(block.size, 2);
    ASSERT_LE(int64_t{block.start} + block.size, int64_t{file.lastSampleIndex} + 1);

    rig.settings.data16 = (layout & 1) != 0;
    rig.settings.nonSigned = (layout & 2) != 0;
    rig.settings.nullBits = (layout & 4) != 0;
    rig.model.SetAdditional(kind::Offset, (layout & 8) != 0 ? -1.25 : 0.0);
    rig.LoadFile(file.bytes, block.start, block.size, 1e6, 4.0);
    const SignalParameters& p = rig.model.Params();
    ASSERT_EQ(p.blockStart, block.start);
    ASSERT_EQ(p.blockSize, block.size);

    // Preview: every sample of the file.
    const FileSampleLayout fileLayout = FileLayoutOf(rig.settings);
    const SampleConversion conversion = FileConversionOf(rig.model, fileLayout);
    const auto samples = static_cast<std::size_t>(file.lastSampleIndex) + 1;
    std::vector<int16_t> preview(ConvertedWords(fileLayout, samples, true, false));
    EXPECT_TRUE(ConvertSamples(file.bytes, preview, samples, conversion, true, false));

    // Start: the board plays the converted block.
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(rig.dialogs.ShownCount(), 0u) << rig.dialogs.Shown().front().text;
    EXPECT_TRUE(rig.control->Running());
    const auto played = rig.Latest();
    ASSERT_TRUE(played.record) << played.error;
    const std::vector<int16_t> sent =
        ConvertFileBlock(file.bytes, block.start, block.size, conversion, false);
    EXPECT_TRUE(played.record->words == sent) << "the board plays another block";
    rig.control->StartButtonClick();
    EXPECT_FALSE(rig.control->Running());
}

INSTANTIATE_TEST_SUITE_P(Files, BadDataFile,
                         testing::Combine(testing::ValuesIn(kFiles), testing::Range(0, 16)),
                         [](const testing::TestParamInfo<std::tuple<FileCase, int>>& param) {
                             const int layout = std::get<1>(param.param);
                             return std::string(std::get<0>(param.param).name) +
                                    ((layout & 1) != 0 ? "_16bit" : "_8bit") +
                                    ((layout & 2) != 0 ? "_unsigned" : "_signed") +
                                    ((layout & 4) != 0 ? "_nullbits" : "") +
                                    ((layout & 8) != 0 ? "_offset" : "");
                         });

} // namespace
} // namespace gentest
