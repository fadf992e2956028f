#include "app/board/board_discovery.h"

namespace board {

Discovery DiscoverBoards(IADCDevice* driver, DeviceKind kind, const std::vector<int32_t>& ids,
                         int& baseNumber) {
    Discovery discovery;
    for (const int32_t id : ids) {
        if (driver->OpenBoard(id, 0, 0, 0) == 1) {
            discovery.answered.push_back(id);
        } else if (kind != DeviceKind::Isa) {
            break;
        }
    }
    if (!discovery.BoardFound()) {
        return discovery;
    }
    if (baseNumber < 0 || baseNumber >= discovery.Found()) {
        baseNumber = 0;
        discovery.baseNumberReset = true;
    }
    discovery.selectedIndex = baseNumber;
    discovery.selectedId = discovery.answered[static_cast<size_t>(baseNumber)];
    driver->OpenBoard(discovery.selectedId, 0, 0, 0);
    return discovery;
}

} // namespace board
