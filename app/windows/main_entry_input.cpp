#include "app/windows/main_entry_input.h"

#include "app/params/entry_controller.h"
#include "ui_Gen.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

MainEntryInput::MainEntryInput(Ui::TForm1& ui, QWidget& main, QTimer& repeatTimer,
                               std::function<EntryController*()> entry,
                               std::function<QWidget*()> keyboard)
    : ui_(ui), main_(main), repeatTimer_(repeatTimer), entry_(std::move(entry)),
      keyboard_(std::move(keyboard)) {
    QObject::connect(&repeatTimer_, &QTimer::timeout, &main_, [this] {
        if (repeatStep_) {
            repeatStep_();
        } else {
            repeatTimer_.stop();
        }
    });
}

int MainEntryInput::BoxPosition(const QObject* object) const {
    const QObject* boxes[6] = {ui_.Num1, ui_.Num2, ui_.Num3, ui_.Num4, ui_.Num5, ui_.NumPower};
    for (int i = 0; i < 6; ++i) {
        if (object == boxes[i]) {
            return i + 1;
        }
    }
    return 0;
}

bool MainEntryInput::Repeating() const {
    return repeatTimer_.isActive();
}

std::function<void()> MainEntryInput::ImageStep(const QObject* object) const {
    const QObject* ups[5] = {ui_.Num1Up, ui_.Num2Up, ui_.Num3Up, ui_.Num4Up, ui_.Num5Up};
    const QObject* downs[5] = {ui_.Num1Down, ui_.Num2Down, ui_.Num3Down, ui_.Num4Down,
                               ui_.Num5Down};
    for (int i = 0; i < 5; ++i) {
        const int position = i + 1;
        if (object == ups[i]) {
            return [this, position] {
                if (EntryController* entry = entry_()) {
                    entry->StepDigitUp(position);
                }
            };
        }
        if (object == downs[i]) {
            return [this, position] {
                if (EntryController* entry = entry_()) {
                    entry->StepDigitDown(position);
                }
            };
        }
    }
    // The exponent images stop at the exponent's bounds.
    if (object == ui_.NumPowerUp || object == ui_.NumPowerDown) {
        const int delta = object == ui_.NumPowerUp ? 1 : -1;
        return [this, delta] {
            if (EntryController* entry = entry_()) {
                entry->StepExponent(delta, true);
            }
        };
    }
    return {};
}

void MainEntryInput::StopRepeat() {
    repeatTimer_.stop();
    repeatStep_ = {};
}

bool MainEntryInput::Mouse(QObject* watched, QEvent* event) {
    EntryController* entry = entry_();
    if (entry == nullptr || !watched->isWidgetType()) {
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // a fast second click is one more step
        if (mouse->button() != Qt::LeftButton) {
            return false;
        }
        if (std::function<void()> step = ImageStep(watched)) {
            step();
            repeatStep_ = std::move(step);
            repeatTimer_.start();
            return true;
        }
        if (const int position = BoxPosition(watched); position != 0) {
            entry->SetFocusPosition(position);
            return false; // the box takes the keyboard focus as usual
        }
        if (watched == ui_.Bar) {
            barHeld_ = true;
            ui_.Bar->setFocus(Qt::MouseFocusReason);
            entry->BarPressed(static_cast<int>(mouse->position().x()), ui_.Bar->width());
            return true;
        }
        return false;
    case QEvent::MouseMove:
        if (watched == ui_.Bar && barHeld_ && (mouse->buttons() & Qt::LeftButton) != 0) {
            entry->BarPressed(static_cast<int>(mouse->position().x()), ui_.Bar->width());
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease: {
        // The repeat ends when the button is released, wherever the mouse is.
        StopRepeat();
        if (watched == ui_.Bar && barHeld_) {
            barHeld_ = false;
            return true;
        }
        auto* label = qobject_cast<QWidget*>(watched);
        const bool inside = label != nullptr && label->rect().contains(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && inside) {
            if (watched == ui_.MinBar) {
                entry->MinBarClick();
                return true;
            }
            if (watched == ui_.MaxBar) {
                entry->MaxBarClick();
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

bool MainEntryInput::Wheel(QObject* watched, QEvent* event) {
    EntryController* entry = entry_();
    if (entry == nullptr || event->type() != QEvent::Wheel) {
        return false;
    }
    const int position = BoxPosition(watched);
    if (position == 0 && watched != ui_.Bar) {
        return false;
    }
    const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (delta != 0) {
        if (position != 0) {
            entry->Wheel(position, delta > 0);
        } else {
            entry->WheelOverBar(delta > 0);
        }
    }
    return true; // neither the box nor the bar scrolls on its own
}

bool MainEntryInput::Key(QObject* watched, QEvent* event) {
    EntryController* entry = entry_();
    if (entry == nullptr || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* top = widget->window();
    if (top != &main_ && (keyboard_ == nullptr || top != keyboard_())) {
        return false;
    }
    const int box = BoxPosition(watched);
    if (event->type() != QEvent::KeyPress) {
        return box != 0 && event->type() == QEvent::KeyRelease;
    }
    if (box != 0) {
        entry->SetFocusPosition(box); // a key goes to the box that has the focus
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    const bool keypad = (modifiers & Qt::KeypadModifier) != 0;
    if ((modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        // Shortcuts and menu keys pass; in a box they must not edit (paste, cut).
        return box != 0;
    }
    const int code = key->key();
    if (code >= Qt::Key_0 && code <= Qt::Key_9) {
        entry->TypeDigit(code - Qt::Key_0);
        return true;
    }
    switch (code) {
    case Qt::Key_Backspace:
        entry->Backspace();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        entry->Enter(box != 0);
        return true;
    case Qt::Key_Escape:
        entry->Clear();
        return true;
    case Qt::Key_Asterisk:
        if (keypad && additionalKey) {
            additionalKey();
            return true;
        }
        return box != 0;
    case Qt::Key_Slash:
        if (keypad) {
            if (nextParameter) {
                nextParameter();
            }
        } else {
            entry->DecimalPoint();
        }
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
    case Qt::Key_Equal:
        entry->Sign();
        return true;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        entry->DecimalPoint();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (box != 0) {
            if (code == Qt::Key_Left) {
                entry->FocusLeft();
            } else {
                entry->FocusRight();
            }
            return true;
        }
        if (watched == ui_.Bar) {
            entry->BarKey(code == Qt::Key_Right);
            return true;
        }
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (box != 0) {
            if (code == Qt::Key_Up) {
                entry->ArrowUp();
            } else {
                entry->ArrowDown();
            }
            return true;
        }
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false; // focus moves between the controls as usual
    default:
        return box != 0; // a box takes no character of its own
    }
}
