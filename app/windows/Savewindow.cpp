#include "app/windows/Savewindow.h"

#include "app/params/program_files.h"
#include "app/params/signal_types.h"
#include "app/windows/Gen.h"
#include "app/windows/hint_text.h"
#include "ui_Savewindow.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace {

// Text number of the window's caption.
constexpr int kCaption = 78;

} // namespace

TForm5::TForm5(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm5>()) {
    ui_->setupUi(this);
    // Creation: the saved position, the texts, the store, the details, the list.
    const params::WindowPosition at = main_.Core().Settings().save;
    move(at.x, at.y);
    SetTexts();

    connect(ui_->SaveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
    connect(ui_->ApplyButton, &QPushButton::clicked, this, [this] { ApplyButtonClick(); });
    connect(ui_->DeleteButton, &QPushButton::clicked, this, [this] { DeleteButtonClick(); });
    connect(ui_->SaveList, &QListWidget::currentRowChanged, this, [this] {
        if (!refilling_) {
            SaveListClick();
        }
    });
    connect(ui_->SaveList, &QListWidget::itemDoubleClicked, this, [this] { SaveListDblClick(); });
    ui_->SaveName->installEventFilter(this);

    signals_ = std::make_unique<params::SavedSignals>(*this, *this, main_.Core().Texts());
    signals_->Open(StorePath(main_.Core().SettingsPath()));
}

TForm5::~TForm5() {
    // A failed write at the end is silent: every change was written when made.
    signals_->Close();
    main_.Core().Settings().save = {x(), y()};
}

std::string TForm5::StorePath(const std::string& settingsPath) {
    const auto folder = params::FolderOfPath(settingsPath);
    if (settingsPath.empty() || !folder) {
        return {};
    }
    return *folder + std::string(params::kSignalStoreFileName);
}

void TForm5::SetTexts() {
    const auto text = [this](int id) { return QString::fromStdString(main_.Core().Text(id)); };
    if (const QString caption = text(kCaption); !caption.isEmpty()) {
        setWindowTitle(caption);
    }
    // A missing text keeps the built-in caption.
    const auto set = [&](auto* control, int id) {
        if (const QString caption = text(id); !caption.isEmpty()) {
            control->setText(caption);
        }
    };
    set(ui_->SaveButton, 79);
    set(ui_->ApplyButton, 80);
    set(ui_->DeleteButton, 90);
    set(ui_->Label2, 81);
    set(ui_->Label1, 82);
    set(ui_->Label4, 83);
    set(ui_->Label5, 84);
    set(ui_->Label6, 85);
    set(ui_->Label11, 86);
    set(ui_->Label8, 87);
    set(ui_->Label9, 88);
    set(ui_->Label13, 89);
    const auto hint = [this](QWidget* widget, int id) { SetHint(widget, main_.Core().Text(id)); };
    hint(ui_->SaveList, 143);
    hint(ui_->SaveName, 144);
    hint(ui_->SaveButton, 145);
    hint(ui_->ApplyButton, 146);
    hint(ui_->DeleteButton, 147);
}

void TForm5::ToggleVisible() {
    setVisible(!isVisible());
}

int TForm5::SelectedEntry() const {
    const int row = ui_->SaveList->currentRow();
    const QListWidgetItem* item = ui_->SaveList->item(row);
    return item != nullptr && item->isSelected() ? row : -1;
}

// --- Handlers: every one ends quietly on an error inside it ---

void TForm5::SaveButtonClick() {
    try {
        signals_->SaveClick(SelectedEntry());
    } catch (...) {
    }
}

void TForm5::DeleteButtonClick() {
    try {
        signals_->DeleteClick(SelectedEntry());
    } catch (...) {
    }
}

void TForm5::SaveListClick() {
    try {
        signals_->ListClick(SelectedEntry());
    } catch (...) {
    }
}

void TForm5::SaveListDblClick() {
    ApplyButtonClick();
}

void TForm5::ApplyButtonClick() {
    try {
        signals_->ApplyClick();
    } catch (...) {
    }
}

void TForm5::SaveNameEnter() {
    try {
        signals_->NameEnter(SelectedEntry(), ui_->SaveName->text().toStdString());
    } catch (...) {
    }
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->SaveName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SaveNameEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- SavedSignalsView ---

QWidget* TForm5::Control(params::SavedSignalLabel label) const {
    using params::SavedSignalLabel;
    switch (label) {
    case SavedSignalLabel::Label3:
        return ui_->Label3;
    case SavedSignalLabel::AmpMain:
        return ui_->AmpMain;
    case SavedSignalLabel::FreqMain:
        return ui_->FreqMain;
    case SavedSignalLabel::PerMain:
        return ui_->PerMain;
    case SavedSignalLabel::DurMain:
        return ui_->DurMain;
    case SavedSignalLabel::Label7:
        return ui_->Label7;
    case SavedSignalLabel::Label10:
        return ui_->Label10;
    case SavedSignalLabel::Label12:
        return ui_->Label12;
    case SavedSignalLabel::Label14:
        return ui_->Label14;
    case SavedSignalLabel::Label13:
        return ui_->Label13;
    case SavedSignalLabel::SaveName:
        return ui_->SaveName;
    }
    return nullptr;
}

void TForm5::SetLabel(params::SavedSignalLabel label, const std::string& text) {
    QWidget* control = Control(label);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(QString::fromStdString(text));
    } else if (auto* value = qobject_cast<QLabel*>(control)) {
        value->setText(QString::fromStdString(text));
    }
}

void TForm5::EnableLabel(params::SavedSignalLabel label, bool enabled) {
    if (QWidget* control = Control(label)) {
        control->setEnabled(enabled);
    }
}

void TForm5::SetList(const std::vector<std::string>& names) {
    refilling_ = true;
    {
        const QSignalBlocker blocker(ui_->SaveList);
        ui_->SaveList->clear();
        for (const std::string& name : names) {
            ui_->SaveList->addItem(QString::fromStdString(name));
        }
        if (!names.empty()) {
            ui_->SaveList->setCurrentRow(0);
        }
    }
    refilling_ = false;
}

// --- SavedSignalsHost: the main window's values ---

double TForm5::MaxSampleClock() {
    const ParameterModel* model = main_.Core().Model();
    return model != nullptr ? model->Board().maxClock : kDefaultMaxSampleClock;
}

params::SignalRecord TForm5::CurrentSignal() {
    params::SignalRecord record = params::EmptySignalRecord();
    const ParameterModel* model = main_.Core().Model();
    if (model == nullptr) {
        record.type = signal_type::File; // nothing to store
        return record;
    }
    const SignalParameters& p = model->Params();
    record.type = p.type;
    record.amplitude = p.amplitude;
    record.frequency = p.frequency;
    record.duration = p.duration;
    record.offset = model->Offset();
    record.filter = p.filter ? 1 : 0;
    record.playOnce = p.playLoop ? 1 : 0;
    record.polarity = p.polarity;
    return record;
}

void TForm5::SetFilterAndType(bool filter, int type) {
    ParameterModel& model = *main_.Core().Model();
    model.Params().filter = filter;
    model.SelectType(type);
    main_.SelectSignalType(type);
}

void TForm5::SetAmplitude(double volts) {
    main_.Core().Model()->SetByKind(kind::Amplitude, volts);
}

void TForm5::SetFrequency(double hertz) {
    main_.Core().Model()->SetByKind(kind::Frequency, hertz);
}

void TForm5::SetDuration(double seconds) {
    main_.Core().Model()->SetDuration(seconds);
}

void TForm5::SetOffset(double volts) {
    main_.Core().Model()->SetAdditional(kind::Offset, volts);
}

void TForm5::SetPlayOnce(bool playOnce) {
    main_.Core().Model()->Params().playLoop = playOnce;
}

void TForm5::SetPolarityAndShowAll(int polarity) {
    ParameterModel& model = *main_.Core().Model();
    model.SetPolarity(polarity);
    // As after loading the settings: every value shown, the type selected, the
    // switches applied to their windows.
    model.ShowAll();
    main_.SelectSignalType(model.Params().type);
    main_.ApplySwitches();
    if (EntryController* entry = main_.Core().Entry()) {
        entry->Refresh();
    }
}

params::Dialogs& TForm5::MessageBoxes() {
    return main_.Core().Dialogs();
}
