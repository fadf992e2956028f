#include "app/board/generation_wiring.h"

#include <utility>

SessionBoardLink::SessionBoardLink(const board::BoardSession& session,
                                   std::function<bool()> tunerPresent)
    : session_(session), tunerPresent_(std::move(tunerPresent)) {}

BoardTables SessionBoardLink::Tables() const {
    const board::BoardInformation& info = session_.Information();
    BoardTables tables;
    tables.clocks = info.clocks;
    tables.clockCount = info.clocks != nullptr ? info.clockCount : 0;
    tables.minClock = info.minClock;
    tables.maxClock = info.maxClock;
    tables.memory = info.memory;
    tables.evenLength = info.evenLength;
    tables.synthesiser = info.synthesiser;
    return tables;
}
