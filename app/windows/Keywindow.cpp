#include "app/windows/Keywindow.h"

#include "app/windows/Gen.h"
#include "app/windows/hint_text.h"
#include "ui_Keywindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Qt's arrow keys as the virtual key codes of the layout (37 left .. 40 down).
int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left:
        return static_cast<int>(ArrowKey::Left);
    case Qt::Key_Up:
        return static_cast<int>(ArrowKey::Up);
    case Qt::Key_Right:
        return static_cast<int>(ArrowKey::Right);
    case Qt::Key_Down:
        return static_cast<int>(ArrowKey::Down);
    default:
        return 0;
    }
}

} // namespace

TForm2::TForm2(TForm1& main)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main),
      ui_(std::make_unique<Ui::TForm2>()), layout_([this](int code) {
          if (EntryController* entry = main_.Core().Entry()) {
              entry->KeyboardCode(code);
          }
      }) {
    ui_->setupUi(this);
    setFixedSize(size());
    const auto& keys = KeyboardLayout::Buttons();
    for (int i = 0; i < KeyboardLayout::kButtonCount; ++i) {
        auto* button = findChild<QPushButton*>(QString::fromUtf8(
            keys[static_cast<std::size_t>(i)].name.data(),
            static_cast<qsizetype>(keys[static_cast<std::size_t>(i)].name.size())));
        buttons_[static_cast<std::size_t>(i)] = button;
        if (button != nullptr) {
            connect(button, &QPushButton::clicked, this, [this, i] { KeyClick(i); });
        }
    }

    // Creation: texts, the unit keys of the main window's current parameter, the
    // saved position, the focus on Key0, the arrow-key filter.
    SetTexts();
    SetUnitKeys(main_.UnitKeyCaptions());
    const params::WindowPosition at = main_.Core().Settings().keyboard;
    move(at.x, at.y);
    FocusCurrentButton();
    qApp->installEventFilter(this);
}

TForm2::~TForm2() {
    qApp->removeEventFilter(this);
    main_.Core().Settings().keyboard = {x(), y()};
}

QPushButton* TForm2::Button(int index) const {
    if (index < 0 || index >= KeyboardLayout::kButtonCount) {
        return nullptr;
    }
    return buttons_[static_cast<std::size_t>(index)];
}

void TForm2::SetTexts() {
    if (const std::string text = main_.Core().Text(keyboard_text::Caption); !text.empty()) {
        setWindowTitle(QString::fromStdString(text));
    }
    SetHint(ui_->KeyC, main_.Core().Text(keyboard_text::ClearHint));
    SetHint(ui_->KeyBack, main_.Core().Text(keyboard_text::BackHint));
    SetHint(ui_->KeyEntr, main_.Core().Text(keyboard_text::EnterHint));
}

void TForm2::ToggleVisible() {
    setVisible(!isVisible());
}

void TForm2::SetUnitKeys(const std::array<std::string, 3>& captions) {
    unitKeys_ = captions;
    layout_.SetUnitCaptions(captions);
    for (int i = 0; i < KeyboardLayout::kButtonCount; ++i) {
        if (QPushButton* button = Button(i)) {
            button->setText(QString::fromStdString(layout_.Caption(i)));
        }
    }
}

void TForm2::KeyClick(int index) {
    layout_.Click(index);
    FocusCurrentButton();
}

void TForm2::FocusCurrentButton() {
    if (QPushButton* button = Button(layout_.FocusButton())) {
        button->setFocus();
    }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = VirtualKeyOf(static_cast<QKeyEvent*>(event)->key());
        const bool active = QApplication::activeWindow() == this;
        if (key != 0 && layout_.HookKey(key, true, active)) {
            FocusCurrentButton();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
