#include "app/params/signal_types.h"

#include <array>

namespace {

constexpr unsigned kPeriodic =
    KindBit(kind::Amplitude) | KindBit(kind::Frequency) | KindBit(kind::Period);

constexpr std::array<SignalTypeInfo, signal_type::Count> kTypes{{
    {151, 151, KindBit(kind::Amplitude), 4, 0, "", WaveformRecord::Constant},
    {152, 152, kPeriodic, 0, 0, "SinQuality", WaveformRecord::Sine},
    {153, 153, kPeriodic | KindBit(kind::Duration), 5, 0, "ImpulseQuality", WaveformRecord::Pulse},
    {154, 154, kPeriodic, 3, 0, "MeandrQuality", WaveformRecord::Meander},
    {155, 155, kPeriodic, 1, 0, "TriangleQuality", WaveformRecord::Triangle},
    {156, 156, kPeriodic, 2, 0, "SawQuality", WaveformRecord::Saw},
    {157, 157, kPeriodic, 2, 1, "SawQuality", WaveformRecord::Saw},
    {184, 221,
     KindBit(kind::Amplitude) | KindBit(kind::Frequency) | KindBit(kind::BlockStart) |
         KindBit(kind::BlockSize),
     6, 0, "", WaveformRecord::File},
}};

} // namespace

const SignalTypeInfo& SignalTypeOf(int type) {
    return kTypes[IsSignalType(type) ? static_cast<std::size_t>(type) : 0];
}
