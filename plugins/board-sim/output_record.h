#pragma once
// Writing the simulator's output folder: the play record of every StartOutput (WAV
// of the converter codes, raw words as received, sidecar), the flash record and
// the journal. The sidecar is written last and renamed into place, so a reader
// that finds a sidecar finds a complete record.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace boardsim {

// The folder named by KORD77_SIM_OUT, or empty when it is not set.
std::filesystem::path OutputFolder();

struct RecordContent {
    std::string driver;
    int32_t boardId = 0;
    double clock = 0.0; // Hz, exact
    bool synthesiser = false;
    int32_t attenuator = 0;
    float gain = 1.0f;
    int32_t filter = 0;
    int32_t mode = 0;
    int32_t dataFormat = 0;
    bool mixedFormats = false;
    int64_t clipped = 0;
    int32_t bits = 14;
    float voltsWithoutLoad = 10.0f;
    const std::vector<int16_t>* codes = nullptr; // converter codes, one pass
    const std::vector<int16_t>* words = nullptr; // the words as the program sent them

    double VoltsPerCode() const;
};

// Writes record-<n>.{wav,raw,txt} with n one above the highest in `folder`, then
// removes records more than `keep` below it (keep 0: none). The number written, or
// 0 with `error` set.
int64_t WritePlayRecord(const std::filesystem::path& folder, const RecordContent& content,
                        int32_t keep, std::string& error);

bool WriteFlashRecord(const std::filesystem::path& folder, const RecordContent& content,
                      std::string& error);
bool WriteFlashErased(const std::filesystem::path& folder, const std::string& driver,
                      std::string& error);

// Appends one line (a newline is added) with a single write, so that lines of two
// processes never interleave. False when the journal cannot be written.
bool AppendJournal(const std::filesystem::path& folder, const std::string& line);

} // namespace boardsim
