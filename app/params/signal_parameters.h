#pragma once
// The main window's parameter set and the preview window's marker records.

#include "app/params/signal_types.h"

#include <cstddef>
#include <cstdint>

// Entered values (volts, hertz, seconds, samples) and what the board realises.
// Settings keys in comments.
struct SignalParameters {
    int type = signal_type::Constant;            // SignalType, 0-7
    double amplitude = 0;                        // Amplitude
    double frequency = 0.025;                    // Frequency, types 0-6
    double sampleClock = kDefaultMinSampleClock; // FrequencyD, type 7
    double period = 40;                          // kept equal to 1 / frequency; not saved
    double duration = 0;                         // Duration, pulse width
    double offset = 0;      // Offset; the extended parameters window's value wins when it exists
    int32_t blockStart = 0; // BlockStart
    int32_t blockSize = 2;  // BlockSize
    int32_t lastSampleIndex = 0; // 16-bit samples of the loaded file minus 1; 0 without
    bool fileLoaded = false;
    int polarity = polarity::Bipolar; // Polarity
    bool filter = false;              // FilterActive
    bool playLoop = false;            // PlayLoop: single play
    int impulseOptimize = 1;          // ImpulseOptimize, 0-3
    int quality = QualitySynthesiser; // QualityMode of the current type

    double realisedAmplitude = 0;
    double realisedFrequency = 0;
    double realisedDuration = 0;
    double realisedSampleClock = 0; // the clock shown in FreqRez for type 7
    int32_t amplitudeCode = 0;
    int32_t attenuator = 0;     // stage of the last amplitude realisation
    int32_t fileAttenuator = 0; // stage of the file type, from the output range

    // Set by every change; cleared by generation control when it computes. Starts
    // set: nothing has been computed for the board yet.
    bool recomputeNeeded = true;
    // Result of the last output-range check; generation control consults it.
    bool withinVoltageLimits = true;
};

// A marker of the data viewer's plot: 20 bytes, handed over as a table of three
// (cursor, block start, last sample of the block).
#pragma pack(push, 4)
struct PreviewMarker {
    int32_t kind;         // kPreviewMarkerKind
    int32_t colour;       // 0x00BBGGRR
    int32_t secondColour; // the same colour
    float position;       // sample index
    int32_t reserved;     // 0
};
#pragma pack(pop)
static_assert(sizeof(PreviewMarker) == 20);
static_assert(offsetof(PreviewMarker, position) == 12);

inline constexpr int32_t kPreviewMarkerKind = 0x40000002;
inline constexpr int32_t kCursorColour = 0xFF0000;
inline constexpr int32_t kBlockColour = 0x00FF00;
