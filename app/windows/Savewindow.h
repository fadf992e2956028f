#pragma once
// TForm5 (Savewindow): the saved-signals window, a small tool window.
// For now the window exists with its name and caption; its controls and
// behaviour come with the window's own work.

#include <QWidget>

#include <memory>

namespace Ui {
class TForm5;
}
class TForm1;

class TForm5 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm5(TForm1& main);
    ~TForm5() override;

    // Captions in the current language.
    void SetTexts();
    TForm1& Main() const { return main_; }

private:
    TForm1& main_;
    std::unique_ptr<Ui::TForm5> ui_;
};
