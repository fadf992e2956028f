#include "app/board/generation_control.h"

#include "app/board/generation_texts.h"
#include "app/params/file_conversion.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <new>
#include <thread>
#include <utility>

namespace {

// The larger of |off + a| and |off - a|.
double PeakOf(double off, double a) {
    const double plus = std::fabs(off + a);
    const double minus = std::fabs(off - a);
    return minus <= plus ? plus : minus;
}

// The tuner needs this long after timer 9 stops before the board is stopped.
constexpr std::chrono::milliseconds kTunerPause{510};

} // namespace

int32_t BoardModeOf(bool singlePlay, int dacUseExt, int dacStartMode) {
    return (singlePlay ? ModeSinglePlay : ModeContinuous) | dacUseExt | dacStartMode;
}

FileSampleLayout FileLayoutOf(const params::Settings& settings) {
    return FileSampleLayout{settings.data16, settings.nonSigned, settings.nullBits};
}

GenerationControl::GenerationControl(GenerationContext context) : context_(std::move(context)) {}

GenerationControl::~GenerationControl() {
    transfer_.Abort();
    transfer_.Join();
    // The library must not copy into the buffer once it is gone.
    if (context_.signal != nullptr) {
        context_.signal->Cancel();
    }
}

bool GenerationControl::AllocateBuffer(int32_t memory) {
    if (context_.signal != nullptr) {
        context_.signal->Cancel(); // no computation may copy into the old buffer
    }
    pointCount_ = 0;
    try {
        buffer_.assign(static_cast<std::size_t>(std::max(memory, 0)) + kTransferChunk, 0);
        return true;
    } catch (const std::bad_alloc&) {
        buffer_.clear();
        buffer_.shrink_to_fit();
        return false;
    }
}

void GenerationControl::SetFace(bool running) {
    context_.view.SetStartButton(running ? StartFace::Stop : StartFace::Start,
                                 Text(running ? gen_text::Stop : gen_text::Start));
}

void GenerationControl::StartButtonClick() {
    startAfterLoad_ = false;
    SignalParameters& p = context_.model.Params();
    if (!running_ && p.type == signal_type::File && !p.fileLoaded) {
        const auto answer =
            context_.dialogs.Ask(Text(gen_text::AskLoadFile), Text(gen_text::Attention),
                                 params::DialogButtons::YesNo, params::DialogIcon::Question);
        if (answer != params::DialogAnswer::Yes) {
            return;
        }
        switch (context_.view.RunFileLoad()) {
        case FileLoadResult::None:
            return;
        case FileLoadResult::Pending:
            startAfterLoad_ = true;
            break;
        case FileLoadResult::Loaded:
            if (!p.fileLoaded) {
                return;
            }
            break;
        }
    }

    if (running_) {
        SetFace(false);
        running_ = false;
        if (context_.board.Found()) {
            StopGeneration();
            // The button is released either way; the operator must not take a board
            // that did not confirm the stop for a silent one.
            if (!stopConfirmed_) {
                context_.dialogs.Warn(context_.settings.english ? gen_literal::StopErrorEnglish
                                                                : gen_literal::StopErrorRussian,
                                      Text(gen_text::Error));
            }
        }
        context_.view.SetFlashWriteEnabled(true);
        return;
    }

    context_.view.RefreshBoardState();
    if (!context_.view.StartButtonEnabled()) {
        return;
    }
    SetFace(true);
    running_ = true;
    context_.view.SetFlashWriteEnabled(false);
    if (!startAfterLoad_) {
        StartGeneration();
    }
}

void GenerationControl::ButtonHandClick() {
    SignalParameters& p = context_.model.Params();
    p.playLoop = !p.playLoop;
    if (running_ && context_.settings.autoStart) {
        ScheduleRestart();
    }
}

void GenerationControl::FileLoadAccepted() {
    if (!startAfterLoad_) {
        return;
    }
    startAfterLoad_ = false;
    if (running_) {
        StartGeneration();
    }
}

void GenerationControl::RestartIfRunning() {
    if (running_ && context_.settings.autoStart) {
        ScheduleRestart();
    }
}

void GenerationControl::ScheduleRestart() {
    context_.timers.KillTimer(timer_id::Restart);
    context_.timers.SetTimer(timer_id::Restart, timer_period::Restart);
}

void GenerationControl::OnTimer(int id) {
    switch (id) {
    case timer_id::Restart:
        context_.timers.KillTimer(timer_id::Restart);
        // A restart is for a running output; the single-play watch may have
        // released the button since the change.
        if (running_) {
            StopGeneration();
            StartGeneration();
        }
        break;
    case timer_id::SinglePlayWatch:
        WatchSinglePlay();
        break;
    case timer_id::Progress:
        ShowProgress();
        break;
    default:
        break; // timer 9 has no action of its own
    }
}

void GenerationControl::ReportFailure(int line, int code, int textId) {
    context_.report.SetLocation(line, code, kGenerationUnit);
    context_.report.ShowError(Text(textId), Text(gen_text::Error));
}

void GenerationControl::ShowStartError(int32_t result) {
    context_.dialogs.Warn(Text(gen_text::StartError) + " : " + std::to_string(result), "");
}

void GenerationControl::ReportOverflow() {
    // Only a pressed button is released: the action would otherwise start.
    if (running_) {
        StartButtonClick();
    }
    context_.timers.KillTimer(timer_id::Restart);
    context_.dialogs.Inform(Text(gen_text::Overflow), "", params::DialogIcon::None);
}

void GenerationControl::StartGeneration() {
    try {
        StartSteps();
    } catch (const std::exception&) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::Exception);
    } catch (...) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::Exception);
    }
}

void GenerationControl::StartSteps() {
    SignalParameters& p = context_.model.Params();
    const BoardLink& board = context_.board;
    if (context_.signal == nullptr) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }
    IUndula& signal = *context_.signal;

    signal.Cancel();
    AbortTransfer();

    if (!p.withinVoltageLimits) {
        ReportOverflow();
        return;
    }
    context_.timers.KillTimer(timer_id::Restart);

    IADCDevice* device = Device();
    // Single play of what the board holds already.
    if (p.playLoop && !p.recomputeNeeded && device != nullptr && board.Opened() && board.Found()) {
        Replay(*device);
        return;
    }
    if (!boardStopped_ && device != nullptr) {
        device->StopOutput();
        boardStopped_ = true;
    }
    if (!board.Opened() || device == nullptr) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }
    if (!board.Found()) {
        context_.dialogs.Warn(Text(gen_text::NoBoard), Text(gen_text::Error));
        return;
    }
    if (p.type == signal_type::File && !p.fileLoaded) {
        return;
    }

    const SignalTypeInfo& info = SignalTypeOf(p.type);
    request_ = UndulaRequest{};
    request_.kind = info.waveformCode;
    if (info.waveformCode == KindConstant && p.frequency == 0) {
        p.frequency = context_.model.Limits().frequencyMin;
        if (p.frequency != 0) {
            p.period = 1 / p.frequency;
        }
    }
    if (info.waveformCode == KindSaw) {
        request_.sawDirection = info.sawDirection;
    }
    p.attenuator = context_.model.SelectAttenuator(PeakOf(context_.model.Offset(), p.amplitude));
    signal.Cancel();

    if (p.type == signal_type::File) {
        FilePath(*device);
    } else {
        ComputedPath(*device);
    }
}

void GenerationControl::Replay(IADCDevice& device) {
    const int32_t result = device.StartOutput();
    boardStopped_ = false;
    context_.timers.KillTimer(timer_id::SinglePlayWatch);
    SetWatch();
    if (result != 1) {
        std::string text = gen_literal::ReplayError;
        text.replace(text.find("%d"), 2, std::to_string(result));
        context_.dialogs.Inform(text, gen_literal::ReplayCaption, params::DialogIcon::None);
    }
}

bool GenerationControl::WatchWanted() const {
    return context_.model.Params().playLoop && context_.settings.dacUseExt == 0;
}

void GenerationControl::SetWatch() {
    context_.timers.SetTimer(timer_id::SinglePlayWatch, timer_period::SinglePlayWatch);
}

void GenerationControl::ComputedPath(IADCDevice& device) {
    ParameterModel& model = context_.model;
    SignalParameters& p = model.Params();
    const BoardTables board = context_.board.Tables();
    IUndula& signal = *context_.signal;

    // Stage, amplitude code and realised amplitude; the offset at the same stage.
    model.RealiseAmplitude();
    const int stage = p.attenuator;
    offsetCode_ = model.Scale().Code(model.Offset(), stage);
    realisedOffset_ = model.Scale().Volts(offsetCode_, stage);
    context_.view.SetRealisedOffset(realisedOffset_);

    const std::size_t wanted = static_cast<std::size_t>(std::max(board.memory, 0)) + kTransferChunk;
    if (buffer_.size() < wanted) {
        buffer_.assign(wanted, 0);
    }

    request_.frequency = p.frequency;
    request_.amplitude = p.amplitudeCode;
    request_.base = offsetCode_;
    request_.singlePlay = p.playLoop ? 1 : 0;
    request_.polarity = p.polarity;
    request_.duration = p.duration != 0 ? p.duration : p.period / 2;
    request_.delay = 0;
    request_.samples = buffer_.data();

    int32_t option = p.impulseOptimize;
    int32_t mode = p.quality;
    if (signal.Query(QuerySetRequest, &request_) < 1 ||
        signal.Query(QuerySetPulseOption, &option) != 1 || signal.Query(QuerySetMode, &mode) != 1) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }

    int32_t points = 0;
    if (signal.Prepare(&request_, board.minClock, board.maxClock, board.clocks,
                       board.clockCount - 1, board.memory, board.evenLength ? 1 : 0, &points,
                       request_.singlePlay) < 1) {
        context_.dialogs.Warn(Text(gen_text::GenerateError), Text(gen_text::Error));
        return;
    }

    double clock = 0;
    if (signal.Query(QuerySampleClock, &clock) != 1) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }
    boardSettings_ = BoardSettings{
        BoardSettingsType,
        static_cast<int32_t>(sizeof(BoardSettings)),
        BoardModeOf(p.playLoop, context_.settings.dacUseExt, context_.settings.dacStartMode),
        clock,
        stage,
        p.filter ? 1 : 0};
    int32_t useSynthesiser = p.quality == QualitySynthesiser ? 1 : 0;
    device.Control(ctl::UseSynthesiser, &useSynthesiser);
    float boardClock = 0;
    if (device.ApplySettings(1, &boardSettings_, &boardClock) < 1) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }

    if (points < 0 || static_cast<std::size_t>(points) > buffer_.size()) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }
    request_.sampleCount = points;
    // The codes are as wide as the board's converter.
    if (signal.Start(&request_, offsetCode_, model.Scale().codeBits, 0.0,
                     &CompletionCopy::Completion, &completion_, 0) < 1) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }
    signal.Query(QueryWait, nullptr);
    pointCount_ = points;

    p.recomputeNeeded = false;
    double perPeriod = 0;
    signal.Query(QueryPointsPerPeriod, &perPeriod);
    p.realisedFrequency = perPeriod != 0 ? static_cast<double>(boardClock) / perPeriod : 0;
    p.realisedDuration = request_.duration;
    model.ShowRealised(kind::Frequency);
    model.ShowRealised(kind::Period);
    model.ShowRealised(kind::Duration);
    model.ShowRealised(kind::Amplitude);
    model.ShowRealised(kind::Offset);

    LoadAndStart(device);
}

void GenerationControl::LoadAndStart(IADCDevice& device) {
    IUndula& signal = *context_.signal;
    // Into a local: the record's clock is a packed, possibly misaligned field.
    double clock = boardSettings_.clock;
    signal.Query(QuerySampleClock, &clock);
    boardSettings_.clock = clock;
    float boardClock = 0;
    device.ApplySettings(1, &boardSettings_, &boardClock);
    const int32_t loaded = device.LoadSamples(Format2, buffer_.data(), pointCount_, 0);
    // A buffer that did not reach the board is not played, and the operator is told;
    // the next start loads it again.
    if (loaded < 1) {
        context_.model.Params().recomputeNeeded = true;
        ShowStartError(loaded);
        return;
    }
    const int32_t started = device.StartOutput();
    boardStopped_ = false;
    if (started != 1) {
        ShowStartError(started);
        return;
    }
    if (WatchWanted()) {
        SetWatch();
    }
}

void GenerationControl::FilePath(IADCDevice& device) {
    ParameterModel& model = context_.model;
    SignalParameters& p = model.Params();
    const FileSampleLayout layout = FileLayoutOf(context_.settings);

    if (context_.board.Tables().synthesiser) {
        p.quality = QualitySynthesiser;
    }
    boardSettings_ = BoardSettings{
        BoardSettingsType,
        static_cast<int32_t>(sizeof(BoardSettings)),
        BoardModeOf(p.playLoop, context_.settings.dacUseExt, context_.settings.dacStartMode),
        p.sampleClock,
        p.fileAttenuator,
        p.filter ? 1 : 0};
    int32_t useSynthesiser = p.quality == QualitySynthesiser ? 1 : 0;
    device.Control(ctl::UseSynthesiser, &useSynthesiser);
    float boardClock = 0;
    if (device.ApplySettings(1, &boardSettings_, &boardClock) < 1) {
        ReportFailure(__LINE__, gen_code::Output, gen_text::UnknownError);
        return;
    }

    std::vector<int16_t> block = ConvertFileBlock(context_.fileData, p.blockStart, p.blockSize,
                                                  FileConversionOf(model, layout), false);
    if (block.empty()) {
        return; // the block lies outside the loaded data
    }
    const auto count = static_cast<int32_t>(block.size());

    context_.view.ShowProgress(true);
    context_.view.SetProgressRange(count);
    context_.view.SetProgressPosition(0);
    context_.timers.KillTimer(timer_id::Progress);
    context_.timers.SetTimer(timer_id::Progress, timer_period::Progress);
    pointCount_ = count;
    transfer_.Begin(device, OutputFormat(layout), std::move(block), &completion_);

    if (WatchWanted()) {
        SetWatch();
    }
    p.recomputeNeeded = false;
}

void GenerationControl::StopGeneration() {
    if (context_.board.TunerPresent()) {
        context_.timers.KillTimer(timer_id::Tuner);
        std::this_thread::sleep_for(kTunerPause);
    }
    transfer_.Abort();
    if (context_.signal != nullptr) {
        context_.signal->Cancel();
    }
    IADCDevice* device = Device();
    // One confirmed StopOutput is enough; a board that answers none may still play.
    bool confirmed = device == nullptr;
    if (device != nullptr) {
        confirmed = device->StopOutput() == 1;
    }
    if (transfer_.Exists()) {
        context_.view.ShowProgress(false);
        CollectAborted();
        context_.timers.KillTimer(timer_id::Progress);
    }
    if (!boardStopped_ && device != nullptr) {
        confirmed = device->StopOutput() == 1 || confirmed;
        boardStopped_ = true;
    }
    stopConfirmed_ = confirmed;
    context_.model.Params().recomputeNeeded = true;
}

void GenerationControl::StopBoard() {
    IADCDevice* device = Device();
    if (!boardStopped_ && device != nullptr) {
        device->StopOutput();
        boardStopped_ = true;
    }
}

void GenerationControl::AbortTransfer() {
    if (!transfer_.Exists()) {
        return;
    }
    transfer_.Abort();
    context_.view.ShowProgress(false);
    CollectAborted();
    context_.timers.KillTimer(timer_id::Progress);
}

void GenerationControl::CollectAborted() {
    const TransferOutcome outcome = transfer_.Join();
    if (outcome.startAttempted) {
        boardStopped_ = false; // the thread started the board before it saw the abort
    }
}

void GenerationControl::ShowProgress() {
    context_.view.SetProgressPosition(transfer_.Progress());
    if (!transfer_.Exists()) {
        context_.timers.KillTimer(timer_id::Progress);
        return;
    }
    if (transfer_.Done()) {
        context_.view.ShowProgress(false);
        CollectFinished();
    }
}

void GenerationControl::CollectFinished() {
    const TransferOutcome outcome = transfer_.Join();
    context_.timers.KillTimer(timer_id::Progress);
    if (outcome.startAttempted) {
        boardStopped_ = false;
        if (outcome.startResult == 1 && context_.board.TunerPresent()) {
            context_.timers.SetTimer(timer_id::Tuner, timer_period::Tuner);
        }
    }
    if (!outcome.aborted && (outcome.sendException || outcome.sendResult < 1)) {
        context_.model.Params().recomputeNeeded = true; // the block must be sent again
    }
    if (!outcome.aborted) {
        // The watch runs again from the start of the play.
        context_.timers.KillTimer(timer_id::SinglePlayWatch);
        if (WatchWanted()) {
            SetWatch();
        }
    }
    // Messages last: a message box lets the timers run.
    if (outcome.sendException) {
        ReportFailure(__LINE__, gen_code::Transfer, gen_text::TransferError);
    } else if (!outcome.aborted && outcome.sendResult < 1) {
        ShowStartError(outcome.sendResult);
    } else if (outcome.startAttempted && outcome.startResult != 1) {
        ShowStartError(outcome.startResult);
    }
}

void GenerationControl::WatchSinglePlay() {
    context_.view.SetFlashWriteEnabled(true);
    IADCDevice* device = Device();
    if (device == nullptr) {
        return;
    }
    int32_t playing = 0;
    if (device->Control(ctl::Playing, &playing) != 1) {
        // One box per run of failures: the watch ticks every 10 ms.
        if (!watchErrorShown_) {
            watchErrorShown_ = true;
            context_.dialogs.Inform(Text(gen_text::Error), Text(gen_text::Error),
                                    params::DialogIcon::None);
        }
        return;
    }
    watchErrorShown_ = false;
    // While the block is still being sent the board has not started yet.
    if (transfer_.Exists()) {
        return;
    }
    if (playing == 0 && context_.timers.IsTimerSet(timer_id::SinglePlayWatch)) {
        context_.timers.KillTimer(timer_id::SinglePlayWatch);
        running_ = false;
        SetFace(false);
    }
}

void GenerationControl::Shutdown() {
    AbortTransfer();
    if (context_.signal != nullptr) {
        context_.signal->Cancel();
        context_.signal = nullptr;
    }
}
