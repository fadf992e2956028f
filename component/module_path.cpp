#include "component/module_path.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

namespace quorvel {

std::string ModulePathOf(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr || info.dli_fname[0] == '\0')
        return {};
    // dli_fname is the name the library was opened with, possibly relative to the
    // folder that was current then.
    if (char resolved[PATH_MAX]; ::realpath(info.dli_fname, resolved) != nullptr)
        return resolved;
    return info.dli_fname[0] == '/' ? std::string(info.dli_fname) : std::string();
}

void* ModuleBaseOf(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

std::string_view FileNameOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    return path.substr(slash + 1);
}

} // namespace quorvel
