// The program as it starts and ends: the seven windows, the main window's layout
// and captions in both languages, the start-up's messages and fatal failures, the
// board display on the simulated boards, the close question, the USB poll, the
// driver reload, SIGTERM and the settings written at the end. Offscreen, with the
// scripted dialogs, a registry file of the test's own and the simulator's journal
// as the oracle.

#include "app/params/scripted_dialogs.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "app/windows/hint_text.h"
#include "app/windows/program_windows.h"
#include "app/windows/termination_signals.h"
#include "tests/app/board/sim_registry.h"
#include "tests/app/windows/program_run.h"
#include "ui_Gen.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using simtest::SimEnvironment;
using windowtest::ReadFile;
using windowtest::Run;

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithCaptionsInTheChosenLanguage_data();
    void startsWithCaptionsInTheChosenLanguage();
    void layoutHasEveryControlInPlace_data();
    void layoutHasEveryControlInPlace();
    void noDriverRegistered();
    void unknownDeviceNameEndsBeforeTheWindowShows();
    void noViewer();
    void missingClockTableEndsTheProgram();
    void pciWhoseFirstIdIsSilent();
    void isaWithOnlyTheThirdIdAnswering();
    void baseNumberBeyondTheBoardsFound();
    void closeWhileRunning_data();
    void closeWhileRunning();
    void unpluggedUsbBoardStopsTheOutputWithinOnePoll();
    void driverReloadFromPciToUsb();
    void sigtermClosesAsQuitAndSavesTheSettings();
    void sigtermDuringTheStartUpClosesOnceTheWindowExists();
    void hintsGoToTheStatusBar_data();
    void hintsGoToTheStatusBar();
};

void MainWindowTest::startsWithCaptionsInTheChosenLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("amplitude");
    QTest::addColumn<QString>("keyboard");
    QTest::addColumn<QString>("firstItem");
    QTest::newRow("English") << "English"
                             << "Generator"
                             << "Start"
                             << "File"
                             << "0.00000 V"
                             << "Keyboard"
                             << "Constant signal";
    QTest::newRow("Russian") << "STANDARD"
                             << "Генератор"
                             << "Старт"
                             << "Файл"
                             << "0.00000 В"
                             << "Клавиатура"
                             << "Постоянный сигнал";
}

void MainWindowTest::startsWithCaptionsInTheChosenLanguage() {
    QFETCH(QString, language);
    QFETCH(QString, title);
    QFETCH(QString, start);
    QFETCH(QString, file);
    QFETCH(QString, amplitude);
    QFETCH(QString, keyboard);
    QFETCH(QString, firstItem);
    Run run;
    run.Settings("Language = \"" + language.toStdString() + "\"\n");
    ProgramWindows& windows = run.Start();
    QVERIFY(!windows.TerminationRequested());
    QVERIFY(run.Main().isVisible());
    QCOMPARE(run.Shown().size(), size_t{0});
    QCOMPARE(run.Main().windowTitle(), title);
    QCOMPARE(run.Form().StartButton->text(), start);
    QCOMPARE(run.Form().N5->title(), file);
    QCOMPARE(run.Form().AmpMain->text(), amplitude);
    QCOMPARE(run.Form().SignalButton->count(), 8);
    QCOMPARE(run.Form().SignalButton->itemText(0), firstItem);
    QVERIFY(run.Form().IsAmpChoose->isChecked());
    // The PCI board 0 answers: board glyph 3, Start enabled, no power indicator,
    // the flash item Write stays hidden (USB only).
    QCOMPARE(run.Main().PlugGlyph(), 3);
    QVERIFY(run.Form().StartButton->isEnabled());
    QVERIFY(!run.Form().PowerPlug->isVisible());
    QVERIFY(!run.Form().N16->isVisible());
    QVERIFY(!run.Form().ProgressBar1->isVisible());
    QVERIFY(run.Main().Core().ViewingAvailable());
    QVERIFY(run.Main().Core().TunerPresent());
    QVERIFY(run.Main().HooksInstalled());

    // The other six windows exist, hidden, with their captions.
    QVERIFY(windows.Keyboard() && windows.Options() && windows.Additional() && windows.Saving() &&
            windows.Preview() && windows.FileSettings());
    QCOMPARE(windows.Keyboard()->windowTitle(), keyboard);
    QCOMPARE(windows.Keyboard()->objectName(), QStringLiteral("TForm2"));
    QCOMPARE(windows.Preview()->windowTitle(), QStringLiteral("Просмотр"));
    for (QWidget* window : std::initializer_list<QWidget*>{
             windows.Keyboard(), windows.Options(), windows.Additional(), windows.Saving(),
             windows.Preview(), windows.FileSettings()}) {
        QVERIFY(!window->isVisible());
        QVERIFY(!window->windowTitle().isEmpty());
    }
    // The keyboard window was given the unit keys of the amplitude.
    QCOMPARE(windows.Keyboard()->UnitKeys()[0], run.Main().UnitKeyCaptions()[0]);

    run.End();
    const std::string saved = ReadFile(run.env.SettingsFile());
    QVERIFY2(saved.find(language == "English" ? "\"English\"" : "\"STANDART\"") !=
                 std::string::npos,
             saved.c_str());
    QVERIFY(saved.find("\"KORD77PCI\"") != std::string::npos);
}

void MainWindowTest::layoutHasEveryControlInPlace_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    const auto row = [](const char* name, int x, int y, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QRect(x, y, w, h);
    };
    row("SignalButton", 4, 4, 180, 22);
    row("StartButton", 188, 3, 76, 24);
    row("ButtonHand", 268, 3, 24, 24);
    row("ImagePlug", 296, 2, 26, 26);
    row("PowerPlug", 324, 5, 20, 20);
    row("IsAmpChoose", 4, 32, 91, 17);
    row("IsFreqChoose", 4, 49, 91, 17);
    row("IsPerChoose", 4, 66, 91, 17);
    row("BlockStart", 4, 66, 91, 17);
    row("IsDurChoose", 4, 83, 91, 17);
    row("BlockSize", 4, 83, 91, 17);
    row("IsAdditionalChoose", 4, 100, 130, 17); // wide enough for its Russian name
    row("Bevel2", 100, 30, 90, 67);
    row("Bevel1", 192, 30, 152, 67);
    row("AmpMain", 104, 32, 84, 16);
    row("FreqMain", 104, 49, 84, 16);
    row("PerMain", 104, 66, 84, 16);
    row("StartBlockMain", 104, 66, 84, 16);
    row("DurMain", 104, 83, 84, 16);
    row("SizeBlockMain", 104, 83, 84, 16);
    row("AmpRez", 196, 32, 144, 16);
    row("FreqRez", 196, 49, 144, 16);
    row("PerRez", 196, 66, 144, 16);
    row("DurRez", 196, 83, 144, 16);
    row("LMinus", 4, 128, 14, 40);
    row("Num1Up", 20, 116, 24, 10);
    row("Num1", 20, 128, 24, 40);
    row("Num1Down", 20, 170, 24, 10);
    row("Zpt1", 44, 146, 6, 22);
    row("Num2", 50, 128, 24, 40);
    row("Zpt2", 74, 146, 6, 22);
    row("Num3", 80, 128, 24, 40);
    row("Zpt3", 104, 146, 6, 22);
    row("Num4", 110, 128, 24, 40);
    row("Zpt4", 134, 146, 6, 22);
    row("Num5Up", 140, 116, 24, 10);
    row("Num5", 140, 128, 24, 40);
    row("Num5Down", 140, 170, 24, 10);
    row("Label6", 168, 140, 30, 18);
    row("NumPowerUp", 200, 116, 30, 10);
    row("NumPower", 200, 128, 30, 26);
    row("NumPowerDown", 200, 156, 30, 10);
    row("UnitName", 234, 140, 50, 18);
    row("MaxBar", 270, 120, 74, 16);
    row("MinBar", 270, 160, 74, 16);
    row("Bar", 4, 190, 340, 26);
    row("ProgressBar1", 4, 224, 340, 16);
}

// Every control where the layout puts it (the entry row at 116-181, Bar at 190,
// the progress bar at 224), the client area of 348 x 265 with the status bar's
// two panels, and every menu item.
void MainWindowTest::layoutHasEveryControlInPlace() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Run run;
    run.Start();
    TForm1& main = run.Main();
    auto* control = main.findChild<QWidget*>(name);
    QVERIFY2(control != nullptr, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->parentWidget(), main.centralWidget());

    QCOMPARE(main.centralWidget()->size(), QSize(348, 246));
    QCOMPARE(main.statusBar()->height(), 19);
    QCOMPARE(main.width(), 348);
    QCOMPARE(main.height(), main.menuBar()->height() + 265);
    QCOMPARE(main.minimumSize(), main.maximumSize());
    QCOMPARE(main.findChild<QLabel*>("StatusPanel0")->width(), 200);
    QCOMPARE(main.findChild<QLabel*>("StatusPanel1")->width(), 292);
    for (const char* item :
         {"N1", "N3", "N4", "N6", "N7", "N8", "N9", "N10", "N11", "N12", "N16", "N17", "N18"}) {
        QVERIFY2(main.findChild<QAction*>(item) != nullptr, item);
    }
    for (const char* menu : {"N5", "N2", "N13", "N15", "N14"}) {
        QVERIFY2(main.findChild<QMenu*>(menu) != nullptr, menu);
    }
}

void MainWindowTest::noDriverRegistered() {
    Run run(true, false);
    run.Start();
    QVERIFY(!run.windows->TerminationRequested());
    QVERIFY(run.Main().isVisible());
    QCOMPARE(run.Shown().size(), size_t{1});
    QCOMPARE(run.CountShown("Не могу загрузить драйвер"), 1);
    QCOMPARE(run.Shown()[0].caption, std::string("Ошибка"));
    QCOMPARE(run.Main().Core().Report().Code(), -8);
    QVERIFY(!run.Form().StartButton->isEnabled());
    QCOMPARE(run.Main().PlugGlyph(), 7);
}

// A DeviceName that is none of the three: message 200 twice (no such driver is
// registered, and no such kind exists), the program ends before its window shows
// and before the other windows are made.
void MainWindowTest::unknownDeviceNameEndsBeforeTheWindowShows() {
    Run run;
    run.Settings("Language = \"English\"\nDeviceName = \"KORD99PCI\"\n");
    run.Start();
    QVERIFY(run.windows->TerminationRequested());
    QVERIFY(!run.Main().isVisible());
    QCOMPARE(run.CountShown("Can't load a driver"), 2);
    QCOMPARE(run.Shown().size(), size_t{2});
    QVERIFY(run.windows->Keyboard() == nullptr);
    QVERIFY(run.env.Calls("OpenBoard").empty());
}

void MainWindowTest::noViewer() {
    Run run(false);
    run.Settings("Language = \"English\"\n");
    run.Start();
    QVERIFY(!run.windows->TerminationRequested());
    QVERIFY(run.Main().isVisible());
    QCOMPARE(run.Shown().size(), size_t{1});
    const params::ShownDialog shown = run.Shown()[0];
    QCOMPARE(shown.kind, params::DialogKind::Inform);
    QCOMPARE(shown.text, std::string("Lupex library.dll not found, viewing unavailable."));
    QCOMPARE(shown.caption, std::string("Attention!"));
    QVERIFY(!run.Main().Core().ViewingAvailable());
    QVERIFY(run.Form().StartButton->isEnabled());
}

void MainWindowTest::missingClockTableEndsTheProgram() {
    Run run;
    run.Settings("Language = \"English\"\n");
    run.env.Config("clocks =\n");
    run.Start();
    QVERIFY(run.windows->TerminationRequested());
    QVERIFY(!run.Main().isVisible());
    QCOMPARE(run.Shown().size(), size_t{1});
    QCOMPARE(run.CountShown("Can't load the table of frequences"), 1);
    QCOMPARE(run.Main().Core().Report().Code(), -9);
}

void MainWindowTest::pciWhoseFirstIdIsSilent() {
    Run run;
    run.env.Config("answering = 1\n");
    run.Start();
    QVERIFY(run.Main().isVisible());
    QCOMPARE(run.OpenedIds(), (std::vector<std::string>{"KORD77PCI 0"}));
    QCOMPARE(run.Main().PlugGlyph(), 7);
    QVERIFY(!run.Form().StartButton->isEnabled());
    QVERIFY(!run.Main().Core().Board().BoardFound());
}

void MainWindowTest::isaWithOnlyTheThirdIdAnswering() {
    Run run;
    run.Settings("DeviceName = \"KORD77ISA\"\n");
    run.env.Config("KORD77ISA.board_ids = 0x300, 0x310, 0x320\nKORD77ISA.answering = 0x320\n");
    run.Start();
    QVERIFY(run.Main().isVisible());
    std::string opened;
    for (const std::string& id : run.OpenedIds()) {
        opened += id + "; ";
    }
    // Discovery tries the three, start-up opens the answering one, and the options
    // window opens the chosen board once more when it is made.
    QVERIFY2(run.OpenedIds() ==
                 (std::vector<std::string>{"KORD77ISA 768", "KORD77ISA 784", "KORD77ISA 800",
                                           "KORD77ISA 800", "KORD77ISA 800"}),
             opened.c_str());
    QCOMPARE(run.Main().Core().Board().FoundCount(), 1);
    QCOMPARE(run.Main().Core().Board().SelectedId(), 0x320);
    QCOMPARE(run.Main().PlugGlyph(), 2);
    QVERIFY(run.Form().StartButton->isEnabled());
}

void MainWindowTest::baseNumberBeyondTheBoardsFound() {
    Run run;
    run.Settings("BaseNumber = 5\n");
    run.env.Config("answering = 0, 1\n");
    run.Start();
    QCOMPARE(run.Main().Core().Board().FoundCount(), 2);
    QCOMPARE(run.OpenedIds().back(), std::string("KORD77PCI 0"));
    QCOMPARE(run.Main().Core().Settings().baseNumber, 0);
    run.End();
    const std::string saved = ReadFile(run.env.SettingsFile());
    QVERIFY2(saved.find("BaseNumber        = 0 ") != std::string::npos, saved.c_str());
}

void MainWindowTest::closeWhileRunning_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("stops");
    QTest::newRow("Cancel") << int(params::DialogAnswer::Cancel) << false << 0;
    QTest::newRow("No") << int(params::DialogAnswer::No) << true << 1;
    QTest::newRow("Yes") << int(params::DialogAnswer::Yes) << true << 0;
}

// While the output runs, closing asks whether the board shall keep playing:
// Cancel keeps the window, No stops the board, Yes leaves it playing.
void MainWindowTest::closeWhileRunning() {
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(int, stops);
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    QTest::mouseClick(run.Form().StartButton, Qt::LeftButton);
    QTRY_VERIFY(run.Main().OutputRunning());
    run.dialogs.ScriptAnswer(static_cast<params::DialogAnswer>(answer));
    run.env.ClearJournal();
    run.Form().N7->trigger(); // File / Quit
    QCOMPARE(run.Shown().size(), size_t{1});
    const params::ShownDialog asked = run.Shown()[0];
    QCOMPARE(asked.kind, params::DialogKind::Ask);
    QCOMPARE(asked.buttons, params::DialogButtons::YesNoCancel);
    QCOMPARE(asked.caption, std::string("Attention!"));
    QVERIFY(asked.text.find("Now the signal is played over.\n") == 0);
    QCOMPARE(run.Main().isVisible(), !closes);
    QCOMPARE(static_cast<int>(run.env.Calls("StopOutput").size()), stops);

    // Not running: the window closes at once, without a question.
    if (!closes) {
        QTest::mouseClick(run.Form().StartButton, Qt::LeftButton);
        QTRY_VERIFY(!run.Main().OutputRunning());
        run.Main().close();
        QVERIFY(!run.Main().isVisible());
        QCOMPARE(run.Shown().size(), size_t{1});
    }
}

// A USB board that asks for polling, unplugged while the output runs and no
// transfer is under way: within one poll period (200 ms) Start is disabled and the
// Start/Stop action stops the output.
void MainWindowTest::unpluggedUsbBoardStopsTheOutputWithinOnePoll() {
    Run run;
    run.Settings("DeviceName = \"KORD77USB\"\n");
    run.Start();
    QVERIFY(run.Main().boardPollTimer.isActive());
    QCOMPARE(run.Main().boardPollTimer.interval(), 200);
    QCOMPARE(run.Main().PlugGlyph(), 0);
    QVERIFY(run.Form().PowerPlug->isVisible());
    QVERIFY(run.Main().PowerPictureNormal());
    QVERIFY(run.Form().N16->isVisible());
    QVERIFY(run.Form().StartButton->isEnabled());

    QTest::mouseClick(run.Form().StartButton, Qt::LeftButton);
    QTRY_VERIFY(run.Main().OutputRunning());
    QTRY_VERIFY(run.Main().Core().Output().TransferFinished());
    // Settle on a tick boundary, then unplug.
    QTest::qWait(50);
    run.env.ClearJournal();
    QElapsedTimer clock;
    clock.start();
    run.env.State("connected = 0\n");
    QTRY_VERIFY_WITH_TIMEOUT(!run.Main().OutputRunning(), 2000);
    const qint64 stoppedAfter = clock.elapsed();
    // The first tick after the unplug must act: a missed tick would show as 400 ms
    // or more (the margin below that is for a loaded test machine).
    QVERIFY2(stoppedAfter < 2 * 200, qPrintable(QString::number(stoppedAfter)));
    QVERIFY(!run.Form().StartButton->isEnabled());
    QCOMPARE(run.Main().PlugGlyph(), 4);
    QVERIFY(!run.Form().PowerPlug->isVisible());
    QVERIFY(!run.Form().N15->menuAction()->isEnabled());

    // Plugged in again: the board is back.
    run.env.State("connected = 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(run.Form().StartButton->isEnabled(), 1000);
    QCOMPARE(run.Main().PlugGlyph(), 0);
}

void MainWindowTest::driverReloadFromPciToUsb() {
    Run run;
    run.Start();
    QCOMPARE(run.Main().PlugGlyph(), 3);
    QVERIFY(!run.Main().boardPollTimer.isActive());
    run.env.ClearJournal();
    // The output's transfer must end while the old driver still exists.
    class TransferWatch final : public board::OutputControl {
    public:
        explicit TransferWatch(const SimEnvironment& env) : env_(env) {}
        bool Running() const override { return false; }
        bool BoardStopped() const override { return true; }
        bool TransferFinished() const override { return true; }
        void StartStop() override {}
        void StopBoard() override {}
        void EndTransfer() override {
            const auto journal = env_.Journal();
            releasedBefore = releasedBefore ||
                             std::any_of(journal.begin(), journal.end(), [](const auto& entry) {
                                 return entry.operation == "Release";
                             });
            ++ended;
        }
        bool AllocateBuffer(int32_t) override { return true; }
        int ended = 0;
        bool releasedBefore = false;

    private:
        const SimEnvironment& env_;
    } watch(run.env);
    board::OutputControl& attached = run.Main().Core().Output();
    run.Main().Core().AttachOutput(&watch);
    run.Main().Core().ReloadDriver("KORD77USB");
    run.Main().Core().AttachOutput(&attached);
    QVERIFY(watch.ended >= 1);
    QVERIFY(!watch.releasedBefore);
    QCOMPARE(run.Shown().size(), size_t{0});
    std::vector<std::string> calls;
    for (const auto& entry : run.env.Journal()) {
        if (entry.operation == "Release" || entry.operation == "OpenBoard") {
            calls.push_back(entry.driver + " " + entry.operation);
        }
    }
    QVERIFY(calls.size() >= 2);
    QCOMPARE(calls.front(), std::string("KORD77PCI Release"));
    QCOMPARE(calls.back(), std::string("KORD77USB OpenBoard"));
    QCOMPARE(run.Main().Core().Board().Kind(), DeviceKind::Usb);
    QCOMPARE(run.Main().PlugGlyph(), 0);
    QVERIFY(run.Form().PowerPlug->isVisible());
    QVERIFY(run.Form().N16->isVisible());
    QVERIFY(run.Form().StartButton->isEnabled());
    QVERIFY(run.Main().boardPollTimer.isActive());
    QVERIFY(run.Main().Core().Board().Information().secondModule.present);
    run.End();
    QVERIFY(ReadFile(run.env.SettingsFile()).find("\"KORD77USB\"") != std::string::npos);
}

void MainWindowTest::sigtermClosesAsQuitAndSavesTheSettings() {
    Run run;
    run.Settings("Language = \"English\"\nAmplitude = 1.5\n");
    run.Start();
    QVERIFY(run.Main().isVisible());
    QVERIFY(!std::filesystem::exists(run.env.Folder() / "generator.cfg.tmp"));
    {
        TerminationSignals closeOnSignal(run.Main());
        QVERIFY(closeOnSignal.Installed());
        std::raise(SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!run.Main().isVisible(), 2000);
        QCOMPARE(closeOnSignal.LastSignal(), SIGTERM);
    }
    run.End();
    const std::string saved = ReadFile(run.env.SettingsFile());
    QVERIFY2(saved.find("Amplitude         = 1.500000") != std::string::npos, saved.c_str());
}

// The handlers are in place before the start-up: a SIGTERM that arrives while the
// windows are being made (and a box runs its own event loop) closes the program
// in order once the main window is attached, instead of killing it half-started.
void MainWindowTest::sigtermDuringTheStartUpClosesOnceTheWindowExists() {
    Run run;
    run.Settings("Language = \"English\"\nAmplitude = 2.5\n");
    TerminationSignals closeOnSignal;
    QVERIFY(closeOnSignal.Installed());
    std::raise(SIGTERM);
    QCoreApplication::processEvents(); // as a box during the start-up would
    QCOMPARE(closeOnSignal.LastSignal(), SIGTERM);
    run.Start();
    closeOnSignal.Attach(run.Main());
    QTRY_VERIFY_WITH_TIMEOUT(!run.Main().isVisible(), 2000);
    run.End();
    const std::string saved = ReadFile(run.env.SettingsFile());
    QVERIFY2(saved.find("Amplitude         = 2.500000") != std::string::npos, saved.c_str());
}

void MainWindowTest::hintsGoToTheStatusBar_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("status");
    QTest::newRow("plain") << "Start/Stop"
                           << "Start/Stop"
                           << "Start/Stop";
    QTest::newRow("two parts") << "Long hint text|Short"
                               << "Long hint text"
                               << "Short";
    QTest::newRow("empty status") << "Only a tooltip|"
                                  << "Only a tooltip"
                                  << "";
    QTest::newRow("second bar kept") << "a|b|c"
                                     << "a"
                                     << "b|c";
}

void MainWindowTest::hintsGoToTheStatusBar() {
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QString, status);
    const HintParts parts = SplitHint(text);
    QCOMPARE(parts.toolTip, toolTip);
    QCOMPARE(parts.status, status);

    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    QWidget* control = run.Form().IsAmpChoose;
    SetHint(control, text.toStdString());
    QCOMPARE(control->toolTip(), toolTip);
    QCOMPARE(control->statusTip(), status);
    // What the mouse over a control sends: the status part lands in the first panel.
    QStatusTipEvent tip(control->statusTip());
    QApplication::sendEvent(control, &tip);
    QCOMPARE(run.Main().StatusPanelText(0), status);
    QCOMPARE(run.Main().StatusPanelText(1), QString());
    // The texts of the table reach the controls: text 98 "Start/Stop".
    QCOMPARE(run.Form().StartButton->statusTip(), QStringLiteral("Start/Stop"));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
