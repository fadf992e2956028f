#include "app/params/config_text.h"

namespace params {

char ConfigTableChar(unsigned char byte) {
    if (byte >= 'a' && byte <= 'z') {
        return static_cast<char>(byte - 'a' + 'A');
    }
    if ((byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) {
        return static_cast<char>(byte);
    }
    switch (byte) {
    case ' ':
    case '+':
    case '-':
    case '.':
    case ';':
    case '_':
        return static_cast<char>(byte);
    case ':':
        return ';';
    default:
        return ' ';
    }
}

std::string NormaliseConfigText(std::string_view raw) {
    std::string text(raw.size(), ' ');
    bool inQuotes = false;
    bool inComment = false;
    int slashes = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto byte = static_cast<unsigned char>(raw[i]);
        if (byte == '\n') {
            // Exactly one slash or backslash on a line joins it to the next one.
            text[i] = slashes == 1 ? ' ' : '\0';
            inQuotes = false;
            inComment = false;
            slashes = 0;
            continue;
        }
        if (!inQuotes && !inComment && (byte == '\\' || byte == '/')) {
            ++slashes;
        }
        const bool quote = byte == '"';
        char c = (inQuotes && !quote) ? static_cast<char>(byte) : ConfigTableChar(byte);
        if (c == ';') {
            inComment = true; // also inside quotes
        }
        if (quote) {
            inQuotes = !inQuotes;
        }
        if (inComment) {
            c = ' ';
        }
        text[i] = c;
    }
    return text;
}

} // namespace params
