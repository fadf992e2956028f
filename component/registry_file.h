#pragma once
// The component registry file: where it is, reading a value, and changing it.
//
// Readers take no lock: writers replace the file with rename(2), so a reader sees
// either the old or the new file, never a half-written one. Writers serialise with
// flock(2) on the file itself, re-read it under the lock, change only what they
// were asked to, write a temporary file in the same folder, flush it and rename it
// over the old one. A writer that dies half-way leaves the old file behind (its
// hidden temporary file is removed by the next writer). A file that does not parse is reported
// and never overwritten.

#include "component/registry_text.h"

#include <functional>
#include <string>
#include <string_view>

namespace quorvel {

// $QUORVEL_REGISTRY when set and not empty; else DefaultRegistryPath().
std::string RegistryPath();
// For an installed binary, the registry its install step named (see
// registry_location.h); else the path fixed when the tree was configured (the
// build tree's registry.reg unless QUORVEL_REGISTRY_FILE was given).
std::string DefaultRegistryPath();

enum class RegistryStatus {
    Ok,
    NoFile,     // the file does not exist (no component is registered)
    Unreadable, // it exists but cannot be read, or is not a regular file
    Damaged,    // it does not parse; `message` says where and why
    NoKey,
    NoValue,
    NotString, // the value exists but is of another type
};

struct RegistryLoad {
    RegistryStatus status = RegistryStatus::NoFile;
    RegistryDocument document; // when Ok
    std::string message;       // for every status but Ok: a sentence naming the file
};

// Reads and parses the whole file. A missing file is NoFile (and an empty document).
RegistryLoad LoadRegistry(const std::string& file);

struct RegistryString {
    RegistryStatus status = RegistryStatus::NoFile;
    std::string value;   // when Ok
    std::string message; // for every status but Ok
};

// The string value `name` of `key`.
RegistryString ReadRegistryString(const std::string& file, std::string_view key,
                                  std::string_view name);

struct RegistryWrite {
    bool ok = false;
    std::string message; // why not, when !ok
};

// Edits the registry under the writer lock. `change` gets the current document (an
// empty one when there is no file yet) and returns an empty string to have it
// stored, or the reason to give up (nothing is written then). The file is only
// replaced when its text changes. The folder is created when it is missing.
using RegistryChange = std::function<std::string(RegistryDocument&)>;
RegistryWrite UpdateRegistry(const std::string& file, const RegistryChange& change);

// Sets string values of one key (created when missing) in one replacement.
RegistryWrite SetRegistryStrings(const std::string& file, std::string_view key,
                                 const std::vector<std::pair<std::string, std::string>>& values);

} // namespace quorvel
