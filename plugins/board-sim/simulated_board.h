#pragma once
// A simulated signal generator board behind the driver operations the program
// uses (IADCDevice). A plain class: the component libraries kord77pci/usb/isa wrap
// it; tests may drive it directly. Every operation is safe to call from any thread
// (the program polls Control 0x7A5A0020 on its main thread while its transfer
// thread calls LoadSamples); calls are serialised by one lock.
//
// What the board does, its files and the keys of its settings and state files are
// described in README.md in this folder.

#include "app/board/iadc_device.h"
#include "plugins/board-sim/board_config.h"
#include "plugins/board-sim/run_state.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace boardsim {

// Results of the operations besides 1 (success).
inline constexpr int32_t ResultFailed = 0;   // board absent, not opened, not answering,
                                             // disconnected, unknown code, no such feature
inline constexpr int32_t ResultInvalid = -1; // bad argument from the caller
inline constexpr int32_t ResultNoRoom = -2;  // beyond the board memory or flash capacity

// StartOutput's error numbers.
inline constexpr int32_t StartNotOpened = -1;
inline constexpr int32_t StartNoBlock = -2;    // nothing (valid) loaded
inline constexpr int32_t StartNoSettings = -3; // ApplySettings never accepted
inline constexpr int32_t StartDisconnected = -4;
inline constexpr int32_t StartPowerFault = -5;

class SimulatedBoard {
public:
    // The defaults of `kind` with the settings file (KORD77_SIM_CONFIG) applied.
    explicit SimulatedBoard(BoardKind kind);
    SimulatedBoard(BoardKind kind, BoardConfig config);
    SimulatedBoard(const SimulatedBoard&) = delete;
    SimulatedBoard& operator=(const SimulatedBoard&) = delete;

    const BoardConfig& Config() const { return config_; }
    BoardKind Kind() const { return kind_; }

    // The IADCDevice operations, slot by slot. Slots 0, 3 and 8 answer 0.
    int32_t Reserved(int32_t slot);
    int32_t Release(); // journals the call; freeing the object is the wrapper's job
    int32_t OpenBoard(int32_t id, int32_t a, int32_t b, int32_t c);
    int32_t ApplySettings(int32_t what, BoardSettings* settings, float* realisedClock);
    int32_t StartOutput();
    int32_t StopOutput();
    int32_t LoadSamples(int32_t format, const int16_t* samples, int32_t count, int32_t reserved);
    int32_t Control(int32_t code, void* data);

private:
    using Clock = std::chrono::steady_clock;

    struct Applied {
        BoardSettings settings{};
        double clock = 0.0; // realised, Hz
        bool synthesiser = false;
    };

    struct Block {
        std::vector<int16_t> codes; // converter codes
        std::vector<int16_t> words; // as received
        int32_t format = 0;         // of the first chunk
        bool mixed = false;         // chunks of different formats
        int64_t clipped = 0;
        bool broken = false; // a chunk was refused: nothing valid to play
    };

    // Per-call preamble: state file, end of a single play, unplugging. Null when
    // the call goes on; else the result to give at once (no answer, forced).
    std::optional<int32_t> Begin(Operation operation, int32_t code, std::string& note);
    void UpdatePlaying();
    bool Playing() const { return playing_; }
    void StopPlaying() { playing_ = false; }
    // A board operation other than LoadSamples: the next LoadSamples starts a new block.
    void EndLoading() { loading_ = false; }
    bool Answers(int32_t id) const;
    std::optional<double> Realise(double wanted, bool synthesiser) const;
    int32_t ValidateSettings(const BoardSettings& settings) const;
    int32_t AnswerControl(int32_t code, void* data, std::string& detail);
    int32_t WriteFlash(const FlashImage* image, std::string& detail);
    int32_t EraseFlash(std::string& detail);
    int32_t Finish(const std::string& call, int32_t result);
    void Report(const std::string& message);
    void ReportAll(std::vector<std::string>& messages);

    BoardKind kind_;
    BoardConfig config_;
    std::vector<double> clockTable_; // reported: the real entries and, when set, the extra one
    std::vector<float> gainTable_;

    std::mutex mutex_; // guards everything below
    RunStateReader stateReader_;
    RunState state_;
    std::optional<int32_t> openedId_;
    bool useSynthesiser_ = false;
    std::optional<Applied> applied_;
    Block block_;
    bool loading_ = false; // the last board operation was a LoadSamples
    bool playing_ = false;
    bool continuous_ = false;
    Clock::time_point playEnd_{};
    bool flashWritten_ = false;
};

} // namespace boardsim
