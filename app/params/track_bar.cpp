#include "app/params/track_bar.h"

#include "app/params/number_entry.h"

#include <cmath>

namespace {

// Truncates toward zero into lo .. hi; a value that is not a number gives lo. A value
// a rounding error below a whole position counts as that position, so that the limit
// values map to the end positions they came from.
int TruncInto(long double v, int lo, int hi) {
    v += 1e-6L;
    if (!(v >= lo)) {
        return lo;
    }
    if (v >= hi) {
        return hi;
    }
    return static_cast<int>(std::trunc(v));
}

long double LogSpan() {
    return std::pow(static_cast<long double>(BarMapping::kLogRatio), 200.0L) - 1;
}

} // namespace

BarMapping BarMapping::Log(double minimum, double maximum, bool lowestFromMinimum) {
    BarMapping m;
    m.logScale = true;
    m.step = static_cast<long double>(maximum) / LogSpan();
    m.highest = kLogTop;
    m.lowest = 0;
    if (lowestFromMinimum && m.step != 0) {
        m.lowest = TruncInto(std::log(static_cast<long double>(minimum) / m.step + 1) /
                                 std::log(static_cast<long double>(kLogRatio)),
                             0, kLogTop);
    }
    return m;
}

BarMapping BarMapping::Block(double maximum, bool fileLoaded) {
    BarMapping m;
    m.step = fileLoaded ? static_cast<long double>(maximum) / kLinearTop : 1.0L;
    m.lowest = 0;
    m.highest = kLinearTop;
    return m;
}

BarMapping BarMapping::Additional(double minimum, double maximum) {
    BarMapping m;
    m.base = minimum < 0 ? minimum : 0;
    m.step = (static_cast<long double>(maximum) - minimum) / kLinearTop;
    if (m.step > 0) {
        m.lowest = TruncInto((minimum - m.base) / m.step, 0, kLinearTop);
        m.highest = TruncInto((maximum - m.base) / m.step, 0, kLinearTop);
    }
    return m;
}

int BarMapping::PositionOf(double v) const {
    long double position = 0;
    if (step != 0) {
        position = logScale ? std::log(v / step + 1) / std::log(static_cast<long double>(kLogRatio))
                            : (v - base) / step;
    }
    return TruncInto(position, lowest, highest);
}

double BarMapping::ValueAt(int position) const {
    const long double p =
        logScale
            ? std::pow(static_cast<long double>(kLogRatio), static_cast<long double>(position)) - 1
            : static_cast<long double>(position);
    long double v = step * p;
    if (v > 99999999.9L) {
        v = 1e8L;
    }
    const double value = static_cast<double>(v) + base;
    const double snapped = SnapDigit(std::fabs(value));
    return value < 0 ? -snapped : snapped;
}

int BarMapping::PressPosition(int x, int width) const {
    constexpr int margin = 12;
    if (x < margin) {
        return lowest;
    }
    if (x > width - margin || width <= 2 * margin) {
        return highest;
    }
    const double exact = lowest + static_cast<double>(x - margin) *
                                      (static_cast<double>(highest) - lowest) /
                                      (width - 2 * margin);
    // Nearer whole position, halves down.
    return static_cast<int>(std::ceil(exact - 0.5));
}
