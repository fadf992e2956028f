#pragma once
// A main window without widgets for the generation tests: the real signal library
// and a simulated board driver, both loaded through a registry file of the test's
// own, the parameter model, settings, scripted dialogs, the error report, the
// English texts, and fakes of the window's timers and controls. The board's output
// folder (KORD77_SIM_OUT) is a fresh folder per rig; its play records and journal
// are the oracle.

#include "app/board/flash_memory.h"
#include "app/board/generation_control.h"
#include "app/board/generation_texts.h"
#include "app/params/error_report.h"
#include "app/params/parameter_model.h"
#include "app/params/scripted_dialogs.h"
#include "app/params/settings.h"
#include "component/component_loader.h"
#include "plugins/board-sim/record_reader.h"
#include "resources/strings/text_table.h"
#include "signal/iundula.h"
#include "tests/app/params/param_model_fakes.h"
#include "tests/component/registry_env.h"
#include "tests/plugins/sim_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace gentest {

// The window's timers: what is set, and a history; tests fire them by hand.
class FakeTimers final : public GenerationTimers {
public:
    void SetTimer(int id, int periodMs) override {
        set[id] = periodMs;
        history.push_back("set " + std::to_string(id));
    }
    void KillTimer(int id) override {
        set.erase(id);
        history.push_back("kill " + std::to_string(id));
    }
    bool IsTimerSet(int id) const override { return set.count(id) != 0; }

    std::map<int, int> set;
    std::vector<std::string> history;
};

// The window's controls. StartButton is enabled while `startEnabled` says so (the
// state display enables it when a board is found).
class FakeView final : public GenerationView {
public:
    void SetStartButton(StartFace f, const std::string& text) override {
        face = f;
        caption = text;
        ++buttonChanges;
    }
    bool StartButtonEnabled() const override { return startEnabled; }
    void RefreshBoardState() override { ++refreshes; }
    void SetFlashWriteEnabled(bool enabled) override { writeEnabled = enabled; }
    void SetFlashEraseEnabled(bool enabled) override { eraseEnabled = enabled; }
    void ShowProgress(bool visible) override {
        progressVisible = visible;
        progressShown += visible ? 1 : 0;
    }
    void SetProgressRange(int32_t maximum) override { progressMaximum = maximum; }
    void SetProgressPosition(int32_t position) override { progressPositions.push_back(position); }
    void SetRealisedOffset(double volts) override { realisedOffset = volts; }
    FileLoadResult RunFileLoad() override {
        ++fileLoads;
        return fileLoad ? fileLoad() : FileLoadResult::None;
    }

    bool startEnabled = true;
    StartFace face = StartFace::Start;
    std::string caption;
    int buttonChanges = 0;
    int refreshes = 0;
    std::optional<bool> writeEnabled;
    std::optional<bool> eraseEnabled;
    bool progressVisible = false;
    int progressShown = 0;
    int32_t progressMaximum = -1;
    std::vector<int32_t> progressPositions;
    std::optional<double> realisedOffset;
    int fileLoads = 0;
    std::function<FileLoadResult()> fileLoad;
};

// The signal object with every call counted and the Query 75 wait timed.
class CountingSignal final : public IUndula {
public:
    explicit CountingSignal(IUndula* inner) : inner_(inner) {}

    int32_t Prepare(UndulaRequest* request, float minClock, float maxClock, const double* clocks,
                    int32_t clockCount, int32_t capacity, uint8_t evenFlag, int32_t* pointCount,
                    uint8_t singlePlay) override {
        ++prepares;
        const auto begin = std::chrono::steady_clock::now();
        const int32_t result = inner_->Prepare(request, minClock, maxClock, clocks, clockCount,
                                               capacity, evenFlag, pointCount, singlePlay);
        lastPrepare = std::chrono::steady_clock::now() - begin;
        return result;
    }
    int32_t Start(UndulaRequest* request, int32_t base, int32_t bits, double phase,
                  UndulaCompletion completion, void* context, int32_t reserved) override {
        ++starts;
        lastBits = bits;
        return inner_->Start(request, base, bits, phase, completion, context, reserved);
    }
    int32_t Query(int32_t code, void* data) override {
        if (code != QueryWait) {
            return inner_->Query(code, data);
        }
        const auto begin = std::chrono::steady_clock::now();
        const int32_t result = inner_->Query(code, data);
        lastWait = std::chrono::steady_clock::now() - begin;
        ++waits;
        return result;
    }
    int32_t Cancel() override { return inner_->Cancel(); }

    int prepares = 0;
    int starts = 0;
    int waits = 0;
    int32_t lastBits = 0;
    std::chrono::steady_clock::duration lastWait{};
    std::chrono::steady_clock::duration lastPrepare{};

private:
    IUndula* inner_;
};

// A driver in front of the simulated one: LoadSamples can be held at a gate or made
// to throw; everything else passes through. Any thread may call it.
class GatedDevice final : public IADCDevice {
public:
    explicit GatedDevice(IADCDevice* inner) : inner_(inner) {}

    int32_t Reserved0() override { return inner_->Reserved0(); }
    int32_t Release() override { return 0; } // the rig releases the real one
    int32_t OpenBoard(int32_t id, int32_t a, int32_t b, int32_t c) override {
        return inner_->OpenBoard(id, a, b, c);
    }
    int32_t Reserved3() override { return inner_->Reserved3(); }
    int32_t ApplySettings(int32_t what, BoardSettings* settings, float* clock) override {
        return inner_->ApplySettings(what, settings, clock);
    }
    int32_t StartOutput() override { return inner_->StartOutput(); }
    int32_t StopOutput() override { return inner_->StopOutput(); }
    int32_t LoadSamples(int32_t format, const int16_t* samples, int32_t count,
                        int32_t reserved) override {
        {
            std::unique_lock lock(mutex_);
            ++loadsEntered_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return open_; });
        }
        if (throwOnLoad.load()) {
            throw std::runtime_error("driver failure");
        }
        return inner_->LoadSamples(format, samples, count, reserved);
    }
    int32_t Reserved8() override { return inner_->Reserved8(); }
    int32_t Control(int32_t code, void* data) override { return inner_->Control(code, data); }

    void Close() {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // Waits until `count` LoadSamples calls have begun.
    bool WaitForLoads(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return loadsEntered_ >= count; });
    }

    std::atomic<bool> throwOnLoad{false};

private:
    IADCDevice* inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int loadsEntered_ = 0;
};

// The board as the window's board session would answer; tests change it at will.
class RigBoard final : public BoardLink {
public:
    IADCDevice* Device() const override { return device; }
    bool Opened() const override { return opened; }
    bool Found() const override { return found; }
    BoardTables Tables() const override {
        BoardTables tables = limits;
        tables.clocks = clockTable.empty() ? nullptr : clockTable.data();
        tables.clockCount = static_cast<int32_t>(clockTable.size());
        return tables;
    }
    bool TunerPresent() const override { return tunerPresent; }

    IADCDevice* device = nullptr;
    bool opened = false;
    bool found = false;
    std::vector<double> clockTable; // as reported, the extra entry included
    BoardTables limits;
    bool tunerPresent = false;
};

inline std::string RealPath(const std::string& path) {
    std::error_code ignored;
    const auto canonical = std::filesystem::canonical(path, ignored);
    return canonical.empty() ? path : canonical.string();
}

// The registry file naming the built signal library and the simulated drivers.
inline std::string RegistryText() {
    std::string text;
    auto key = [&](const std::string& category, const std::string& name, const std::string& path,
                   const std::string& ui) {
        text += "[SOFTWARE\\Quorvel LTD\\" + category + "\\1.0\\" + name + "]\n";
        text += "\"path\"=\"" + RealPath(path) + "\"\n";
        text += "\"UIName\"=\"" + ui + "\"\n\n";
    };
    key("Base library", "UndulaN", UNDULAN_LIBRARY, "IUndula");
    key("Drivers", "KORD77PCI", KORD77PCI_LIBRARY, "IADCDevice");
    key("Drivers", "KORD77USB", KORD77USB_LIBRARY, "IADCDevice");
    return text;
}

inline const TextTable& English() {
    static const TextTable table = [] {
        TextTable t;
        t.Load(TextTable::kEnglish);
        return t;
    }();
    return table;
}

inline std::string EnglishTexts(int id) {
    return English().Text(id);
}

struct RigOptions {
    std::string driver = "KORD77PCI";
    std::string simConfig;    // settings file of the simulated board
    bool gatedDevice = false; // put a GatedDevice in front of the driver
};

inline RigOptions Gated() {
    RigOptions options;
    options.gatedDevice = true;
    return options;
}

inline RigOptions Driver(const std::string& name, const std::string& simConfig = "") {
    RigOptions options;
    options.driver = name;
    options.simConfig = simConfig;
    return options;
}

// The whole rig. Member order is destruction order reversed: generation control
// goes before the driver and the libraries.
class Rig {
public:
    explicit Rig(const RigOptions& options = {}) {
        WriteText(registry_.File(), RegistryText());
        if (!options.simConfig.empty()) {
            sim_.Config(options.simConfig);
        }
        undulan_ = quorvel::OpenComponent(quorvel::CategoryBaseLibrary, "UndulaN");
        realSignal_ = static_cast<IUndula*>(undulan_.Create("IUndula"));
        if (realSignal_ == nullptr) {
            throw std::runtime_error("no signal object: " + undulan_.Reason());
        }
        signal = std::make_unique<CountingSignal>(realSignal_);
        driverLibrary_ = quorvel::OpenComponent(quorvel::CategoryDrivers, options.driver);
        realDevice_ = static_cast<IADCDevice*>(driverLibrary_.Create("IADCDevice"));
        if (realDevice_ == nullptr) {
            throw std::runtime_error("no driver: " + driverLibrary_.Reason());
        }
        if (options.gatedDevice) {
            gate = std::make_unique<GatedDevice>(realDevice_);
        }
        IADCDevice* device = gate ? static_cast<IADCDevice*>(gate.get()) : realDevice_;
        ReadBoard(device);

        model.SetAdditionalParameters(&additional);
        model.SetSettings(ModelSettings{settings.minVolts, settings.maxVolts, settings.rLoad});
        model.OpenBoard(values, device);
        if (!board.limits.synthesiser) {
            model.DropSynthesiserQuality();
        }
        control = std::make_unique<GenerationControl>(Context());
        flash = std::make_unique<FlashMemory>(*control, Context());
        model.restartIfRunning = [this] { control->RestartIfRunning(); };
        control->AllocateBuffer(board.limits.memory);
    }

    ~Rig() {
        if (control) {
            control->Shutdown();
        }
        flash.reset();
        control.reset();
        realDevice_->Release();
    }

    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    GenerationContext Context() {
        return GenerationContext{model,  settings,     board, signal.get(), dialogs,
                                 report, EnglishTexts, view,  timers,       fileData};
    }

    // Chooses a synthesised signal: type, polarity, offset, frequency, duration,
    // amplitude (in that order, so that the amplitude is realised with the rest).
    void Synthesised(int type, double frequency, double amplitude, double offset, int polarity,
                     double duration = 0) {
        model.SelectType(type);
        model.SetPolarity(polarity);
        model.SetAdditional(kind::Offset, offset);
        model.SetFrequency(frequency);
        model.SetDuration(duration);
        model.SetAmplitude(amplitude);
    }

    // A loaded 16-bit (or 8-bit) data file of `words` words, chosen as the source
    // with its block.
    void LoadFile(const std::vector<uint8_t>& bytes, int32_t blockStart, int32_t blockSize,
                  double sampleClock, double amplitude = 4.0) {
        fileData = bytes;
        model.SetLoadedFile(true, static_cast<int32_t>(bytes.size() / 2) - 1);
        model.SelectType(signal_type::File);
        model.SetSampleClock(sampleClock);
        model.SetFileAmplitude(amplitude);
        model.SetBlockSize(blockSize);
        model.SetBlockStart(blockStart);
        model.SetBlockSize(blockSize);
    }

    // Fires the progress timer until the transfer thread has been collected.
    bool FinishTransfer() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (control->TransferRunning()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            if (control->TransferDone()) {
                control->OnTimer(timer_id::Progress);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return true;
    }

    // Fires the single-play watch until it releases the button.
    bool WatchUntilReleased(std::chrono::seconds limit = std::chrono::seconds(20)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (control->Running()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            control->OnTimer(timer_id::SinglePlayWatch);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    std::vector<boardsim::JournalEntry> Journal() const { return sim_.Journal(); }
    // Journal entries of one operation (and Control code) after entry `from`.
    std::vector<boardsim::JournalEntry> Calls(const std::string& operation, size_t from = 0,
                                              int32_t code = 0) const {
        std::vector<boardsim::JournalEntry> found;
        const auto journal = Journal();
        for (size_t i = from; i < journal.size(); ++i) {
            if (journal[i].operation == operation && (code == 0 || journal[i].Code() == code)) {
                found.push_back(journal[i]);
            }
        }
        return found;
    }
    size_t JournalSize() const { return Journal().size(); }
    boardsim::RecordRead Latest() const { return sim_.Latest(); }
    size_t RecordCount() const { return sim_.RecordCount(); }
    const std::filesystem::path& SimFolder() const { return sim_.Path(); }
    void State(const std::string& text) { sim_.State(text); }

    // Texts of the boxes shown so far.
    std::vector<std::string> Shown() const {
        std::vector<std::string> texts;
        for (const auto& box : dialogs.Shown()) {
            texts.push_back(box.text);
        }
        return texts;
    }

    IADCDevice* Device() const { return board.device; }

private:
    void ReadBoard(IADCDevice* device) {
        using simtest::Out;
        board.device = device;
        board.opened = device->OpenBoard(0, 0, 0, 0) == 1;
        board.found = board.opened;
        board.limits.minClock = Out<float>(device, ctl::MinClock);
        board.limits.maxClock = Out<float>(device, ctl::MaxClock);
        board.limits.memory = Out<int32_t>(device, ctl::Memory);
        const auto capabilities = Out<uint32_t>(device, ctl::Capabilities);
        board.limits.synthesiser = (capabilities & CapSynthesiser) != 0;
        board.limits.evenLength = (capabilities & CapEvenLength) != 0;
        const auto* clocks = Out<const double*>(device, ctl::ClockTable);
        const auto clockCount = Out<int32_t>(device, ctl::ClockCount);
        board.clockTable.assign(clocks, clocks + clockCount);

        values.maxVoltage = Out<float>(device, ctl::MaxVoltage);
        values.codeBits = Out<int32_t>(device, ctl::Resolution);
        const auto* gains = Out<const float*>(device, ctl::AttenuatorTable);
        const auto gainCount = Out<int32_t>(device, ctl::AttenuatorCount);
        for (int32_t i = 0; i + 1 < gainCount; ++i) {
            values.gains.push_back(gains[i]);
        }
        values.minClock = board.limits.minClock;
        values.maxClock = board.limits.maxClock;
        values.memory = board.limits.memory;
        values.synthesiser = board.limits.synthesiser;
    }

    TestRegistry registry_;
    simtest::SimFolder sim_;
    quorvel::ComponentLibrary undulan_;
    IUndula* realSignal_ = nullptr;
    quorvel::ComponentLibrary driverLibrary_;
    IADCDevice* realDevice_ = nullptr;

public:
    std::unique_ptr<CountingSignal> signal;
    std::unique_ptr<GatedDevice> gate;
    RigBoard board;
    BoardValues values;
    params::Settings settings = params::DefaultSettings({0, 0, 400, 300});
    params::ScriptedDialogs dialogs;
    params::ErrorReport report{dialogs, [] {}, {"Error", "Unknown error"}};
    FakeParameterView labels;
    FakeAdditional additional{5.0};
    ParameterModel model{labels, EnglishTexts};
    FakeView view;
    FakeTimers timers;
    std::vector<uint8_t> fileData;
    std::unique_ptr<GenerationControl> control;
    std::unique_ptr<FlashMemory> flash;
};

// Little-endian bytes of 16-bit words.
inline std::vector<uint8_t> Bytes(const std::vector<int16_t>& words) {
    std::vector<uint8_t> bytes;
    bytes.reserve(words.size() * 2);
    for (const int16_t w : words) {
        const auto u = static_cast<uint16_t>(w);
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    return bytes;
}

// A ramp of file words that covers the signed range, with sync bits set.
inline std::vector<int16_t> RampWords(size_t count) {
    std::vector<int16_t> words(count);
    for (size_t i = 0; i < count; ++i) {
        words[i] = static_cast<int16_t>(static_cast<int32_t>((i * 37) % 65536) - 32768);
    }
    return words;
}

} // namespace gentest
