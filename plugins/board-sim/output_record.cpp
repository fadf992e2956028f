#include "plugins/board-sim/output_record.h"

#include "plugins/board-sim/key_value.h"
#include "plugins/board-sim/record_format.h"

#include <sndfile.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace boardsim {
namespace fs = std::filesystem;

namespace record {
std::string PlayStem(int64_t number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 6)
        digits.insert(0, 6 - digits.size(), '0');
    return PlayPrefix + digits;
}
} // namespace record

namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

// The WAV header holds a whole rate: the clock rounded, at least 1 Hz.
int WavRate(double clock) {
    return static_cast<int>(std::clamp(std::lround(clock), 1l, long{INT_MAX}));
}

bool WriteWav(const fs::path& file, double clock, const std::vector<int16_t>& codes,
              std::string& error) {
    SF_INFO info{};
    info.samplerate = WavRate(clock);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
    if (sound == nullptr) {
        error = "cannot write " + file.string() + ": " + sf_strerror(nullptr);
        return false;
    }
    const auto frames = static_cast<sf_count_t>(codes.size());
    const bool ok = sf_write_short(sound, codes.data(), frames) == frames;
    if (!ok)
        error = "cannot write " + file.string() + ": " + sf_strerror(sound);
    if (sf_close(sound) != 0 && ok) {
        error = "cannot close " + file.string();
        return false;
    }
    return ok;
}

bool WriteBinary(const fs::path& file, const std::vector<int16_t>& words, std::string& error) {
    // Little-endian 16-bit words, as the host (x86-64, arm64) keeps them.
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(words.data()),
              static_cast<std::streamsize>(words.size() * sizeof(int16_t)));
    out.close();
    if (!out) {
        error = "cannot write " + file.string();
        return false;
    }
    return true;
}

// Writes the sidecar beside its final name and renames it into place.
bool WriteSidecar(const fs::path& file, const Lines& lines, std::string& error) {
    fs::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [key, value] : lines)
            out << key << " = " << value << '\n';
        out.close();
        if (!out) {
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    std::error_code code;
    fs::rename(temporary, file, code);
    if (code) {
        error = "cannot rename " + temporary.string() + ": " + code.message();
        return false;
    }
    return true;
}

Lines ContentLines(const RecordContent& content) {
    const auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
    const auto samples = static_cast<int64_t>(content.codes->size());
    return {
        {record::Driver, content.driver},
        {record::BoardId, std::to_string(content.boardId)},
        {record::Clock, FormatNumber(content.clock)},
        {record::WavRate, std::to_string(WavRate(content.clock))},
        {record::Synthesiser, flag(content.synthesiser)},
        {record::Attenuator, std::to_string(content.attenuator)},
        {record::Gain, FormatNumber(static_cast<double>(content.gain))},
        {record::Filter, std::to_string(content.filter)},
        {record::Mode, std::to_string(content.mode)},
        {record::Continuous, flag((content.mode & 1) != 0)},
        {record::ExternalStart, flag((content.mode & 2) != 0)},
        {record::RisingEdge, flag((content.mode & 4) != 0)},
        {record::DataFormat, std::to_string(content.dataFormat)},
        {record::MixedFormats, flag(content.mixedFormats)},
        {record::Samples, std::to_string(samples)},
        {record::Words, std::to_string(content.words->size())},
        {record::Clipped, std::to_string(content.clipped)},
        {record::CodeBits, std::to_string(content.bits)},
        {record::VoltsWithoutLoad, FormatNumber(static_cast<double>(content.voltsWithoutLoad))},
        {record::VoltsPerCode, FormatNumber(content.VoltsPerCode())},
        {record::Duration, FormatNumber(static_cast<double>(samples) / content.clock)},
    };
}

bool EnsureFolder(const fs::path& folder, std::string& error) {
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        error = "cannot create " + folder.string() + ": " + code.message();
        return false;
    }
    return true;
}

// Numbers of the play sidecars in `folder`.
std::vector<int64_t> PlayNumbers(const fs::path& folder) {
    std::vector<int64_t> numbers;
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder, code)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(record::PlayPrefix) || entry.path().extension() != ".txt")
            continue;
        const std::string digits =
            entry.path().stem().string().substr(std::char_traits<char>::length(record::PlayPrefix));
        if (const auto number = ParseInteger(digits); number && *number > 0)
            numbers.push_back(*number);
    }
    return numbers;
}

void RemoveRecord(const fs::path& folder, int64_t number) {
    std::error_code ignored;
    const std::string stem = record::PlayStem(number);
    for (const char* extension : {".txt", ".wav", ".raw"})
        fs::remove(folder / (stem + extension), ignored);
}

} // namespace

fs::path OutputFolder() {
    const char* out = std::getenv("KORD77_SIM_OUT");
    return out == nullptr ? fs::path() : fs::path(out);
}

double RecordContent::VoltsPerCode() const {
    return static_cast<double>(voltsWithoutLoad) / std::ldexp(1.0, bits - 1) *
           static_cast<double>(gain);
}

int64_t WritePlayRecord(const fs::path& folder, const RecordContent& content, int32_t keep,
                        std::string& error) {
    if (!EnsureFolder(folder, error))
        return 0;
    int64_t number = 1;
    const std::vector<int64_t> existing = PlayNumbers(folder);
    for (const int64_t n : existing)
        number = std::max(number, n + 1);
    const std::string stem = record::PlayStem(number);
    if (!WriteWav(folder / (stem + ".wav"), content.clock, *content.codes, error) ||
        !WriteBinary(folder / (stem + ".raw"), *content.words, error))
        return 0;
    Lines lines{{record::Kind, "play"}, {record::Number, std::to_string(number)}};
    for (auto& line : ContentLines(content))
        lines.push_back(std::move(line));
    lines.emplace_back(record::WavFile, stem + ".wav");
    lines.emplace_back(record::RawFile, stem + ".raw");
    if (!WriteSidecar(folder / (stem + ".txt"), lines, error))
        return 0;
    if (keep > 0)
        for (const int64_t n : existing)
            if (n <= number - keep)
                RemoveRecord(folder, n);
    return number;
}

bool WriteFlashRecord(const fs::path& folder, const RecordContent& content, std::string& error) {
    if (!EnsureFolder(folder, error))
        return false;
    // The old sidecar goes first: a reader never pairs it with the new samples.
    std::error_code ignored;
    fs::remove(folder / record::FlashSidecar, ignored);
    if (!WriteWav(folder / record::FlashWav, content.clock, *content.codes, error) ||
        !WriteBinary(folder / record::FlashRaw, *content.words, error))
        return false;
    Lines lines{{record::Kind, "flash"}, {record::State, "written"}};
    for (auto& line : ContentLines(content))
        lines.push_back(std::move(line));
    lines.emplace_back(record::WavFile, record::FlashWav);
    lines.emplace_back(record::RawFile, record::FlashRaw);
    return WriteSidecar(folder / record::FlashSidecar, lines, error);
}

bool WriteFlashErased(const fs::path& folder, const std::string& driver, std::string& error) {
    if (!EnsureFolder(folder, error))
        return false;
    std::error_code ignored;
    fs::remove(folder / record::FlashSidecar, ignored);
    fs::remove(folder / record::FlashWav, ignored);
    fs::remove(folder / record::FlashRaw, ignored);
    return WriteSidecar(
        folder / record::FlashSidecar,
        {{record::Kind, "flash"}, {record::State, "erased"}, {record::Driver, driver}}, error);
}

bool AppendJournal(const fs::path& folder, const std::string& line) {
    std::string error;
    if (!EnsureFolder(folder, error))
        return false;
    const std::string path = (folder / record::JournalFile).string();
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (file < 0)
        return false;
    const std::string text = line + '\n';
    const ssize_t written = ::write(file, text.data(), text.size());
    ::close(file);
    return written == static_cast<ssize_t>(text.size());
}

} // namespace boardsim
