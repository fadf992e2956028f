#pragma once
// GenerationControl: the operator's Start, Stop and single play turned into calls on
// the signal object (IUndula) and the board driver (IADCDevice).
//
// A synthesised waveform is planned and computed by the signal library into the
// sample buffer, which is then loaded and played (the computed path). A block of a
// loaded data file is converted and sent by the transfer thread in chunks of 1024
// samples, which then starts the output (the file path). A parameter change while
// the output runs with auto start on restarts it through timer 2; timer 3 watches
// a single play and releases the Start/Stop button when the board has finished;
// timer 99 shows the transfer progress and collects the finished transfer.
//
// It owns no widgets: the window implements GenerationView and GenerationTimers,
// calls the handlers below from its controls and timers, and keeps BoardLink
// current. Main thread only, except what the transfer thread and the signal
// library's worker do (see transfer_thread.h, completion_copy.h).
//
// Lifetime: the request record and the sample buffer live here, and the signal
// library keeps their addresses, so Shutdown() (or the destructor) must run while
// the signal library and the driver are still loaded.

#include "app/board/completion_copy.h"
#include "app/board/generation_host.h"
#include "app/board/transfer_thread.h"
#include "app/params/convert_samples.h"
#include "app/params/dialogs.h"
#include "app/params/error_report.h"
#include "app/params/parameter_model.h"
#include "app/params/settings.h"
#include "signal/iundula.h"

#include <cstdint>
#include <string>
#include <vector>

// Everything generation control and the flash menu work with; the window owns it all.
struct GenerationContext {
    ParameterModel& model;
    const params::Settings& settings; // DACUseExt, DACStartMode, AutoStart, file layout
    const BoardLink& board;
    IUndula* signal; // the signal object; required
    params::Dialogs& dialogs;
    params::ErrorReport& report;
    TextLookup texts;
    GenerationView& view;
    GenerationTimers& timers;
    const std::vector<uint8_t>& fileData; // the loaded data file, as read
};

// BoardSettings mode: continuous unless single play, with the external start and
// its edge (DACUseExt 0 or 2, DACStartMode 0 or 4).
int32_t BoardModeOf(bool singlePlay, int dacUseExt, int dacStartMode);
// The file layout of the settings Data16, NonSigned and NullBits.
FileSampleLayout FileLayoutOf(const params::Settings& settings);

class GenerationControl {
public:
    explicit GenerationControl(GenerationContext context);
    ~GenerationControl();
    GenerationControl(const GenerationControl&) = delete;
    GenerationControl& operator=(const GenerationControl&) = delete;

    // The sample buffer: board memory plus 1024 samples. False when it cannot be
    // had (the buffer is then empty). StartGeneration also grows it when needed.
    bool AllocateBuffer(int32_t memory);

    // --- Handlers of the main window. ---
    // StartButtonClick: the Start/Stop action (also run by the range check and by
    // the board state display).
    void StartButtonClick();
    // ButtonHandClick: toggles single play; restarts when running with auto start.
    void ButtonHandClick();
    // The file settings were accepted after a load: starts when Start asked for it.
    void FileLoadAccepted();
    // Timers 2, 3, 9 and 99 fired.
    void OnTimer(int id);
    // ParameterModel::restartIfRunning: restart when running with auto start.
    void RestartIfRunning();

    void StartGeneration();
    void StopGeneration();
    // Timer 2: stop and start again after 160 ms; a new call restarts the period.
    void ScheduleRestart();

    // --- For the flash menu, the board state display and shut-down. ---
    // StopOutput unless the board is stopped already.
    void StopBoard();
    // A running transfer: abort it, hide the progress bar, wait for it, kill the
    // progress timer and forget it.
    void AbortTransfer();
    // The range check failed: releases the Start/Stop button when it is pressed,
    // kills timer 2 and shows "Owerflow".
    void ReportOverflow();
    // Window destruction: ends the transfer, cancels the signal object and forgets it.
    void Shutdown();

    bool Running() const { return running_; }
    bool BoardStopped() const { return boardStopped_; }
    bool StartAfterLoad() const { return startAfterLoad_; }
    bool TransferRunning() const { return transfer_.Exists(); }
    // No transfer runs: the board poll may run.
    bool TransferFinished() const { return transfer_.Finished(); }
    int32_t TransferProgress() const { return transfer_.Progress(); }
    bool TransferDone() const { return transfer_.Done(); }

    const std::vector<int16_t>& Buffer() const { return buffer_; }
    int32_t PointCount() const { return pointCount_; }
    const UndulaRequest& Request() const { return request_; }
    const BoardSettings& LastSettings() const { return boardSettings_; }
    int32_t OffsetCode() const { return offsetCode_; }
    double RealisedOffset() const { return realisedOffset_; }
    const CompletionCopy& Completion() const { return completion_; }

private:
    void StartSteps();
    void Replay(IADCDevice& device);
    void ComputedPath(IADCDevice& device);
    void FilePath(IADCDevice& device);
    void LoadAndStart(IADCDevice& device);
    void WatchSinglePlay();
    void ShowProgress();
    // Joins an aborted transfer: only the board state is taken over.
    void CollectAborted();
    // Joins a finished transfer and shows what went wrong.
    void CollectFinished();
    void SetWatch();
    bool WatchWanted() const;
    void SetFace(bool running);

    void ReportFailure(int line, int code, int textId);
    void ShowStartError(int32_t result);
    std::string Text(int id) const { return context_.texts ? context_.texts(id) : std::string(); }
    IADCDevice* Device() const { return context_.board.Device(); }

    GenerationContext context_;
    UndulaRequest request_{};
    std::vector<int16_t> buffer_;
    int32_t pointCount_ = 0;
    BoardSettings boardSettings_{BoardSettingsType, sizeof(BoardSettings), 1, 0, 0, 0};
    int32_t offsetCode_ = 0;
    double realisedOffset_ = 0;
    CompletionCopy completion_;
    TransferThread transfer_;

    bool running_ = false;
    bool boardStopped_ = true;
    bool startAfterLoad_ = false;
    bool watchErrorShown_ = false;
    bool stopConfirmed_ = true; // the last StopGeneration had a StopOutput answer 1
};
