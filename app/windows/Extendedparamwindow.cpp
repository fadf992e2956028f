#include "app/windows/Extendedparamwindow.h"

#include "app/windows/Gen.h"
#include "ui_Extendedparamwindow.h"

TForm4::TForm4(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm4>()) {
    ui_->setupUi(this);
    SetTexts();
}

TForm4::~TForm4() = default;

void TForm4::SetTexts() {
    if (const std::string text = main_.Core().Text(74); !text.empty()) {
        setWindowTitle(QString::fromStdString(text));
    }
}
