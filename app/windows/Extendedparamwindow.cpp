#include "app/windows/Extendedparamwindow.h"

#include "app/windows/Gen.h"
#include "app/windows/hint_text.h"
#include "ui_Extendedparamwindow.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace {

// Qt's key of the numeric keypad's multiply key as its virtual key code.
int VirtualKeyOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Asterisk && (event.modifiers() & Qt::KeypadModifier)) {
        return ExtendedParameters::kMultiplyKey;
    }
    return 0;
}

} // namespace

TForm4::TForm4(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm4>()) {
    ui_->setupUi(this);
    setFixedSize(size());
    polarityGroup_ = new QButtonGroup(this);
    polarityGroup_->setExclusive(true);
    polarityGroup_->addButton(ui_->ButtonMinusPolar);
    polarityGroup_->addButton(ui_->ButtonBePolar);
    polarityGroup_->addButton(ui_->ButtonPlusPolar);
    // The list is chosen with the keyboard or by the main window, not with the mouse.
    ui_->ParamList->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(ui_->ButtonMinusPolar, &QToolButton::clicked, this,
            [this] { ButtonMinusPolarClick(); });
    connect(ui_->ButtonBePolar, &QToolButton::clicked, this, [this] { ButtonBePolarClick(); });
    connect(ui_->ButtonPlusPolar, &QToolButton::clicked, this, [this] { ButtonPlusPolarClick(); });
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(ui_->ParamList, &QListWidget::currentRowChanged, this, [this] {
        if (!refilling_) {
            ParamListClick();
        }
    });
    ui_->ParamList->installEventFilter(this);

    board::GeneratorCore& core = main_.Core();
    parameters_ = std::make_unique<ExtendedParameters>(core.Settings(), *core.Model(),
                                                       main_.AuxHost(), *this);
    // Creation: texts, the saved position, the provider handed to the model and the
    // entry, then the values, the polarity and the filter from the settings.
    SetTexts();
    const params::WindowPosition at = core.Settings().additional;
    move(at.x, at.y);
    Attach(parameters_.get());
    parameters_->Create();
}

TForm4::~TForm4() {
    Attach(nullptr);
    main_.Core().Settings().additional = {x(), y()};
}

void TForm4::Attach(ExtendedParameters* provider) {
    board::GeneratorCore& core = main_.Core();
    if (ParameterModel* model = core.Model()) {
        model->SetAdditionalParameters(provider);
    }
    if (EntryController* entry = core.Entry()) {
        entry->SetAdditionalParameters(provider);
    }
}

void TForm4::SetTexts() {
    const auto text = [this](int id) { return QString::fromStdString(main_.Core().Text(id)); };
    if (const QString caption = text(extended_text::Caption); !caption.isEmpty()) {
        setWindowTitle(caption);
    }
    if (const QString caption = text(extended_text::PolarityLabel); !caption.isEmpty()) {
        ui_->Label1->setText(caption);
    }
    if (const QString caption = text(extended_text::FilterLabel); !caption.isEmpty()) {
        ui_->Label2->setText(caption);
    }
    const auto hint = [this](QWidget* widget, int id) { SetHint(widget, main_.Core().Text(id)); };
    hint(ui_->ParamList, extended_text::ParamListHint);
    hint(ui_->Panel1, extended_text::EnteredHint);
    hint(ui_->Panel2, extended_text::RealisedHint);
    hint(ui_->ButtonMinusPolar, extended_text::NegativeHint);
    hint(ui_->ButtonBePolar, extended_text::BipolarHint);
    hint(ui_->ButtonPlusPolar, extended_text::PositiveHint);
    hint(ui_->SpeedButton1, extended_text::FilterHint);

    // The list is refilled with its single row, which leaves no row selected.
    refilling_ = true;
    {
        const QSignalBlocker blocker(ui_->ParamList);
        ui_->ParamList->clear();
        ui_->ParamList->addItem(text(extended_text::BaseVoltage));
        ui_->ParamList->setCurrentRow(-1);
    }
    refilling_ = false;
    if (parameters_) {
        parameters_->RefillList();
    }
}

void TForm4::ToggleVisible() {
    setVisible(!isVisible());
}

void TForm4::ApplySwitches() {
    const SignalParameters& p = main_.Core().Model()->Params();
    params::Settings& settings = main_.Core().Settings();
    settings.polarity = p.polarity;
    settings.filterActive = p.filter;
    ShowPolarity(p.polarity);
    ShowFilter(p.filter);
}

void TForm4::ShowRealisedOffset(double volts) {
    parameters_->SetReal(ExtendedParameters::kOffsetIndex, volts);
    parameters_->ShowReal(ExtendedParameters::kOffsetIndex);
}

void TForm4::ShowPolarityControlsFor(int signalType) {
    parameters_->SetPolarityControlsVisible(signalType != signal_type::File);
}

void TForm4::ParamListClick() {
    const int row = ui_->ParamList->currentRow();
    const QListWidgetItem* item = ui_->ParamList->item(row);
    parameters_->SetSelectedRow(item != nullptr && item->isSelected() ? row : -1);
    parameters_->SelectParameter();
}

// --- ExtendedParametersView ---

void TForm4::ShowEntered(const std::string& text) {
    ui_->Enter0->setText(QString::fromStdString(text));
}

void TForm4::ShowRealised(const std::string& text) {
    ui_->Real0->setText(QString::fromStdString(text));
}

void TForm4::ShowPolarity(int polarity) {
    QToolButton* down = ui_->ButtonBePolar;
    if (polarity == polarity::Positive) {
        down = ui_->ButtonPlusPolar;
    } else if (polarity == polarity::Negative) {
        down = ui_->ButtonMinusPolar;
    }
    const QSignalBlocker blocker(down);
    down->setChecked(true);
}

void TForm4::ShowFilter(bool down) {
    const QSignalBlocker blocker(ui_->SpeedButton1);
    ui_->SpeedButton1->setChecked(down);
}

void TForm4::ShowPolarityControls(bool visible) {
    ui_->Label1->setVisible(visible);
    ui_->ButtonMinusPolar->setVisible(visible);
    ui_->ButtonBePolar->setVisible(visible);
    ui_->ButtonPlusPolar->setVisible(visible);
}

// --- Keys: the keypad's multiply key selects the next additional parameter ---

void TForm4::keyPressEvent(QKeyEvent* event) {
    if (parameters_->KeyDown(VirtualKeyOf(*event))) {
        const QSignalBlocker blocker(ui_->ParamList);
        ui_->ParamList->setCurrentRow(parameters_->SelectedRow());
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->ParamList && event->type() == QEvent::KeyPress &&
        VirtualKeyOf(*static_cast<QKeyEvent*>(event)) == ExtendedParameters::kMultiplyKey) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
