#pragma once
// Kind 0: the sine. __MSine2 plans it (the one kind whose plan can fill the whole
// board memory with many periods); __MAnySine generates it with a rotation
// recurrence instead of evaluating the sine at every point.
//
// Single play: the buffer holds the leading points, two points at the start level,
// one period of P whole points, and one more point at the start level when that
// makes the count even. The period is generated with a step of 2 pi / P and the
// points per period (Query 30) and the realised frequency both say P, so the
// period played closes on itself and its frequency, clock / P, is the one reported.
// A period that does not fit beside the two extra points is shortened by two.

#include "signal/msignal.h"

class __MAnySine : public __MSignal {
public:
    // Polarity lives in the first kind field.
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
};

class __MSine2 final : public __MAnySine {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    std::unique_ptr<__MSignal> Clone() const override;

private:
    // Fills the memory with as many whole periods as fit. Returns 0 or a failure.
    int32_t WholeMemoryPlan(const double* clocks, int32_t clockCount, double inUse, bool even);
    // Lays out one period for a single play; see the header comment.
    int32_t SinglePlayPlan(UndulaRequest* request, int32_t* pointCount, int32_t result);
};
