#include "app/windows/Optionswindow.h"

#include "app/params/version_text.h"
#include "app/windows/Gen.h"
#include "app/windows/hint_text.h"
#include "ui_Optionswindow.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>

#include <cmath>
#include <numbers>

namespace {

// The index of the "Information" tab.
constexpr int kInformationTab = 5;

// The logo of the About tab: one period of a sine on a screen.
QPixmap Logo(QSize size) {
    QPixmap logo(size);
    logo.fill(QColor(0x10, 0x30, 0x20));
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x30, 0x60, 0x40), 1));
    for (int i = 1; i < 4; ++i) {
        const int x = size.width() * i / 4;
        const int y = size.height() * i / 4;
        painter.drawLine(x, 0, x, size.height());
        painter.drawLine(0, y, size.width(), y);
    }
    QPainterPath wave;
    const double w = size.width() - 8;
    const double h = (size.height() - 16) / 2.0;
    const double middle = size.height() / 2.0;
    for (int i = 0; i <= 64; ++i) {
        const double x = 4 + w * i / 64.0;
        const double y = middle - h * std::sin(2 * std::numbers::pi * i / 64.0);
        if (i == 0) {
            wave.moveTo(x, y);
        } else {
            wave.lineTo(x, y);
        }
    }
    painter.setPen(QPen(QColor(0x40, 0xFF, 0x60), 2));
    painter.drawPath(wave);
    return logo;
}

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void SetLinkColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TForm3::TForm3(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm3>()) {
    ui_->setupUi(this);
    setFixedSize(size());
    openLink = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    board::GeneratorCore& core = main_.Core();
    options_ = std::make_unique<OptionsLogic>(core.Settings(), *core.Model(), main_.AuxHost(),
                                              core.Dialogs(), core.Texts());
    selection_ =
        std::make_unique<board::BoardSelection>(core.Settings(), *core.Model(), core.Board(), *this,
                                                core.Dialogs(), core.Report(), core.Texts());

    // The fixed parts: the untranslated language rows, the family rows, the
    // external-start and device rows (texts come with SetTexts), the maker's
    // address, the logo, the memo in the main window's colour.
    for (const std::string_view row : kLanguageRows) {
        ui_->ListBox2->addItem(QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size())));
    }
    for (std::size_t i = 0; i < options_text::Families.size(); ++i) {
        ui_->ListBox1->addItem(QString());
    }
    for (std::size_t i = 0; i < options_text::StartTypes.size(); ++i) {
        ui_->ComboBox3->addItem(QString());
    }
    for (std::size_t i = 0; i < options_text::Devices.size(); ++i) {
        ui_->CBDeviceSelect->addItem(QString());
    }
    ui_->Label13->setText(QString::fromLatin1(kMakerAddress));
    ui_->TabSheet5->setMouseTracking(true);
    ui_->Image1->setPixmap(Logo(ui_->Image1->contentsRect().size()));
    {
        QPalette memo = ui_->Memo1->palette();
        memo.setColor(QPalette::Base, main_.palette().color(QPalette::Window));
        ui_->Memo1->setPalette(memo);
    }

    // Creation: texts, the saved position, then the settings and the board.
    SetTexts();
    const params::WindowPosition at = core.Settings().options;
    move(at.x, at.y);
    selection_->Create(*options_); // false: the application was asked to end
    {
        const QSignalBlocker blocker(ui_->ListBox2);
        ui_->ListBox2->setCurrentRow(options_->LanguageRow());
    }
    ui_->CheckBox4->setChecked(core.Settings().information);
    ui_->AutoStartBox->setChecked(core.Settings().autoStart);
    ui_->AutoViewBox->setChecked(core.Settings().autoView);
    ShowSignals();
    ShowOutputParameters();
    ShowExternalStart();
    ShowBoard();
    ShowLibraries();
    Connect();
}

TForm3::~TForm3() {
    main_.Core().Settings().options = {x(), y()};
}

void TForm3::Connect() {
    connect(ui_->ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    const std::array radios{ui_->RadioButton1, ui_->RadioButton2, ui_->RadioButton3,
                            ui_->RadioButton4};
    for (int i = 0; i < static_cast<int>(radios.size()); ++i) {
        connect(radios[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { RadioButtonClick(i); });
    }
    connect(ui_->ListBox2, &QListWidget::currentRowChanged, this, [this] { ListBox2Click(); });
    connect(ui_->CheckBox4, &QCheckBox::clicked, this,
            [this](bool checked) { options_->CheckBox4Click(checked); });
    connect(ui_->AutoStartBox, &QCheckBox::clicked, this,
            [this](bool checked) { options_->AutoStartBoxClick(checked); });
    connect(ui_->AutoViewBox, &QCheckBox::clicked, this,
            [this](bool checked) { options_->AutoViewBoxClick(checked); });
    ui_->Edit1->installEventFilter(this);
    ui_->Edit2->installEventFilter(this);
    ui_->Edit3->lineEdit()->installEventFilter(this);
    connect(ui_->Edit3, &QComboBox::activated, this, [this](int index) { Edit3Click(index); });
    connect(ui_->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui_->Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(ui_->CheckBox3, &QCheckBox::clicked, this, [this] { CheckBox3Click(); });
    connect(ui_->ComboBox3, &QComboBox::activated, this, [this] { ComboBox3Change(); });
    connect(ui_->ComboBox4, &QComboBox::activated, this, [this] { ComboBox4Change(); });
    connect(ui_->CBDeviceSelect, &QComboBox::activated, this, [this] { CBDeviceSelectChange(); });
    connect(ui_->UpdateButton, &QPushButton::clicked, this, [this] { UpdateButtonClick(); });
    ui_->Label13->installEventFilter(this);
    ui_->TabSheet5->installEventFilter(this);
}

// --- Texts ---

void TForm3::SetTexts() {
    const auto text = [this](int id) { return QString::fromStdString(main_.Core().Text(id)); };
    // A missing text keeps the built-in caption.
    const auto set = [&](auto* control, int id) {
        const QString caption = text(id);
        if (caption.isEmpty()) {
            return;
        }
        if constexpr (std::is_same_v<std::remove_pointer_t<decltype(control)>, QGroupBox>) {
            control->setTitle(caption);
        } else {
            control->setText(caption);
        }
    };
    const auto hint = [this](QWidget* widget, int id) { SetHint(widget, main_.Core().Text(id)); };
    const auto rows = [&](auto* list, const auto& ids) {
        for (std::size_t i = 0; i < ids.size(); ++i) {
            if (const QString row = text(ids[i]); !row.isEmpty()) {
                if constexpr (std::is_same_v<std::remove_pointer_t<decltype(list)>, QComboBox>) {
                    list->setItemText(static_cast<int>(i), row);
                } else {
                    list->item(static_cast<int>(i))->setText(row);
                }
            }
        }
    };

    if (const QString caption = text(options_text::Caption); !caption.isEmpty()) {
        setWindowTitle(caption);
    }
    for (std::size_t i = 0; i < options_text::Tabs.size(); ++i) {
        if (const QString caption = text(options_text::Tabs[i]); !caption.isEmpty()) {
            ui_->PageControl1->setTabText(static_cast<int>(i), caption);
        }
    }

    // Signals.
    set(ui_->Label1, options_text::SignalTypeLabel);
    rows(ui_->ListBox1, options_text::Families);
    set(ui_->GroupBox1, options_text::GenerationModeGroup);
    const std::array radios{ui_->RadioButton1, ui_->RadioButton2, ui_->RadioButton3,
                            ui_->RadioButton4};
    for (std::size_t i = 0; i < radios.size(); ++i) {
        set(radios[i], options_text::ModeCaptions[i]);
        hint(radios[i], options_text::ModeHints[i]);
    }

    // Interface.
    set(ui_->Label6, options_text::LanguagesLabel);
    set(ui_->GroupBox8, options_text::InterfaceGroup);
    set(ui_->CheckBox4, options_text::Information);
    set(ui_->AutoStartBox, options_text::AutoStart);
    set(ui_->AutoViewBox, options_text::AutoView);
    hint(ui_->CheckBox4, options_text::InformationHint);
    hint(ui_->AutoStartBox, options_text::AutoStartHint);
    hint(ui_->AutoViewBox, options_text::AutoViewHint);

    // Output parameters.
    set(ui_->GroupBox2, options_text::VoltageGroup);
    set(ui_->Label7, options_text::MinimumLabel);
    set(ui_->Label8, options_text::MaximumLabel);
    hint(ui_->Edit1, options_text::MinimumHint);
    hint(ui_->Edit2, options_text::MaximumHint);
    set(ui_->GroupBox3, options_text::ImpedanceGroup);

    // About.
    set(ui_->Label9, options_text::Maker);
    ui_->Label10->setText(text(options_text::GeneratorVersion) +
                          QString::fromStdString(params::ProgramVersionText()));

    // Board settings.
    set(ui_->GroupBox6, options_text::ExternalStartGroup);
    set(ui_->CheckBox3, options_text::UseExternalStart);
    hint(ui_->CheckBox3, options_text::UseExternalStartHint);
    hint(ui_->ComboBox3, options_text::StartTypeHint);
    rows(ui_->ComboBox3, options_text::StartTypes);
    set(ui_->GroupBox7, options_text::BaseAddressGroup);
    hint(ui_->ComboBox4, options_text::BaseNumberHint);
    set(ui_->GroupBox4, options_text::DeviceGroup);
    rows(ui_->CBDeviceSelect, options_text::Devices);

    // Information.
    set(ui_->Label2, options_text::SerialNumber);
    set(ui_->Label3, options_text::FirmwareVersion);
    set(ui_->Label4, options_text::DriverVersion);
    if (selection_) {
        // "Not available" in the new language as well.
        selection_->RefreshInformation();
        ShowBoard();
        ShowLibraries();
    }
}

// --- Operations of the main window ---

void TForm3::ToggleVisible() {
    setVisible(!isVisible());
}

void TForm3::ShowTab(int index) {
    if (index >= 0 && index < ui_->PageControl1->count()) {
        ui_->PageControl1->setCurrentIndex(index);
    }
    show();
    raise();
}

void TForm3::ShowSynthesiser(bool present) {
    options_->SetSynthesiser(present);
    ShowSignals();
}

void TForm3::FillBoardSettings() {
    ++fills_;
    selection_->AfterDriverReload(*options_); // false: the application was asked to end
    selection_->RefreshInformation();         // the new driver's, or "Not available"
    const board::BoardSession& session = main_.Core().Board();
    ShowSynthesiser(session.Driver() != nullptr && session.Information().synthesiser);
    ShowOutputParameters();
    ShowExternalStart();
    ShowBoard();
    ShowLibraries();
}

// --- Showing the state ---

void TForm3::ShowSignals() {
    {
        const QSignalBlocker blocker(ui_->ListBox1);
        ui_->ListBox1->setCurrentRow(options_->FamilyRow());
    }
    const std::array radios{ui_->RadioButton1, ui_->RadioButton2, ui_->RadioButton3,
                            ui_->RadioButton4};
    radios[static_cast<std::size_t>(options_->CheckedRadio())]->setChecked(true);
    ui_->RadioButton4->setEnabled(options_->SynthesiserModeEnabled());
}

void TForm3::ShowOutputParameters() {
    ui_->Edit1->setText(QString::fromStdString(options_->Edit1Text()));
    ui_->Edit2->setText(QString::fromStdString(options_->Edit2Text()));
    ShowImpedanceList();
}

void TForm3::ShowImpedanceList() {
    const QSignalBlocker blocker(ui_->Edit3);
    ui_->Edit3->clear();
    for (const std::string& value : options_->ImpedanceList()) {
        ui_->Edit3->addItem(QString::fromStdString(value));
    }
    ui_->Edit3->setCurrentIndex(options_->ImpedanceSelected());
    ui_->Edit3->setEditText(QString::fromStdString(options_->Edit3Text()));
}

void TForm3::FillList(QComboBox* list, const std::vector<std::string>& rows, int selected) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& row : rows) {
        list->addItem(QString::fromStdString(row));
    }
    list->setCurrentIndex(selected);
}

void TForm3::ShowExternalStart() {
    ui_->CheckBox3->setChecked(options_->ExternalStartChecked());
    ui_->ComboBox3->setEnabled(options_->StartTypeEnabled());
    {
        const QSignalBlocker blocker(ui_->ComboBox3);
        ui_->ComboBox3->setCurrentIndex(options_->StartTypeRow());
    }
    const QSignalBlocker blocker(ui_->CBDeviceSelect);
    ui_->CBDeviceSelect->setCurrentIndex(options_->DeviceRow());
}

void TForm3::ShowBoard() {
    FillList(ui_->ComboBox4, selection_->BoardList(), selection_->BoardSelected());
    ui_->UpdateButton->setEnabled(selection_->UpdateButtonEnabled());
    ui_->Label5->setText(QString::fromStdString(selection_->SerialNumber()));
    ui_->Label11->setText(QString::fromStdString(selection_->Firmware()));
    ui_->Label26->setText(QString::fromStdString(selection_->DriverVersion()));
    ui_->PageControl1->setTabVisible(kInformationTab, selection_->InformationTabVisible());
}

void TForm3::ShowLibraries() {
    QStringList lines;
    for (const std::string& line : selection_->LibraryList()) {
        lines.append(QString::fromStdString(line));
    }
    ui_->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

// --- Handlers ---

void TForm3::ListBox1Click() {
    options_->ListBox1Click(ui_->ListBox1->currentRow());
    ShowSignals();
}

void TForm3::RadioButtonClick(int button) {
    options_->RadioButtonClick(button);
    ShowSignals();
}

void TForm3::ListBox2Click() {
    // The main window loads the text table and every window sets its texts again.
    options_->ListBox2Click(ui_->ListBox2->currentRow());
}

void TForm3::Edit1KeyPress() {
    options_->Edit1KeyPress(OptionsLogic::kEnterKey, ui_->Edit1->text().toStdString());
}

void TForm3::Edit2KeyPress() {
    options_->Edit2KeyPress(OptionsLogic::kEnterKey, ui_->Edit2->text().toStdString());
}

void TForm3::Edit3KeyDown() {
    options_->Edit3KeyDown(OptionsLogic::kEnterKey, ui_->Edit3->currentText().toStdString());
}

void TForm3::Edit3Click(int index) {
    options_->Edit3Click(index);
    ShowImpedanceList();
}

void TForm3::Button1Click() {
    options_->Button1Click(ui_->Edit3->currentText().toStdString());
    ShowImpedanceList();
}

void TForm3::Button2Click() {
    options_->Button2Click();
    ShowImpedanceList();
}

void TForm3::CheckBox3Click() {
    options_->CheckBox3Click(ui_->CheckBox3->isChecked());
    ShowExternalStart();
}

void TForm3::ComboBox3Change() {
    options_->ComboBox3Change(ui_->ComboBox3->currentIndex());
    ShowExternalStart();
}

void TForm3::ComboBox4Change() {
    selection_->ComboBox4Change(ui_->ComboBox4->currentIndex());
    ShowBoard();
}

void TForm3::CBDeviceSelectChange() {
    const int row = ui_->CBDeviceSelect->currentIndex();
    if (row == options_->DeviceRow()) {
        return; // the same device: nothing to reload
    }
    const int fillsBefore = fills_;
    options_->CBDeviceSelectChange(row); // stops a running output, reloads the driver
    if (main_.TerminationRequested()) {
        return;
    }
    // The main window refreshes this window's board lists after a reload that found
    // a driver; after one that did not, the lists of the released driver go.
    if (fills_ == fillsBefore) {
        FillBoardSettings();
    }
    ShowExternalStart();
}

void TForm3::UpdateButtonClick() {
    selection_->UpdateButtonClick();
    ShowBoard();
}

void TForm3::Label13Click() {
    if (openLink) {
        openLink(QUrl(QString::fromLatin1(kMakerAddress)));
    }
}

// --- board::BoardSelectionHost ---

bool TForm3::OutputRunning() const {
    return main_.OutputRunning();
}

void TForm3::StartButtonClick() {
    main_.StartButtonClick();
}

void TForm3::SetupTuner(IADCDevice* driver) {
    main_.Core().SetupTuner(driver);
}

void TForm3::EndApplication() {
    main_.EndApplication();
}

// --- Events ---

void TForm3::showEvent(QShowEvent* event) {
    ShowLibraries();
    QWidget::showEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnterKey(event)) {
        // Enter confirms the edit's text; the combo box must not act on it as well.
        if (watched == ui_->Edit1) {
            Edit1KeyPress();
            return true;
        }
        if (watched == ui_->Edit2) {
            Edit2KeyPress();
            return true;
        }
        if (watched == ui_->Edit3->lineEdit()) {
            Edit3KeyDown();
            return true;
        }
    }
    if (watched == ui_->Label13) {
        if (event->type() == QEvent::MouseMove) {
            SetLinkColour(ui_->Label13, Qt::blue);
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            Label13Click();
            return true;
        }
    }
    if (watched == ui_->TabSheet5 && event->type() == QEvent::MouseMove) {
        SetLinkColour(ui_->Label13, Qt::black);
    }
    return QWidget::eventFilter(watched, event);
}
