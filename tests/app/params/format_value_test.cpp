// FormatValue: prefix choice, the seven-character number, units and failures.

#include "app/params/format_value.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

struct FormatCase {
    double value;
    const char* unit;
    const char* expected;
};

class FormatValueTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatValueTest, WritesNumberPrefixAndUnit) {
    const FormatCase& c = GetParam();
    bool failed = false;
    EXPECT_EQ(FormatValue(c.value, c.unit, EnglishText, &failed), c.expected);
    EXPECT_FALSE(failed);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatValueTest,
    ::testing::Values(FormatCase{0.025, "Hz", "25.0000 mHz"}, FormatCase{1e7, "Hz", "10.0000 MHz"},
                      FormatCase{-5, "V", "-5.0000 V"}, FormatCase{1e-7, "s", "100.000 ns"},
                      FormatCase{1000, "Hz", "1.00000 kHz"}, // equality picks the larger prefix
                      FormatCase{40, "s", "40.0000 s"}, FormatCase{0, "V", "0.00000 V"},
                      FormatCase{1e9, "Hz", "1.00000 GHz"}, FormatCase{1e8, "Hz", "100.000 MHz"},
                      FormatCase{6103.515625, "Hz", "6.10351 kHz"}, // cut, not rounded
                      FormatCase{123456.7, "Hz", "123.456 kHz"},
                      FormatCase{0.001, "V", "1.00000 mV"}, FormatCase{1e-6, "s", "1.00000 µs"},
                      FormatCase{1e-9, "s", "1.00000 ns"},
                      FormatCase{-0.0005, "V", "-500.00 µV"}, // the sign takes one of the seven
                      FormatCase{1, "V", "1.00000 V"}, FormatCase{0.999, "V", "999.000 mV"},
                      // Below 1e-9 the smallest prefix stays.
                      FormatCase{5e-10, "s", "0.50000 ns"}, FormatCase{1e-300, "s", "0.00000 ns"},
                      FormatCase{-1e-12, "V", "-0.0010 nV"}));

TEST(FormatValue, PrefixesComeFromTheLanguageTable) {
    auto russian = [](int id) -> std::string {
        switch (id) {
        case 163:
            return "м";
        case 165:
            return "М";
        default:
            return "?";
        }
    };
    EXPECT_EQ(FormatValue(0.025, "Гц", russian), "25.0000 мГц");
    EXPECT_EQ(FormatValue(2e6, "Гц", russian), "2.00000 МГц");
    // No table at all: the number and unit still show.
    EXPECT_EQ(FormatValue(0.025, "Hz", TextLookup{}), "25.0000 Hz");
}

TEST(FormatValue, NumbersThatCannotBeWrittenFailAndStayEmpty) {
    for (double v :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        bool failed = false;
        EXPECT_EQ(FormatValue(v, "V", EnglishText, &failed), "");
        EXPECT_TRUE(failed) << v;
    }
    // A later success does not clear the flag: the caller does.
    bool failed = true;
    EXPECT_EQ(FormatValue(1, "V", EnglishText, &failed), "1.00000 V");
    EXPECT_TRUE(failed);
}

TEST(FormatValue, WritesADecimalPointInACommaLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    const std::string text = FormatValue(0.025, "Hz", EnglishText);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "25.0000 mHz");
}

} // namespace
