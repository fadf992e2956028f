// The simulated drivers as the program loads them: every Control code answers,
// the tables reach the program whole although it uses the counts less one, clock
// requests are realised by the documented rules, and a settings file makes an odd
// board.

#include "tests/plugins/sim_fixture.h"

#include <cstring>
#include <map>

using namespace simtest;

namespace {

class ControlTest : public testing::TestWithParam<DriverKind> {
protected:
    SimFolder folder_;
};

// The build registers each library it links; the program finds that very file.
TEST_P(ControlTest, LoadsTheBuiltLibraryFromTheRegistry) {
    const DriverKind& kind = GetParam();
    Driver driver(kind.name);
    ASSERT_NE(driver.Get(), nullptr) << driver.Library().Reason();
    const std::map<std::string, std::string> built{
        {"KORD77PCI", KORD77PCI_LIBRARY},
        {"KORD77USB", KORD77USB_LIBRARY},
        {"KORD77ISA", KORD77ISA_LIBRARY},
    };
    EXPECT_EQ(std::filesystem::canonical(driver.Library().Path()),
              std::filesystem::canonical(built.at(kind.name)));
}

// Every code the program sends gets an answer: 1 with a plausible value, or the
// documented failure for what the kind lacks.
TEST_P(ControlTest, EveryCodeAnswers) {
    const DriverKind& kind = GetParam();
    Driver driver(kind.name);
    ASSERT_NE(driver.Get(), nullptr) << driver.Library().Reason();
    IADCDevice* device = driver.Get();
    int32_t result = 0;

    const auto capabilities = Out<uint32_t>(device, ctl::Capabilities, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ((capabilities & CapSynthesiser) != 0, kind.synthesiser);
    EXPECT_EQ((capabilities & CapEvenLength) != 0, kind.evenLength);

    EXPECT_EQ(Out<float>(device, ctl::MinClock, &result), 6103.515625f);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<float>(device, ctl::MaxClock, &result), 1e8f);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<float>(device, ctl::MaxVoltage, &result), 10.0f);
    EXPECT_EQ(result, 1);
    EXPECT_GT(Out<float>(device, ctl::VoltageUnused, &result), 0.0f);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<int32_t>(device, ctl::Resolution, &result), 14);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<int32_t>(device, ctl::Memory, &result), kind.memory);
    EXPECT_EQ(result, 1);

    const auto ids = Out<const int32_t*>(device, ctl::BoardIds, &result);
    EXPECT_EQ(result, 1);
    const auto idCount = Out<int32_t>(device, ctl::BoardIdCount, &result);
    EXPECT_EQ(result, 1);
    ASSERT_NE(ids, nullptr);
    ASSERT_GE(idCount, 1);
    EXPECT_EQ(ids[0], kind.firstId);
    for (const int32_t code : {ctl::ListCheckA, ctl::ListCheckB}) {
        EXPECT_NE(Out<int32_t>(device, code, &result), 0) << code;
        EXPECT_EQ(result, 1) << code;
    }
    for (const int32_t code : {ctl::ListUnused1, ctl::ListUnused2}) {
        Out<int32_t>(device, code, &result);
        EXPECT_EQ(result, 1) << code;
    }

    for (const int32_t code :
         {ctl::VersionMajor, ctl::VersionMinor, ctl::VersionBuild, ctl::VersionRevision,
          ctl::DriverVersion, ctl::FirmwareVersion, ctl::SerialNumber}) {
        EXPECT_GE(Out<int32_t>(device, code, &result), 0) << code;
        EXPECT_EQ(result, 1) << code;
    }
    const char* name = Out<const char*>(device, ctl::Name, &result);
    EXPECT_EQ(result, 1);
    ASSERT_NE(name, nullptr);
    EXPECT_NE(std::strstr(name, kind.name), nullptr) << name;

    // The second module: 2013 fails when there is none, and so do its other codes.
    for (const int32_t code :
         {ctl::SecondMajor, ctl::SecondMinor, ctl::SecondBuild, ctl::SecondRevision}) {
        Out<int32_t>(device, code, &result);
        EXPECT_EQ(result, kind.secondModule ? 1 : 0) << code;
    }
    const char* secondName = Out<const char*>(device, ctl::SecondName, &result);
    EXPECT_EQ(result, kind.secondModule ? 1 : 0);
    EXPECT_EQ(secondName != nullptr, kind.secondModule);

    EXPECT_EQ(Out<int32_t>(device, ctl::Playing, &result), 0);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<int32_t>(device, ctl::PollState, &result) != 0, kind.poll);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<int32_t>(device, ctl::Connected, &result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Out<int32_t>(device, ctl::PowerNormal, &result), 1);
    EXPECT_EQ(result, 1);

    // A fresh flash holds nothing to erase; boards without flash fail the code.
    EXPECT_EQ(Out<int32_t>(device, ctl::FlashErasable, &result), 0);
    EXPECT_EQ(result, kind.flash ? 1 : 0);

    int32_t useSynthesiser = 1;
    EXPECT_EQ(device->Control(ctl::UseSynthesiser, &useSynthesiser), kind.synthesiser ? 1 : 0);
    useSynthesiser = 0;
    EXPECT_EQ(device->Control(ctl::UseSynthesiser, &useSynthesiser), 1);

    for (const int32_t code : {ctl::NearestClock, ctl::NearestClockAlt}) {
        double wanted = 1e6;
        EXPECT_EQ(device->Control(code, &wanted), 1) << code;
    }
    double wanted = 1e6;
    EXPECT_EQ(device->Control(ctl::NearestSynthClock, &wanted), kind.synthesiser ? 1 : 0);
}

// The program uses the reported counts less one: every real entry must lie below
// that, and the entry beyond must be harmless (the last one repeated).
TEST_P(ControlTest, TablesCarryOneHarmlessEntryBeyondTheRealOnes) {
    Driver driver(GetParam().name);
    ASSERT_NE(driver.Get(), nullptr);
    int32_t result = 0;

    const auto clocks = Out<const double*>(driver.Get(), ctl::ClockTable, &result);
    EXPECT_EQ(result, 1);
    const auto clockCount = Out<int32_t>(driver.Get(), ctl::ClockCount, &result);
    EXPECT_EQ(result, 1);
    const std::vector<double> expected = DefaultClocks();
    ASSERT_NE(clocks, nullptr);
    ASSERT_EQ(clockCount, static_cast<int32_t>(expected.size()) + 1);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(clocks[i], expected[i]) << i;
    EXPECT_EQ(clocks[expected.size()], expected.back());

    const auto gains = Out<const float*>(driver.Get(), ctl::AttenuatorTable, &result);
    EXPECT_EQ(result, 1);
    const auto gainCount = Out<int32_t>(driver.Get(), ctl::AttenuatorCount, &result);
    EXPECT_EQ(result, 1);
    ASSERT_NE(gains, nullptr);
    const std::vector<float> expectedGains{1.0f, 0.1f, 0.01f, 0.001f, 0.001f};
    ASSERT_EQ(gainCount, static_cast<int32_t>(expectedGains.size()));
    for (size_t i = 0; i < expectedGains.size(); ++i)
        EXPECT_EQ(gains[i], expectedGains[i]) << i;
}

// ApplySettings realises the nearest table clock, or with the synthesiser switched
// on the nearest s / 2^k; the float gets the realised clock.
TEST_P(ControlTest, ApplySettingsRealisesTheClock) {
    const DriverKind& kind = GetParam();
    Driver driver(kind.name);
    ASSERT_NE(driver.Get(), nullptr);
    ASSERT_EQ(driver->OpenBoard(kind.firstId, 0, 0, 0), 1);

    struct Case {
        double wanted;
        double table;
    };
    for (const Case c : {Case{1e8, 1e8}, Case{3e7, 2.5e7}, Case{7.6e7, 1e8}, Case{7.4e7, 5e7},
                         Case{1.0, 1e8 / 16384}, Case{5e9, 1e8}}) {
        BoardSettings settings = Settings(ModeContinuous, c.wanted);
        float realised = 0.0f;
        EXPECT_EQ(driver->ApplySettings(1, &settings, &realised), 1) << c.wanted;
        EXPECT_EQ(realised, static_cast<float>(c.table)) << c.wanted;
        const double unchanged = settings.clock; // a packed field: copied, never bound
        EXPECT_EQ(unchanged, c.wanted) << "the record is only read";
    }

    if (!kind.synthesiser)
        return;
    int32_t on = 1;
    ASSERT_EQ(driver->Control(ctl::UseSynthesiser, &on), 1);
    // 1 234 567 Hz: nearest s / 2^k is 79 000 000 / 64 = 1 234 375 Hz.
    BoardSettings settings = Settings(ModeContinuous, 1234567.0);
    float realised = 0.0f;
    ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
    EXPECT_EQ(realised, static_cast<float>(79e6 / 64));
    // The synthesiser reaches below the table's lowest clock: 50 MHz / 2^14.
    settings.clock = 1000.0;
    ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
    EXPECT_EQ(realised, static_cast<float>(50e6 / 16384));
}

// Codes 65, 66 and 67 answer a realisable clock for a wanted one.
TEST_P(ControlTest, ClockRequestsFollowTheirRules) {
    const DriverKind& kind = GetParam();
    Driver driver(kind.name);
    ASSERT_NE(driver.Get(), nullptr);
    struct Case {
        double wanted;
        double nearest;   // 65
        double atOrBelow; // 66
        double synth;     // 67
    };
    for (const Case c :
         {Case{1e8, 1e8, 1e8, 1e8}, Case{7.4e7, 5e7, 5e7, 7.4e7}, Case{3.2e7, 2.5e7, 2.5e7, 3.2e7},
          Case{2e8, 1e8, 1e8, 1e8}, Case{1000.0, 1e8 / 16384, 1e8 / 16384, 50e6 / 16384},
          Case{1234567.0, 1562500.0, 781250.0, 79e6 / 64}}) {
        double value = c.wanted;
        ASSERT_EQ(driver->Control(ctl::NearestClock, &value), 1);
        EXPECT_EQ(value, c.nearest) << c.wanted;
        value = c.wanted;
        ASSERT_EQ(driver->Control(ctl::NearestClockAlt, &value), 1);
        EXPECT_EQ(value, c.atOrBelow) << c.wanted;
        value = c.wanted;
        const int32_t synth = driver->Control(ctl::NearestSynthClock, &value);
        if (kind.synthesiser) {
            EXPECT_EQ(synth, 1);
            EXPECT_EQ(value, c.synth) << c.wanted;
        } else {
            EXPECT_EQ(synth, 0);
            EXPECT_EQ(value, c.wanted) << "left alone";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ControlTest, testing::ValuesIn(Kinds()), KindName);

// A settings file makes a tiny, odd board; keys prefixed with a driver name apply
// to that driver only and win over plain keys.
TEST(SettingsFileTest, MakesATinyBoard) {
    SimFolder folder;
    folder.Config("# a tiny board\n"
                  "clocks = 1000, 500\n"
                  "gains = 1 0.5\n"
                  "extra_entry = 0\n"
                  "bits = 12\n"
                  "volts = 5\n"
                  "min_clock = 400\n"
                  "max_clock = 1000\n"
                  "memory = 16\n"
                  "KORD77USB.memory = 8\n"
                  "board_ids = 7, 9\n"
                  "answering = 9\n"
                  "synthesiser = 0\n"
                  "even_length = 1\n"
                  "second_module = 0\n"
                  "name = Tiny board\n"
                  "version = 3.4.5.6\n");
    for (const auto& [name, memory] : {std::pair{"KORD77PCI", 16}, std::pair{"KORD77USB", 8}}) {
        Driver driver(name);
        ASSERT_NE(driver.Get(), nullptr);
        IADCDevice* device = driver.Get();
        EXPECT_EQ(Out<int32_t>(device, ctl::Memory), memory) << name;
        EXPECT_EQ(Out<int32_t>(device, ctl::Resolution), 12);
        EXPECT_EQ(Out<float>(device, ctl::MaxVoltage), 5.0f);
        EXPECT_EQ(Out<float>(device, ctl::MinClock), 400.0f);
        EXPECT_EQ(Out<float>(device, ctl::MaxClock), 1000.0f);
        EXPECT_EQ(Out<uint32_t>(device, ctl::Capabilities), CapEvenLength);
        EXPECT_EQ(Out<int32_t>(device, ctl::ClockCount), 2);
        EXPECT_EQ(Out<const double*>(device, ctl::ClockTable)[1], 500.0);
        EXPECT_EQ(Out<int32_t>(device, ctl::AttenuatorCount), 2);
        EXPECT_EQ(Out<const float*>(device, ctl::AttenuatorTable)[1], 0.5f);
        EXPECT_EQ(Out<int32_t>(device, ctl::BoardIdCount), 2);
        EXPECT_EQ(Out<const int32_t*>(device, ctl::BoardIds)[1], 9);
        EXPECT_STREQ(Out<const char*>(device, ctl::Name), "Tiny board");
        EXPECT_EQ(Out<int32_t>(device, ctl::VersionRevision), 6);
        int32_t result = 1;
        Out<int32_t>(device, ctl::SecondMajor, &result);
        EXPECT_EQ(result, 0);

        EXPECT_EQ(driver->OpenBoard(7, 0, 0, 0), 0);
        ASSERT_EQ(driver->OpenBoard(9, 0, 0, 0), 1);
        // The memory holds exactly `memory` samples.
        BoardSettings settings = Settings(ModeContinuous, 600.0, 1);
        float realised = 0.0f;
        ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
        EXPECT_EQ(realised, 500.0f);
        const std::vector<int16_t> codes(static_cast<size_t>(memory), 100);
        EXPECT_EQ(driver->LoadSamples(2, codes.data(), memory, 0), 1);
        EXPECT_LT(driver->LoadSamples(2, codes.data(), 1, 0), 1);
        ASSERT_EQ(driver->ApplySettings(1, &settings, &realised), 1);
        ASSERT_EQ(driver->LoadSamples(2, codes.data(), memory, 0), 1);
        ASSERT_EQ(driver->StartOutput(), 1);
        const auto read = folder.Latest();
        ASSERT_TRUE(read.record) << read.error;
        EXPECT_EQ(read.record->codeBits, 12);
        EXPECT_DOUBLE_EQ(read.record->voltsPerCode, 5.0 / 2048 * 0.5);
        EXPECT_DOUBLE_EQ(read.record->Volts(0), 100 * 5.0 / 2048 * 0.5);
    }
}

// Entries that do not parse are reported and ignored: the board keeps its default.
TEST(SettingsFileTest, BadEntriesKeepTheDefaults) {
    SimFolder folder;
    folder.Config("bits = 40\n"
                  "memory = lots\n"
                  "clocks = 1e8, -5\n"
                  "no equals sign here\n"
                  "colour = blue\n"
                  "volts = 2.5\n");
    Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::Resolution), 14);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::Memory), 1 << 20);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::ClockCount), 16);
    EXPECT_EQ(Out<float>(driver.Get(), ctl::MaxVoltage), 2.5f);
}

TEST(SettingsFileTest, MissingFileKeepsTheDefaults) {
    SimFolder folder;
    ::setenv("KORD77_SIM_CONFIG", (folder.Path() / "absent.txt").c_str(), 1);
    Driver driver("KORD77ISA");
    ASSERT_NE(driver.Get(), nullptr);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::Memory), 1 << 16);
}

// An empty clock table is reported as no table at all, as an odd board for the
// program's "no table" path; such a board realises no clock.
TEST(SettingsFileTest, EmptyTablesAreReportedAsAbsent) {
    SimFolder folder;
    folder.Config("clocks =\ngains =\n");
    Driver driver("KORD77ISA");
    ASSERT_NE(driver.Get(), nullptr);
    EXPECT_EQ(Out<const double*>(driver.Get(), ctl::ClockTable), nullptr);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::ClockCount), 0);
    EXPECT_EQ(Out<const float*>(driver.Get(), ctl::AttenuatorTable), nullptr);
    EXPECT_EQ(Out<int32_t>(driver.Get(), ctl::AttenuatorCount), 0);
    double wanted = 1e6;
    EXPECT_EQ(driver->Control(ctl::NearestClock, &wanted), 0);
}

} // namespace
