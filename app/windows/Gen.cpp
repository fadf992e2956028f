#include "app/windows/Gen.h"

#include "app/board/generation_control.h"
#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "app/windows/hint_text.h"
#include "app/windows/main_entry_input.h"
#include "app/windows/signal_list_delegate.h"
#include "app/windows/window_pictures.h"
#include "ui_Gen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QSignalBlocker>
#include <QStatusTipEvent>

#include <algorithm>
#include <tuple>
#include <type_traits>

namespace {

// Status bar panels, pixels.
constexpr int kStatusPanelWidths[2] = {200, 292};
constexpr int kStatusBarHeight = 19;
// The client area below the menu bar, pixels.
constexpr int kClientWidth = 348;
constexpr int kClientHeight = 265;

// Most ticks the track bar draws.
constexpr int64_t kBarTicks = 200;

// Text numbers of SetTexts.
constexpr int kWindowCaption = 218;
constexpr int kStartCaption = 159;
constexpr int kStopCaption = 160;
constexpr int kSignalTypeTexts[8] = {151, 152, 153, 154, 155, 156, 157, 221};

int32_t ColourOf(const QColor& colour) {
    return static_cast<int32_t>((static_cast<uint32_t>(colour.blue()) << 16) |
                                (static_cast<uint32_t>(colour.green()) << 8) |
                                static_cast<uint32_t>(colour.red()));
}

} // namespace

TForm1::TForm1(board::StartupOptions options, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()) {
    InitWindowPictures();
    ui_->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    // Client area 348 x 265: the central area and the status bar with its two panels.
    ui_->StatusBar1->setFixedHeight(kStatusBarHeight);
    for (int i = 0; i < 2; ++i) {
        statusPanels_[i] = new QLabel(ui_->StatusBar1);
        statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        statusPanels_[i]->setFixedWidth(kStatusPanelWidths[i]);
        ui_->StatusBar1->addWidget(statusPanels_[i]);
    }
    // Fixed border: the client area keeps its size; the menu bar wraps its titles
    // onto a second line rather than widen the window.
    const int menuHeight = ui_->MainMenu1->heightForWidth(kClientWidth);
    setFixedSize(kClientWidth, (menuHeight > 0 ? menuHeight : ui_->MainMenu1->sizeHint().height()) +
                                   kClientHeight);

    entryRepeatTimer.setInterval(160);
    restartTimer.setInterval(160);
    singlePlayTimer.setInterval(10);
    boardPollTimer.setInterval(board::kBoardPollMilliseconds);
    tunerTimer.setInterval(500);
    progressTimer.setInterval(160);
    connect(&boardPollTimer, &QTimer::timeout, this, [this] { core_->PollTick(); });

    // The numeric entry's hooks, active once the start-up installs them.
    input_ = std::make_unique<MainEntryInput>(
        *ui_, *this, entryRepeatTimer, [this] { return core_ ? core_->Entry() : nullptr; },
        [this]() -> QWidget* { return windows_.keyboard; });
    input_->nextParameter = [this] { NextParameter(); };
    input_->additionalKey = [this] { AdditionalKey(); };
    mouseHook = [this](QObject* watched, QEvent* event) { return input_->Mouse(watched, event); };
    wheelHook = [this](QObject* watched, QEvent* event) { return input_->Wheel(watched, event); };
    keyHook = [this](QObject* watched, QEvent* event) { return input_->Key(watched, event); };
    ConnectControls();

    // Step 1 and the start-up itself.
    core_ = std::make_unique<board::GeneratorCore>(std::move(options), *this, *this, *this, *this,
                                                   *this);
    hide();
    if (!core_->Start()) {
        terminated_ = true;
        return;
    }
    // Enter and the keyboard window's start/stop key act as the Start/Stop button.
    core_->Entry()->startStop = [this] { StartButtonClick(); };
    // A moved block or base voltage shows in the preview at once.
    core_->Model()->previewChanged = [this] {
        if (windows_.preview != nullptr) {
            windows_.preview->Repaint();
        }
    };
}

TForm1::~TForm1() {
    // Closing the window moves the focus: nothing of the entry may be told.
    disconnect(focusConnection_);
    core_->Shutdown();
    core_.reset();
}

QString TForm1::StatusPanelText(int panel) const {
    return panel >= 0 && panel < 2 ? statusPanels_[panel]->text() : QString();
}

// --- ParameterView ---

QLabel* TForm1::ValueLabel(ParameterLabel label) const {
    switch (label) {
    case ParameterLabel::AmpMain:
        return ui_->AmpMain;
    case ParameterLabel::AmpRez:
        return ui_->AmpRez;
    case ParameterLabel::FreqMain:
        return ui_->FreqMain;
    case ParameterLabel::FreqRez:
        return ui_->FreqRez;
    case ParameterLabel::PerMain:
        return ui_->PerMain;
    case ParameterLabel::PerRez:
        return ui_->PerRez;
    case ParameterLabel::DurMain:
        return ui_->DurMain;
    case ParameterLabel::DurRez:
        return ui_->DurRez;
    case ParameterLabel::StartBlockMain:
        return ui_->StartBlockMain;
    case ParameterLabel::SizeBlockMain:
        return ui_->SizeBlockMain;
    }
    return nullptr;
}

void TForm1::SetLabel(ParameterLabel label, const std::string& text) {
    if (QLabel* target = ValueLabel(label)) {
        target->setText(QString::fromStdString(text));
    }
}

// --- EntryView ---

QLineEdit* TForm1::Box(int position) const {
    switch (position) {
    case 1:
        return ui_->Num1;
    case 2:
        return ui_->Num2;
    case 3:
        return ui_->Num3;
    case 4:
        return ui_->Num4;
    case 5:
        return ui_->Num5;
    case 6:
        return ui_->NumPower;
    default:
        return nullptr;
    }
}

void TForm1::ShowBox(int position, const std::string& text) {
    if (QLineEdit* box = Box(position)) {
        const QSignalBlocker blocker(box);
        box->setText(QString::fromStdString(text));
    }
}

void TForm1::ShowSign(bool negative) {
    ui_->LMinus->setVisible(negative);
}

void TForm1::ShowPoint(int point) {
    ui_->Zpt4->setVisible(point == 1);
    ui_->Zpt3->setVisible(point == 2);
    ui_->Zpt2->setVisible(point == 3);
    ui_->Zpt1->setVisible(point == 4);
}

void TForm1::SetFocus(int position) {
    if (QLineEdit* box = Box(position)) {
        box->setFocus();
    }
}

void TForm1::FocusBar() {
    ui_->Bar->setFocus();
}

void TForm1::SetBarRange(int lowest, int highest) {
    const QSignalBlocker blocker(ui_->Bar);
    ui_->Bar->setRange(lowest, highest);
    // A tick per position on the 200-position bars. The linear bars have up to
    // 2^31 positions: no ticks (the style would draw them one by one).
    const bool ticks = int64_t{highest} - lowest <= kBarTicks;
    ui_->Bar->setTickPosition(ticks ? QSlider::TicksBelow : QSlider::NoTicks);
}

void TForm1::SetBarPosition(int position) {
    const QSignalBlocker blocker(ui_->Bar);
    ui_->Bar->setValue(position);
}

void TForm1::SetBarVisible(bool visible) {
    ui_->Bar->setVisible(visible);
}

void TForm1::ShowLimits(const std::string& minimum, const std::string& maximum) {
    ui_->MinBar->setText(QString::fromStdString(minimum));
    ui_->MaxBar->setText(QString::fromStdString(maximum));
}

void TForm1::ShowUnit(const std::string& unit) {
    ui_->UnitName->setText(QString::fromStdString(unit));
}

void TForm1::ShowUnitKeys(const std::array<std::string, 3>& captions) {
    unitKeys_ = captions;
    if (windows_.keyboard != nullptr) {
        windows_.keyboard->SetUnitKeys(captions);
    }
}

// --- BoardIndicators ---

void TForm1::ApplyDisplay(const board::DisplayDecision& decision) {
    if (decision.plugGlyph) {
        plugGlyph_ = *decision.plugGlyph;
        const QPixmap glyph(pictures::BoardGlyph(plugGlyph_));
        ui_->ImagePlug->setIcon(QIcon(WithCornerTransparent(glyph)));
        ui_->ImagePlug->setIconSize(glyph.size());
    }
    if (decision.plugVisible) {
        ui_->ImagePlug->setVisible(*decision.plugVisible);
    }
    if (decision.powerVisible) {
        ui_->PowerPlug->setVisible(*decision.powerVisible);
    }
    if (decision.powerNormalPicture) {
        powerNormal_ = *decision.powerNormalPicture;
        const QPixmap picture(powerNormal_ ? pictures::kPowerNormal : pictures::kPowerAbnormal);
        ui_->PowerPlug->setPixmap(WithCornerTransparent(picture));
    }
    if (decision.startEnabled) {
        ui_->StartButton->setEnabled(*decision.startEnabled);
    }
    if (decision.flashWriteEnabled) {
        ui_->N16->setEnabled(*decision.flashWriteEnabled);
    }
    if (decision.flashMenuEnabled) {
        ui_->N15->menuAction()->setEnabled(*decision.flashMenuEnabled);
    }
}

bool TForm1::StartEnabled() const {
    return ui_->StartButton->isEnabled();
}

// --- PollTimer ---

void TForm1::StartPoll() {
    boardPollTimer.start();
}

void TForm1::StopPoll() {
    boardPollTimer.stop();
}

bool TForm1::PollActive() const {
    return boardPollTimer.isActive();
}

// --- MainWindowHost ---

params::WindowGeometry TForm1::Geometry() const {
    const QRect frame = frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void TForm1::MoveTo(params::WindowPosition position) {
    move(position.x, position.y);
}

params::WindowPosition TForm1::Position() const {
    return {x(), y()};
}

std::array<int32_t, 3> TForm1::ViewerColours() const {
    const QPalette& colours = palette();
    return {ColourOf(colours.color(QPalette::Button)), ColourOf(colours.color(QPalette::Dark)),
            ColourOf(colours.color(QPalette::ButtonText))};
}

void TForm1::SetCaption(QWidget* widget, int id) {
    const std::string text = Text(id);
    if (text.empty()) {
        return; // a missing text keeps the built-in one
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(QString::fromStdString(text));
    }
}

void TForm1::SetTexts() {
    const auto caption = [this](auto* target, int id) {
        const std::string text = Text(id);
        if (text.empty()) {
            return;
        }
        if constexpr (std::is_same_v<std::remove_pointer_t<decltype(target)>, QMenu>) {
            target->setTitle(QString::fromStdString(text));
        } else if constexpr (std::is_same_v<std::remove_pointer_t<decltype(target)>, QAction>) {
            target->setText(QString::fromStdString(text));
        } else {
            SetCaption(target, id);
        }
    };
    if (const std::string title = Text(kWindowCaption); !title.empty()) {
        setWindowTitle(QString::fromStdString(title));
    }
    caption(ui_->BlockStart, 21);
    caption(ui_->BlockSize, 22);
    caption(ui_->IsAdditionalChoose, 23);
    caption(ui_->IsPerChoose, 24);
    caption(ui_->IsDurChoose, 174);
    caption(ui_->N5, 25);
    caption(ui_->N2, 26);
    caption(ui_->N13, 27);
    caption(ui_->N15, 28);
    caption(ui_->N14, 29);
    caption(ui_->N6, 30);
    caption(ui_->N1, 31);
    caption(ui_->N3, 32);
    caption(ui_->N4, 33);
    caption(ui_->N18, 34);
    caption(ui_->N8, 35);
    caption(ui_->N9, 36);
    caption(ui_->N7, 215);
    caption(ui_->N10, 37);
    caption(ui_->N11, 38);
    caption(ui_->N16, 39);
    caption(ui_->N17, 40);
    caption(ui_->N12, 41);
    // The button keeps telling what it does: Stop while the output runs.
    caption(ui_->StartButton, core_->Output().Running() ? kStopCaption : kStartCaption);

    SetHint(ui_->SignalButton, Text(97));
    SetHint(ui_->StartButton, Text(98));
    SetHint(ui_->ButtonHand, Text(99));
    SetHint(ui_->IsAmpChoose, Text(100));
    SetHint(ui_->IsPerChoose, Text(213));
    SetHint(ui_->IsFreqChoose, Text(101));
    SetHint(ui_->IsDurChoose, Text(214));
    SetHint(ui_->BlockStart, Text(102));
    SetHint(ui_->BlockSize, Text(103));
    SetHint(ui_->IsAdditionalChoose, Text(104));
    SetHint(ui_->ImagePlug, Text(105));
    SetHint(ui_->PowerPlug, Text(106));
    for (QLabel* up :
         {ui_->Num1Up, ui_->Num2Up, ui_->Num3Up, ui_->Num4Up, ui_->Num5Up, ui_->NumPowerUp}) {
        SetHint(up, Text(107));
    }
    for (QLabel* down : {ui_->Num1Down, ui_->Num2Down, ui_->Num3Down, ui_->Num4Down, ui_->Num5Down,
                         ui_->NumPowerDown}) {
        SetHint(down, Text(108));
    }
    SetHint(ui_->MinBar, Text(109));
    SetHint(ui_->MaxBar, Text(110));
    SetHint(ui_->Bevel2, Text(111));
    SetHint(ui_->AmpMain, Text(112));
    SetHint(ui_->FreqMain, Text(113));
    SetHint(ui_->PerMain, Text(114));
    SetHint(ui_->DurMain, Text(115));
    SetHint(ui_->Bevel1, Text(116));
    SetHint(ui_->AmpRez, Text(117));
    SetHint(ui_->FreqRez, Text(118));
    SetHint(ui_->PerRez, Text(119));
    SetHint(ui_->DurRez, Text(120));

    // The source list, keeping the chosen item.
    {
        const QSignalBlocker blocker(ui_->SignalButton);
        const int chosen = ui_->SignalButton->currentIndex();
        for (int i = 0; i < 8; ++i) {
            const QString text = QString::fromStdString(Text(kSignalTypeTexts[i]));
            if (i < ui_->SignalButton->count()) {
                if (!text.isEmpty()) {
                    ui_->SignalButton->setItemText(i, text);
                }
            } else {
                ui_->SignalButton->addItem(QIcon(pictures::SignalType(i)), text);
            }
        }
        ui_->SignalButton->setCurrentIndex(chosen >= 0 ? chosen : 0);
    }

    SetChoiceTexts();
}

void TForm1::SetChoiceTexts() {
    // The file type enters the sample clock ("FR") and the output range.
    const bool file =
        core_->Model() != nullptr && core_->Model()->Params().type == signal_type::File;
    SetHint(ui_->IsFreqChoose, Text(file ? 212 : 211));
    SetCaption(ui_->IsFreqChoose, file ? 185 : 20);
    SetCaption(ui_->IsAmpChoose, file ? 186 : 19);
}

void TForm1::SetFlashWriteVisible(bool visible) {
    ui_->N16->setVisible(visible);
}

void TForm1::ShowSynthesiser(bool present) {
    if (windows_.options != nullptr) {
        windows_.options->ShowSynthesiser(present);
    }
}

void TForm1::ApplySwitches() {
    {
        const QSignalBlocker blocker(ui_->ButtonHand);
        ui_->ButtonHand->setChecked(core_->Model()->Params().playLoop);
    }
    if (windows_.additional != nullptr) {
        windows_.additional->ApplySwitches();
    }
}

bool TForm1::RememberEntryTexts() {
    for (int position = 1; position <= 6; ++position) {
        const QLineEdit* box = Box(position);
        if (box == nullptr) {
            return false;
        }
        entryTexts_[static_cast<size_t>(position)] = box->text().toStdString();
    }
    return true;
}

void TForm1::InstallHooks() {
    if (!hooksInstalled_) {
        qApp->installEventFilter(this);
        hooksInstalled_ = true;
    }
}

void TForm1::RemoveHooks() {
    if (hooksInstalled_) {
        qApp->removeEventFilter(this);
        hooksInstalled_ = false;
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        if (mouseHook && mouseHook(watched, event)) {
            return true;
        }
        break;
    case QEvent::Wheel:
        if (wheelHook && wheelHook(watched, event)) {
            return true;
        }
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (keyHook && keyHook(watched, event)) {
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::PrepareControls() {
    // The step images and the power indicator: silver is transparent.
    const QPixmap up = WithTransparentColour(QPixmap(pictures::kUp), kSilver);
    const QPixmap down = WithTransparentColour(QPixmap(pictures::kDown), kSilver);
    for (QLabel* image :
         {ui_->Num1Up, ui_->Num2Up, ui_->Num3Up, ui_->Num4Up, ui_->Num5Up, ui_->NumPowerUp}) {
        image->setPixmap(up);
    }
    for (QLabel* image : {ui_->Num1Down, ui_->Num2Down, ui_->Num3Down, ui_->Num4Down, ui_->Num5Down,
                          ui_->NumPowerDown}) {
        image->setPixmap(down);
    }
    if (!ui_->PowerPlug->pixmap().isNull()) {
        ui_->PowerPlug->setPixmap(WithTransparentColour(ui_->PowerPlug->pixmap(), kSilver));
    }
    ui_->ButtonHand->setIcon(QIcon(QPixmap(pictures::kSinglePlay)));
    if (ui_->SignalButton->itemDelegate() == nullptr ||
        dynamic_cast<SignalListDelegate*>(ui_->SignalButton->itemDelegate()) == nullptr) {
        ui_->SignalButton->setItemDelegate(new SignalListDelegate(ui_->SignalButton));
    }
    const QPixmap start(pictures::kStart);
    if (start.isNull()) {
        return false;
    }
    ui_->StartButton->setIcon(QIcon(start));
    return true;
}

void TForm1::RefreshBoardLists() {
    if (windows_.options != nullptr) {
        windows_.options->FillBoardSettings();
    }
}

void TForm1::ShowWindow() {
    show();
}

void TForm1::HideProgressBar() {
    ui_->ProgressBar1->hide();
}

void TForm1::StopTimers() {
    for (QTimer* timer : {&entryRepeatTimer, &restartTimer, &singlePlayTimer, &boardPollTimer,
                          &tunerTimer, &progressTimer}) {
        timer->stop();
    }
}

void TForm1::EndApplication() {
    terminated_ = true;
    // Ends a running event loop; before the loop the program entry sees the flag.
    QCoreApplication::exit(1);
}

// --- AuxiliaryHost ---

bool TForm1::OutputRunning() const {
    return core_->Output().Running();
}

void TForm1::ScheduleRestart() {
    if (generation_ != nullptr) {
        generation_->ScheduleRestart();
    }
}

void TForm1::ReloadDriver() {
    core_->ReloadDriver(core_->Settings().deviceName);
}

void TForm1::ApplyLanguage() {
    core_->LoadLanguage();
    SetTexts();
    if (windows_.keyboard != nullptr) {
        windows_.keyboard->SetTexts();
    }
    if (windows_.options != nullptr) {
        windows_.options->SetTexts();
    }
    if (windows_.additional != nullptr) {
        windows_.additional->SetTexts();
    }
    if (windows_.saving != nullptr) {
        windows_.saving->SetTexts();
    }
    if (windows_.preview != nullptr) {
        windows_.preview->SetTexts();
    }
    if (windows_.fileSettings != nullptr) {
        windows_.fileSettings->SetTexts();
    }
}

// --- FileLoadHost ---

void TForm1::SetFlashWriteEnabled(bool enabled) {
    ui_->N16->setEnabled(enabled);
}

bool TForm1::ViewerAvailable() const {
    return core_->ViewingAvailable();
}

void TForm1::SetPreviewRange(const LupexViewRange& range) {
    if (windows_.preview != nullptr) {
        windows_.preview->SetViewRange(range);
    }
}

bool TForm1::PreviewVisible() const {
    return windows_.preview != nullptr && windows_.preview->isVisible();
}

void TForm1::ShowPreview() {
    if (windows_.preview != nullptr) {
        windows_.preview->show();
    }
}

void TForm1::ContinueStartAfterLoad() {
    if (generation_ != nullptr) {
        generation_->FileLoadAccepted();
    }
}

// --- Handlers ---

void TForm1::StartButtonClick() {
    core_->StartStop();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (terminated_ || core_->CloseQuery()) {
        event->accept();
        QCoreApplication::exit(0);
    } else {
        event->ignore();
    }
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // Automatic hints: the status part of the hint goes to the first panel.
        statusPanels_[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
