#include "app/windows/Fileconfig.h"

#include "app/windows/Gen.h"
#include "ui_Fileconfig.h"

TForm7::TForm7(TForm1& main)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), main_(main),
      ui_(std::make_unique<Ui::TForm7>()) {
    ui_->setupUi(this);
    SetTexts();
}

TForm7::~TForm7() = default;

void TForm7::SetTexts() {
    if (const std::string text = main_.Core().Text(91); !text.empty()) {
        setWindowTitle(QString::fromStdString(text));
    }
}
