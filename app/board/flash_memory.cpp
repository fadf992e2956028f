#include "app/board/flash_memory.h"

#include "app/board/generation_texts.h"
#include "app/params/file_conversion.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

double PeakOf(double off, double a) {
    const double plus = std::fabs(off + a);
    const double minus = std::fabs(off - a);
    return minus <= plus ? plus : minus;
}

} // namespace

FlashMemory::FlashMemory(GenerationControl& generation, GenerationContext context)
    : generation_(generation), context_(std::move(context)) {}

void FlashMemory::MenuOpened() {
    IADCDevice* device = context_.board.Device();
    if (device == nullptr) {
        return;
    }
    int32_t erasable = 0;
    const int32_t result = device->Control(ctl::FlashErasable, &erasable);
    context_.view.SetFlashEraseEnabled(result == 1 && erasable == 1);
}

void FlashMemory::WriteClick() {
    try {
        WriteSteps();
    } catch (...) {
        context_.report.SetLocation(__LINE__, gen_code::Output, kGenerationUnit);
        context_.report.ShowError(Text(gen_text::Exception), Text(gen_text::Error));
    }
}

void FlashMemory::WriteSteps() {
    const auto answer =
        context_.dialogs.Ask(Text(gen_text::AskWrite), Text(gen_text::Attention),
                             params::DialogButtons::YesNo, params::DialogIcon::Question);
    if (answer != params::DialogAnswer::Yes) {
        return;
    }
    generation_.StopBoard();
    if (context_.signal != nullptr) {
        context_.signal->Cancel();
    }
    generation_.AbortTransfer();
    // The transfer may have started the board before it saw the abort.
    generation_.StopBoard();

    ParameterModel& model = context_.model;
    SignalParameters& p = model.Params();
    if (!p.withinVoltageLimits) {
        generation_.ReportOverflow();
        return;
    }
    context_.timers.KillTimer(timer_id::Restart);
    IADCDevice* device = context_.board.Device();
    if (!context_.board.Opened() || device == nullptr) {
        context_.report.SetLocation(__LINE__, gen_code::Output, kGenerationUnit);
        context_.report.ShowError(Text(gen_text::UnknownError), Text(gen_text::Error));
        return;
    }
    if (!context_.board.Found()) {
        context_.dialogs.Warn(Text(gen_text::NoBoard), Text(gen_text::Error));
        return;
    }
    if (!p.fileLoaded) {
        return;
    }

    p.attenuator = model.SelectAttenuator(PeakOf(model.Offset(), p.amplitude));
    if (context_.signal != nullptr) {
        context_.signal->Cancel();
    }

    if (context_.board.Tables().synthesiser) {
        p.quality = QualitySynthesiser;
    }
    const FileSampleLayout layout = FileLayoutOf(context_.settings);
    // 8-bit data give two flash samples per file word.
    const int32_t words = layout.data16 ? kFlashSamples : kFlashSamples / 2;
    const std::vector<int16_t> samples =
        ConvertFileBlock(context_.fileData, p.blockStart, std::min(p.blockSize, words),
                         FileConversionOf(model, layout), true);
    if (samples.empty()) {
        return; // the block lies outside the loaded data
    }

    image_ = FlashImage{};
    image_.type = FlashImageType;
    image_.size = static_cast<int32_t>(sizeof(FlashImage));
    image_.settings = BoardSettings{
        BoardSettingsType,
        static_cast<int32_t>(sizeof(BoardSettings)),
        BoardModeOf(p.playLoop, context_.settings.dacUseExt, context_.settings.dacStartMode),
        p.sampleClock,
        p.fileAttenuator,
        p.filter ? 1 : 0};
    image_.synthesiser = p.quality == QualitySynthesiser ? 1 : 0;
    image_.count = static_cast<int32_t>(samples.size());
    image_.samples = samples.data();
    const int32_t result = device->Control(ctl::FlashWrite, &image_);
    image_.samples = nullptr;

    if (result > 0) {
        context_.dialogs.Inform(Text(gen_text::WriteDone), gen_literal::OkCaption,
                                params::DialogIcon::None);
    } else {
        context_.dialogs.Inform(Text(gen_text::WriteError), "", params::DialogIcon::None);
    }
}

void FlashMemory::EraseClick() {
    const auto answer =
        context_.dialogs.Ask(Text(gen_text::AskErase), Text(gen_text::Attention),
                             params::DialogButtons::YesNo, params::DialogIcon::Question);
    if (answer != params::DialogAnswer::Yes) {
        return;
    }
    IADCDevice* device = context_.board.Device();
    if (device == nullptr) {
        return;
    }
    const int32_t result = device->Control(ctl::FlashWrite, nullptr);
    if (result > 0) {
        context_.dialogs.Inform(Text(gen_text::EraseDone), gen_literal::OkCaption,
                                params::DialogIcon::None);
    } else {
        context_.dialogs.Inform(Text(gen_text::EraseError), Text(gen_text::Attention),
                                params::DialogIcon::None);
    }
}
