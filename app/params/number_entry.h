#pragma once
// NumberEntry: the value of the numeric entry as digits x 10^exponent.
//
// N digits (most significant first) with r of them right of the decimal point; the
// value is sum(digit[i] x 10^(N - r - i - 1 + e)), negated when negative. LoadValue
// chooses the digits and exponent for a value so that it shows with as many
// significant digits as fit and the units digit is not a needless zero:
// 0.5 -> "005.00" x 10^-1, 123.45 -> "123.45" x 10^0, 1e7 -> "001.00" x 10^7.

#include <array>
#include <cstdint>

// Snaps floating-point noise in a digit quotient: 0 for |q| < 1e-8, k for q within
// 1e-8 of k = 1 .. 9, q unchanged otherwise.
double SnapDigit(double q);

class NumberEntry {
public:
    static constexpr int kMaxDigits = 8;

    // digits 1 .. kMaxDigits, point 0 .. digits - 1, exponent bounds emin <= emax.
    NumberEntry(int digits = 5, int point = 2, int emin = -9, int emax = 8);

    // Digits, exponent and sign of v (the algorithm is in number_entry.cpp). Every
    // digit stays within 0 .. 9: a magnitude too large for the top exponent shows
    // all nines.
    void LoadValue(double v);

    // The value of the given digits (most significant first, DigitCount() of them),
    // exponent and sign with this entry's point position.
    double ReadValue(const uint8_t* digits, int exponent, bool negative) const;
    // The value of this entry's own digits, exponent and sign.
    double Value() const { return ReadValue(digits_.data(), exponent_, negative_); }

    int DigitCount() const { return count_; }
    int Point() const { return point_; }
    void SetPoint(int point); // limited to 0 .. DigitCount() - 1
    int MinExponent() const { return emin_; }
    int MaxExponent() const { return emax_; }

    int Digit(int i) const { return digits_[static_cast<std::size_t>(i)]; }
    const uint8_t* Digits() const { return digits_.data(); }
    int Exponent() const { return exponent_; }
    bool Negative() const { return negative_; }
    void SetNegative(bool negative) { negative_ = negative; }
    double LastValue() const { return lastValue_; }

private:
    int count_;
    int point_;
    int emin_;
    int emax_;
    std::array<uint8_t, kMaxDigits> digits_{};
    int exponent_ = 0;
    bool negative_ = false;
    double lastValue_ = 0;
};
