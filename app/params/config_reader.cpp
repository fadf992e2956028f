#include "app/params/config_reader.h"

#include "app/params/config_number.h"
#include "app/params/config_text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace params {

namespace {

// Reads the whole file, or nothing when it is missing, empty, too large or reads
// short.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<std::size_t>(info.st_size) < limit) {
        std::string buffer(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t done = 0;
        while (done < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        if (done == buffer.size()) {
            bytes = std::move(buffer);
        }
    }
    ::close(fd);
    return bytes;
}

} // namespace

std::string_view ConfigReader::ValueOf(const KeyMatch& match) const {
    return std::string_view(text_).substr(match.value, match.lineEnd - match.value);
}

bool ConfigReader::Open(const std::string& path) {
    Close();
    if (auto bytes = ReadSmallFile(path, MaxFileSize)) {
        return OpenBytes(*bytes);
    }
    return false;
}

bool ConfigReader::OpenBytes(std::string_view bytes) {
    Close();
    if (bytes.empty() || bytes.size() >= MaxFileSize) {
        return false;
    }
    text_ = NormaliseConfigText(bytes);
    hasData_ = true;
    return true;
}

void ConfigReader::Close() {
    text_.clear();
    text_.shrink_to_fit();
    hasData_ = false;
    nextLine_ = 0;
}

std::optional<ConfigReader::KeyMatch> ConfigReader::FindKey(std::string_view key) const {
    if (!hasData_) {
        return std::nullopt;
    }
    // The key in the file's form. Blanks are ignored on both sides, so they are
    // dropped from the key at once.
    std::string wanted;
    for (const char c : key.substr(0, MaxKeyLength)) {
        const char t = ConfigTableChar(static_cast<unsigned char>(c) & 0x7F);
        if (t != ' ') {
            wanted.push_back(t);
        }
    }
    if (wanted.empty()) {
        return std::nullopt;
    }

    const std::size_t size = text_.size();
    std::size_t lineStart = 0;
    while (lineStart < size) {
        std::size_t lineEnd = text_.find('\0', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = size;
        }
        if (text_[lineStart] != ';') {
            for (std::size_t p = lineStart; p < lineEnd; ++p) {
                if (p != lineStart && !IsSeparator(text_[p - 1])) {
                    continue;
                }
                std::size_t i = 0;
                std::size_t j = p;
                while (i < wanted.size()) {
                    while (j < lineEnd && text_[j] == ' ') {
                        ++j;
                    }
                    if (j >= lineEnd || text_[j] != wanted[i]) {
                        break;
                    }
                    ++i;
                    ++j;
                }
                if (i == wanted.size() && (j >= lineEnd || IsSeparator(text_[j]))) {
                    return KeyMatch{j, lineEnd};
                }
            }
        }
        lineStart = lineEnd + 1;
    }
    return std::nullopt;
}

int ConfigReader::GetString(std::string_view key, std::string& out, std::size_t size,
                            std::string_view defaultText) const {
    if (!hasData_) {
        return -1;
    }
    const auto match = FindKey(key);
    if (!match) {
        if (!defaultText.empty()) {
            out.assign(defaultText.substr(0, size > 0 ? size - 1 : 0));
        }
        return 0;
    }
    std::size_t begin = match->value;
    // Blanks before the value; the search stops at the end of the line.
    while (begin < match->lineEnd && IsSeparator(text_[begin])) {
        ++begin;
    }
    std::size_t end = match->lineEnd;
    if (size == 0) {
        end = begin;
    } else if (end - begin > size - 1) {
        end = begin + (size - 1);
    }
    while (end > begin && IsSeparator(text_[end - 1])) {
        --end;
    }
    out.assign(text_, begin, end - begin);
    return 1;
}

int ConfigReader::GetInt(std::string_view key, int& out, int defaultValue) const {
    if (!hasData_) {
        return -1;
    }
    if (const auto match = FindKey(key)) {
        const ParsedNumber number = ParseNumber(ValueOf(*match));
        if (number.status == NumberStatus::Ok && number.asInt) {
            out = *number.asInt;
            return 1;
        }
    }
    if (defaultValue != 0) {
        out = defaultValue;
    }
    return 0;
}

int ConfigReader::GetDouble(std::string_view key, double& out, double defaultValue) const {
    if (!hasData_) {
        return -1;
    }
    if (const auto match = FindKey(key)) {
        const ParsedNumber number = ParseNumber(ValueOf(*match));
        if (number.status == NumberStatus::Ok) {
            out = number.value;
            return 1;
        }
    }
    if (defaultValue != 0.0) {
        out = defaultValue;
    }
    return 0;
}

int ConfigReader::GetDoubleList(std::string_view key, std::span<double> values) const {
    if (!hasData_) {
        return -1;
    }
    const auto match = FindKey(key);
    if (!match) {
        return 0;
    }
    const std::string_view line = ValueOf(*match);
    std::size_t position = 0;
    int count = 0;
    for (double& value : values) {
        const ParsedNumber number = ParseNumber(line, position);
        if (number.status != NumberStatus::Ok) {
            break;
        }
        value = number.value;
        position = number.end;
        ++count;
    }
    return count;
}

std::optional<std::string_view> ConfigReader::NextLine() {
    while (hasData_ && nextLine_ < text_.size()) {
        std::size_t lineEnd = text_.find('\0', nextLine_);
        if (lineEnd == std::string::npos) {
            lineEnd = text_.size();
        }
        const std::string_view line(text_.data() + nextLine_, lineEnd - nextLine_);
        nextLine_ = lineEnd + 1;
        for (const char c : line) {
            if (!IsSeparator(c)) {
                return line;
            }
        }
    }
    return std::nullopt;
}

} // namespace params
