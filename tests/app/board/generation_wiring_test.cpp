// Generation control fed by the start-up's own board session: the board information
// read at start-up reaches the signal library and the board through
// SessionBoardLink, and the start-up core's output interface drives generation.

#include "app/board/generation_wiring.h"
#include "tests/app/board/generation_rig.h"

namespace gentest {
namespace {

class Indicators final : public board::BoardIndicators {
public:
    void ApplyDisplay(const board::DisplayDecision& decision) override {
        if (decision.startEnabled) {
            startEnabled = *decision.startEnabled;
        }
    }
    bool StartEnabled() const override { return startEnabled; }
    bool startEnabled = false;
};

class Poll final : public board::PollTimer {
public:
    void StartPoll() override { active = true; }
    void StopPoll() override { active = false; }
    bool PollActive() const override { return active; }
    bool active = false;
};

TEST(GenerationWiring, StartUpBoardSessionDrivesGeneration) {
    TestRegistry registry;
    WriteText(registry.File(), RegistryText());
    simtest::SimFolder sim;
    quorvel::ComponentLibrary undulan =
        quorvel::OpenComponent(quorvel::CategoryBaseLibrary, "UndulaN");
    auto* signal = static_cast<IUndula*>(undulan.Create("IUndula"));
    ASSERT_NE(signal, nullptr) << undulan.Reason();

    params::ScriptedDialogs dialogs;
    params::ErrorReport report{dialogs, [] {}, {"Error", "Unknown error"}};
    Indicators indicators;
    Poll poll;
    board::BoardSession session(report, EnglishTexts, indicators, poll);
    session.SetKind(DeviceKind::Pci);
    ASSERT_TRUE(session.LoadDriver("KORD77PCI")) << session.DriverReason();
    int baseNumber = 0;
    ASSERT_EQ(session.ReadInformation(signal, baseNumber), board::BoardSession::ReadResult::Done);
    ASSERT_TRUE(session.BoardFound());

    bool tuner = false;
    SessionBoardLink link(session, [&tuner] { return tuner; });
    EXPECT_EQ(link.Device(), session.Driver());
    EXPECT_TRUE(link.Opened());
    EXPECT_TRUE(link.Found());
    const BoardTables tables = link.Tables();
    EXPECT_EQ(tables.clockCount, 16); // 15 clocks and the extra entry
    ASSERT_NE(tables.clocks, nullptr);
    EXPECT_EQ(tables.clocks[0], 1e8);
    EXPECT_EQ(tables.memory, 1 << 20);
    EXPECT_TRUE(tables.synthesiser);
    EXPECT_FALSE(link.TunerPresent());
    tuner = true;
    EXPECT_TRUE(link.TunerPresent());
    tuner = false;

    FakeParameterView labels;
    ParameterModel model(labels, EnglishTexts);
    model.OpenBoard(session.Information().ModelValues(), session.Driver());
    params::Settings settings = params::DefaultSettings({0, 0, 400, 300});
    FakeView view;
    FakeTimers timers;
    std::vector<uint8_t> fileData;
    {
        GenerationControl generation(GenerationContext{
            model, settings, link, signal, dialogs, report, EnglishTexts, view, timers, fileData});
        GenerationOutput output(generation);
        board::OutputControl& core = output;
        EXPECT_TRUE(core.AllocateBuffer(tables.memory));
        EXPECT_EQ(generation.Buffer().size(), static_cast<size_t>(tables.memory) + 1024);

        model.SelectType(signal_type::Sine);
        model.SetFrequency(1000);
        model.SetAmplitude(2.0);
        core.StartStop();
        EXPECT_TRUE(core.Running());
        EXPECT_FALSE(core.BoardStopped());
        EXPECT_TRUE(core.TransferFinished());
        EXPECT_EQ(dialogs.ShownCount(), 0u);
        const auto read = sim.Latest();
        ASSERT_TRUE(read.record) << read.error;
        EXPECT_EQ(read.record->codes.size(), static_cast<size_t>(generation.PointCount()));
        const auto high = *std::max_element(read.record->codes.begin(), read.record->codes.end());
        EXPECT_NEAR(high * read.record->voltsPerCode / 2, model.Params().realisedAmplitude,
                    read.record->voltsPerCode);
        EXPECT_NEAR(model.Params().realisedFrequency, 1000, 10);

        core.StopBoard();
        EXPECT_TRUE(core.BoardStopped());
        EXPECT_TRUE(core.Running()); // the button is the Start/Stop action's
        core.StartStop();
        EXPECT_FALSE(core.Running());
        core.EndTransfer();
        generation.Shutdown();
    }
    session.ReleaseDriver();
}

} // namespace
} // namespace gentest
