// The configuration writer: exact bytes of every line format, padding and the
// comment column, continued float lists, a writer without a file, and the atomic
// replacement of the old file.

#include "app/params/config_reader.h"
#include "app/params/config_writer.h"
#include "tests/app/params/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

using params::ConfigReader;
using params::ConfigWriter;
using params::PadKey;

std::string Blanks(std::size_t n) {
    return std::string(n, ' ');
}

class ConfigWriterFile : public ::testing::Test {
protected:
    // Writes with `write` into a fresh file and returns its bytes.
    template <typename Write> std::string Written(Write write) {
        const std::string path = folder.File("out.cfg");
        ConfigWriter writer;
        EXPECT_TRUE(writer.Create(path));
        write(writer);
        EXPECT_TRUE(writer.Close());
        return ReadBytes(path);
    }

    TempFolder folder;
};

TEST_F(ConfigWriterFile, DoubleLineMatchesTheDocumentedExample) {
    const std::string bytes = Written([](ConfigWriter& w) {
        EXPECT_EQ(w.WriteDouble(PadKey("Amplitude", 17), "//", 60, 5.0), 1);
    });
    EXPECT_EQ(bytes, "Amplitude" + Blanks(8) + " = " + "5.000000" + Blanks(51) + "//\r\n");
    EXPECT_EQ(bytes.find("//"), 79u); // the comment starts at the 80th character
}

struct LineCase {
    const char* name;
    int (*write)(ConfigWriter&);
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const LineCase& c) {
    return out << c.name;
}

class LineFormat : public ConfigWriterFile, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineFormat, WritesExactBytes) {
    const LineCase& c = GetParam();
    EXPECT_EQ(Written([&](ConfigWriter& w) { EXPECT_EQ(c.write(w), 1); }), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineFormat,
    ::testing::Values(
        LineCase{"QuotedText",
                 [](ConfigWriter& w) {
                     return w.WriteString(PadKey("Language", 17), "English", true, 60, "//");
                 },
                 "Language" + Blanks(9) + " = \"English\"" + Blanks(50) + "//\r\n"},
        LineCase{"PlainText",
                 [](ConfigWriter& w) { return w.WriteString("Name", "abc", false, 10, ";c"); },
                 "Name = abc" + Blanks(6) + ";c\r\n"},
        LineCase{"Decimal", [](ConfigWriter& w) { return w.WriteInt("N", -25, false, 8, "//"); },
                 "N = -25" + Blanks(4) + "//\r\n"},
        LineCase{"Hexadecimal",
                 [](ConfigWriter& w) { return w.WriteInt("H", 255, true, 12, "//"); },
                 "H = 0x000000FF" + Blanks(1) + "//\r\n"},
        LineCase{"HexadecimalNegative",
                 [](ConfigWriter& w) { return w.WriteInt("H", -1, true, 0, ""); },
                 "H = 0xFFFFFFFF\r\n"},
        LineCase{"DoubleSixDecimals",
                 [](ConfigWriter& w) { return w.WriteDouble("D", "", 0, 6103.515625); },
                 "D = 6103.515625\r\n"},
        LineCase{"DoubleRoundsToSixDecimals",
                 [](ConfigWriter& w) { return w.WriteDouble("D", "", 0, 1e-7); },
                 "D = 0.000000\r\n"},
        LineCase{"DoubleNegativeLarge",
                 [](ConfigWriter& w) { return w.WriteDouble("D", "", 0, -12345678.25); },
                 "D = -12345678.250000\r\n"},
        LineCase{"ValueLongerThanWidthGetsNoPadding",
                 [](ConfigWriter& w) {
                     return w.WriteString("K", std::string(70, 'v'), false, 60, "//");
                 },
                 "K = " + std::string(70, 'v') + "//\r\n"},
        LineCase{"ValueOfExactlyWidthMinusOne",
                 [](ConfigWriter& w) { return w.WriteString("K", "abcd", false, 5, "//"); },
                 "K = abcd//\r\n"}));

TEST_F(ConfigWriterFile, FloatListContinuesAfterEveryFourValues) {
    const std::vector<float> values{50, 75, 100, 150, 200, 600.5f};
    const std::string key = PadKey("RezistList", 17);
    const std::string bytes =
        Written([&](ConfigWriter& w) { EXPECT_EQ(w.WriteFloatList(key, values, 60, "//", 4), 1); });
    const std::string first = key + " = 50.0 75.0 100.0 150.0 \\\r\n";
    std::string second = Blanks(20) + "200.0 600.5";
    second += Blanks(20 + 59 - second.size()) + "//\r\n";
    EXPECT_EQ(bytes, first + second);

    // the reader joins the lines again
    ConfigReader reader;
    ASSERT_TRUE(reader.OpenBytes(bytes + "Next = 1\r\n"));
    std::array<double, 10> read{};
    ASSERT_EQ(reader.GetDoubleList("RezistList", read), 6);
    EXPECT_EQ(read[4], 200.0);
    EXPECT_EQ(read[5], 600.5);
}

TEST_F(ConfigWriterFile, FloatListOfExactlyOneLineHasNoContinuation) {
    const std::vector<float> values{1, 2, 3, 4};
    const std::string bytes =
        Written([&](ConfigWriter& w) { EXPECT_EQ(w.WriteFloatList("L", values, 30, "//", 4), 1); });
    std::string expected = "L = 1.0 2.0 3.0 4.0";
    expected += Blanks(4 + 29 - expected.size()) + "//\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST_F(ConfigWriterFile, FloatListWithoutValuesOrLineLimit) {
    const std::vector<float> values{1.25f, 2, 3};
    EXPECT_EQ(Written([&](ConfigWriter& w) {
                  EXPECT_EQ(w.WriteFloatList("L", {}, 0, "//", 4), 1);
                  EXPECT_EQ(w.WriteFloatList("M", values, 0, "", 0), 1);
              }),
              "L = //\r\nM = 1.2 2.0 3.0\r\n");
}

TEST_F(ConfigWriterFile, WriterWithoutAFileWritesNothing) {
    ConfigWriter writer;
    EXPECT_FALSE(writer.Create(folder.File("no-such-folder/out.cfg")));
    const std::vector<float> values{1};
    EXPECT_EQ(writer.WriteString("K", "v", true, 60, "//"), 0);
    EXPECT_EQ(writer.WriteInt("K", 1, false, 60, "//"), 0);
    EXPECT_EQ(writer.WriteDouble("K", "//", 60, 1.0), 0);
    EXPECT_EQ(writer.WriteFloatList("K", values, 60, "//", 4), 0);
    EXPECT_FALSE(writer.Close());
    EXPECT_EQ(folder.EntryCount(), 0u);

    ConfigWriter never;
    EXPECT_EQ(never.WriteInt("K", 1, false, 60, "//"), 0);
    EXPECT_FALSE(never.Close());
}

class AtomicSave : public ConfigWriterFile {
protected:
    void SetUp() override {
        path = folder.File("generator.cfg");
        WriteBytes(path, oldContent);
        ::chmod(path.c_str(), 0640);
    }

    std::string path;
    const std::string oldContent = "Amplitude = 1.000000 //\r\n";
};

TEST_F(AtomicSave, OldFileStaysUntilClose) {
    {
        ConfigWriter writer(path);
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(writer.WriteDouble("Amplitude", "//", 0, 2.0), 1);
        EXPECT_EQ(ReadBytes(path), oldContent); // not yet replaced
        EXPECT_TRUE(writer.Close());
    }
    EXPECT_EQ(ReadBytes(path), "Amplitude = 2.000000//\r\n");
    EXPECT_EQ(folder.EntryCount(), 1u);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the new file keeps the old permissions
}

TEST_F(AtomicSave, WriterDroppedWithoutCloseKeepsTheOldFile) {
    {
        ConfigWriter writer(path);
        EXPECT_EQ(writer.WriteDouble("Amplitude", "//", 0, 2.0), 1);
    }
    EXPECT_EQ(ReadBytes(path), oldContent);
    EXPECT_EQ(folder.EntryCount(), 1u); // the temporary file is gone
}

// Lowers the largest file size this process may write, so that a write fails the
// way a full disk makes it fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST_F(AtomicSave, FailedWriteKeepsTheOldFile) {
    ConfigWriter writer(path);
    ASSERT_TRUE(writer.IsOpen());
    int second = 1;
    {
        const FileSizeLimit limit(40);
        ASSERT_TRUE(limit.Active());
        EXPECT_EQ(writer.WriteString("First", "fits", false, 0, ""), 1);
        second = writer.WriteString("Second", std::string(100, 'x'), false, 0, "");
    }
    EXPECT_EQ(second, 0);
    EXPECT_EQ(writer.WriteString("Third", "fits", false, 0, ""), 1);
    EXPECT_FALSE(writer.Close()); // the new file is incomplete: not used
    EXPECT_EQ(ReadBytes(path), oldContent);
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(FormatFixed, IsTheCLocaleFormat) {
    EXPECT_EQ(params::FormatFixed(5.0, 6), "5.000000");
    EXPECT_EQ(params::FormatFixed(-0.15, 1), "-0.1");
    EXPECT_EQ(params::FormatFixed(0.25, 1), "0.2"); // halfway rounds to even, as printf
    EXPECT_EQ(params::FormatFixed(1e20, 1), "100000000000000000000.0");
}

} // namespace
