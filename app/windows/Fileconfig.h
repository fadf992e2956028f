#pragma once
// TForm7 (Fileconfig): the file settings window, a sizeable tool window without title-bar buttons.
// For now the window exists with its name and caption; its controls and
// behaviour come with the window's own work.

#include <QWidget>

#include <memory>

namespace Ui {
class TForm7;
}
class TForm1;

class TForm7 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm7(TForm1& main);
    ~TForm7() override;

    // Captions in the current language.
    void SetTexts();
    TForm1& Main() const { return main_; }

private:
    TForm1& main_;
    std::unique_ptr<Ui::TForm7> ui_;
};
