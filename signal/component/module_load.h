#pragma once
// What the library records about itself when it is loaded.

#include "signal/module_info.h"

#include <string_view>

namespace undulan {

// Fills `info` for the library file at `path` (absolute, '/' separated): the path,
// its file name (the part after the last '/'; empty when there is none) and the
// version compiled in. False, with path and file name left empty, when the path is
// empty or longer than the record holds.
bool FillModuleInfo(std::string_view path, ModuleInfo& info);

} // namespace undulan
