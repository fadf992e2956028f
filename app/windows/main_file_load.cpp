#include "app/windows/main_file_load.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>

DataFile ReadDataFile(const std::string& path) {
    DataFile result;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return result;
    }
    const auto fileSize = std::filesystem::file_size(path, error);
    if (error) {
        return result;
    }
    const int64_t n = std::clamp<int64_t>(
        static_cast<int64_t>(std::min<uintmax_t>(fileSize, static_cast<uintmax_t>(kDataFileLimit))),
        kDataFileMinimum, kDataFileLimit);
    try {
        result.bytes.assign(static_cast<size_t>(n & ~int64_t{1}), 0);
    } catch (const std::bad_alloc&) {
        result.status = DataFileStatus::NoMemory;
        result.bytes.clear();
        return result;
    }
    if (fileSize == 0) {
        for (size_t i = 0; i + 1 < result.bytes.size(); i += 2) {
            result.bytes[i] = static_cast<uint8_t>(kEmptyFileSample & 0xFF);
            result.bytes[i + 1] = static_cast<uint8_t>(kEmptyFileSample >> 8);
        }
    } else {
        // Never more than the buffer holds: an odd last byte is left out.
        const auto wanted = static_cast<std::streamsize>(
            std::min<uintmax_t>(fileSize, static_cast<uintmax_t>(result.bytes.size())));
        in.read(reinterpret_cast<char*>(result.bytes.data()), wanted);
    }
    result.lastSampleIndex = static_cast<int32_t>(n / 2 - 1);
    result.status = DataFileStatus::Read;
    return result;
}

SampleBlock FitBlockToFile(SampleBlock block, int32_t lastSampleIndex) {
    const int64_t total = int64_t{lastSampleIndex} + 1; // samples in the file
    int64_t start = std::max<int64_t>(block.start, 0);
    int64_t size = std::max<int64_t>(block.size, 2);
    if (lastSampleIndex < start) {
        start = std::max<int64_t>(int64_t{lastSampleIndex} - 2, 0);
        size = 2;
    }
    if (total < start + size) {
        size = (total - start) & ~int64_t{1};
        if (size < 2) {
            size = 2;
            start = std::max<int64_t>(total - 2, 0);
        }
    }
    return {static_cast<int32_t>(start), static_cast<int32_t>(size)};
}
