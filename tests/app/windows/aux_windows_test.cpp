// The keyboard, extended parameters and file settings windows in the running
// program on the simulated PCI board: real mouse and key events on their controls,
// the main window's numeric entry and parameter model as the oracle.

#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Preview.h"
#include "tests/app/windows/program_run.h"
#include "ui_Extendedparamwindow.h"
#include "ui_Fileconfig.h"
#include "ui_Gen.h"
#include "ui_Keywindow.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

#include <array>
#include <string>

namespace {

using windowtest::Run;

// The arrow-key table of the keyboard: from each focus index, where Left, Up,
// Right and Down lead (-1: the focus stays).
struct ArrowRow {
    int from;
    std::array<int, 4> to; // left, up, right, down
};
constexpr std::array<ArrowRow, 18> kArrowTable{{
    {0, {-1, 3, 1, -1}},
    {1, {0, 4, 2, -1}},
    {2, {1, 5, -1, -1}},
    {3, {-1, 6, 4, 0}},
    {4, {3, 7, 5, 1}},
    {5, {4, 8, -1, 2}},
    {6, {-1, 10, 7, 3}},
    {7, {6, 11, 8, 4}},
    {8, {7, 12, 9, 5}},
    {9, {8, 13, -1, -1}},
    {10, {-1, 14, 11, 6}},
    {11, {10, 15, 12, 7}},
    {12, {11, 16, 13, 8}},
    {13, {12, 17, -1, 9}},
    {14, {-1, -1, 15, 10}},
    {15, {14, -1, 16, 11}},
    {16, {15, -1, 17, 12}},
    {17, {16, -1, -1, 13}},
}};
constexpr std::array<Qt::Key, 4> kArrows{Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down};

// The grid position of the button with `focusIndex`.
int ButtonOfFocus(int focusIndex) {
    return *KeyboardLayout::ButtonOfFocus(focusIndex);
}

// Clicks a check box on its box, as the operator does.
void ClickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void Activate(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace

class AuxWindowsTest : public QObject {
    Q_OBJECT

private slots:
    // --- Keyboard ---
    void everyRowOfTheArrowTable();
    void arrowsWhileTheMainWindowIsActivePassBy();
    void keysSendTheirCodesToTheEntry();
    void unitKeysFollowTheCurrentParameter();
    // --- Extended parameters ---
    void creationFromTheSettings_data();
    void creationFromTheSettings();
    void setEnteredTwiceWritesTheOffsetOnce();
    void polarityAndFilterButtons();
    void keypadMultiplySelectsTheBaseVoltage();
    void realisedOffsetAndSwitchesFromTheMainWindow();
    // --- All three ---
    void positionsComeFromAndGoToTheSettings();
    // --- File settings ---
    void data16EndsOnWhateverTheFileSaid();
    void cancelAfterUnsignedKeepsTheSettingOnly();
    void closingNeedsAcceptOrCancel();
    void hintsGoToTheStatusBar();
    void acceptSetsUpTheBlock_data();
    void acceptSetsUpTheBlock();
};

// --- Keyboard ---

void AuxWindowsTest::everyRowOfTheArrowTable() {
    Run run;
    ProgramWindows& windows = run.Start();
    TForm2& keyboard = *windows.Keyboard();
    QCOMPARE(keyboard.Layout().FocusIndex(), 3); // Key0 at creation
    Activate(keyboard);
    for (const ArrowRow& row : kArrowTable) {
        for (std::size_t arrow = 0; arrow < kArrows.size(); ++arrow) {
            // Reach the start with the mouse; KeyEntr (9) would start the output, so
            // it is reached from Key3 with Right.
            if (row.from == 9) {
                QTest::mouseClick(keyboard.Button(ButtonOfFocus(8)), Qt::LeftButton);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            } else {
                QTest::mouseClick(keyboard.Button(ButtonOfFocus(row.from)), Qt::LeftButton);
            }
            QCOMPARE(keyboard.Layout().FocusIndex(), row.from);

            QTest::keyClick(QApplication::focusWidget(), kArrows[arrow]);
            const int expected = row.to[arrow] < 0 ? row.from : row.to[arrow];
            const QByteArray where = QByteArray("from ") + QByteArray::number(row.from) +
                                     " arrow " + QByteArray::number(static_cast<int>(arrow));
            QVERIFY2(keyboard.Layout().FocusIndex() == expected, where.constData());
            QVERIFY2(QApplication::focusWidget() == keyboard.Button(ButtonOfFocus(expected)),
                     where.constData());
        }
    }
    // The disabled keys are never focused.
    QVERIFY(!keyboard.Form().KeyNum1->isEnabled());
    QVERIFY(!keyboard.Form().KeyNum2->isEnabled());
}

void AuxWindowsTest::arrowsWhileTheMainWindowIsActivePassBy() {
    Run run;
    ProgramWindows& windows = run.Start();
    TForm2& keyboard = *windows.Keyboard();
    keyboard.show();
    QTest::mouseClick(keyboard.Form().Key5, Qt::LeftButton); // focus index 11
    Activate(run.Main());
    for (const Qt::Key arrow : kArrows) {
        QTest::keyClick(&run.Main(), arrow);
    }
    QCOMPARE(keyboard.Layout().FocusIndex(), 11);
}

void AuxWindowsTest::keysSendTheirCodesToTheEntry() {
    Run run;
    ProgramWindows& windows = run.Start();
    TForm2& keyboard = *windows.Keyboard();
    EntryController& entry = *run.Main().Core().Entry();
    const auto click = [&](QPushButton* key) { QTest::mouseClick(key, Qt::LeftButton); };

    click(keyboard.Form().KeyC); // code 11: every box "0", focus on Num1
    QCOMPARE(entry.Focus(), 1);
    QCOMPARE(entry.Box(1), std::string("0"));
    // Code 10 types a 0 and moves on to the next box; code 0 would do nothing.
    click(keyboard.Form().Key0);
    QCOMPARE(entry.Focus(), 2);
    click(keyboard.Form().Key1);
    QCOMPARE(entry.Focus(), 3);
    click(keyboard.Form().KeyBack); // code 12 goes back one box
    QCOMPARE(entry.Focus(), 2);
    click(keyboard.Form().Key1);
    QCOMPARE(entry.Focus(), 3);
    QCOMPARE(keyboard.Layout().FocusIndex(), 6); // Key1 took the focus

    // A disabled key sends nothing and leaves the focus.
    click(keyboard.Form().KeyNum1);
    click(keyboard.Form().KeyNum2);
    QCOMPARE(entry.Focus(), 3);
    QCOMPARE(keyboard.Layout().FocusIndex(), 6);
}

void AuxWindowsTest::unitKeysFollowTheCurrentParameter() {
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"English\"\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm2& keys = windows.Keyboard()->Form();
    const auto captions = [&] {
        return std::array<QString, 3>{keys.KeyO->text(), keys.KeyK->text(), keys.KeyM->text()};
    };
    const auto fromMain = [&] {
        const auto& names = run.Main().UnitKeyCaptions();
        return std::array<QString, 3>{QString::fromStdString(names[0]),
                                      QString::fromStdString(names[1]),
                                      QString::fromStdString(names[2])};
    };
    const std::array<QString, 3> amplitude = captions();
    QCOMPARE(amplitude, fromMain());
    QVERIFY(!amplitude[0].isEmpty());
    QVERIFY(amplitude[0] != QStringLiteral("Hz")); // no longer the design-time captions

    run.Main().ChooseParameter(kind::Frequency);
    QCOMPARE(captions(), fromMain());
    QVERIFY(captions()[0] != amplitude[0]);

    // The base voltage: volt, millivolt, microvolt, whatever the language.
    run.Main().SelectParameter(kind::Offset);
    QCOMPARE(captions(), (std::array<QString, 3>{QStringLiteral("В"), QStringLiteral("мВ"),
                                                 QStringLiteral("мкВ")}));
}

// --- Extended parameters ---

void AuxWindowsTest::creationFromTheSettings_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("filterDown");
    QTest::addColumn<QString>("polarityDown");
    QTest::addColumn<bool>("polarityVisible");
    QTest::newRow("filter on, positive") << "FilterActive = 1\nPolarity = 0\n"
                                         << true << "ButtonPlusPolar" << true;
    QTest::newRow("filter off, negative") << "FilterActive = 0\nPolarity = 1\n"
                                          << false << "ButtonMinusPolar" << true;
    QTest::newRow("data file, bipolar") << "SignalType = 7\nPolarity = 2\n"
                                        << false << "ButtonBePolar" << false;
}

void AuxWindowsTest::creationFromTheSettings() {
    QFETCH(QString, settings);
    QFETCH(bool, filterDown);
    QFETCH(QString, polarityDown);
    QFETCH(bool, polarityVisible);
    Run run;
    run.Settings(settings.toStdString() + "Offset = 1.5\n");
    ProgramWindows& windows = run.Start();
    TForm4& extended = *windows.Additional();
    Ui::TForm4& form = extended.Form();

    QCOMPARE(form.SpeedButton1->isChecked(), filterDown);
    QCOMPARE(run.Main().Core().Settings().filterActive, filterDown);
    QCOMPARE(run.Main().Core().Model()->Params().filter, filterDown);
    for (QToolButton* button : {form.ButtonMinusPolar, form.ButtonBePolar, form.ButtonPlusPolar}) {
        QCOMPARE(button->isChecked(), button->objectName() == polarityDown);
        QCOMPARE(!button->isHidden(), polarityVisible);
    }
    QCOMPARE(!form.Label1->isHidden(), polarityVisible);
    QVERIFY(!form.Label2->isHidden());

    // The provider of the base voltage is the model's and the entry's.
    QCOMPARE(extended.Parameters().GetEntered(6), 1.5);
    QCOMPARE(run.Main().Core().Model()->Offset(), 1.5);
    QVERIFY(form.Enter0->text().startsWith(QStringLiteral("1.5")));
    QCOMPARE(form.ParamList->count(), 1);
}

void AuxWindowsTest::setEnteredTwiceWritesTheOffsetOnce() {
    Run run;
    ProgramWindows& windows = run.Start();
    ExtendedParameters& parameters = windows.Additional()->Parameters();
    params::Settings& settings = run.Main().Core().Settings();
    QVERIFY(parameters.SetEntered(6, 0.75));
    QCOMPARE(settings.offset, 0.75);
    const QString shown = windows.Additional()->Form().Enter0->text();
    settings.offset = 9; // a second write would show here
    QVERIFY(!parameters.SetEntered(6, 0.75));
    QCOMPARE(settings.offset, 9.0);
    QCOMPARE(windows.Additional()->Form().Enter0->text(), shown);
}

void AuxWindowsTest::polarityAndFilterButtons() {
    Run run;
    run.Settings("Polarity = 2\nFilterActive = 0\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm4& form = windows.Additional()->Form();
    windows.Additional()->show();
    params::Settings& settings = run.Main().Core().Settings();
    const SignalParameters& p = run.Main().Core().Model()->Params();

    struct Click {
        QToolButton* button;
        int polarity;
    };
    for (const Click& click : {Click{form.ButtonPlusPolar, polarity::Positive},
                               Click{form.ButtonMinusPolar, polarity::Negative},
                               Click{form.ButtonBePolar, polarity::Bipolar}}) {
        QTest::mouseClick(click.button, Qt::LeftButton);
        QCOMPARE(settings.polarity, click.polarity);
        QCOMPARE(p.polarity, click.polarity);
        QVERIFY(click.button->isChecked());
        int down = 0;
        for (QToolButton* b : {form.ButtonMinusPolar, form.ButtonBePolar, form.ButtonPlusPolar}) {
            down += b->isChecked() ? 1 : 0;
        }
        QCOMPARE(down, 1);
    }

    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    QVERIFY(settings.filterActive);
    QVERIFY(p.filter);
    QVERIFY(form.SpeedButton1->isChecked());
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    QVERIFY(!settings.filterActive);
    QVERIFY(!p.filter);
    QVERIFY(!form.SpeedButton1->isChecked());
}

void AuxWindowsTest::keypadMultiplySelectsTheBaseVoltage() {
    Run run;
    ProgramWindows& windows = run.Start();
    TForm4& extended = *windows.Additional();
    Activate(extended);
    EntryController& entry = *run.Main().Core().Entry();
    QVERIFY(entry.Kind() != kind::Offset);

    QTest::keyClick(&extended, Qt::Key_Asterisk); // the main keyboard's "*" does nothing
    QVERIFY(entry.Kind() != kind::Offset);
    QTest::keyClick(&extended, Qt::Key_Asterisk, Qt::KeypadModifier);
    QCOMPARE(entry.Kind(), kind::Offset);
    QCOMPARE(extended.Form().ParamList->currentRow(), 0);
    QTest::keyClick(extended.Form().ParamList, Qt::Key_Asterisk, Qt::KeypadModifier);
    QCOMPARE(entry.Kind(), kind::Offset); // wraps to the one row
}

void AuxWindowsTest::realisedOffsetAndSwitchesFromTheMainWindow() {
    Run run;
    run.Settings("Polarity = 2\nFilterActive = 0\n");
    ProgramWindows& windows = run.Start();
    TForm4& extended = *windows.Additional();
    extended.Parameters().SetEntered(6, 0.25);
    extended.ShowRealisedOffset(0.25);
    QCOMPARE(extended.Form().Real0->text(), extended.Form().Enter0->text());

    // A saved signal or the settings changed polarity and filter in the model.
    SignalParameters& p = run.Main().Core().Model()->Params();
    p.polarity = polarity::Negative;
    p.filter = true;
    extended.ApplySwitches();
    QVERIFY(extended.Form().ButtonMinusPolar->isChecked());
    QVERIFY(!extended.Form().ButtonBePolar->isChecked());
    QVERIFY(extended.Form().SpeedButton1->isChecked());
    QCOMPARE(run.Main().Core().Settings().polarity, polarity::Negative);
    QVERIFY(run.Main().Core().Settings().filterActive);
}

// --- All three ---

void AuxWindowsTest::positionsComeFromAndGoToTheSettings() {
    Run run;
    run.Settings("Keyboard_X = 120\nKeyboard_Y = 80\nOptions_X = 300\nOptions_Y = 40\n"
                 "Additional_X = 510\nAdditional_Y = 260\n");
    ProgramWindows& windows = run.Start();
    struct Place {
        QWidget* window;
        const char* key;
        QPoint at;
        QPoint movedTo;
    };
    const std::array<Place, 3> places{{
        {windows.Keyboard(), "Keyboard", {120, 80}, {10, 20}},
        {windows.Options(), "Options", {300, 40}, {30, 40}},
        {windows.Additional(), "Additional", {510, 260}, {50, 60}},
    }};
    for (const Place& place : places) {
        QCOMPARE(place.window->pos(), place.at);
        place.window->move(place.movedTo);
    }
    run.End();
    const std::string saved = windowtest::ReadFile(run.env.SettingsFile());
    const auto value = [&](const std::string& key) {
        const std::size_t line = saved.find(key + " ");
        return line == std::string::npos ? -1 : std::stoi(saved.substr(saved.find('=', line) + 1));
    };
    for (const Place& place : places) {
        QCOMPARE(value(std::string(place.key) + "_X"), place.movedTo.x());
        QCOMPARE(value(std::string(place.key) + "_Y"), place.movedTo.y());
    }
}

// --- File settings ---

void AuxWindowsTest::data16EndsOnWhateverTheFileSaid() {
    Run run;
    run.Settings("Data16 = 0\nNonSigned = 1\nNullBits = 1\n");
    ProgramWindows& windows = run.Start();
    TForm7& file = *windows.FileSettings();
    QVERIFY(run.Main().Core().Settings().data16);
    QCOMPARE(file.Choices().size(), std::size_t{1});
    QVERIFY(file.Choices()[0]->isChecked());
    QVERIFY(file.Form().IsNonSigned->isChecked());
    QVERIFY(file.Form().IsNullBits->isChecked());
    QVERIFY(file.Form().IsNullBits->isEnabled());
    QCOMPARE(file.Form().RadioGroup1->title(), QStringLiteral("Разрядность данных"));

    // Again after a language change (the group is refilled).
    run.Main().Core().Settings().data16 = false;
    file.SetTexts();
    QVERIFY(run.Main().Core().Settings().data16);
    QVERIFY(file.Choices()[0]->isChecked());
    run.End();
    const std::string saved = windowtest::ReadFile(run.env.SettingsFile());
    const std::size_t line = saved.find("Data16");
    QVERIFY(line != std::string::npos);
    QCOMPARE(saved.substr(saved.find('=', line) + 1, 2), std::string(" 1"));
}

void AuxWindowsTest::cancelAfterUnsignedKeepsTheSettingOnly() {
    Run run;
    run.Settings("SignalType = 7\nNonSigned = 0\nBlockSize = 2\n");
    ProgramWindows& windows = run.Start();
    TForm7& file = *windows.FileSettings();
    SignalParameters& p = run.Main().Core().Model()->Params();
    p.lastSampleIndex = 999; // a file of 1000 words was read
    const int32_t blockSize = p.blockSize;
    run.Main().hide(); // the load hides the other windows
    file.ShowForLoad();
    QVERIFY(file.isVisible());

    ClickBox(file.Form().IsNonSigned);
    QVERIFY(run.Main().Core().Settings().nonSigned);
    QTest::mouseClick(file.Form().Cancel, Qt::LeftButton);
    QVERIFY(!file.isVisible());
    QVERIFY(run.Main().isVisible());
    QVERIFY(run.Main().Core().Settings().nonSigned);
    QVERIFY(!p.fileLoaded);
    QCOMPARE(p.blockSize, blockSize);
}

void AuxWindowsTest::closingNeedsAcceptOrCancel() {
    Run run;
    ProgramWindows& windows = run.Start();
    TForm7& file = *windows.FileSettings();
    file.ShowForLoad();
    QVERIFY(!file.close());
    QVERIFY(file.isVisible());
    QTest::mouseClick(file.Form().Agree, Qt::LeftButton);
    QVERIFY(!file.isVisible());
    // The next load refuses closing again.
    file.ShowForLoad();
    QVERIFY(!file.close());
    QTest::mouseClick(file.Form().Cancel, Qt::LeftButton);
    QVERIFY(!file.isVisible());
}

void AuxWindowsTest::hintsGoToTheStatusBar() {
    Run run;
    run.Settings("Language = \"English\"\n");
    ProgramWindows& windows = run.Start();
    TForm7& file = *windows.FileSettings();
    file.ShowForLoad();
    struct Hint {
        QWidget* control;
        const char* status;
    };
    for (const Hint& hint : {Hint{file.Form().IsNonSigned, "Data will be regarded as unsigned"},
                             Hint{file.Form().IsNullBits, "Making two last bits zero"},
                             Hint{file.Form().RadioGroup1, "Data rank"}}) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(hint.control, &enter);
        QCOMPARE(file.Form().StatusBar1->currentMessage(), QString::fromUtf8(hint.status));
    }
    QTest::mouseClick(file.Form().Cancel, Qt::LeftButton);
}

void AuxWindowsTest::acceptSetsUpTheBlock_data() {
    QTest::addColumn<int>("current"); // the entry's parameter at the load
    QTest::addColumn<int>("words");   // W, the file's 16-bit words
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<bool>("barAtMaximum");
    QTest::newRow("amplitude current: the whole file")
        << static_cast<int>(kind::Amplitude) << 1000 << 1000 << false;
    QTest::newRow("block size current: the whole file")
        << static_cast<int>(kind::BlockSize) << 1000 << 1000 << true;
    QTest::newRow("block size current: the board memory")
        << static_cast<int>(kind::BlockSize) << 5000 << 4096 << true;
}

void AuxWindowsTest::acceptSetsUpTheBlock() {
    QFETCH(int, current);
    QFETCH(int, words);
    QFETCH(int, blockSize);
    QFETCH(bool, barAtMaximum);
    Run run;
    run.env.Config("memory = 4096\n");
    run.Settings("SignalType = 7\nBlockStart = 0\nBlockSize = 2\nAutoView = 1\n");
    ProgramWindows& windows = run.Start();
    SignalParameters& p = run.Main().Core().Model()->Params();
    run.Main().ChooseParameter(static_cast<ParameterKind>(current));
    p.lastSampleIndex = words - 1;
    windows.FileSettings()->ShowForLoad();

    QTest::mouseClick(windows.FileSettings()->Form().Agree, Qt::LeftButton);
    QVERIFY(!windows.FileSettings()->isVisible());
    QVERIFY(p.fileLoaded);
    QCOMPARE(p.blockSize, blockSize);
    QCOMPARE(p.blockStart, 0);
    if (barAtMaximum) {
        QCOMPARE(run.Form().Bar->value(), run.Form().Bar->maximum());
    }
    // The viewer exists and AutoView is on: the preview shows the file.
    QVERIFY(windows.Preview()->isVisible());
    QCOMPARE(run.Main().Core().Model()->Markers()[2].position, static_cast<float>(blockSize - 1));
}

QTEST_MAIN(AuxWindowsTest)
#include "aux_windows_test.moc"
