#pragma once
// The waveform object of each kind, as the signal object's table holds them.

#include "signal/msignal.h"

#include <memory>

// A new waveform object of `kind`, or null for a kind outside 0..7.
std::unique_ptr<__MSignal> MakeWaveform(int32_t kind);
