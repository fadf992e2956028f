#pragma once
// Reading a data file for File / Load, and fitting the sample block into it.
//
// A data file is read as 16-bit samples: at most its first 1 MiB (0x100000 bytes);
// a file shorter than 4 bytes still gives 2 samples (missing bytes are 0), and an
// empty file gives two samples 0x3FFF. An odd byte at the end is dropped.

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int64_t kDataFileLimit = 0x100000; // bytes read at most
inline constexpr int64_t kDataFileMinimum = 4;      // bytes of the shortest buffer
inline constexpr uint16_t kEmptyFileSample = 0x3FFF;

enum class DataFileStatus {
    Read,
    CannotOpen, // missing, unreadable, or a directory
    NoMemory,   // the buffer could not be made
};

struct DataFile {
    DataFileStatus status = DataFileStatus::CannotOpen;
    std::vector<uint8_t> bytes;  // an even count, at least 4 when read
    int32_t lastSampleIndex = 0; // 16-bit samples minus one
};

DataFile ReadDataFile(const std::string& path);

// The sample block [start, start + size) of a file with samples 0 .. lastSampleIndex.
struct SampleBlock {
    int32_t start = 0;
    int32_t size = 2;
};

// A block that starts beyond the file's last sample moves to the last sample minus
// two with size 2; a block that then runs past the file's end shrinks to the even
// number of samples left. The result always lies within the file (start >= 0, size
// even and at least 2, start + size <= lastSampleIndex + 1) for a file of at least
// two samples.
SampleBlock FitBlockToFile(SampleBlock block, int32_t lastSampleIndex);
