// The main window's commands on the whole program with the simulated boards: the
// signal type's two layouts and their captions in both languages, File / Load with
// the windows it hides and brings back, the data file's cut and the block moved
// into a shorter file, and the View, Settings and Help menus. Screenshots of both
// layouts in both languages go to $SCREENSHOT_DIR, else to "screenshots" beside the
// test program.

#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "app/windows/main_file_load.h"
#include "app/windows/main_signal_list.h"
#include "tests/app/windows/program_run.h"
#include "ui_Extendedparamwindow.h"
#include "ui_Gen.h"

#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <string>
#include <vector>

namespace {

using windowtest::Run;

std::string WriteBytes(const QTemporaryDir& dir, const char* name,
                       const std::vector<uint8_t>& bytes) {
    const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<uint8_t> Pattern(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    }
    return bytes;
}

QString ScreenshotFolder() {
    const QByteArray chosen = qgetenv("SCREENSHOT_DIR");
    const QString folder = chosen.isEmpty()
                               ? QCoreApplication::applicationDirPath() + "/screenshots"
                               : QString::fromLocal8Bit(chosen);
    QDir().mkpath(folder);
    return folder;
}

// Loads `path` through File / Load and accepts the file settings.
void LoadAndAccept(Run& run, const std::string& path) {
    run.dialogs.ScriptOpenFile(path);
    run.Form().N6->trigger();
    QVERIFY(run.windows->FileSettings()->isVisible());
    QTest::mouseClick(run.windows->FileSettings()->findChild<QPushButton*>("Agree"),
                      Qt::LeftButton);
}

} // namespace

class MainCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void fileTypeLayoutAndCaptions_data();
    void fileTypeLayoutAndCaptions();
    void fileTypeStopsAnOutputWithoutAFile();
    void readingDataFiles_data();
    void readingDataFiles();
    void loadHidesAndRestoresTheVisibleWindows_data();
    void loadHidesAndRestoresTheVisibleWindows();
    void unreadableFileKeepsTheLoadedOne();
    void shorterFileMovesTheBlockIntoIt();
    void blockChangesRepaintThePreview();
    void blockFitsEveryFile_data();
    void blockFitsEveryFile();
    void viewAndSettingsMenus();
    void additionalKeyAndChoice();
    void screenshotsOfBothLayouts_data();
    void screenshotsOfBothLayouts();
};

void MainCommandsTest::fileTypeLayoutAndCaptions_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("fr");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("fileItem");
    QTest::addColumn<QString>("saving");
    QTest::newRow("English") << "English"
                             << "Range"
                             << "FR"
                             << "Frequency"
                             << "Load from file"
                             << "Saving";
    QTest::newRow("Russian") << "STANDARD"
                             << "Амплитуда"
                             << "ЧД"
                             << "Частота"
                             << "Загрузить из файла"
                             << "Сохранение";
}

void MainCommandsTest::fileTypeLayoutAndCaptions() {
    QFETCH(QString, language);
    QFETCH(QString, range);
    QFETCH(QString, fr);
    QFETCH(QString, frequency);
    QFETCH(QString, fileItem);
    QFETCH(QString, saving);
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"" + language.toStdString() + "\"\n");
    run.Start();
    Ui::TForm1& form = run.Form();
    run.windows->Saving()->show();
    QCOMPARE(form.IsFreqChoose->text(), frequency);
    QVERIFY(form.IsPerChoose->isVisible() && form.IsDurChoose->isVisible());

    // The operator picks the last item of the list with the keyboard.
    form.SignalButton->setFocus();
    QTest::keyClick(form.SignalButton, Qt::Key_End);
    QCOMPARE(form.SignalButton->currentIndex(), signal_type::File);
    QCOMPARE(run.Main().Core().Model()->Params().type, signal_type::File);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{form.IsPerChoose, form.IsDurChoose, form.PerMain,
                                         form.DurMain, form.PerRez, form.DurRez}) {
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    }
    for (QWidget* shown : std::initializer_list<QWidget*>{
             form.AmpMain, form.FreqMain, form.AmpRez, form.FreqRez, form.StartBlockMain,
             form.SizeBlockMain, form.BlockStart, form.BlockSize}) {
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    }
    QCOMPARE(form.IsAmpChoose->text(), range);
    QCOMPARE(form.IsFreqChoose->text(), fr);
    QVERIFY(form.IsAmpChoose->isChecked());
    QCOMPARE(form.Bevel2->height(), form.IsAdditionalChoose->y() - form.Bevel2->y());
    QCOMPARE(form.Bevel1->height(), form.PerRez->y() - form.Bevel1->y() - 2);
    QVERIFY(!form.N4->isEnabled());
    QVERIFY(form.N18->isEnabled());                // the viewer is there
    QVERIFY(!form.N15->menuAction()->isEnabled()); // PCI: no flash memory
    QVERIFY(!run.windows->Saving()->isVisible());
    QVERIFY(
        !run.windows->Additional()->Form().ButtonPlusPolar->isVisibleTo(run.windows->Additional()));
    // The closed list shows the name in a field of 19 characters.
    auto* list = static_cast<SignalList*>(form.SignalButton);
    QCOMPARE(list->FieldText(), SignalFieldText(fileItem));
    QCOMPARE(list->FieldText().size(), 19);

    // Back to the sine: the synthesis layout and the names again.
    QTest::keyClick(form.SignalButton, Qt::Key_Home);
    QTest::keyClick(form.SignalButton, Qt::Key_Down);
    QCOMPARE(run.Main().Core().Model()->Params().type, signal_type::Sine);
    QVERIFY(form.IsPerChoose->isVisible() && form.IsDurChoose->isVisible());
    QVERIFY(!form.BlockStart->isVisible() && !form.StartBlockMain->isVisible());
    QCOMPARE(form.Bevel1->height(), 67);
    QCOMPARE(form.Bevel2->height(), 67);
    QCOMPARE(form.IsFreqChoose->text(), frequency);
    QCOMPARE(form.FreqRez->text(), QStringLiteral("0"));
    QVERIFY(form.N4->isEnabled());
    QCOMPARE(form.N4->text(), saving);
    QVERIFY(!form.N18->isEnabled());
    QVERIFY(
        run.windows->Additional()->Form().ButtonPlusPolar->isVisibleTo(run.windows->Additional()));
}

void MainCommandsTest::fileTypeStopsAnOutputWithoutAFile() {
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"English\"\n");
    run.Start();
    if (run.Main().Generation() == nullptr) {
        QSKIP("generation control is not attached by this build's program windows");
    }
    QTest::mouseClick(run.Form().StartButton, Qt::LeftButton);
    QTRY_VERIFY(run.Main().OutputRunning());
    run.Form().SignalButton->setCurrentIndex(signal_type::File);
    QVERIFY(!run.Main().OutputRunning());
}

void MainCommandsTest::readingDataFiles_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("lastSampleIndex");
    QTest::addColumn<int>("bytes");
    QTest::newRow("empty: two samples 0x3FFF") << 0 << 1 << 4;
    QTest::newRow("3 bytes: 2 samples, the fourth byte 0") << 3 << 1 << 4;
    QTest::newRow("5 bytes: the odd byte left out") << 5 << 1 << 4;
    QTest::newRow("1000 bytes") << 1000 << 499 << 1000;
    QTest::newRow("1 MiB exactly") << 0x100000 << 0x7FFFF << 0x100000;
    QTest::newRow("over 1 MiB: cut") << 0x100000 + 4097 << 0x7FFFF << 0x100000;
}

void MainCommandsTest::readingDataFiles() {
    QFETCH(int, size);
    QFETCH(int, lastSampleIndex);
    QFETCH(int, bytes);
    QTemporaryDir dir;
    const std::vector<uint8_t> content = Pattern(static_cast<size_t>(size));
    const std::string path = WriteBytes(dir, "signal.dat", content);
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"English\"\n");
    run.Start();
    LoadAndAccept(run, path);
    const SignalParameters& p = run.Main().Core().Model()->Params();
    QVERIFY(p.fileLoaded);
    QCOMPARE(p.type, signal_type::File);
    QCOMPARE(p.lastSampleIndex, lastSampleIndex);
    const std::vector<uint8_t>& data = run.Main().FileData();
    QCOMPARE(data.size(), static_cast<size_t>(bytes));
    if (size == 0) {
        QCOMPARE(data, (std::vector<uint8_t>{0xFF, 0x3F, 0xFF, 0x3F}));
    } else {
        const size_t read = std::min(content.size(), data.size());
        QVERIFY(std::equal(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(read),
                           content.begin()));
        for (size_t i = read; i < data.size(); ++i) {
            QCOMPARE(data[i], uint8_t{0});
        }
    }
    // The dialog was asked for data files first, then any file.
    const std::vector<params::ShownDialog> dialogs = run.Shown();
    QCOMPARE(dialogs.size(), size_t{1});
    QCOMPARE(dialogs[0].kind, params::DialogKind::OpenFile);
    QCOMPARE(QString::fromStdString(dialogs[0].text), QStringLiteral("Dat(*.dat);;All files (*)"));
}

void MainCommandsTest::loadHidesAndRestoresTheVisibleWindows_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("cancelled") << false;
}

void MainCommandsTest::loadHidesAndRestoresTheVisibleWindows() {
    QFETCH(bool, accept);
    QTemporaryDir dir;
    const std::string path = WriteBytes(dir, "a.dat", Pattern(200));
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"English\"\n");
    ProgramWindows& windows = run.Start();
    windows.Keyboard()->show();
    windows.Additional()->show();
    run.dialogs.ScriptOpenFile(path);
    run.Form().N6->trigger();
    // Every window is hidden but the file settings window.
    for (QWidget* window : std::initializer_list<QWidget*>{&run.Main(), windows.Keyboard(),
                                                           windows.Options(), windows.Additional(),
                                                           windows.Saving(), windows.Preview()}) {
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    }
    QVERIFY(windows.FileSettings()->isVisible());
    QVERIFY(!windows.FileSettings()->close()); // only Accept or Cancel end it

    QTest::mouseClick(windows.FileSettings()->findChild<QPushButton*>(accept ? "Agree" : "Cancel"),
                      Qt::LeftButton);
    QVERIFY(!windows.FileSettings()->isVisible());
    // Exactly the windows that were visible come back (and the preview when the
    // accepted file is shown at once).
    QVERIFY(run.Main().isVisible());
    QVERIFY(windows.Keyboard()->isVisible());
    QVERIFY(windows.Additional()->isVisible());
    QVERIFY(!windows.Options()->isVisible());
    QVERIFY(!windows.Saving()->isVisible());
    QCOMPARE(windows.Preview()->isVisible(), accept && run.Main().Core().Settings().autoView);
    // The file is there either way; Cancel only leaves the reading settings alone.
    QVERIFY(run.Main().Core().Model()->Params().fileLoaded);
    QCOMPARE(run.Main().Core().Model()->Params().lastSampleIndex, 99);
}

void MainCommandsTest::unreadableFileKeepsTheLoadedOne() {
    QTemporaryDir dir;
    const std::string path = WriteBytes(dir, "a.dat", Pattern(400));
    Run run;
    run.Settings("SignalType = 7\nLanguage = \"English\"\n");
    run.Start();
    LoadAndAccept(run, path);
    run.dialogs.ScriptOpenFile(dir.filePath("missing.dat").toStdString());
    run.Form().N6->trigger();
    run.dialogs.ScriptOpenFile(dir.path().toStdString()); // a folder
    run.Form().N6->trigger();
    run.dialogs.ScriptOpenFile(std::nullopt); // cancelled
    run.Form().N6->trigger();
    QVERIFY(!run.windows->FileSettings()->isVisible());
    QVERIFY(run.Main().isVisible());
    QVERIFY(run.Main().Core().Model()->Params().fileLoaded);
    QCOMPARE(run.Main().Core().Model()->Params().lastSampleIndex, 199);
    QCOMPARE(run.Main().FileData(), Pattern(400));
}

void MainCommandsTest::shorterFileMovesTheBlockIntoIt() {
    QTemporaryDir dir;
    const std::string longer = WriteBytes(dir, "long.dat", Pattern(2000));
    const std::string shorter = WriteBytes(dir, "short.dat", Pattern(200));
    Run run;
    run.Settings("SignalType = 7\nLanguage = \"English\"\n");
    run.Start();
    LoadAndAccept(run, longer);
    ParameterModel& model = *run.Main().Core().Model();
    QTest::mouseClick(run.Form().BlockStart, Qt::LeftButton);
    QTest::mouseClick(run.Form().MaxBar, Qt::LeftButton); // start 998: the last two samples
    QCOMPARE(model.Params().blockStart, 998);
    QCOMPARE(model.Params().blockSize, 2);

    run.dialogs.ScriptOpenFile(shorter);
    run.Form().N6->trigger();
    // 100 samples: the block start beyond them moves to the end minus 2.
    QCOMPARE(model.Params().lastSampleIndex, 99);
    QCOMPARE(model.Params().blockStart, 97);
    QCOMPARE(model.Params().blockSize, 2);
    QCOMPARE(run.Form().StartBlockMain->text(), QStringLiteral("97"));
    QCOMPARE(run.Form().SizeBlockMain->text(), QStringLiteral("2"));
    // The entry edits the block start of the new file.
    QCOMPARE(run.Main().Core().Entry()->Maximum(), 98.0);
    QCOMPARE(run.Form().Num5->text(), QStringLiteral("7"));
}

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

void MainCommandsTest::blockChangesRepaintThePreview() {
    QTemporaryDir dir;
    Run run;
    run.Settings("SignalType = 7\nLanguage = \"English\"\nAutoView = 1\n");
    run.Start();
    LoadAndAccept(run, WriteBytes(dir, "a.dat", Pattern(2000)));
    TForm6* preview = run.windows->Preview();
    QVERIFY(preview->isVisible());
    PaintCounter counter;
    preview->PaintBox()->installEventFilter(&counter);
    QTest::qWait(50);
    const int before = counter.paints;
    QTest::mouseClick(run.Form().BlockStart, Qt::LeftButton);
    QTest::mouseClick(run.Form().Num5Up, Qt::LeftButton);
    QCOMPARE(run.Main().Core().Model()->Params().blockStart, 1);
    QCOMPARE(run.Main().Core().Model()->Markers()[1].position, 1.0f);
    QTRY_VERIFY(counter.paints > before);
}

void MainCommandsTest::blockFitsEveryFile_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("fittedStart");
    QTest::addColumn<int>("fittedSize");
    QTest::newRow("fits as it is") << 10 << 20 << 99 << 10 << 20;
    QTest::newRow("ends on the last sample") << 90 << 10 << 99 << 90 << 10;
    QTest::newRow("start beyond the end") << 900 << 100 << 99 << 97 << 2;
    QTest::newRow("start on the last sample") << 99 << 2 << 99 << 98 << 2;
    QTest::newRow("runs past the end: even rest") << 91 << 20 << 99 << 91 << 8;
    QTest::newRow("runs past the end: odd rest") << 90 << 20 << 99 << 90 << 10;
    QTest::newRow("two samples, start beyond") << 50 << 40 << 1 << 0 << 2;
    QTest::newRow("three samples, start beyond") << 50 << 40 << 2 << 0 << 2;
    QTest::newRow("one sample left") << 97 << 4 << 97 << 96 << 2;
}

void MainCommandsTest::blockFitsEveryFile() {
    QFETCH(int, start);
    QFETCH(int, size);
    QFETCH(int, last);
    QFETCH(int, fittedStart);
    QFETCH(int, fittedSize);
    const SampleBlock fitted = FitBlockToFile({start, size}, last);
    QCOMPARE(fitted.start, fittedStart);
    QCOMPARE(fitted.size, fittedSize);
    QVERIFY(fitted.start + fitted.size <= last + 1);
}

void MainCommandsTest::viewAndSettingsMenus() {
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"English\"\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm1& form = run.Form();
    const auto toggles = [](QAction* item, QWidget* window) {
        item->trigger();
        QVERIFY2(window->isVisible(), qPrintable(item->objectName()));
        item->trigger();
        QVERIFY2(!window->isVisible(), qPrintable(item->objectName()));
    };
    toggles(form.N1, windows.Keyboard());
    toggles(form.N3, windows.Additional());
    toggles(form.N4, windows.Saving());

    auto* pages = windows.Options()->findChild<QTabWidget*>();
    QVERIFY(pages);
    for (auto [item, page] : {std::pair{form.N8, 0}, std::pair{form.N11, 1}, std::pair{form.N9, 2},
                              std::pair{form.N12, 3}, std::pair{form.N10, 4}}) {
        item->trigger();
        QVERIFY(windows.Options()->isVisible());
        QCOMPARE(pages->currentIndex(), page);
    }
    windows.Options()->hide();
    QTest::mouseClick(form.ImagePlug, Qt::LeftButton);
    QVERIFY(windows.Options()->isVisible());
    QCOMPARE(pages->currentIndex(), 4);

    // View / View: the preview of the file type.
    form.SignalButton->setCurrentIndex(signal_type::File);
    toggles(form.N18, windows.Preview());
    form.N18->trigger();
    form.SignalButton->setCurrentIndex(signal_type::Sine); // another type closes it
    QVERIFY(!windows.Preview()->isVisible());
}

void MainCommandsTest::additionalKeyAndChoice() {
    Run run;
    run.Settings("SignalType = 1\nLanguage = \"English\"\n");
    ProgramWindows& windows = run.Start();
    Ui::TForm1& form = run.Form();
    EntryController& entry = *run.Main().Core().Entry();
    const auto star = [&] { QTest::keyClick(form.Num1, Qt::Key_Asterisk, Qt::KeypadModifier); };
    // The window hidden and the choice not made: the key does nothing.
    star();
    QCOMPARE(entry.Kind(), kind::Amplitude);
    QVERIFY(!windows.Additional()->isVisible());

    // The first choice of the additional parameters opens the window.
    QTest::mouseClick(form.IsAdditionalChoose, Qt::LeftButton);
    QVERIFY(windows.Additional()->isVisible());
    QVERIFY(windows.Additional()->Form().ParamList->isEnabled());
    QCOMPARE(windows.Additional()->Form().ParamList->currentRow(), 0);
    QCOMPARE(entry.Kind(), kind::Offset);
    QVERIFY(form.Bar->isVisible());
    QTest::mouseClick(form.IsFreqChoose, Qt::LeftButton);
    QVERIFY(!windows.Additional()->Form().ParamList->isEnabled());
    QVERIFY(!form.Bar->isVisible());

    // Visible window, other choice: the key goes to the additional parameters.
    star();
    QCOMPARE(entry.Kind(), kind::Offset);
    QVERIFY(form.IsAdditionalChoose->isChecked());
    // Chosen already: the window comes back and stays on its (only) parameter.
    windows.Additional()->hide();
    star();
    QVERIFY(windows.Additional()->isVisible());
    QCOMPARE(entry.Kind(), kind::Offset);

    // After the open-on-additional flag was cleared the window stays hidden.
    run.Main().ReselectParameter();
    QVERIFY(!run.Main().OpenOnAdditional());
    windows.Additional()->hide();
    QTest::mouseClick(form.IsAmpChoose, Qt::LeftButton);
    QTest::mouseClick(form.IsAdditionalChoose, Qt::LeftButton);
    QVERIFY(!windows.Additional()->isVisible());
    QCOMPARE(entry.Kind(), kind::Offset);
}

void MainCommandsTest::screenshotsOfBothLayouts_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("type");
    QTest::newRow("en-sine") << "English" << signal_type::Sine;
    QTest::newRow("en-file") << "English" << signal_type::File;
    QTest::newRow("ru-sine") << "STANDARD" << signal_type::Sine;
    QTest::newRow("ru-file") << "STANDARD" << signal_type::File;
}

void MainCommandsTest::screenshotsOfBothLayouts() {
    QFETCH(QString, language);
    QFETCH(int, type);
    QTemporaryDir dir;
    Run run;
    run.Settings("SignalType = " + std::to_string(type) + "\nLanguage = \"" +
                 language.toStdString() + "\"\nAmplitude = 1.5\nFrequency = 1000\n");
    run.Start();
    if (type == signal_type::File) {
        LoadAndAccept(run, WriteBytes(dir, "s.dat", Pattern(4000)));
        run.windows->Preview()->hide();
    }
    const QPixmap shot = run.Main().grab();
    QVERIFY(!shot.isNull());
    QCOMPARE(shot.size(), run.Main().size());
    const QString file =
        ScreenshotFolder() + "/main-" + QString::fromLatin1(QTest::currentDataTag()) + ".png";
    QVERIFY(shot.save(file));
}

QTEST_MAIN(MainCommandsTest)
#include "main_commands_test.moc"
