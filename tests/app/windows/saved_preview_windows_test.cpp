// The saved-signals window TForm5 and the preview window TForm6 in the real program
// windows: the main window's start-up with the simulated PCI board, the viewer and
// the scripted dialogs, in a folder of the test's own (the settings file and
// "generator.sav" live there).

#include "app/params/cslparams.h"
#include "app/params/preview_block.h"
#include "app/params/scripted_dialogs.h"
#include "app/windows/Gen.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "app/windows/program_windows.h"
#include "ui_Savewindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

params::SignalRecord Record(const char* name, int type, double amplitude) {
    params::SignalRecord r = params::EmptySignalRecord();
    params::SetRecordName(r, name);
    r.type = type;
    r.amplitude = amplitude;
    r.frequency = 1000;
    r.duration = 0.0002;
    r.offset = 0;
    r.polarity = 2;
    return r;
}

std::string Bytes(const std::vector<params::SignalRecord>& records) {
    return std::string(reinterpret_cast<const char*>(records.data()),
                       records.size() * sizeof(params::SignalRecord));
}

std::string ReadFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FileNames(const QString& path) {
    params::SignalRecordStore store;
    store.Open(path.toStdString());
    std::vector<std::string> names;
    for (const auto& r : store.Records()) {
        names.push_back(params::RecordName(r));
    }
    return names;
}

} // namespace

class SavedPreviewWindowsTest : public QObject {
    Q_OBJECT

private:
    QString Store() const { return folder_->filePath(QStringLiteral("generator.sav")); }
    // The program's windows on a store that holds `records`.
    void Start(const std::string& storeBytes) {
        WriteFile(Store(), storeBytes);
        board::StartupOptions options;
        options.dialogs = &dialogs_;
        options.programPath = folder_->filePath(QStringLiteral("generator")).toStdString();
        options.files.programFolderWritable = true;
        windows_ = std::make_unique<ProgramWindows>(options);
        QVERIFY(!windows_->TerminationRequested());
        QVERIFY(windows_->Saving() != nullptr);
        QVERIFY(windows_->Preview() != nullptr);
        dialogs_.Reset();
    }
    TForm5& Saving() { return *windows_->Saving(); }
    TForm6& Preview() { return *windows_->Preview(); }
    ParameterModel& Model() { return *windows_->Main().Core().Model(); }
    // Delivers the mouse events sent so far, then paints the box once.
    static void Paint(QWidget* box) {
        QCoreApplication::processEvents();
        box->grab();
    }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QTemporaryDir> simOut_;
    params::ScriptedDialogs dialogs_;
    std::unique_ptr<ProgramWindows> windows_;

private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        simOut_ = std::make_unique<QTemporaryDir>();
        qputenv("KORD77_SIM_OUT", simOut_->path().toUtf8());
        qunsetenv("KORD77_SIM_CONFIG");
        qunsetenv("KORD77_SIM_STATE");
        dialogs_.Reset();
    }
    void cleanup() {
        windows_.reset();
        qunsetenv("KORD77_SIM_OUT");
    }

    void storeIsShownAtCreation() {
        Start(Bytes({Record("first", 1, 2.5), Record("second", 2, 1)}));
        auto& form = Saving().Form();
        QCOMPARE(form.SaveList->count(), 2);
        QCOMPARE(form.SaveList->item(0)->text(), QStringLiteral("first"));
        QCOMPARE(form.SaveList->currentRow(), 0);
        QCOMPARE(form.Label3->text(), QStringLiteral("Синус"));
        QCOMPARE(form.AmpMain->text(), QStringLiteral("2.50000 В"));
        QVERIFY(!form.DurMain->isEnabled());
        QCOMPARE(form.SaveName->text(), QStringLiteral("first"));
        QCOMPARE(dialogs_.ShownCount(), std::size_t{0});

        form.SaveList->setCurrentRow(1); // the operator picks the pulse
        QCOMPARE(form.Label3->text(), QStringLiteral("Импульс"));
        QVERIFY(form.DurMain->isEnabled());
    }

    void saveWithoutSelectionAppendsAndWritesAtOnce() {
        Start(Bytes({Record("a", 1, 1), Record("b", 1, 1), Record("c", 1, 1)}));
        auto& form = Saving().Form();
        form.SaveList->clearSelection();
        QTest::mouseClick(form.SaveButton, Qt::LeftButton);
        QCOMPARE(form.SaveList->count(), 4);
        QCOMPARE(FileNames(Store()), (std::vector<std::string>{"a", "b", "c", "signal3"}));
    }

    void saveWithTheFirstEntryInsertsFirst() {
        Start(Bytes({Record("a", 1, 1), Record("b", 1, 1)}));
        QTest::mouseClick(Saving().Form().SaveButton, Qt::LeftButton);
        QCOMPARE(FileNames(Store()), (std::vector<std::string>{"signal2", "a", "b"}));
    }

    void enterInTheNameRenames() {
        Start(Bytes({Record("a", 1, 1)}));
        auto& form = Saving().Form();
        form.SaveName->clear();
        const QString name29(29, QChar('n'));
        QTest::keyClicks(form.SaveName, name29);
        QTest::keyClick(form.SaveName, Qt::Key_Return);
        QCOMPARE(FileNames(Store()), std::vector<std::string>{name29.toStdString()});
        form.SaveName->setText(QString(30, QChar('m')));
        QTest::keyClick(form.SaveName, Qt::Key_Enter);
        QCOMPARE(FileNames(Store()), std::vector<std::string>{name29.toStdString()});
        QCOMPARE(dialogs_.ShownCount(), std::size_t{0});
    }

    void deleteRemovesFromTheFile() {
        Start(Bytes({Record("a", 1, 1), Record("b", 1, 1)}));
        Saving().Form().SaveList->setCurrentRow(1);
        QTest::mouseClick(Saving().Form().DeleteButton, Qt::LeftButton);
        QCOMPARE(FileNames(Store()), std::vector<std::string>{"a"});
    }

    void applyPutsTheRecordIntoTheMainWindow() {
        params::SignalRecord pulse = Record("pulse", 2, 1.25);
        pulse.polarity = 0;
        pulse.playOnce = 1;
        Start(Bytes({pulse}));
        QTest::mouseClick(Saving().Form().ApplyButton, Qt::LeftButton);
        const SignalParameters& p = Model().Params();
        QCOMPARE(p.type, 2);
        QCOMPARE(p.amplitude, 1.25);
        QCOMPARE(p.frequency, 1000.0);
        QCOMPARE(p.duration, 0.0002);
        QCOMPARE(p.polarity, 0);
        QVERIFY(p.playLoop);
        QCOMPARE(dialogs_.ShownCount(), std::size_t{0});
    }

    void anInvalidRecordErasesWithACopyKept() {
        params::SignalRecord bad = Record("bad", 1, 1);
        bad.polarity = 3;
        const std::string original = Bytes({bad});
        WriteFile(Store(), original);
        board::StartupOptions options;
        options.dialogs = &dialogs_;
        options.programPath = folder_->filePath(QStringLiteral("generator")).toStdString();
        windows_ = std::make_unique<ProgramWindows>(options);
        QVERIFY(!windows_->TerminationRequested());
        bool erased = false;
        const std::string message18 = windows_->Main().Core().Text(18);
        QVERIFY(!message18.empty());
        for (const auto& shown : dialogs_.Shown()) {
            erased = erased || shown.text == message18;
        }
        QVERIFY2(erased, "message 18 was shown");
        QCOMPARE(Saving().Form().SaveList->count(), 0);
        QCOMPARE(ReadFile(Store()), std::string());
        QCOMPARE(ReadFile(Store() + QStringLiteral(".bad")), original);
    }

    void theWindowsKeepTheirPlaces() {
        Start(std::string());
        Saving().move(123, 45);
        Preview().move(200, 60);
        Preview().resize(500, 300);
        windows_.reset(); // the settings are written at the end
        const std::string settings = ReadFile(folder_->filePath(QStringLiteral("generator.cfg")));
        QVERIFY(settings.find("Save_X") != std::string::npos);
        Start(std::string());
        QCOMPARE(Saving().pos(), QPoint(123, 45));
        QCOMPARE(Preview().size(), QSize(500, 300));
    }

    void previewWithoutAFileIgnoresTheMouse() {
        Start(std::string());
        Preview().resize(500, 300);
        Preview().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Preview()));
        const int32_t start = Model().Params().blockStart;
        QTest::mouseClick(Preview().PaintBox(), Qt::LeftButton, {}, QPoint(300, 100));
        QCOMPARE(Model().Params().blockStart, start);
        const QImage blank = Preview().PaintBox()->grab().toImage();
        QCOMPARE(blank.pixelColor(250, 150), Preview().palette().window().color());
    }

    void previewClicksSetTheBlockAtTheCursor() {
        Start(std::string());
        // A loaded file of 1000 words: a ramp.
        std::vector<int16_t> words(1000);
        for (int i = 0; i < 1000; ++i) {
            words[static_cast<std::size_t>(i)] = static_cast<int16_t>(i * 16 - 8000);
        }
        std::vector<uint8_t> bytes(words.size() * 2);
        std::memcpy(bytes.data(), words.data(), bytes.size());
        Model().SetLoadedFile(true, 999);
        Model().SetBlockStart(0);
        Model().SetBlockSize(600);
        Preview().SetFileData(bytes);
        Preview().resize(500, 300);
        Preview().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Preview()));
        QWidget* box = Preview().PaintBox();

        // The viewer drew the trace: the picture is not blank.
        const QImage painted = box->grab().toImage();
        QVERIFY(painted.pixelColor(250, 150) != Preview().palette().window().color());

        QTest::mouseMove(box, QPoint(box->width() * 3 / 4, 100));
        Paint(box); // a painting takes the cursor from the viewer
        const int32_t cursor = Preview().CursorSample();
        QVERIFY(cursor > 600 && cursor < 900);
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(box->width() * 3 / 4, 100));
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(box->width() * 3 / 4, 100));
        const PreviewBlock left = LeftClickBlock(cursor, {0, 600}, 1000, Model().Board().memory);
        QCOMPARE(Model().Params().blockStart, left.start);
        QCOMPARE(Model().Params().blockSize, left.size);
        QCOMPARE(Model().Markers()[1].position, static_cast<float>(left.start));
        QCOMPARE(Model().Markers()[2].position, static_cast<float>(left.start + left.size - 1));

        // A right click before the block start: a block of 2 at the old start.
        QTest::mouseMove(box, QPoint(box->width() / 4, 100));
        Paint(box);
        QVERIFY(Preview().CursorSample() < left.start);
        QTest::mousePress(box, Qt::RightButton, {}, QPoint(box->width() / 4, 100));
        QCOMPARE(Model().Params().blockStart, left.start);
        QCOMPARE(Model().Params().blockSize, 2);
    }

    void previewDoubleClickShowsTheWholeFileAgain() {
        Start(std::string());
        std::vector<uint8_t> bytes(2000, 0);
        Model().SetLoadedFile(true, 999);
        Preview().SetFileData(bytes);
        Preview().resize(500, 300);
        Preview().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Preview()));
        QWidget* box = Preview().PaintBox();
        Paint(box); // the first painting
        // Zoom in with the middle button, then the cursor at the left edge is no
        // longer sample 0.
        QTest::mouseClick(box, Qt::MiddleButton, {}, QPoint(box->width() / 2, 100));
        QTest::mouseMove(box, QPoint(1, 100));
        Paint(box);
        QVERIFY(Preview().CursorSample() > 0);
        QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(1, 100));
        Paint(box);
        QCOMPARE(Preview().CursorSample(), 0);
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    SavedPreviewWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "saved_preview_windows_test.moc"
