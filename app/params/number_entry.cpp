#include "app/params/number_entry.h"

#include <algorithm>
#include <cmath>

double SnapDigit(double q) {
    constexpr double tolerance = 1e-8;
    if (std::fabs(q) < tolerance) {
        return 0;
    }
    for (int k = 1; k <= 9; ++k) {
        if (std::fabs(q - k) < tolerance) {
            return k;
        }
    }
    return q;
}

namespace {

double Power10(int e) {
    return std::pow(10.0, e);
}

} // namespace

NumberEntry::NumberEntry(int digits, int point, int emin, int emax)
    : count_(std::clamp(digits, 1, kMaxDigits)), point_(0), emin_(std::min(emin, emax)),
      emax_(std::max(emin, emax)) {
    SetPoint(point);
}

void NumberEntry::SetPoint(int point) {
    point_ = std::clamp(point, 0, count_ - 1);
}

double NumberEntry::ReadValue(const uint8_t* digits, int exponent, bool negative) const {
    double sum = 0;
    for (int i = 0; i < count_; ++i) {
        sum += digits[i] * Power10(count_ - point_ - i - 1 + exponent);
    }
    return negative ? -sum : sum;
}

void NumberEntry::LoadValue(double v) {
    // 1. Sign and magnitude.
    lastValue_ = v;
    int e = 0;
    negative_ = v < 0;
    const double m = std::fabs(v);

    // 2. The largest magnitude the digits hold at exponent 0: 999.999 for 5 and 2.
    const double largest = Power10(count_ - point_) - Power10(-point_ - 1);

    // 3. The smallest exponent in emin .. emax with m / 10^e <= largest; the bound
    // reached when none qualifies.
    if (m > 0) {
        if (m >= largest) {
            e = 0;
            while (m / Power10(e) > largest && e < emax_) {
                ++e;
            }
        } else {
            e = 0;
            while (e > emin_ && m / Power10(e - 1) <= largest) {
                --e;
            }
        }
    }

    // 4. Digits from the most significant down; noise near a whole digit is snapped
    // and every digit is kept within 0 .. 9 (a rounding remainder a hair below zero
    // gives 0, an oversized magnitude gives 9s).
    double x = m / Power10(e);
    for (int i = 0; i < count_; ++i) {
        const double p = Power10(count_ - point_ - i - 1);
        double d = std::floor(SnapDigit(x / p));
        if (!(d >= 0)) { // also a value that is not a number
            d = 0;
        } else if (d > 9) {
            d = 9;
        }
        digits_[static_cast<std::size_t>(i)] = static_cast<uint8_t>(d);
        x -= p * d;
    }

    // 5. Normalise: all zeros show exponent 0; otherwise shift right while the units
    // digit is 0, at most as often as there are zero digits.
    const int zeros =
        static_cast<int>(std::count(digits_.begin(), digits_.begin() + count_, uint8_t{0}));
    if (zeros == count_) {
        e = 0;
    } else {
        const auto units = static_cast<std::size_t>(count_ - point_ - 1);
        for (int shifts = 0; shifts < zeros && digits_[units] == 0; ++shifts) {
            for (int i = count_ - 1; i > 0; --i) {
                digits_[static_cast<std::size_t>(i)] = digits_[static_cast<std::size_t>(i - 1)];
            }
            digits_[0] = 0;
            ++e;
        }
    }
    exponent_ = e;
}
