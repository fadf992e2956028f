// Number tokens of configuration lines: every accepted form, the invalid ones and
// the comment result.

#include "app/params/config_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace {

using params::NumberForm;
using params::NumberStatus;
using params::ParseNumber;

struct NumberCase {
    const char* text;
    NumberStatus status;
    double value;                 // checked when Ok
    std::optional<int32_t> asInt; // checked when Ok
};

constexpr std::optional<int32_t> NoInt = std::nullopt;

std::ostream& operator<<(std::ostream& out, const NumberCase& c) {
    return out << '"' << c.text << '"';
}

class ParseNumberTable : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTable, ValueAndIntValue) {
    const NumberCase& c = GetParam();
    const auto number = ParseNumber(c.text);
    ASSERT_EQ(number.status, c.status);
    if (c.status == NumberStatus::Ok) {
        EXPECT_DOUBLE_EQ(number.value, c.value);
        EXPECT_EQ(number.asInt, c.asInt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ParseNumberTable,
    ::testing::Values(
        NumberCase{"25", NumberStatus::Ok, 25, 25}, NumberCase{"  25", NumberStatus::Ok, 25, 25},
        NumberCase{"+7", NumberStatus::Ok, 7, 7}, NumberCase{"-7", NumberStatus::Ok, -7, -7},
        NumberCase{"-1.5E-1", NumberStatus::Ok, -0.15, 0},
        NumberCase{"1E+3", NumberStatus::Ok, 1000, 1000},
        NumberCase{"1E-3", NumberStatus::Ok, 0.001, 0},
        // "D" is an exponent mark like "E"
        NumberCase{"1D3", NumberStatus::Ok, 1000, 1000},
        NumberCase{"2.5D-1", NumberStatus::Ok, 0.25, 0}, NumberCase{"5.", NumberStatus::Ok, 5, 5},
        NumberCase{".5", NumberStatus::Ok, 0.5, 1}, NumberCase{"2K", NumberStatus::Ok, 2048, 2048},
        NumberCase{"3M", NumberStatus::Ok, 3145728, 3145728},
        NumberCase{"-2K", NumberStatus::Ok, -2048, -2048},
        NumberCase{"2.5K", NumberStatus::Ok, 2560, 2560},
        NumberCase{"0X10", NumberStatus::Ok, 16, 16}, NumberCase{"0x1f", NumberStatus::Ok, 31, 31},
        // the writer's hexadecimal form of -1 reads back as -1
        NumberCase{"0XFFFFFFFF", NumberStatus::Ok, 4294967295.0, -1},
        NumberCase{"0X100000000", NumberStatus::Ok, 4294967296.0, NoInt},
        NumberCase{"0XFFFFFFFFFFFFFFFF", NumberStatus::Ok, 18446744073709551615.0, NoInt},
        NumberCase{"2147483647", NumberStatus::Ok, 2147483647.0, 2147483647},
        NumberCase{"-2147483648", NumberStatus::Ok, -2147483648.0,
                   std::numeric_limits<int32_t>::min()},
        // outside the int range: a double value, but no wrapped int
        NumberCase{"2147483648", NumberStatus::Ok, 2147483648.0, NoInt},
        NumberCase{"4294967297", NumberStatus::Ok, 4294967297.0, NoInt},
        NumberCase{"1E10", NumberStatus::Ok, 1e10, NoInt},
        // rounding half up, also below zero
        NumberCase{"2.5", NumberStatus::Ok, 2.5, 3}, NumberCase{"2.4", NumberStatus::Ok, 2.4, 2},
        NumberCase{"-2.5", NumberStatus::Ok, -2.5, -2},
        NumberCase{"-1.6", NumberStatus::Ok, -1.6, -2},
        NumberCase{"-0.000000", NumberStatus::Ok, 0, 0},
        NumberCase{"6103.515625", NumberStatus::Ok, 6103.515625, 6104}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ParseNumberTable,
    ::testing::Values(NumberCase{"", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"   ", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1.2.3", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E5E5", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E5D3", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E+", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"E5", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E5.5", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"-", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"--5", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1-2", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1.5-", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"K", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{".", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1K2", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"2KK", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"12A", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"ENGLISH", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"0X", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"0XG1", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"-0X10", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"0X10K", NumberStatus::Invalid, 0, NoInt},
                      // beyond 64 bits or the double range: refused, not wrapped
                      NumberCase{"0X11112222333344445", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"99999999999999999999", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"9223372036854775807K", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E400", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{"1E308M", NumberStatus::Invalid, 0, NoInt},
                      NumberCase{";5", NumberStatus::Comment, 0, NoInt},
                      NumberCase{"  ; 5", NumberStatus::Comment, 0, NoInt}));

TEST(ParseNumber, ReadsConsecutiveTokensOfALine) {
    const std::string line = "A 12 -3.5 0X1F";
    auto number = ParseNumber(line, 1);
    ASSERT_EQ(number.status, NumberStatus::Ok);
    EXPECT_EQ(number.asInt, 12);
    EXPECT_EQ(number.form, NumberForm::Integer);
    EXPECT_EQ(number.end, 4u);

    number = ParseNumber(line, number.end);
    ASSERT_EQ(number.status, NumberStatus::Ok);
    EXPECT_DOUBLE_EQ(number.value, -3.5);
    EXPECT_EQ(number.form, NumberForm::Floating);

    number = ParseNumber(line, number.end);
    ASSERT_EQ(number.status, NumberStatus::Ok);
    EXPECT_EQ(number.asInt, 31);
    EXPECT_EQ(number.form, NumberForm::Hexadecimal);

    EXPECT_EQ(ParseNumber(line, number.end).status, NumberStatus::Invalid);
    EXPECT_EQ(ParseNumber(line, line.size() + 10).status, NumberStatus::Invalid);
}

TEST(ParseNumber, TokenEndsAtTheFirstByteNotAboveBlank) {
    // a tab or control byte ends the token like a blank does
    const std::string line = "3\t4";
    const auto number = ParseNumber(line);
    ASSERT_EQ(number.status, NumberStatus::Ok);
    EXPECT_EQ(number.asInt, 3);
    EXPECT_EQ(number.end, 1u);
}

TEST(ParseNumber, NeverReadsPastTheEndOfTheLine) {
    // the zero byte ends the line; the number behind it belongs to the next line
    const std::string text("  \0 5", 5);
    EXPECT_EQ(ParseNumber(text).status, NumberStatus::Invalid);
    const std::string cut("7\0"
                          "8",
                          3);
    const auto number = ParseNumber(cut);
    ASSERT_EQ(number.status, NumberStatus::Ok);
    EXPECT_EQ(number.asInt, 7);
}

} // namespace
