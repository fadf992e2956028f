// The file path end to end: a block of a loaded data file is converted, sent by the
// transfer thread in chunks of 1024 samples and played by the simulated board; a
// single play of it plays once and the watch releases the button when it ends.

#include "app/params/file_conversion.h"
#include "tests/app/board/generation_rig.h"

#include <string>

namespace gentest {
namespace {

std::vector<int32_t> LoadCounts(const Rig& rig, size_t from = 0) {
    std::vector<int32_t> counts;
    for (const auto& entry : rig.Calls("LoadSamples", from)) {
        counts.push_back(std::stoi(entry.Arg("count")));
    }
    return counts;
}

struct BlockCase {
    const char* name;
    int32_t blockSize;
    std::vector<int32_t> chunks;
};

class FileBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(FileBlock, SentInChunksOf1024AndPlayedAsConverted) {
    const BlockCase& c = GetParam();
    Rig rig;
    rig.LoadFile(Bytes(RampWords(3000)), 100, c.blockSize, 1e6);
    ASSERT_EQ(rig.model.Params().blockSize, c.blockSize);

    rig.control->StartButtonClick();
    EXPECT_TRUE(rig.control->Running());
    EXPECT_TRUE(rig.view.progressVisible);
    EXPECT_EQ(rig.view.progressMaximum, c.blockSize);
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::Progress));
    EXPECT_FALSE(rig.model.Params().recomputeNeeded);
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_FALSE(rig.view.progressVisible);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Progress));
    EXPECT_TRUE(rig.control->TransferFinished());
    EXPECT_EQ(rig.dialogs.ShownCount(), 0u) << rig.Shown().front();
    EXPECT_FALSE(rig.control->BoardStopped());
    // The library is not involved.
    EXPECT_EQ(rig.signal->prepares, 0);

    EXPECT_EQ(LoadCounts(rig), c.chunks);
    for (const auto& entry : rig.Calls("LoadSamples")) {
        EXPECT_EQ(entry.Arg("format"), "1");
        EXPECT_EQ(entry.result, 1);
    }
    const auto journal = rig.Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back().operation, "StartOutput");

    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    const SignalParameters& p = rig.model.Params();
    const auto expected =
        ConvertFileBlock(rig.fileData, p.blockStart, p.blockSize,
                         FileConversionOf(rig.model, FileLayoutOf(rig.settings)), false);
    EXPECT_EQ(read.record->words, expected);
    EXPECT_EQ(read.record->dataFormat, 1);
    EXPECT_TRUE(read.record->continuous);
    EXPECT_DOUBLE_EQ(read.record->clock, 1e6);
    EXPECT_EQ(read.record->attenuator, p.fileAttenuator);
}

INSTANTIATE_TEST_SUITE_P(Blocks, FileBlock,
                         testing::Values(BlockCase{"Block2500", 2500, {1024, 1024, 452}},
                                         BlockCase{"Block1024", 1024, {1024}},
                                         BlockCase{"Block2048", 2048, {1024, 1024}},
                                         BlockCase{"Block2", 2, {2}}),
                         [](const testing::TestParamInfo<BlockCase>& block) {
                             return std::string(block.param.name);
                         });

// Every file layout reaches the board in its data format, converted with the offset,
// and plays at the offset the output range shows, also at an attenuated stage.
struct LayoutCase {
    const char* name;
    bool data16;
    bool nonSigned;
    bool nullBits;
    double offset;
    double amplitude; // selects the file's attenuator stage
    int32_t format;
};

class FileLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(FileLayout, RecordedWordsAreTheConvertedBlock) {
    const LayoutCase& c = GetParam();
    Rig rig;
    rig.settings.data16 = c.data16;
    rig.settings.nonSigned = c.nonSigned;
    rig.settings.nullBits = c.nullBits;
    // Mid-scale data: every sample is the signal's zero, so the board plays the offset.
    std::vector<uint8_t> bytes(2 * 1500, c.nonSigned ? 0x80 : 0x00);
    if (c.data16) {
        for (size_t i = 0; i < bytes.size(); i += 2) {
            bytes[i] = 0x00;
        }
    }
    rig.model.SetAdditional(kind::Offset, c.offset);
    rig.LoadFile(bytes, 0, 1200, 2e6, c.amplitude);

    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(rig.dialogs.ShownCount(), 0u);
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    const SignalParameters& p = rig.model.Params();
    EXPECT_EQ(read.record->dataFormat, c.format);
    EXPECT_EQ(read.record->attenuator, p.fileAttenuator);
    EXPECT_EQ(read.record->words,
              ConvertFileBlock(rig.fileData, 0, 1200,
                               FileConversionOf(rig.model, FileLayoutOf(rig.settings)), false));
    // 8-bit data: two samples a word.
    EXPECT_EQ(read.record->codes.size(), c.data16 ? 1200u : 2400u);

    const double voltsPerCode = read.record->voltsPerCode / 2; // at the 50-ohm load
    const double played = read.record->codes[0] * voltsPerCode;
    const double stageRange = rig.model.FullScale() * rig.model.Scale().Gain(p.fileAttenuator);
    // One offset step, or one byte step of 8-bit data.
    const double tolerance = c.data16 ? stageRange / 8192 : stageRange / 128;
    EXPECT_NEAR(played, c.offset, tolerance) << "stage " << p.fileAttenuator;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FileLayout,
    testing::Values(LayoutCase{"Signed16", true, false, false, 0.0, 4.0, 1},
                    LayoutCase{"Signed16Offset", true, false, false, 1.25, 2.0, 1},
                    LayoutCase{"Unsigned16Offset", true, true, false, -0.75, 2.0, 4},
                    LayoutCase{"SignedNullBitsOffset", true, false, true, 2.0, 2.0, 2},
                    LayoutCase{"UnsignedNullBitsOffset", true, true, true, -1.0, 2.0, 2},
                    LayoutCase{"AttenuatedStageOffset", true, false, true, 0.1, 0.3, 2},
                    LayoutCase{"Signed8", false, false, false, 0.0, 4.0, 8},
                    LayoutCase{"Unsigned8Offset", false, true, false, 1.5, 2.0, 8},
                    LayoutCase{"Signed8Offset", false, false, false, -1.5, 2.0, 8}),
    [](const testing::TestParamInfo<LayoutCase>& layout) {
        return std::string(layout.param.name);
    });

// Single play of a file block: the watch keeps the button pressed while the block is
// still being sent (the board is idle then), the board plays the block once, and the
// watch releases the button when it has finished.
TEST(FileSinglePlay, PlaysOnceAndTheWatchWaitsForTheTransfer) {
    Rig rig(Gated());
    rig.model.Params().playLoop = true;
    // 2500 samples at 25 kHz: a play of 0.1 s.
    rig.LoadFile(Bytes(RampWords(3000)), 0, 2500, 25000);
    rig.gate->Close();

    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.gate->WaitForLoads(1));
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::SinglePlayWatch));
    for (int tick = 0; tick < 5; ++tick) {
        rig.control->OnTimer(timer_id::SinglePlayWatch);
    }
    EXPECT_TRUE(rig.control->Running()) << "released while the block was still being sent";
    EXPECT_EQ(rig.view.face, StartFace::Stop);
    EXPECT_FALSE(rig.control->TransferFinished()); // the board poll waits
    rig.gate->Open();

    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::SinglePlayWatch));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(rig.WatchUntilReleased());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(rig.view.face, StartFace::Start);
    EXPECT_EQ(rig.view.caption, "Start");
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::SinglePlayWatch));
    EXPECT_EQ(rig.view.writeEnabled, true);

    EXPECT_EQ(rig.Calls("StartOutput").size(), 1u);
    EXPECT_EQ(rig.RecordCount(), 1u);
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_FALSE(read.record->continuous);
    EXPECT_EQ(read.record->codes.size(), 2500u);

    // Start again: the block on the board is played again, nothing is sent.
    const size_t before = rig.JournalSize();
    rig.control->StartButtonClick();
    EXPECT_TRUE(rig.control->Running());
    EXPECT_FALSE(rig.control->TransferRunning());
    EXPECT_TRUE(rig.Calls("LoadSamples", before).empty());
    EXPECT_TRUE(rig.Calls("ApplySettings", before).empty());
    EXPECT_EQ(rig.Calls("StartOutput", before).size(), 1u);
    EXPECT_EQ(rig.RecordCount(), 2u);
    ASSERT_TRUE(rig.WatchUntilReleased());
}

// Stop while the transfer thread sends: the thread is aborted and joined, the board
// does not start, and the progress bar is hidden.
TEST(FileTransfer, StopAbortsTheTransfer) {
    Rig rig(Gated());
    rig.LoadFile(Bytes(RampWords(6000)), 0, 5000, 1e6);
    rig.gate->Close();
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.gate->WaitForLoads(1));
    EXPECT_TRUE(rig.control->TransferRunning());

    // Open the gate only once the stop has set the abort byte: the stop waits for the
    // thread without time limit.
    std::thread opener([&rig] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        rig.gate->Open();
    });
    rig.control->StartButtonClick();
    opener.join();
    EXPECT_FALSE(rig.control->Running());
    EXPECT_FALSE(rig.control->TransferRunning());
    EXPECT_FALSE(rig.view.progressVisible);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Progress));
    EXPECT_LE(LoadCounts(rig).size(), 1u);
    EXPECT_TRUE(rig.Calls("StartOutput").empty());
    EXPECT_EQ(rig.RecordCount(), 0u);
    EXPECT_TRUE(rig.control->BoardStopped());
    EXPECT_TRUE(rig.model.Params().recomputeNeeded);
}

// A transfer that fails is not played, and the operator is told; an exception while
// sending shows text 209 through the error report.
TEST(FileTransfer, FailedChunkIsReportedAndNotPlayed) {
    Rig rig;
    rig.State("fail.LoadSamples = 0\n");
    rig.LoadFile(Bytes(RampWords(3000)), 0, 2500, 1e6);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(LoadCounts(rig), std::vector<int32_t>{1024});
    EXPECT_TRUE(rig.Calls("StartOutput").empty());
    EXPECT_TRUE(rig.model.Params().recomputeNeeded); // sent again at the next start
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Start error : 0");
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].kind, params::DialogKind::Warn);
    EXPECT_TRUE(rig.control->Running()); // the next press stops
}

TEST(FileTransfer, StartFailureOfTheThreadIsShown) {
    Rig rig;
    rig.State("fail.StartOutput = -9\n");
    rig.LoadFile(Bytes(RampWords(3000)), 0, 2000, 1e6);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(LoadCounts(rig), (std::vector<int32_t>{1024, 976}));
    ASSERT_EQ(rig.dialogs.ShownCount(), 1u);
    EXPECT_EQ(rig.dialogs.Shown()[0].text, "Start error : -9");
    EXPECT_EQ(rig.dialogs.Shown()[0].kind, params::DialogKind::Warn);
}

TEST(FileTransfer, ExceptionWhileSendingIsReported) {
    Rig rig(Gated());
    rig.gate->throwOnLoad = true;
    rig.LoadFile(Bytes(RampWords(3000)), 0, 2500, 1e6);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_TRUE(rig.Calls("StartOutput").empty());
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind("Error occurred when transferring data to the board.", 0), 0u);
    EXPECT_NE(shown[0].text.find("Gen"), std::string::npos);
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(rig.report.Code(), -13);
}

// With the tuner present, a successful file start sets timer 9; a stop kills it.
TEST(FileTransfer, TunerTimerAfterASuccessfulStart) {
    Rig rig;
    rig.board.tunerPresent = true;
    rig.LoadFile(Bytes(RampWords(3000)), 0, 1500, 1e6);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::Tuner));
    EXPECT_EQ(rig.timers.set[timer_id::Tuner], 500);
    rig.control->StartButtonClick();
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Tuner));
}

// A board with a synthesiser plays the file with it.
TEST(FileTransfer, SynthesiserBoardUsesItsSynthesiser) {
    Rig rig;
    ASSERT_TRUE(rig.board.limits.synthesiser);
    rig.model.Params().quality = QualityNearest;
    rig.LoadFile(Bytes(RampWords(3000)), 0, 1500, 1234567);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(rig.model.Params().quality, QualitySynthesiser);
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_TRUE(read.record->synthesiser);
}

} // namespace
} // namespace gentest
