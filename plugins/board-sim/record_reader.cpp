#include "plugins/board-sim/record_reader.h"

#include "plugins/board-sim/key_value.h"
#include "plugins/board-sim/record_format.h"

#include <sndfile.h>

#include <algorithm>
#include <fstream>
#include <system_error>

namespace boardsim {
namespace fs = std::filesystem;

namespace {

class Fields {
public:
    explicit Fields(const std::map<std::string, std::string>& values) : values_(values) {}

    std::string Text(const char* key) {
        const auto found = values_.find(key);
        if (found == values_.end()) {
            Fail(std::string("no key \"") + key + "\"");
            return {};
        }
        return found->second;
    }
    int64_t Integer(const char* key) {
        const auto value = ParseInteger(Text(key));
        if (!value)
            Fail(std::string("\"") + key + "\" is not a whole number");
        return value.value_or(0);
    }
    int32_t Int32(const char* key) { return static_cast<int32_t>(Integer(key)); }
    bool Flag(const char* key) { return Integer(key) != 0; }
    double Number(const char* key) {
        const auto value = ParseNumber(Text(key));
        if (!value)
            Fail(std::string("\"") + key + "\" is not a number");
        return value.value_or(0.0);
    }
    const std::string& Error() const { return error_; }
    void Fail(const std::string& why) {
        if (error_.empty())
            error_ = why;
    }

private:
    const std::map<std::string, std::string>& values_;
    std::string error_;
};

bool ReadWav(const fs::path& file, std::vector<int16_t>& codes, int32_t& rate, std::string& error) {
    SF_INFO info{};
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &info);
    if (sound == nullptr) {
        error = "cannot read " + file.string() + ": " + sf_strerror(nullptr);
        return false;
    }
    bool ok = info.channels == 1 && (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
              (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    if (!ok)
        error = file.string() + " is not a mono 16-bit PCM WAV";
    if (ok) {
        codes.resize(static_cast<size_t>(info.frames));
        ok = sf_read_short(sound, codes.data(), info.frames) == info.frames;
        if (!ok)
            error = "cannot read the samples of " + file.string();
    }
    rate = info.samplerate;
    sf_close(sound);
    return ok;
}

bool ReadRaw(const fs::path& file, std::vector<int16_t>& words, std::string& error) {
    std::error_code code;
    const auto size = fs::file_size(file, code);
    if (code || size % 2 != 0) {
        error = "cannot read " + file.string();
        return false;
    }
    words.resize(static_cast<size_t>(size / 2));
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(words.data()), static_cast<std::streamsize>(size));
    if (!in) {
        error = "cannot read " + file.string();
        return false;
    }
    return true;
}

} // namespace

RecordRead ReadRecord(const fs::path& sidecar) {
    RecordRead read;
    std::string error;
    const auto text = ReadTextFile(sidecar, &error);
    if (!text) {
        read.error = error;
        return read;
    }
    const KeyValueText parsed = ParseKeyValueText(*text);
    if (!parsed.errors.empty()) {
        read.error = sidecar.string() + ": " + parsed.errors.front();
        return read;
    }
    OutputRecord out;
    out.fields = parsed.values;
    Fields fields(out.fields);
    out.kind = fields.Text(record::Kind);
    out.driver = fields.Text(record::Driver);
    if (out.kind == "flash")
        out.state = fields.Text(record::State);
    else if (out.kind == "play")
        out.number = fields.Integer(record::Number);
    else
        fields.Fail("unknown record kind \"" + out.kind + "\"");
    if (out.state == "erased" || !fields.Error().empty()) {
        if (!fields.Error().empty())
            read.error = sidecar.string() + ": " + fields.Error();
        else
            read.record = std::move(out);
        return read;
    }
    out.boardId = fields.Int32(record::BoardId);
    out.clock = fields.Number(record::Clock);
    out.wavRate = fields.Int32(record::WavRate);
    out.synthesiser = fields.Flag(record::Synthesiser);
    out.attenuator = fields.Int32(record::Attenuator);
    out.gain = fields.Number(record::Gain);
    out.filter = fields.Int32(record::Filter);
    out.mode = fields.Int32(record::Mode);
    out.continuous = fields.Flag(record::Continuous);
    out.externalStart = fields.Flag(record::ExternalStart);
    out.risingEdge = fields.Flag(record::RisingEdge);
    out.dataFormat = fields.Int32(record::DataFormat);
    out.mixedFormats = fields.Flag(record::MixedFormats);
    out.clipped = fields.Integer(record::Clipped);
    out.codeBits = fields.Int32(record::CodeBits);
    out.voltsWithoutLoad = fields.Number(record::VoltsWithoutLoad);
    out.voltsPerCode = fields.Number(record::VoltsPerCode);
    out.duration = fields.Number(record::Duration);
    const int64_t samples = fields.Integer(record::Samples);
    const int64_t words = fields.Integer(record::Words);
    const std::string wavFile = fields.Text(record::WavFile);
    const std::string rawFile = fields.Text(record::RawFile);
    if (!fields.Error().empty()) {
        read.error = sidecar.string() + ": " + fields.Error();
        return read;
    }
    const fs::path folder = sidecar.parent_path();
    int32_t rate = 0;
    if (!ReadWav(folder / wavFile, out.codes, rate, error) ||
        !ReadRaw(folder / rawFile, out.words, error)) {
        read.error = error;
        return read;
    }
    if (static_cast<int64_t>(out.codes.size()) != samples || rate != out.wavRate ||
        static_cast<int64_t>(out.words.size()) != words) {
        read.error = sidecar.string() + ": the WAV or raw file does not match the sidecar";
        return read;
    }
    read.record = std::move(out);
    return read;
}

std::vector<fs::path> ListRecords(const fs::path& folder) {
    std::vector<std::pair<int64_t, fs::path>> found;
    std::error_code code;
    const std::string prefix = record::PlayPrefix;
    for (const auto& entry : fs::directory_iterator(folder, code)) {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() != ".txt" || !stem.starts_with(prefix))
            continue;
        if (const auto number = ParseInteger(stem.substr(prefix.size())); number && *number > 0)
            found.emplace_back(*number, entry.path());
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> paths;
    for (auto& item : found)
        paths.push_back(std::move(item.second));
    return paths;
}

RecordRead ReadLatestRecord(const fs::path& folder) {
    const auto records = ListRecords(folder);
    if (records.empty())
        return {std::nullopt, "no play record in " + folder.string()};
    return ReadRecord(records.back());
}

RecordRead ReadFlashRecord(const fs::path& folder) {
    return ReadRecord(folder / record::FlashSidecar);
}

bool JournalEntry::Has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string JournalEntry::Arg(const std::string& key) const {
    const auto found = args.find(key);
    return found == args.end() ? std::string() : found->second;
}

int32_t JournalEntry::Code() const {
    return ParseInt32(Arg("code")).value_or(0);
}

JournalRead ReadJournal(const fs::path& folder) {
    JournalRead read;
    std::string error;
    const auto text = ReadTextFile(folder / record::JournalFile, &error);
    if (!text) {
        read.error = error;
        return read;
    }
    size_t at = 0;
    int lineNumber = 0;
    while (at < text->size()) {
        auto end = text->find('\n', at);
        if (end == std::string::npos)
            end = text->size();
        const std::string line = text->substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (line.empty())
            continue;
        JournalEntry entry;
        entry.line = line;
        std::vector<std::string> tokens;
        for (size_t from = 0; from < line.size();) {
            const auto space = line.find(' ', from);
            const auto stop = space == std::string::npos ? line.size() : space;
            if (stop > from)
                tokens.push_back(line.substr(from, stop - from));
            from = stop + 1;
        }
        const auto result = tokens.size() >= 4 ? ParseInt32(tokens.back()) : std::nullopt;
        if (!result || tokens[tokens.size() - 2] != "->") {
            read.error = "journal line " + std::to_string(lineNumber) + " does not parse";
            return read;
        }
        entry.driver = tokens[0];
        entry.operation = tokens[1];
        entry.result = *result;
        for (size_t i = 2; i + 2 < tokens.size(); ++i) {
            const auto equals = tokens[i].find('=');
            if (equals == std::string::npos)
                entry.flags.push_back(tokens[i]);
            else
                entry.args[tokens[i].substr(0, equals)] = tokens[i].substr(equals + 1);
        }
        read.entries.push_back(std::move(entry));
    }
    return read;
}

} // namespace boardsim
