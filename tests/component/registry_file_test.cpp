// The registry file: lookups and their failures, writers that keep what they did
// not change, refuse damaged files and leave no trace when they fail, concurrent
// writer processes, and writers killed half-way.

#include "component/registry_file.h"
#include "tests/component/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvel {
namespace {

constexpr const char* Key = "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN";

class RegistryFile : public testing::Test {
protected:
    TempFolder folder;
    std::string file = folder.File("registry.reg");

    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder.Path()),
                                                 std::filesystem::directory_iterator()));
    }
};

struct Lookup {
    const char* name;
    const char* content; // null: no file
    RegistryStatus status;
    const char* value;
};

void PrintTo(const Lookup& c, std::ostream* os) {
    *os << c.name;
}

class RegistryLookup : public RegistryFile, public testing::WithParamInterface<Lookup> {};

TEST_P(RegistryLookup, GivesTheStringOrSaysWhyNot) {
    const Lookup& c = GetParam();
    if (c.content != nullptr)
        WriteText(file, c.content);
    const RegistryString read = ReadRegistryString(file, Key, "path");
    EXPECT_EQ(read.status, c.status) << read.message;
    EXPECT_EQ(read.value, c.value);
    if (c.status != RegistryStatus::Ok) {
        EXPECT_NE(read.message.find(file), std::string::npos) << read.message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryLookup,
    testing::Values(
        Lookup{"Found",
               "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\n\"path\"=\"/l/u.so\"\n",
               RegistryStatus::Ok, "/l/u.so"},
        Lookup{"KeyInOtherCase",
               "[software\\QUORVEL LTD\\base library\\1.0\\undulan]\n\"PATH\"=\"/l/u.so\"\n",
               RegistryStatus::Ok, "/l/u.so"},
        Lookup{"NoFile", nullptr, RegistryStatus::NoFile, ""},
        Lookup{"EmptyFile", "", RegistryStatus::NoKey, ""},
        Lookup{"OtherKeyOnly",
               "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\LUPEX]\n\"path\"=\"/x\"\n",
               RegistryStatus::NoKey, ""},
        Lookup{"KeyWithoutPath",
               "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\n\"UIName\"=\"IUndula\"\n",
               RegistryStatus::NoValue, ""},
        Lookup{"PathNotAString",
               "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\n\"path\"=dword:00000001\n",
               RegistryStatus::NotString, ""},
        Lookup{"Truncated", "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\n\"path\"=\"/l/u",
               RegistryStatus::Damaged, ""}),
    [](const testing::TestParamInfo<Lookup>& p) { return p.param.name; });

TEST_F(RegistryFile, AFolderInPlaceOfTheFileIsUnreadable) {
    std::filesystem::create_directory(file);
    EXPECT_EQ(ReadRegistryString(file, Key, "path").status, RegistryStatus::Unreadable);
    EXPECT_FALSE(SetRegistryStrings(file, Key, {{"path", "/x"}}).ok);
}

TEST_F(RegistryFile, AWriterKeepsEveryKeyValueAndCommentItDidNotChange) {
    const std::string before = "; hand-written\n"
                               "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                               "\"path\"=\"/l/k.so\"\n"
                               "\"Count\"=dword:00000003\n"
                               "\n"
                               "[software\\quorvel ltd\\base library\\1.0\\undulan]\n"
                               "; old place\n"
                               "\"path\"=\"/old/u.so\"\n"
                               "\"Other\"=\"kept\"\n";
    WriteText(file, before);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const RegistryWrite write =
        SetRegistryStrings(file, Key, {{"path", "/new/u.so"}, {"UIName", "IUndula"}});
    ASSERT_TRUE(write.ok) << write.message;
    EXPECT_EQ(ReadText(file), "; hand-written\n"
                              "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                              "\"path\"=\"/l/k.so\"\n"
                              "\"Count\"=dword:00000003\n"
                              "\n"
                              "[software\\quorvel ltd\\base library\\1.0\\undulan]\n"
                              "; old place\n"
                              "\"path\"=\"/new/u.so\"\n"
                              "\"Other\"=\"kept\"\n"
                              "\"UIName\"=\"IUndula\"\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replacement keeps the file's mode";
    EXPECT_EQ(FilesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(RegistryFile, AWriterCreatesAMissingFileAndFolder) {
    const std::string deep = folder.File("etc/quorvel/registry.reg");
    ASSERT_TRUE(SetRegistryStrings(deep, Key, {{"path", "/x/u.so"}}).ok);
    EXPECT_EQ(ReadRegistryString(deep, Key, "path").value, "/x/u.so");
}

TEST_F(RegistryFile, AWriterWritesThroughASymbolicLink) {
    const std::string real = folder.File("real.reg");
    WriteText(real, "[A]\n\"v\"=\"1\"\n");
    std::filesystem::create_symlink(real, file);
    ASSERT_TRUE(SetRegistryStrings(file, Key, {{"path", "/x"}}).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(ReadRegistryString(real, Key, "path").value, "/x");
    EXPECT_EQ(ReadRegistryString(real, "A", "v").value, "1");
}

TEST_F(RegistryFile, AnUnchangedTextIsNotRewritten) {
    ASSERT_TRUE(SetRegistryStrings(file, Key, {{"path", "/x"}}).ok);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    ASSERT_TRUE(SetRegistryStrings(file, "software\\quorvel ltd\\base library\\1.0\\undulan",
                                   {{"PATH", "/x"}})
                    .ok);
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

// Damaged files are reported and kept byte for byte; a failed change leaves the
// file as it was, and does not create one that did not exist.
TEST_F(RegistryFile, AWriterThatCannotProceedChangesNothing) {
    const std::string damaged = "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                                "\"path\"=\"/l/k.so\"\n"
                                "\"UIName\"=\"IADCDev";
    WriteText(file, damaged);
    const RegistryWrite write = SetRegistryStrings(file, Key, {{"path", "/x"}});
    EXPECT_FALSE(write.ok);
    EXPECT_NE(write.message.find("damaged"), std::string::npos) << write.message;
    EXPECT_NE(write.message.find("line 3"), std::string::npos) << write.message;
    EXPECT_EQ(ReadText(file), damaged);
    EXPECT_EQ(LoadRegistry(file).status, RegistryStatus::Damaged);

    const std::string good = "[A]\n\"v\"=\"1\"\n";
    WriteText(file, good);
    EXPECT_FALSE(SetRegistryStrings(file, Key, {{"path", "/home/op\n/lib.so"}}).ok);
    EXPECT_FALSE(UpdateRegistry(file, [](RegistryDocument&) { return std::string("no"); }).ok);
    EXPECT_EQ(ReadText(file), good);

    std::filesystem::remove(file);
    const RegistryWrite refused =
        UpdateRegistry(file, [](RegistryDocument&) { return std::string("not registered"); });
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "not registered");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(FilesInFolder(), 0u);
}

// Runs `work` in a child process; returns its pid.
template <class Work> pid_t Spawn(Work work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool ok = work();
        ::_exit(ok ? 0 : 1);
    }
    return pid;
}

int ExitCode(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(RegistryFile, TwoWriterProcessesBothLandAndReadersNeverSeeAPartialFile) {
    constexpr int PerWriter = 40;
    auto writer = [this](char name) {
        return [this, name] {
            for (int i = 0; i < PerWriter; ++i) {
                const std::string key =
                    std::string("SOFTWARE\\W") + name + "\\" + std::to_string(i);
                if (!SetRegistryStrings(file, key, {{"path", "/lib/" + key}}).ok)
                    return false;
            }
            return true;
        };
    };
    const pid_t a = Spawn(writer('A'));
    const pid_t b = Spawn(writer('B'));
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    // Meanwhile this process reads: every read sees a whole file (or none yet).
    int reads = 0;
    int damaged = 0;
    for (auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
         std::chrono::steady_clock::now() < until; ++reads) {
        const RegistryLoad load = LoadRegistry(file);
        if (load.status == RegistryStatus::Damaged)
            ++damaged;
    }
    EXPECT_EQ(ExitCode(a), 0);
    EXPECT_EQ(ExitCode(b), 0);
    EXPECT_EQ(damaged, 0) << "of " << reads << " reads";

    const RegistryLoad load = LoadRegistry(file);
    ASSERT_EQ(load.status, RegistryStatus::Ok) << load.message;
    EXPECT_EQ(load.document.keys.size(), 2u * PerWriter);
    for (char name : {'A', 'B'}) {
        for (int i = 0; i < PerWriter; ++i) {
            const std::string key = std::string("SOFTWARE\\W") + name + "\\" + std::to_string(i);
            EXPECT_EQ(ReadRegistryString(file, key, "path").value, "/lib/" + key);
        }
    }
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(RegistryFile, AWriterKilledHalfWayLeavesTheOldFileAndTheLockFree) {
    ASSERT_TRUE(SetRegistryStrings(file, Key, {{"path", "/kept/u.so"}}).ok);
    // Large values make each replacement take a while, so that kills land in every
    // phase: waiting for the lock, writing the temporary file, renaming.
    const std::string big(200000, 'x');
    for (int round = 0; round < 12; ++round) {
        const pid_t child = Spawn([&] {
            for (int i = 0;; ++i) {
                if (!SetRegistryStrings(file, "SOFTWARE\\Busy", {{"v", big + std::to_string(i)}})
                         .ok)
                    return false;
            }
        });
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + 7 * round));
        ::kill(child, SIGKILL);
        EXPECT_EQ(ExitCode(child), 128 + SIGKILL);

        const RegistryString kept = ReadRegistryString(file, Key, "path");
        ASSERT_EQ(kept.status, RegistryStatus::Ok) << "round " << round << ": " << kept.message;
        EXPECT_EQ(kept.value, "/kept/u.so");
        // The dead writer's lock went with it.
        ASSERT_TRUE(
            SetRegistryStrings(file, "SOFTWARE\\After", {{"round", std::to_string(round)}}).ok);
    }
    EXPECT_EQ(ReadRegistryString(file, "SOFTWARE\\After", "round").value, "11");
    EXPECT_EQ(FilesInFolder(), 1u) << "a dead writer's temporary file outlived the next write";
}

TEST(RegistryLocation, TheEnvironmentNamesTheFileElseTheConfiguredPath) {
    const char* saved = std::getenv("QUORVEL_REGISTRY");
    const std::string restore = saved != nullptr ? saved : "";
    ::setenv("QUORVEL_REGISTRY", "/tmp/elsewhere.reg", 1);
    EXPECT_EQ(RegistryPath(), "/tmp/elsewhere.reg");
    ::setenv("QUORVEL_REGISTRY", "", 1);
    EXPECT_EQ(RegistryPath(), DefaultRegistryPath());
    ::unsetenv("QUORVEL_REGISTRY");
    EXPECT_EQ(RegistryPath(), DefaultRegistryPath());
    EXPECT_EQ(std::filesystem::path(DefaultRegistryPath()).filename(), "registry.reg");
    if (saved != nullptr)
        ::setenv("QUORVEL_REGISTRY", restore.c_str(), 1);
}

} // namespace
} // namespace quorvel
