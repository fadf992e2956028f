// What the simulated board plays: the output record of StartOutput (WAV, raw words,
// sidecar), how consecutive LoadSamples calls build one block, the playing state
// in real time, the flash memory and the journal.

#include "tests/plugins/sim_fixture.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

using namespace simtest;

namespace {

class OutputTest : public testing::TestWithParam<DriverKind> {
protected:
    void SetUp() override {
        ASSERT_NE(driver_.Get(), nullptr) << driver_.Library().Reason();
        ASSERT_EQ(driver_->OpenBoard(GetParam().firstId, 0, 0, 0), 1);
    }
    // ApplySettings, expecting acceptance; returns the realised clock.
    float Apply(int32_t mode, double clock, int32_t attenuator = 0, int32_t filter = 0) {
        BoardSettings settings = Settings(mode, clock, attenuator, filter);
        float realised = 0.0f;
        EXPECT_EQ(driver_->ApplySettings(1, &settings, &realised), 1);
        return realised;
    }
    int32_t Playing() {
        int32_t result = 0;
        const auto playing = Out<int32_t>(driver_.Get(), ctl::Playing, &result);
        EXPECT_EQ(result, 1);
        return playing;
    }
    boardsim::OutputRecord Latest() {
        auto read = folder_.Latest();
        EXPECT_TRUE(read.record) << read.error;
        return read.record.value_or(boardsim::OutputRecord{});
    }

    SimFolder folder_;
    Driver driver_{GetParam().name};
};

// A sine loaded and started is recorded as what was sent, with its settings.
TEST_P(OutputTest, SineIsRecordedAsSent) {
    EXPECT_EQ(Apply(ModeContinuous, TableClock, 1, 1), static_cast<float>(TableClock));
    const std::vector<int16_t> sine = Sine(1000, 8000.0, 3.0);
    ASSERT_EQ(driver_->LoadSamples(2, sine.data(), static_cast<int32_t>(sine.size()), 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);

    const boardsim::OutputRecord record = Latest();
    EXPECT_EQ(record.kind, "play");
    EXPECT_EQ(record.number, 1);
    EXPECT_EQ(record.driver, GetParam().name);
    EXPECT_EQ(record.boardId, GetParam().firstId);
    EXPECT_EQ(record.codes, sine);
    EXPECT_EQ(record.words, sine);
    EXPECT_EQ(record.clock, TableClock);
    EXPECT_EQ(record.wavRate, 1562500);
    EXPECT_FALSE(record.synthesiser);
    EXPECT_EQ(record.attenuator, 1);
    EXPECT_EQ(record.gain, static_cast<double>(0.1f));
    EXPECT_EQ(record.filter, 1);
    EXPECT_EQ(record.mode, ModeContinuous);
    EXPECT_TRUE(record.continuous);
    EXPECT_EQ(record.dataFormat, 2);
    EXPECT_FALSE(record.mixedFormats);
    EXPECT_EQ(record.clipped, 0);
    EXPECT_EQ(record.codeBits, 14);
    EXPECT_EQ(record.voltsWithoutLoad, 10.0);
    // Output volts without load = code x (V0 / 2^(bits-1)) x gain[stage].
    EXPECT_DOUBLE_EQ(record.voltsPerCode, 10.0 / 8192 * static_cast<double>(0.1f));
    EXPECT_DOUBLE_EQ(record.Volts(250), sine[250] * 10.0 / 8192 * static_cast<double>(0.1f));
    EXPECT_DOUBLE_EQ(record.duration, 1000 / TableClock);
    EXPECT_EQ(Playing(), 1);
}

// A file block comes in chunks of at most 1024 samples; a Control in between
// (the single-play watch) does not end the block.
TEST_P(OutputTest, ConsecutiveChunksMakeOneBlock) {
    Apply(ModeContinuous, TableClock);
    const std::vector<int16_t> block = Sine(2500, 4000.0, 5.0);
    for (int32_t at = 0; at < 2500; at += 1024) {
        const int32_t count = std::min(1024, 2500 - at);
        ASSERT_EQ(driver_->LoadSamples(2, block.data() + at, count, 0), 1);
        EXPECT_EQ(Playing(), 0);
    }
    ASSERT_EQ(driver_->StartOutput(), 1);
    EXPECT_EQ(Latest().codes, block);

    std::vector<int32_t> offsets;
    for (const auto& entry : folder_.Journal())
        if (entry.operation == "LoadSamples")
            offsets.push_back(std::stoi(entry.Arg("offset")));
    EXPECT_EQ(offsets, (std::vector<int32_t>{0, 1024, 2048}));
}

// A LoadSamples after any other board operation starts a new block.
TEST_P(OutputTest, AnotherOperationStartsANewBlock) {
    const std::vector<int16_t> first(300, 111);
    const std::vector<int16_t> second(200, -222);
    const auto load = [&](const std::vector<int16_t>& codes) {
        ASSERT_EQ(driver_->LoadSamples(2, codes.data(), static_cast<int32_t>(codes.size()), 0), 1);
    };
    struct Step {
        const char* name;
        std::function<void()> between;
    };
    const std::vector<Step> steps{
        {"StartOutput", [&] { ASSERT_EQ(driver_->StartOutput(), 1); }},
        {"StopOutput", [&] { driver_->StopOutput(); }},
        {"ApplySettings", [&] { Apply(ModeContinuous, TableClock); }},
        {"OpenBoard", [&] { ASSERT_EQ(driver_->OpenBoard(GetParam().firstId, 0, 0, 0), 1); }},
    };
    for (const Step& step : steps) {
        Apply(ModeContinuous, TableClock);
        load(first);
        step.between();
        load(second);
        ASSERT_EQ(driver_->StartOutput(), 1) << step.name;
        EXPECT_EQ(Latest().codes, second) << step.name;
    }
}

// Starting again without loading replays the block on the board (single play of
// an unchanged signal), and each start writes a record of its own.
TEST_P(OutputTest, StartWithoutLoadingReplaysTheBlock) {
    Apply(0, TableClock);
    const std::vector<int16_t> codes = Sine(400, 1000.0);
    ASSERT_EQ(driver_->LoadSamples(2, codes.data(), 400, 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    EXPECT_EQ(folder_.RecordCount(), 2u);
    const boardsim::OutputRecord record = Latest();
    EXPECT_EQ(record.number, 2);
    EXPECT_EQ(record.codes, codes);
    EXPECT_FALSE(record.continuous);
}

// The data formats as the board reads them (14-bit converter).
TEST_P(OutputTest, DataFormatsAreReadAsTheBoardWould) {
    struct Case {
        int32_t format;
        std::vector<int16_t> words;
        std::vector<int16_t> codes;
        int64_t clipped;
    };
    const std::vector<Case> cases{
        // Left-justified signed: the two low bits are sync bits.
        {1, {0x7FFD, -4, -3, 0x0004, 3}, {8191, -1, -1, 1, 0}, 0},
        // Right-justified signed codes; outside the converter range: limited.
        {2, {8191, -8192, 0, 9000, -9000}, {8191, -8192, 0, 8191, -8192}, 2},
        // Unsigned, left-justified.
        {4, {-1, 0, -0x8000, 0x7FFF}, {8191, -8192, 0, -1}, 0},
        // Two unsigned bytes per word, the low byte first.
        {8, {static_cast<int16_t>(0xFF00), 0x4080}, {-8192, 127 * 64, 0, -64 * 64}, 0},
    };
    for (const Case& c : cases) {
        Apply(ModeContinuous, TableClock);
        ASSERT_EQ(
            driver_->LoadSamples(c.format, c.words.data(), static_cast<int32_t>(c.words.size()), 0),
            1);
        ASSERT_EQ(driver_->StartOutput(), 1);
        const boardsim::OutputRecord record = Latest();
        EXPECT_EQ(record.dataFormat, c.format);
        EXPECT_EQ(record.codes, c.codes) << "format " << c.format;
        EXPECT_EQ(record.words, c.words) << "format " << c.format;
        EXPECT_EQ(record.clipped, c.clipped) << "format " << c.format;
    }
}

// 8-bit samples take two memory places per word: the memory bound counts samples.
TEST_P(OutputTest, EightBitWordsFillTheMemoryTwiceAsFast) {
    Apply(ModeContinuous, TableClock);
    const int32_t memory = GetParam().memory;
    const std::vector<int16_t> words(static_cast<size_t>(memory / 2), 0x0101);
    ASSERT_EQ(driver_->LoadSamples(8, words.data(), memory / 2, 0), 1);
    EXPECT_LT(driver_->LoadSamples(8, words.data(), 1, 0), 1);
    EXPECT_EQ(driver_->StartOutput(), -2) << "a refused chunk leaves nothing valid to play";
}

// Chunks of different formats in one block are played and flagged.
TEST_P(OutputTest, MixedFormatsAreFlagged) {
    Apply(ModeContinuous, TableClock);
    const std::vector<int16_t> words{400, 800};
    ASSERT_EQ(driver_->LoadSamples(1, words.data(), 2, 0), 1);
    ASSERT_EQ(driver_->LoadSamples(2, words.data(), 2, 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    const boardsim::OutputRecord record = Latest();
    EXPECT_EQ(record.dataFormat, 1);
    EXPECT_TRUE(record.mixedFormats);
    EXPECT_EQ(record.codes, (std::vector<int16_t>{100, 200, 400, 800}));
}

TEST_P(OutputTest, ContinuousPlayLastsUntilStopped) {
    Apply(ModeContinuous, 1e8);
    const std::vector<int16_t> codes(100, 5);
    ASSERT_EQ(driver_->LoadSamples(2, codes.data(), 100, 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Playing(), 1) << "100 samples at 100 MHz last 1 us, but the play loops";
    EXPECT_EQ(driver_->StopOutput(), 1);
    EXPECT_EQ(Playing(), 0);
}

// A single play lasts points / clock seconds of real time.
TEST_P(OutputTest, SinglePlayEndsAfterPointsOverClock) {
    // Long: 61 035 samples at 6103.515625 Hz last 10 s.
    EXPECT_EQ(Apply(0, 6103.515625), 6103.515625f);
    const std::vector<int16_t> longBlock(61035, 1);
    ASSERT_EQ(driver_->LoadSamples(2, longBlock.data(), 61035, 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    EXPECT_EQ(Playing(), 1);
    EXPECT_NEAR(Latest().duration, 10.0, 1e-3);
    driver_->StopOutput();
    EXPECT_EQ(Playing(), 0);

    // Short: 1000 samples at 1.5625 MHz last 0.64 ms.
    Apply(0, TableClock);
    const std::vector<int16_t> shortBlock(1000, 1);
    ASSERT_EQ(driver_->LoadSamples(2, shortBlock.data(), 1000, 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Playing(), 0);
    // A replay plays it once more.
    ASSERT_EQ(driver_->StartOutput(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Playing(), 0);
}

// The synthesiser's clock is recorded when the program switched it on.
TEST_P(OutputTest, SynthesiserClockIsRecorded) {
    if (!GetParam().synthesiser)
        GTEST_SKIP() << "no synthesiser";
    int32_t on = 1;
    ASSERT_EQ(driver_->Control(ctl::UseSynthesiser, &on), 1);
    EXPECT_EQ(Apply(ModeContinuous, 1234567.0), static_cast<float>(79e6 / 64));
    const std::vector<int16_t> codes(10, 0);
    ASSERT_EQ(driver_->LoadSamples(2, codes.data(), 10, 0), 1);
    ASSERT_EQ(driver_->StartOutput(), 1);
    const boardsim::OutputRecord record = Latest();
    EXPECT_TRUE(record.synthesiser);
    EXPECT_EQ(record.clock, 79e6 / 64);
    EXPECT_EQ(record.wavRate, 1234375);
}

// One journal line per call, with its arguments and result.
TEST_P(OutputTest, JournalHasOneLinePerCall) {
    Apply(ModeContinuous | ModeExternalStart, TableClock, 2);
    const std::vector<int16_t> codes(10, 3);
    driver_->LoadSamples(2, codes.data(), 10, 0);
    driver_->StartOutput();
    Playing();
    driver_->StopOutput();
    const auto journal = folder_.Journal();
    ASSERT_EQ(journal.size(), 6u);
    std::vector<std::string> operations;
    for (const auto& entry : journal) {
        EXPECT_EQ(entry.driver, GetParam().name);
        EXPECT_EQ(entry.result, 1) << entry.line;
        operations.push_back(entry.operation);
    }
    EXPECT_EQ(operations, (std::vector<std::string>{"OpenBoard", "ApplySettings", "LoadSamples",
                                                    "StartOutput", "Control", "StopOutput"}));
    EXPECT_EQ(journal[0].Arg("id"), std::to_string(GetParam().firstId));
    EXPECT_EQ(journal[1].Arg("mode"), "3");
    EXPECT_EQ(journal[1].Arg("attenuator"), "2");
    EXPECT_EQ(journal[1].Arg("realised"), "1562500");
    EXPECT_EQ(journal[2].Arg("format"), "2");
    EXPECT_EQ(journal[2].Arg("count"), "10");
    EXPECT_EQ(journal[3].Arg("record"), "1");
    EXPECT_EQ(journal[4].Code(), ctl::Playing);
    EXPECT_EQ(journal[4].Arg("value"), "1");
    EXPECT_TRUE(Latest().externalStart);
}

// The program polls the playing state on its main thread while its transfer
// thread loads the block: calls from two threads are safe and lose nothing.
TEST_P(OutputTest, PollingWhileLoadingLosesNothing) {
    Apply(ModeContinuous, TableClock);
    std::vector<int16_t> block(64 * 1024);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<int16_t>(static_cast<int32_t>(i % 16000) - 8000);
    std::atomic<bool> done{false};
    std::thread poller([&] {
        while (!done.load()) {
            int32_t playing = 0;
            driver_->Control(ctl::Playing, &playing);
        }
    });
    for (size_t at = 0; at < block.size(); at += 1024)
        EXPECT_EQ(driver_->LoadSamples(2, block.data() + at, 1024, 0), 1);
    done = true;
    poller.join();
    ASSERT_EQ(driver_->StartOutput(), 1);
    EXPECT_EQ(Latest().codes, block);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OutputTest, testing::ValuesIn(Kinds()), KindName);

// Without KORD77_SIM_OUT the board plays and writes nothing.
TEST(OutputFolderTest, NothingIsWrittenWithoutAFolder) {
    SimFolder folder;
    ::unsetenv("KORD77_SIM_OUT");
    Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    float realised = 0.0f;
    ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
    const std::vector<int16_t> codes(10, 3);
    ASSERT_EQ(driver->LoadSamples(2, codes.data(), 10, 0), 1);
    EXPECT_EQ(driver->StartOutput(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

// Old records beyond keep_records are removed.
TEST(OutputFolderTest, KeepsTheNewestRecords) {
    SimFolder folder;
    folder.Config("keep_records = 3\n");
    Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    float realised = 0.0f;
    ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
    const std::vector<int16_t> codes(10, 3);
    ASSERT_EQ(driver->LoadSamples(2, codes.data(), 10, 0), 1);
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(driver->StartOutput(), 1);
    const auto records = boardsim::ListRecords(folder.Path());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records.front().filename(), "record-000003.txt");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "record-000002.wav"));
}

// A record whose files disagree with its sidecar, or whose sidecar is damaged, is
// reported as an error rather than read.
TEST(OutputFolderTest, DamagedRecordsAreReportedNotRead) {
    SimFolder folder;
    {
        Driver driver("KORD77PCI");
        ASSERT_NE(driver.Get(), nullptr);
        ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
        BoardSettings settings = Settings(ModeContinuous, TableClock);
        float realised = 0.0f;
        ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
        const std::vector<int16_t> codes(10, 3);
        ASSERT_EQ(driver->LoadSamples(2, codes.data(), 10, 0), 1);
        ASSERT_EQ(driver->StartOutput(), 1);
    }
    const auto sidecar = folder.Path() / "record-000001.txt";
    ASSERT_TRUE(boardsim::ReadRecord(sidecar).record);
    const std::string good = [&] {
        std::ifstream in(sidecar);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        std::ofstream(sidecar, std::ios::trunc) << text;
        return boardsim::ReadRecord(sidecar);
    };
    for (const auto& [from, to] :
         {std::pair{"samples = 10", "samples = 11"}, std::pair{"words = 10", "words = 9"},
          std::pair{"clock = 1562500", "clock = fast"},
          std::pair{"wav_rate = 1562500", "wav_rate = 44100"},
          std::pair{"record = play", "record = song"}, std::pair{"attenuator = 0\n", ""}}) {
        const auto read = replace(from, to);
        EXPECT_FALSE(read.record) << to;
        EXPECT_NE(read.error, "") << to;
    }
    std::ofstream(sidecar, std::ios::trunc) << good;
    std::filesystem::resize_file(folder.Path() / "record-000001.raw", 7);
    EXPECT_FALSE(boardsim::ReadLatestRecord(folder.Path()).record);
    std::filesystem::remove(folder.Path() / "record-000001.wav");
    EXPECT_FALSE(boardsim::ReadLatestRecord(folder.Path()).record);
    EXPECT_FALSE(boardsim::ReadFlashRecord(folder.Path()).record);
}

// The USB board's flash: write an image, read it back from the record, erase.
TEST(FlashTest, WriteThenErase) {
    SimFolder folder;
    std::vector<int16_t> samples(120);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<int32_t>(i) * 4 * 50 - 12000 + 1);
    {
        Driver driver("KORD77USB");
        ASSERT_NE(driver.Get(), nullptr);
        ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
        FlashImage image{FlashImageType,
                         static_cast<int32_t>(sizeof(FlashImage)),
                         Settings(0, 3e6, 2, 1),
                         0,
                         120,
                         samples.data()};
        EXPECT_GT(driver->Control(ctl::FlashWrite, &image), 0);
        EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::FlashErasable), 1);
    }
    auto read = boardsim::ReadFlashRecord(folder.Path());
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->state, "written");
    EXPECT_EQ(read.record->words, samples);
    ASSERT_EQ(read.record->codes.size(), 120u);
    EXPECT_EQ(read.record->codes[7], samples[7] >> 2) << "the flash keeps sync bits below the code";
    EXPECT_EQ(read.record->clock, 3125000.0) << "the nearest table clock";
    EXPECT_EQ(read.record->attenuator, 2);
    EXPECT_EQ(read.record->filter, 1);
    EXPECT_FALSE(read.record->continuous);

    // The flash keeps its content for the next driver object (the next program run).
    Driver driver("KORD77USB");
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::FlashErasable), 1);
    EXPECT_GT(driver->Control(ctl::FlashWrite, nullptr), 0);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::FlashErasable), 0);
    read = boardsim::ReadFlashRecord(folder.Path());
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->state, "erased");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "flash.wav"));
}

TEST(FlashTest, SynthesiserImageUsesTheSynthesiserClock) {
    SimFolder folder;
    Driver driver("KORD77USB");
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    const std::vector<int16_t> samples(500, 4);
    FlashImage image{FlashImageType,
                     static_cast<int32_t>(sizeof(FlashImage)),
                     Settings(ModeContinuous, 1234567.0),
                     1,
                     500,
                     samples.data()};
    EXPECT_GT(driver->Control(ctl::FlashWrite, &image), 0);
    const auto read = boardsim::ReadFlashRecord(folder.Path());
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_TRUE(read.record->synthesiser);
    EXPECT_EQ(read.record->clock, 79e6 / 64);
    EXPECT_EQ(read.record->codes.size(), 500u);
}

TEST(FlashTest, BoardsWithoutFlashRefuse) {
    SimFolder folder;
    Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    const std::vector<int16_t> samples(10, 4);
    FlashImage image{FlashImageType,
                     static_cast<int32_t>(sizeof(FlashImage)),
                     Settings(ModeContinuous, TableClock),
                     0,
                     10,
                     samples.data()};
    EXPECT_EQ(driver->Control(ctl::FlashWrite, &image), 0);
    EXPECT_EQ(driver->Control(ctl::FlashWrite, nullptr), 0);
    EXPECT_FALSE(boardsim::ReadFlashRecord(folder.Path()).record);
}

// Release hands the object back to its factory, which destroys it.
TEST(ReleaseTest, ReleaseDestroysTheObject) {
    SimFolder folder;
    Driver driver("KORD77ISA");
    ASSERT_NE(driver.Get(), nullptr);
    void* object = driver.Get();
    driver->Release();
    driver.Forget();
    EXPECT_EQ(driver.Library().Factory()->Release(&object), FactoryNotOurs);
}

} // namespace
