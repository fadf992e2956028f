#pragma once
// The board side of the main window: the driver slot and the device kind, the
// board information read once per driver creation, discovery, the state display
// and the 200 ms board poll (timer 4).
//
// Reading the board information (after every driver creation):
//   1. clear BoardOpened; the signal library's versions;
//   2. without a driver: update the display and stop;
//   3. the driver's versions, converter, clocks, memory, voltages, tables;
//   4. tell whether the board has a synthesiser (Hooks::synthesiserKnown);
//   5. no clock table: message 201, no attenuator table: message 202 - both end
//      the program (Fatal);
//   6. the board list; without a usable list message 226, and go on;
//   7. the poll flag, then discovery.
// Discovery opens the selected board and updates the display (forced redraw);
// the poll timer runs while the driver asks for polling. A display update that
// finds Start disabled while the output runs calls Hooks::startStop, which stops
// the output.
//
// Main thread only.

#include "app/board/board_discovery.h"
#include "app/board/board_display.h"
#include "app/board/board_information.h"
#include "app/board/component_slots.h"
#include "app/board/device_kind.h"
#include "app/params/error_report.h"
#include "app/params/format_value.h"

#include <functional>
#include <string>
#include <vector>

namespace board {

inline constexpr int kBoardPollMilliseconds = 200;

// Timer 4 of the main window.
class PollTimer {
public:
    virtual void StartPoll() = 0; // (re)start with kBoardPollMilliseconds
    virtual void StopPoll() = 0;
    virtual bool PollActive() const = 0;

protected:
    PollTimer() = default;
    PollTimer(const PollTimer&) = default;
    PollTimer& operator=(const PollTimer&) = default;
    ~PollTimer() = default;
};

// What the board side asks of the rest of the program; an empty function reads as
// false / does nothing.
struct BoardHooks {
    std::function<bool()> fileLoaded;
    std::function<bool()> running;
    std::function<bool()> transferRunning;
    std::function<void()> markRecomputeNeeded;
    std::function<void()> startStop;            // the Start/Stop button action
    std::function<void(bool)> synthesiserKnown; // step 4 of the reading
};

class BoardSession {
public:
    enum class ReadResult {
        Done,  // read (or nothing to read without a driver); the program goes on
        Fatal, // message 201 or 202 was shown: the program must end
    };

    BoardSession(params::ErrorReport& report, TextLookup texts, BoardIndicators& indicators,
                 PollTimer& poll);

    BoardHooks hooks;

    // --- Driver slot ---
    // Loads and creates the driver `deviceName`. On failure: error code -8, message
    // 200; the program goes on without a driver.
    bool LoadDriver(const std::string& deviceName);
    // Release, forget the driver's and second module's versions, board not opened,
    // no poll, unload the library.
    void ReleaseDriver();
    IADCDevice* Driver() const { return driver_.Object(); }
    const std::string& DriverReason() const { return driver_.Reason(); }
    void SetKind(DeviceKind kind) { kind_ = kind; }
    DeviceKind Kind() const { return kind_; }

    // --- Information, discovery, display ---
    ReadResult ReadInformation(IUndula* signal, int& baseNumber);
    // 1 when a board was found and opened, else 0.
    int Discover(int& baseNumber);
    void UpdateDisplay(bool forceRedraw = false);
    // Timer 4: while no file transfer runs, stop the timer when the driver no longer
    // asks for polling, and update the display.
    void PollTick();

    // --- State ---
    const BoardInformation& Information() const { return info_; }
    bool BoardOpened() const { return opened_; }
    bool BoardFound() const { return found_; }
    int FoundCount() const { return static_cast<int>(answered_.size()); }
    const std::vector<int32_t>& AnsweredIds() const { return answered_; }
    int32_t SelectedId() const { return selectedId_; }
    // Set by the options window's board selection.
    void SetBoardOpened(bool opened) { opened_ = opened; }
    void SetBoardFound(bool found) { found_ = found; }

private:
    void Report(int line, int code, int messageId);
    bool Ask(const std::function<bool()>& f) const { return f ? f() : false; }

    params::ErrorReport& report_;
    TextLookup texts_;
    BoardIndicators& indicators_;
    PollTimer& poll_;
    DriverSlot driver_;
    DeviceKind kind_ = DeviceKind::Unknown;
    BoardInformation info_;
    BoardDisplay display_;
    bool opened_ = false;
    bool found_ = false;
    std::vector<int32_t> answered_;
    int32_t selectedId_ = 0;
};

} // namespace board
