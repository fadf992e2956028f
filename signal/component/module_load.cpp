#include "signal/component/module_load.h"

#include "component/module_path.h"

#include <algorithm>
#include <cstring>

namespace undulan {

bool FillModuleInfo(std::string_view path, ModuleInfo& info) {
    info.major = QUORVEL_VERSION_MAJOR;
    info.minor = QUORVEL_VERSION_MINOR;
    info.build = QUORVEL_VERSION_PATCH;
    info.revision = QUORVEL_VERSION_TWEAK;
    std::memset(info.path, 0, sizeof info.path);
    std::memset(info.fileName, 0, sizeof info.fileName);
    if (path.empty() || path.size() >= sizeof info.path)
        return false;
    std::copy(path.begin(), path.end(), info.path);
    const std::string_view name = quorvel::FileNameOf(path);
    std::copy(name.begin(), name.end(), info.fileName);
    return true;
}

} // namespace undulan
