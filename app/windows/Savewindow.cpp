#include "app/windows/Savewindow.h"

#include "app/windows/Gen.h"
#include "ui_Savewindow.h"

TForm5::TForm5(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm5>()) {
    ui_->setupUi(this);
    SetTexts();
}

TForm5::~TForm5() = default;

void TForm5::SetTexts() {
    if (const std::string text = main_.Core().Text(78); !text.empty()) {
        setWindowTitle(QString::fromStdString(text));
    }
}
