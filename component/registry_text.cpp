#include "component/registry_text.h"

#include <algorithm>
#include <cstddef>

namespace quorvel {

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimRight(s);
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameRegistryName(s.substr(0, prefix.size()), prefix);
}

void SkipBlanks(std::string_view s, size_t& pos) {
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
}

// A quoted string starting at s[pos] == '"'. Leaves pos after the closing quote.
bool ParseQuoted(std::string_view s, size_t& pos, std::string& out, std::string& why) {
    out.clear();
    ++pos;
    while (pos < s.size()) {
        const char c = s[pos++];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (pos >= s.size())
                break;
            const char next = s[pos++];
            if (next != '\\' && next != '"') {
                why = std::string("unknown escape \\") + next + " in a quoted text";
                return false;
            }
            out += next;
            continue;
        }
        out += c;
    }
    why = "unterminated quoted text";
    return false;
}

// "01,02, ff" (possibly empty). Continuation backslashes were already removed.
bool ValidHexList(std::string_view list) {
    list = Trim(list);
    if (list.empty())
        return true;
    while (true) {
        const size_t comma = list.find(',');
        const std::string_view item = Trim(list.substr(0, comma));
        if (item.size() != 2 || !IsHexDigit(item[0]) || !IsHexDigit(item[1]))
            return false;
        if (comma == std::string_view::npos)
            return true;
        list.remove_prefix(comma + 1);
    }
}

// A value of another type than string, as written after '=' (continuation lines
// joined with '\n').
bool ValidTypedData(std::string_view data, std::string& why) {
    if (StartsWithNoCase(data, "dword:")) {
        const std::string_view digits = Trim(data.substr(6));
        if (digits.empty() || digits.size() > 8 ||
            !std::all_of(digits.begin(), digits.end(), IsHexDigit)) {
            why = "a dword value needs 1 to 8 hexadecimal digits";
            return false;
        }
        return true;
    }
    size_t colon = std::string_view::npos;
    if (StartsWithNoCase(data, "hex:")) {
        colon = 3;
    } else if (StartsWithNoCase(data, "hex(")) {
        const size_t close = data.find("):");
        const std::string_view type =
            close == std::string_view::npos ? std::string_view{} : data.substr(4, close - 4);
        if (type.empty() || type.size() > 8 || !std::all_of(type.begin(), type.end(), IsHexDigit)) {
            why = "broken hex(type): value";
            return false;
        }
        colon = close + 1;
    } else {
        why = "unknown value type (neither a quoted string, dword: nor hex:)";
        return false;
    }
    std::string joined;
    std::string_view rest = data.substr(colon + 1);
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view piece = TrimRight(rest.substr(0, end));
        if (!piece.empty() && piece.back() == '\\')
            piece.remove_suffix(1);
        joined += piece;
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    if (!ValidHexList(joined)) {
        why = "broken list of hexadecimal bytes";
        return false;
    }
    return true;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

void AppendComments(std::string& out, const std::vector<std::string>& comments) {
    for (const std::string& line : comments) {
        out += line;
        out += '\n';
    }
}

void PutValue(RegistryKey& key, RegistryValue value) {
    for (RegistryValue& old : key.values) {
        if (SameRegistryName(old.name, value.name)) {
            old.isString = value.isString;
            old.data = std::move(value.data);
            old.comments.insert(old.comments.end(), value.comments.begin(), value.comments.end());
            return;
        }
    }
    key.values.push_back(std::move(value));
}

} // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

RegistryParse ParseRegistry(std::string_view text) {
    RegistryParse result;
    auto fail = [&result](int line, std::string why) {
        result.ok = false;
        result.document = {};
        result.line = line;
        result.reason = std::move(why);
        return result;
    };

    if (const size_t zero = text.find('\0'); zero != std::string_view::npos) {
        const auto line =
            std::count(text.begin(), text.begin() + static_cast<ptrdiff_t>(zero), '\n');
        return fail(static_cast<int>(line) + 1, "holds a zero byte (not a text file)");
    }
    if (text.substr(0, Bom.size()) == Bom)
        text.remove_prefix(Bom.size());

    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }

    RegistryDocument& doc = result.document;
    std::vector<std::string> pending; // comments waiting for the next key or value
    size_t current = 0;               // index + 1 of the open key; 0 before any key
    bool seenContent = false;
    std::string why;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const std::string_view t = Trim(lines[i]);
        if (t.empty())
            continue;
        if (t.front() == ';' || t.front() == '#') {
            pending.emplace_back(t);
            continue;
        }
        if (!seenContent && (t == "Windows Registry Editor Version 5.00" || t == "REGEDIT4")) {
            doc.header = t;
            seenContent = true;
            continue;
        }
        seenContent = true;

        if (t.front() == '[') {
            if (t.size() < 2 || t.back() != ']')
                return fail(lineNumber, "key line without a closing ]");
            const std::string_view name = t.substr(1, t.size() - 2);
            if (name.empty())
                return fail(lineNumber, "empty key name");
            if (name.front() == '-')
                return fail(lineNumber, "a key deletion entry [-...] is not a stored key");
            auto same = std::find_if(doc.keys.begin(), doc.keys.end(), [&](const RegistryKey& k) {
                return SameRegistryName(k.name, name);
            });
            if (same == doc.keys.end()) {
                doc.keys.push_back(RegistryKey{std::string(name), {}, std::move(pending)});
                current = doc.keys.size();
            } else {
                same->comments.insert(same->comments.end(), pending.begin(), pending.end());
                current = static_cast<size_t>(same - doc.keys.begin()) + 1;
            }
            pending.clear();
            continue;
        }

        if (t.front() == '"' || t.front() == '@') {
            if (current == 0)
                return fail(lineNumber, "a value before any [key] line");
            RegistryValue value;
            size_t pos = 0;
            if (t.front() == '@')
                pos = 1;
            else if (!ParseQuoted(t, pos, value.name, why))
                return fail(lineNumber, why + " in a value name");
            SkipBlanks(t, pos);
            if (pos >= t.size() || t[pos] != '=')
                return fail(lineNumber, "value name without '='");
            ++pos;
            SkipBlanks(t, pos);
            if (pos >= t.size())
                return fail(lineNumber, "value without data");
            if (t[pos] == '"') {
                if (!ParseQuoted(t, pos, value.data, why))
                    return fail(lineNumber, why);
                SkipBlanks(t, pos);
                if (pos != t.size())
                    return fail(lineNumber, "text after the closing quote");
                value.isString = true;
            } else if (t[pos] == '-') {
                return fail(lineNumber, "a value deletion entry (=-) is not a stored value");
            } else {
                value.data = t.substr(pos);
                while (value.data.back() == '\\') {
                    if (i + 1 >= lines.size())
                        return fail(lineNumber, "a continued value ends with the file");
                    ++i;
                    value.data += '\n';
                    value.data += TrimRight(lines[i]);
                    if (Trim(lines[i]).empty())
                        return fail(static_cast<int>(i) + 1, "empty continuation line");
                }
                if (!ValidTypedData(value.data, why))
                    return fail(lineNumber, why);
            }
            value.comments = std::move(pending);
            pending.clear();
            PutValue(doc.keys[current - 1], std::move(value));
            continue;
        }
        return fail(lineNumber, "neither a [key], a value nor a comment");
    }
    doc.trailingComments = std::move(pending);
    result.ok = true;
    return result;
}

std::string SerializeRegistry(const RegistryDocument& document) {
    std::string out;
    if (!document.header.empty()) {
        out += document.header;
        out += '\n';
    }
    for (const RegistryKey& key : document.keys) {
        if (!out.empty())
            out += '\n';
        AppendComments(out, key.comments);
        out += '[';
        out += key.name;
        out += "]\n";
        for (const RegistryValue& value : key.values) {
            AppendComments(out, value.comments);
            out += value.name.empty() ? std::string("@") : Quote(value.name);
            out += '=';
            out += value.isString ? Quote(value.data) : value.data;
            out += '\n';
        }
    }
    if (!document.trailingComments.empty()) {
        if (!out.empty())
            out += '\n';
        AppendComments(out, document.trailingComments);
    }
    return out;
}

std::string CheckRegistryText(std::string_view text, bool isKeyName) {
    if (text.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos)
        return "holds a line break or a zero byte";
    if (isKeyName) {
        if (Trim(text).empty())
            return "is empty";
        if (text.front() == '-')
            return "begins with '-'";
        if (IsBlank(text.front()) || IsBlank(text.back()))
            return "begins or ends with a blank";
    }
    return {};
}

RegistryKey* FindKey(RegistryDocument& document, std::string_view key) {
    for (RegistryKey& k : document.keys) {
        if (SameRegistryName(k.name, key))
            return &k;
    }
    return nullptr;
}

const RegistryKey* FindKey(const RegistryDocument& document, std::string_view key) {
    return FindKey(const_cast<RegistryDocument&>(document), key);
}

const RegistryValue* FindValue(const RegistryKey& key, std::string_view name) {
    for (const RegistryValue& v : key.values) {
        if (SameRegistryName(v.name, name))
            return &v;
    }
    return nullptr;
}

void SetString(RegistryDocument& document, std::string_view key, std::string_view name,
               std::string_view text) {
    RegistryKey* k = FindKey(document, key);
    if (k == nullptr) {
        document.keys.push_back(RegistryKey{std::string(key), {}, {}});
        k = &document.keys.back();
    }
    PutValue(*k, RegistryValue{std::string(name), true, std::string(text), {}});
}

bool DeleteValue(RegistryKey& key, std::string_view name) {
    return std::erase_if(key.values, [&](const RegistryValue& v) {
               return SameRegistryName(v.name, name);
           }) > 0;
}

bool DeleteKey(RegistryDocument& document, std::string_view key) {
    return std::erase_if(document.keys,
                         [&](const RegistryKey& k) { return SameRegistryName(k.name, key); }) > 0;
}

} // namespace quorvel
