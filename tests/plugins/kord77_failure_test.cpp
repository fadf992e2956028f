// How the simulated board fails: results forced through the state file, the USB
// cable and the power supply, boards that do not answer, and bad input from the
// program, which gives a failure result and never a crash.

#include "tests/plugins/sim_fixture.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace simtest;

namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// A board opened, with settings applied and a block loaded, ready to start.
class FailureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(driver_.Get(), nullptr) << driver_.Library().Reason();
        ASSERT_EQ(driver_->OpenBoard(0, 0, 0, 0), 1);
        ASSERT_EQ(Apply(), 1);
        ASSERT_EQ(driver_->LoadSamples(2, block_.data(), static_cast<int32_t>(block_.size()), 0),
                  1);
    }
    int32_t Apply(BoardSettings settings = Settings(ModeContinuous, TableClock)) {
        float realised = 0.0f;
        return driver_->ApplySettings(1, &settings, &realised);
    }
    int32_t Playing() { return Out<int32_t>(driver_.Get(), ctl::Playing); }

    SimFolder folder_;
    Driver driver_{"KORD77USB"};
    std::vector<int16_t> block_ = Sine(100, 1000.0);
};

// Every operation and Control code can be made to give a chosen result; the call
// is then not carried out, and the journal marks it as forced.
struct ForcedCase {
    const char* state;
    const char* operation;
    int32_t expected;
    std::function<int32_t(IADCDevice*)> call;
};

class ForcedResultTest : public FailureTest, public testing::WithParamInterface<ForcedCase> {};

TEST_P(ForcedResultTest, ComesBackAsItsResult) {
    const ForcedCase& c = GetParam();
    folder_.State(c.state);
    EXPECT_EQ(c.call(driver_.Get()), c.expected);
    const auto journal = folder_.Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back().operation, c.operation);
    EXPECT_TRUE(journal.back().Has("forced")) << journal.back().line;
    EXPECT_EQ(journal.back().result, c.expected);

    // The state file is re-read on every call: without the entry the call works.
    folder_.State("");
    EXPECT_GE(c.call(driver_.Get()), 1);
}

int32_t PlayingCall(IADCDevice* device) {
    int32_t value = 0;
    return device->Control(ctl::Playing, &value);
}

const ForcedCase ForcedCases[] = {
    {"fail.OpenBoard = 0\n", "OpenBoard", 0,
     [](IADCDevice* d) { return d->OpenBoard(0, 0, 0, 0); }},
    {"fail.ApplySettings = -1\n", "ApplySettings", -1,
     [](IADCDevice* d) {
         BoardSettings settings = Settings(ModeContinuous, TableClock);
         float realised = 0.0f;
         return d->ApplySettings(1, &settings, &realised);
     }},
    {"fail.StartOutput = -7\n", "StartOutput", -7, [](IADCDevice* d) { return d->StartOutput(); }},
    {"fail.StopOutput = 0\n", "StopOutput", 0, [](IADCDevice* d) { return d->StopOutput(); }},
    {"fail.LoadSamples = 0\n", "LoadSamples", 0,
     [](IADCDevice* d) {
         const int16_t code = 5;
         return d->LoadSamples(2, &code, 1, 0);
     }},
    {"fail.Control = 0\n", "Control", 0, PlayingCall},
    {"fail.Control.0x7A5A0020 = -3\n", "Control", -3, PlayingCall},
    {"fail.Control.17 = 0\n", "Control", 0,
     [](IADCDevice* d) {
         uint32_t capabilities = 0;
         return d->Control(ctl::Capabilities, &capabilities);
     }},
    {"fail.Control.0x7A5A0090 = 0\n", "Control", 0,
     [](IADCDevice* d) { return d->Control(ctl::FlashWrite, nullptr); }},
    {"KORD77USB.fail.StartOutput = 3\n", "StartOutput", 3,
     [](IADCDevice* d) { return d->StartOutput(); }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ForcedResultTest, testing::ValuesIn(ForcedCases));

TEST_F(FailureTest, ForcedStartPlaysNothingAndWritesNoRecord) {
    folder_.State("fail.StartOutput = -7\n");
    EXPECT_EQ(driver_->StartOutput(), -7);
    EXPECT_EQ(Playing(), 0);
    EXPECT_EQ(folder_.RecordCount(), 0u);
}

TEST_F(FailureTest, ForcedApplySettingsLeavesTheClockUnwritten) {
    folder_.State("fail.ApplySettings = 0\n");
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    float realised = -1.0f;
    EXPECT_EQ(driver_->ApplySettings(1, &settings, &realised), 0);
    EXPECT_EQ(realised, -1.0f);
}

// A failed chunk leaves nothing to play, as a failed transfer would.
TEST_F(FailureTest, ForcedLoadFailureBreaksTheBlock) {
    ASSERT_EQ(Apply(), 1);
    folder_.State("fail.LoadSamples = 0\n");
    EXPECT_EQ(driver_->LoadSamples(2, block_.data(), 10, 0), 0);
    folder_.State("");
    EXPECT_EQ(driver_->StartOutput(), -2);
}

// A forced entry for one code leaves the other codes alone and wins over the
// entry for every code.
TEST_F(FailureTest, CodeEntryWinsOverTheGeneralEntry) {
    folder_.State("fail.Control = -5\nfail.Control.31 = 9\n");
    int32_t bits = 0;
    EXPECT_EQ(driver_->Control(ctl::Resolution, &bits), 9);
    EXPECT_EQ(bits, 0) << "not carried out";
    EXPECT_EQ(PlayingCall(driver_.Get()), -5);
    EXPECT_EQ(driver_->StartOutput(), 1) << "other operations are not affected";
}

// A forced result can spare the first calls of its operation, counted from the last
// change of the state file: a transfer that fails at its third chunk.
TEST_F(FailureTest, FailAfterSparesTheFirstCalls) {
    folder_.State("fail_after.LoadSamples = 2\nfail.LoadSamples = -2\n");
    const auto load = [&] { return driver_->LoadSamples(2, block_.data(), 10, 0); };
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(load(), 1);
    EXPECT_EQ(load(), -2);
    EXPECT_EQ(load(), -2);
    EXPECT_EQ(driver_->StartOutput(), -2) << "the failed chunk spoiled the block";
    folder_.State("fail_after.LoadSamples = 1\nfail.LoadSamples = 0\n");
    EXPECT_EQ(load(), 1) << "a changed state file counts again";
    EXPECT_EQ(load(), 0);
}

// "No answer": every call fails at once with 0, nothing hangs, nothing changes.
TEST_F(FailureTest, NoAnswerFailsEveryCallAtOnce) {
    ASSERT_EQ(driver_->StartOutput(), 1);
    folder_.State("no_answer = 1\n");
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    float realised = 0.0f;
    int32_t value = 0;
    EXPECT_EQ(driver_->OpenBoard(0, 0, 0, 0), 0);
    EXPECT_EQ(driver_->ApplySettings(1, &settings, &realised), 0);
    EXPECT_EQ(driver_->LoadSamples(2, block_.data(), 1, 0), 0);
    EXPECT_EQ(driver_->StartOutput(), 0);
    EXPECT_EQ(driver_->StopOutput(), 0);
    EXPECT_EQ(driver_->Control(ctl::Playing, &value), 0);
    EXPECT_EQ(driver_->Control(ctl::Connected, &value), 0);
    for (const auto& entry : folder_.Journal()) {
        if (entry.Has("no_answer")) {
            EXPECT_EQ(entry.result, 0);
        }
    }
    folder_.State("");
    EXPECT_EQ(Playing(), 1) << "the board kept playing what it played";
}

// Unplugging the USB board stops it and loses its memory; plugged in again it
// needs a new block but not a new OpenBoard.
TEST_F(FailureTest, UnpluggedBoardStopsAndForgets) {
    ASSERT_EQ(driver_->StartOutput(), 1);
    folder_.State("connected = 0\n");
    EXPECT_EQ(Out<int32_t>(driver_.Get(), ctl::Connected), 0);
    EXPECT_EQ(Playing(), 0);
    EXPECT_EQ(driver_->StartOutput(), -4);
    EXPECT_EQ(Apply(), 0);
    EXPECT_EQ(driver_->LoadSamples(2, block_.data(), 10, 0), 0);
    EXPECT_EQ(driver_->OpenBoard(0, 0, 0, 0), 0);
    folder_.State("connected = 1\n");
    EXPECT_EQ(Out<int32_t>(driver_.Get(), ctl::Connected), 1);
    EXPECT_EQ(driver_->StartOutput(), -2);
    ASSERT_EQ(Apply(), 1);
    ASSERT_EQ(driver_->LoadSamples(2, block_.data(), 100, 0), 1);
    EXPECT_EQ(driver_->StartOutput(), 1);
}

TEST_F(FailureTest, AbnormalPowerStopsTheOutput) {
    ASSERT_EQ(driver_->StartOutput(), 1);
    folder_.State("power_normal = 0\n");
    EXPECT_EQ(Out<int32_t>(driver_.Get(), ctl::PowerNormal), 0);
    EXPECT_EQ(Playing(), 0);
    EXPECT_EQ(driver_->StartOutput(), -5);
    folder_.State("power_normal = 1\n");
    EXPECT_EQ(driver_->StartOutput(), 1) << "the block survives a power fault";
}

// Which boards answer can change while the program runs.
TEST(AnsweringTest, StateFileChoosesTheBoardsThatAnswer) {
    SimFolder folder;
    Driver driver("KORD77ISA");
    ASSERT_NE(driver.Get(), nullptr);
    EXPECT_EQ(driver->OpenBoard(0x300, 0, 0, 0), 1);
    EXPECT_EQ(driver->OpenBoard(0x310, 0, 0, 0), 0);
    folder.State("answering = 0x320\n");
    EXPECT_EQ(driver->OpenBoard(0x300, 0, 0, 0), 0);
    EXPECT_EQ(driver->OpenBoard(0x310, 0, 0, 0), 0);
    EXPECT_EQ(driver->OpenBoard(0x320, 0, 0, 0), 1);
    folder.State("answering =\n");
    EXPECT_EQ(driver->OpenBoard(0x320, 0, 0, 0), 0);
}

// A failed OpenBoard keeps the board that was selected.
TEST(AnsweringTest, FailedOpenKeepsTheSelection) {
    SimFolder folder;
    Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    EXPECT_EQ(driver->OpenBoard(1, 0, 0, 0), 0);
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    float realised = 0.0f;
    EXPECT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
}

// What the board needs before it can play, in order.
TEST(StartOrderTest, StartNeedsABoardSettingsAndSamples) {
    SimFolder folder;
    Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr);
    const std::vector<int16_t> codes(10, 1);
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    float realised = 0.0f;
    EXPECT_EQ(driver->StartOutput(), -1);
    EXPECT_EQ(driver->ApplySettings(1, &settings, &realised), 0);
    EXPECT_EQ(driver->LoadSamples(2, codes.data(), 10, 0), 0);
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    EXPECT_EQ(driver->StartOutput(), -3);
    ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
    EXPECT_EQ(driver->StartOutput(), -2);
    ASSERT_EQ(driver->LoadSamples(2, codes.data(), 10, 0), 1);
    EXPECT_EQ(driver->StartOutput(), 1);
}

// Bad input gives a failure result (below 1), never a crash.
struct BadCall {
    const char* name;
    std::function<int32_t(IADCDevice*)> call;
    int32_t expected;
};

class BadInputTest : public FailureTest, public testing::WithParamInterface<BadCall> {};

TEST_P(BadInputTest, GivesAFailureResult) {
    EXPECT_EQ(GetParam().call(driver_.Get()), GetParam().expected);
    EXPECT_EQ(driver_->StartOutput(), 1) << "the block loaded before is still good";
}

int32_t ApplyWith(IADCDevice* device, std::function<void(BoardSettings&)> change) {
    BoardSettings settings = Settings(ModeContinuous, TableClock);
    change(settings);
    float realised = 0.0f;
    return device->ApplySettings(1, &settings, &realised);
}

int32_t WriteFlashWith(IADCDevice* device, std::function<void(FlashImage&)> change) {
    static const std::vector<int16_t> samples(600, 8);
    FlashImage image{
        FlashImageType, static_cast<int32_t>(sizeof(FlashImage)), Settings(0, 1e6), 0, 100,
        samples.data()};
    change(image);
    return device->Control(ctl::FlashWrite, &image);
}

const BadCall BadCalls[] = {
    {"OpenBoardUnknownId", [](IADCDevice* d) { return d->OpenBoard(77, 0, 0, 0); }, 0},
    {"ApplyWhatNot1",
     [](IADCDevice* d) {
         BoardSettings settings = Settings(ModeContinuous, TableClock);
         float realised = 0.0f;
         return d->ApplySettings(2, &settings, &realised);
     },
     -1},
    {"ApplyNullSettings",
     [](IADCDevice* d) {
         float realised = 0.0f;
         return d->ApplySettings(1, nullptr, &realised);
     },
     -1},
    {"ApplyNullClock",
     [](IADCDevice* d) {
         BoardSettings settings = Settings(ModeContinuous, TableClock);
         return d->ApplySettings(1, &settings, nullptr);
     },
     -1},
    {"ApplyWrongSize", [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.size = 32; }); },
     -1},
    {"ApplyWrongType", [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.type = 4; }); }, -1},
    {"ApplyUnknownMode", [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.mode = 8; }); },
     -1},
    {"ApplyZeroClock", [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.clock = 0.0; }); },
     -1},
    {"ApplyNaNClock",
     [](IADCDevice* d) {
         return ApplyWith(d, [](auto& s) { s.clock = std::numeric_limits<double>::quiet_NaN(); });
     },
     -1},
    {"ApplyNegativeStage",
     [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.attenuator = -1; }); }, -1},
    {"ApplyStageBeyondTable",
     [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.attenuator = 5; }); }, -1},
    {"ApplyFilter2", [](IADCDevice* d) { return ApplyWith(d, [](auto& s) { s.filter = 2; }); }, -1},
    {"ControlUnknownCode",
     [](IADCDevice* d) {
         int32_t value = 0;
         return d->Control(12345, &value);
     },
     0},
    {"ControlNullData", [](IADCDevice* d) { return d->Control(ctl::Resolution, nullptr); }, -1},
    {"ControlNullTable", [](IADCDevice* d) { return d->Control(ctl::ClockTable, nullptr); }, -1},
    {"NearestClockOfZero",
     [](IADCDevice* d) {
         double wanted = 0.0;
         return d->Control(ctl::NearestClock, &wanted);
     },
     -1},
    {"NearestClockOfInfinity",
     [](IADCDevice* d) {
         double wanted = std::numeric_limits<double>::infinity();
         return d->Control(ctl::NearestClockAlt, &wanted);
     },
     -1},
    {"UseSynthesiser2",
     [](IADCDevice* d) {
         int32_t value = 2;
         return d->Control(ctl::UseSynthesiser, &value);
     },
     -1},
    {"FlashWrongSize",
     [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.size = 48; }); }, -1},
    {"FlashWrongType", [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.type = 2; }); },
     -1},
    {"FlashWrongSettingsSize",
     [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.settings.size = 0; }); }, -1},
    {"FlashNullSamples",
     [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.samples = nullptr; }); }, -1},
    {"FlashNoSamples",
     [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.count = 0; }); }, -1},
    {"FlashBeyondCapacity",
     [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.count = 501; }); }, -2},
    {"FlashSynthesiserFlag2",
     [](IADCDevice* d) { return WriteFlashWith(d, [](auto& i) { i.synthesiser = 2; }); }, -1},
};

INSTANTIATE_TEST_SUITE_P(Calls, BadInputTest, testing::ValuesIn(BadCalls), CaseName<BadCall>);

// Bad chunks: the call fails and the block being loaded cannot be played.
struct BadChunk {
    const char* name;
    int32_t format;
    bool nullSamples;
    int32_t count;
    int32_t expected;
};

class BadChunkTest : public FailureTest, public testing::WithParamInterface<BadChunk> {};

TEST_P(BadChunkTest, FailsAndLeavesNothingToPlay) {
    const BadChunk& c = GetParam();
    ASSERT_EQ(Apply(), 1);
    ASSERT_EQ(driver_->LoadSamples(2, block_.data(), 10, 0), 1);
    const std::vector<int16_t> big(static_cast<size_t>((1 << 20) + 1), 0);
    const int16_t* samples = c.nullSamples ? nullptr : big.data();
    EXPECT_EQ(driver_->LoadSamples(c.format, samples, c.count, 0), c.expected);
    EXPECT_EQ(driver_->StartOutput(), -2);
}

const BadChunk BadChunks[] = {
    {"NullSamples", 2, true, 10, -1},    {"ZeroCount", 2, false, 0, -1},
    {"NegativeCount", 2, false, -5, -1}, {"UnknownFormat", 3, false, 10, -1},
    {"FormatZero", 0, false, 10, -1},    {"BeyondMemory", 2, false, (1 << 20) - 9, -2},
};

INSTANTIATE_TEST_SUITE_P(Chunks, BadChunkTest, testing::ValuesIn(BadChunks), CaseName<BadChunk>);

// A state file that does not parse is reported and ignored entry by entry.
TEST_F(FailureTest, BadStateEntriesAreIgnored) {
    folder_.State("connected = maybe\nfail.Nothing = 3\nfail.StartOutput = x\nrubbish\n"
                  "power_normal = 0\n");
    EXPECT_EQ(Out<int32_t>(driver_.Get(), ctl::Connected), 1);
    EXPECT_EQ(driver_->StartOutput(), -5) << "the good entry still counts";
}

} // namespace
