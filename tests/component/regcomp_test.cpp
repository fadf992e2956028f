// The registration tool: registering and unregistering several libraries, its
// answers to bad arguments and a damaged registry, and two registrations running
// at the same time.

#include "component/component_loader.h"
#include "component/registry_file.h"
#include "tests/component/registry_env.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <sys/wait.h>

namespace quorvel {
namespace {

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

const std::string Undulan = RealPath(UNDULAN_LIBRARY);
const std::string FakeA = RealPath(FAKEA_LIBRARY);
const std::string FakeB = RealPath(FAKEB_LIBRARY);

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

struct Outcome {
    int exitCode = -1;
    std::string output; // stdout and stderr
};

// Starts regcomp with `arguments` and the test's registry; Finish collects it.
FILE* Start(const std::string& registry, const std::string& arguments) {
    const std::string command = "QUORVEL_REGISTRY=" + Quoted(registry) + " " +
                                Quoted(REGCOMP_PROGRAM) + " " + arguments + " 2>&1";
    return ::popen(command.c_str(), "r");
}

Outcome Finish(FILE* pipe) {
    Outcome run;
    if (pipe == nullptr)
        return run;
    std::array<char, 512> chunk{};
    size_t n = 0;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        run.output.append(chunk.data(), n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

Outcome Regcomp(const std::string& registry, const std::string& arguments) {
    return Finish(Start(registry, arguments));
}

std::string PathOf(const std::string& registry, const char* category, const char* name) {
    return ReadRegistryString(registry, ComponentKey(category, name), "path").value;
}

TEST(Regcomp, RegistersAndUnregistersSeveralLibraries) {
    TestRegistry registry;
    const Outcome add =
        Regcomp(registry.File(), Quoted(Undulan) + " " + Quoted(FakeA) + " " + Quoted(FakeB));
    ASSERT_EQ(add.exitCode, 0) << add.output;
    EXPECT_EQ(PathOf(registry.File(), CategoryBaseLibrary, "UndulaN"), Undulan);
    EXPECT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEA"), FakeA);
    EXPECT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEB"), FakeB);

    const Outcome remove = Regcomp(registry.File(), "-u " + Quoted(FakeA));
    ASSERT_EQ(remove.exitCode, 0) << remove.output;
    EXPECT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEA"), "");
    EXPECT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEB"), FakeB);
    EXPECT_EQ(PathOf(registry.File(), CategoryBaseLibrary, "UndulaN"), Undulan);
}

TEST(Regcomp, ARelativePathIsRegisteredAsAnAbsoluteOne) {
    TestRegistry registry;
    const std::filesystem::path folder = std::filesystem::path(FakeA).parent_path();
    const std::string command = "cd " + Quoted(folder.string()) +
                                " && QUORVEL_REGISTRY=" + Quoted(registry.File()) + " " +
                                Quoted(REGCOMP_PROGRAM) + " " +
                                Quoted(std::filesystem::path(FakeA).filename().string()) + " 2>&1";
    const Outcome run = Finish(::popen(command.c_str(), "r"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEA"), FakeA);
}

struct Refusal {
    const char* name;
    std::string arguments; // %TEXT% is a text file, %NOFACTORY% a library that is no component
    int exitCode;
    const char* says;
};

void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.name;
}

class RegcompRefusal : public testing::TestWithParam<Refusal> {};

std::string LibraryWithoutEntryPoints() {
    Dl_info info{};
    void* cosine = ::dlsym(RTLD_DEFAULT, "cos");
    if (cosine == nullptr || ::dladdr(cosine, &info) == 0)
        return "/nonexistent/libm.so";
    return RealPath(info.dli_fname);
}

TEST_P(RegcompRefusal, FailsWithAMessageAndLeavesTheRegistryAlone) {
    TestRegistry registry;
    const std::string before = "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                               "\"path\"=\"/l/k.so\"\n";
    WriteText(registry.File(), before);
    const std::string text = registry.Folder().File("notes.txt");
    WriteText(text, "not a library\n");
    std::string arguments = GetParam().arguments;
    if (const size_t at = arguments.find("%TEXT%"); at != std::string::npos)
        arguments.replace(at, 6, Quoted(text));
    if (const size_t at = arguments.find("%NOFACTORY%"); at != std::string::npos)
        arguments.replace(at, 11, Quoted(LibraryWithoutEntryPoints()));

    const Outcome run = Regcomp(registry.File(), arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.output;
    EXPECT_NE(run.output.find(GetParam().says), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(registry.File()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegcompRefusal,
    testing::Values(Refusal{"NoArguments", "", 2, "usage"},
                    Refusal{"UnknownOption", "-x " + Quoted(FakeA), 2, "unknown option -x"},
                    Refusal{"MissingFile", "/nonexistent/libgone.so", 1, "No such file"},
                    Refusal{"TextFile", "%TEXT%", 1, "cannot load"},
                    Refusal{"NotAComponent", "%NOFACTORY%", 1, "is not a component"},
                    Refusal{"UnregisterWhatIsNotThere", "-u " + Quoted(FakeB), 1,
                            "not registered"}),
    [](const testing::TestParamInfo<Refusal>& p) { return p.param.name; });

TEST(Regcomp, ADamagedRegistryIsReportedAndKept) {
    TestRegistry registry;
    const std::string damaged = "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                                "\"path\"=\"/l/k.so\n";
    WriteText(registry.File(), damaged);
    const Outcome run = Regcomp(registry.File(), Quoted(Undulan));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("damaged (line 2"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(registry.File()), damaged);
}

TEST(Regcomp, OneFailureDoesNotStopTheOthers) {
    TestRegistry registry;
    const Outcome run = Regcomp(registry.File(), "/nonexistent/libgone.so " + Quoted(FakeB));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEB"), FakeB);
}

TEST(Regcomp, TwoRegistrationsAtTheSameTimeBothLand) {
    TestRegistry registry;
    for (int round = 0; round < 10; ++round) {
        std::filesystem::remove(registry.File());
        FILE* a = Start(registry.File(), Quoted(FakeA));
        FILE* b = Start(registry.File(), Quoted(FakeB));
        const Outcome ranA = Finish(a);
        const Outcome ranB = Finish(b);
        ASSERT_EQ(ranA.exitCode, 0) << ranA.output;
        ASSERT_EQ(ranB.exitCode, 0) << ranB.output;
        ASSERT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEA"), FakeA) << "round " << round;
        ASSERT_EQ(PathOf(registry.File(), CategoryDrivers, "FAKEB"), FakeB) << "round " << round;
    }
}

} // namespace
} // namespace quorvel
