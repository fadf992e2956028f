#include "app/params/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace params {

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes the folder entry of a rename; failures only weaken crash safety.
void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool AtomicFile::Create(const std::string& path) {
    Discard();
    if (path.empty()) {
        return false;
    }
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        struct stat old {};
        if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            ::fchmod(fd, old.st_mode & 07777);
        }
        fd_ = fd;
        failed_ = false;
        path_ = path;
        tempPath_ = candidate;
        return true;
    }
    return false;
}

bool AtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AtomicFile::Commit() {
    if (fd_ < 0) {
        return false;
    }
    bool ok = !failed_ && ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    if (ok && ::rename(tempPath_.c_str(), path_.c_str()) == 0) {
        SyncFolder(path_);
        tempPath_.clear();
        return true;
    }
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
    return false;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

} // namespace params
