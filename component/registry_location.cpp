#include "component/registry_location.h"

#include "component/module_path.h"

#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <sys/auxv.h>
#include <system_error>

namespace quorvel {

namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return slash == 0 ? "/" : std::string();
    return path.substr(0, slash);
}

// True when `address` lies in the main program rather than in a shared library.
bool InMainProgram(const void* address) {
    Dl_info own{};
    Dl_info program{};
    const auto headers = reinterpret_cast<const void*>(::getauxval(AT_PHDR));
    if (headers == nullptr || ::dladdr(address, &own) == 0 || ::dladdr(headers, &program) == 0)
        return false;
    return own.dli_fbase == program.dli_fbase;
}

} // namespace

std::string RegistryLocationIn(const std::string& folder) {
    if (folder.empty())
        return {};
    std::ifstream in(std::filesystem::path(folder) / RegistryLocationFileName);
    std::string line;
    if (!in || !std::getline(in, line))
        return {};
    const std::string_view path = Trimmed(line);
    if (path.empty())
        return {};
    if (path.front() == '/')
        return std::string(path);
    return (std::filesystem::path(folder) / path).lexically_normal().string();
}

std::string OwnBinaryFolder() {
    const void* self = reinterpret_cast<const void*>(&OwnBinaryFolder);
    // For the main program dladdr answers argv[0], which may be a bare name found
    // on PATH or a symbolic link; the kernel's link names the real file.
    if (InMainProgram(self)) {
        std::error_code error;
        const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::string() : FolderOf(program.string());
    }
    return FolderOf(ModulePathOf(self));
}

} // namespace quorvel
