#include "app/windows/Preview.h"

#include "app/windows/Gen.h"
#include "ui_Preview.h"

TForm6::TForm6(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm6>()) {
    ui_->setupUi(this);
    SetTexts();
}

TForm6::~TForm6() = default;

void TForm6::SetTexts() {
    // The caption stays the design-time text: it does not follow the language.
}
