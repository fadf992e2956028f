#include "app/windows/Optionswindow.h"

#include "app/windows/Gen.h"
#include "ui_Optionswindow.h"

TForm3::TForm3(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm3>()) {
    ui_->setupUi(this);
    SetTexts();
}

TForm3::~TForm3() = default;

void TForm3::SetTexts() {
    if (const std::string text = main_.Core().Text(27); !text.empty()) {
        setWindowTitle(QString::fromStdString(text));
    }
}
