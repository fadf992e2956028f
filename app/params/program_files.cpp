#include "app/params/program_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace params {

std::optional<std::string> ProgramPath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || path.empty()) {
        return std::nullopt;
    }
    return path.string();
}

std::optional<std::string> FolderOfPath(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(path.substr(0, slash + 1));
}

bool IsSystemFolder(std::string_view folder) {
    return folder == "/usr" || folder.starts_with("/usr/");
}

FileLocationContext FileLocationContext::FromEnvironment(std::string_view programFolder) {
    FileLocationContext context;
    // Under /usr the package manager owns the files: even root (who may write there)
    // keeps the operator's files in the user folder, where removing the package
    // leaves them alone.
    context.programFolderWritable =
        !IsSystemFolder(programFolder) && ::access(std::string(programFolder).c_str(), W_OK) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
        context.xdgConfigHome = xdg;
    }
    if (const char* home = std::getenv("HOME")) {
        context.home = home;
    }
    return context;
}

std::optional<std::string> ProgramFilePath(std::string_view programPath, std::string_view fileName,
                                           const FileLocationContext& context) {
    const auto folder = FolderOfPath(programPath);
    if (!folder) {
        return std::nullopt;
    }
    if (context.programFolderWritable) {
        return *folder + std::string(fileName);
    }
    std::string base;
    if (!context.xdgConfigHome.empty() && context.xdgConfigHome.front() == '/') {
        base = context.xdgConfigHome;
    } else if (!context.home.empty()) {
        base = context.home + "/.config";
    } else {
        return std::nullopt;
    }
    if (base.back() != '/') {
        base.push_back('/');
    }
    return base + "generator/" + std::string(fileName);
}

std::optional<std::string> ProgramFilePath(std::string_view fileName) {
    const auto program = ProgramPath();
    if (!program) {
        return std::nullopt;
    }
    const auto folder = FolderOfPath(*program);
    if (!folder) {
        return std::nullopt;
    }
    return ProgramFilePath(*program, fileName, FileLocationContext::FromEnvironment(*folder));
}

bool EnsureFolderOf(const std::string& filePath) {
    const auto folder = FolderOfPath(filePath);
    if (!folder) {
        return true; // the current folder
    }
    std::error_code error;
    std::filesystem::create_directories(*folder, error);
    return std::filesystem::is_directory(*folder, error);
}

} // namespace params
