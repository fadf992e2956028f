#include "app/board/board_session.h"

#include "app/board/report_message.h"

#include <exception>
#include <utility>

namespace board {

BoardSession::BoardSession(params::ErrorReport& report, TextLookup texts,
                           BoardIndicators& indicators, PollTimer& poll)
    : report_(report), texts_(std::move(texts)), indicators_(indicators), poll_(poll) {}

void BoardSession::Report(int line, int code, int messageId) {
    ReportError(report_, texts_, line, code, messageId);
}

bool BoardSession::LoadDriver(const std::string& deviceName) {
    if (driver_.Load(deviceName)) {
        return true;
    }
    Report(__LINE__, error_code::Driver, message::NoDriver);
    return false;
}

void BoardSession::ReleaseDriver() {
    poll_.StopPoll();
    driver_.Unload();
    const ModuleVersion signal = info_.signalLibrary;
    info_ = BoardInformation{};
    info_.signalLibrary = signal;
    opened_ = false;
    found_ = false;
    answered_.clear();
    selectedId_ = 0;
}

BoardSession::ReadResult BoardSession::ReadInformation(IUndula* signal, int& baseNumber) {
    opened_ = false;
    try {
        info_ = BoardInformation{};
        info_.signalLibrary = ReadSignalLibraryVersion(signal);
        IADCDevice* driver = driver_.Object();
        if (driver == nullptr) {
            UpdateDisplay();
            return ReadResult::Done;
        }
        ReadDriverInformation(driver, info_);
        if (hooks.synthesiserKnown) {
            hooks.synthesiserKnown(info_.synthesiser);
        }
        if (info_.problem == BoardDataProblem::NoClockTable) {
            Report(__LINE__, error_code::ClockTable, message::NoClockTable);
            return ReadResult::Fatal;
        }
        if (info_.problem == BoardDataProblem::NoAttenuatorTable) {
            Report(__LINE__, error_code::AttenuatorTable, message::NoAttenuatorTable);
            return ReadResult::Fatal;
        }
        ReadBoardList(driver, info_);
        if (!info_.BoardListValid()) {
            Report(__LINE__, error_code::BoardList, message::NoBoardList);
        }
    } catch (const std::exception&) {
        // A failure while keeping what was read leaves the values read so far.
        return ReadResult::Done;
    }
    Discover(baseNumber);
    return ReadResult::Done;
}

int BoardSession::Discover(int& baseNumber) {
    found_ = false;
    answered_.clear();
    IADCDevice* driver = driver_.Object();
    if (driver == nullptr || !info_.BoardListValid()) {
        return 0;
    }
    Discovery discovery;
    try {
        discovery = DiscoverBoards(driver, kind_, info_.BoardIdList(), baseNumber);
    } catch (const std::exception&) {
        return 1;
    }
    answered_ = discovery.answered;
    if (!discovery.BoardFound()) {
        // One display update as if a board were open: a USB board shows whether it
        // is connected even though none answered.
        opened_ = true;
        UpdateDisplay();
        opened_ = false;
        if (info_.pollRequested) {
            poll_.StartPoll();
        }
        return 0;
    }
    found_ = true;
    selectedId_ = discovery.selectedId;
    opened_ = true;
    UpdateDisplay(true);
    if (info_.pollRequested) {
        poll_.StartPoll();
    }
    return 1;
}

void BoardSession::UpdateDisplay(bool forceRedraw) {
    try {
        DisplayInput input;
        input.kind = kind_;
        input.boardOpened = opened_;
        input.boardFound = found_;
        input.startEnabled = indicators_.StartEnabled();
        input.fileLoaded = Ask(hooks.fileLoaded);
        input.driver = driver_.Object();
        const DisplayOutcome outcome = display_.Update(input, forceRedraw);
        indicators_.ApplyDisplay(outcome.decision);
        found_ = outcome.boardFound;
        if (outcome.recomputeNeeded && hooks.markRecomputeNeeded) {
            hooks.markRecomputeNeeded();
        }
        if (opened_ && !indicators_.StartEnabled() && Ask(hooks.running) && hooks.startStop) {
            hooks.startStop();
        }
    } catch (const std::exception&) {
        // The display is refreshed again on the next poll.
    }
}

void BoardSession::PollTick() {
    if (Ask(hooks.transferRunning)) {
        return;
    }
    if (!info_.pollRequested) {
        poll_.StopPoll();
    }
    UpdateDisplay();
}

} // namespace board
