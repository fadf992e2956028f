#pragma once
// Reading what a simulated board wrote into its output folder (KORD77_SIM_OUT):
// the play records of StartOutput, the flash record and the journal. For tests:
//
//   auto read = boardsim::ReadLatestRecord(folder);
//   ASSERT_TRUE(read.record) << read.error;
//   EXPECT_DOUBLE_EQ(read.record->clock, 1e6);
//   EXPECT_NEAR(read.record->Volts(0), 2.5, read.record->voltsPerCode);
//
//   for (const auto& entry : boardsim::ReadJournal(folder).entries)
//       if (entry.operation == "LoadSamples") ...

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace boardsim {

struct OutputRecord {
    std::map<std::string, std::string> fields; // the sidecar as written

    std::string kind;   // "play" or "flash"
    std::string state;  // flash: "written" or "erased"; play: empty
    int64_t number = 0; // play records count from 1
    std::string driver;
    int32_t boardId = 0;
    double clock = 0.0;  // Hz, exact realised sample clock
    int32_t wavRate = 0; // the clock rounded, as the WAV header holds it
    bool synthesiser = false;
    int32_t attenuator = 0;
    double gain = 1.0;
    int32_t filter = 0;
    int32_t mode = 0;
    bool continuous = false;
    bool externalStart = false;
    bool risingEdge = false;
    int32_t dataFormat = 0;
    bool mixedFormats = false;
    int64_t clipped = 0;
    int32_t codeBits = 0;
    double voltsWithoutLoad = 0.0;
    double voltsPerCode = 0.0; // at the output without load
    double duration = 0.0;     // seconds of one pass: samples / clock

    std::vector<int16_t> codes; // converter codes the board plays, one pass (the WAV)
    std::vector<int16_t> words; // the 16-bit words as the program sent them

    // Output voltage without load of sample i.
    double Volts(size_t i) const { return codes.at(i) * voltsPerCode; }
};

struct RecordRead {
    std::optional<OutputRecord> record;
    std::string error; // why there is no record
};

// One record from its sidecar (record-000001.txt or flash.txt). Fails when a key is
// missing, a number does not parse, or the WAV or raw file disagrees with it.
RecordRead ReadRecord(const std::filesystem::path& sidecar);
// The play sidecars of `folder`, lowest number first.
std::vector<std::filesystem::path> ListRecords(const std::filesystem::path& folder);
RecordRead ReadLatestRecord(const std::filesystem::path& folder);
RecordRead ReadFlashRecord(const std::filesystem::path& folder);

// "<driver> <operation> key=value ... [forced|no_answer] -> <result>"
struct JournalEntry {
    std::string line;
    std::string driver;
    std::string operation; // "OpenBoard", "Control", "Reserved3", ...
    std::map<std::string, std::string> args;
    std::vector<std::string> flags; // "forced", "no_answer", "erase"
    int32_t result = 0;

    bool Has(const std::string& flag) const;
    std::string Arg(const std::string& key) const; // empty when absent
    // The Control code (args "code"), or 0 for other operations.
    int32_t Code() const;
};

struct JournalRead {
    std::vector<JournalEntry> entries;
    std::string error; // the journal is missing, or a line does not parse
};

JournalRead ReadJournal(const std::filesystem::path& folder);

} // namespace boardsim
