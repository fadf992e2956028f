// Generation control's paths besides the waveforms themselves: single play and its
// replay, the delayed restart, the range check, the file question, every failure
// message, and the time the window waits for the largest computation.

#include "tests/app/board/generation_rig.h"

#include <cstdio>
#include <string>

namespace gentest {
namespace {

using params::DialogAnswer;
using params::DialogKind;

// Single play of an unchanged signal replays what the board holds: no computation,
// no new settings, no samples; the watch releases the button when the board stops.
TEST(SinglePlay, ReplaysWithoutRecomputingOrReloading) {
    Rig rig;
    rig.Synthesised(signal_type::Sine, 20000, 2.0, 0.0, polarity::Bipolar);
    rig.model.Params().quality = QualityMaxPoints;
    rig.control->ButtonHandClick();
    ASSERT_TRUE(rig.model.Params().playLoop);

    rig.control->StartButtonClick();
    EXPECT_EQ(rig.signal->prepares, 1);
    EXPECT_EQ(rig.signal->starts, 1);
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::SinglePlayWatch));
    EXPECT_EQ(rig.timers.set[timer_id::SinglePlayWatch], 10);
    auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_FALSE(read.record->continuous);
    EXPECT_EQ(read.record->mode, 0);
    ASSERT_TRUE(rig.WatchUntilReleased());
    EXPECT_EQ(rig.view.face, StartFace::Start);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::SinglePlayWatch));

    const size_t before = rig.JournalSize();
    rig.control->StartButtonClick();
    EXPECT_TRUE(rig.control->Running());
    EXPECT_EQ(rig.signal->prepares, 1);
    EXPECT_EQ(rig.signal->starts, 1);
    EXPECT_TRUE(rig.Calls("LoadSamples", before).empty());
    EXPECT_TRUE(rig.Calls("ApplySettings", before).empty());
    EXPECT_TRUE(rig.Calls("StopOutput", before).empty());
    EXPECT_EQ(rig.Calls("StartOutput", before).size(), 1u);
    EXPECT_EQ(rig.RecordCount(), 2u);
    EXPECT_EQ(rig.dialogs.ShownCount(), 0u);
    ASSERT_TRUE(rig.WatchUntilReleased());

    // A changed parameter computes again.
    rig.model.SetFrequency(30000);
    rig.control->StartButtonClick();
    EXPECT_EQ(rig.signal->prepares, 2);
    ASSERT_TRUE(rig.WatchUntilReleased());
}

TEST(SinglePlay, ExternalStartHasNoWatch) {
    Rig rig;
    rig.settings.dacUseExt = 2;
    rig.settings.dacStartMode = 4;
    rig.model.Params().playLoop = true;
    rig.Synthesised(signal_type::Meander, 1000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::SinglePlayWatch));
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->mode, 0 | 2 | 4);
    EXPECT_TRUE(read.record->externalStart);
    EXPECT_TRUE(read.record->risingEdge);
}

TEST(SinglePlay, FailedReplayShowsItsNumber) {
    Rig rig;
    rig.model.Params().playLoop = true;
    rig.Synthesised(signal_type::Sine, 50000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.WatchUntilReleased());
    rig.State("fail.StartOutput = -7\n");
    rig.control->StartButtonClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Start error N-7");
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_TRUE(rig.control->Running());
}

// The watch shows one box for a run of failed queries, not one every 10 ms.
TEST(SinglePlay, WatchFailureShowsOneBox) {
    Rig rig;
    rig.model.Params().playLoop = true;
    rig.Synthesised(signal_type::Sine, 50000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    rig.State("fail.Control.0x7A5A0020 = 0\n");
    for (int tick = 0; tick < 10; ++tick) {
        rig.control->OnTimer(timer_id::SinglePlayWatch);
    }
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error");
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_TRUE(rig.control->Running());
    rig.State("");
    ASSERT_TRUE(rig.WatchUntilReleased());
}

// A parameter change while running with auto start restarts through timer 2.
TEST(Restart, ParameterChangeRestartsAfterTheTimer) {
    Rig rig;
    rig.settings.autoStart = true;
    rig.Synthesised(signal_type::Sine, 1000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    ASSERT_EQ(rig.RecordCount(), 1u);

    rig.model.SetFrequency(2000);
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::Restart));
    EXPECT_EQ(rig.timers.set[timer_id::Restart], 160);
    EXPECT_EQ(rig.RecordCount(), 1u);
    rig.model.SetFrequency(4000); // restarts the period
    const size_t before = rig.JournalSize();
    rig.control->OnTimer(timer_id::Restart);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Restart));
    EXPECT_FALSE(rig.Calls("StopOutput", before).empty());
    ASSERT_EQ(rig.RecordCount(), 2u);
    EXPECT_NEAR(rig.model.Params().realisedFrequency, 4000, 40);
    EXPECT_TRUE(rig.control->Running());
}

TEST(Restart, NothingWithoutAutoStartOrWhenStopped) {
    Rig rig;
    rig.Synthesised(signal_type::Sine, 1000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    rig.model.SetFrequency(2000);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Restart));

    rig.settings.autoStart = true;
    rig.control->StartButtonClick(); // stop
    rig.model.SetFrequency(3000);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Restart));
    // A restart timer that fires after the button was released starts nothing.
    rig.control->ScheduleRestart();
    const size_t records = rig.RecordCount();
    rig.control->OnTimer(timer_id::Restart);
    EXPECT_EQ(rig.RecordCount(), records);
    EXPECT_FALSE(rig.control->Running());
}

TEST(Restart, SinglePlayButtonRestartsWhenRunningWithAutoStart) {
    Rig rig;
    rig.settings.autoStart = true;
    rig.Synthesised(signal_type::Sine, 1000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    rig.control->ButtonHandClick();
    EXPECT_TRUE(rig.model.Params().playLoop);
    EXPECT_TRUE(rig.timers.IsTimerSet(timer_id::Restart));
    rig.control->OnTimer(timer_id::Restart);
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_FALSE(read.record->continuous);
}

// Out of the voltage limits: "Owerflow", the button released, nothing played.
TEST(RangeCheck, OverflowReleasesTheButton) {
    Rig rig;
    rig.settings.maxVolts = 2.5;
    rig.model.SetSettings(ModelSettings{rig.settings.minVolts, 2.5, rig.settings.rLoad});
    rig.Synthesised(signal_type::Sine, 1000, 2.0, 1.0, polarity::Positive);
    ASSERT_FALSE(rig.model.Params().withinVoltageLimits);

    rig.control->StartButtonClick();
    EXPECT_FALSE(rig.control->Running());
    EXPECT_EQ(rig.view.face, StartFace::Start);
    EXPECT_EQ(rig.view.caption, "Start");
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Owerflow");
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].kind, DialogKind::Inform);
    EXPECT_EQ(rig.RecordCount(), 0u);
    EXPECT_EQ(rig.signal->prepares, 0);
    EXPECT_FALSE(rig.timers.IsTimerSet(timer_id::Restart));
}

// Kind 7 without a file: No leaves everything as it was; Yes loads, and the start
// follows the accepted load.
TEST(FileQuestion, NoLeavesEverythingUnchanged) {
    Rig rig;
    rig.model.SelectType(signal_type::File);
    const size_t journal = rig.JournalSize();
    rig.dialogs.ScriptAnswer(DialogAnswer::No);
    rig.control->StartButtonClick();
    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, DialogKind::Ask);
    EXPECT_EQ(shown[0].text, "File not downloaded. Download?");
    EXPECT_EQ(shown[0].caption, "Attention!");
    EXPECT_EQ(shown[0].buttons, params::DialogButtons::YesNo);
    EXPECT_FALSE(rig.control->Running());
    EXPECT_FALSE(rig.control->StartAfterLoad());
    EXPECT_EQ(rig.view.buttonChanges, 0);
    EXPECT_EQ(rig.view.refreshes, 0);
    EXPECT_EQ(rig.view.fileLoads, 0);
    EXPECT_EQ(rig.JournalSize(), journal);
}

TEST(FileQuestion, YesStartsWhenTheLoadIsAccepted) {
    Rig rig;
    rig.model.SelectType(signal_type::File);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.view.fileLoad = [] { return FileLoadResult::Pending; };
    rig.control->StartButtonClick();
    EXPECT_TRUE(rig.control->Running());
    EXPECT_TRUE(rig.control->StartAfterLoad());
    EXPECT_EQ(rig.view.face, StartFace::Stop);
    EXPECT_FALSE(rig.control->TransferRunning());

    // The file settings window accepts the load.
    rig.LoadFile(Bytes(RampWords(2000)), 0, 1500, 1e6);
    rig.control->FileLoadAccepted();
    EXPECT_FALSE(rig.control->StartAfterLoad());
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(rig.RecordCount(), 1u);
}

TEST(FileQuestion, YesWithoutAFileStops) {
    Rig rig;
    rig.model.SelectType(signal_type::File);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.view.fileLoad = [] { return FileLoadResult::None; };
    rig.control->StartButtonClick();
    EXPECT_EQ(rig.view.fileLoads, 1);
    EXPECT_FALSE(rig.control->Running());
    EXPECT_EQ(rig.view.buttonChanges, 0);
}

TEST(FileQuestion, LoadedAtOnceStartsAtOnce) {
    Rig rig;
    rig.model.SelectType(signal_type::File);
    rig.dialogs.ScriptAnswer(DialogAnswer::Yes);
    rig.view.fileLoad = [&rig] {
        rig.LoadFile(Bytes(RampWords(2000)), 0, 1500, 1e6);
        return FileLoadResult::Loaded;
    };
    rig.control->StartButtonClick();
    EXPECT_TRUE(rig.control->Running());
    EXPECT_FALSE(rig.control->StartAfterLoad());
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(rig.RecordCount(), 1u);
}

// The failure table: what each failure shows, and that the button stays pressed.
struct FailureCase {
    const char* name;
    std::string state;  // the simulated board's state file
    int32_t memory;     // board memory for the library (0: the board's)
    bool found = true;  // BoardFound
    bool opened = true; // BoardOpened
    DialogKind kind;
    std::string text;
    std::string caption;
    int reportCode = 0;    // error report code, 0 when the reporter is not used
    bool computed = false; // the samples were computed before the failure
};

class FailureTable : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureTable, ShowsItsMessageAndKeepsRunning) {
    const FailureCase& c = GetParam();
    Rig rig;
    rig.board.found = c.found;
    rig.board.opened = c.opened;
    if (c.memory > 0) {
        rig.board.limits.memory = c.memory;
    }
    rig.State(c.state);
    rig.Synthesised(signal_type::Sine, 1000, 1.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();

    const auto shown = rig.dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, c.kind);
    EXPECT_EQ(shown[0].text.substr(0, c.text.size()), c.text);
    EXPECT_EQ(shown[0].caption, c.caption);
    if (c.reportCode != 0) {
        EXPECT_EQ(rig.report.Code(), c.reportCode);
        EXPECT_EQ(rig.report.SourceFile(), "Gen");
        EXPECT_NE(shown[0].text.find("Gen"), std::string::npos);
    }
    EXPECT_TRUE(rig.control->Running());
    EXPECT_EQ(rig.RecordCount(), 0u);
    // Samples that never reached the board are computed and loaded again.
    EXPECT_EQ(rig.model.Params().recomputeNeeded, !c.computed);
    EXPECT_EQ(rig.signal->prepares, c.found && c.opened ? 1 : 0);
    rig.control->StartButtonClick();
    EXPECT_FALSE(rig.control->Running());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureTable,
    testing::Values(FailureCase{"NoBoardOpened", "", 0, true, false, DialogKind::Warn,
                                "Unknown error", "Error", 48},
                    FailureCase{"NoBoardFound", "", 0, false, true, DialogKind::Warn,
                                "Board not tuned or not found", "Error"},
                    FailureCase{"PrepareFailed", "", 1, true, true, DialogKind::Warn,
                                "Error when generating a signal", "Error"},
                    FailureCase{"ApplySettingsFailed", "fail.ApplySettings = 0\n", 0, true, true,
                                DialogKind::Warn, "Unknown error", "Error", 48},
                    FailureCase{"LoadFailed", "fail.LoadSamples = -2\n", 0, true, true,
                                DialogKind::Warn, "Start error : -2", ""},
                    FailureCase{"StartFailed", "fail.StartOutput = -5\n", 0, true, true,
                                DialogKind::Warn, "Start error : -5", "", 0, true}),
    [](const testing::TestParamInfo<FailureCase>& failure) {
        return std::string(failure.param.name);
    });

// The main thread waits for the computation with Query 75 (and plans it with
// Prepare). For the largest board memory (1M samples on the simulated PCI board),
// each type with about a million samples: how long does the window wait? Printed for the
// record; bounded generously so that a slow or instrumented build passes.
struct WaitCase {
    const char* name;
    int type;
    double frequency;
    int quality;
};

class ComputationWait : public testing::TestWithParam<WaitCase> {};

TEST_P(ComputationWait, LargestMemory) {
    const WaitCase& c = GetParam();
    Rig rig;
    ASSERT_EQ(rig.board.limits.memory, 1 << 20);
    rig.Synthesised(c.type, c.frequency, 4.0, 0.0, polarity::Bipolar, 0.2 / c.frequency);
    rig.model.Params().quality = c.quality;
    const auto begin = std::chrono::steady_clock::now();
    rig.control->StartButtonClick();
    const auto whole = std::chrono::steady_clock::now() - begin;
    ASSERT_EQ(rig.dialogs.ShownCount(), 0u) << rig.Shown().front();
    ASSERT_EQ(rig.signal->waits, 1);
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("%s: %d samples, Prepare %.1f ms, Query 75 wait %.1f ms, whole start %.1f ms\n",
                c.name, rig.control->PointCount(), ms(rig.signal->lastPrepare),
                ms(rig.signal->lastWait), ms(whole));
    RecordProperty("wait_ms", std::to_string(ms(rig.signal->lastWait)));
    EXPECT_GT(rig.control->PointCount(), 1000000);
    EXPECT_LT(rig.signal->lastWait, std::chrono::seconds(2));
    const auto read = rig.Latest();
    ASSERT_TRUE(read.record) << read.error;
    EXPECT_EQ(read.record->codes.size(), static_cast<size_t>(rig.control->PointCount()));
}

INSTANTIATE_TEST_SUITE_P(
    Types, ComputationWait,
    testing::Values(WaitCase{"SineWholeMemory", signal_type::Sine, 1000, QualityWholeMemory},
                    WaitCase{"SineSynthesiser", signal_type::Sine, 95.37, QualitySynthesiser},
                    WaitCase{"Pulse", signal_type::Pulse, 96, QualityMaxPoints},
                    WaitCase{"Meander", signal_type::Meander, 96, QualityMaxPoints},
                    WaitCase{"Triangle", signal_type::Triangle, 96, QualityMaxPoints},
                    WaitCase{"RisingSaw", signal_type::RisingSaw, 96, QualityMaxPoints},
                    WaitCase{"FallingSawSynthesiser", signal_type::FallingSaw, 97.1,
                             QualitySynthesiser}),
    [](const testing::TestParamInfo<WaitCase>& wait) { return std::string(wait.param.name); });

// The completion function keeps a copy of the last computation; the transfer thread
// frees it.
TEST(Completion, CopyOfTheComputedSamples) {
    Rig rig;
    rig.Synthesised(signal_type::Sine, 1000, 4.0, 0.0, polarity::Bipolar);
    rig.control->StartButtonClick();
    EXPECT_EQ(rig.control->Completion().Completions(), 1);
    EXPECT_EQ(rig.control->Completion().Size(), static_cast<size_t>(rig.control->PointCount()));
    rig.control->StartButtonClick();

    rig.LoadFile(Bytes(RampWords(2000)), 0, 1500, 1e6);
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.FinishTransfer());
    EXPECT_EQ(rig.control->Completion().Size(), 0u);
}

// A running output stops when the window shuts down, and nothing runs afterwards.
TEST(Shutdown, EndsTheTransferAndForgetsTheSignalObject) {
    Rig rig(Gated());
    rig.LoadFile(Bytes(RampWords(6000)), 0, 5000, 1e6);
    rig.gate->Close();
    rig.control->StartButtonClick();
    ASSERT_TRUE(rig.gate->WaitForLoads(1));
    std::thread opener([&rig] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        rig.gate->Open();
    });
    rig.control->Shutdown();
    opener.join();
    EXPECT_FALSE(rig.control->TransferRunning());
    EXPECT_TRUE(rig.Calls("StartOutput").empty());
}

} // namespace
} // namespace gentest
