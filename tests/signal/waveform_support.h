#pragma once
// Boards, requests and a guarded generation for the waveform tests.

#include "signal/msignal.h"
#include "signal/waveforms.h"
#include "tests/signal/board_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Names the instances of a table of cases by their `name` field.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

// A board as Prepare sees it: clock limits and a clock table (highest first).
struct TestBoard {
    std::vector<double> clocks;
    float minClock = StandardMinClock;
    float maxClock = StandardMaxClock;
};

inline TestBoard StandardBoard() {
    const auto clocks = StandardClocks();
    return {{clocks.begin(), clocks.end()}, StandardMinClock, StandardMaxClock};
}

// A board with one clock (and limits that let any frequency up to clock / 2 in).
inline TestBoard OneClockBoard(double clock) {
    return {{clock}, 1.0f, static_cast<float>(clock)};
}

inline UndulaRequest MakeRequest(int32_t kind, double frequency, int32_t amplitude,
                                 int32_t polarity = PolarityPositive) {
    UndulaRequest request{};
    request.kind = kind;
    request.amplitude = amplitude;
    request.frequency = frequency;
    request.polarity = polarity;
    return request;
}

struct PrepareArgs {
    int32_t capacity = 100000;
    bool even = false;
    bool single = false;
};

inline int32_t PrepareOn(__MSignal& wave, UndulaRequest& request, const TestBoard& board,
                         PrepareArgs args, int32_t* points = nullptr) {
    int32_t local = -12345;
    return wave.Prepare(&request, board.minClock, board.maxClock, board.clocks.data(),
                        static_cast<int32_t>(board.clocks.size()), args.capacity, args.even ? 1 : 0,
                        points != nullptr ? points : &local, args.single ? 1 : 0);
}

// Code that no generation may write with bits <= 15: marks the guard region and
// the points not written.
inline constexpr int16_t Untouched = 0x7FFF;
inline constexpr int32_t GuardCodes = 64;

// Generates into a buffer of `points` codes followed by a guard region, checks
// that exactly the planned points were written (no sentinel left inside, the
// guard intact) and returns the planned points.
inline std::vector<int16_t> GenerateGuarded(__MSignal& wave, int32_t base, int32_t bits = 14,
                                            double phase = 0, int32_t* result = nullptr) {
    const int32_t points = std::max(wave.Points(), 0);
    std::vector<int16_t> buffer(static_cast<size_t>(points) + GuardCodes, Untouched);
    const int32_t generated = wave.Generate(buffer.data(), base, bits, phase);
    if (result != nullptr)
        *result = generated;
    else
        EXPECT_EQ(generated, 1);
    for (size_t i = static_cast<size_t>(points); i < buffer.size(); ++i) {
        if (buffer[i] != Untouched) {
            ADD_FAILURE() << "write past the planned points at " << i << " (points " << points
                          << ")";
            break;
        }
    }
    buffer.resize(static_cast<size_t>(points));
    if (generated == 1) {
        const auto missed = std::find(buffer.begin(), buffer.end(), Untouched);
        EXPECT_EQ(missed, buffer.end())
            << "point " << (missed - buffer.begin()) << " of " << points << " not written";
    }
    return buffer;
}

inline std::vector<int16_t> Repeat(const std::vector<int16_t>& period, int times) {
    std::vector<int16_t> codes;
    for (int i = 0; i < times; ++i)
        codes.insert(codes.end(), period.begin(), period.end());
    return codes;
}
