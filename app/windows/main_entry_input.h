#pragma once
// MainEntryInput: the mouse, wheel and keyboard hooks of the main window's numeric
// entry. TForm1 filters every event of the application and hands it here; each
// handler returns true when it consumed the event. Nothing here decides a value:
// the events become calls of EntryController, which limits, shows and commits.
//
//  - mouse: a press on an up/down image steps once and starts the repeat timer
//    (160 ms) that repeats the same step until the button is released anywhere; a
//    press in a box moves the entry's focus there; a press on Bar picks a position
//    with the bar's 12-pixel margins and the value follows while the button is held;
//    a click on MinBar / MaxBar moves to the lowest / highest position;
//  - wheel over a digit box, the exponent box or Bar: one step per notch;
//  - keys while the main window or the keyboard window is the target: digits,
//    Backspace, Esc, sign, decimal point, Enter, the numeric pad's * and /, and the
//    arrows in a box or on the bar. A box never takes a typed character itself.
//
// Main thread only.

#include <QObject>

#include <functional>

namespace Ui {
class TForm1;
}
class EntryController;
class QEvent;
class QTimer;
class QWidget;

class MainEntryInput {
public:
    // `entry` answers the entry (null before the start-up made it); `keyboard` the
    // keyboard window (null while it does not exist).
    MainEntryInput(Ui::TForm1& ui, QWidget& main, QTimer& repeatTimer,
                   std::function<EntryController*()> entry, std::function<QWidget*()> keyboard);

    // Numeric pad /: the next parameter choice; numeric pad *: the additional key.
    std::function<void()> nextParameter;
    std::function<void()> additionalKey;

    bool Mouse(QObject* watched, QEvent* event);
    bool Wheel(QObject* watched, QEvent* event);
    bool Key(QObject* watched, QEvent* event);

    // The box (1-5 digits, 6 exponent) that `object` is, 0 for anything else.
    int BoxPosition(const QObject* object) const;
    // Whether a step repeats while a mouse button is held on an image.
    bool Repeating() const;

private:
    // The step of an up/down image, empty for other objects.
    std::function<void()> ImageStep(const QObject* object) const;
    void StopRepeat();

    Ui::TForm1& ui_;
    QWidget& main_;
    QTimer& repeatTimer_;
    std::function<EntryController*()> entry_;
    std::function<QWidget*()> keyboard_;
    std::function<void()> repeatStep_;
    bool barHeld_ = false;
};
