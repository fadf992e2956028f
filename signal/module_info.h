#pragma once
// What the library knows about its own file, filled once when it is loaded (by the
// component shell) and read by the factory's GetInfo and the signal object's Query.

#include <cstdint>

namespace undulan {

// PATH_MAX: the longest path the system hands out.
inline constexpr int ModulePathLength = 4096;

struct ModuleInfo {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t build = 0;
    uint16_t revision = 0;
    char path[ModulePathLength] = {};     // full path of the library file
    char fileName[ModulePathLength] = {}; // the part after the last separator
};

// The one record of this library. All zero and empty until the shell fills it.
ModuleInfo& Module();

} // namespace undulan
