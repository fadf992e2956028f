// The flash memory menu with the simulated USB board (flash of 500 samples): what
// Write stores (the board's flash record is the oracle), Erase, the enabling of the
// Erase item, and a Write while the output runs.

#include "app/params/file_conversion.h"
#include "tests/app/board/generation_rig.h"

#include <string>

namespace gentest {
namespace {

using params::DialogAnswer;
using params::DialogKind;

Rig UsbRig() {
    return Rig(Driver("KORD77USB"));
}

std::vector<boardsim::JournalEntry> FlashCalls(const Rig& rig, size_t from = 0) {
    return rig.Calls("Control", from, ctl::FlashWrite);
}

struct WriteCase {
    const char* name;
    bool data16;
    int32_t blockStart;
    int32_t blockSize;
    int32_t written; // samples in the image
};

class FlashWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(FlashWrite, WritesAtMost500SamplesOfTheBlock) {
    const WriteCase& c = GetParam();
    Rig rig = UsbRig();
    rig.settings.data16 = c.data16;
    rig.model.SetAdditional(kind::Offset, 0.5);
    rig.LoadFile(Bytes(RampWords(4000)), c.blockStart, c.blockSize, 1e6, 3.0);
    ASSERT_EQ(rig.model.Params().blockSize, c.blockSize);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);

    rig.flash->WriteClick();

    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, DialogKind::Ask);
    EXPECT_EQ(shown[0].text, "Do you really wish to write on flash?");
    EXPECT_EQ(shown[0].caption, "Attention!");
    EXPECT_EQ(shown[1].text, "Write succesful.");
    EXPECT_EQ(shown[1].caption, "\xD0\x9E\xD0\x9A");

    const FlashImage& image = rig.flash->LastImage();
    EXPECT_EQ(image.type, 4);
    EXPECT_EQ(image.size, static_cast<int32_t>(sizeof(FlashImage)));
    EXPECT_EQ(image.count, c.written);
    EXPECT_EQ(image.settings.type, 2);
    EXPECT_EQ(image.settings.size, 28);
    EXPECT_EQ(image.settings.mode, 1);
    const double clock = image.settings.clock; // a packed field: copied, not bound
    EXPECT_EQ(clock, 1e6);
    EXPECT_EQ(image.settings.attenuator, rig.model.Params().fileAttenuator);
    EXPECT_EQ(image.synthesiser, 1); // the board has a synthesiser
    ASSERT_EQ(FlashCalls(rig).size(), 1u);
    EXPECT_EQ(FlashCalls(rig)[0].Arg("count"), std::to_string(c.written));

    const auto read = boardsim::ReadFlashRecord(rig.SimFolder());
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->state, "written");
    const SignalParameters& p = rig.model.Params();
    const auto expected =
        ConvertFileBlock(rig.fileData, p.blockStart, c.data16 ? c.written : c.written / 2,
                         FileConversionOf(rig.model, FileLayoutOf(rig.settings)), true);
    EXPECT_EQ(read.record->words, expected);
    EXPECT_EQ(read.record->codes.size(), static_cast<size_t>(c.written));
    if (c.data16) {
        // The offset is in the flash: the first sample plays the file's value plus
        // 0.5 V at the load.
        const int32_t fileCode = RampWords(4000)[static_cast<size_t>(c.blockStart)] >> 2;
        const double added =
            (read.record->codes.front() - fileCode) * read.record->voltsPerCode / 2;
        EXPECT_NEAR(added, 0.5, read.record->voltsPerCode);
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, FlashWrite,
                         testing::Values(WriteCase{"Block2000Writes500", true, 100, 2000, 500},
                                         WriteCase{"Block120WritesAll", true, 0, 120, 120},
                                         WriteCase{"Block500", true, 10, 500, 500},
                                         WriteCase{"EightBitBlock", false, 0, 400, 500},
                                         WriteCase{"EightBitSmallBlock", false, 0, 100, 200}),
                         [](const testing::TestParamInfo<WriteCase>& write) {
                             return std::string(write.param.name);
                         });

TEST(Flash, WriteAnsweredNoSendsNothing) {
    Rig rig = UsbRig();
    rig.LoadFile(Bytes(RampWords(1000)), 0, 200, 1e6);
    const size_t before = rig.JournalSize();
    rig.dialogs.ScriptAnswer(DialogAnswer::No);
    rig.flash->WriteClick();
    EXPECT_EQ(rig.dialogs.ShownCount(), 1u);
    EXPECT_EQ(rig.JournalSize(), before);
}

TEST(Flash, WriteWithoutAFileStopsSilently) {
    Rig rig = UsbRig();
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
    EXPECT_EQ(rig.dialogs.ShownCount(), 1u);
    EXPECT_TRUE(FlashCalls(rig).empty());
}

TEST(Flash, FailedWriteShowsWriteError) {
    Rig rig = UsbRig();
    rig.State("fail.Control.0x7A5A0090 = 0\n");
    rig.LoadFile(Bytes(RampWords(1000)), 0, 200, 1e6);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Write error.");
    EXPECT_EQ(shown[1].caption, "");
}

TEST(Flash, WriteOutOfTheVoltageLimitsShowsOverflow) {
    Rig rig = UsbRig();
    rig.model.SetSettings(ModelSettings{-1.0, 1.0, 50});
    rig.LoadFile(Bytes(RampWords(1000)), 0, 200, 1e6, 4.0);
    ASSERT_FALSE(rig.model.Params().withinVoltageLimits);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Owerflow");
    EXPECT_TRUE(FlashCalls(rig).empty());
    EXPECT_FALSE(rig.control->Running()); // a released button is not pressed by it
}

// Write while the output runs: the board is stopped first and stays stopped; the
// Start/Stop button is left as it is.
TEST(Flash, WriteWhileRunningStopsTheBoard) {
    Rig rig = UsbRig();
    rig.LoadFile(Bytes(RampWords(3000)), 0, 2000, 1e6);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    int32_t playing = 0;
    rig.Device()->Control(ctl::Playing, &playing);
    ASSERT_EQ(playing, 1);

    const size_t before = rig.JournalSize();
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
    const auto journal = rig.Journal();
    size_t stop = journal.size();
    size_t write = journal.size();
    for (size_t i = before; i < journal.size(); ++i) {
        if (journal[i].operation == "StopOutput" && stop == journal.size()) {
            stop = i;
        }
        if (journal[i].operation == "Control" && journal[i].Code() == ctl::FlashWrite) {
            write = i;
        }
    }
    ASSERT_LT(stop, journal.size());
    ASSERT_LT(write, journal.size());
    EXPECT_LT(stop, write);
    EXPECT_TRUE(rig.control->BoardStopped());
    EXPECT_TRUE(rig.control->Running());
    rig.Device()->Control(ctl::Playing, &playing);
    EXPECT_EQ(playing, 0);
    EXPECT_TRUE(rig.Calls("StartOutput", before).empty());
}

// Write while a transfer is under way: the transfer is aborted and waited for.
TEST(Flash, WriteAbortsARunningTransfer) {
    Rig rig(Driver("KORD77USB"));
    rig.LoadFile(Bytes(RampWords(3000)), 0, 2000, 1e6);
    rig.control->StartButtonClick();
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
    EXPECT_FALSE(rig.control->TransferRunning());
    EXPECT_FALSE(rig.view.progressVisible);
    EXPECT_TRUE(rig.control->BoardStopped());
    int32_t playing = 1;
    rig.Device()->Control(ctl::Playing, &playing);
    EXPECT_EQ(playing, 0);
    ASSERT_EQ(FlashCalls(rig).size(), 1u);
}

TEST(Flash, EraseAnsweredNoSendsNothing) {
    Rig rig = UsbRig();
    const size_t before = rig.JournalSize();
    rig.dialogs.ScriptAnswer(DialogAnswer::No);
    rig.flash->EraseClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Do you really wish to erase flash?");
    EXPECT_EQ(shown[0].caption, "Attention!");
    EXPECT_EQ(rig.JournalSize(), before);
}

// The Erase item follows what the board says when the menu opens; Erase clears the
// flash.
TEST(Flash, EraseItemFollowsTheFlashAndEraseClearsIt) {
    Rig rig = UsbRig();
    rig.flash->MenuOpened();
    EXPECT_EQ(rig.view.eraseEnabled, false);

    rig.LoadFile(Bytes(RampWords(1000)), 0, 200, 1e6);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->WriteClick();
    rig.flash->MenuOpened();
    EXPECT_EQ(rig.view.eraseEnabled, true);

    rig.dialogs.Reset();
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->EraseClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Flash erase succesful");
    EXPECT_EQ(shown[1].caption, "\xD0\x9E\xD0\x9A");
    const auto read = boardsim::ReadFlashRecord(rig.SimFolder());
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->state, "erased");
    rig.flash->MenuOpened();
    EXPECT_EQ(rig.view.eraseEnabled, false);
}

TEST(Flash, EraseFailureAndBoardsWithoutFlash) {
    Rig rig; // PCI: no flash memory
    rig.flash->MenuOpened();
    EXPECT_EQ(rig.view.eraseEnabled, false);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->EraseClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Erase error.");
    EXPECT_EQ(shown[1].caption, "Attention!");
}

// Without a driver the Erase item keeps its state and Erase does nothing.
TEST(Flash, WithoutADriver) {
    Rig rig = UsbRig();
    rig.board.device = nullptr;
    rig.view.eraseEnabled = true;
    rig.flash->MenuOpened();
    EXPECT_EQ(rig.view.eraseEnabled, true);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.flash->EraseClick();
    EXPECT_EQ(rig.dialogs.ShownCount(), 1u);
}

} // namespace
} // namespace gentest
