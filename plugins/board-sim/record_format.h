#pragma once
// Names shared by the writer and the reader of the simulator's output folder
// (KORD77_SIM_OUT). See README.md for the meaning of every key.

#include <cstdint>
#include <string>

namespace boardsim::record {

inline constexpr const char* JournalFile = "journal.txt";
inline constexpr const char* FlashSidecar = "flash.txt";
inline constexpr const char* FlashWav = "flash.wav";
inline constexpr const char* FlashRaw = "flash.raw";

// Play records: record-000001.txt (sidecar), .wav, .raw; numbered from 1.
inline constexpr const char* PlayPrefix = "record-";
std::string PlayStem(int64_t number); // "record-000001"

// Sidecar keys.
inline constexpr const char* Kind = "record"; // "play" or "flash"
inline constexpr const char* Number = "number";
inline constexpr const char* Driver = "driver";
inline constexpr const char* BoardId = "board_id";
inline constexpr const char* Clock = "clock";
inline constexpr const char* WavRate = "wav_rate";
inline constexpr const char* Synthesiser = "synthesiser";
inline constexpr const char* Attenuator = "attenuator";
inline constexpr const char* Gain = "gain";
inline constexpr const char* Filter = "filter";
inline constexpr const char* Mode = "mode";
inline constexpr const char* Continuous = "continuous";
inline constexpr const char* ExternalStart = "external_start";
inline constexpr const char* RisingEdge = "rising_edge";
inline constexpr const char* DataFormat = "data_format";
inline constexpr const char* MixedFormats = "mixed_formats";
inline constexpr const char* Samples = "samples";
inline constexpr const char* Words = "words";
inline constexpr const char* Clipped = "clipped";
inline constexpr const char* CodeBits = "code_bits";
inline constexpr const char* VoltsWithoutLoad = "volts_without_load";
inline constexpr const char* VoltsPerCode = "volts_per_code";
inline constexpr const char* Duration = "duration";
inline constexpr const char* WavFile = "wav_file";
inline constexpr const char* RawFile = "raw_file";
inline constexpr const char* State = "state"; // flash: "written" or "erased"

} // namespace boardsim::record
