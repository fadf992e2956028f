#pragma once
// How the simulated board reads the 16-bit words of LoadSamples in each data
// format, as converter codes (signed, -2^(bits-1) .. 2^(bits-1) - 1):
//
//   1  signed, left-justified: the upper `bits` bits of the word are the code; the
//      bits below (the two lowest on a 14-bit board) are synchronisation bits that
//      go to the sync output and not to the converter. A file block of 16-bit
//      signed samples is sent like this.
//   2  signed, right-justified: the word is the code itself. The signal library's
//      codes (-8192 .. 8191 on a 14-bit board) and file samples with the two
//      lowest bits dropped (divided by 4) are sent like this.
//   4  unsigned (offset binary), left-justified: as 1 after flipping the top bit.
//   8  8-bit unsigned (offset binary) samples, two in each word, the low byte
//      first (the order the bytes lie in memory): each word gives two codes, the
//      byte's value less 128 scaled to the converter's width.
//
// A code outside the converter's range (format 2 only can give one) is limited to
// the range and counted as clipped.

#include <cstdint>
#include <vector>

namespace boardsim {

bool IsSampleFormat(int32_t format);

// Samples that `count` words of `format` make (2 x count for format 8).
int64_t SamplesPerWords(int32_t format, int64_t count);

// Appends the codes of `count` words to `codes`; adds the clipped ones to `clipped`.
// `format` must be one of 1, 2, 4, 8 and bits 8..16.
void DecodeSamples(int32_t format, const int16_t* words, int32_t count, int32_t bits,
                   std::vector<int16_t>& codes, int64_t& clipped);

// The codes of a flash image's samples: the flash takes the left-justified form
// (format 1), whose low bits are synchronisation bits.
inline void DecodeFlashSamples(const int16_t* words, int32_t count, int32_t bits,
                               std::vector<int16_t>& codes) {
    int64_t clipped = 0;
    DecodeSamples(1, words, count, bits, codes, clipped);
}

} // namespace boardsim
