// Where the program's files live, and the version text.

#include "app/params/program_files.h"
#include "app/params/version_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using params::FileLocationContext;
using params::ProgramFilePath;

struct PathCase {
    const char* name;
    const char* program;
    FileLocationContext context;
    std::optional<std::string> expected;
};

std::ostream& operator<<(std::ostream& out, const PathCase& c) {
    return out << c.name;
}

class FilePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(FilePath, OfTheSettingsFile) {
    const PathCase& c = GetParam();
    EXPECT_EQ(ProgramFilePath(c.program, "generator.cfg", c.context), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FilePath,
    ::testing::Values(PathCase{"BesideTheProgram",
                               "/opt/gen/bin/generator",
                               {true, "/x", "/home/op"},
                               "/opt/gen/bin/generator.cfg"},
                      PathCase{"ProgramAtTheRoot", "/generator", {true, "", ""}, "/generator.cfg"},
                      PathCase{"ReadOnlyUsesXdgConfigHome",
                               "/usr/bin/generator",
                               {false, "/cfg", "/home/op"},
                               "/cfg/generator/generator.cfg"},
                      PathCase{"XdgConfigHomeWithSlash",
                               "/usr/bin/generator",
                               {false, "/cfg/", ""},
                               "/cfg/generator/generator.cfg"},
                      PathCase{"RelativeXdgConfigHomeIsIgnored",
                               "/usr/bin/generator",
                               {false, "cfg", "/home/op"},
                               "/home/op/.config/generator/generator.cfg"},
                      PathCase{"UnsetXdgConfigHome",
                               "/usr/bin/generator",
                               {false, "", "/home/op"},
                               "/home/op/.config/generator/generator.cfg"},
                      PathCase{
                          "NoUserFolderAtAll", "/usr/bin/generator", {false, "", ""}, std::nullopt},
                      PathCase{"PathWithoutFolder", "generator", {true, "", ""}, std::nullopt}));

TEST(SystemFolder, IsNeverThePlaceOfTheFiles) {
    for (const char* folder : {"/usr", "/usr/", "/usr/lib/generator/", "/usr/local/bin/"}) {
        EXPECT_TRUE(params::IsSystemFolder(folder)) << folder;
        // Even where the test may write (as root), /usr is not used.
        EXPECT_FALSE(FileLocationContext::FromEnvironment(folder).programFolderWritable) << folder;
    }
    for (const char* folder : {"/opt/gen/", "/usrx/", "/home/op/usr/", "/tmp/"}) {
        EXPECT_FALSE(params::IsSystemFolder(folder)) << folder;
    }
    EXPECT_TRUE(FileLocationContext::FromEnvironment("/tmp/").programFolderWritable);
}

TEST(ProgramPath, IsThisTestProgram) {
    const auto path = params::ProgramPath();
    ASSERT_TRUE(path);
    EXPECT_EQ(path->front(), '/');
    EXPECT_NE(path->find("program_files_test"), std::string::npos);
}

TEST(VersionText, HasFourNumbers) {
    EXPECT_EQ(params::MakeVersionText("1.0.0"), "1.0.0.0");
    EXPECT_EQ(params::MakeVersionText("2.5"), "2.5.0.0");
    EXPECT_EQ(params::MakeVersionText("1.2.3.4"), "1.2.3.4");
    EXPECT_EQ(params::MakeVersionText("1.2.3.4.5"), "1.2.3.4");
    EXPECT_EQ(params::MakeVersionText("7.x.3"), "7.0.3.0");
    EXPECT_EQ(params::MakeVersionText(""), "0.0.0.0");
    // this build's text: four numbers joined by dots
    const std::string text = params::ProgramVersionText();
    EXPECT_EQ(params::MakeVersionText(text), text);
    EXPECT_EQ(std::count(text.begin(), text.end(), '.'), 3);
    EXPECT_EQ(text.find_first_not_of("0123456789."), std::string::npos);
}

} // namespace
