#pragma once
// Base of every waveform kind. A waveform object turns a request and the board's
// limits into a plan (sample clock, points per period, periods, points in the
// buffer) with Prepare, and fills a buffer of signed 16-bit output codes with
// Generate. Frequencies and clocks are in hertz, times in seconds, levels in codes.
//
// Decisions this library makes where the plan rules leave a choice:
// - The generation mode is 1 (most points per period) until the client sets one.
// - Mode 0 when no clock of the table gives a point: the table choice yields no
//   plan (points -1), and each kind falls back to its own plan without the table.
// - A synthesiser search that finds no candidate fails Prepare with -2.
// - A capacity below 1 is an invalid argument (-1): the lowest frequency would be
//   a division by zero.
// - The single-play flag is kept per object (set by that object's Prepare), not in
//   one library-wide byte, so that two signal objects on different threads never
//   read each other's flag.
// - Generate may write up to two codes past `points` in single play (the two lead
//   points of kinds whose plan does not reserve them); the caller's buffer must
//   hold points + 2 codes. Undula's work buffer always does.

#include "signal/request.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

enum GenerationMode : int32_t {
    ModeNearestFrequency = 0,
    ModeMostPoints = 1,
    ModeWholeMemory = 2, // whole memory outside single play
    ModeSynthesiser = 3, // frequency synthesiser (clock = s / 2^k)
    ModeWholeMemoryAlways = 100,
};

// Synthesiser frequencies s run over [SynthLow, SynthHigh] in SynthStep steps and
// are divided by 2^k, k = 0..SynthMaxShift.
inline constexpr double SynthHigh = 100'000'000.0;
inline constexpr double SynthLow = 50'000'000.0;
inline constexpr double SynthStep = 250'000.0;
inline constexpr int SynthSteps = 201;
inline constexpr int SynthMaxShift = 14;

class __MSignal {
public:
    __MSignal() = default;
    __MSignal(const __MSignal& other);
    __MSignal& operator=(const __MSignal&) = delete;
    virtual ~__MSignal();

    // Returns 2 when the request was moved into the realisable range (or the sample
    // rate realised differs), 1 when realised as asked, 0 when the request is
    // missing, -1 for invalid arguments or an impossible even-length plan, -2 when
    // no point fits. `clocks` holds `clockCount` clocks sorted highest first.
    virtual int32_t Prepare(UndulaRequest* request, float minClock, float maxClock,
                            const double* clocks, int32_t clockCount, int32_t capacity,
                            uint8_t evenFlag, int32_t* pointCount, uint8_t singlePlay) = 0;
    // Returns 1 on success, 0 when unprepared or the buffer is null, -1 when stopped.
    virtual int32_t Generate(int16_t* buffer, int32_t base, int32_t bits, double phase) = 0;
    // A new object of the same class with the same settings and results.
    virtual std::unique_ptr<__MSignal> Clone() const = 0;

    // Results of the last Prepare / Generate.
    double SampleClock() const { return clock_; }
    double RequestedFrequency() const { return requested_; }
    double RealisedFrequency() const { return realised_; }
    int32_t Capacity() const { return capacity_; }
    int32_t Points() const { return points_; }
    int32_t Span() const { return span_; }
    bool IsPrepared() const { return prepared_ != 0; }
    int32_t LeadingPoints() const { return leading_; }
    int32_t LowestAllowed() const { return lowestAllowed_; }
    int32_t HighestAllowed() const { return highestAllowed_; }
    int32_t LowestWritten() const { return lowestWritten_; }
    int32_t HighestWritten() const { return highestWritten_; }
    int32_t Periods() const { return periods_; }
    double PointsPerPeriod() const { return perPeriod_; }
    bool SinglePlay() const { return singlePlay_ != 0; }

    int32_t Mode() const { return mode_; }
    void SetMode(int32_t mode) { mode_ = mode; }
    int32_t PulseOption() const { return pulseOption_; }
    void SetPulseOption(int32_t option) { pulseOption_ = option; }

    // The stop flag may be set from another thread while Generate runs.
    void RequestStop() { stop_.store(1, std::memory_order_relaxed); }
    void ClearStop() { stop_.store(0, std::memory_order_relaxed); }

    // Shared rules, public so that every kind and the tests use the same ones.
    static int32_t LowestCode(int32_t bits);
    static int32_t HighestCode(int32_t bits);
    // Rounds half away from zero, then truncates toward zero.
    static double RoundLevel(double level);
    // Clock lookup: the lowest table clock that is at least `rate`; the first
    // (highest) clock when none is.
    static double LookupClock(const double* clocks, int32_t clockCount, double rate);

protected:
    bool Stopped() const { return stop_.load(std::memory_order_relaxed) != 0; }

    // Sets the allowed code range from the bit count.
    void SetAllowedRange(int32_t bits);
    // clamp(base + round(level)) into the allowed range. A level that is not a
    // number counts as 0.
    int32_t Code(int32_t base, double level) const;
    int32_t Clamp(double code) const;
    // Stores a code and widens the lowest/highest written.
    void Put(int16_t* at, int32_t code) {
        *at = static_cast<int16_t>(code);
        if (code < lowestWritten_)
            lowestWritten_ = code;
        if (code > highestWritten_)
            highestWritten_ = code;
    }
    void StartWritten(int32_t lowest, int32_t highest) {
        lowestWritten_ = lowest;
        highestWritten_ = highest;
    }

    // Frequency limits of the periodic kinds. Returns -1 for invalid arguments,
    // else 1 or 2 (frequency moved); `inUse` gets the frequency in use and `delay`
    // the request's delay (0 when not positive). Stores the requested frequency,
    // capacity and span and clears the prepared flag.
    int32_t ApplyFrequencyLimits(const UndulaRequest& request, float minClock, float maxClock,
                                 const double* clocks, int32_t clockCount, int32_t capacity,
                                 double& inUse, double& delay);

    // Table-based choice. Returns false when the work arrays cannot be had (the
    // choice is then skipped and the plan is untouched). Otherwise sets the clock,
    // periods, points per period and points (points may be -1 or 0: no plan).
    bool ChooseFromTable(const double* clocks, int32_t clockCount, double inUse, bool even,
                         bool singlePlay);

    // The synthesiser search used by the saw. Returns true and sets the plan when a
    // candidate was found.
    bool SynthesiserSearch(double inUse, bool singlePlay);

    // Leading points for a delay before a single play, as the periodic kinds place
    // them: trunc(clock x delay) limited to the capacity and to capacity - points.
    void PlaceDelay(double delay, bool singlePlay);

    // Delay, point count, realised frequency and result of the periodic kinds.
    // Writes the point count, the realised frequency (object and request; the
    // request's frequency too when `result` is 2) and sets the prepared flag.
    int32_t FinishPlan(UndulaRequest* request, double delay, int32_t* pointCount, bool singlePlay,
                       int32_t result);

    // --- Helpers shared by the saw, triangle, meander, pulse, noise, sample block
    // and constant level. ---

    // Single-period plan of the ramps (saw, triangle): the clock nearest above
    // F' x span (one point per code step), round(clock / F') points in one period;
    // outside single play with the even flag, as many periods as make the count
    // even. Points per period become points / periods, so that the period the
    // buffer holds is the one reported. Returns 0, -1 (no even plan fits) or -2
    // (the period does not fit into the capacity).
    int32_t SinglePeriodPlan(const double* clocks, int32_t clockCount, double inUse, bool even,
                             bool singlePlay);

    // Plan of a single play for the saw, triangle, meander and pulse, in place of
    // FinishPlan: the buffer holds the leading points, two lead points at the
    // waveform's rest level, one period of P whole points and one pad point at the
    // rest level when that makes the count even. All of them are counted in
    // `points`, so a client that copies `points` codes loses nothing. Room is made
    // by shortening the delay first and the period last. Realised frequency =
    // clock / P. Returns `result` or -2.
    int32_t FinishSinglePlay(UndulaRequest* request, double delay, int32_t* pointCount,
                             int32_t result);

    // The two levels of the two-level kinds and the constant level, with A the
    // integer half of the span: polarity 0 gives base and base + A, 1 base and
    // base - A, 2 base - A and base + A, any other base and base + 2A (clamped).
    void TwoLevels(int32_t base, int32_t polarity, int32_t& first, int32_t& second) const;

    // Sample-rate plan of the noise and the sample block. Returns -1 for invalid
    // arguments, else 2 when the clock differs from the requested rate and 1 when
    // it equals it; stores the requested rate, capacity and span, sets the clock
    // and writes it into the request's sample-rate field. `delay` gets the
    // request's delay (0 when not positive). Clears the prepared flag first.
    int32_t ApplySampleRatePlan(UndulaRequest& request, float minClock, float maxClock,
                                const double* clocks, int32_t clockCount, int32_t capacity,
                                double& delay);

    // Allowed range of the noise and the sample block: polarity 0 gives 0 up to
    // the highest code, 1 the lowest code + 1 up to 0, 2 and any other value the
    // whole range of the bit count.
    void SetPolarityRange(int32_t bits, int32_t polarity);

    // Lowest and highest written start inverted at the allowed range, so that the
    // first written code sets both and they end at the true extremes of what was
    // written (every code written lies inside the allowed range).
    void StartWrittenFromRange() { StartWritten(highestAllowed_, lowestAllowed_); }

    double clock_ = 0;
    double requested_ = 0;
    double realised_ = 0;
    int32_t capacity_ = 0;
    int32_t points_ = 0;
    int32_t span_ = 0;
    uint8_t prepared_ = 0;
    int32_t leading_ = 0;
    std::vector<double> tableFrequency_;
    std::vector<int32_t> tablePerPeriod_;
    std::vector<int32_t> tablePeriods_;
    int32_t lowestAllowed_ = 0;
    int32_t highestAllowed_ = 0;
    int32_t lowestWritten_ = 0;
    int32_t highestWritten_ = 0;
    int32_t periods_ = 0;
    uint8_t reserved_ = 0;
    int32_t mode_ = ModeMostPoints;
    double perPeriod_ = 0;
    int32_t pulseOption_ = 1;
    std::atomic<uint8_t> stop_{0};
    int32_t field1_ = 0; // kind fields: meaning given by each kind
    int32_t field2_ = 0;
    uint8_t singlePlay_ = 0;
};
