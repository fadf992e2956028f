#include "app/windows/generation_panel.h"

#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Gen.h"
#include "app/windows/window_pictures.h"
#include "ui_Gen.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

namespace {

GenerationContext ContextOf(TForm1& main, const BoardLink& link, GenerationView& view,
                            GenerationTimers& timers) {
    board::GeneratorCore& core = main.Core();
    return GenerationContext{*core.Model(), core.Settings(), link, core.Signal(), core.Dialogs(),
                             core.Report(), core.Texts(),    view, timers,        main.FileData()};
}

} // namespace

GenerationPanel::GenerationPanel(TForm1& main)
    : main_(main),
      link_(main.Core().Board(), [&core = main.Core()] { return core.TunerPresent(); }),
      generation_(ContextOf(main, link_, *this, *this)), output_(generation_),
      flash_(generation_, ContextOf(main, link_, *this, *this)) {
    board::GeneratorCore& core = main_.Core();
    Ui::TForm1& form = main_.Form();

    // Each timer fires into generation control on the main thread.
    for (const int id :
         {timer_id::Restart, timer_id::SinglePlayWatch, timer_id::Tuner, timer_id::Progress}) {
        connections_.push_back(
            connect(TimerOf(id), &QTimer::timeout, this, [this, id] { generation_.OnTimer(id); }));
    }
    connections_.push_back(
        connect(form.ButtonHand, &QToolButton::clicked, this, [this] { ButtonHandClick(); }));
    connections_.push_back(
        connect(form.N15, &QMenu::aboutToShow, this, [this] { flash_.MenuOpened(); }));
    connections_.push_back(
        connect(form.N16, &QAction::triggered, this, [this] { flash_.WriteClick(); }));
    connections_.push_back(
        connect(form.N17, &QAction::triggered, this, [this] { flash_.EraseClick(); }));

    ParameterModel& model = *core.Model();
    previousRestart_ = model.restartIfRunning;
    model.restartIfRunning = [this] { generation_.RestartIfRunning(); };
    main_.AttachGeneration(&generation_);
    // Last: gives generation control its sample buffer (a failure ends the program).
    core.AttachOutput(&output_);
}

GenerationPanel::~GenerationPanel() {
    for (const QMetaObject::Connection& connection : connections_) {
        disconnect(connection);
    }
    for (const int id :
         {timer_id::Restart, timer_id::SinglePlayWatch, timer_id::Tuner, timer_id::Progress}) {
        TimerOf(id)->stop();
    }
    // The transfer ends and the signal object is forgotten while the signal library
    // and the driver are still loaded.
    generation_.Shutdown();
    board::GeneratorCore& core = main_.Core();
    core.AttachOutput(nullptr);
    main_.AttachGeneration(nullptr);
    if (ParameterModel* model = core.Model()) {
        model->restartIfRunning = previousRestart_;
    }
}

QTimer* GenerationPanel::TimerOf(int id) const {
    switch (id) {
    case timer_id::Restart:
        return &main_.restartTimer;
    case timer_id::SinglePlayWatch:
        return &main_.singlePlayTimer;
    case timer_id::Tuner:
        return &main_.tunerTimer;
    case timer_id::Progress:
        return &main_.progressTimer;
    default:
        return nullptr;
    }
}

// --- GenerationView ---

void GenerationPanel::SetStartButton(StartFace face, const std::string& caption) {
    QPushButton* button = main_.Form().StartButton;
    const QPixmap glyph(face == StartFace::Stop ? pictures::kStop : pictures::kStart);
    if (!glyph.isNull()) {
        button->setIcon(QIcon(glyph));
    }
    if (!caption.empty()) {
        button->setText(QString::fromStdString(caption));
    }
}

bool GenerationPanel::StartButtonEnabled() const {
    return main_.Form().StartButton->isEnabled();
}

void GenerationPanel::RefreshBoardState() {
    main_.Core().Board().UpdateDisplay();
}

void GenerationPanel::SetFlashWriteEnabled(bool enabled) {
    main_.SetFlashWriteEnabled(enabled);
}

void GenerationPanel::SetFlashEraseEnabled(bool enabled) {
    main_.Form().N17->setEnabled(enabled);
}

void GenerationPanel::ShowProgress(bool visible) {
    main_.Form().ProgressBar1->setVisible(visible);
}

void GenerationPanel::SetProgressRange(int32_t maximum) {
    main_.Form().ProgressBar1->setRange(0, maximum);
}

void GenerationPanel::SetProgressPosition(int32_t position) {
    main_.Form().ProgressBar1->setValue(position);
}

void GenerationPanel::SetRealisedOffset(double volts) {
    if (TForm4* additional = main_.Windows().additional) {
        additional->ShowRealisedOffset(volts);
    }
}

FileLoadResult GenerationPanel::RunFileLoad() {
    return main_.RunFileLoad();
}

// --- GenerationTimers ---

void GenerationPanel::SetTimer(int id, int periodMs) {
    if (QTimer* timer = TimerOf(id)) {
        timer->start(periodMs);
    }
}

void GenerationPanel::KillTimer(int id) {
    if (QTimer* timer = TimerOf(id)) {
        timer->stop();
    }
}

bool GenerationPanel::IsTimerSet(int id) const {
    const QTimer* timer = TimerOf(id);
    return timer != nullptr && timer->isActive();
}

// --- Handlers ---

void GenerationPanel::ButtonHandClick() {
    generation_.ButtonHandClick();
    QToolButton* button = main_.Form().ButtonHand;
    const QSignalBlocker blocker(button);
    button->setChecked(main_.Core().Model()->Params().playLoop);
}
