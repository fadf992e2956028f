#pragma once
// What generation control and the flash menu need from the main window: its timers,
// its Start/Stop button, progress bar and flash menu items, the board state display
// and the file-load command, and the board as the start-up read it. Each behind a
// small interface (or record) that the window implements with Qt and tests fake.

#include "app/board/iadc_device.h"

#include <cstdint>
#include <string>

// The main window's timers that generation control uses, by identifier.
namespace timer_id {
inline constexpr int Restart = 2;         // delayed restart after a parameter change
inline constexpr int SinglePlayWatch = 3; // single play: release the button at the end
inline constexpr int Tuner = 9;           // set after a file start when the tuner exists
inline constexpr int Progress = 99;       // transfer progress
} // namespace timer_id

// Periods in milliseconds.
namespace timer_period {
inline constexpr int Restart = 160;
inline constexpr int SinglePlayWatch = 10;
inline constexpr int Tuner = 500;
inline constexpr int Progress = 160;
} // namespace timer_period

// One repeating timer per identifier; when one fires, the window calls
// GenerationControl::OnTimer(id) on the main thread.
class GenerationTimers {
public:
    // Starts the timer, or restarts its period when it is set.
    virtual void SetTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;
    virtual bool IsTimerSet(int id) const = 0;

protected:
    GenerationTimers() = default;
    GenerationTimers(const GenerationTimers&) = default;
    GenerationTimers& operator=(const GenerationTimers&) = default;
    ~GenerationTimers() = default;
};

// The face of StartButton: image 8 (Start) or 9 (Stop) of the button image list.
enum class StartFace { Start, Stop };

// What the file-load command did.
enum class FileLoadResult {
    None,    // no file: cancelled or unreadable
    Pending, // read; the load completes when the file settings are accepted
    Loaded,  // loaded and accepted already
};

// The main window's controls as generation control and the flash menu drive them.
// Main thread only.
class GenerationView {
public:
    virtual void SetStartButton(StartFace face, const std::string& caption) = 0;
    virtual bool StartButtonEnabled() const = 0;
    // The board state display: board and power indicators, StartButton's enabled
    // state; it may run the Start/Stop action when the board went away.
    virtual void RefreshBoardState() = 0;
    virtual void SetFlashWriteEnabled(bool enabled) = 0; // menu item N16
    virtual void SetFlashEraseEnabled(bool enabled) = 0; // menu item N17
    virtual void ShowProgress(bool visible) = 0;
    virtual void SetProgressRange(int32_t maximum) = 0; // minimum 0
    virtual void SetProgressPosition(int32_t position) = 0;
    // The realised offset, volts, for the extended parameters window.
    virtual void SetRealisedOffset(double volts) = 0;
    // The file-load command of the main window.
    virtual FileLoadResult RunFileLoad() = 0;

protected:
    GenerationView() = default;
    GenerationView(const GenerationView&) = default;
    GenerationView& operator=(const GenerationView&) = default;
    ~GenerationView() = default;
};

// What the board reported when its driver was created (board information).
struct BoardTables {
    // The clock table as the board reports it (Control 0x7A5A0008 with the count of
    // 0x7A5A000A), highest first; the signal library is given the count minus one.
    const double* clocks = nullptr;
    int32_t clockCount = 0;
    float minClock = 0;       // Control 25, Hz
    float maxClock = 0;       // Control 26, Hz
    int32_t memory = 0;       // Control 48, samples
    bool evenLength = false;  // Capabilities bit 13
    bool synthesiser = false; // Capabilities bit 9
};

// The board as the start-up, discovery and the state display know it now. The
// window implements it over its board session; every call answers the current state
// (discovery, the state display and a driver reload change it).
class BoardLink {
public:
    virtual IADCDevice* Device() const = 0; // null without a driver
    virtual bool Opened() const = 0;        // BoardOpened: a board was opened
    virtual bool Found() const = 0;         // BoardFound: at least one board answered
    virtual BoardTables Tables() const = 0;
    virtual bool TunerPresent() const = 0; // the tuner component was found

protected:
    BoardLink() = default;
    BoardLink(const BoardLink&) = default;
    BoardLink& operator=(const BoardLink&) = default;
    ~BoardLink() = default;
};
