#include "app/params/config_writer.h"

#include <array>
#include <charconv>

namespace params {

std::string FormatFixed(double value, int decimals) {
    // Large enough for any double in fixed notation (up to 309 integer digits).
    std::array<char, 400> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        return "0";
    }
    return std::string(buffer.data(), end);
}

std::string FormatHex8(int value) {
    std::array<char, 16> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(),
                                         static_cast<uint32_t>(value), 16);
    std::string text(digits.data(), ec == std::errc() ? end : digits.data());
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (text.size() < 8) {
        text.insert(0, 8 - text.size(), '0');
    }
    return "0x" + text;
}

std::string PadKey(std::string_view key, std::size_t width) {
    std::string padded(key);
    if (padded.size() < width) {
        padded.append(width - padded.size(), ' ');
    }
    return padded;
}

std::string FormatConfigLine(std::string_view key, std::string_view value, int width,
                             std::string_view comment) {
    std::string line;
    line.reserve(key.size() + value.size() + comment.size() + 80);
    line.append(key).append(" = ").append(value);
    if (width > 0 && value.size() < static_cast<std::size_t>(width - 1)) {
        line.append(static_cast<std::size_t>(width - 1) - value.size(), ' ');
    }
    line.append(comment).append("\r\n");
    return line;
}

bool ConfigWriter::Create(const std::string& path) {
    return file_.Create(path);
}

int ConfigWriter::WriteLine(std::string_view line) {
    if (!file_.IsOpen()) {
        return 0;
    }
    return file_.Write(line) ? 1 : 0;
}

int ConfigWriter::WriteString(std::string_view key, std::string_view text, bool quoted, int width,
                              std::string_view comment) {
    if (!quoted) {
        return WriteLine(FormatConfigLine(key, text, width, comment));
    }
    std::string value;
    value.reserve(text.size() + 2);
    value.append("\"").append(text).append("\"");
    return WriteLine(FormatConfigLine(key, value, width, comment));
}

int ConfigWriter::WriteInt(std::string_view key, int value, bool hexadecimal, int width,
                           std::string_view comment) {
    const std::string text = hexadecimal ? FormatHex8(value) : std::to_string(value);
    return WriteLine(FormatConfigLine(key, text, width, comment));
}

int ConfigWriter::WriteDouble(std::string_view key, std::string_view comment, int width,
                              double value) {
    return WriteLine(FormatConfigLine(key, FormatFixed(value, 6), width, comment));
}

int ConfigWriter::WriteFloatList(std::string_view key, std::span<const float> values, int width,
                                 std::string_view comment, int perLine) {
    if (!file_.IsOpen()) {
        return 0;
    }
    std::string line(key);
    line.append(" = ");
    const std::size_t prefix = line.size();
    int result = 1;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool last = i + 1 == values.size();
        line.append(FormatFixed(static_cast<double>(values[i]), 1));
        if (!last) {
            line.push_back(' ');
        }
        if (!last && perLine > 0 && (i + 1) % static_cast<std::size_t>(perLine) == 0) {
            line.append("\\\r\n");
            if (WriteLine(line) != 1) {
                result = 0;
            }
            line.assign(prefix, ' ');
        }
    }
    const std::size_t fill = prefix + static_cast<std::size_t>(width > 0 ? width - 1 : 0);
    if (line.size() < fill) {
        line.append(fill - line.size(), ' ');
    }
    line.append(comment).append("\r\n");
    if (WriteLine(line) != 1) {
        result = 0;
    }
    return result;
}

bool ConfigWriter::Close() {
    return file_.Commit();
}

} // namespace params
