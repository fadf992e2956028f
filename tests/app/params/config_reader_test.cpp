// The configuration reader: normalisation of the raw text, key lookup and the Get
// operations, enumeration and the file size limit.

#include "app/params/config_reader.h"
#include "app/params/config_text.h"
#include "tests/app/params/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using params::ConfigReader;
using params::NormaliseConfigText;

struct NormaliseCase {
    const char* name;
    std::string raw;
    std::string normalised;
};

std::ostream& operator<<(std::ostream& out, const NormaliseCase& c) {
    return out << c.name;
}

class Normalise : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(Normalise, GivesTheExpectedBytes) {
    const NormaliseCase& c = GetParam();
    const std::string text = NormaliseConfigText(c.raw);
    EXPECT_EQ(text, c.normalised);
    EXPECT_EQ(text.size(), c.raw.size());
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Table, Normalise,
    ::testing::Values(
        NormaliseCase{"LowerCaseAndEquals", "frequency=25", "FREQUENCY 25"},
        NormaliseCase{"KeptCharacters", "A_z+-.09", "A_Z+-.09"},
        NormaliseCase{"QuotedTextKeepsCase", "Language = \"English\" //\n",
                      "LANGUAGE    English    \0"s},
        NormaliseCase{"ControlBytesAndCrBecomeBlanks", "A\t=\r\n", "A   \0"s},
        NormaliseCase{"ZeroByteOutsideQuotesIsBlank", "A\0B"s, "A B"},
        NormaliseCase{"HighBytesOutsideQuotesAreBlanks", "X\xC3\xA9Y", "X  Y"},
        NormaliseCase{"HighBytesInsideQuotesStay", "\"\xC3\xA9\"", " \xC3\xA9 "},
        NormaliseCase{"BracketsAndCommasAreBlanks", "(1,2)[3]", " 1 2  3 "},
        NormaliseCase{"OneBackslashContinues", "A = 1 \\\nB", "A   1   B"},
        NormaliseCase{"OneSlashContinues", "A = 1 /\nB", "A   1   B"},
        NormaliseCase{"TwoSlashesEndTheLine", "A = 1 //\nB", "A   1   \0B"s},
        NormaliseCase{"ThreeSlashesEndTheLine", "a/b/c\nd", "A B C\0D"s},
        NormaliseCase{"SlashCountRestartsOnEachLine", "a/\nb/\nc", "A  B  C"},
        NormaliseCase{"SlashInsideQuotesDoesNotCount", "X = \"a/b\"\nY", "X    a/b \0Y"s},
        NormaliseCase{"SlashInsideCommentDoesNotCount", "X = 1 ; a/b\nY", "X   1      \0Y"s},
        NormaliseCase{"SemicolonStartsComment", "A = 3 ; old 4", "A   3        "},
        NormaliseCase{"ColonStartsComment", "T = 10:20", "T   10   "},
        NormaliseCase{"SemicolonInsideQuotesStartsComment", "S = \"ab;cd\" x", "S    ab      "},
        NormaliseCase{"ColonInsideQuotesStays", "S = \"a:b\"", "S    a:b "},
        NormaliseCase{"QuoteStateEndsWithTheLine", "X = \"open\nY = b", "X    open\0Y   B"s},
        NormaliseCase{"CommentEndsWithTheLine", "A;x\nb", "A  \0B"s}));

ConfigReader ReaderOf(std::string_view text) {
    ConfigReader reader;
    reader.OpenBytes(text);
    return reader;
}

TEST(ConfigReader, FindsKeysWithoutRegardToCaseAndBlanks) {
    const auto reader = ReaderOf("frequency=25\r\nDevice Name = 7\r\nSinQuality = 1\r\n");
    double frequency = 0;
    EXPECT_EQ(reader.GetDouble("Frequency", frequency), 1);
    EXPECT_EQ(frequency, 25);
    int device = 0;
    EXPECT_EQ(reader.GetInt("DeviceName", device), 1);
    EXPECT_EQ(device, 7);
    int quality = 0;
    EXPECT_EQ(reader.GetInt("  sin quality  ", quality), 1);
    EXPECT_EQ(quality, 1);
}

TEST(ConfigReader, KeyMustEndAtAWordEnd) {
    // "Frequency" is not found in "FrequencyD", nor inside "XFrequency"
    const auto reader = ReaderOf("FrequencyD = 7\nXFrequency = 3\nFrequency = 5\n");
    double value = 0;
    EXPECT_EQ(reader.GetDouble("Frequency", value), 1);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(reader.GetDouble("FrequencyD", value), 1);
    EXPECT_EQ(value, 7);
}

TEST(ConfigReader, FirstMatchWinsAndCommentLinesAreSkipped) {
    const auto reader = ReaderOf("; A = 1\nA = 2\nA = 3\n");
    int value = 0;
    EXPECT_EQ(reader.GetInt("A", value), 1);
    EXPECT_EQ(value, 2);
}

struct ValueCase {
    const char* text;
    int result;
    double value;
};

class GetDoubleOfLine : public ::testing::TestWithParam<ValueCase> {};

TEST_P(GetDoubleOfLine, ReadsTheValue) {
    const ValueCase& c = GetParam();
    const auto reader = ReaderOf(c.text);
    double value = -99;
    EXPECT_EQ(reader.GetDouble("Value", value, -99), c.result) << c.text;
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetDoubleOfLine,
    ::testing::Values(ValueCase{"Value = -1.5E-1", 1, -0.15}, ValueCase{"Value = 2K", 1, 2048},
                      ValueCase{"Value = 0x10", 1, 16}, ValueCase{"Value = 3 ; old 4", 1, 3},
                      ValueCase{"Value = 10:20", 1, 10}, ValueCase{"value=\"7\"", 1, 7},
                      ValueCase{"Value = 1.2.3", 0, -99}, ValueCase{"Value = ; 5", 0, -99},
                      ValueCase{"Value = English", 0, -99}, ValueCase{"Other = 5", 0, -99},
                      // an empty value is not a number, even when the next line holds one
                      ValueCase{"Value =\nOther = 5", 0, -99}, ValueCase{"Value = \\\n 5", 1, 5},
                      ValueCase{"Value = //\n 5", 0, -99}));

TEST(ConfigReader, DefaultsApplyOnlyWhenNotZero) {
    const auto reader = ReaderOf("Other = 1\n");
    int i = 42;
    EXPECT_EQ(reader.GetInt("Missing", i, 0), 0);
    EXPECT_EQ(i, 42);
    EXPECT_EQ(reader.GetInt("Missing", i, 7), 0);
    EXPECT_EQ(i, 7);
    double d = 4.5;
    EXPECT_EQ(reader.GetDouble("Missing", d, 0.0), 0);
    EXPECT_EQ(d, 4.5);
    EXPECT_EQ(reader.GetDouble("Missing", d, 1.5), 0);
    EXPECT_EQ(d, 1.5);
}

TEST(ConfigReader, GetIntRoundsAndRefusesWhatIsNoInt) {
    const auto reader = ReaderOf("A = 2.5\nB = 4294967297\nC = 0xFFFFFFFF\n");
    int value = 0;
    EXPECT_EQ(reader.GetInt("A", value), 1);
    EXPECT_EQ(value, 3);
    value = 5;
    EXPECT_EQ(reader.GetInt("B", value), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(reader.GetInt("C", value), 1);
    EXPECT_EQ(value, -1);
}

TEST(ConfigReader, GetStringCopiesTheRestOfTheLine) {
    const auto reader =
        ReaderOf("Language = English\nName = \"Kord 77\"  //\nEmpty =\nNext = \"X\" ; note\n");
    std::string text;
    EXPECT_EQ(reader.GetString("Language", text, 150), 1);
    EXPECT_EQ(text, "ENGLISH"); // unquoted text reads as upper case
    EXPECT_EQ(reader.GetString("Name", text, 150), 1);
    EXPECT_EQ(text, "Kord 77"); // quotes keep the case; trailing blanks go
    EXPECT_EQ(reader.GetString("Name", text, 4), 1);
    EXPECT_EQ(text, "Kor"); // at most size - 1 bytes
    EXPECT_EQ(reader.GetString("Empty", text, 150), 1);
    EXPECT_EQ(text, ""); // not the next line's value
    EXPECT_EQ(reader.GetString("Next", text, 150), 1);
    EXPECT_EQ(text, "X"); // the comment is gone
}

TEST(ConfigReader, GetStringDefaultForAnAbsentKey) {
    const auto reader = ReaderOf("A = 1\n");
    std::string text = "unchanged";
    EXPECT_EQ(reader.GetString("Missing", text, 30), 0);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(reader.GetString("Missing", text, 30, "KORD77USB"), 0);
    EXPECT_EQ(text, "KORD77USB");
}

TEST(ConfigReader, GetDoubleListReadsAContinuedLine) {
    const auto reader = ReaderOf("List = 50.0 75.0 \\\r\n       100.0 150.0 //\r\n"
                                 "Short = 1 2 //\r\n 3 4\r\n"
                                 "Broken = 1 2 x 4\r\n");
    std::array<double, 8> values{};
    EXPECT_EQ(reader.GetDoubleList("List", values), 4);
    EXPECT_EQ(values[0], 50.0);
    EXPECT_EQ(values[3], 150.0);
    EXPECT_EQ(reader.GetDoubleList("List", std::span(values).first(3)), 3);
    EXPECT_EQ(reader.GetDoubleList("Short", values), 2);  // "//" ends the line
    EXPECT_EQ(reader.GetDoubleList("Broken", values), 2); // stops at the first failure
    EXPECT_EQ(reader.GetDoubleList("Missing", values), 0);
}

TEST(ConfigReader, WithoutDataEveryGetReturnsMinusOne) {
    ConfigReader reader;
    EXPECT_FALSE(reader.HasData());
    std::string text = "kept";
    int i = 3;
    double d = 2.5;
    std::array<double, 2> values{};
    EXPECT_EQ(reader.GetString("A", text, 10, "default"), -1);
    EXPECT_EQ(reader.GetInt("A", i, 9), -1);
    EXPECT_EQ(reader.GetDouble("A", d, 9), -1);
    EXPECT_EQ(reader.GetDoubleList("A", values), -1);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(i, 3);
    EXPECT_EQ(d, 2.5);
    EXPECT_FALSE(reader.NextLine());
}

TEST(ConfigReader, NextLineEnumeratesLinesWithContent) {
    auto reader = ReaderOf("A = 1\n\n; only a comment\n  \nb = 2 \\\n c\n");
    std::vector<std::string> lines;
    while (const auto line = reader.NextLine()) {
        lines.emplace_back(*line);
    }
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "A   1");
    EXPECT_EQ(lines[1], "B   2    C");
    reader.RewindLines();
    EXPECT_EQ(reader.NextLine().value_or(""), "A   1");
}

TEST(ConfigReader, CloseDropsTheText) {
    auto reader = ReaderOf("A = 1\n");
    ASSERT_TRUE(reader.HasData());
    reader.Close();
    int value = 0;
    EXPECT_EQ(reader.GetInt("A", value), -1);
}

class ConfigReaderFile : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(ConfigReaderFile, ReadsAFile) {
    const std::string path = folder.File("generator.cfg");
    WriteBytes(path, "Amplitude = 5.000000 //\r\n");
    ConfigReader reader(path);
    double amplitude = 0;
    EXPECT_EQ(reader.GetDouble("Amplitude", amplitude), 1);
    EXPECT_EQ(amplitude, 5.0);
}

TEST_F(ConfigReaderFile, MissingEmptyOrFolderGivesNoData) {
    ConfigReader reader;
    EXPECT_FALSE(reader.Open(folder.File("missing.cfg")));
    WriteBytes(folder.File("empty.cfg"), "");
    EXPECT_FALSE(reader.Open(folder.File("empty.cfg")));
    EXPECT_FALSE(reader.Open(folder.Path()));
}

TEST_F(ConfigReaderFile, FilesOfTheLimitOrLargerAreIgnored) {
    const std::string head = "Amplitude = 5\r\n";
    const auto fileOfSize = [&](std::size_t size) {
        std::string bytes = head;
        bytes.resize(size, ' ');
        return bytes;
    };
    const std::string path = folder.File("generator.cfg");
    ConfigReader reader;
    WriteBytes(path, fileOfSize(ConfigReader::MaxFileSize - 1));
    EXPECT_TRUE(reader.Open(path));
    WriteBytes(path, fileOfSize(ConfigReader::MaxFileSize));
    EXPECT_FALSE(reader.Open(path));
    double amplitude = 1;
    EXPECT_EQ(reader.GetDouble("Amplitude", amplitude), -1);
    WriteBytes(path, fileOfSize(ConfigReader::MaxFileSize * 4));
    EXPECT_FALSE(reader.Open(path));

    // the same limit for text already in memory
    EXPECT_TRUE(reader.OpenBytes(fileOfSize(ConfigReader::MaxFileSize - 1)));
    EXPECT_FALSE(reader.OpenBytes(fileOfSize(ConfigReader::MaxFileSize)));
}

} // namespace
