#pragma once
// Signal types of the main window's source list, the parameter kinds of the numeric
// entry, the quality modes handed to the synthesis library, and the limit record
// that every waveform keeps.

#include <string_view>

// The parameter the numeric entry edits. Kinds 6 and above are additional
// parameters owned by the extended parameters window; 6 is the offset.
using ParameterKind = int;
namespace kind {
inline constexpr ParameterKind Amplitude = 0;
inline constexpr ParameterKind Frequency = 1; // the sample clock for the file type
inline constexpr ParameterKind Period = 2;
inline constexpr ParameterKind Duration = 3;
inline constexpr ParameterKind BlockStart = 4;
inline constexpr ParameterKind BlockSize = 5;
inline constexpr ParameterKind Offset = 6; // the first (and only) additional parameter
} // namespace kind

// Signal types in the order of the source list.
namespace signal_type {
inline constexpr int Constant = 0;
inline constexpr int Sine = 1;
inline constexpr int Pulse = 2;
inline constexpr int Meander = 3;
inline constexpr int Triangle = 4;
inline constexpr int RisingSaw = 5;
inline constexpr int FallingSaw = 6;
inline constexpr int File = 7; // samples loaded from a data file
inline constexpr int Count = 8;
} // namespace signal_type

// How the synthesis library plans the sample clock (its generation mode).
enum QualityMode : int {
    QualityNearest = 0,       // minimum frequency error
    QualityMaxPoints = 1,     // most points in a period
    QualitySynthesiser = 3,   // the board's frequency synthesiser
    QualityWholeMemory = 100, // use the whole memory
};
inline constexpr bool IsQualityMode(int v) {
    return v == QualityNearest || v == QualityMaxPoints || v == QualitySynthesiser ||
           v == QualityWholeMemory;
}

// Output polarity of a synthesised waveform.
namespace polarity {
inline constexpr int Positive = 0;
inline constexpr int Negative = 1;
inline constexpr int Bipolar = 2;
} // namespace polarity

// One limit record per waveform; the two saws share one.
enum class WaveformRecord : int { Constant, Sine, Pulse, Meander, Triangle, Saw, File, Count };
inline constexpr int kWaveformRecordCount = static_cast<int>(WaveformRecord::Count);

// Bits of SignalTypeInfo::enabled: which parameter choices a type offers.
inline constexpr unsigned KindBit(ParameterKind k) {
    return 1u << k;
}

struct SignalTypeInfo {
    int nameId;                  // text shown in the list's edit field
    int listTextId;              // text of the list item
    unsigned enabled;            // KindBit of every parameter the type offers
    int waveformCode;            // kind number of the synthesis library
    int sawDirection;            // for waveform code 2: 1 falling, 0 rising
    std::string_view qualityKey; // settings key of its QualityMode; empty for none
    WaveformRecord record;
};

constexpr bool IsSignalType(int type) {
    return type >= 0 && type < signal_type::Count;
}
// The row of `type`; a type outside 0-7 gets the constant signal's row.
const SignalTypeInfo& SignalTypeOf(int type);
inline bool KindEnabled(int type, ParameterKind k) {
    return k >= 0 && k < 32 && (SignalTypeOf(type).enabled & KindBit(k)) != 0;
}

// Limits of the entered values, in this order. Volts, hertz, seconds.
struct LimitSet {
    double amplitudeMax = 5;
    double amplitudeMin = -5;
    double frequencyMax = 1e7;
    double frequencyMin = 0.025;
    double periodMax = 40;   // 1 / frequencyMin
    double periodMin = 1e-7; // 1 / frequencyMax
    double durationMax = 40;
    double durationMin = 0;
};

// Sample clock limits of the file type without a board: 1e8 Hz and 1e8 / 2^14 Hz.
inline constexpr double kDefaultMaxSampleClock = 1e8;
inline constexpr double kDefaultMinSampleClock = 6103.515625;

struct WaveformLimits {
    LimitSet limits;
    int quality = QualitySynthesiser;
};
