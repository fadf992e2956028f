#include "signal/module_info.h"

namespace undulan {

ModuleInfo& Module() {
    static ModuleInfo info;
    return info;
}

} // namespace undulan
