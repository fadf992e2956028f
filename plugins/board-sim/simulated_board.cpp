#include "plugins/board-sim/simulated_board.h"

#include "plugins/board-sim/clock_rules.h"
#include "plugins/board-sim/key_value.h"
#include "plugins/board-sim/output_record.h"
#include "plugins/board-sim/record_format.h"
#include "plugins/board-sim/sample_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace boardsim {
namespace {

template <class T> void Put(void* data, const T& value) {
    std::memcpy(data, &value, sizeof value);
}

template <class T> T Get(const void* data) {
    T value{};
    std::memcpy(&value, data, sizeof value);
    return value;
}

std::string Pointer(const void* address) {
    return address == nullptr ? "null" : "set";
}

const char* ControlName(int32_t code) {
    switch (code) {
    case ctl::Capabilities:
        return "Capabilities";
    case ctl::BoardIds:
        return "BoardIds";
    case ctl::ListCheckA:
        return "ListCheckA";
    case ctl::ListUnused1:
        return "ListUnused1";
    case ctl::ListUnused2:
        return "ListUnused2";
    case ctl::MinClock:
        return "MinClock";
    case ctl::MaxClock:
        return "MaxClock";
    case ctl::VoltageUnused:
        return "VoltageUnused";
    case ctl::MaxVoltage:
        return "MaxVoltage";
    case ctl::Resolution:
        return "Resolution";
    case ctl::BoardIdCount:
        return "BoardIdCount";
    case ctl::ListCheckB:
        return "ListCheckB";
    case ctl::Memory:
        return "Memory";
    case ctl::NearestClock:
        return "NearestClock";
    case ctl::NearestClockAlt:
        return "NearestClockAlt";
    case ctl::NearestSynthClock:
        return "NearestSynthClock";
    case ctl::DriverVersion:
        return "DriverVersion";
    case ctl::VersionMajor:
        return "VersionMajor";
    case ctl::VersionMinor:
        return "VersionMinor";
    case ctl::VersionBuild:
        return "VersionBuild";
    case ctl::VersionRevision:
        return "VersionRevision";
    case ctl::SecondMajor:
        return "SecondMajor";
    case ctl::SecondMinor:
        return "SecondMinor";
    case ctl::SecondBuild:
        return "SecondBuild";
    case ctl::SecondRevision:
        return "SecondRevision";
    case ctl::SecondName:
        return "SecondName";
    case ctl::Name:
        return "Name";
    case ctl::AttenuatorTable:
        return "AttenuatorTable";
    case ctl::AttenuatorCount:
        return "AttenuatorCount";
    case ctl::ClockTable:
        return "ClockTable";
    case ctl::ClockCount:
        return "ClockCount";
    case ctl::Playing:
        return "Playing";
    case ctl::UseSynthesiser:
        return "UseSynthesiser";
    case ctl::PollState:
        return "PollState";
    case ctl::Connected:
        return "Connected";
    case ctl::FirmwareVersion:
        return "FirmwareVersion";
    case ctl::PowerNormal:
        return "PowerNormal";
    case ctl::FlashWrite:
        return "FlashWrite";
    case ctl::FlashErasable:
        return "FlashErasable";
    case ctl::SerialNumber:
        return "SerialNumber";
    default:
        return "Unknown";
    }
}

std::string SettingsText(const BoardSettings& settings) {
    return "type=" + std::to_string(settings.type) + " size=" + std::to_string(settings.size) +
           " mode=" + std::to_string(settings.mode) + " clock=" + FormatNumber(settings.clock) +
           " attenuator=" + std::to_string(settings.attenuator) +
           " filter=" + std::to_string(settings.filter);
}

template <class T> std::vector<T> WithExtraEntry(const std::vector<T>& real, bool extra) {
    std::vector<T> table = real;
    if (extra && !table.empty())
        table.push_back(table.back());
    return table;
}

} // namespace

SimulatedBoard::SimulatedBoard(BoardKind kind)
    : SimulatedBoard(kind, [&] {
          std::vector<std::string> messages;
          BoardConfig config = LoadConfig(kind, messages);
          for (const auto& message : messages)
              std::fprintf(stderr, "%s simulator: %s\n", DriverName(kind), message.c_str());
          return config;
      }()) {}

SimulatedBoard::SimulatedBoard(BoardKind kind, BoardConfig config)
    : kind_(kind), config_(std::move(config)),
      clockTable_(WithExtraEntry(config_.clocks, config_.extraEntry)),
      gainTable_(WithExtraEntry(config_.gains, config_.extraEntry)), stateReader_(config_.driver) {
    // The flash keeps its content between driver objects: the output folder stands
    // for the board's non-volatile memory.
    if (config_.flashCapacity > 0 && !OutputFolder().empty()) {
        if (const auto text = ReadTextFile(OutputFolder() / record::FlashSidecar, nullptr)) {
            const KeyValueText flash = ParseKeyValueText(*text);
            const auto value = [&](const char* key) {
                const auto found = flash.values.find(key);
                return found == flash.values.end() ? std::string() : found->second;
            };
            flashWritten_ =
                value(record::State) == "written" && value(record::Driver) == config_.driver;
        }
    }
}

void SimulatedBoard::Report(const std::string& message) {
    std::fprintf(stderr, "%s simulator: %s\n", config_.driver.c_str(), message.c_str());
}

void SimulatedBoard::ReportAll(std::vector<std::string>& messages) {
    for (const auto& message : messages)
        Report(message);
    messages.clear();
}

int32_t SimulatedBoard::Finish(const std::string& call, int32_t result) {
    const auto folder = OutputFolder();
    if (!folder.empty() &&
        !AppendJournal(folder, config_.driver + " " + call + " -> " + std::to_string(result)))
        Report("cannot append to the journal in " + folder.string());
    return result;
}

void SimulatedBoard::UpdatePlaying() {
    if (playing_ && !continuous_ && Clock::now() >= playEnd_)
        playing_ = false;
    if (!state_.connected) {
        // Unplugged: the board loses power, its output and its memory.
        playing_ = false;
        block_ = Block{};
        loading_ = false;
    } else if (!state_.powerNormal) {
        playing_ = false;
    }
}

std::optional<int32_t> SimulatedBoard::Begin(Operation operation, int32_t code, std::string& note) {
    std::vector<std::string> messages;
    state_ = stateReader_.Read(messages);
    ReportAll(messages);
    UpdatePlaying();
    if (state_.noAnswer) {
        note += " no_answer";
        return ResultFailed;
    }
    const int64_t call = stateReader_.CountCall(operation);
    if (const auto forced = state_.Forced(operation, code, call)) {
        note += " forced";
        return forced;
    }
    return std::nullopt;
}

bool SimulatedBoard::Answers(int32_t id) const {
    const std::vector<int32_t>& answering =
        state_.answering ? *state_.answering : config_.answering;
    return std::find(answering.begin(), answering.end(), id) != answering.end();
}

std::optional<double> SimulatedBoard::Realise(double wanted, bool synthesiser) const {
    if (synthesiser)
        return NearestSynthesiserClock(config_.synth, wanted);
    return NearestTableClock(config_.clocks, wanted);
}

int32_t SimulatedBoard::ValidateSettings(const BoardSettings& settings) const {
    const bool valid = settings.type == BoardSettingsType &&
                       settings.size == static_cast<int32_t>(sizeof(BoardSettings)) &&
                       (settings.mode & ~7) == 0 && std::isfinite(settings.clock) &&
                       settings.clock > 0.0 && settings.attenuator >= 0 &&
                       settings.attenuator < static_cast<int32_t>(gainTable_.size()) &&
                       (settings.filter == 0 || settings.filter == 1);
    return valid ? 1 : ResultInvalid;
}

int32_t SimulatedBoard::Reserved(int32_t slot) {
    std::lock_guard lock(mutex_);
    return Finish("Reserved" + std::to_string(slot), 0);
}

int32_t SimulatedBoard::Release() {
    std::lock_guard lock(mutex_);
    return Finish("Release", 0);
}

int32_t SimulatedBoard::OpenBoard(int32_t id, int32_t a, int32_t b, int32_t c) {
    std::lock_guard lock(mutex_);
    std::string call = "OpenBoard id=" + std::to_string(id) + " a=" + std::to_string(a) +
                       " b=" + std::to_string(b) + " c=" + std::to_string(c);
    if (const auto early = Begin(Operation::OpenBoard, 0, call))
        return Finish(call, *early);
    // A board that does not answer leaves the selection as it was.
    if (!state_.connected || !Answers(id))
        return Finish(call, ResultFailed);
    if (openedId_ != id) {
        // Another board: it starts idle, with nothing loaded and no settings.
        openedId_ = id;
        playing_ = false;
        applied_.reset();
        block_ = Block{};
    }
    EndLoading();
    return Finish(call, 1);
}

int32_t SimulatedBoard::ApplySettings(int32_t what, BoardSettings* settings, float* realisedClock) {
    std::lock_guard lock(mutex_);
    std::string call = "ApplySettings what=" + std::to_string(what) + " " +
                       (settings == nullptr ? "settings=null" : SettingsText(*settings)) +
                       " realised_address=" + Pointer(realisedClock);
    if (const auto early = Begin(Operation::ApplySettings, 0, call))
        return Finish(call, *early);
    if (what != 1 || settings == nullptr || realisedClock == nullptr ||
        ValidateSettings(*settings) != 1)
        return Finish(call, ResultInvalid);
    if (!openedId_ || !state_.connected)
        return Finish(call, ResultFailed);
    const auto clock = Realise(settings->clock, useSynthesiser_);
    if (!clock)
        return Finish(call, ResultFailed);
    applied_ = Applied{*settings, *clock, useSynthesiser_};
    *realisedClock = static_cast<float>(*clock);
    EndLoading();
    call += " realised=" + FormatNumber(*clock) + " synthesiser=" + (useSynthesiser_ ? "1" : "0");
    return Finish(call, 1);
}

int32_t SimulatedBoard::StartOutput() {
    std::lock_guard lock(mutex_);
    std::string call = "StartOutput";
    if (const auto early = Begin(Operation::StartOutput, 0, call))
        return Finish(call, *early);
    EndLoading();
    if (!openedId_)
        return Finish(call, StartNotOpened);
    if (!state_.connected)
        return Finish(call, StartDisconnected);
    if (!state_.powerNormal)
        return Finish(call, StartPowerFault);
    if (!applied_)
        return Finish(call, StartNoSettings);
    if (block_.codes.empty() || block_.broken)
        return Finish(call, StartNoBlock);

    const double seconds = static_cast<double>(block_.codes.size()) / applied_->clock;
    playing_ = true;
    continuous_ = (applied_->settings.mode & ModeContinuous) != 0;
    // An external start is taken to arrive at once.
    playEnd_ = Clock::now() +
               std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));

    const auto folder = OutputFolder();
    if (!folder.empty()) {
        RecordContent content;
        content.driver = config_.driver;
        content.boardId = *openedId_;
        content.clock = applied_->clock;
        content.synthesiser = applied_->synthesiser;
        content.attenuator = applied_->settings.attenuator;
        content.gain = gainTable_[static_cast<size_t>(applied_->settings.attenuator)];
        content.filter = applied_->settings.filter;
        content.mode = applied_->settings.mode;
        content.dataFormat = block_.format;
        content.mixedFormats = block_.mixed;
        content.clipped = block_.clipped;
        content.bits = config_.bits;
        content.voltsWithoutLoad = config_.volts;
        content.codes = &block_.codes;
        content.words = &block_.words;
        std::string error;
        const int64_t number = WritePlayRecord(folder, content, config_.keepRecords, error);
        if (number == 0)
            Report("no output record: " + error);
        call += " record=" + std::to_string(number);
    }
    call += " samples=" + std::to_string(block_.codes.size()) +
            " clock=" + FormatNumber(applied_->clock) + " continuous=" + (continuous_ ? "1" : "0");
    return Finish(call, 1);
}

int32_t SimulatedBoard::StopOutput() {
    std::lock_guard lock(mutex_);
    std::string call = "StopOutput";
    if (const auto early = Begin(Operation::StopOutput, 0, call))
        return Finish(call, *early);
    EndLoading();
    StopPlaying();
    return Finish(call, 1);
}

int32_t SimulatedBoard::LoadSamples(int32_t format, const int16_t* samples, int32_t count,
                                    int32_t reserved) {
    std::lock_guard lock(mutex_);
    std::string call = "LoadSamples format=" + std::to_string(format) +
                       " samples=" + Pointer(samples) + " count=" + std::to_string(count) +
                       " reserved=" + std::to_string(reserved);
    const auto early = Begin(Operation::LoadSamples, 0, call);
    if (!loading_) {
        block_ = Block{};
        loading_ = true;
    }
    call += " offset=" + std::to_string(block_.codes.size());
    // A refused chunk, forced or not, leaves a block that cannot be played.
    const auto refuse = [&](int32_t result) {
        if (result < 1)
            block_.broken = true;
        return Finish(call, result);
    };
    if (early)
        return refuse(*early);
    if (!IsSampleFormat(format) || samples == nullptr || count < 1)
        return refuse(ResultInvalid);
    if (!openedId_ || !state_.connected)
        return refuse(ResultFailed);
    const int64_t room =
        static_cast<int64_t>(config_.memory) - static_cast<int64_t>(block_.codes.size());
    if (SamplesPerWords(format, count) > room)
        return refuse(ResultNoRoom);
    // The board stops to take new samples into its memory.
    StopPlaying();
    if (block_.words.empty())
        block_.format = format;
    else if (format != block_.format)
        block_.mixed = true;
    block_.words.insert(block_.words.end(), samples, samples + count);
    DecodeSamples(format, samples, count, config_.bits, block_.codes, block_.clipped);
    return Finish(call, 1);
}

int32_t SimulatedBoard::Control(int32_t code, void* data) {
    std::lock_guard lock(mutex_);
    std::string call = "Control code=" + FormatHex32(static_cast<uint32_t>(code)) +
                       " name=" + ControlName(code) + " data=" + Pointer(data);
    if (const auto early = Begin(Operation::Control, code, call))
        return Finish(call, *early);
    std::string detail;
    const int32_t result = AnswerControl(code, data, detail);
    return Finish(call + detail, result);
}

int32_t SimulatedBoard::AnswerControl(int32_t code, void* data, std::string& detail) {
    if (code == ctl::FlashWrite)
        return data == nullptr ? EraseFlash(detail)
                               : WriteFlash(static_cast<const FlashImage*>(data), detail);
    if (data == nullptr)
        return ResultInvalid;

    const auto putInt = [&](int32_t value) {
        Put(data, value);
        detail = " value=" + std::to_string(value);
        return 1;
    };
    const auto putFloat = [&](float value) {
        Put(data, value);
        detail = " value=" + FormatNumber(value);
        return 1;
    };
    const auto putText = [&](const std::string& text) {
        Put(data, text.c_str());
        detail = " text_length=" + std::to_string(text.size());
        return 1;
    };
    const auto putTable = [&](const void* table, size_t entries) {
        Put(data, entries == 0 ? nullptr : table);
        detail = " entries=" + std::to_string(entries);
        return 1;
    };
    const auto realisable = [&](std::optional<double> (*rule)(const std::vector<double>&, double)) {
        const double wanted = Get<double>(data);
        detail = " wanted=" + FormatNumber(wanted);
        if (!std::isfinite(wanted) || wanted <= 0.0)
            return ResultInvalid;
        const auto clock = rule(config_.clocks, wanted);
        if (!clock)
            return ResultFailed;
        Put(data, *clock);
        detail += " realised=" + FormatNumber(*clock);
        return 1;
    };
    const auto second = [&](int32_t value) {
        return config_.secondModule ? putInt(value) : ResultFailed;
    };

    switch (code) {
    case ctl::Capabilities: {
        uint32_t capabilities = 0;
        if (config_.synthesiser)
            capabilities |= CapSynthesiser;
        if (config_.evenLength)
            capabilities |= CapEvenLength;
        Put(data, capabilities);
        detail = " value=" + FormatHex32(capabilities);
        return 1;
    }
    case ctl::BoardIds:
        return putTable(config_.boardIds.data(), config_.boardIds.size());
    case ctl::BoardIdCount:
        return putInt(static_cast<int32_t>(config_.boardIds.size()));
    case ctl::ListCheckA:
        return putInt(config_.listCheckA);
    case ctl::ListCheckB:
        return putInt(config_.listCheckB);
    case ctl::ListUnused1:
        return putInt(config_.listUnused1);
    case ctl::ListUnused2:
        return putInt(config_.listUnused2);
    case ctl::MinClock:
        return putFloat(config_.minClock);
    case ctl::MaxClock:
        return putFloat(config_.maxClock);
    case ctl::VoltageUnused:
        return putFloat(config_.voltsUnused);
    case ctl::MaxVoltage:
        return putFloat(config_.volts);
    case ctl::Resolution:
        return putInt(config_.bits);
    case ctl::Memory:
        return putInt(config_.memory);
    case ctl::NearestClock:
        return realisable(NearestTableClock);
    case ctl::NearestClockAlt:
        return realisable(TableClockAtOrBelow);
    case ctl::NearestSynthClock: {
        const double wanted = Get<double>(data);
        detail = " wanted=" + FormatNumber(wanted);
        if (!config_.synthesiser)
            return ResultFailed;
        const auto clock = NearestSynthesiserClock(config_.synth, wanted);
        if (!clock)
            return ResultInvalid;
        Put(data, *clock);
        detail += " realised=" + FormatNumber(*clock);
        return 1;
    }
    case ctl::DriverVersion:
        return putInt(config_.driverVersion);
    case ctl::VersionMajor:
        return putInt(config_.version[0]);
    case ctl::VersionMinor:
        return putInt(config_.version[1]);
    case ctl::VersionBuild:
        return putInt(config_.version[2]);
    case ctl::VersionRevision:
        return putInt(config_.version[3]);
    case ctl::Name:
        return putText(config_.name);
    case ctl::SecondMajor:
        return second(config_.secondVersion[0]);
    case ctl::SecondMinor:
        return second(config_.secondVersion[1]);
    case ctl::SecondBuild:
        return second(config_.secondVersion[2]);
    case ctl::SecondRevision:
        return second(config_.secondVersion[3]);
    case ctl::SecondName:
        return config_.secondModule ? putText(config_.secondName) : ResultFailed;
    case ctl::AttenuatorTable:
        return putTable(gainTable_.data(), gainTable_.size());
    case ctl::AttenuatorCount:
        return putInt(static_cast<int32_t>(gainTable_.size()));
    case ctl::ClockTable:
        return putTable(clockTable_.data(), clockTable_.size());
    case ctl::ClockCount:
        return putInt(static_cast<int32_t>(clockTable_.size()));
    case ctl::Playing:
        return putInt(playing_ ? 1 : 0);
    case ctl::UseSynthesiser: {
        const auto wanted = Get<int32_t>(data);
        detail = " value=" + std::to_string(wanted);
        if (wanted != 0 && wanted != 1)
            return ResultInvalid;
        if (wanted == 1 && !config_.synthesiser)
            return ResultFailed;
        useSynthesiser_ = wanted == 1;
        return 1;
    }
    case ctl::PollState:
        return putInt(config_.poll ? 1 : 0);
    case ctl::Connected:
        return putInt(state_.connected ? 1 : 0);
    case ctl::PowerNormal:
        return putInt(state_.powerNormal ? 1 : 0);
    case ctl::FirmwareVersion:
        return putInt(config_.firmwareVersion);
    case ctl::SerialNumber:
        return putInt(config_.serialNumber);
    case ctl::FlashErasable:
        if (config_.flashCapacity == 0)
            return ResultFailed;
        return putInt(flashWritten_ ? 1 : 0);
    default:
        return ResultFailed;
    }
}

int32_t SimulatedBoard::WriteFlash(const FlashImage* image, std::string& detail) {
    if (config_.flashCapacity == 0 || !openedId_ || !state_.connected)
        return ResultFailed;
    const bool valid = image->type == FlashImageType &&
                       image->size == static_cast<int32_t>(sizeof(FlashImage)) &&
                       ValidateSettings(image->settings) == 1 &&
                       (image->synthesiser == 0 || image->synthesiser == 1) && image->count >= 1 &&
                       image->samples != nullptr;
    detail = " image_type=" + std::to_string(image->type) +
             " image_size=" + std::to_string(image->size) + " " + SettingsText(image->settings) +
             " synthesiser=" + std::to_string(image->synthesiser) +
             " count=" + std::to_string(image->count) + " samples=" + Pointer(image->samples);
    if (!valid)
        return ResultInvalid;
    if (image->synthesiser == 1 && !config_.synthesiser)
        return ResultInvalid;
    if (image->count > config_.flashCapacity)
        return ResultNoRoom;
    const auto clock = Realise(image->settings.clock, image->synthesiser == 1);
    if (!clock)
        return ResultFailed;
    EndLoading();
    flashWritten_ = true;
    const auto folder = OutputFolder();
    if (!folder.empty()) {
        const std::vector<int16_t> words(image->samples, image->samples + image->count);
        std::vector<int16_t> codes;
        DecodeFlashSamples(words.data(), image->count, config_.bits, codes);
        RecordContent content;
        content.driver = config_.driver;
        content.boardId = *openedId_;
        content.clock = *clock;
        content.synthesiser = image->synthesiser == 1;
        content.attenuator = image->settings.attenuator;
        content.gain = gainTable_[static_cast<size_t>(image->settings.attenuator)];
        content.filter = image->settings.filter;
        content.mode = image->settings.mode;
        content.dataFormat = 1;
        content.bits = config_.bits;
        content.voltsWithoutLoad = config_.volts;
        content.codes = &codes;
        content.words = &words;
        std::string error;
        if (!WriteFlashRecord(folder, content, error))
            Report("no flash record: " + error);
    }
    detail += " realised=" + FormatNumber(*clock);
    return 1;
}

int32_t SimulatedBoard::EraseFlash(std::string& detail) {
    detail = " erase";
    if (config_.flashCapacity == 0 || !openedId_ || !state_.connected)
        return ResultFailed;
    EndLoading();
    flashWritten_ = false;
    const auto folder = OutputFolder();
    std::string error;
    if (!folder.empty() && !WriteFlashErased(folder, config_.driver, error))
        Report("no flash record: " + error);
    return 1;
}

} // namespace boardsim
