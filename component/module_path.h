#pragma once
// Where a loaded library lives, as the component shells need it for registration
// and for their information codes.

#include <string>
#include <string_view>

namespace quorvel {

// The full path of the loaded library (or program) that holds `address`: dladdr's
// file name made absolute and free of symbolic links. Empty when it is unknown.
std::string ModulePathOf(const void* address);

// The load address of that library, its module handle; null when unknown.
void* ModuleBaseOf(const void* address);

// The characters after the last '/' of `path`; empty when there is no '/' or it is
// the last character.
std::string_view FileNameOf(std::string_view path);

} // namespace quorvel
