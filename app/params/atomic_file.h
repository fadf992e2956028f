#pragma once
// Replaces a file without ever leaving it half written. The new content goes to a
// temporary file in the same folder; Commit flushes it to the disk and renames it
// over the old file, so a crash or a failed write at any point keeps the previous
// file. The temporary file takes the permissions of the file it replaces.

#include <string>
#include <string_view>

namespace params {

class AtomicFile {
public:
    AtomicFile() = default;
    explicit AtomicFile(const std::string& path) { Create(path); }
    ~AtomicFile() { Discard(); }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Opens a new temporary file beside `path`; false when that is impossible
    // (for example the folder is not writable).
    bool Create(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    // Writes all bytes; false (and the file will not be committed) on any failure.
    bool Write(std::string_view bytes);

    // Makes the new content the file at `path`. False, with the old file left
    // unchanged, when a write failed, the data could not reach the disk or the
    // rename failed.
    bool Commit();
    // Drops the temporary file; the old file stays as it was.
    void Discard();

    // True once a write has failed.
    bool Failed() const { return failed_; }
    const std::string& TemporaryPath() const { return tempPath_; }

private:
    int fd_ = -1;
    bool failed_ = false;
    std::string path_;
    std::string tempPath_;
};

} // namespace params
