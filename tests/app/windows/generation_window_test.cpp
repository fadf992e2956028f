// Generation control in the running program: StartButton, ButtonHand, the flash
// menu, File / Load and the timers of the main window drive the simulated boards. What the board
// records and its journal are the oracle; the realised values are read from the
// window's labels as the operator sees them.

#include "app/board/generation_control.h"
#include "app/board/generation_host.h"
#include "app/params/file_conversion.h"
#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/generation_panel.h"
#include "app/windows/window_pictures.h"
#include "tests/app/windows/program_run.h"
#include "ui_Extendedparamwindow.h"
#include "ui_Fileconfig.h"
#include "ui_Gen.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using windowtest::Run;

// Timeouts of the waits below, milliseconds.
constexpr int kWaitMs = 10000;

// The number of a realised-value label: "12.3456 kHz" with unit "Hz" is 12345.6.
double LabelValue(const QString& text, const QString& unit) {
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() != 2 || !parts[1].endsWith(unit)) {
        return std::nan("");
    }
    const QString prefix = parts[1].left(parts[1].size() - unit.size());
    double scale = 1;
    if (prefix == QStringLiteral("n")) {
        scale = 1e-9;
    } else if (prefix == QStringLiteral("µ")) {
        scale = 1e-6;
    } else if (prefix == QStringLiteral("m")) {
        scale = 1e-3;
    } else if (prefix == QStringLiteral("k")) {
        scale = 1e3;
    } else if (prefix == QStringLiteral("M")) {
        scale = 1e6;
    } else if (prefix == QStringLiteral("G")) {
        scale = 1e9;
    } else if (!prefix.isEmpty()) {
        return std::nan("");
    }
    bool ok = false;
    const double number = parts[0].toDouble(&ok);
    return ok ? number * scale : std::nan("");
}

// Whether `button` shows the picture `path`.
bool ShowsPicture(const QAbstractButton* button, const QString& path) {
    const QImage picture = QPixmap(path).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage shown =
        button->icon().pixmap(picture.size()).toImage().convertToFormat(QImage::Format_ARGB32);
    return !picture.isNull() && shown == picture;
}

// Periods in a cyclic record: upward crossings of the middle level.
int CountPeriods(const std::vector<int16_t>& codes, int lowest, int highest) {
    const double middle = (lowest + highest) / 2.0;
    int periods = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        const double next = codes[(i + 1) % codes.size()];
        periods += codes[i] < middle && next >= middle ? 1 : 0;
    }
    return periods;
}

std::vector<int32_t> LoadCounts(const Run& run) {
    std::vector<int32_t> counts;
    for (const auto& entry : run.env.Calls("LoadSamples")) {
        counts.push_back(std::stoi(entry.Arg("count")));
    }
    return counts;
}

// Control calls of one code in the journal.
size_t ControlCalls(const Run& run, int32_t code) {
    const auto calls = run.env.Calls("Control");
    return static_cast<size_t>(std::count_if(
        calls.begin(), calls.end(), [code](const auto& entry) { return entry.Code() == code; }));
}

// Whether the board plays now (as the driver says).
bool BoardPlays(Run& run) {
    int32_t playing = 0;
    IADCDevice* device = run.Main().Core().Board().Driver();
    return device != nullptr && device->Control(ctl::Playing, &playing) == 1 && playing != 0;
}

// A little-endian 16-bit data file of `count` words: a ramp over the whole range.
std::vector<uint8_t> RampFile(size_t count) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < count; ++i) {
        const auto word = static_cast<uint16_t>((i * 37) % 65536);
        bytes.push_back(static_cast<uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
    }
    return bytes;
}

ParameterModel& Model(Run& run) {
    return *run.Main().Core().Model();
}

// The operator's choice of a synthesised signal, as the entry would make it.
void ChooseSignal(Run& run, int type, double frequency, double amplitude, double offset,
                  int polarity) {
    ParameterModel& model = Model(run);
    model.SelectType(type);
    run.Main().SelectSignalType(type);
    model.SetPolarity(polarity);
    model.SetAdditional(kind::Offset, offset);
    model.SetFrequency(frequency);
    model.SetAmplitude(amplitude);
}

// Writes a data file of `words` ramp samples into the run's folder.
std::string WriteDataFile(Run& run, size_t words) {
    const std::filesystem::path path = run.env.Folder() / "samples.dat";
    const std::vector<uint8_t> bytes = RampFile(words);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

// File / Load of a data file of `words` samples, accepted in the file settings
// window, then the block and sample clock chosen. The boxes of the load are
// forgotten. False when the load did not go as the operator sees it.
bool LoadDataFile(Run& run, size_t words, int32_t blockStart, int32_t blockSize,
                  double sampleClock) {
    run.dialogs.ScriptOpenFile(WriteDataFile(run, words));
    run.Form().N6->trigger();
    TForm7* fileSettings = run.windows->FileSettings();
    if (!fileSettings->isVisible() || run.Main().isVisible()) {
        return false;
    }
    QTest::mouseClick(fileSettings->Form().Agree, Qt::LeftButton);
    if (fileSettings->isVisible() || !run.Main().isVisible() || run.Shown().size() != 1 ||
        run.Main().FileData().size() != words * 2) {
        return false;
    }
    run.dialogs.Reset();
    ParameterModel& model = Model(run);
    model.SetSampleClock(sampleClock);
    model.SetFileAmplitude(4.0);
    model.SetBlockSize(blockSize);
    model.SetBlockStart(blockStart);
    model.SetBlockSize(blockSize);
    const SignalParameters& p = model.Params();
    return p.fileLoaded && p.type == signal_type::File && p.blockStart == blockStart &&
           p.blockSize == blockSize;
}

std::vector<int16_t> ConvertedBlock(Run& run) {
    const SignalParameters& p = Model(run).Params();
    return ConvertFileBlock(
        run.Main().FileData(), p.blockStart, p.blockSize,
        FileConversionOf(Model(run), FileLayoutOf(run.Main().Core().Settings())), false);
}

void ClickStart(Run& run) {
    QTest::mouseClick(run.Form().StartButton, Qt::LeftButton);
}

bool ShowsStart(Run& run) {
    return run.Form().StartButton->text() == QStringLiteral("Start") &&
           ShowsPicture(run.Form().StartButton, pictures::kStart);
}

bool ShowsStop(Run& run) {
    return run.Form().StartButton->text() == QStringLiteral("Stop") &&
           ShowsPicture(run.Form().StartButton, pictures::kStop);
}

} // namespace

class GenerationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startShowsWhatTheBoardPlaysAndStopStopsIt_data();
    void startShowsWhatTheBoardPlaysAndStopStopsIt();
    void singlePlayReplaysWithoutReloadingAndReleasesTheButton();
    void changesWhileRunningRestartThroughTheRestartTimer();
    void overflowReleasesTheButton_data();
    void overflowReleasesTheButton();
    void fileWithoutDataAnsweredNoChangesNothing();
    void fileWithoutDataAnsweredYesPlaysWhenTheLoadIsAccepted();
    void fileBlockIsSentInChunksAndPlayed_data();
    void fileBlockIsSentInChunksAndPlayed();
    void flashWriteAndErase();
    void unpluggedUsbBoardReleasesTheButtonWithinOnePoll();
    void closeWhileRunning_data();
    void closeWhileRunning();
    void endingTheProgramWhileAFileIsSent();
};

void GenerationWindowTest::startShowsWhatTheBoardPlaysAndStopStopsIt_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("polarity");
    QTest::newRow("sine 1 kHz bipolar")
        << signal_type::Sine << 1000.0 << 2.0 << 0.0 << polarity::Bipolar;
    QTest::newRow("sine 12.3456 kHz small, positive, offset")
        << signal_type::Sine << 12345.6 << 0.3 << 0.1 << polarity::Positive;
    QTest::newRow("triangle 2 kHz bipolar, offset")
        << signal_type::Triangle << 2000.0 << 3.0 << -1.0 << polarity::Bipolar;
}

// Start by StartButton: the board plays continuously a signal whose frequency is
// the one FreqRez shows, whose levels span the output range AmpRez shows and whose
// offset the extended parameters window shows as realised; the button shows Stop. A second click
// stops the board and shows Start again.
void GenerationWindowTest::startShowsWhatTheBoardPlaysAndStopStopsIt() {
    QFETCH(int, type);
    QFETCH(double, frequency);
    QFETCH(double, amplitude);
    QFETCH(double, offset);
    QFETCH(int, polarity);
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    QVERIFY(run.windows->Generation() != nullptr);
    QCOMPARE(run.Main().Generation(), &run.windows->Generation()->Generation());
    ChooseSignal(run, type, frequency, amplitude, offset, polarity);
    QVERIFY(ShowsStart(run));
    run.env.ClearJournal();

    ClickStart(run);
    QCOMPARE(run.Shown().size(), size_t{0});
    QVERIFY(ShowsStop(run));
    QVERIFY(run.Main().OutputRunning());
    QVERIFY(BoardPlays(run));

    const auto read = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(read.record, read.error.c_str());
    const boardsim::OutputRecord& record = *read.record;
    QVERIFY(record.continuous);
    QCOMPARE(record.clipped, 0);
    const auto [low, high] = std::minmax_element(record.codes.begin(), record.codes.end());
    QVERIFY(*high > *low);

    const double shownFrequency = LabelValue(run.Form().FreqRez->text(), QStringLiteral("Hz"));
    QVERIFY2(!std::isnan(shownFrequency), qPrintable(run.Form().FreqRez->text()));
    // Six digits shown: the label is exact to a few parts in a million.
    const int periods = CountPeriods(record.codes, *low, *high);
    QVERIFY(periods > 0);
    const double played = record.clock * periods / static_cast<double>(record.codes.size());
    QVERIFY2(std::fabs(played - shownFrequency) <= shownFrequency * 1e-5,
             qPrintable(QStringLiteral("played %1 Hz, shown %2").arg(played).arg(shownFrequency)));
    QVERIFY(std::fabs(shownFrequency - frequency) <= frequency * 0.02);

    // AmpRez shows the output range "lowest / highest" of the realised amplitude
    // around the entered offset: the played levels are within the offset's code step
    // and the amplitude's of it. Volts at the load: the record gives them without load.
    const QStringList range = run.Form().AmpRez->text().split(QStringLiteral(" / "));
    QCOMPARE(range.size(), 2);
    const double shownLow = LabelValue(range[0], QStringLiteral("V"));
    const double shownHigh = LabelValue(range[1], QStringLiteral("V"));
    QVERIFY2(!std::isnan(shownLow) && !std::isnan(shownHigh),
             qPrintable(run.Form().AmpRez->text()));
    const double rLoad = run.Main().Core().Settings().rLoad;
    const double voltsPerCode = record.voltsPerCode * rLoad / (rLoad + 50.0);
    for (const auto& [playedVolts, shownVolts] :
         {std::pair{*low * voltsPerCode, shownLow}, std::pair{*high * voltsPerCode, shownHigh}}) {
        QVERIFY2(std::fabs(playedVolts - shownVolts) <=
                     2.0001 * voltsPerCode + std::fabs(shownVolts) * 5e-5,
                 qPrintable(QStringLiteral("played %1 V, shown %2 (%3)")
                                .arg(playedVolts)
                                .arg(shownVolts)
                                .arg(run.Form().AmpRez->text())));
    }

    // The extended parameters window shows the offset the board plays around (its
    // unit is always the Russian volt).
    const double shownOffset =
        LabelValue(run.windows->Additional()->Form().Real0->text(), QStringLiteral("В"));
    QVERIFY2(!std::isnan(shownOffset), qPrintable(run.windows->Additional()->Form().Real0->text()));
    const double playedOffset =
        polarity == polarity::Bipolar ? (*low + *high) / 2.0 * voltsPerCode : *low * voltsPerCode;
    QVERIFY2(
        std::fabs(playedOffset - shownOffset) <=
            1.0001 * voltsPerCode + std::fabs(shownOffset) * 5e-5,
        qPrintable(QStringLiteral("played %1 V, shown %2").arg(playedOffset).arg(shownOffset)));

    run.env.ClearJournal();
    ClickStart(run);
    QVERIFY(ShowsStart(run));
    QVERIFY(!run.Main().OutputRunning());
    QVERIFY(!run.env.Calls("StopOutput").empty());
    QVERIFY(!BoardPlays(run));
    QCOMPARE(run.Shown().size(), size_t{0});
}

// ButtonHand chooses single play: the board plays the signal once and the
// single-play watch releases the button when it has ended. Started again with the
// signal unchanged, the board replays what it holds: nothing is loaded or set again.
void GenerationWindowTest::singlePlayReplaysWithoutReloadingAndReleasesTheButton() {
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    ChooseSignal(run, signal_type::Sine, 1000.0, 1.0, 0.0, polarity::Bipolar);
    QVERIFY(!run.Form().ButtonHand->isChecked());
    QTest::mouseClick(run.Form().ButtonHand, Qt::LeftButton);
    QVERIFY(run.Form().ButtonHand->isChecked());
    QVERIFY(Model(run).Params().playLoop);

    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QVERIFY(run.Main().singlePlayTimer.isActive());
    const auto first = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(first.record, first.error.c_str());
    QVERIFY(!first.record->continuous);
    QTRY_VERIFY_WITH_TIMEOUT(ShowsStart(run), kWaitMs);
    QVERIFY(!run.Main().OutputRunning());
    QVERIFY(!run.Main().singlePlayTimer.isActive());
    QVERIFY(!BoardPlays(run));

    run.env.ClearJournal();
    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QCOMPARE(run.env.Calls("StartOutput").size(), size_t{1});
    QVERIFY(run.env.Calls("LoadSamples").empty());
    QVERIFY(run.env.Calls("ApplySettings").empty());
    const auto replay = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(replay.record, replay.error.c_str());
    QCOMPARE(replay.record->number, first.record->number + 1);
    QCOMPARE(replay.record->codes, first.record->codes);
    QTRY_VERIFY_WITH_TIMEOUT(ShowsStart(run), kWaitMs);
    QCOMPARE(run.Shown().size(), size_t{0});

    // ButtonHand again: continuous play, and the button shows it.
    QTest::mouseClick(run.Form().ButtonHand, Qt::LeftButton);
    QVERIFY(!run.Form().ButtonHand->isChecked());
    QVERIFY(!Model(run).Params().playLoop);
}

// With auto start, a change while the board plays restarts it 160 ms later (timer
// 2): the single-play switch and a new frequency both reach the board.
void GenerationWindowTest::changesWhileRunningRestartThroughTheRestartTimer() {
    Run run;
    run.Settings("Language = \"English\"\nAutoStart = 1\n");
    run.Start();
    QVERIFY(run.Main().Core().Settings().autoStart);
    ChooseSignal(run, signal_type::Sine, 1000.0, 1.0, 0.0, polarity::Bipolar);
    ClickStart(run);
    QVERIFY(ShowsStop(run));
    const auto started = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(started.record, started.error.c_str());

    // A new frequency from the entry.
    Model(run).SetFrequency(5000.0);
    QVERIFY(run.Main().restartTimer.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!run.Main().restartTimer.isActive(), kWaitMs);
    const auto restarted = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(restarted.record, restarted.error.c_str());
    QCOMPARE(restarted.record->number, started.record->number + 1);
    QVERIFY(restarted.record->continuous);
    const double shown = LabelValue(run.Form().FreqRez->text(), QStringLiteral("Hz"));
    QVERIFY(std::fabs(shown - 5000.0) <= 5000.0 * 0.02);
    QVERIFY(ShowsStop(run));
    QVERIFY(BoardPlays(run));

    // Single play chosen while playing: the restart plays once and is released.
    QTest::mouseClick(run.Form().ButtonHand, Qt::LeftButton);
    QVERIFY(run.Main().restartTimer.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(ShowsStart(run), kWaitMs);
    const auto single = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(single.record, single.error.c_str());
    QCOMPARE(single.record->number, restarted.record->number + 1);
    QVERIFY(!single.record->continuous);
    QCOMPARE(run.Shown().size(), size_t{0});
}

void GenerationWindowTest::overflowReleasesTheButton_data() {
    QTest::addColumn<bool>("whileRunning");
    QTest::newRow("at the start") << false;
    QTest::newRow("on a restart while running") << true;
}

// Amplitude and offset beyond MaxVolts: "Owerflow" with no caption, the button
// released, nothing (more) played and no restart pending.
void GenerationWindowTest::overflowReleasesTheButton() {
    QFETCH(bool, whileRunning);
    Run run;
    run.Settings("Language = \"English\"\nAutoStart = 1\nMaxVolts = 2.5\n");
    run.Start();
    ChooseSignal(run, signal_type::Sine, 1000.0, 1.0, 1.0, polarity::Positive);
    QVERIFY(Model(run).Params().withinVoltageLimits);
    if (whileRunning) {
        ClickStart(run);
        QVERIFY(ShowsStop(run));
        QVERIFY(BoardPlays(run));
    }
    run.env.ClearJournal();
    Model(run).SetAmplitude(2.0);
    QVERIFY(!Model(run).Params().withinVoltageLimits);
    if (whileRunning) {
        QVERIFY(run.Main().restartTimer.isActive());
        QTRY_VERIFY_WITH_TIMEOUT(run.Shown().size() == 1, kWaitMs);
    } else {
        ClickStart(run);
    }
    QCOMPARE(run.Shown().size(), size_t{1});
    const params::ShownDialog shown = run.Shown()[0];
    QCOMPARE(shown.kind, params::DialogKind::Inform);
    QCOMPARE(shown.text, std::string("Owerflow"));
    QCOMPARE(shown.caption, std::string());
    QVERIFY(ShowsStart(run));
    QVERIFY(!run.Main().OutputRunning());
    QVERIFY(!run.Main().restartTimer.isActive());
    QVERIFY(run.env.Calls("StartOutput").empty());
    QVERIFY(run.env.Calls("LoadSamples").empty());
    QVERIFY(!BoardPlays(run));
}

// The data file source without a loaded file: Start asks whether to load one;
// No leaves the button released and tells the board nothing.
void GenerationWindowTest::fileWithoutDataAnsweredNoChangesNothing() {
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    Model(run).SelectType(signal_type::File);
    run.Main().SelectSignalType(signal_type::File);
    run.env.ClearJournal();
    run.dialogs.ScriptAnswer(params::DialogAnswer::No);
    ClickStart(run);
    QCOMPARE(run.Shown().size(), size_t{1});
    QCOMPARE(run.Shown()[0].kind, params::DialogKind::Ask);
    QCOMPARE(run.Shown()[0].text, std::string("File not downloaded. Download?"));
    QVERIFY(ShowsStart(run));
    QVERIFY(!run.Main().OutputRunning());
    QVERIFY(!Model(run).Params().fileLoaded);
    QVERIFY(run.env.Journal().empty());
    QCOMPARE(run.dialogs.UnscriptedAsks(), 0);
}

// The data file source without a loaded file, Yes: File / Load runs; the button
// shows Stop at once, but the board is told nothing until the file settings are
// accepted. Then the whole file (2500 samples) goes to the board in three chunks.
void GenerationWindowTest::fileWithoutDataAnsweredYesPlaysWhenTheLoadIsAccepted() {
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    Model(run).SelectType(signal_type::File);
    run.Main().SelectSignalType(signal_type::File);
    run.dialogs.ScriptAnswer(params::DialogAnswer::Yes);
    run.dialogs.ScriptOpenFile(WriteDataFile(run, 2500));
    run.env.ClearJournal();

    ClickStart(run);
    QCOMPARE(run.Shown().size(), size_t{2});
    QCOMPARE(run.Shown()[0].text, std::string("File not downloaded. Download?"));
    QCOMPARE(run.Shown()[1].kind, params::DialogKind::OpenFile);
    TForm7* fileSettings = run.windows->FileSettings();
    QVERIFY(fileSettings->isVisible());
    QVERIFY(ShowsStop(run));
    QVERIFY(run.Main().OutputRunning());
    QVERIFY(run.env.Calls("LoadSamples").empty());
    QVERIFY(run.env.Calls("StartOutput").empty());

    QTest::mouseClick(fileSettings->Form().Agree, Qt::LeftButton);
    QVERIFY(run.Main().isVisible());
    QCOMPARE(Model(run).Params().blockSize, 2500);
    QTRY_VERIFY_WITH_TIMEOUT(!run.Main().Generation()->TransferRunning(), kWaitMs);
    QCOMPARE(LoadCounts(run), (std::vector<int32_t>{1024, 1024, 452}));
    const auto read = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(read.record, read.error.c_str());
    QCOMPARE(read.record->words, ConvertedBlock(run));
    QVERIFY(BoardPlays(run));
    QVERIFY(ShowsStop(run));
    QCOMPARE(run.Shown().size(), size_t{2});
}

void GenerationWindowTest::fileBlockIsSentInChunksAndPlayed_data() {
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<bool>("singlePlay");
    QTest::addColumn<std::vector<int32_t>>("chunks");
    QTest::newRow("2500 samples") << 2500 << false << std::vector<int32_t>{1024, 1024, 452};
    QTest::newRow("1024 samples") << 1024 << false << std::vector<int32_t>{1024};
    QTest::newRow("2500 samples played once")
        << 2500 << true << std::vector<int32_t>{1024, 1024, 452};
}

// A block of the loaded file goes to the board in chunks of 1024 samples from the
// transfer thread while the progress bar shows it; the board plays the converted
// block. Single play plays it once and the watch releases the button.
void GenerationWindowTest::fileBlockIsSentInChunksAndPlayed() {
    QFETCH(int, blockSize);
    QFETCH(bool, singlePlay);
    QFETCH(std::vector<int32_t>, chunks);
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    QVERIFY(LoadDataFile(run, 3000, 100, blockSize, 1e6));
    if (singlePlay) {
        QTest::mouseClick(run.Form().ButtonHand, Qt::LeftButton);
    }
    run.env.ClearJournal();

    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QVERIFY(run.Form().ProgressBar1->isVisible());
    QCOMPARE(run.Form().ProgressBar1->maximum(), blockSize);
    QVERIFY(run.Main().progressTimer.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!run.Main().progressTimer.isActive(), kWaitMs);
    QVERIFY(!run.Form().ProgressBar1->isVisible());
    QCOMPARE(run.Shown().size(), size_t{0});

    QCOMPARE(LoadCounts(run), chunks);
    const auto read = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(read.record, read.error.c_str());
    QCOMPARE(read.record->words, ConvertedBlock(run));
    QCOMPARE(read.record->dataFormat, 1);
    QCOMPARE(read.record->clock, 1e6);
    QCOMPARE(read.record->continuous, !singlePlay);
    if (singlePlay) {
        QTRY_VERIFY_WITH_TIMEOUT(ShowsStart(run), kWaitMs);
        QVERIFY(!BoardPlays(run));
        QCOMPARE(run.env.Calls("StartOutput").size(), size_t{1});
    } else {
        QVERIFY(ShowsStop(run));
        QVERIFY(BoardPlays(run));
        ClickStart(run);
        QVERIFY(ShowsStart(run));
        QVERIFY(!BoardPlays(run));
    }
}

// The flash menu of a USB board: Write is disabled while the output runs and
// enabled when it stops; it stores the first 500 samples of a 2000-sample block;
// the menu then offers Erase; Erase answered No sends nothing, Yes erases.
void GenerationWindowTest::flashWriteAndErase() {
    Run run;
    run.Settings("Language = \"English\"\nDeviceName = \"KORD77USB\"\n");
    run.Start();
    QVERIFY(run.Form().N16->isVisible());
    QVERIFY(LoadDataFile(run, 3000, 0, 2000, 1e6));
    QVERIFY(run.Form().N16->isEnabled());
    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QVERIFY(!run.Form().N16->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!run.Main().progressTimer.isActive(), kWaitMs);
    QVERIFY(BoardPlays(run));
    ClickStart(run);
    QVERIFY(ShowsStart(run));
    QVERIFY(run.Form().N16->isEnabled());

    run.env.ClearJournal();
    run.dialogs.ScriptAnswer(params::DialogAnswer::Yes);
    run.Form().N16->trigger();
    QCOMPARE(run.Shown().size(), size_t{2});
    QCOMPARE(run.Shown()[0].text, std::string("Do you really wish to write on flash?"));
    QCOMPARE(run.Shown()[1].text, std::string("Write succesful."));
    QCOMPARE(ControlCalls(run, ctl::FlashWrite), size_t{1});
    const auto flash = boardsim::ReadFlashRecord(run.env.SimFolder());
    QVERIFY2(flash.record, flash.error.c_str());
    QCOMPARE(flash.record->words.size(), size_t{500});
    QCOMPARE(flash.record->clock, 1e6);

    // Opening the menu asks whether the flash may be erased.
    run.Form().N17->setEnabled(false);
    emit run.Form().N15->aboutToShow();
    QVERIFY(run.Form().N17->isEnabled());

    run.env.ClearJournal();
    run.dialogs.ScriptAnswer(params::DialogAnswer::No);
    run.Form().N17->trigger();
    QCOMPARE(run.Shown().size(), size_t{3});
    QCOMPARE(run.Shown()[2].text, std::string("Do you really wish to erase flash?"));
    QCOMPARE(ControlCalls(run, ctl::FlashWrite), size_t{0});

    run.dialogs.ScriptAnswer(params::DialogAnswer::Yes);
    run.Form().N17->trigger();
    QCOMPARE(run.Shown().size(), size_t{5});
    QCOMPARE(run.Shown()[4].text, std::string("Flash erase succesful"));
    QCOMPARE(ControlCalls(run, ctl::FlashWrite), size_t{1});
    emit run.Form().N15->aboutToShow();
    QVERIFY(!run.Form().N17->isEnabled());
}

// A USB board unplugged while it plays: the next board poll (200 ms) disables
// Start and runs the Start/Stop action, which releases the button. Plugged in
// again, Start plays the signal anew.
void GenerationWindowTest::unpluggedUsbBoardReleasesTheButtonWithinOnePoll() {
    Run run;
    run.Settings("Language = \"English\"\nDeviceName = \"KORD77USB\"\n");
    run.Start();
    ChooseSignal(run, signal_type::Sine, 1000.0, 1.0, 0.0, polarity::Bipolar);
    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QVERIFY(BoardPlays(run));
    const auto before = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(before.record, before.error.c_str());

    QElapsedTimer clock;
    clock.start();
    run.env.State("connected = 0\n");
    QTRY_VERIFY_WITH_TIMEOUT(ShowsStart(run), 2000);
    // A missed tick would show as 400 ms or more.
    QVERIFY2(clock.elapsed() < 2 * 200, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!run.Main().OutputRunning());
    QVERIFY(!run.Form().StartButton->isEnabled());
    QCOMPARE(run.Shown().size(), size_t{0});

    run.env.State("connected = 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(run.Form().StartButton->isEnabled(), 2000);
    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QVERIFY(BoardPlays(run));
    const auto after = boardsim::ReadLatestRecord(run.env.SimFolder());
    QVERIFY2(after.record, after.error.c_str());
    QCOMPARE(after.record->number, before.record->number + 1);
    QCOMPARE(after.record->codes, before.record->codes);
    QCOMPARE(run.Shown().size(), size_t{0});
}

void GenerationWindowTest::closeWhileRunning_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("plays");
    QTest::newRow("Cancel") << int(params::DialogAnswer::Cancel) << false << true;
    QTest::newRow("No") << int(params::DialogAnswer::No) << true << false;
    QTest::newRow("Yes") << int(params::DialogAnswer::Yes) << true << true;
}

// Closing while the board plays asks whether it shall keep playing: Cancel keeps
// the window, No stops the board, Yes leaves it playing. The program then ends
// and saves its settings.
void GenerationWindowTest::closeWhileRunning() {
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, plays);
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    ChooseSignal(run, signal_type::Sine, 1000.0, 1.0, 0.0, polarity::Bipolar);
    ClickStart(run);
    QVERIFY(BoardPlays(run));
    run.dialogs.ScriptAnswer(static_cast<params::DialogAnswer>(answer));
    run.Form().N7->trigger(); // File / Quit
    QCOMPARE(run.Shown().size(), size_t{1});
    QCOMPARE(run.Shown()[0].buttons, params::DialogButtons::YesNoCancel);
    QCOMPARE(run.Main().isVisible(), !closes);
    QCOMPARE(BoardPlays(run), plays);

    run.End();
    QVERIFY(windowtest::ReadFile(run.env.SettingsFile()).find("\"KORD77PCI\"") !=
            std::string::npos);
}

// The program ends while a large block is still being sent: the transfer is
// aborted and joined before the driver goes, and the settings are saved.
void GenerationWindowTest::endingTheProgramWhileAFileIsSent() {
    Run run;
    run.Settings("Language = \"English\"\n");
    run.Start();
    // The largest file File / Load reads: 1 MiB.
    QVERIFY(LoadDataFile(run, 524288, 0, 524288, 1e6));
    ClickStart(run);
    QVERIFY(ShowsStop(run));
    QVERIFY(run.Main().Generation()->TransferRunning() || !run.env.Calls("StartOutput").empty());
    run.dialogs.ScriptAnswer(params::DialogAnswer::No);
    run.Form().N7->trigger();
    run.End();
    QVERIFY(windowtest::ReadFile(run.env.SettingsFile()).find("\"KORD77PCI\"") !=
            std::string::npos);
    // No chunk reached the driver after it was released.
    const auto journal = run.env.Journal();
    const auto release = std::find_if(journal.begin(), journal.end(), [](const auto& entry) {
        return entry.operation == "Release";
    });
    QVERIFY(release != journal.end());
    QVERIFY(std::none_of(release, journal.end(),
                         [](const auto& entry) { return entry.operation == "LoadSamples"; }));
    QVERIFY(std::any_of(journal.begin(), release,
                        [](const auto& entry) { return entry.operation == "LoadSamples"; }));
}

QTEST_MAIN(GenerationWindowTest)
#include "generation_window_test.moc"
