#pragma once
// Kind 7 (__MBuffer): plays a block of 16-bit samples that the client supplies (a
// file's contents; the request's sample buffer) at a requested sample rate. The
// data must stay valid until Generate has run: it is read there, not copied.
//
// Decisions of this library:
// - A block with no sample to play fails Prepare with -2, and a null data address
//   fails it with -1 (rather than returning success without being prepared, so
//   that no empty buffer is reported as done).
// - With the even flag and an odd count that does not fit with its extension, the
//   block is cut to the largest even count that fits (capacity less the two
//   single-play points), so an odd capacity never yields an odd block.
// - With the even flag, an odd number of leading points (a delay) gives up one
//   point, so that the count stays even.
// - Points per period (Query 30) is the block without the leading points, so that
//   clock / points per period is the realised frequency reported.
// - A polarity other than 0, 1 and 2 takes the whole range of the bit count.
// - The stop flag is checked after every stretch of at most 65,536 samples
//   (result -1).
// - Lowest and highest written are the extremes of every code written, the zero
//   codes of a delay included.

#include "signal/msignal.h"

class __MBuffer final : public __MSignal {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;

    // The client samples used (before the even extension).
    int32_t UsedSamples() const { return field2_; }

private:
    const int16_t* data_ = nullptr; // first kind field: the client's samples
    int32_t polarity_ = 0;
};
