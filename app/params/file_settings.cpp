#include "app/params/file_settings.h"

#include <algorithm>

namespace {

// The y range of the preview: the 14-bit codes (-8192 .. 8191) with a margin.
constexpr float kViewLowY = -9192;
constexpr float kViewHighY = 9191;

} // namespace

LupexViewRange FileViewRange(int32_t lastSampleIndex) {
    const float lastX = static_cast<float>(std::max(lastSampleIndex, 0));
    return LupexViewRange{0, lastX, kViewLowY, kViewHighY, kViewLowY, kViewHighY};
}

FileSettings::FileSettings(params::Settings& settings, ParameterModel& model,
                           EntryController& entry, FileLoadHost& host, TextLookup texts)
    : settings_(settings), model_(model), entry_(entry), host_(host), texts_(std::move(texts)) {}

void FileSettings::Create() {
    SetTexts();
    closePermitted_ = false;
    nullBitsChecked_ = settings_.nullBits;
    nonSignedChecked_ = settings_.nonSigned;
    SetItemIndex(settings_.data16 ? 0 : 1);
}

void FileSettings::SetTexts() {
    choices_.clear();
    selected_ = -1;
    choices_.push_back(Text(file_settings_text::SixteenBit));
    SetItemIndex(1);
}

void FileSettings::SetItemIndex(int index) {
    const int last = static_cast<int>(choices_.size()) - 1;
    index = std::clamp(index, -1, last);
    if (index == selected_) {
        return;
    }
    selected_ = index;
    RadioGroup1Click();
}

void FileSettings::SelectChoice(int choice) {
    SetItemIndex(choice);
}

void FileSettings::RadioGroup1Click() {
    const bool sixteenBit = selected_ == 0;
    settings_.data16 = sixteenBit;
    nullBitsEnabled_ = sixteenBit;
}

void FileSettings::IsNonSignedClick(bool checked) {
    nonSignedChecked_ = checked;
    settings_.nonSigned = checked;
}

void FileSettings::IsNullBitsClick(bool checked) {
    if (!nullBitsEnabled_) {
        return; // a disabled box cannot be clicked; its setting keeps its value
    }
    nullBitsChecked_ = checked;
    settings_.nullBits = checked;
}

void FileSettings::AgreeClick() {
    CompleteLoad(true);
    closePermitted_ = true;
}

void FileSettings::CancelClick() {
    closePermitted_ = true;
    CompleteLoad(false);
}

void FileSettings::CompleteLoad(bool accepted) {
    host_.RestoreWindows();
    if (!accepted) {
        return;
    }
    SignalParameters& p = model_.Params();
    const int32_t last = p.lastSampleIndex;
    model_.SetLoadedFile(true, last);
    const int32_t words = p.lastSampleIndex + 1; // W: 16-bit words of the file

    // The block for the entry's current parameter. The block size as the current
    // parameter takes the largest size the bar offers (the model keeps it within the
    // board memory); any other parameter leaves the block size at the whole file.
    const ParameterKind current = entry_.Kind();
    if (current == kind::BlockSize) {
        entry_.ChooseKind(kind::BlockSize);
        entry_.MaxBarClick();
    } else {
        if (current == kind::BlockStart) {
            entry_.ChooseKind(kind::BlockStart); // range 0 .. last - 1 of the new file
        }
        p.blockSize = words;
    }
    model_.SetBlockStart(-1);
    model_.SetBlockSize(-1);
    if (current == kind::BlockStart || current == kind::BlockSize) {
        entry_.Refresh(); // the boxes show what the model kept
    }

    host_.SetFlashWriteEnabled(true);

    if (host_.ViewerAvailable()) {
        host_.SetPreviewRange(FileViewRange(p.lastSampleIndex));
        auto& markers = model_.Markers();
        markers[0].position = 0;
        markers[1].position = static_cast<float>(p.blockStart);
        const int64_t lastOfBlock = int64_t{p.blockStart} + p.blockSize - 1;
        markers[2].position = static_cast<float>(std::max<int64_t>(lastOfBlock, 0));
        if (settings_.autoView && !host_.PreviewVisible()) {
            host_.ShowPreview();
        }
    }

    host_.ContinueStartAfterLoad();
}
