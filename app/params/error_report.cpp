#include "app/params/error_report.h"

#include <exception>
#include <utility>

namespace params {

ErrorReport::ErrorReport(Dialogs& dialogs, std::function<void()> endApplication,
                         FallbackTexts fallback)
    : dialogs_(dialogs), endApplication_(std::move(endApplication)),
      fallback_(std::move(fallback)) {}

void ErrorReport::SetLocation(int line, int code, std::string_view sourceFile) {
    line_ = line;
    code_ = code;
    try {
        sourceFile_.assign(sourceFile);
    } catch (const std::exception&) {
        // Without memory for a file name no later report could be trusted.
        sourceFile_.clear();
        sourceFile_.shrink_to_fit();
        dialogs_.Warn(fallback_.text, fallback_.caption);
        if (endApplication_) {
            endApplication_();
        }
    }
}

std::string ErrorReport::ErrorText(std::string_view message) const {
    std::string text(message);
    text.append(" \n Файл: ").append(sourceFile_);
    text.append(" \n Строка: ").append(std::to_string(line_));
    return text;
}

DialogAnswer ErrorReport::ShowError(std::string_view message, std::string_view caption) {
    return dialogs_.Warn(ErrorText(message), caption);
}

} // namespace params
