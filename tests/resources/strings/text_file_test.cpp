// Reading en.txt / ru.txt: what a sound line becomes, and that every kind of bad
// line is refused with its line number and a message that says what is wrong.

#include "resources/strings/text_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

constexpr int kLastId = 3;

struct BadLine {
    const char* name;
    std::string line; // written as line 3, after sound lines for ids 1 and 2
    const char* message;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const BadLine& c, std::ostream* os) {
    *os << c.name;
}

class BadLines : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadLines, AreRefusedWithLineAndReason) {
    const TextFile file = ParseTextFile("1\ta\n2\tb\n" + GetParam().line + "\n", kLastId);
    ASSERT_FALSE(file.errors.empty());
    EXPECT_EQ(file.errors.front().line, 3);
    EXPECT_NE(file.errors.front().message.find(GetParam().message), std::string::npos)
        << file.errors.front().message;
    // Besides the line itself, at most the id it failed to give is reported missing.
    for (std::size_t i = 1; i < file.errors.size(); ++i) {
        EXPECT_EQ(file.errors[i].line, 0) << file.errors[i].message;
    }
    EXPECT_FALSE(file.texts.contains(3));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadLines,
    ::testing::Values(BadLine{"NoTab", "3 text", "missing tab"},
                      BadLine{"BlankForTab", "3    text", "missing tab"},
                      BadLine{"EmptyId", "\ttext", "missing id"},
                      BadLine{"LetterId", "x\ttext", "id 'x' is not a number"},
                      BadLine{"SignedId", "+3\ttext", "is not a number"},
                      BadLine{"NegativeId", "-1\ttext", "is not a number"},
                      BadLine{"BlankBeforeId", " 3\ttext", "is not a number"},
                      BadLine{"IdZero", "0\ttext", "id 0 is out of range 1..3"},
                      BadLine{"IdPastLast", "4\ttext", "id 4 is out of range 1..3"},
                      BadLine{"HugeId", "99999999999999999999999\ttext", "is out of range"},
                      BadLine{"DuplicateId", "2\tagain", "id 2 is already given on line 2"},
                      BadLine{"UnknownEscape", "3\ta\\qb", "unknown escape \\q"},
                      BadLine{"EscapedNonAscii", "3\ta\\Жb", "unknown escape after a backslash"},
                      BadLine{"BackslashAtEnd", "3\tab\\", "backslash at the end"},
                      BadLine{"RawTabInText", "3\ta\tb", "second tab"},
                      BadLine{"ControlCharacter", "3\ta\x01z", "control character 1"},
                      BadLine{"CarriageReturnInside", "3\ta\rb", "control character 13"},
                      BadLine{"DeleteCharacter", "3\ta\x7Fz", "control character 127"},
                      BadLine{"InvalidByte", "3\tab\xFFz", "invalid UTF-8 at column 5"},
                      BadLine{"OverlongSlash", "3\t\xC0\xAF", "invalid UTF-8 at column 3"},
                      BadLine{"EncodedSurrogate", "3\t\xED\xA0\x80", "invalid UTF-8"},
                      BadLine{"AboveUnicode", "3\t\xF4\x90\x80\x80", "invalid UTF-8"},
                      BadLine{"TruncatedSequence", "3\t\xD0", "invalid UTF-8"},
                      BadLine{"TooLong", "3\t" + std::string(1025, 'a'), "1025 UTF-16 units"},
                      BadLine{"TooLongInPairs",
                              "3\t" +
                                  [] {
                                      std::string text;
                                      for (int i = 0; i < 513; ++i) {
                                          text +=
                                              "\xF0\x9F\x98\x80"; // one character, two UTF-16 units
                                      }
                                      return text;
                                  }(),
                              "1026 UTF-16 units"}),
    [](const ::testing::TestParamInfo<BadLine>& c) { return std::string(c.param.name); });

TEST(TextFile, MissingIdsAreReportedForTheWholeFile) {
    const TextFile file = ParseTextFile("# only one\n2\tb\n", kLastId);
    ASSERT_EQ(file.errors.size(), 1U);
    EXPECT_EQ(file.errors[0].line, 0);
    EXPECT_EQ(file.errors[0].message, "missing ids: 1, 3");
}

TEST(TextFile, EveryBadLineIsReportedNotJustTheFirst) {
    const TextFile file = ParseTextFile("1\ta\n1\tb\nx\tc\n2\td\\\n3\te\n", kLastId);
    ASSERT_EQ(file.errors.size(), 3U);
    EXPECT_EQ(file.errors[0].line, 2);
    EXPECT_EQ(file.errors[1].line, 3);
    EXPECT_EQ(file.errors[2].line, 4);
}

struct SoundText {
    const char* name;
    std::string line; // the text of id 1
    std::u16string text;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const SoundText& c, std::ostream* os) {
    *os << c.name;
}

class SoundTexts : public ::testing::TestWithParam<SoundText> {};

TEST_P(SoundTexts, AreReadAsWritten) {
    const TextFile file = ParseTextFile(GetParam().line + "\n2\tb\n3\tc", kLastId);
    ASSERT_TRUE(file.errors.empty())
        << file.errors.front().line << ": " << file.errors.front().message;
    EXPECT_EQ(file.texts.at(1), GetParam().text);
    EXPECT_EQ(file.texts.at(3), u"c"); // the last line needs no line end
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoundTexts,
    ::testing::Values(
        SoundText{"Plain", "1\tStart error", u"Start error"},
        SoundText{"Escapes", "1\ta\\nb\\tc\\\\d", u"a\nb\tc\\d"},
        SoundText{"EscapedBackslashBeforeN", "1\tx\\\\ny", u"x\\ny"},
        SoundText{"SlashNStaysAsIs", "1\tfiles./nfiles", u"files./nfiles"},
        SoundText{"BlanksAtBothEndsKept", "1\t  Generator ver. ", u"  Generator ver. "},
        SoundText{"EmptyText", "1\t", u""}, SoundText{"HashInText", "1\t#1", u"#1"},
        SoundText{"BarOfAHint", "1\tlong|short", u"long|short"},
        SoundText{"CrLf", "1\ttext\r", u"text"},
        SoundText{"ByteOrderMark",
                  "\xEF\xBB\xBF"
                  "1\ttext",
                  u"text"},
        SoundText{"LeadingZeros", "001\ttext", u"text"},
        SoundText{"CyrillicAndMicro", "1\tмк µ Гц", u"мк µ Гц"},
        SoundText{"BeyondTheBasicPlane", "1\t\xF0\x9F\x98\x80", u"\U0001F600"},
        SoundText{"Exactly1024Units", "1\t" + std::string(1024, 'a'), std::u16string(1024, u'a')}),
    [](const ::testing::TestParamInfo<SoundText>& c) { return std::string(c.param.name); });

TEST(TextFile, CommentsAndEmptyLinesAreSkippedButCounted) {
    const TextFile file = ParseTextFile("# texts\n\n1\ta\r\n\r\n2\tb\n3 c\n", kLastId);
    ASSERT_EQ(file.errors.size(), 2U);
    EXPECT_EQ(file.errors[0].line, 6);
    EXPECT_EQ(file.texts.size(), 2U);
}

} // namespace
