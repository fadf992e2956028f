#include "app/params/scripted_dialogs.h"

namespace params {

void ScriptedDialogs::ScriptAnswer(DialogAnswer answer) {
    const std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedDialogs::ScriptOpenFile(std::optional<std::string> path) {
    const std::lock_guard lock(mutex_);
    files_.push_back(std::move(path));
}

std::vector<ShownDialog> ScriptedDialogs::Shown() const {
    const std::lock_guard lock(mutex_);
    return shown_;
}

std::size_t ScriptedDialogs::ShownCount() const {
    const std::lock_guard lock(mutex_);
    return shown_.size();
}

int ScriptedDialogs::UnscriptedAsks() const {
    const std::lock_guard lock(mutex_);
    return unscriptedAsks_;
}

void ScriptedDialogs::Reset() {
    const std::lock_guard lock(mutex_);
    answers_.clear();
    files_.clear();
    shown_.clear();
    unscriptedAsks_ = 0;
}

DialogAnswer ScriptedDialogs::Record(DialogKind kind, std::string_view text,
                                     std::string_view caption, DialogIcon icon,
                                     DialogButtons buttons, DialogAnswer answer) {
    shown_.push_back(
        ShownDialog{kind, std::string(text), std::string(caption), icon, buttons, answer});
    return answer;
}

DialogAnswer ScriptedDialogs::Ask(std::string_view text, std::string_view caption,
                                  DialogButtons buttons, DialogIcon icon) {
    const std::lock_guard lock(mutex_);
    DialogAnswer answer =
        buttons == DialogButtons::YesNoCancel ? DialogAnswer::Cancel : DialogAnswer::No;
    if (answers_.empty()) {
        ++unscriptedAsks_;
    } else {
        answer = answers_.front();
        answers_.pop_front();
    }
    return Record(DialogKind::Ask, text, caption, icon, buttons, answer);
}

DialogAnswer ScriptedDialogs::Inform(std::string_view text, std::string_view caption,
                                     DialogIcon icon) {
    const std::lock_guard lock(mutex_);
    return Record(DialogKind::Inform, text, caption, icon, DialogButtons::YesNo, DialogAnswer::Ok);
}

DialogAnswer ScriptedDialogs::Warn(std::string_view text, std::string_view caption) {
    const std::lock_guard lock(mutex_);
    return Record(DialogKind::Warn, text, caption, DialogIcon::Warning, DialogButtons::YesNo,
                  DialogAnswer::Ok);
}

std::optional<std::string> ScriptedDialogs::OpenFile(std::string_view caption,
                                                     std::string_view filter,
                                                     std::string_view /*defaultSuffix*/) {
    const std::lock_guard lock(mutex_);
    std::optional<std::string> path;
    if (!files_.empty()) {
        path = std::move(files_.front());
        files_.pop_front();
    }
    Record(DialogKind::OpenFile, filter, caption, DialogIcon::None, DialogButtons::YesNo,
           path ? DialogAnswer::Ok : DialogAnswer::Cancel);
    return path;
}

} // namespace params
