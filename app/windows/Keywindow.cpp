#include "app/windows/Keywindow.h"

#include "app/windows/Gen.h"
#include "ui_Keywindow.h"

TForm2::TForm2(TForm1& main)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main),
      ui_(std::make_unique<Ui::TForm2>()) {
    ui_->setupUi(this);
    SetTexts();
    // The unit keys of the parameter the main window's entry edits now.
    SetUnitKeys(main_.UnitKeyCaptions());
}

TForm2::~TForm2() = default;

void TForm2::SetTexts() {
    if (const std::string text = main_.Core().Text(31); !text.empty()) {
        setWindowTitle(QString::fromStdString(text));
    }
}
