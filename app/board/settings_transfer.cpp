#include "app/board/settings_transfer.h"

namespace board {
namespace {

struct QualityKey {
    WaveformRecord record;
    int params::Settings::*field;
};

constexpr QualityKey kQualityKeys[] = {
    {WaveformRecord::Sine, &params::Settings::sinQuality},
    {WaveformRecord::Pulse, &params::Settings::impulseQuality},
    {WaveformRecord::Meander, &params::Settings::meandrQuality},
    {WaveformRecord::Triangle, &params::Settings::triangleQuality},
    {WaveformRecord::Saw, &params::Settings::sawQuality},
};

} // namespace

void CopySettingsToModel(const params::Settings& settings, ParameterModel& model) {
    model.SetSettings(ModelSettings{settings.minVolts, settings.maxVolts, settings.rLoad});
    for (const QualityKey& key : kQualityKeys) {
        model.Record(key.record).quality = settings.*key.field;
    }
    SignalParameters& p = model.Params();
    p.type = IsSignalType(settings.signalType) ? settings.signalType : signal_type::Constant;
    p.amplitude = settings.amplitude;
    p.frequency = settings.frequency;
    if (settings.frequency != 0) {
        p.period = 1 / settings.frequency;
    }
    p.sampleClock = settings.frequencyD;
    p.duration = settings.duration;
    p.offset = settings.offset;
    p.blockStart = settings.blockStart;
    p.blockSize = settings.blockSize;
    p.polarity = settings.polarity;
    p.filter = settings.filterActive;
    p.playLoop = settings.playLoop;
    p.impulseOptimize = settings.impulseOptimize;
    p.quality = model.Record(SignalTypeOf(p.type).record).quality;
    p.recomputeNeeded = true;
}

void CopyModelToSettings(const ParameterModel& model, params::Settings& settings) {
    for (const QualityKey& key : kQualityKeys) {
        settings.*key.field = model.Record(key.record).quality;
    }
    const SignalParameters& p = model.Params();
    settings.signalType = p.type;
    settings.amplitude = p.amplitude;
    settings.frequency = p.frequency;
    settings.frequencyD = p.sampleClock;
    settings.duration = p.duration;
    settings.offset = model.Offset();
    settings.blockStart = p.blockStart;
    settings.blockSize = p.blockSize;
    settings.polarity = p.polarity;
    settings.filterActive = p.filter;
    settings.playLoop = p.playLoop;
    settings.impulseOptimize = p.impulseOptimize;
}

} // namespace board
