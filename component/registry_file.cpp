#include "component/registry_file.h"

#include "component/registry_default.h"
#include "component/registry_location.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

// A registry holds a few keys; anything far larger is not one.
constexpr off_t MaxRegistrySize = 4 * 1024 * 1024;
// Attempts to lock a file that other writers keep replacing under us.
constexpr int LockAttempts = 1000;

std::string Errno() {
    return std::strerror(errno);
}

// Closes a descriptor (and with it, releases its flock) when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and reports whether the close succeeded (a late write error).
    bool Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

// Reads a regular file from its start. Empty on success, else why not.
std::string ReadAll(int fd, const std::string& file, std::string& text) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return "cannot read registry file " + file + ": " + Errno();
    if (!S_ISREG(st.st_mode))
        return "registry file " + file + " is not a regular file";
    if (st.st_size > MaxRegistrySize)
        return "registry file " + file + " is too large to be a registry";
    text.clear();
    char buffer[8192];
    off_t offset = 0;
    while (true) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return "cannot read registry file " + file + ": " + Errno();
        if (n == 0)
            return {};
        text.append(buffer, static_cast<size_t>(n));
        offset += n;
        if (offset > MaxRegistrySize)
            return "registry file " + file + " is too large to be a registry";
    }
}

std::string DamageMessage(const std::string& file, const RegistryParse& parse) {
    return "registry file " + file + " is damaged (line " + std::to_string(parse.line) + ": " +
           parse.reason + ")";
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes `text` to a temporary file beside `target`, flushes it and renames it
// over `target`. Empty on success, else why not (the target is then untouched).
std::string ReplaceFile(const std::string& target, const std::string& folder, mode_t mode,
                        const std::string& text) {
    const std::string name = std::filesystem::path(target).filename().string();
    std::string temporary = folder + "/." + name + ".XXXXXX";
    Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.Get() < 0)
        return "cannot create a temporary file in " + folder + ": " + Errno();
    std::string failure;
    if (::fchmod(out.Get(), mode) != 0)
        failure = "cannot set the mode of " + temporary + ": " + Errno();
    else if (!WriteAll(out.Get(), text))
        failure = "cannot write " + temporary + ": " + Errno();
    else if (::fsync(out.Get()) != 0)
        failure = "cannot flush " + temporary + ": " + Errno();
    if (failure.empty() && !out.Close())
        failure = "cannot write " + temporary + ": " + Errno();
    if (failure.empty() && ::rename(temporary.c_str(), target.c_str()) != 0)
        failure = "cannot replace " + target + ": " + Errno();
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return failure;
    }
    // Make the rename itself durable.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
    return {};
}

// Writers make their temporary file only while they hold the lock, and rename or
// remove it before they let go; so under the lock, any temporary file of ours in
// the folder was left by a writer that died, and goes.
void RemoveStaleTemporaries(const std::string& target, const std::string& folder) {
    const std::string prefix = "." + std::filesystem::path(target).filename().string() + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            ::unlink(entry.path().c_str());
    }
}

} // namespace

std::string DefaultRegistryPath() {
    if (std::string installed = RegistryLocationIn(OwnBinaryFolder()); !installed.empty())
        return installed;
    return QUORVEL_DEFAULT_REGISTRY;
}

std::string RegistryPath() {
    const char* fromEnvironment = std::getenv("QUORVEL_REGISTRY");
    if (fromEnvironment != nullptr && fromEnvironment[0] != '\0')
        return fromEnvironment;
    return DefaultRegistryPath();
}

RegistryLoad LoadRegistry(const std::string& file) {
    RegistryLoad load;
    // Non-blocking, so that a FIFO in its place does not hang the reader.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            load.status = RegistryStatus::NoFile;
            load.message = "registry file " + file + " does not exist";
        } else {
            load.status = RegistryStatus::Unreadable;
            load.message = "cannot open registry file " + file + ": " + Errno();
        }
        return load;
    }
    std::string text;
    if (std::string why = ReadAll(fd.Get(), file, text); !why.empty()) {
        load.status = RegistryStatus::Unreadable;
        load.message = std::move(why);
        return load;
    }
    RegistryParse parse = ParseRegistry(text);
    if (!parse.ok) {
        load.status = RegistryStatus::Damaged;
        load.message = DamageMessage(file, parse);
        return load;
    }
    load.status = RegistryStatus::Ok;
    load.document = std::move(parse.document);
    return load;
}

RegistryString ReadRegistryString(const std::string& file, std::string_view key,
                                  std::string_view name) {
    RegistryString result;
    RegistryLoad load = LoadRegistry(file);
    if (load.status != RegistryStatus::Ok) {
        result.status = load.status;
        result.message = std::move(load.message);
        return result;
    }
    const RegistryKey* k = FindKey(load.document, key);
    if (k == nullptr) {
        result.status = RegistryStatus::NoKey;
        result.message = "no key " + std::string(key) + " in registry file " + file;
        return result;
    }
    const RegistryValue* v = FindValue(*k, name);
    if (v == nullptr) {
        result.status = RegistryStatus::NoValue;
        result.message = "key " + std::string(key) + " has no value \"" + std::string(name) +
                         "\" in registry file " + file;
        return result;
    }
    if (!v->isString) {
        result.status = RegistryStatus::NotString;
        result.message = "value \"" + std::string(name) + "\" of key " + std::string(key) +
                         " is not a string in registry file " + file;
        return result;
    }
    result.status = RegistryStatus::Ok;
    result.value = v->data;
    return result;
}

RegistryWrite UpdateRegistry(const std::string& file, const RegistryChange& change) {
    RegistryWrite result;
    auto fail = [&result](std::string why) {
        result.ok = false;
        result.message = std::move(why);
        return result;
    };
    if (file.empty())
        return fail("no registry file given");

    // Write through a symbolic link rather than replace the link.
    std::string target = file;
    if (char resolved[PATH_MAX]; ::realpath(file.c_str(), resolved) != nullptr)
        target = resolved;
    std::string folder = std::filesystem::path(target).parent_path().string();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return fail("cannot create the folder " + folder + ": " + error.message());

    // Lock the file that is at `target` now. Another writer may replace it between
    // our open and our lock; then the lock is on an old file and we try again.
    Descriptor fd;
    bool created = false;
    struct stat locked {};
    for (int attempt = 0;; ++attempt) {
        if (attempt == LockAttempts)
            return fail("registry file " + target + " keeps changing; cannot lock it");
        created = false;
        fd.Reset(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (fd.Get() < 0 && errno == ENOENT) {
            fd.Reset(::open(target.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
            if (fd.Get() < 0 && errno == EEXIST)
                continue;
            created = fd.Get() >= 0;
        }
        if (fd.Get() < 0)
            return fail("cannot open registry file " + target + ": " + Errno());
        int locking = 0;
        while ((locking = ::flock(fd.Get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locking != 0)
            return fail("cannot lock registry file " + target + ": " + Errno());
        struct stat now {};
        if (::fstat(fd.Get(), &locked) != 0)
            return fail("cannot read registry file " + target + ": " + Errno());
        if (::stat(target.c_str(), &now) == 0 && now.st_dev == locked.st_dev &&
            now.st_ino == locked.st_ino)
            break;
    }
    RemoveStaleTemporaries(target, folder);
    // A file this call created and then did not fill goes away again, so that a
    // failed change leaves things as they were.
    auto dropCreated = [&] {
        if (created)
            ::unlink(target.c_str());
    };

    std::string text;
    if (std::string why = ReadAll(fd.Get(), target, text); !why.empty()) {
        dropCreated();
        return fail(why);
    }
    RegistryParse parse = ParseRegistry(text);
    if (!parse.ok)
        return fail(DamageMessage(target, parse) + "; it was left as it is");
    if (std::string why = change(parse.document); !why.empty()) {
        dropCreated();
        return fail(why);
    }
    const std::string updated = SerializeRegistry(parse.document);
    if (updated == text) {
        if (updated.empty())
            dropCreated();
        result.ok = true;
        return result;
    }
    if (std::string why = ReplaceFile(target, folder, locked.st_mode & 07777, updated);
        !why.empty()) {
        dropCreated();
        return fail(why);
    }
    result.ok = true;
    return result;
}

RegistryWrite SetRegistryStrings(const std::string& file, std::string_view key,
                                 const std::vector<std::pair<std::string, std::string>>& values) {
    return UpdateRegistry(file, [&](RegistryDocument& document) -> std::string {
        if (std::string why = CheckRegistryText(key, true); !why.empty())
            return "key name " + std::string(key) + " " + why;
        for (const auto& [name, text] : values) {
            if (std::string why = CheckRegistryText(name, false); !why.empty())
                return "value name \"" + name + "\" " + why;
            if (std::string why = CheckRegistryText(text, false); !why.empty())
                return "value \"" + name + "\" " + why;
        }
        for (const auto& [name, text] : values)
            SetString(document, key, name, text);
        return {};
    });
}

} // namespace quorvel
