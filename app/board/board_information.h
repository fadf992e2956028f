#pragma once
// Everything the program reads about the signal library and the board once per
// driver creation, and the reading itself, in the order the driver is asked:
//   signal library: Query 2001, 2002, 2004, 2003, 2150;
//   driver: 2013 (and only when it succeeds 2014, 2016, 2015), 2001, 2002, 2004,
//   2003, 2149, 2150, 31, 25, 26, 48, 27, 28, 17, 0x7A5A0004, 0x7A5A0000,
//   0x7A5A0008, 0x7A5A000A, 17; then the board list 18, 41, 22, 19, 42, 23 and the
//   poll flag 0x7A5A0040.
// Tables stay owned by the driver: their addresses are valid while the driver
// object lives.

#include "app/board/iadc_device.h"
#include "app/params/parameter_model.h"
#include "signal/iundula.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace board {

// Four version numbers in the order of their codes (major, minor, revision, build
// for 2001, 2002, 2004, 2003 ...) as the options window lists them, and a name.
struct ModuleVersion {
    std::array<int32_t, 4> numbers{}; // codes x001, x002, x003, x004 (x013.. x016)
    std::string name;
    bool present = false;
};

// What went wrong with the board data. Clock and attenuator tables are needed
// for any output; without a board list no board can be found.
enum class BoardDataProblem {
    None,
    NoClockTable,      // table null or fewer than 2 entries reported: message 201
    NoAttenuatorTable, // table null or fewer than 2 entries reported: message 202
};

// At most this many ids of a board list are taken.
inline constexpr int32_t kMaxBoardIds = 1024;

struct BoardInformation {
    ModuleVersion signalLibrary;
    ModuleVersion secondModule;
    ModuleVersion driver;

    int32_t codeBits = 0;           // 31
    float minClock = 0;             // 25, Hz
    float maxClock = 0;             // 26, Hz
    int32_t memory = 0;             // 48, samples
    float unusedVolts = 0;          // 27: read, then replaced by 1e-6
    float maxVoltage = 0;           // 28, V without load
    uint32_t capabilities = 0;      // 17 (asked twice; the second answer stays)
    bool evenLength = false;        // bit 13 of 17
    bool synthesiser = false;       // bit 9 of 17
    const float* gains = nullptr;   // 0x7A5A0000
    int32_t gainCount = 0;          // 0x7A5A0004: entries + 1
    const double* clocks = nullptr; // 0x7A5A0008, highest first
    int32_t clockCount = 0;         // 0x7A5A000A: entries + 1
    BoardDataProblem problem = BoardDataProblem::None;

    // Board list.
    const int32_t* boardIds = nullptr; // 18
    int32_t boardIdCount = 0;          // 41
    int32_t listUnused1 = 0;           // 22
    int32_t listCheckA = 0;            // 19
    int32_t listCheckB = 0;            // 42 as answered
    int32_t listCheckBLess1 = 0;       // 42 minus 1, as the list keeps it
    int32_t listUnused2 = 0;           // 23
    bool listRead = false;             // the list codes were asked
    bool pollRequested = false;        // 0x7A5A0040 succeeded and gave nonzero

    // The list is usable: an address, a length, codes 19 and 42 nonzero. Without it
    // message 226 is shown and no board can be found.
    bool BoardListValid() const;
    // The ids of the list, at most kMaxBoardIds (empty when it is not valid).
    std::vector<int32_t> BoardIdList() const;
    // The clocks handed to the signal library: the reported count less one.
    int32_t UsableClockCount() const { return clockCount > 0 ? clockCount - 1 : 0; }
    // The values the parameter model takes when the board is opened.
    BoardValues ModelValues() const;
};

// The signal library's numbers and name (Query 2001, 2002, 2004, 2003, 2150).
ModuleVersion ReadSignalLibraryVersion(IUndula* signal);

// Versions, converter, clocks, memory, voltages, capabilities and both tables, in
// the order above, and the check of the tables (problem). `driver` must not be null.
void ReadDriverInformation(IADCDevice* driver, BoardInformation& info);

// The board list codes 18, 41, 22, 19, 42, 23 and then the poll flag.
void ReadBoardList(IADCDevice* driver, BoardInformation& info);

} // namespace board
