#include "app/board/board_information.h"

#include <cstring>

namespace board {
namespace {

// A Control code that hands back one value; the value stays 0 when the call
// fails. Returns whether the driver answered 1.
template <class T> bool Ask(IADCDevice* driver, int32_t code, T& value) {
    value = T{};
    return driver->Control(code, &value) == 1;
}

// A Control code that hands back the address of a text; the text is copied.
std::string AskText(IADCDevice* driver, int32_t code) {
    const char* text = nullptr;
    if (driver->Control(code, static_cast<void*>(&text)) != 1 || text == nullptr) {
        return {};
    }
    return std::string(text, ::strnlen(text, 1024));
}

template <class T> void AskSignal(IUndula* signal, int32_t code, T& value) {
    value = T{};
    signal->Query(code, &value);
}

} // namespace

bool BoardInformation::BoardListValid() const {
    return boardIds != nullptr && boardIdCount > 0 && listCheckA != 0 && listCheckB != 0;
}

std::vector<int32_t> BoardInformation::BoardIdList() const {
    if (!BoardListValid()) {
        return {};
    }
    // A driver that reports an absurd length is not followed past a plausible list.
    const int32_t count = boardIdCount < kMaxBoardIds ? boardIdCount : kMaxBoardIds;
    return std::vector<int32_t>(boardIds, boardIds + count);
}

BoardValues BoardInformation::ModelValues() const {
    BoardValues values;
    values.maxVoltage = maxVoltage;
    values.codeBits = codeBits;
    if (gains != nullptr) {
        for (int32_t i = 0; i + 1 < gainCount; ++i) {
            values.gains.push_back(gains[i]);
        }
    }
    values.minClock = minClock;
    values.maxClock = maxClock;
    values.memory = memory;
    values.synthesiser = synthesiser;
    return values;
}

ModuleVersion ReadSignalLibraryVersion(IUndula* signal) {
    ModuleVersion version;
    if (signal == nullptr) {
        return version;
    }
    AskSignal(signal, QueryMajor, version.numbers[0]);
    AskSignal(signal, QueryMinor, version.numbers[1]);
    AskSignal(signal, QueryRevision, version.numbers[3]);
    AskSignal(signal, QueryBuild, version.numbers[2]);
    const char* name = nullptr;
    signal->Query(QueryFileName, static_cast<void*>(&name));
    if (name != nullptr) {
        version.name.assign(name, ::strnlen(name, 1024));
    }
    version.present = true;
    return version;
}

void ReadDriverInformation(IADCDevice* driver, BoardInformation& info) {
    ModuleVersion& second = info.secondModule;
    second = ModuleVersion{};
    if (Ask(driver, ctl::SecondMajor, second.numbers[0])) {
        Ask(driver, ctl::SecondMinor, second.numbers[1]);
        Ask(driver, ctl::SecondRevision, second.numbers[3]);
        Ask(driver, ctl::SecondBuild, second.numbers[2]);
        second.present = true;
    }
    ModuleVersion& own = info.driver;
    own = ModuleVersion{};
    Ask(driver, ctl::VersionMajor, own.numbers[0]);
    Ask(driver, ctl::VersionMinor, own.numbers[1]);
    Ask(driver, ctl::VersionRevision, own.numbers[3]);
    Ask(driver, ctl::VersionBuild, own.numbers[2]);
    own.present = true;
    second.name = AskText(driver, ctl::SecondName);
    own.name = AskText(driver, ctl::Name);

    Ask(driver, ctl::Resolution, info.codeBits);
    Ask(driver, ctl::MinClock, info.minClock);
    Ask(driver, ctl::MaxClock, info.maxClock);
    Ask(driver, ctl::Memory, info.memory);
    Ask(driver, ctl::VoltageUnused, info.unusedVolts);
    // Code 27's value has no use here; it is replaced as the board data always was.
    info.unusedVolts = 1.0e-6f;
    Ask(driver, ctl::MaxVoltage, info.maxVoltage);
    Ask(driver, ctl::Capabilities, info.capabilities);
    info.evenLength = (info.capabilities & CapEvenLength) != 0;

    const void* table = nullptr;
    Ask(driver, ctl::AttenuatorCount, info.gainCount);
    Ask(driver, ctl::AttenuatorTable, table);
    info.gains = static_cast<const float*>(table);
    table = nullptr;
    Ask(driver, ctl::ClockTable, table);
    info.clocks = static_cast<const double*>(table);
    Ask(driver, ctl::ClockCount, info.clockCount);

    Ask(driver, ctl::Capabilities, info.capabilities);
    info.synthesiser = (info.capabilities & CapSynthesiser) != 0;

    if (info.clocks == nullptr || info.clockCount < 2) {
        info.problem = BoardDataProblem::NoClockTable;
    } else if (info.gains == nullptr || info.gainCount < 2) {
        info.problem = BoardDataProblem::NoAttenuatorTable;
    } else {
        info.problem = BoardDataProblem::None;
    }
}

void ReadBoardList(IADCDevice* driver, BoardInformation& info) {
    const void* ids = nullptr;
    Ask(driver, ctl::BoardIds, ids);
    info.boardIds = static_cast<const int32_t*>(ids);
    Ask(driver, ctl::BoardIdCount, info.boardIdCount);
    Ask(driver, ctl::ListUnused1, info.listUnused1);
    Ask(driver, ctl::ListCheckA, info.listCheckA);
    Ask(driver, ctl::ListCheckB, info.listCheckB);
    info.listCheckBLess1 = info.listCheckB - 1;
    Ask(driver, ctl::ListUnused2, info.listUnused2);
    info.listRead = true;

    int32_t poll = 0;
    info.pollRequested = Ask(driver, ctl::PollState, poll) && poll != 0;
}

} // namespace board
