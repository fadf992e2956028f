#pragma once
// TForm2 (Keywindow): the on-screen keyboard, a small always-on-top tool window.
// For now the window exists with its name and caption; its controls and
// behaviour come with the window's own work.

#include <QWidget>

#include <array>
#include <memory>
#include <string>

namespace Ui {
class TForm2;
}
class TForm1;

class TForm2 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(TForm1& main);
    ~TForm2() override;

    // Captions in the current language.
    void SetTexts();
    TForm1& Main() const { return main_; }
    // Captions of the unit keys KeyO, KeyK, KeyM for the current parameter.
    void SetUnitKeys(const std::array<std::string, 3>& captions) { unitKeys_ = captions; }
    const std::array<std::string, 3>& UnitKeys() const { return unitKeys_; }

private:
    TForm1& main_;
    std::unique_ptr<Ui::TForm2> ui_;
    std::array<std::string, 3> unitKeys_{};
};
