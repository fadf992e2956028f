#pragma once
// ParameterModel: the main window's signal parameters with their limits, the setters
// that store an entered value and refresh the value labels, the amplitude
// realisation (attenuator stage, code, realised amplitude), the output-range check
// against the voltage limits, the file type's sample clock and block, and the
// preview markers. It owns no widgets: labels go through ParameterView, the offset
// and other additional parameters through AdditionalParameters (the extended
// parameters window), and the rest through the two hooks below.
//
// Setters take a double; -1 means "keep the stored value and show it again". A value
// equal to the stored one changes nothing (no label, no restart), and so does one
// that is not a finite number (it must never reach the board). Every other call
// stores the value, sets recomputeNeeded, refreshes the labels and calls
// restartIfRunning.
//
// Main thread only.

#include "app/board/iadc_device.h"
#include "app/params/amplitude_scale.h"
#include "app/params/format_value.h"
#include "app/params/parameter_view.h"
#include "app/params/signal_parameters.h"
#include "app/params/signal_types.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The settings the model reads (keys MinVolts, MaxVolts, RLoad).
struct ModelSettings {
    double minVolts = -10; // lowest output voltage the range check allows
    double maxVolts = 10;  // highest
    double rLoad = 50;     // load impedance, ohms
};

// What the board reports, as read when the driver is opened.
struct BoardValues {
    double maxVoltage = 0; // Control 28: volts without load
    int codeBits = 14;     // Control 31
    // Control 0x7A5A0000: the entries used (the reported count 0x7A5A0004 minus one).
    // Meaning: see amplitude_scale.h.
    std::vector<double> gains;
    double minClock = kDefaultMinSampleClock; // Control 25, Hz
    double maxClock = kDefaultMaxSampleClock; // Control 26, Hz
    int32_t memory = 0;                       // Control 48, samples; 0: unknown
    bool synthesiser = false;                 // Capabilities has CapSynthesiser
};

// Volts at the load for the whole code range: V0 * R / (R + 50), in single precision
// (the board has 50 ohms in series). A load that is not a number or negative counts
// as the default 50 ohms, an infinite load gives V0, and a V0 that is not a positive
// number gives 0.
double FullScaleOf(double maxVoltage, double rLoad);

class ParameterModel {
public:
    ParameterModel(ParameterView& view, TextLookup texts);

    // Called after a value changed: generation control schedules a restart of the
    // output when it runs and AutoStart is on.
    std::function<void()> restartIfRunning;
    // Called after the block or (file type) the offset changed: the preview window
    // repaints when it exists.
    std::function<void()> previewChanged;

    // The extended parameters window; null while it does not exist (then the offset
    // field of the parameter set is used).
    void SetAdditionalParameters(AdditionalParameters* provider) { additional_ = provider; }

    void SetSettings(const ModelSettings& settings) { settings_ = settings; }
    const ModelSettings& Settings() const { return settings_; }

    // The board was opened: fullScale, amplitude limits (+-fullScale in every
    // record), the current LimitSet from the current type's record, the attenuator
    // table. `device` answers the sample-clock codes 65, 66, 67; it may be null.
    void OpenBoard(const BoardValues& board, IADCDevice* device);
    // The driver was released: no more driver calls; the values read stay.
    void CloseBoard() { device_ = nullptr; }
    bool HasBoard() const { return boardOpened_; }
    const BoardValues& Board() const { return board_; }
    double FullScale() const { return scale_.fullScale; }
    const AmplitudeScale& Scale() const { return scale_; }
    bool AttenuatorsKnown() const { return scale_.Known(); }

    // The load impedance was changed in the options window: new fullScale and
    // amplitude limits; an amplitude above the maximum is set to it, an offset outside
    // +-2 x maximum to the nearer bound. (The window then chooses its current
    // parameter again so that the entry shows the new limits.)
    void ChangeLoadImpedance(double rLoad);

    const LimitSet& Limits() const { return limits_; }
    WaveformLimits& Record(WaveformRecord record);
    const WaveformLimits& Record(WaveformRecord record) const;
    // A board without a synthesiser: every QualitySynthesiser becomes QualityNearest.
    void DropSynthesiserQuality();

    SignalParameters& Params() { return params_; }
    const SignalParameters& Params() const { return params_; }

    // Makes `type` current (outside 0-7: 0): its record's quality mode, the entered
    // labels of the frequency place (SetFrequency(-1) or SetSampleClock(-1)) and of
    // the amplitude, which the new type realises in its own way.
    void SelectType(int type);
    // A data file was loaded (or not): its 16-bit samples minus one.
    void SetLoadedFile(bool loaded, int32_t lastSampleIndex);
    // Stores the polarity (outside 0-2: bipolar) and realises the amplitude again.
    void SetPolarity(int polarity);

    void SetAmplitude(double v);     // types 0-6; ignored without an attenuator table
    void SetFileAmplitude(double v); // type 7
    void SetFrequency(double v);     // types 0-6; also the period (not for 0)
    void SetSampleClock(double v);   // type 7
    void SetPeriod(double v);        // also the frequency (not for 0)
    void SetDuration(double v);
    void SetBlockStart(double v); // truncated to a whole sample
    void SetBlockSize(double v);  // truncated, made even, at least 2
    // Hands an additional parameter to the extended parameters window. No -1 rule:
    // -1 V is a valid offset.
    void SetAdditional(ParameterKind kind, double v);
    // The setter of `kind` for the current type (the numeric entry's commit).
    void SetByKind(ParameterKind kind, double v);
    // The amplitude setter of the current type with -1.
    void ReapplyAmplitude();
    // Start-up: every setter with -1 so that all labels show the loaded values.
    void ShowAll();

    // Stored value of `kind` (the sample clock for kind 1 on type 7).
    double ValueOf(ParameterKind kind) const;
    // The offset in volts: the extended parameters window's when it exists.
    double Offset() const;

    // `SelectAttenuator` of a peak voltage; see amplitude_scale.h.
    int SelectAttenuator(double peak) const { return scale_.SelectAttenuator(peak); }
    // Stage, code and realised amplitude of the current amplitude and offset.
    void RealiseAmplitude();
    // AmpRez and WithinVoltageLimits; for the file type also the file attenuator.
    void ShowOutputRange(double x);
    // After a computation: 0 output range, 1 FreqRez, 2 PerRez, 3 DurRez, other kinds
    // the extended parameters window's realised value.
    void ShowRealised(ParameterKind kind);

    // FormatValue with the current language's prefixes; a failure sets the flag.
    std::string Format(double value, std::string_view unit);
    std::string Text(int id) const { return texts_ ? texts_(id) : std::string(); }
    bool FormattingFailed() const { return formattingFailed_; }
    void ClearFormattingFailed() { formattingFailed_ = false; }

    // Cursor, block start and last sample of the block, for the data viewer.
    const std::array<PreviewMarker, 3>& Markers() const { return markers_; }
    std::array<PreviewMarker, 3>& Markers() { return markers_; }

private:
    void Show(ParameterLabel label, double value, int unitId);
    void ShowBlock();
    void Restart();
    void ApplyAmplitudeLimits(double fullScale);

    ParameterView& view_;
    TextLookup texts_;
    AdditionalParameters* additional_ = nullptr;
    IADCDevice* device_ = nullptr;
    ModelSettings settings_;
    BoardValues board_;
    bool boardOpened_ = false;
    AmplitudeScale scale_;
    LimitSet limits_;
    std::array<WaveformLimits, kWaveformRecordCount> records_{};
    SignalParameters params_;
    std::array<PreviewMarker, 3> markers_;
    bool formattingFailed_ = false;
};
