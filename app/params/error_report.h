#pragma once
// The one object through which the program reports errors the operator cannot act
// on: callers record where they are (source unit, line, error code) and then show
// a message, which appears with that file and line under it.
//
// Error codes in use: -3 out of memory, -6 exception, -8 driver not loadable,
// -9, -10 and -11 missing board data, 45 and 48 failures while preparing the
// output or the window.

#include "app/params/dialogs.h"

#include <functional>
#include <string>
#include <string_view>

namespace params {

class ErrorReport {
public:
    // What to show when even the source name cannot be stored; taken from the
    // built-in word list ("Error" and "Unknown error" in Russian).
    struct FallbackTexts {
        std::string caption;
        std::string text;
    };

    // `endApplication` is called after a failure that leaves no way to report
    // errors; it is expected to end the program.
    ErrorReport(Dialogs& dialogs, std::function<void()> endApplication, FallbackTexts fallback);

    // Stores the source position and the error code for the next ShowError.
    void SetLocation(int line, int code, std::string_view sourceFile);

    // Shows "<message> \n Файл: <source> \n Строка: <line>" with the warning icon.
    DialogAnswer ShowError(std::string_view message, std::string_view caption);

    // The text ShowError shows for `message` at the stored location.
    std::string ErrorText(std::string_view message) const;

    int Line() const { return line_; }
    int Code() const { return code_; }
    const std::string& SourceFile() const { return sourceFile_; }

private:
    Dialogs& dialogs_;
    std::function<void()> endApplication_;
    FallbackTexts fallback_;
    int line_ = 0;
    int code_ = 0;
    std::string sourceFile_;
};

} // namespace params
