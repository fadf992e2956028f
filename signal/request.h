#pragma once
// The request record a client hands to the signal object. The client owns it; the
// signal object keeps its address between calls, so it must stay valid until the
// computation that uses it has ended. Field order and types are part of the binary
// interface between the program and the library.

#include <cstddef>
#include <cstdint>

enum WaveformKind : int32_t {
    KindSine = 0,
    KindTriangle = 1,
    KindSaw = 2,
    KindMeander = 3,
    KindConstant = 4,
    KindPulse = 5,
    KindNoise = 6,
    KindSampleBlock = 7,
};
inline constexpr int32_t WaveformKindCount = 8;

enum Polarity : int32_t { PolarityPositive = 0, PolarityNegative = 1, PolarityBipolar = 2 };

struct UndulaRequest {
    int32_t kind;             // WaveformKind
    int32_t amplitude;        // amplitude in output codes
    int32_t base;             // client's base (offset) code; not read by the library
    double frequency;         // Hz, requested; overwritten when moved into range
    double realisedFrequency; // Hz, written by Prepare
    double sampleRate;        // Hz, noise and sample block; overwritten with the realised rate
    double duration;          // s, pulse duration; the pulse writes the realised one back
    int32_t polarity;         // Polarity
    int32_t noiseVariant;     // 1 Gaussian, 2 uniform, other: two-level sequence
    int32_t sawDirection;     // 0 rising, non-zero falling
    double delay;             // s, before a single play (0 = none)
    int16_t* samples;         // client buffer: destination, and the source data of kind 7
    int32_t sampleCount;      // samples to copy into `samples` (the client stores Prepare's count)
    uint8_t singlePlay;       // client's own flag; the library takes it as a Prepare argument
};

static_assert(offsetof(UndulaRequest, kind) == 0);
static_assert(offsetof(UndulaRequest, amplitude) == 4);
static_assert(offsetof(UndulaRequest, base) == 8);
static_assert(offsetof(UndulaRequest, frequency) == 16);
static_assert(offsetof(UndulaRequest, realisedFrequency) == 24);
static_assert(offsetof(UndulaRequest, sampleRate) == 32);
static_assert(offsetof(UndulaRequest, duration) == 40);
static_assert(offsetof(UndulaRequest, polarity) == 48);
static_assert(offsetof(UndulaRequest, noiseVariant) == 52);
static_assert(offsetof(UndulaRequest, sawDirection) == 56);
static_assert(offsetof(UndulaRequest, delay) == 64);
static_assert(offsetof(UndulaRequest, samples) == 72);
static_assert(offsetof(UndulaRequest, sampleCount) == 80);
static_assert(offsetof(UndulaRequest, singlePlay) == 84);
static_assert(sizeof(UndulaRequest) == 88);
