#pragma once
// TForm2 (Keywindow): the on-screen keyboard, a small always-on-top tool window.
// A thin view over KeyboardLayout (app/params/keyboard_layout.h): twenty buttons in
// five rows of four, each sending its key code to the main window's numeric entry;
// the arrow keys move the keyboard focus between the buttons while this window is
// the active one (an application-wide event filter, installed for the window's
// life). Every other key passes on to the main window's own key handling.
// Position: Keyboard_X, Keyboard_Y.

#include "app/params/keyboard_layout.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>

namespace Ui {
class TForm2;
}
class QPushButton;
class TForm1;

class TForm2 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(TForm1& main);
    ~TForm2() override;

    // Caption and hints in the current language.
    void SetTexts();
    // Hides the window when it is visible, else shows it.
    void ToggleVisible();
    TForm1& Main() const { return main_; }
    Ui::TForm2& Form() { return *ui_; }
    const KeyboardLayout& Layout() const { return layout_; }
    // The button of `index` in grid order (KeyboardLayout::Buttons()).
    QPushButton* Button(int index) const;

    // Captions of the unit keys for the current parameter: [0] KeyO, [1] KeyK,
    // [2] KeyM (base unit first).
    void SetUnitKeys(const std::array<std::string, 3>& captions);
    const std::array<std::string, 3>& UnitKeys() const { return unitKeys_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeyClick(int index);
    void FocusCurrentButton();

    TForm1& main_;
    std::unique_ptr<Ui::TForm2> ui_;
    KeyboardLayout layout_;
    std::array<QPushButton*, KeyboardLayout::kButtonCount> buttons_{};
    std::array<std::string, 3> unitKeys_{};
};
