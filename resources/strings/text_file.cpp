#include "resources/strings/text_file.h"

#include "resources/strings/unicode.h"

#include <optional>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The id of a line: decimal digits only, within 1..lastId. Sets `error` otherwise.
std::optional<int> ParseId(std::string_view field, int lastId, std::string& error) {
    if (field.empty()) {
        error = "missing id before the tab";
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            error = "id '" + std::string(field) + "' is not a number";
            return std::nullopt;
        }
        if (value <= lastId) { // stop growing once out of range: no overflow
            value = value * 10 + (c - '0');
        }
    }
    if (value < 1 || value > lastId) {
        error = "id " + std::string(field) + " is out of range 1.." + std::to_string(lastId);
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// The text after the tab with its escapes resolved. Sets `error` on a fault.
std::optional<std::string> Unescape(std::string_view field, std::string& error) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\t') {
            error = "a second tab in the text; write a tab as \\t";
            return std::nullopt;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            error = "control character " + std::to_string(static_cast<unsigned char>(c)) +
                    " in the text";
            return std::nullopt;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (i + 1 == field.size()) {
            error = "backslash at the end of the text; write a backslash as \\\\";
            return std::nullopt;
        }
        const char next = field[++i];
        if (next == 'n') {
            out.push_back('\n');
        } else if (next == 't') {
            out.push_back('\t');
        } else if (next == '\\') {
            out.push_back('\\');
        } else {
            const bool printable = next > 0x20 && next < 0x7F;
            error = (printable ? std::string("unknown escape \\") + next
                               : std::string("unknown escape after a backslash")) +
                    "; only \\n, \\t and \\\\ are known";
            return std::nullopt;
        }
    }
    return out;
}

} // namespace

TextFile ParseTextFile(std::string_view content, int lastId) {
    TextFile file;
    std::map<int, int> lineOfId;
    if (content.starts_with(kByteOrderMark)) {
        content.remove_prefix(kByteOrderMark.size());
    }
    int lineNumber = 0;
    while (!content.empty()) {
        ++lineNumber;
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto fail = [&](std::string message) {
            file.errors.push_back({lineNumber, std::move(message)});
        };
        std::size_t badOffset = 0;
        if (!Utf8ToUtf16(line, &badOffset)) {
            fail("invalid UTF-8 at column " + std::to_string(badOffset + 1));
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            fail("missing tab between the id and the text");
            continue;
        }
        std::string error;
        const std::optional<int> id = ParseId(line.substr(0, tab), lastId, error);
        if (!id) {
            fail(error);
            continue;
        }
        if (const auto seen = lineOfId.find(*id); seen != lineOfId.end()) {
            fail("id " + std::to_string(*id) + " is already given on line " +
                 std::to_string(seen->second));
            continue;
        }
        lineOfId.emplace(*id, lineNumber);
        const std::optional<std::string> text = Unescape(line.substr(tab + 1), error);
        if (!text) {
            fail(error);
            continue;
        }
        std::u16string units = *Utf8ToUtf16(*text);
        if (units.size() > static_cast<std::size_t>(kMaxTextUnits)) {
            fail("text " + std::to_string(*id) + " has " + std::to_string(units.size()) +
                 " UTF-16 units; at most " + std::to_string(kMaxTextUnits) + " can be shown");
            continue;
        }
        file.texts.emplace(*id, std::move(units));
    }
    std::string missing;
    for (int id = 1; id <= lastId; ++id) {
        if (!lineOfId.contains(id)) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(id);
        }
    }
    if (!missing.empty()) {
        file.errors.push_back({0, "missing ids: " + missing});
    }
    return file;
}
