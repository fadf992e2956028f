// The registry text: what parses and what it means, what is damage (and where),
// truncation, writing back, and the edits writers make.

#include "component/registry_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

constexpr const char* UndulaKey = "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN";

const std::string Sample = "Windows Registry Editor Version 5.00\n"
                           "\n"
                           "; the signal library\n"
                           "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\n"
                           "\"path\"=\"/opt/gen/lib/libundulan.so\"\n"
                           "\"UIName\"=\"IUndula\"\n"
                           "\n"
                           "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                           "\"path\"=\"/opt/gen/lib/libkord77pci.so\"\n"
                           "\"Count\"=dword:0000002a\n"
                           "\"Blob\"=hex:01,02,\\\n"
                           "  03,ff\n"
                           "@=\"default\"\n";

std::string StringOf(const RegistryDocument& doc, std::string_view key, std::string_view name) {
    const RegistryKey* k = FindKey(doc, key);
    if (k == nullptr)
        return "<no key>";
    const RegistryValue* v = FindValue(*k, name);
    if (v == nullptr)
        return "<no value>";
    return v->isString ? v->data : "<not a string: " + v->data + ">";
}

TEST(RegistryText, ParsesKeysStringsOtherTypesAndComments) {
    const RegistryParse parse = ParseRegistry(Sample);
    ASSERT_TRUE(parse.ok) << parse.line << ": " << parse.reason;
    const RegistryDocument& doc = parse.document;
    EXPECT_EQ(doc.header, "Windows Registry Editor Version 5.00");
    ASSERT_EQ(doc.keys.size(), 2u);
    EXPECT_EQ(doc.keys[0].comments, std::vector<std::string>{"; the signal library"});
    EXPECT_EQ(StringOf(doc, UndulaKey, "path"), "/opt/gen/lib/libundulan.so");
    // Keys and value names compare without regard to case.
    EXPECT_EQ(StringOf(doc, "software\\quorvel ltd\\BASE LIBRARY\\1.0\\undulan", "UINAME"),
              "IUndula");
    const std::string driver = "SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI";
    EXPECT_EQ(StringOf(doc, driver, "Count"), "<not a string: dword:0000002a>");
    EXPECT_EQ(StringOf(doc, driver, "Blob"), "<not a string: hex:01,02,\\\n  03,ff>");
    EXPECT_EQ(StringOf(doc, driver, ""), "default");
    EXPECT_EQ(StringOf(doc, driver, "missing"), "<no value>");
    EXPECT_EQ(StringOf(doc, "SOFTWARE\\Quorvel LTD\\Drivers\\1.0", "path"), "<no key>");
}

TEST(RegistryText, AcceptsByteOrderMarkCrLfBlanksAndEscapes) {
    const std::string text = "\xEF\xBB\xBF[K]\r\n"
                             "  \"p a\\\\t\\\"h\" = \"C:\\\\dir\\\\\\\"q\\\"\"  \r\n"
                             "\"empty\"=\"\"\r\n";
    const RegistryParse parse = ParseRegistry(text);
    ASSERT_TRUE(parse.ok) << parse.line << ": " << parse.reason;
    EXPECT_EQ(StringOf(parse.document, "k", "p a\\t\"h"), "C:\\dir\\\"q\"");
    EXPECT_EQ(StringOf(parse.document, "k", "empty"), "");
}

TEST(RegistryText, EmptyAndCommentOnlyTextsHoldNoKeys) {
    for (const char* text : {"", "\n\n", "; nothing here\n", "REGEDIT4\n"}) {
        const RegistryParse parse = ParseRegistry(text);
        EXPECT_TRUE(parse.ok) << text;
        EXPECT_TRUE(parse.document.keys.empty()) << text;
    }
}

TEST(RegistryText, AKeyNamedTwiceIsOneKeyAndTheLaterValueWins) {
    const RegistryParse parse =
        ParseRegistry("[A]\n\"path\"=\"/one\"\n\"x\"=\"1\"\n[a]\n\"PATH\"=\"/two\"\n");
    ASSERT_TRUE(parse.ok);
    ASSERT_EQ(parse.document.keys.size(), 1u);
    EXPECT_EQ(StringOf(parse.document, "A", "path"), "/two");
    EXPECT_EQ(StringOf(parse.document, "A", "x"), "1");
}

struct Damage {
    const char* name;
    std::string text;
    int line;
};

void PrintTo(const Damage& c, std::ostream* os) {
    *os << c.name;
}

class RegistryDamage : public testing::TestWithParam<Damage> {};

TEST_P(RegistryDamage, IsReportedWithItsLine) {
    const RegistryParse parse = ParseRegistry(GetParam().text);
    EXPECT_FALSE(parse.ok);
    EXPECT_EQ(parse.line, GetParam().line) << parse.reason;
    EXPECT_FALSE(parse.reason.empty());
    EXPECT_TRUE(parse.document.keys.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryDamage,
    testing::Values(Damage{"KeyWithoutBracket", "[K]\n\"a\"=\"1\"\n[SOFTWARE\\Quorvel", 3},
                    Damage{"EmptyKey", "[]\n", 1}, Damage{"KeyDeletion", "[-K]\n", 1},
                    Damage{"ValueBeforeKey", "\"path\"=\"/x\"\n[K]\n", 1},
                    Damage{"UnterminatedString", "[K]\n\"path\"=\"/usr/lib/libund", 2},
                    Damage{"UnterminatedName", "[K]\n\"pa", 2},
                    Damage{"NameWithoutEquals", "[K]\n\"path\"\n", 2},
                    Damage{"NoData", "[K]\n\"path\"=\n", 2},
                    Damage{"TextAfterString", "[K]\n\"path\"=\"/x\" junk\n", 2},
                    Damage{"UnknownEscape", "[K]\n\"path\"=\"\\q\"\n", 2},
                    Damage{"ValueDeletion", "[K]\n\"path\"=-\n", 2},
                    Damage{"UnknownType", "[K]\n\"path\"=/usr/lib/x.so\n", 2},
                    Damage{"BadDword", "[K]\n\"n\"=dword:xyz\n", 2},
                    Damage{"LongDword", "[K]\n\"n\"=dword:123456789\n", 2},
                    Damage{"BadHex", "[K]\n\"n\"=hex:0,12\n", 2},
                    Damage{"BadHexType", "[K]\n\"n\"=hex(zz):01\n", 2},
                    Damage{"ContinuationAtEnd", "[K]\n\"n\"=hex:01,02,\\\n", 2},
                    Damage{"HexEndingInComma", "[K]\n\"n\"=hex:01,02,\n", 2},
                    Damage{"StrayLine", "[K]\n\"a\"=\"1\"\nhello\n", 3},
                    Damage{"ZeroByte", std::string("[K]\n\"a\"=\"1\0\"\n", 12), 2},
                    Damage{"Utf16Export", std::string("\xFF\xFE[\0K\0]\0", 8), 1}),
    [](const testing::TestParamInfo<Damage>& p) { return p.param.name; });

// A file cut anywhere (a disk that filled up, a copy that stopped) either reports
// damage or holds fewer strings; it never yields a string that differs from the
// complete file's. (Other types carry no closing mark: "dword:00" is a whole value.
// Lookups only ever take strings.)
TEST(RegistryText, ATruncatedTextNeverYieldsAWrongString) {
    const RegistryParse whole = ParseRegistry(Sample);
    ASSERT_TRUE(whole.ok);
    for (size_t length = 0; length < Sample.size(); ++length) {
        const RegistryParse part = ParseRegistry(std::string_view(Sample).substr(0, length));
        if (!part.ok)
            continue;
        for (const RegistryKey& key : part.document.keys) {
            const RegistryKey* full = FindKey(whole.document, key.name);
            ASSERT_NE(full, nullptr) << "cut at " << length << ": key " << key.name;
            for (const RegistryValue& value : key.values) {
                if (!value.isString)
                    continue;
                const RegistryValue* expected = FindValue(*full, value.name);
                ASSERT_NE(expected, nullptr) << "cut at " << length;
                EXPECT_EQ(value.isString, expected->isString) << "cut at " << length;
                EXPECT_EQ(value.data, expected->data) << "cut at " << length;
            }
        }
    }
}

TEST(RegistryText, WritingBackKeepsEverything) {
    const RegistryParse first = ParseRegistry(Sample);
    ASSERT_TRUE(first.ok);
    const std::string written = SerializeRegistry(first.document);
    const RegistryParse second = ParseRegistry(written);
    ASSERT_TRUE(second.ok) << second.line << ": " << second.reason << "\n" << written;
    EXPECT_EQ(SerializeRegistry(second.document), written);
    EXPECT_EQ(written, Sample) << "the sample is in the writer's own layout";
}

TEST(RegistryText, StringsWithQuotesAndBackslashesSurviveAWriteAndARead) {
    RegistryDocument doc;
    const std::string odd = "/home/o\"p/we\\ird dir/lib.so";
    SetString(doc, "K\\Sub", "path\"name", odd);
    const RegistryParse parse = ParseRegistry(SerializeRegistry(doc));
    ASSERT_TRUE(parse.ok) << parse.reason;
    EXPECT_EQ(StringOf(parse.document, "k\\sub", "PATH\"NAME"), odd);
}

TEST(RegistryText, EditsChangeOnlyWhatTheyName) {
    RegistryParse parse = ParseRegistry(Sample);
    ASSERT_TRUE(parse.ok);
    RegistryDocument& doc = parse.document;

    // A new value of an existing key, and a changed one keeping its place.
    SetString(doc, "software\\quorvel ltd\\base library\\1.0\\undulan", "PATH", "/new");
    SetString(doc, UndulaKey, "Extra", "e");
    const RegistryKey* undula = FindKey(doc, UndulaKey);
    ASSERT_NE(undula, nullptr);
    ASSERT_EQ(undula->values.size(), 3u);
    EXPECT_EQ(undula->values[0].name, "path");
    EXPECT_EQ(undula->values[0].data, "/new");
    EXPECT_EQ(undula->name, UndulaKey) << "the key keeps its spelling";

    // A new key goes to the end.
    SetString(doc, "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\LUPEX", "path", "/l");
    ASSERT_EQ(doc.keys.size(), 3u);
    EXPECT_EQ(doc.keys[2].name, "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\LUPEX");

    RegistryKey* k = FindKey(doc, UndulaKey);
    EXPECT_TRUE(DeleteValue(*k, "uiname"));
    EXPECT_FALSE(DeleteValue(*k, "uiname"));
    EXPECT_TRUE(DeleteKey(doc, "SOFTWARE\\QUORVEL LTD\\DRIVERS\\1.0\\kord77pci"));
    EXPECT_FALSE(DeleteKey(doc, "SOFTWARE\\QUORVEL LTD\\DRIVERS\\1.0\\kord77pci"));
    ASSERT_EQ(doc.keys.size(), 2u);
    EXPECT_EQ(StringOf(doc, UndulaKey, "path"), "/new");
    EXPECT_EQ(StringOf(doc, UndulaKey, "UIName"), "<no value>");
}

TEST(RegistryText, RefusesTextsTheSyntaxCannotHold) {
    EXPECT_EQ(CheckRegistryText("/home/op/lib.so", false), "");
    EXPECT_EQ(CheckRegistryText("", false), "");
    EXPECT_NE(CheckRegistryText("/home/op\n/lib.so", false), "");
    EXPECT_NE(CheckRegistryText("a\rb", false), "");
    EXPECT_NE(CheckRegistryText(std::string_view("a\0b", 3), false), "");
    EXPECT_EQ(CheckRegistryText(UndulaKey, true), "");
    EXPECT_NE(CheckRegistryText("", true), "");
    EXPECT_NE(CheckRegistryText("-K", true), "");
    EXPECT_NE(CheckRegistryText(" K", true), "");
}

} // namespace
} // namespace quorvel
