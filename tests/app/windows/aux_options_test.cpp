// The options window in the running program on the simulated boards: the number
// edits and their rules, the load impedance and the limits it gives, the board
// list, choice and information, the library list, the generation modes, the
// external start, the device change with its driver reload, the language switch of
// every window, and the About tab's link. Screenshots of the auxiliary windows in
// both languages go to aux_screens/ beside the test program.

#include "app/params/signal_types.h"
#include "app/params/version_text.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Savewindow.h"
#include "tests/app/windows/program_run.h"
#include "ui_Extendedparamwindow.h"
#include "ui_Fileconfig.h"
#include "ui_Gen.h"
#include "ui_Optionswindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>

#include <cmath>
#include <string>

namespace {

using windowtest::Run;

// Types `text` into `edit` (emptied first) and confirms it with Enter.
void Confirm(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items.append(list->itemText(i));
    }
    return items;
}

// Clicks a check box on its box, as the operator does.
void ClickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

// Clicks the row of a list box as the operator does.
void ClickRow(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    QVERIFY(item != nullptr);
    const QRect place = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
}

} // namespace

class AuxOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void numberEditsFollowTheirRules_data();
    void numberEditsFollowTheirRules();
    void loadOf75OhmsGivesSixVoltLimits();
    void impedanceListTakesNewValuesInFront();
    void boardList_data();
    void boardList();
    void aBoardThatCannotBeOpenedShowsError();
    void boardInformation_data();
    void boardInformation();
    void generationModesPerFamily();
    void noSynthesiserDisablesItsMode();
    void externalStartAndInterfaceSwitches();
    void deviceChangeReloadsTheDriver();
    void deviceChangeToAMissingDriverEmptiesTheBoardTab();
    void changesWhileRunningRestartWithAutoStart_data();
    void changesWhileRunningRestartWithAutoStart();
    void boardOrDeviceChoiceStopsTheOutputFirst_data();
    void boardOrDeviceChoiceStopsTheOutputFirst();
    void languageSwitchReachesEveryWindow();
    void aboutTabLink();
};

void AuxOptionsTest::numberEditsFollowTheirRules_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("message17");
    QTest::addColumn<double>("minVolts");
    QTest::addColumn<double>("maxVolts");
    QTest::addColumn<double>("rLoad");
    QTest::newRow("-2,5 in Edit1") << "Edit1"
                                   << "-2,5" << false << -2.5 << 10.0 << 50.0;
    QTest::newRow("-2.5 in Edit1") << "Edit1"
                                   << "-2.5" << true << -10.0 << 10.0 << 50.0;
    QTest::newRow("-1 in Edit2") << "Edit2"
                                 << "-1" << false << -10.0 << -1.0 << 50.0;
    QTest::newRow("1,2,3 in Edit2") << "Edit2"
                                    << "1,2,3" << false << -10.0 << 10.0 << 50.0;
    QTest::newRow("7e1 in Edit2") << "Edit2"
                                  << "7e1" << true << -10.0 << 10.0 << 50.0;
    QTest::newRow("100,5 in Edit3") << "Edit3"
                                    << "100,5" << false << -10.0 << 10.0 << 100.5;
    QTest::newRow("-75 in Edit3") << "Edit3"
                                  << "-75" << true << -10.0 << 10.0 << 50.0;
}

void AuxOptionsTest::numberEditsFollowTheirRules() {
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(bool, message17);
    QFETCH(double, minVolts);
    QFETCH(double, maxVolts);
    QFETCH(double, rLoad);
    Run run;
    run.Settings("MinVolts = -10\nMaxVolts = 10\nRLoad = 50\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    QLineEdit* target = edit == "Edit1"   ? form.Edit1
                        : edit == "Edit2" ? form.Edit2
                                          : form.Edit3->lineEdit();
    Confirm(target, text);

    const std::string invalid = run.Main().Core().Text(17);
    QCOMPARE(run.CountShown(invalid), message17 ? 1 : 0);
    QCOMPARE(run.Shown().size(), std::size_t{message17 ? 1u : 0u});
    const params::Settings& settings = run.Main().Core().Settings();
    QCOMPARE(settings.minVolts, minVolts);
    QCOMPARE(settings.maxVolts, maxVolts);
    QCOMPARE(settings.rLoad, rLoad);
    // The model's range check uses the limits at once.
    QCOMPARE(run.Main().Core().Model()->Settings().minVolts, minVolts);
    QCOMPARE(run.Main().Core().Model()->Settings().maxVolts, maxVolts);
}

void AuxOptionsTest::loadOf75OhmsGivesSixVoltLimits() {
    Run run;
    run.Settings("RLoad = 50\nSignalType = 1\nAmplitude = 8\nOffset = 0\n");
    ProgramWindows& windows = run.Start();
    Confirm(windows.Options()->Form().Edit3->lineEdit(), QStringLiteral("75"));

    ParameterModel& model = *run.Main().Core().Model();
    QCOMPARE(model.FullScale(), 6.0); // 10 V x 75 / (75 + 50)
    QCOMPARE(model.Limits().amplitudeMax, 6.0);
    QVERIFY(model.Params().amplitude <= 6.0);
    AdditionalLimits limits;
    QVERIFY(windows.Additional()->Parameters().GetLimits(1, 6, limits));
    QCOMPARE(limits.maximum, 12.0);
    QCOMPARE(limits.minimum, -12.0);
    QVERIFY(limits.isSigned);
    QCOMPARE(run.Main().Core().Settings().rLoad, 75.0);
}

void AuxOptionsTest::impedanceListTakesNewValuesInFront() {
    Run run;
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    const QStringList before = Items(form.Edit3);
    form.Edit3->lineEdit()->clear();
    QTest::keyClicks(form.Edit3->lineEdit(), QStringLiteral("120,5"));
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(Items(form.Edit3), QStringList{QStringLiteral("120,5")} + before);
    QCOMPARE(form.Edit3->currentIndex(), 0);
    QCOMPARE(run.Main().Core().Settings().rezistList.Count(), before.size() + 1);

    // Choosing an entry of the list acts as Enter.
    emit form.Edit3->activated(0);
    QCOMPARE(run.Main().Core().Settings().rLoad, 120.5);
    QVERIFY(!form.Button2->isVisible());
}

void AuxOptionsTest::boardList_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("baseNumber");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selected");
    QTest::newRow("ISA addresses") << "KORD77ISA"
                                   << "answering = 0x300, 0x310, 0x320\n"
                                   << 1 << QStringList{"0x300", "0x310", "0x320"} << 1;
    QTest::newRow("PCI numbers") << "KORD77PCI"
                                 << "answering = 0, 1, 2\n"
                                 << 2 << QStringList{"0", "1", "2"} << 2;
    QTest::newRow("BaseNumber beyond the boards found") << "KORD77PCI"
                                                        << "answering = 0, 1\n"
                                                        << 5 << QStringList{"0", "1"} << 0;
}

void AuxOptionsTest::boardList() {
    QFETCH(QString, device);
    QFETCH(QString, config);
    QFETCH(int, baseNumber);
    QFETCH(QStringList, items);
    QFETCH(int, selected);
    Run run;
    run.env.Config(config.toStdString());
    run.Settings("DeviceName = \"" + device.toStdString() +
                 "\"\nBaseNumber = " + std::to_string(baseNumber) + "\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    QCOMPARE(Items(form.ComboBox4), items);
    QCOMPARE(form.ComboBox4->currentIndex(), selected);
    QCOMPARE(run.Main().Core().Settings().baseNumber, selected);
    QVERIFY(run.Main().Core().Board().BoardOpened());
}

void AuxOptionsTest::aBoardThatCannotBeOpenedShowsError() {
    Run run;
    run.env.Config("answering = 0, 1\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    QCOMPARE(form.ComboBox4->count(), 2);

    form.ComboBox4->setCurrentIndex(1);
    emit form.ComboBox4->activated(1);
    QCOMPARE(run.Main().Core().Settings().baseNumber, 1);
    QCOMPARE(run.OpenedIds().back(), std::string("KORD77PCI 1"));
    QCOMPARE(run.Shown().size(), std::size_t{0});

    run.env.State("fail.OpenBoard = 0\n");
    form.ComboBox4->setCurrentIndex(0);
    emit form.ComboBox4->activated(0);
    QCOMPARE(run.CountShown(run.Main().Core().Text(7)), 1);
    QCOMPARE(run.Main().Core().Settings().baseNumber, 0);
    QVERIFY(!run.Main().Core().Board().BoardOpened());
    QVERIFY(!run.Main().Core().Board().BoardFound());
    QVERIFY(!run.Form().StartButton->isEnabled());
}

void AuxOptionsTest::boardInformation_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("driverVersion");
    QTest::addColumn<bool>("tabVisible");
    QTest::addColumn<QString>("driverLine");
    QTest::addColumn<QString>("secondModule");
    QTest::newRow("USB, firmware 0x1A") << "KORD77USB"
                                        << "firmware_version = 0x1A\nserial_number = 770002\n"
                                        << "1.10"
                                        << "770002"
                                        << "0.1" << true << "KORD77USB simulated driver(1.0.0.0)"
                                        << "KORD77USB simulated loader(1.2.0.0)";
    QTest::newRow("USB, nothing to tell")
        << "KORD77USB"
        << "firmware_version = 0\nserial_number = 0\ndriver_version = 0\nversion = 3.1.4.1\n"
        << "Not available"
        << "Not available"
        << "3.1.4.1" << true << "KORD77USB simulated driver(3.1.4.1)"
        << "KORD77USB simulated loader(1.2.0.0)";
    QTest::newRow("PCI found: no Information tab")
        << "KORD77PCI"
        << "firmware_version = 0x12\n"
        << "1.2"
        << "770001"
        << "0.1" << false << "KORD77PCI simulated driver(1.0.0.0)"
        << "";
}

void AuxOptionsTest::boardInformation() {
    QFETCH(QString, device);
    QFETCH(QString, config);
    QFETCH(QString, firmware);
    QFETCH(QString, serial);
    QFETCH(QString, driverVersion);
    QFETCH(bool, tabVisible);
    QFETCH(QString, driverLine);
    QFETCH(QString, secondModule);
    Run run;
    run.env.Config(config.toStdString());
    run.Settings("DeviceName = \"" + device.toStdString() + "\"\nLanguage = \"English\"\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    QCOMPARE(form.Label11->text(), firmware);
    QCOMPARE(form.Label5->text(), serial);
    QCOMPARE(form.Label26->text(), driverVersion);
    QCOMPARE(form.PageControl1->isTabVisible(5), tabVisible);

    windows.Options()->ShowTab(3);
    const QStringList memo = form.Memo1->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(memo.size(), 4);
    QCOMPARE(memo[0], QStringLiteral("Loaded dynamic libraries:"));
    // The signal library with the program's own version.
    QVERIFY(memo[1].endsWith(QStringLiteral("(") +
                             QString::fromStdString(params::ProgramVersionText()) +
                             QStringLiteral(")")));
    QVERIFY(memo[1].size() > QString::fromStdString(params::ProgramVersionText()).size() + 2);
    QCOMPARE(memo[2], driverLine);
    QCOMPARE(memo[3], secondModule);
    QCOMPARE(form.Label13->text(), QString::fromLatin1(TForm3::kMakerAddress));
    QVERIFY(form.Label10->text().startsWith(QStringLiteral("Generator ver. ")));
}

void AuxOptionsTest::generationModesPerFamily() {
    Run run;
    run.Settings("SignalType = 1\nSinQuality = 3\nMeandrQuality = 100\n");
    ProgramWindows& windows = run.Start();
    TForm3& options = *windows.Options();
    Ui::TForm3& form = options.Form();
    options.ShowTab(0);
    QCOMPARE(form.ListBox1->currentRow(), 0);
    QVERIFY(form.RadioButton4->isChecked()); // the sine's synthesiser mode
    QVERIFY(form.RadioButton4->isEnabled());

    QTest::mouseClick(form.RadioButton2, Qt::LeftButton); // maximum points
    const params::Settings& settings = run.Main().Core().Settings();
    ParameterModel& model = *run.Main().Core().Model();
    QCOMPARE(settings.sinQuality, 1);
    QCOMPARE(model.Params().quality, 1); // the sine is the current type
    QVERIFY(model.Params().recomputeNeeded);

    ClickRow(form.ListBox1, 2); // meander: its own stored mode
    QVERIFY(form.RadioButton3->isChecked());
    QTest::mouseClick(form.RadioButton1, Qt::LeftButton);
    QCOMPARE(settings.meandrQuality, 0);
    QCOMPARE(model.Params().quality, 1); // not the current type: unchanged
    ClickRow(form.ListBox1, 0);
    QVERIFY(form.RadioButton2->isChecked());
}

void AuxOptionsTest::noSynthesiserDisablesItsMode() {
    Run run;
    run.env.Config("synthesiser = 0\n");
    run.Settings("SinQuality = 3\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    QVERIFY(!form.RadioButton4->isEnabled());
    QVERIFY(!form.RadioButton4->isChecked());
    windows.Options()->ShowSynthesiser(true);
    QVERIFY(form.RadioButton4->isEnabled());
}

void AuxOptionsTest::externalStartAndInterfaceSwitches() {
    Run run;
    run.Settings("DACUseExt = 0\nDACStartMode = 0\nAutoStart = 0\nAutoView = 1\nInformation = 0\n");
    ProgramWindows& windows = run.Start();
    TForm3& options = *windows.Options();
    Ui::TForm3& form = options.Form();
    const params::Settings& settings = run.Main().Core().Settings();
    options.ShowTab(4);
    QVERIFY(!form.CheckBox3->isChecked());
    QVERIFY(!form.ComboBox3->isEnabled());

    ClickBox(form.CheckBox3);
    QCOMPARE(settings.dacUseExt, 2);
    QVERIFY(form.ComboBox3->isEnabled());
    form.ComboBox3->setCurrentIndex(1);
    emit form.ComboBox3->activated(1); // "by the raising edge"
    QCOMPARE(settings.dacStartMode, 4);
    ClickBox(form.CheckBox3);
    QCOMPARE(settings.dacUseExt, 0);
    QVERIFY(!form.ComboBox3->isEnabled());

    options.ShowTab(1);
    ClickBox(form.AutoStartBox);
    ClickBox(form.AutoViewBox);
    ClickBox(form.CheckBox4);
    QVERIFY(settings.autoStart);
    QVERIFY(!settings.autoView);
    QVERIFY(settings.information);
}

void AuxOptionsTest::deviceChangeReloadsTheDriver() {
    Run run;
    run.env.Config("answering = 0, 1\nKORD77USB.serial_number = 4242\n");
    run.Settings("DeviceName = \"KORD77PCI\"\n");
    ProgramWindows& windows = run.Start();
    TForm3& options = *windows.Options();
    Ui::TForm3& form = options.Form();
    QCOMPARE(form.CBDeviceSelect->currentIndex(), 0);
    QVERIFY(!form.UpdateButton->isEnabled());
    run.env.ClearJournal();

    form.CBDeviceSelect->setCurrentIndex(1);
    emit form.CBDeviceSelect->activated(1);
    QCOMPARE(run.Main().Core().Settings().deviceName, std::string("KORD77USB"));
    QCOMPARE(run.Main().Core().Board().Kind(), DeviceKind::Usb);
    QCOMPARE(Items(form.ComboBox4), (QStringList{"0", "1"}));
    QCOMPARE(form.Label5->text(), QStringLiteral("4242"));
    // The USB driver asks to be polled: the second driver object probes the boards.
    QVERIFY(options.Selection().ProbeDriver() != nullptr);
    QVERIFY(form.UpdateButton->isEnabled());
    const std::vector<std::string> opened = run.OpenedIds();
    QVERIFY(!opened.empty());
    QCOMPARE(opened.back(), std::string("KORD77USB 0"));

    // Probing: the first two boards answer, the third ends the count.
    run.env.ClearJournal();
    QTest::mouseClick(form.UpdateButton, Qt::LeftButton);
    QCOMPARE(run.OpenedIds(),
             (std::vector<std::string>{"KORD77USB 0", "KORD77USB 1", "KORD77USB 2"}));
    QCOMPARE(Items(form.ComboBox4), (QStringList{"0", "1"}));
}

void AuxOptionsTest::deviceChangeToAMissingDriverEmptiesTheBoardTab() {
    Run run;
    run.env.Config("answering = 0, 1\n");
    run.Settings("DeviceName = \"KORD77PCI\"\nLanguage = \"English\"\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm3& form = windows.Options()->Form();
    QCOMPARE(form.ComboBox4->count(), 2);
    QCOMPARE(form.Label5->text(), QStringLiteral("770001"));
    // The USB driver is no longer registered.
    run.env.Register({{windowtest::kBase, "UndulaN", UNDULAN_LIBRARY},
                      {windowtest::kDrivers, "KORD77PCI", KORD77PCI_LIBRARY}});

    form.CBDeviceSelect->setCurrentIndex(1);
    emit form.CBDeviceSelect->activated(1);
    QVERIFY(!run.Main().TerminationRequested());
    QCOMPARE(run.CountShown(run.Main().Core().Text(200)), 1);
    QCOMPARE(form.ComboBox4->count(), 0);
    QCOMPARE(form.Label5->text(), QStringLiteral("Not available"));
    QCOMPARE(form.Label11->text(), QStringLiteral("Not available"));
    QVERIFY(!form.UpdateButton->isEnabled());
    QVERIFY(!form.RadioButton4->isEnabled());
    QVERIFY(!run.Form().StartButton->isEnabled());
}

// Starts a 1 kHz sine with the Start button; true when the board plays.
static bool StartSine(Run& run) {
    ParameterModel& model = *run.Main().Core().Model();
    model.SelectType(signal_type::Sine);
    run.Main().SelectSignalType(signal_type::Sine);
    model.SetAmplitude(1.0);
    model.SetFrequency(1000.0);
    QTest::mouseClick(run.Form().StartButton, Qt::LeftButton);
    return run.Main().OutputRunning();
}

void AuxOptionsTest::changesWhileRunningRestartWithAutoStart_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("autoStart");
    QTest::newRow("generation mode") << "RadioButton2" << true;
    QTest::newRow("external start") << "CheckBox3" << true;
    QTest::newRow("polarity") << "ButtonPlusPolar" << true;
    QTest::newRow("filter") << "SpeedButton1" << true;
    QTest::newRow("generation mode without AutoStart") << "RadioButton2" << false;
    QTest::newRow("filter without AutoStart") << "SpeedButton1" << false;
}

void AuxOptionsTest::changesWhileRunningRestartWithAutoStart() {
    QFETCH(QString, control);
    QFETCH(bool, autoStart);
    Run run;
    run.Settings(std::string("SinQuality = 3\nPolarity = 2\nFilterActive = 0\nAutoStart = ") +
                 (autoStart ? "1" : "0") + "\n");
    ProgramWindows& windows = run.Start();
    QVERIFY(StartSine(run));
    QVERIFY(!run.Main().restartTimer.isActive());
    windows.Options()->show();
    windows.Additional()->show();
    auto* button = windows.Options()->findChild<QAbstractButton*>(control);
    if (button == nullptr) {
        button = windows.Additional()->findChild<QAbstractButton*>(control);
    }
    QVERIFY(button != nullptr);
    if (qobject_cast<QCheckBox*>(button) != nullptr) {
        windows.Options()->ShowTab(4);
        ClickBox(button);
    } else {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(run.Main().restartTimer.isActive(), autoStart);
    QVERIFY(run.Main().OutputRunning());
}

void AuxOptionsTest::boardOrDeviceChoiceStopsTheOutputFirst_data() {
    QTest::addColumn<bool>("device"); // else the board list
    QTest::newRow("another board") << false;
    QTest::newRow("another device") << true;
}

void AuxOptionsTest::boardOrDeviceChoiceStopsTheOutputFirst() {
    QFETCH(bool, device);
    Run run;
    run.env.Config("answering = 0, 1\n");
    ProgramWindows& windows = run.Start();
    QVERIFY(StartSine(run));
    run.env.ClearJournal();
    QComboBox* list =
        device ? windows.Options()->Form().CBDeviceSelect : windows.Options()->Form().ComboBox4;
    list->setCurrentIndex(1);
    emit list->activated(1);
    QVERIFY(!run.Main().OutputRunning());
    // The board was told to stop before it was opened again.
    const auto journal = run.env.Journal();
    std::size_t stop = journal.size();
    std::size_t open = journal.size();
    for (std::size_t i = 0; i < journal.size(); ++i) {
        if (journal[i].operation == "StopOutput" && stop == journal.size()) {
            stop = i;
        }
        if (journal[i].operation == "OpenBoard" && open == journal.size()) {
            open = i;
        }
    }
    QVERIFY(stop < open);
    QVERIFY(open < journal.size());
}

void AuxOptionsTest::languageSwitchReachesEveryWindow() {
    Run run;
    run.Settings("Language = \"STANDARD\"\n");
    ProgramWindows& windows = run.Start();
    TForm3& options = *windows.Options();
    options.ShowTab(1);
    QCOMPARE(options.Form().ListBox2->currentRow(), 0);

    struct Caption {
        QWidget* window;
        QString russian;
        QString english;
    };
    const std::array<Caption, 6> captions{{
        {&run.Main(), QStringLiteral("Генератор"), QStringLiteral("Generator")},
        {windows.Keyboard(), QStringLiteral("Клавиатура"), QStringLiteral("Keyboard")},
        {windows.Options(), QStringLiteral("Настройки"), QStringLiteral("Settings")},
        {windows.Additional(), QStringLiteral("Дополнительные параметры"),
         QStringLiteral("Additional parameters")},
        {windows.Saving(), QString::fromStdString(run.Main().Core().Text(78)), QString()},
        {windows.FileSettings(), QStringLiteral("Настройки файла"),
         QStringLiteral("File settings")},
    }};
    const QDir screens(QCoreApplication::applicationDirPath() + QStringLiteral("/aux_screens"));
    QDir().mkpath(screens.path());
    const auto shoot = [&](const QString& language) {
        const std::array<std::pair<QWidget*, const char*>, 4> shown{{
            {windows.Keyboard(), "keyboard"},
            {windows.Options(), "options"},
            {windows.Additional(), "extended"},
            {windows.FileSettings(), "file_settings"},
        }};
        for (const auto& [window, name] : shown) {
            window->show();
            if (window == windows.Options()) {
                for (int tab = 0; tab < options.Form().PageControl1->count(); ++tab) {
                    options.Form().PageControl1->setCurrentIndex(tab);
                    window->grab().save(screens.filePath(
                        QStringLiteral("%1_tab%2_%3.png").arg(name).arg(tab).arg(language)));
                }
                options.Form().PageControl1->setCurrentIndex(1);
            } else {
                window->grab().save(
                    screens.filePath(QStringLiteral("%1_%2.png").arg(name, language)));
            }
        }
    };
    for (const Caption& caption : captions) {
        QCOMPARE(caption.window->windowTitle(), caption.russian);
    }
    shoot(QStringLiteral("ru"));

    ClickRow(options.Form().ListBox2, 1);
    QVERIFY(run.Main().Core().Settings().english);
    const QString savingEnglish = QString::fromStdString(run.Main().Core().Text(78));
    QVERIFY(savingEnglish != captions[4].russian);
    for (const Caption& caption : captions) {
        QCOMPARE(caption.window->windowTitle(),
                 caption.english.isEmpty() ? savingEnglish : caption.english);
    }
    QCOMPARE(options.Form().PageControl1->tabText(0), QStringLiteral("Signals"));
    QCOMPARE(options.Form().ListBox1->item(0)->text(), QStringLiteral("Sinus"));
    QCOMPARE(options.Form().CBDeviceSelect->currentIndex(), 0); // selection kept
    QCOMPARE(windows.FileSettings()->Form().Agree->text(), QStringLiteral("Accept"));
    // The data-width group was refilled while its window was shown.
    QCOMPARE(windows.FileSettings()->Choices().size(), std::size_t{1});
    QCOMPARE(windows.FileSettings()->Choices()[0]->text(), QStringLiteral("16 bit"));
    QVERIFY(windows.FileSettings()->Choices()[0]->isVisible());
    QVERIFY(windows.FileSettings()->Choices()[0]->isChecked());
    QCOMPARE(windows.Additional()->Form().Label2->text(), QStringLiteral("Filter:"));
    shoot(QStringLiteral("en"));

    ClickRow(options.Form().ListBox2, 0);
    QVERIFY(!run.Main().Core().Settings().english);
    for (const Caption& caption : captions) {
        QCOMPARE(caption.window->windowTitle(), caption.russian);
    }
    QCOMPARE(run.Shown().size(), std::size_t{0});
}

void AuxOptionsTest::aboutTabLink() {
    Run run;
    ProgramWindows& windows = run.Start();
    TForm3& options = *windows.Options();
    Ui::TForm3& form = options.Form();
    QUrl opened;
    options.openLink = [&](const QUrl& url) { opened = url; };
    options.ShowTab(3);
    QVERIFY(QTest::qWaitForWindowExposed(&options));

    const auto moveOver = [](QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    moveOver(form.Label13, form.Label13->rect().center());
    QCOMPARE(form.Label13->palette().color(QPalette::WindowText), QColor(Qt::blue));
    moveOver(form.TabSheet5, QPoint(form.TabSheet5->width() - 4, form.TabSheet5->height() - 4));
    QCOMPARE(form.Label13->palette().color(QPalette::WindowText), QColor(Qt::black));
    QTest::mouseClick(form.Label13, Qt::LeftButton);
    QCOMPARE(opened, QUrl(QString::fromLatin1(TForm3::kMakerAddress)));
}

QTEST_MAIN(AuxOptionsTest)
#include "aux_options_test.moc"
