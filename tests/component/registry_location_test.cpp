// The registry location file of an installed tree, and the folder a binary finds
// it in.

#include "component/registry_file.h"
#include "component/registry_location.h"
#include "tests/component/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using quorvel::RegistryLocationIn;

struct LocationCase {
    const char* what;
    const char* text;     // content of registry.location
    const char* expected; // "@/" stands for the folder itself
};

std::string Expand(const std::string& pattern, const std::string& folder) {
    if (pattern.rfind("@/", 0) == 0)
        return std::filesystem::path(folder + pattern.substr(1)).lexically_normal().string();
    return pattern;
}

class RegistryLocationText : public testing::TestWithParam<LocationCase> {};

TEST_P(RegistryLocationText, NamesTheRegistry) {
    const LocationCase& c = GetParam();
    TempFolder folder;
    WriteText(folder.File("registry.location"), c.text);
    EXPECT_EQ(RegistryLocationIn(folder.Path()), Expand(c.expected, folder.Path())) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RegistryLocationText,
    testing::Values(
        LocationCase{"absolute path", "/etc/quorvel/registry.reg\n", "/etc/quorvel/registry.reg"},
        LocationCase{"no final newline", "/opt/q/registry.reg", "/opt/q/registry.reg"},
        LocationCase{"blanks and CR around it", "  /p/etc/registry.reg \r\n",
                     "/p/etc/registry.reg"},
        LocationCase{"only the first line counts", "/a/registry.reg\n/b/registry.reg\n",
                     "/a/registry.reg"},
        LocationCase{"relative to the folder", "../etc/registry.reg\n", "@/../etc/registry.reg"},
        LocationCase{"empty file", "", ""}, LocationCase{"blank first line", "  \n/x.reg\n", ""}));

// The installed layout: binaries in <prefix>/lib/generator, registry in <prefix>/etc.
TEST(RegistryLocation, RelativePathFromTheBinaryFolder) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("lib/generator"));
    WriteText(folder.File("lib/generator/registry.location"), "../../etc/quorvel/registry.reg\n");
    EXPECT_EQ(RegistryLocationIn(folder.File("lib/generator")),
              folder.File("etc/quorvel/registry.reg"));
}

TEST(RegistryLocation, MissingFileOrFolderNamesNothing) {
    TempFolder folder;
    EXPECT_EQ(RegistryLocationIn(folder.Path()), "");
    EXPECT_EQ(RegistryLocationIn(folder.File("absent")), "");
    EXPECT_EQ(RegistryLocationIn(""), "");
}

// This test program links the registry code statically, so its own folder is the
// program's folder; a build tree has no location file there, so the configured
// build registry stays the default.
TEST(RegistryLocation, ProgramFindsItsOwnFolder) {
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(quorvel::OwnBinaryFolder(), program.parent_path().string());
    EXPECT_EQ(std::filesystem::path(quorvel::DefaultRegistryPath()).filename(), "registry.reg");
}

} // namespace
