// FileSettings: the data-width group that leaves Data16 on, the check boxes, the
// close permission, and Accept and Cancel completing the load.

#include "app/params/file_settings.h"
#include "tests/app/params/aux_fakes.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Texts(int id) {
    return id == file_settings_text::SixteenBit ? "16 bit" : EnglishText(id);
}

class FileSettingsTest : public ::testing::Test {
protected:
    // A loaded file of `words` 16-bit words on a board with `memory` samples; the
    // entry edits `current`.
    void Load(int32_t words, int32_t memory, ParameterKind current) {
        BoardValues board;
        board.maxVoltage = 10;
        board.gains = {1, 0.1};
        board.memory = memory;
        model.OpenBoard(board, nullptr);
        model.SelectType(signal_type::File);
        model.SetLoadedFile(true, words - 1);
        entry.ChooseKind(current);
        window.Create();
        host.calls.clear();
    }

    params::Settings settings;
    FakeParameterView labels;
    ParameterModel model{labels, EnglishText};
    FakeEntryView entryView;
    EntryController entry{model, entryView};
    FakeFileLoadHost host;
    FileSettings window{settings, model, entry, host, Texts};
};

TEST_F(FileSettingsTest, Data16OffInTheSettingsEndsOnAtCreation) {
    settings.data16 = false;
    window.Create();
    EXPECT_TRUE(settings.data16);
    EXPECT_EQ(window.Choices(), std::vector<std::string>{"16 bit"});
    EXPECT_EQ(window.SelectedChoice(), 0);
    EXPECT_TRUE(window.NullBitsEnabled());
}

TEST_F(FileSettingsTest, EveryLanguageChangeTurnsData16OnAgain) {
    window.Create();
    settings.data16 = false;
    window.SetTexts();
    EXPECT_TRUE(settings.data16);
    EXPECT_EQ(window.SelectedChoice(), 0);
}

TEST_F(FileSettingsTest, CheckBoxesStartFromTheSettings) {
    settings.nonSigned = true;
    settings.nullBits = false;
    window.Create();
    EXPECT_TRUE(window.NonSignedChecked());
    EXPECT_FALSE(window.NullBitsChecked());
    EXPECT_FALSE(window.CanClose());
}

TEST_F(FileSettingsTest, InEightBitModeNullBitsIsDisabledAndKeepsItsSetting) {
    settings.nullBits = true;
    window.Create();
    window.SelectChoice(-1); // nothing chosen: not 16-bit
    EXPECT_FALSE(settings.data16);
    EXPECT_FALSE(window.NullBitsEnabled());
    window.IsNullBitsClick(false);
    EXPECT_TRUE(settings.nullBits);
    window.SelectChoice(5); // limited to the last choice
    EXPECT_EQ(window.SelectedChoice(), 0);
    EXPECT_TRUE(settings.data16);
    window.IsNullBitsClick(false);
    EXPECT_FALSE(settings.nullBits);
}

TEST_F(FileSettingsTest, CancelAfterUnsignedKeepsTheSettingAndDoesNotCompleteTheLoad) {
    Load(1000, 1 << 20, kind::Amplitude);
    const int32_t size = model.Params().blockSize;
    window.IsNonSignedClick(true);
    EXPECT_TRUE(settings.nonSigned);
    window.CancelClick();
    EXPECT_TRUE(settings.nonSigned);
    EXPECT_TRUE(window.CanClose());
    EXPECT_EQ(host.calls, std::vector<std::string>{"RestoreWindows"});
    EXPECT_EQ(model.Params().blockSize, size);
}

TEST_F(FileSettingsTest, CloseIsRefusedUntilAcceptOrCancel) {
    Load(100, 1 << 20, kind::Amplitude);
    EXPECT_FALSE(window.CanClose());
    window.AgreeClick();
    EXPECT_TRUE(window.CanClose());
    window.ClearClosePermission(); // the next load
    EXPECT_FALSE(window.CanClose());
}

TEST_F(FileSettingsTest, AcceptSetsTheBlockToTheWholeFileAndPreparesThePreview) {
    Load(1000, 1 << 20, kind::Amplitude);
    settings.autoView = true;
    window.AgreeClick();
    EXPECT_EQ(model.Params().blockSize, 1000);
    EXPECT_EQ(model.Params().blockStart, 0);
    EXPECT_TRUE(model.Params().fileLoaded);
    EXPECT_EQ(labels.Label(ParameterLabel::SizeBlockMain), "1000");
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"RestoreWindows", "FlashWrite on", "SetPreviewRange",
                                        "ShowPreview", "ContinueStartAfterLoad"}));
    ASSERT_TRUE(host.range.has_value());
    EXPECT_EQ(host.range->firstX, 0);
    EXPECT_EQ(host.range->lastX, 999);
    EXPECT_EQ(host.range->lowY, -9192);
    EXPECT_EQ(host.range->highY, 9191);
    EXPECT_EQ(host.range->lowY2, -9192);
    EXPECT_EQ(host.range->highY2, 9191);
    const auto& markers = model.Markers();
    EXPECT_EQ(markers[0].position, 0);
    EXPECT_EQ(markers[1].position, 0);
    EXPECT_EQ(markers[2].position, 999);
    EXPECT_EQ(markers[0].colour, kCursorColour);
    EXPECT_EQ(markers[2].colour, kBlockColour);
}

TEST_F(FileSettingsTest, AcceptWithoutViewerOrAutoViewLeavesThePreviewAlone) {
    Load(100, 1 << 20, kind::Amplitude);
    settings.autoView = false;
    window.AgreeClick();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"RestoreWindows", "FlashWrite on",
                                                    "SetPreviewRange", "ContinueStartAfterLoad"}));
    host.calls.clear();
    host.viewer = false;
    settings.autoView = true;
    window.AgreeClick();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"RestoreWindows", "FlashWrite on",
                                                    "ContinueStartAfterLoad"}));
}

struct BlockSizeCase {
    int32_t words;
    int32_t memory;
    int32_t expected; // min(W, memory), even
};

class AcceptBlockSizeTest : public FileSettingsTest,
                            public ::testing::WithParamInterface<BlockSizeCase> {};

TEST_P(AcceptBlockSizeTest, BlockSizeAsCurrentParameterTakesTheBarMaximum) {
    const BlockSizeCase& c = GetParam();
    Load(c.words, c.memory, kind::BlockSize);
    window.AgreeClick();
    EXPECT_EQ(model.Params().blockSize, c.expected);
    EXPECT_EQ(entryView.barPosition, entryView.barHighest); // the bar at its maximum
    EXPECT_EQ(entry.Kind(), kind::BlockSize);
    EXPECT_DOUBLE_EQ(entry.BoxValue(), c.expected); // the entry shows what was kept
    EXPECT_EQ(labels.Label(ParameterLabel::SizeBlockMain), std::to_string(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Sizes, AcceptBlockSizeTest,
                         ::testing::Values(BlockSizeCase{1000, 1 << 20, 1000},
                                           BlockSizeCase{1000, 512, 512},
                                           BlockSizeCase{1001, 1 << 20, 1000}));

TEST_F(FileSettingsTest, AcceptWithBlockStartCurrentRangesTheStartOverTheNewFile) {
    Load(300, 1 << 20, kind::BlockStart);
    window.AgreeClick();
    EXPECT_EQ(entryView.minBar, "0");
    EXPECT_EQ(entryView.maxBar, "298"); // lastSampleIndex - 1
    EXPECT_EQ(model.Params().blockSize, 300);
    EXPECT_EQ(model.Params().blockStart, 0);
}

TEST_F(FileSettingsTest, AcceptKeepsAStartThatStillFits) {
    Load(1000, 1 << 20, kind::Amplitude);
    model.SetBlockStart(10);
    window.AgreeClick();
    // The whole file does not fit after sample 10: the block shrinks to what does.
    EXPECT_EQ(model.Params().blockStart, 10);
    EXPECT_EQ(model.Params().blockSize, 990);
    EXPECT_EQ(model.Markers()[1].position, 10);
    EXPECT_EQ(model.Markers()[2].position, 999);
}

} // namespace
