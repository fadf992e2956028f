#pragma once
// File sample conversion: turns a block of a loaded data file into what its consumer
// takes: the board's output memory (LoadSamples), the board's flash memory, or the
// preview's plot. Three file settings say how the file's bytes are samples:
//
//   data16     16-bit samples (little-endian words), else 8-bit samples (bytes)
//   nonSigned  the samples are unsigned (offset binary), else two's complement
//   nullBits   the two lowest bits of a 16-bit sample carry no signal (16-bit only)
//
// What each consumer gets (n = number of 16-bit words of the file to convert):
//
//   output   16-bit data: n words in the data format of OutputFormat():
//              format 1  signed, left-justified, the two lowest bits are the sync bits
//              format 2  signed, right-justified 14-bit code (the file word / 4)
//              format 4  unsigned (offset binary), left-justified
//            8-bit data: 2n bytes of offset binary (format 8), in file order.
//   flash    the flash takes signed, left-justified words (as format 1): 16-bit data
//            gives n words; 8-bit data gives 2n words, one per byte.
//   display  signed 14-bit codes (the word / 4, toward zero): n words for 16-bit
//            data, 2n for 8-bit data.
//
// The offset entered for the file (volts) is added as offsetCode, in units of the
// 16-bit left-justified word: 4 x trunc(8192 x offset / range), where range is the
// voltage the whole code range spans at the file's attenuator stage. Sums that leave
// the word's range are limited (to +-0x7FFC for 16-bit data, +-0x7F00 for 8-bit data)
// before they are stored. An offset of exactly 0 V takes the plain conversion even
// where its offsetCode would be 0 too; a tiny offset (offsetCode 0) takes the offset
// conversion, which differs only in how it limits.

#include <cstddef>
#include <cstdint>
#include <span>

// How the file's bytes are samples (settings Data16, NonSigned, NullBits).
struct FileSampleLayout {
    bool data16 = true;
    bool nonSigned = false;
    bool nullBits = false;
};

// Everything ConvertSamples needs besides the data.
struct SampleConversion {
    FileSampleLayout layout;
    bool offsetZero = true; // the entered offset is exactly 0 V
    int32_t offsetCode = 0; // OffsetCode() of the entered offset
};

// 4 x trunc(8192 x offset / range): the offset in 16-bit word units for a stage that
// spans +-range volts. 0 for a range that is not a positive number or an offset that
// is not a number; saturates far beyond the word range.
int32_t OffsetCode(double offset, double range);

// The data format word of LoadSamples for a file block converted for output: 8 for
// 8-bit data; 16-bit data: 2 when nullBits is on (the block then holds signed
// right-justified codes, whatever the file's signedness), else 4 when nonSigned is
// on, else 1.
int32_t OutputFormat(const FileSampleLayout& layout);

// 16-bit words the destination must hold for n file words.
std::size_t ConvertedWords(const FileSampleLayout& layout, std::size_t n, bool forDisplay,
                           bool forFlash);

// Converts the first n 16-bit words (2n bytes) of `source` into `destination` as the
// consumer chosen by forDisplay / forFlash takes them (output when both are false).
// Returns false and writes nothing when either span is empty or too short.
bool ConvertSamples(std::span<const uint8_t> source, std::span<int16_t> destination, std::size_t n,
                    const SampleConversion& conversion, bool forDisplay, bool forFlash);
