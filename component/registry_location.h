#pragma once
// Where an installed tree keeps its component registry file.
//
// The install step puts every binary that reads or writes the registry (the
// program, regcomp, the component libraries) into one folder, and writes beside
// them a file "registry.location" whose first line is the path of the installed
// registry file (absolute, or relative to that folder). Binaries in a build tree
// have no such file and use the path configured for the build.

#include <string>

namespace quorvel {

inline constexpr const char* RegistryLocationFileName = "registry.location";

// The registry path named by `folder`/registry.location, resolved against
// `folder`; empty when the file is missing, unreadable or names no path.
std::string RegistryLocationIn(const std::string& folder);

// The folder of the binary that holds this code: the library's own folder for a
// component, the program's folder (from /proc/self/exe) for a program. Empty when
// unknown.
std::string OwnBinaryFolder();

} // namespace quorvel
