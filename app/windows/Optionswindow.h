#pragma once
// TForm3 (Optionswindow): the options window, a tool window with six tabs.
// For now the window exists with its name and caption; its controls and
// behaviour come with the window's own work.

#include <QWidget>

#include <memory>

namespace Ui {
class TForm3;
}
class TForm1;

class TForm3 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm3(TForm1& main);
    ~TForm3() override;

    // Captions in the current language.
    void SetTexts();
    TForm1& Main() const { return main_; }

private:
    TForm1& main_;
    std::unique_ptr<Ui::TForm3> ui_;
};
