#pragma once
// Reads a whole configuration file of "name = value" lines once and answers
// lookups by name. Names compare without regard to case and blanks; values outside
// quotes read as upper case; ";" and ":" start a comment; a line holding exactly
// one "\" or "/" outside quotes continues on the next line. Numbers are read in
// the C locale whatever the user's locale.
//
// Results of the Get operations: -1 the reader holds no data (missing, empty,
// unreadable or oversized file), 0 the key is absent or its value unreadable,
// 1 found.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace params {

class ConfigReader {
public:
    // Files of this size or larger are ignored entirely.
    static constexpr std::size_t MaxFileSize = 131072;
    // Only the first this many characters of a key are compared.
    static constexpr std::size_t MaxKeyLength = 256;

    ConfigReader() = default;
    explicit ConfigReader(const std::string& path) { Open(path); }

    // Reads and normalises the file; returns HasData(). A missing, empty, short
    // read or oversized file leaves the reader without data.
    bool Open(const std::string& path);
    // The same from bytes already in memory (the same size limit applies).
    bool OpenBytes(std::string_view bytes);
    void Close();
    bool HasData() const { return hasData_; }

    // Copies the value (at most size - 1 bytes, trailing blanks removed). When the
    // key is absent a non-empty default is copied into `out`.
    int GetString(std::string_view key, std::string& out, std::size_t size,
                  std::string_view defaultText = {}) const;
    // When the key is absent or the value is not a number, `out` takes the default
    // if the default is not 0 and is left alone otherwise.
    int GetInt(std::string_view key, int& out, int defaultValue = 0) const;
    int GetDouble(std::string_view key, double& out, double defaultValue = 0.0) const;
    // Reads consecutive numbers of the key's line (a continued line counts as one)
    // until one fails or `values` is full; returns how many were read (-1 no data,
    // 0 key absent).
    int GetDoubleList(std::string_view key, std::span<double> values) const;

    // The next line that holds more than blanks, for enumeration; empty at the end.
    std::optional<std::string_view> NextLine();
    // Enumeration starts again at the first line.
    void RewindLines() { nextLine_ = 0; }

    // Where a key's value starts within its line; empty when the key is absent.
    struct KeyMatch {
        std::size_t value;   // position after the key
        std::size_t lineEnd; // position of the line's terminating zero
    };
    std::optional<KeyMatch> FindKey(std::string_view key) const;

    // The normalised text (for diagnostics and tests).
    std::string_view Text() const { return text_; }

private:
    // The rest of the key's line after the key.
    std::string_view ValueOf(const KeyMatch& match) const;

    std::string text_; // normalised; lines end in zero bytes
    bool hasData_ = false;
    std::size_t nextLine_ = 0;
};

} // namespace params
