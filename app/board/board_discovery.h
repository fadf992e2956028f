#pragma once
// Finding the boards that answer among the candidates of the driver's board list
// and opening the selected one.
//
// Every id of the list is tried in order with OpenBoard(id, 0, 0, 0); a result of 1
// counts one board. The first other result ends the scan, except for ISA boards,
// where every id is tried (an ISA board may sit at any of its base addresses). When
// boards answered, the one at index `BaseNumber` among those that answered is
// opened again (its result is not examined) so that it is the driver's current
// board. For PCI and USB the boards that answered are the first ids of the list,
// so that index is also the index into the list.

#include "app/board/device_kind.h"
#include "app/board/iadc_device.h"

#include <cstdint>
#include <vector>

namespace board {

struct Discovery {
    std::vector<int32_t> answered; // ids that answered, in list order
    int selectedIndex = 0;         // BaseNumber after the scan
    int32_t selectedId = 0;        // the id opened last (when a board answered)
    bool baseNumberReset = false;  // BaseNumber lay outside 0 .. found - 1 and became 0

    int Found() const { return static_cast<int>(answered.size()); }
    bool BoardFound() const { return !answered.empty(); }
};

// Scans `ids` with `driver` (which must not be null) and opens the selected board.
// `baseNumber` is the settings value; when boards answered and it lies outside
// 0 .. found - 1 it becomes 0. Without an answer it stays as it is.
Discovery DiscoverBoards(IADCDevice* driver, DeviceKind kind, const std::vector<int32_t>& ids,
                         int& baseNumber);

} // namespace board
