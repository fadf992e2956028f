#pragma once
// TForm4 (Extendedparamwindow): the extended parameters window: the offset, polarity and filter.
// For now the window exists with its name and caption; its controls and
// behaviour come with the window's own work.

#include <QWidget>

#include <memory>

namespace Ui {
class TForm4;
}
class TForm1;

class TForm4 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm4(TForm1& main);
    ~TForm4() override;

    // Captions in the current language.
    void SetTexts();
    TForm1& Main() const { return main_; }

private:
    TForm1& main_;
    std::unique_ptr<Ui::TForm4> ui_;
};
