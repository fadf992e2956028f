#pragma once
// Kind 3 (__MMeandr2): a square wave, high for the first half of each period and
// low for the second. Kind 5 (__MRect): a pulse train, at the pulse level for the
// pulse width and at the base level for the rest of the period. Both are two-level
// signals (TwoLevels: low level L0, high level L1 by polarity); they differ in how
// the plan is found and in how long the high part is.
//
// Decisions of this library:
// - Meander halving plan: it halves m down to 0 at most; when even the lowest
//   clock gives more points than the memory holds it fails with -2, and when the
//   even flag cannot be met it fails with -1 (the plan would otherwise repeat
//   without end or hand an odd count to a board that needs an even one).
// - Pulse shrinking plan: its walk from m = capacity down in steps of 2 skips the
//   steps that reach the same clock (they give the same count), so it ends after
//   at most one step per clock of the table; the outcome is that of the plain
//   walk. A walk that ends without a fitting count fails with -2 (more points than
//   the memory holds) or -1 (an odd count with the even flag).
// - Pulse width outside mode 3: trunc(clock x duration); negative, or longer than
//   one period, gives 0 (a constant low level); a duration of 0 gives 0.
// - Single play (FinishSinglePlay): leading points, two lead points at L0, one
//   period, and a pad point at L0 when that makes the count even, all counted in
//   the points. A pulse wider than the single-play period is cut to it.
// - Pulse option outside 0, 1 and 2: as option 1. Single play uses option 2 for
//   that Prepare only; the option set by the client is kept.
// - Option 0 with a duration equal to the period (or longer): the duration is
//   shortened to 99/100 of the period, as for a longer one. Its pair search keeps
//   to totals that the 100 MHz clock can play at the requested frequency: a
//   longer total would lower the frequency (the longest pair of a large memory
//   played a 1 MHz request at 1 kHz), so when none fits it finds nothing.
// - Option 2: a period that does not fit into the memory (beside the two lead
//   points in single play) counts as nothing found.
// - A method that finds nothing leaves the plan without the search in force, and
//   the request's duration as the client gave it. In mode 3 that plan may fail
//   (nothing fits) without ending Prepare: the search replaces it when it finds
//   a period.
// - Mode 3 with a delay: the delay is placed after the search, from the clock in
//   use. A search keeps the result of the frequency limits (2 when the frequency
//   was moved into range).
// - Phase: a shift of trunc(phase x length / 2 pi) points within each period (for
//   the pulse a shift of exactly 1 becomes 2); the period's first point lands at
//   that position and the rest wraps round.
// - Lowest and highest written are the extremes of the codes actually written.

#include "signal/msignal.h"

class __MMeandr2 final : public __MSignal {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    // First kind field: polarity.
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;

private:
    int32_t HalvingPlan(const double* clocks, int32_t clockCount, double inUse, bool even);
    // k from 0 up, s upwards; only even counts of at least 2; one period.
    bool MeanderSearch(double inUse, bool singlePlay);
};

class __MRect final : public __MSignal {
public:
    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override;
    // First kind field: pulse width in points; second: polarity.
    int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) override;
    std::unique_ptr<__MSignal> Clone() const override;

    int32_t Width() const { return field1_; }

private:
    int32_t ShrinkingPlan(const double* clocks, int32_t clockCount, double inUse, bool even);

    // Mode-3 methods (pulse_search.cpp). Each sets clock, points, one period of
    // points and the width, and returns false when it finds nothing. `duration`
    // is the pulse duration in use; where a method shortens it, it also writes it
    // into the request.
    bool WholeLengthSearch(double inUse, bool singlePlay, double& duration,
                           UndulaRequest& request); // option 0
    bool PeriodSearch(double inUse, bool singlePlay, double& duration,
                      UndulaRequest& request);                             // option 1
    bool WidthFirstSearch(double inUse, bool singlePlay, double duration); // option 2
    // Width from a period of n points (options 0 and 1).
    static int64_t WidthFromPeriod(int64_t n, double inUse, double& duration,
                                   UndulaRequest& request);
};
