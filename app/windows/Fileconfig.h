#pragma once
// TForm7 (Fileconfig): the file settings window, a sizeable tool window without
// title-bar buttons. A thin view over FileSettings (app/params/file_settings.h):
// after File / Load read a data file, the main window hides its windows and calls
// ShowForLoad(); the operator chooses how the bytes are read (Data16, NonSigned,
// NullBits) and Accept or Cancel completes the load through the main window's
// FileLoadHost. The window refuses to close until Accept or Cancel. Its status bar
// shows the hint of the control under the mouse.

#include "app/params/file_settings.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace Ui {
class TForm7;
}
class QRadioButton;
class TForm1;

class TForm7 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm7(TForm1& main);
    ~TForm7() override;

    // Captions and hints in the current language; refills the data-width group,
    // which selects "16 bit" again (Data16 on).
    void SetTexts();
    TForm1& Main() const { return main_; }
    Ui::TForm7& Form() { return *ui_; }
    FileSettings& Settings() { return *settings_; }
    // The radio buttons of the data-width group, in order.
    const std::vector<QRadioButton*>& Choices() const { return choices_; }

    // Shows the window for a file just read: closing is refused until Accept or
    // Cancel.
    void ShowForLoad();

    // Handlers.
    void AgreeClick();
    void CancelClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetControlTexts();
    // The group's radio buttons anew from the logic's choices.
    void ShowChoices();
    // The controls from the logic's state.
    void ShowState();

    TForm1& main_;
    std::unique_ptr<Ui::TForm7> ui_;
    std::unique_ptr<FileSettings> settings_;
    std::vector<QRadioButton*> choices_;
};
