// NumberEntry: LoadValue (exponent search, digits, normalisation), ReadValue and
// SnapDigit, and the round trip over every kind's range.

#include "app/params/number_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace {

// "123.45" style text of the digits with the point.
std::string Shown(const NumberEntry& entry) {
    std::string text;
    const int n = entry.DigitCount();
    for (int i = 0; i < n; ++i) {
        if (entry.Point() > 0 && i == n - entry.Point()) {
            text += '.';
        }
        text += static_cast<char>('0' + entry.Digit(i));
    }
    return text;
}

struct LoadCase {
    double value;
    const char* digits;
    int exponent;
    bool negative;
};

class LoadValueTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadValueTest, ChoosesDigitsExponentAndSign) {
    NumberEntry entry;
    entry.LoadValue(GetParam().value);
    EXPECT_EQ(Shown(entry), GetParam().digits);
    EXPECT_EQ(entry.Exponent(), GetParam().exponent);
    EXPECT_EQ(entry.Negative(), GetParam().negative);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LoadValueTest,
    ::testing::Values(LoadCase{0.5, "005.00", -1, false}, LoadCase{123.45, "123.45", 0, false},
                      LoadCase{1e7, "001.00", 7, false}, LoadCase{0.025, "025.00", -3, false},
                      LoadCase{0, "000.00", 0, false}, LoadCase{-5, "005.00", 0, true},
                      LoadCase{999.99, "999.99", 0, false}, LoadCase{1000, "001.00", 3, false},
                      LoadCase{40, "004.00", 1, false}, LoadCase{12.5, "125.00", -1, false},
                      LoadCase{1e-7, "001.00", -7, false}, LoadCase{0.3, "003.00", -1, false},
                      // The units digit of "610.35" is 0: shifted once.
                      LoadCase{6103.515625, "061.03", 2, false}, LoadCase{1e8, "001.00", 8, false},
                      LoadCase{-12, "012.00", 0, true},
                      // Below what the lowest exponent shows: zero.
                      LoadCase{1e-12, "000.00", 0, false},
                      // Too large for the top exponent: all nines there.
                      LoadCase{1e12, "999.99", 8, false},
                      LoadCase{std::numeric_limits<double>::infinity(), "999.99", 8, false},
                      LoadCase{std::nan(""), "000.00", 0, false}));

TEST(NumberEntry, WholeNumbersWithoutAPoint) {
    NumberEntry entry(5, 0, -9, 8);
    entry.LoadValue(524287);
    EXPECT_EQ(Shown(entry), "52428");
    EXPECT_EQ(entry.Exponent(), 1);
    entry.LoadValue(10);
    EXPECT_EQ(Shown(entry), "00001");
    EXPECT_EQ(entry.Exponent(), 1);
    entry.LoadValue(7);
    EXPECT_EQ(Shown(entry), "00007");
    EXPECT_EQ(entry.Exponent(), 0);
}

TEST(NumberEntry, ReadValueUsesThePointPosition) {
    NumberEntry entry;
    const uint8_t digits[5] = {1, 2, 3, 4, 5};
    EXPECT_DOUBLE_EQ(entry.ReadValue(digits, 0, false), 123.45);
    EXPECT_DOUBLE_EQ(entry.ReadValue(digits, -3, true), -0.12345);
    entry.SetPoint(1);
    EXPECT_DOUBLE_EQ(entry.ReadValue(digits, 0, false), 1234.5);
    entry.SetPoint(4);
    EXPECT_DOUBLE_EQ(entry.ReadValue(digits, 2, false), 123.45);
    entry.SetPoint(0);
    EXPECT_DOUBLE_EQ(entry.ReadValue(digits, 1, false), 123450);
    entry.SetPoint(9); // limited to the digits
    EXPECT_EQ(entry.Point(), 4);
}

TEST(NumberEntry, LastValueIsKept) {
    NumberEntry entry;
    entry.LoadValue(-3.25);
    EXPECT_EQ(entry.LastValue(), -3.25);
    EXPECT_DOUBLE_EQ(entry.Value(), -3.25);
}

TEST(SnapDigit, SnapsNoiseNearWholeDigitsOnly) {
    EXPECT_EQ(SnapDigit(5e-9), 0);
    EXPECT_EQ(SnapDigit(-5e-9), 0);
    EXPECT_EQ(SnapDigit(2.999999995), 3);
    EXPECT_EQ(SnapDigit(9.000000009), 9);
    EXPECT_EQ(SnapDigit(2.99999998), 2.99999998);
    EXPECT_EQ(SnapDigit(9.99999999999), 9.99999999999); // 10 is not a digit
    EXPECT_EQ(SnapDigit(0.5), 0.5);
}

struct KindRange {
    const char* name;
    double minimum;
    double maximum;
    int point;
};

class RoundTrip : public ::testing::TestWithParam<KindRange> {};

// For random values inside a kind's limits, the digits shown give back the value to
// within one unit of the last digit shown.
TEST_P(RoundTrip, LoadThenReadIsWithinOneUnitOfTheLastDigit) {
    const KindRange& range = GetParam();
    NumberEntry entry(5, range.point, -9, 8);
    std::mt19937_64 random(20240607);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double lowest = range.minimum > 0 ? range.minimum : (range.point == 0 ? 1 : 1e-12);
    const double logLow = std::log(lowest);
    const double logHigh = std::log(std::max(std::fabs(range.maximum), std::fabs(range.minimum)));
    for (int i = 0; i < 10000; ++i) {
        double v = 0;
        if (i % 2 == 0) {
            v = range.minimum + (range.maximum - range.minimum) * unit(random);
        } else {
            // Log-uniform magnitudes, so every exponent is reached.
            v = std::exp(logLow + (logHigh - logLow) * unit(random));
            if (range.minimum < 0 && unit(random) < 0.5) {
                v = -v;
            }
            v = std::clamp(v, range.minimum, range.maximum);
        }
        if (range.point == 0) {
            v = std::floor(v);
        }
        entry.LoadValue(v);
        const double read = entry.Value();
        const double lastDigit = std::pow(10.0, entry.Exponent() - entry.Point());
        ASSERT_LE(std::fabs(read - v), lastDigit * (1 + 1e-9))
            << range.name << " value " << v << " read " << read << " exponent " << entry.Exponent();
        ASSERT_GE(entry.Exponent(), -9);
        ASSERT_LE(entry.Exponent(), 8);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RoundTrip,
    ::testing::Values(KindRange{"Amplitude", 0, 5, 2}, KindRange{"Frequency", 0.025, 1e7, 2},
                      KindRange{"Period", 1e-7, 40, 2}, KindRange{"Duration", 0, 40, 2},
                      KindRange{"SampleClock", 6103.515625, 1e8, 2},
                      KindRange{"BlockStart", 0, 524286, 0}, KindRange{"BlockSize", 2, 524288, 0},
                      KindRange{"Offset", -10, 10, 2}, KindRange{"AmplitudePointThree", 0, 5, 3},
                      KindRange{"FrequencyPointOne", 0.025, 1e7, 1}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
