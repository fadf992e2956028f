#pragma once
// The program's message boxes and open-file dialog with Qt: QMessageBox and
// QFileDialog, owned by the active window. An empty caption shows the
// application's display name.

#include "app/params/dialogs.h"

class QtDialogs final : public params::Dialogs {
public:
    params::DialogAnswer Ask(std::string_view text, std::string_view caption,
                             params::DialogButtons buttons, params::DialogIcon icon) override;
    params::DialogAnswer Inform(std::string_view text, std::string_view caption,
                                params::DialogIcon icon) override;
    params::DialogAnswer Warn(std::string_view text, std::string_view caption) override;
    std::optional<std::string> OpenFile(std::string_view caption, std::string_view filter,
                                        std::string_view defaultSuffix) override;
};
