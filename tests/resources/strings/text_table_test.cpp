// Loading and lookup of the text table on hand-made block sets: which sets give a
// present table, where a text comes from, where it is cut and when it is empty.

#include "resources/strings/text_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Units = std::vector<std::uint16_t>;

// A block of counted strings from the given entries (normally 16 of them).
Units MakeBlock(const std::vector<std::u16string>& entries) {
    Units units;
    for (const std::u16string& text : entries) {
        units.push_back(static_cast<std::uint16_t>(text.size()));
        units.insert(units.end(), text.begin(), text.end());
    }
    return units;
}

// A block whose entry k reads "<prefix><16 (number - 1) + k>".
Units NumberedBlock(int number, const std::u16string& prefix) {
    std::vector<std::u16string> entries;
    for (int k = 0; k < TextTable::kEntriesPerBlock; ++k) {
        const std::string id = std::to_string((number - 1) * TextTable::kEntriesPerBlock + k);
        entries.push_back(prefix + std::u16string(id.begin(), id.end()));
    }
    return MakeBlock(entries);
}

std::u16string Repeat(char16_t unit, std::size_t count) {
    return std::u16string(count, unit);
}

class BlockSet : public ::testing::Test {
protected:
    static constexpr std::uint16_t kOther = 1031;

    void Add(int number, std::uint16_t language, Units units) {
        storage_.push_back(std::move(units));
        blocks_.push_back({static_cast<std::uint16_t>(number), language, storage_.back()});
    }
    void AddNumbered(int first, int last, std::uint16_t language, const std::u16string& prefix) {
        for (int number = first; number <= last; ++number) {
            Add(number, language, NumberedBlock(number, prefix));
        }
    }
    // A one-block set whose entry 1 holds `text`.
    std::string TextOfSingleEntry(const std::u16string& text) {
        std::vector<std::u16string> entries(TextTable::kEntriesPerBlock);
        entries[1] = text;
        Add(1, TextTable::kEnglish, MakeBlock(entries));
        TextTable table;
        EXPECT_TRUE(table.Load(TextTable::kEnglish, blocks_));
        return table.Text(1);
    }

    std::deque<Units> storage_; // stable addresses for the spans in blocks_
    std::vector<StringBlock> blocks_;
};

TEST_F(BlockSet, LooksUpBlockNumberAndEntry) {
    AddNumbered(1, 3, TextTable::kEnglish, u"en ");
    AddNumbered(1, 3, TextTable::kRussian, u"ру ");
    TextTable table;
    ASSERT_TRUE(table.Load(TextTable::kRussian, blocks_));
    EXPECT_TRUE(table.IsPresent());
    EXPECT_EQ(table.Language(), TextTable::kRussian);
    EXPECT_EQ(table.Text(0), "ру 0");
    EXPECT_EQ(table.Text(15), "ру 15");
    EXPECT_EQ(table.Text(16), "ру 16");
    EXPECT_EQ(table.Text(47), "ру 47");
    EXPECT_EQ(table.Text(48), "");
    EXPECT_EQ(table.Text(-1), "");
    ASSERT_TRUE(table.Load(TextTable::kEnglish, blocks_));
    EXPECT_EQ(table.Text(33), "en 33");
}

TEST_F(BlockSet, BlockMissingInTheLanguageMakesTheTableAbsent) {
    AddNumbered(1, 3, TextTable::kEnglish, u"en ");
    Add(1, TextTable::kRussian, NumberedBlock(1, u"ру "));
    Add(3, TextTable::kRussian, NumberedBlock(3, u"ру "));
    TextTable table;
    EXPECT_FALSE(table.Load(TextTable::kRussian, blocks_));
    EXPECT_FALSE(table.IsPresent());
    EXPECT_EQ(table.Text(1), ""); // block 1 exists, but no text of a partial table
    EXPECT_EQ(table.Text(33), "");
    EXPECT_TRUE(table.Load(TextTable::kEnglish, blocks_));
    EXPECT_EQ(table.Text(17), "en 17");
}

TEST_F(BlockSet, UnreadableBlockMakesTheTableAbsent) {
    AddNumbered(1, 1, TextTable::kEnglish, u"en ");
    Add(2, TextTable::kEnglish, Units{});
    TextTable table;
    EXPECT_FALSE(table.Load(TextTable::kEnglish, blocks_));
    EXPECT_EQ(table.Text(1), "");
}

TEST_F(BlockSet, EmptySetOrUnknownLanguageGivesAnAbsentTable) {
    TextTable table;
    EXPECT_FALSE(table.IsPresent());
    EXPECT_EQ(table.Text(1), ""); // never loaded
    EXPECT_FALSE(table.Load(TextTable::kEnglish, blocks_));
    AddNumbered(1, 2, TextTable::kEnglish, u"en ");
    EXPECT_FALSE(table.Load(kOther, blocks_));
    EXPECT_EQ(table.Language(), kOther);
    EXPECT_EQ(table.Text(1), "");
}

TEST_F(BlockSet, FailedLoadDropsTheTableLoadedBefore) {
    AddNumbered(1, 2, TextTable::kEnglish, u"en ");
    TextTable table;
    ASSERT_TRUE(table.Load(TextTable::kEnglish, blocks_));
    ASSERT_EQ(table.Text(1), "en 1");
    EXPECT_FALSE(table.Load(TextTable::kRussian, blocks_));
    EXPECT_EQ(table.Text(1), "");
}

TEST_F(BlockSet, BlockNumberMissingInEveryLanguageLeavesOtherTextsInPlace) {
    AddNumbered(1, 1, TextTable::kEnglish, u"en ");
    AddNumbered(3, 3, TextTable::kEnglish, u"en ");
    TextTable table;
    ASSERT_TRUE(table.Load(TextTable::kEnglish, blocks_));
    EXPECT_EQ(table.Text(5), "en 5");
    EXPECT_EQ(table.Text(17), ""); // block 2 holds nothing
    EXPECT_EQ(table.Text(33), "en 33");
}

TEST_F(BlockSet, TakesTheFirstHundredBlocksOnly) {
    AddNumbered(1, 100, TextTable::kEnglish, u"en ");
    AddNumbered(101, 101, kOther, u"de ");
    AddNumbered(101, 101, TextTable::kEnglish, u"en ");
    TextTable table;
    ASSERT_TRUE(table.Load(TextTable::kEnglish, blocks_));
    EXPECT_EQ(table.Text(99 * 16 + 15), "en 1599");
    EXPECT_EQ(table.Text(100 * 16), "");
    // Block 101 is beyond the enumeration, so its absence in Russian does not matter.
    blocks_.clear();
    storage_.clear();
    AddNumbered(1, 101, kOther, u"de ");
    AddNumbered(1, 100, TextTable::kRussian, u"ру ");
    EXPECT_TRUE(table.Load(TextTable::kRussian, blocks_));
}

TEST_F(BlockSet, WalkPastTheEndOfABlockGivesEmptyTexts) {
    // Three entries only, the third claiming more units than the block holds.
    Units units = MakeBlock({u"zero", u"one"});
    units.push_back(50);
    units.push_back(u'x');
    Add(1, TextTable::kEnglish, units);
    TextTable table;
    ASSERT_TRUE(table.Load(TextTable::kEnglish, blocks_));
    EXPECT_EQ(table.Text(0), "zero");
    EXPECT_EQ(table.Text(1), "one");
    EXPECT_EQ(table.Text(2), "");
    EXPECT_EQ(table.Text(3), "");
    EXPECT_EQ(table.Text(15), "");
}

TEST_F(BlockSet, NonAsciiTextsArriveAsUtf8) {
    EXPECT_EQ(TextOfSingleEntry(u"Гц µ \U0001F600"), "Гц µ \xF0\x9F\x98\x80");
}

TEST_F(BlockSet, LoneSurrogateBecomesReplacementCharacter) {
    EXPECT_EQ(TextOfSingleEntry(std::u16string(1, char16_t{0xD800}) + u"a"), "\xEF\xBF\xBD"
                                                                             "a");
}

struct CutCase {
    const char* name;
    std::u16string text;
    std::string expected;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const CutCase& c, std::ostream* os) {
    *os << c.name;
}

class TextCut : public BlockSet, public ::testing::WithParamInterface<CutCase> {};

TEST_P(TextCut, CopiesAtMost1024Units) {
    EXPECT_EQ(TextOfSingleEntry(GetParam().text), GetParam().expected);
}

std::string RepeatUtf8(const std::string& piece, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += piece;
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, TextCut,
    ::testing::Values(CutCase{"Empty", u"", ""},
                      CutCase{"Units1023", Repeat(u'a', 1023), std::string(1023, 'a')},
                      CutCase{"Units1024", Repeat(u'a', 1024), std::string(1024, 'a')},
                      CutCase{"Units1025", Repeat(u'a', 1025), std::string(1024, 'a')},
                      CutCase{"Units65535", Repeat(u'a', 65535), std::string(1024, 'a')},
                      CutCase{"Cyrillic1500", Repeat(u'Ж', 1500), RepeatUtf8("Ж", 1024)},
                      CutCase{"PairEndsAt1024", Repeat(u'a', 1022) + u"\U0001F600",
                              std::string(1022, 'a') + "\xF0\x9F\x98\x80"},
                      CutCase{"PairAcrossTheCut", Repeat(u'a', 1023) + u"\U0001F600",
                              std::string(1023, 'a')}),
    [](const ::testing::TestParamInfo<CutCase>& c) { return std::string(c.param.name); });

} // namespace
