#pragma once
// Kind 2 (__MSaw2): a ramp that rises (or falls) linearly over one period and
// jumps back. Kind 1 (__MTriangle2): a ramp up and down. Both plan alike: the
// table choice, else one period at one point per code step (SinglePeriodPlan);
// in mode 3 each runs its own synthesiser search.
//
// Levels, with A = span / 2: bottom B and height H by polarity: 0 gives B = 0,
// H = A; 1 gives B = -A, H = A; 2 gives B = -A, H = 2A; any other B = 0, H = 2A.
//
// Decisions of this library:
// - Saw direction: the request's field, 0 rising and any other value falling (the
//   request record's contract).
// - Several periods in the buffer (the even flag can make the single-period plan
//   grow to 2, 3, ... periods, and the table choice serves an odd count as two):
//   period j of the buffer starts at trunc(j x points / periods), so the periods
//   get whole lengths that differ by at most one point, and each period is laid
//   out alone: a saw runs from bottom to top in steps of H / (length - 1), a
//   triangle rises and falls over its own length. With a whole number of points
//   per period (every plan but the even-grown one) this is the layout of one
//   period repeated.
// - Single play (FinishSinglePlay): leading points, two lead points at the bottom
//   code, one period, and a pad point at the bottom code when that makes the count
//   even; all counted in the points. The even growth of the single-period plan is
//   not needed then. A saw in single play plays its one period and stops.
// - Mode 3 with a delay: the delay is placed after the search, from the clock the
//   search chose.
// - A search that finds no candidate fails with -2; a search keeps the result of
//   the frequency limits (2 when the frequency was moved into range).
// - Phase (saw only; the triangle ignores it): a shift of trunc(phase x length /
//   2 pi) points within each period; the period's first level lands at that
//   position and the rest wraps round.
// - Lowest and highest written are the extremes of the codes actually written.

#include "signal/msignal.h"

class __MSaw2 final : public __MSignal {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    // First kind field: direction (0 rising, other falling); second: polarity.
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;
};

class __MTriangle2 final : public __MSignal {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    // First kind field: polarity. The phase is not used.
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;

private:
    // The triangle's synthesiser search: k from 14 down to 0, s upwards; at least
    // 10 points per period; an odd count is never served as two periods; the last
    // of equal candidates stays.
    bool TriangleSearch(double inUse, bool singlePlay);
};
