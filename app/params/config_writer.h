#pragma once
// Writes a configuration file anew, one formatted "name = value" line per call.
// Each value is padded with blanks to width - 1 characters, so that with keys of
// 17 characters and width 60 every comment starts in column 80; lines end in CR LF.
// Numbers are written in the C locale whatever the user's locale.
//
// The file is replaced atomically: lines go to a temporary file that Close renames
// over the old file only when every line was written. A writer whose file could
// not be created writes nothing and every call returns 0.

#include "app/params/atomic_file.h"

#include <span>
#include <string>
#include <string_view>

namespace params {

// Line text without the file, for the writer and for callers that need one line.
std::string FormatFixed(double value, int decimals); // like "%.*f" in the C locale
std::string FormatHex8(int value);                   // like "0x%08X"
// "key = value" + blanks up to width - 1 characters of value + comment + CR LF.
std::string FormatConfigLine(std::string_view key, std::string_view value, int width,
                             std::string_view comment);
// The key followed by blanks up to `width` characters (longer keys stay as they are).
std::string PadKey(std::string_view key, std::size_t width);

class ConfigWriter {
public:
    ConfigWriter() = default;
    explicit ConfigWriter(const std::string& path) { Create(path); }

    bool Create(const std::string& path);
    bool IsOpen() const { return file_.IsOpen(); }

    // Returns 1 when the whole line was written, 0 otherwise.
    int WriteString(std::string_view key, std::string_view text, bool quoted, int width,
                    std::string_view comment);
    int WriteInt(std::string_view key, int value, bool hexadecimal, int width,
                 std::string_view comment);
    int WriteDouble(std::string_view key, std::string_view comment, int width, double value);
    // Values as "%.1f" separated by blanks; after every `perLine` values (when more
    // follow) the line ends in "\" and the next one starts indented under the first
    // value. The reader joins such lines again.
    int WriteFloatList(std::string_view key, std::span<const float> values, int width,
                       std::string_view comment, int perLine);

    // Replaces the old file with what was written. False (old file unchanged) when
    // the file was never created or any line failed.
    bool Close();

private:
    int WriteLine(std::string_view line);

    AtomicFile file_;
};

} // namespace params
