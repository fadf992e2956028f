#include "app/params/amplitude_scale.h"

#include <cmath>
#include <limits>

double AmplitudeScale::Step() const {
    return std::ldexp(fullScale, -(codeBits - 1));
}

double AmplitudeScale::Gain(int stage) const {
    if (stage < 0 || static_cast<std::size_t>(stage) >= gains.size()) {
        return 1;
    }
    return gains[static_cast<std::size_t>(stage)];
}

int AmplitudeScale::SelectAttenuator(double peak) const {
    double g = fullScale;
    int k = 0;
    for (std::size_t i = 0; i < gains.size(); ++i) {
        g *= gains[i];
        // Written so that a peak that is not a number stops at once.
        if (!(peak <= g && peak <= fullScale * gains[i])) {
            break;
        }
        k = static_cast<int>(i);
    }
    return k;
}

int32_t AmplitudeScale::Code(double volts, int stage) const {
    double q = volts / Step();
    const double gain = Gain(stage);
    if (gain != 0) {
        q /= gain;
    }
    q = std::trunc(q);
    if (std::isnan(q)) {
        return 0;
    }
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (q <= lo) {
        return std::numeric_limits<int32_t>::min();
    }
    if (q >= hi) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(q);
}

int32_t AmplitudeScale::AmplitudeCode(double amplitude, int stage, bool constantType) const {
    if (amplitude == 0) {
        return constantType ? 0 : 1;
    }
    return Code(amplitude, stage);
}

double AmplitudeScale::Volts(int32_t code, int stage) const {
    return static_cast<double>(code) * Step() * Gain(stage);
}

int AmplitudeScale::FileStage(double peak, double amplitudeMax) const {
    int count = 0;
    for (double gain : gains) {
        if (!(peak <= amplitudeMax * gain)) {
            break;
        }
        ++count;
    }
    return count > 0 ? count - 1 : 0;
}
