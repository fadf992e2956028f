#include "app/params/parameter_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Peak voltage of a signal of amplitude a around offset off: the larger of
// |off + a| and |off - a|.
double PeakOf(double off, double a) {
    const double plus = std::fabs(off + a);
    const double minus = std::fabs(off - a);
    return minus <= plus ? plus : minus;
}

// Limits v to lo .. hi, the upper bound first.
double Limit(double v, double lo, double hi) {
    if (v > hi) {
        v = hi;
    }
    if (v < lo) {
        v = lo;
    }
    return v;
}

// trunc(v) as an int64 (the block setters compare and add in 64 bits).
int64_t TruncSamples(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    constexpr double bound = 4.0e18;
    return static_cast<int64_t>(std::trunc(Limit(v, -bound, bound)));
}

int32_t ToInt32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (v < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(v);
}

int64_t RoundDownToEven(int64_t v) {
    return v - (v % 2 != 0 ? (v > 0 ? 1 : -1) : 0);
}

} // namespace

double FullScaleOf(double maxVoltage, double rLoad) {
    if (!(maxVoltage > 0) || !std::isfinite(maxVoltage)) {
        return 0;
    }
    if (!(rLoad >= 0)) {
        rLoad = 50;
    }
    const auto v0 = static_cast<float>(maxVoltage);
    if (std::isinf(rLoad)) {
        return v0;
    }
    const auto r = static_cast<float>(rLoad);
    return static_cast<double>(v0 * r / (r + 50.0f));
}

ParameterModel::ParameterModel(ParameterView& view, TextLookup texts)
    : view_(view), texts_(std::move(texts)) {
    for (auto& marker : markers_) {
        marker = {kPreviewMarkerKind, kBlockColour, kBlockColour, 0.0f, 0};
    }
    markers_[0].colour = kCursorColour;
    markers_[0].secondColour = kCursorColour;
    markers_[2].position = static_cast<float>(params_.blockStart + params_.blockSize - 1);
}

WaveformLimits& ParameterModel::Record(WaveformRecord record) {
    return records_[static_cast<std::size_t>(record)];
}

const WaveformLimits& ParameterModel::Record(WaveformRecord record) const {
    return records_[static_cast<std::size_t>(record)];
}

void ParameterModel::DropSynthesiserQuality() {
    for (auto& record : records_) {
        if (record.quality == QualitySynthesiser) {
            record.quality = QualityNearest;
        }
    }
    if (params_.quality == QualitySynthesiser) {
        params_.quality = QualityNearest;
    }
}

void ParameterModel::ApplyAmplitudeLimits(double fullScale) {
    scale_.fullScale = fullScale;
    for (auto& record : records_) {
        record.limits.amplitudeMax = fullScale;
        record.limits.amplitudeMin = -fullScale;
    }
    limits_.amplitudeMax = fullScale;
    limits_.amplitudeMin = -fullScale;
}

void ParameterModel::OpenBoard(const BoardValues& board, IADCDevice* device) {
    board_ = board;
    device_ = device;
    boardOpened_ = true;
    scale_.codeBits = board.codeBits;
    scale_.gains = board.gains;
    ApplyAmplitudeLimits(FullScaleOf(board.maxVoltage, settings_.rLoad));
    limits_ = Record(SignalTypeOf(params_.type).record).limits;
}

void ParameterModel::ChangeLoadImpedance(double rLoad) {
    settings_.rLoad = rLoad;
    if (!boardOpened_) {
        return;
    }
    ApplyAmplitudeLimits(FullScaleOf(board_.maxVoltage, rLoad));
    const double maximum = limits_.amplitudeMax;
    if (params_.amplitude > maximum) {
        SetByKind(kind::Amplitude, maximum);
    }
    const double off = Offset();
    if (off > 2 * maximum) {
        SetAdditional(kind::Offset, 2 * maximum);
    } else if (off < -2 * maximum) {
        SetAdditional(kind::Offset, -2 * maximum);
    }
}

void ParameterModel::SelectType(int type) {
    params_.type = IsSignalType(type) ? type : signal_type::Constant;
    params_.quality = Record(SignalTypeOf(params_.type).record).quality;
    params_.recomputeNeeded = true;
    if (params_.type == signal_type::File) {
        SetSampleClock(-1);
    } else {
        SetFrequency(-1);
    }
    // The constant, periodic and file types realise and show the amplitude each in
    // their own way (code for 0, output-range format, file attenuator), so a stage
    // or range left from the previous type must not stand.
    ReapplyAmplitude();
}

void ParameterModel::SetLoadedFile(bool loaded, int32_t lastSampleIndex) {
    params_.fileLoaded = loaded;
    params_.lastSampleIndex = loaded && lastSampleIndex > 0 ? lastSampleIndex : 0;
}

void ParameterModel::SetPolarity(int polarity) {
    params_.polarity = polarity >= polarity::Positive && polarity <= polarity::Bipolar
                           ? polarity
                           : polarity::Bipolar;
    params_.recomputeNeeded = true;
    ReapplyAmplitude();
}

std::string ParameterModel::Format(double value, std::string_view unit) {
    return FormatValue(value, unit, texts_, &formattingFailed_);
}

void ParameterModel::Show(ParameterLabel label, double value, int unitId) {
    view_.SetLabel(label, Format(value, Text(unitId)));
}

void ParameterModel::Restart() {
    if (restartIfRunning) {
        restartIfRunning();
    }
}

double ParameterModel::Offset() const {
    return additional_ != nullptr ? additional_->GetEntered(kind::Offset) : params_.offset;
}

double ParameterModel::ValueOf(ParameterKind k) const {
    switch (k) {
    case kind::Amplitude:
        return params_.amplitude;
    case kind::Frequency:
        return params_.type == signal_type::File ? params_.sampleClock : params_.frequency;
    case kind::Period:
        return params_.period;
    case kind::Duration:
        return params_.duration;
    case kind::BlockStart:
        return params_.blockStart;
    case kind::BlockSize:
        return params_.blockSize;
    default:
        if (additional_ != nullptr) {
            return additional_->GetEntered(k);
        }
        return k == kind::Offset ? params_.offset : 0;
    }
}

void ParameterModel::SetAmplitude(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    if (!scale_.Known()) {
        return;
    }
    if (v == params_.amplitude) {
        return;
    }
    if (v == -1) {
        v = params_.amplitude;
    }
    params_.amplitude = v;
    params_.recomputeNeeded = true;
    Show(ParameterLabel::AmpMain, v, text_id::Volt);
    RealiseAmplitude();
    ShowOutputRange(v);
    Restart();
}

void ParameterModel::RealiseAmplitude() {
    const double a = params_.amplitude;
    const int stage = scale_.SelectAttenuator(PeakOf(Offset(), a));
    const int32_t code = scale_.AmplitudeCode(a, stage, params_.type == signal_type::Constant);
    params_.attenuator = stage;
    params_.amplitudeCode = code;
    params_.realisedAmplitude = scale_.Volts(code, stage);
}

void ParameterModel::SetFileAmplitude(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    if (v == params_.amplitude) {
        return;
    }
    if (v == -1) {
        v = params_.amplitude;
    }
    params_.amplitude = v;
    params_.recomputeNeeded = true;
    Show(ParameterLabel::AmpMain, v, text_id::Volt);
    ShowOutputRange(v);
    Restart();
}

void ParameterModel::ShowOutputRange(double x) {
    const double off = Offset();
    const double vMin = limits_.amplitudeMin;
    const double vMax = limits_.amplitudeMax;
    const std::string volt = Text(text_id::Volt);
    double lo = 0;
    double hi = 0;
    std::string text;

    if (params_.type == signal_type::File) {
        const int stage = scale_.FileStage(PeakOf(off, x), vMax);
        params_.fileAttenuator = stage;
        const double range = scale_.Gain(stage) * vMax;
        lo = Limit(off - range, -range, range);
        hi = Limit(off + range, -range, range);
        text = Format(lo, volt) + " / " + Format(hi, volt);
    } else if (params_.type == signal_type::Constant) {
        const double ar = params_.realisedAmplitude;
        const double v =
            Limit(params_.polarity == polarity::Negative ? off - ar : off + ar, vMin, vMax);
        lo = v;
        hi = v;
        text = Format(v, volt);
    } else {
        const double ar = params_.realisedAmplitude;
        switch (params_.polarity) {
        case polarity::Positive:
            hi = off + ar;
            lo = off;
            break;
        case polarity::Negative:
            hi = off;
            lo = off - ar;
            break;
        default:
            hi = off + ar;
            lo = off - ar;
            break;
        }
        lo = Limit(lo, vMin, vMax);
        hi = Limit(hi, vMin, vMax);
        text = Format(lo, volt) + " / " + Format(hi, volt);
    }
    view_.SetLabel(ParameterLabel::AmpRez, text);
    params_.withinVoltageLimits = lo >= settings_.minVolts && hi <= settings_.maxVolts;
}

void ParameterModel::SetFrequency(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    if (v == params_.frequency) {
        return;
    }
    if (v == -1) {
        v = params_.frequency;
    }
    params_.frequency = v;
    if (v != 0) {
        params_.period = 1 / v;
    }
    params_.recomputeNeeded = true;
    Show(ParameterLabel::FreqMain, params_.frequency, text_id::Hertz);
    Show(ParameterLabel::PerMain, params_.period, text_id::Second);
    Restart();
}

void ParameterModel::SetPeriod(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    if (v == params_.period) {
        return;
    }
    if (v == -1) {
        v = params_.period;
    }
    if (v != 0) {
        params_.frequency = 1 / v;
    }
    params_.period = v;
    params_.recomputeNeeded = true;
    Show(ParameterLabel::PerMain, params_.period, text_id::Second);
    Show(ParameterLabel::FreqMain, params_.frequency, text_id::Hertz);
    Restart();
}

void ParameterModel::SetDuration(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    if (v == params_.duration) {
        return;
    }
    if (v == -1) {
        v = params_.duration;
    }
    params_.duration = v;
    params_.recomputeNeeded = true;
    Show(ParameterLabel::DurMain, v, text_id::Second);
    Restart();
}

void ParameterModel::SetSampleClock(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    if (v == params_.sampleClock) {
        return;
    }
    if (v == -1) {
        v = params_.sampleClock;
    }
    params_.sampleClock = v;
    params_.recomputeNeeded = true;
    const std::string hertz = Text(text_id::Hertz);
    const std::string entered = Format(v, hertz);
    view_.SetLabel(ParameterLabel::FreqMain, entered);

    // The nearest clock each source can make; a failed call or an answer that is
    // not a positive number offers no candidate.
    bool found = false;
    double best = v;
    auto ask = [&](int32_t code, bool onlyWhenNearer) {
        double clock = v;
        if (device_->Control(code, &clock) != 1 || !(clock > 0) || !std::isfinite(clock)) {
            return;
        }
        if (!found || (onlyWhenNearer ? std::fabs(v - clock) < std::fabs(v - best)
                                      : std::fabs(v - clock) <= std::fabs(v - best))) {
            best = clock;
            found = true;
        }
    };
    if (device_ != nullptr) {
        ask(ctl::NearestClockAlt, true);
        // Code 65 wins unless 66 is strictly nearer.
        ask(ctl::NearestClock, false);
        if (board_.synthesiser) {
            ask(ctl::NearestSynthClock, true);
        }
    }
    params_.realisedSampleClock = best;
    view_.SetLabel(ParameterLabel::FreqRez, found ? Format(best, hertz) : entered);
    Restart();
}

void ParameterModel::ShowBlock() {
    view_.SetLabel(ParameterLabel::StartBlockMain, std::to_string(params_.blockStart));
    view_.SetLabel(ParameterLabel::SizeBlockMain, std::to_string(params_.blockSize));
    markers_[1].position = static_cast<float>(params_.blockStart);
    const int64_t last = int64_t{params_.blockStart} + params_.blockSize - 1;
    markers_[2].position = static_cast<float>(last < 0 ? 0 : last);
    if (previewChanged) {
        previewChanged();
    }
}

void ParameterModel::SetBlockStart(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    int64_t start = TruncSamples(v);
    if (start == params_.blockStart) {
        return;
    }
    if (v == -1) {
        start = params_.blockStart;
    }
    // A block never starts before the first sample.
    if (start < 0) {
        start = 0;
    }
    const int64_t total = int64_t{params_.lastSampleIndex} + 1;
    int64_t size = params_.blockSize;
    if (total < start + size) {
        size = total - start;
        if (size < 2) {
            size = 2;
        }
        size = RoundDownToEven(size);
        if (total < start + size) {
            start = 0;
        }
    }
    if (size < 2) {
        size = 2;
    }
    params_.blockStart = ToInt32(start);
    params_.blockSize = ToInt32(size);
    params_.recomputeNeeded = true;
    ShowBlock();
    Restart();
}

void ParameterModel::SetBlockSize(double v) {
    if (!std::isfinite(v)) {
        return;
    }
    int64_t size = TruncSamples(v);
    if (size == params_.blockSize) {
        return;
    }
    if (v == -1) {
        size = params_.blockSize;
    }
    const int64_t total = int64_t{params_.lastSampleIndex} + 1;
    int64_t start = params_.blockStart;
    if (total < start + size) {
        start = total - size;
        if (start < 0) {
            start = 0;
        }
    }
    size = RoundDownToEven(size);
    if (size < 2) {
        size = 2;
    }
    if (board_.memory > 0 && size > board_.memory) {
        size = std::max<int64_t>(2, RoundDownToEven(board_.memory));
    }
    // A block larger than the loaded file would be read past its end: it shrinks
    // to the file's even length.
    if (params_.fileLoaded && total < start + size) {
        size = std::max<int64_t>(2, RoundDownToEven(total - start));
    }
    params_.blockStart = ToInt32(start);
    params_.blockSize = ToInt32(size);
    params_.recomputeNeeded = true;
    ShowBlock();
    Restart();
}

void ParameterModel::SetAdditional(ParameterKind k, double v) {
    if (!std::isfinite(v)) {
        return;
    }
    bool changed = false;
    if (additional_ != nullptr) {
        changed = additional_->SetEntered(k, v);
        if (changed && k == kind::Offset) {
            params_.offset = additional_->GetEntered(k);
        }
    } else if (k == kind::Offset && v != params_.offset) {
        params_.offset = v;
        changed = true;
    }
    if (changed) {
        params_.recomputeNeeded = true;
    }
    if (params_.type != signal_type::File) {
        ShowOutputRange(params_.amplitude);
    } else if (k == kind::Offset) {
        if (previewChanged) {
            previewChanged();
        }
        ShowOutputRange(params_.amplitude);
    }
    if (changed) {
        Restart();
    }
}

void ParameterModel::SetByKind(ParameterKind k, double v) {
    const bool file = params_.type == signal_type::File;
    switch (k) {
    case kind::Amplitude:
        file ? SetFileAmplitude(v) : SetAmplitude(v);
        break;
    case kind::Frequency:
        file ? SetSampleClock(v) : SetFrequency(v);
        break;
    case kind::Period:
        SetPeriod(v);
        break;
    case kind::Duration:
        SetDuration(v);
        break;
    case kind::BlockStart:
        SetBlockStart(v);
        break;
    case kind::BlockSize:
        SetBlockSize(v);
        break;
    default:
        SetAdditional(k, v);
        break;
    }
}

void ParameterModel::ReapplyAmplitude() {
    if (params_.type == signal_type::File) {
        SetFileAmplitude(-1);
    } else {
        SetAmplitude(-1);
    }
}

void ParameterModel::ShowAll() {
    ReapplyAmplitude();
    // The frequency place shows the sample clock only for the file type.
    SetByKind(kind::Frequency, -1);
    SetDuration(-1);
    SetBlockStart(-1);
    SetBlockSize(-1);
}

void ParameterModel::ShowRealised(ParameterKind k) {
    switch (k) {
    case kind::Amplitude:
        ShowOutputRange(params_.realisedAmplitude);
        break;
    case kind::Frequency:
        Show(ParameterLabel::FreqRez, params_.realisedFrequency, text_id::Hertz);
        break;
    case kind::Period: {
        const double f = params_.realisedFrequency;
        Show(ParameterLabel::PerRez, f != 0 ? 1 / f : 0, text_id::Second);
        break;
    }
    case kind::Duration:
        Show(ParameterLabel::DurRez, params_.realisedDuration, text_id::Second);
        break;
    default:
        if (additional_ != nullptr) {
            additional_->ShowReal(k);
        }
        break;
    }
}
