#pragma once
// TForm6 (Preview): the preview window, a resizable tool window drawn by the viewer component.
// For now the window exists with its name and caption; its controls and
// behaviour come with the window's own work.

#include <QWidget>

#include <memory>

namespace Ui {
class TForm6;
}
class TForm1;

class TForm6 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm6(TForm1& main);
    ~TForm6() override;

    // Captions in the current language.
    void SetTexts();
    TForm1& Main() const { return main_; }

private:
    TForm1& main_;
    std::unique_ptr<Ui::TForm6> ui_;
};
