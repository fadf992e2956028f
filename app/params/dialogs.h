#pragma once
// The program's message boxes and its open-file dialog, behind one small interface
// so that the logic that shows them can run without a screen. The windows install
// an implementation with Qt's message boxes; tests install ScriptedDialogs.
// Texts are UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace params {

enum class DialogIcon {
    None,
    Information,
    Warning,
    Critical,
    Question,
};

enum class DialogButtons {
    YesNo,
    YesNoCancel,
};

enum class DialogAnswer {
    Ok,
    Yes,
    No,
    Cancel,
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A question with Yes and No (and Cancel) buttons; closing the box without a
    // choice answers No (YesNo) or Cancel (YesNoCancel).
    virtual DialogAnswer Ask(std::string_view text, std::string_view caption, DialogButtons buttons,
                             DialogIcon icon) = 0;
    // A message with an OK button; an empty caption shows the program's title.
    virtual DialogAnswer Inform(std::string_view text, std::string_view caption,
                                DialogIcon icon) = 0;
    // A message with an OK button and the warning icon.
    virtual DialogAnswer Warn(std::string_view text, std::string_view caption) = 0;
    // Asks for an existing file; `filter` in Qt's form ("Dat (*.dat);;All files (*)"),
    // `defaultSuffix` without the dot. Empty when cancelled.
    virtual std::optional<std::string> OpenFile(std::string_view caption, std::string_view filter,
                                                std::string_view defaultSuffix) = 0;
};

} // namespace params
