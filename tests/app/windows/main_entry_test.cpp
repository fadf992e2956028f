// The main window's numeric entry driven as the operator drives it: real mouse
// presses on the step images, the bar and its limit labels, wheel turns over the
// boxes and the bar, and keys typed into the boxes, on the whole program with the
// simulated PCI board. The parameter model's stored values are the oracle.

#include "app/params/entry_controller.h"
#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/main_entry_input.h"
#include "tests/app/windows/program_run.h"
#include "ui_Gen.h"

#include <QApplication>
#include <QClipboard>
#include <QWheelEvent>
#include <QtTest>

#include <string>

namespace {

using windowtest::Run;

// The five digit boxes as the operator reads them, the point after the third.
QString Digits(Ui::TForm1& form) {
    return form.Num1->text() + form.Num2->text() + form.Num3->text() + "." + form.Num4->text() +
           form.Num5->text();
}

void Wheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

// A program run on the pulse type (which offers all four main parameters) with the
// given settings lines, the main window active.
struct Started {
    explicit Started(const std::string& settings = "") {
        run.Settings("SignalType = 2\nLanguage = \"English\"\n" + settings);
        run.Start();
        run.Main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&run.Main()));
    }
    Ui::TForm1& Form() { return run.Form(); }
    ParameterModel& Model() { return *run.Main().Core().Model(); }
    EntryController& Entry() { return *run.Main().Core().Entry(); }

    Run run;
};

} // namespace

class MainEntryTest : public QObject {
    Q_OBJECT

private slots:
    void periodAndDurationTakeThePendingEntryFirst_data();
    void periodAndDurationTakeThePendingEntryFirst();
    void upImageOfNum1LosesTheCarry();
    void downImageOfNum5FromZeroGivesTheMinimum();
    void heldImageRepeatsUntilReleased();
    void escOnTheFrequencyGivesTheMinimum();
    void typingSevenOnTheExponent();
    void exponentArrowsGoPastTheBoundsImagesDoNot();
    void barPressAtItsMargins_data();
    void barPressAtItsMargins();
    void limitLabelsMoveTheBar();
    void wheelOverDigitExponentAndBar();
    void keysOfTheEntry();
    void directEditsArePutBack();
    void enterCommitsAndStartsOrStops();
    void numericPadSlashCyclesTheChoices();
    void keysReachTheEntryFromTheKeyboardWindowOnly();
};

void MainEntryTest::periodAndDurationTakeThePendingEntryFirst_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<double>("amplitude");
    // The pending exponent sign turns 005.00 x 10^-1 into 005.00 x 10^1: 50 V,
    // limited to the amplitude maximum.
    QTest::newRow("frequency keeps the amplitude") << "IsFreqChoose" << 0.5;
    QTest::newRow("period takes it") << "IsPerChoose" << -1.0;
    QTest::newRow("duration takes it") << "IsDurChoose" << -1.0;
}

void MainEntryTest::periodAndDurationTakeThePendingEntryFirst() {
    QFETCH(QString, choice);
    QFETCH(double, amplitude);
    Started s("Amplitude = 0.5\n");
    QVERIFY(s.Form().IsAmpChoose->isChecked());
    QCOMPARE(Digits(s.Form()), QStringLiteral("005.00"));
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("-1"));
    QTest::mouseClick(s.Form().NumPower, Qt::LeftButton);
    QTest::keyClick(s.Form().NumPower, Qt::Key_Minus);
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("1")); // pending, not applied
    QCOMPARE(s.Model().Params().amplitude, 0.5);

    auto* button = s.run.Main().findChild<QRadioButton*>(choice);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->isChecked());
    QVERIFY(!s.Form().IsAmpChoose->isChecked());
    const double expected = amplitude > 0 ? amplitude : s.Model().Limits().amplitudeMax;
    QCOMPARE(s.Model().Params().amplitude, expected);
}

void MainEntryTest::upImageOfNum1LosesTheCarry() {
    Started s("Frequency = 999.99\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QCOMPARE(Digits(s.Form()), QStringLiteral("999.99"));
    QTest::mouseClick(s.Form().Num1Up, Qt::LeftButton);
    QCOMPARE(Digits(s.Form()), QStringLiteral("099.99"));
    QVERIFY(qAbs(s.Model().Params().frequency - 99.99) < 1e-9);
    QVERIFY(!s.run.Main().Input().Repeating()); // released: no repeat left running
}

void MainEntryTest::downImageOfNum5FromZeroGivesTheMinimum() {
    Started s("Amplitude = 1\n");
    QTest::keyClick(s.Form().Num3, Qt::Key_Escape);
    QCOMPARE(Digits(s.Form()), QStringLiteral("000.00"));
    QCOMPARE(s.Model().Params().amplitude, 0.0);
    // The borrow runs out of Num1: the minimum, not 999.99 limited to the maximum.
    QTest::mouseClick(s.Form().Num5Down, Qt::LeftButton);
    QCOMPARE(Digits(s.Form()), QStringLiteral("000.00"));
    QCOMPARE(s.Model().Params().amplitude, 0.0);
    QCOMPARE(s.Form().Bar->value(), s.Form().Bar->minimum());
}

void MainEntryTest::heldImageRepeatsUntilReleased() {
    Started s("Frequency = 121\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mousePress(s.Form().Num5Up, Qt::LeftButton);
    QCOMPARE(Digits(s.Form()), QStringLiteral("121.01")); // at once
    QVERIFY(s.run.Main().Input().Repeating());
    QTRY_VERIFY_WITH_TIMEOUT(s.Form().Num5->text().toInt() >= 3, 2000);
    // Released anywhere: here over the main window's client area.
    QTest::mouseRelease(s.Form().ClientArea, Qt::LeftButton);
    QVERIFY(!s.run.Main().Input().Repeating());
    const QString stopped = Digits(s.Form());
    QTest::qWait(400);
    QCOMPARE(Digits(s.Form()), stopped);
    QCOMPARE(s.Model().Params().frequency, stopped.toDouble());
}

void MainEntryTest::escOnTheFrequencyGivesTheMinimum() {
    Started s("Frequency = 300\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().Num4, Qt::LeftButton);
    QTest::keyClick(s.Form().Num4, Qt::Key_Escape);
    QCOMPARE(s.Model().Params().frequency, 0.025);
    QCOMPARE(Digits(s.Form()), QStringLiteral("025.00"));
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("-3"));
    QCOMPARE(s.Entry().Focus(), 1);
    QVERIFY(s.Form().Num1->hasFocus());
}

void MainEntryTest::typingSevenOnTheExponent() {
    Started s("Frequency = 1\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().NumPower, Qt::LeftButton);
    QVERIFY(s.Form().NumPower->hasFocus());
    QTest::keyClick(s.Form().NumPower, Qt::Key_7);
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("7"));
    QCOMPARE(s.Model().Params().frequency, 1e7);
    QCOMPARE(s.Entry().Focus(), 1);
    QVERIFY(s.Form().Num1->hasFocus());
}

void MainEntryTest::exponentArrowsGoPastTheBoundsImagesDoNot() {
    Started s("Frequency = 10000000\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QCOMPARE(Digits(s.Form()), QStringLiteral("001.00"));
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("7"));
    // The image goes to 8 and stops there; 10^8 Hz is above the maximum, which
    // shows again.
    QTest::mouseClick(s.Form().NumPowerUp, Qt::LeftButton);
    QCOMPARE(s.Model().Params().frequency, 1e7);
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("7"));

    // Below -9: the image stops at the bound, the arrow key does not.
    s.Model().SetDuration(1e-9);
    QTest::mouseClick(s.Form().IsDurChoose, Qt::LeftButton);
    QCOMPARE(Digits(s.Form()), QStringLiteral("001.00"));
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("-9"));
    QTest::mouseClick(s.Form().NumPowerDown, Qt::LeftButton);
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("-9"));
    QCOMPARE(s.Model().Params().duration, 1e-9);
    QTest::mouseClick(s.Form().NumPower, Qt::LeftButton);
    QTest::keyClick(s.Form().NumPower, Qt::Key_Down);
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("-10"));
    QCOMPARE(s.Model().Params().duration, 1e-10);
}

void MainEntryTest::barPressAtItsMargins_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("end"); // "lowest", "highest" or "" (between)
    QTest::newRow("left of the margin") << 3 << "lowest";
    QTest::newRow("on the left margin") << 12 << "lowest";
    QTest::newRow("right margin") << 340 - 12 << "highest";
    QTest::newRow("right of the margin") << 337 << "highest";
    QTest::newRow("middle") << 170 << "";
}

void MainEntryTest::barPressAtItsMargins() {
    QFETCH(int, x);
    QFETCH(QString, end);
    Started s("Duration = 0.001\n");
    // The additional choice shows the bar; the duration leaves it shown.
    QTest::mouseClick(s.Form().IsAdditionalChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().IsDurChoose, Qt::LeftButton);
    QVERIFY(s.Form().IsDurChoose->isChecked());
    QVERIFY(s.Form().Bar->isVisible());
    QCOMPARE(s.Form().Bar->width(), 340);
    QSlider* bar = s.Form().Bar;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
    const double duration = s.Model().Params().duration;
    if (end == "lowest") {
        QCOMPARE(bar->value(), bar->minimum());
        QCOMPARE(duration, s.Model().Limits().durationMin);
    } else if (end == "highest") {
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(duration, s.Model().Limits().durationMax);
    } else {
        const int expected = s.Entry().Bar().PressPosition(x, 340);
        QVERIFY(expected > bar->minimum() && expected < bar->maximum());
        QCOMPARE(bar->value(), expected);
        QVERIFY(duration > s.Model().Limits().durationMin);
        QVERIFY(duration < s.Model().Limits().durationMax);
        // Dragging with the button held moves the value along.
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(x, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(x + 60, 10),
                         bar->mapToGlobal(QPointF(x + 60, 10)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(x + 60, 10));
        QCOMPARE(bar->value(), s.Entry().Bar().PressPosition(x + 60, 340));
        QVERIFY(s.Model().Params().duration > duration);
    }
}

void MainEntryTest::limitLabelsMoveTheBar() {
    Started s("Frequency = 1000\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QVERIFY(!s.Form().Bar->isVisible()); // the frequency hides it; the labels still work
    QTest::mouseClick(s.Form().MaxBar, Qt::LeftButton);
    QCOMPARE(s.Model().Params().frequency, s.Model().Limits().frequencyMax);
    QCOMPARE(s.Form().Bar->value(), s.Form().Bar->maximum());
    QTest::mouseClick(s.Form().MinBar, Qt::LeftButton);
    QCOMPARE(s.Model().Params().frequency, s.Model().Limits().frequencyMin);
    QCOMPARE(s.Form().Bar->value(), s.Form().Bar->minimum());
}

void MainEntryTest::wheelOverDigitExponentAndBar() {
    Started s("Frequency = 123.45\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    Wheel(s.Form().Num3, 120);
    QCOMPARE(Digits(s.Form()), QStringLiteral("124.45"));
    Wheel(s.Form().Num3, -120);
    Wheel(s.Form().Num3, -120);
    QCOMPARE(Digits(s.Form()), QStringLiteral("122.45"));
    QVERIFY(qAbs(s.Model().Params().frequency - 122.45) < 1e-9);
    Wheel(s.Form().NumPower, 120);
    QCOMPARE(s.Form().NumPower->text(), QStringLiteral("1"));
    QVERIFY(qAbs(s.Model().Params().frequency - 1224.5) < 1e-9);
    // Over the bar the last digit steps.
    QTest::mouseClick(s.Form().IsAdditionalChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    s.Form().Bar->show();
    Wheel(s.Form().Bar, -120);
    QCOMPARE(Digits(s.Form()), QStringLiteral("122.44"));
}

void MainEntryTest::keysOfTheEntry() {
    Started s("Frequency = 25\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().Num1, Qt::LeftButton);
    QTest::keyClick(s.Form().Num1, Qt::Key_1); // 125.00, focus to Num2
    QCOMPARE(s.Model().Params().frequency, 125.0);
    QVERIFY(s.Form().Num2->hasFocus());
    QTest::keyClick(s.Form().Num2, Qt::Key_Backspace); // back to 025.00 and Num1
    QCOMPARE(s.Model().Params().frequency, 25.0);
    QVERIFY(s.Form().Num1->hasFocus());
    // Numeric pad digits type as well.
    QTest::keyClick(s.Form().Num1, Qt::Key_3, Qt::KeypadModifier);
    QCOMPARE(s.Model().Params().frequency, 325.0);
    // Left of Num2 is Num1, left of Num1 the exponent box, right of it Num1.
    QTest::keyClick(s.Form().Num2, Qt::Key_Left);
    QVERIFY(s.Form().Num1->hasFocus());
    QTest::keyClick(s.Form().Num1, Qt::Key_Left);
    QVERIFY(s.Form().NumPower->hasFocus());
    QTest::keyClick(s.Form().NumPower, Qt::Key_Right);
    QVERIFY(s.Form().Num1->hasFocus());
    // Arrow keys step the focused digit.
    QTest::keyClick(s.Form().Num1, Qt::Key_Up);
    QCOMPARE(s.Model().Params().frequency, 425.0);
    QTest::keyClick(s.Form().Num1, Qt::Key_Down);
    QCOMPARE(s.Model().Params().frequency, 325.0);
    // The point left of Num5 turns 325.00 into 3250.0; "," and "." do the same.
    QTest::mouseClick(s.Form().Num5, Qt::LeftButton);
    QTest::keyClick(s.Form().Num5, Qt::Key_Period);
    QVERIFY(s.Form().Zpt4->isVisible());
    QVERIFY(!s.Form().Zpt3->isVisible());
    QCOMPARE(s.Model().Params().frequency, 3250.0);
    QTest::mouseClick(s.Form().Num4, Qt::LeftButton);
    QTest::keyClick(s.Form().Num4, Qt::Key_Comma);
    QVERIFY(s.Form().Zpt3->isVisible());
    QCOMPARE(s.Model().Params().frequency, 325.0);
    // The frequency takes no sign.
    QTest::keyClick(s.Form().Num4, Qt::Key_Minus);
    QVERIFY(!s.Form().LMinus->isVisible());
    QCOMPARE(s.Model().Params().frequency, 325.0);
}

void MainEntryTest::directEditsArePutBack() {
    Started s("Frequency = 25\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().Num2, Qt::LeftButton);
    QTest::keyClick(s.Form().Num2, Qt::Key_A);
    QTest::keyClick(s.Form().Num2, Qt::Key_Delete);
    QGuiApplication::clipboard()->setText(QStringLiteral("9"));
    QTest::keyClick(s.Form().Num2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Digits(s.Form()), QStringLiteral("025.00"));
    // An edit that reaches the box anyway (a drop) is put back.
    s.Form().Num2->selectAll();
    s.Form().Num2->insert(QStringLiteral("8"));
    QCOMPARE(s.Form().Num2->text(), QStringLiteral("2"));
    QCOMPARE(s.Model().Params().frequency, 25.0);
}

void MainEntryTest::enterCommitsAndStartsOrStops() {
    Started s("Frequency = 25\n");
    QVERIFY(s.run.Main().Generation() != nullptr);
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().Num1, Qt::LeftButton);
    QTest::keyClick(s.Form().Num1, Qt::Key_1);
    QTest::keyClick(s.Form().Num2, Qt::Key_Return);
    QTRY_VERIFY(s.run.Main().OutputRunning());
    QCOMPARE(s.Model().Params().frequency, 125.0);
    // The numeric pad's Enter stops it again, also outside the boxes.
    QTest::keyClick(s.Form().IsFreqChoose, Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_VERIFY(!s.run.Main().OutputRunning());
}

void MainEntryTest::numericPadSlashCyclesTheChoices() {
    Started s;
    QVERIFY(s.Form().IsAmpChoose->isChecked());
    const auto slash = [&] { QTest::keyClick(s.Form().Num3, Qt::Key_Slash, Qt::KeypadModifier); };
    slash();
    QVERIFY(s.Form().IsFreqChoose->isChecked());
    QCOMPARE(s.Entry().Kind(), kind::Frequency);
    QVERIFY(s.Form().Num1->hasFocus());
    slash();
    QCOMPARE(s.Entry().Kind(), kind::Period);
    slash();
    QCOMPARE(s.Entry().Kind(), kind::Duration);
    slash();
    QVERIFY(s.Form().IsAdditionalChoose->isChecked());
    QCOMPARE(s.Entry().Kind(), kind::Offset);
    slash();
    QCOMPARE(s.Entry().Kind(), kind::Amplitude);
    QVERIFY(s.Form().IsAmpChoose->isChecked());

    // The plain "/" key is the decimal point.
    QTest::mouseClick(s.Form().Num2, Qt::LeftButton);
    QTest::keyClick(s.Form().Num2, Qt::Key_Slash);
    QCOMPARE(s.Entry().Kind(), kind::Amplitude);
    QVERIFY(s.Form().Zpt1->isVisible());
}

void MainEntryTest::keysReachTheEntryFromTheKeyboardWindowOnly() {
    Started s("Frequency = 25\n");
    QTest::mouseClick(s.Form().IsFreqChoose, Qt::LeftButton);
    QTest::mouseClick(s.Form().Num1, Qt::LeftButton);
    TForm2* keyboard = s.run.windows->Keyboard();
    QVERIFY(keyboard);
    keyboard->show();
    QTest::keyClick(keyboard, Qt::Key_4);
    QCOMPARE(s.Model().Params().frequency, 425.0);
    // Another window's keys stay there.
    TForm4* extended = s.run.windows->Additional();
    extended->show();
    QTest::keyClick(extended, Qt::Key_5);
    QCOMPARE(s.Model().Params().frequency, 425.0);
}

QTEST_MAIN(MainEntryTest)
#include "main_entry_test.moc"
