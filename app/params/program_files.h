#pragma once
// Where the program keeps its own files ("generator.cfg", "generator.sav"): beside
// the program file, or, when the program's folder is not writable or is a system
// folder (a system-wide install), in $XDG_CONFIG_HOME/generator/ ($HOME/.config/generator/ when
// XDG_CONFIG_HOME is unset or not an absolute path).

#include <optional>
#include <string>
#include <string_view>

namespace params {

// The full path of the running program (from /proc/self/exe).
std::optional<std::string> ProgramPath();

// The folder part of a path, up to and including the last "/"; empty when the
// path holds no "/".
std::optional<std::string> FolderOfPath(std::string_view path);

// A folder of the system's packages (/usr and below): never the place of the
// operator's files, even when it is writable (for root).
bool IsSystemFolder(std::string_view folder);

// What decides where the files live; FromEnvironment() reads the real values.
struct FileLocationContext {
    bool programFolderWritable = true;
    std::string xdgConfigHome; // value of XDG_CONFIG_HOME, empty when unset
    std::string home;          // value of HOME, empty when unset

    static FileLocationContext FromEnvironment(std::string_view programFolder);
};

// The path of the program's file `fileName`; empty when the program path cannot be
// split or, for a read-only program folder, no user folder is known.
std::optional<std::string> ProgramFilePath(std::string_view programPath, std::string_view fileName,
                                           const FileLocationContext& context);

// The same for the running program and its real environment.
std::optional<std::string> ProgramFilePath(std::string_view fileName);

// Creates the folder that holds `filePath` (and its parents); true when it exists.
bool EnsureFolderOf(const std::string& filePath);

} // namespace params
