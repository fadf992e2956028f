#pragma once
// The component registry's text form (the `.reg` syntax):
//
//   [SOFTWARE\Quorvel LTD\Base library\1.0\UndulaN]
//   "path"="/home/op/generator/build/signal/libundulan.so"
//   "UIName"="IUndula"
//
// A `[key]` line opens a key; `"name"="string"` lines give its values (inside
// quotes, `\\` is a backslash and `\"` a quote); `@=` is the key's unnamed value.
// Other value types (`dword:0000002a`, `hex:01,02`, `hex(2):...`, continued over
// lines ending in `\`) are kept as written and are "not a string" to a lookup.
// `;` starts a comment line; an optional first line "Windows Registry Editor
// Version 5.00" or "REGEDIT4" is kept. Key names and value names compare without
// regard to ASCII case. A key named twice is one key (the later value of a name
// wins), as when such a file is imported.
//
// Anything else is damage: a line that is none of the above, a value outside a
// key, an unterminated string or key line, a broken type, a zero byte, deletion
// entries (`[-key]`, `=-`). A damaged text is reported with its line and reason
// and never rewritten.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct RegistryValue {
    std::string name;                  // "" for the unnamed value (@)
    bool isString = false;             // a "quoted" string value
    std::string data;                  // string: the unescaped text; other: the text after '='
    std::vector<std::string> comments; // comment lines just above it
};

struct RegistryKey {
    std::string name;
    std::vector<RegistryValue> values;
    std::vector<std::string> comments; // comment lines just above the [key] line
};

struct RegistryDocument {
    std::string header; // "Windows Registry Editor Version 5.00", "REGEDIT4" or empty
    std::vector<RegistryKey> keys;
    std::vector<std::string> trailingComments;
};

struct RegistryParse {
    bool ok = false;
    RegistryDocument document;
    int line = 0;       // where the damage is (1-based), when !ok
    std::string reason; // what is wrong, when !ok
};

RegistryParse ParseRegistry(std::string_view text);

// The document as text. Every line ends with '\n'. Call only with a document whose
// names and strings pass CheckRegistryText; ParseRegistry(Serialize(d)) gives d back.
std::string SerializeRegistry(const RegistryDocument& document);

// Empty when `text` can be stored as a key name, a value name or a string value;
// else why not (line breaks and zero bytes cannot be written in this syntax).
std::string CheckRegistryText(std::string_view text, bool isKeyName);

bool SameRegistryName(std::string_view a, std::string_view b);

RegistryKey* FindKey(RegistryDocument& document, std::string_view key);
const RegistryKey* FindKey(const RegistryDocument& document, std::string_view key);
const RegistryValue* FindValue(const RegistryKey& key, std::string_view name);

// Creates the key at the end when it is missing; a value that exists keeps its
// place and comments and takes the new string.
void SetString(RegistryDocument& document, std::string_view key, std::string_view name,
               std::string_view text);
// Each returns whether there was something to delete.
bool DeleteValue(RegistryKey& key, std::string_view name);
bool DeleteKey(RegistryDocument& document, std::string_view key);

} // namespace quorvel
