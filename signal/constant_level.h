#pragma once
// Kind 4 (__MImpulse): a constant level, as a short block of four points at the
// third clock of the table. Second kind field: polarity; the level is the second
// of TwoLevels (0: base + A, 1: base - A, 2: base + A, other: base + 2A).
//
// Decisions of this library:
// - The four points are planned whether or not the caller gives an address for
//   the count; a memory smaller than four points gets as many as it holds (one
//   fewer when that is odd and the even flag is set).
// - A table of fewer than three clocks gives its last clock; a table that is null
//   while the count is positive, or a count below 1, is invalid (-1). A null
//   table with no count fails with 0, as a missing request does.
// - Lowest and highest written are the extremes of the codes actually written
//   (both the level).

#include "signal/msignal.h"

class __MImpulse final : public __MSignal {
public:
    static constexpr int32_t LevelPoints = 4;

    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;
};
