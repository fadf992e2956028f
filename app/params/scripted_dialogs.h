#pragma once
// A Dialogs implementation for tests: it records every box it was asked to show and
// answers from a script. Safe to call from several threads.

#include "app/params/dialogs.h"

#include <deque>
#include <mutex>
#include <vector>

namespace params {

enum class DialogKind {
    Ask,
    Inform,
    Warn,
    OpenFile,
};

struct ShownDialog {
    DialogKind kind = DialogKind::Inform;
    std::string text; // for OpenFile: the filter
    std::string caption;
    DialogIcon icon = DialogIcon::None;
    DialogButtons buttons = DialogButtons::YesNo; // meaningful for Ask only
    DialogAnswer answer = DialogAnswer::Ok;       // what the box returned
};

class ScriptedDialogs : public Dialogs {
public:
    // The answers of the next Ask calls, in order. Without a scripted answer Ask
    // answers like a closed box: No, or Cancel when Cancel is offered.
    void ScriptAnswer(DialogAnswer answer);
    // The results of the next OpenFile calls, in order (nullopt: cancelled). Without
    // one, OpenFile is cancelled.
    void ScriptOpenFile(std::optional<std::string> path);

    std::vector<ShownDialog> Shown() const;
    std::size_t ShownCount() const;
    // Ask calls that found no scripted answer.
    int UnscriptedAsks() const;
    void Reset();

    DialogAnswer Ask(std::string_view text, std::string_view caption, DialogButtons buttons,
                     DialogIcon icon) override;
    DialogAnswer Inform(std::string_view text, std::string_view caption, DialogIcon icon) override;
    DialogAnswer Warn(std::string_view text, std::string_view caption) override;
    std::optional<std::string> OpenFile(std::string_view caption, std::string_view filter,
                                        std::string_view defaultSuffix) override;

private:
    DialogAnswer Record(DialogKind kind, std::string_view text, std::string_view caption,
                        DialogIcon icon, DialogButtons buttons, DialogAnswer answer);

    mutable std::mutex mutex_;
    std::deque<DialogAnswer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<ShownDialog> shown_;
    int unscriptedAsks_ = 0;
};

} // namespace params
