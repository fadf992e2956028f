#include "app/windows/Fileconfig.h"

#include "app/windows/Gen.h"
#include "app/windows/hint_text.h"
#include "ui_Fileconfig.h"

#include <QCloseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusTipEvent>

TForm7::TForm7(TForm1& main)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), main_(main),
      ui_(std::make_unique<Ui::TForm7>()) {
    ui_->setupUi(this);
    ui_->StatusBar1->setSizeGripEnabled(true);

    connect(ui_->IsNonSigned, &QCheckBox::clicked, this, [this](bool checked) {
        settings_->IsNonSignedClick(checked);
        ShowState();
    });
    connect(ui_->IsNullBits, &QCheckBox::clicked, this, [this](bool checked) {
        settings_->IsNullBitsClick(checked);
        ShowState();
    });
    connect(ui_->Agree, &QPushButton::clicked, this, [this] { AgreeClick(); });
    connect(ui_->Cancel, &QPushButton::clicked, this, [this] { CancelClick(); });

    board::GeneratorCore& core = main_.Core();
    settings_ = std::make_unique<FileSettings>(core.Settings(), *core.Model(), *core.Entry(),
                                               main_.FileHost(), core.Texts());
    // Creation: texts, the close permission cleared, the boxes from the settings,
    // the group's choice (always "16 bit": Data16 ends on).
    settings_->Create();
    SetControlTexts();
    ShowChoices();
}

TForm7::~TForm7() = default;

void TForm7::SetTexts() {
    SetControlTexts();
    settings_->SetTexts();
    ShowChoices();
}

void TForm7::SetControlTexts() {
    const auto text = [this](int id) { return QString::fromStdString(main_.Core().Text(id)); };
    if (const QString caption = text(file_settings_text::Caption); !caption.isEmpty()) {
        setWindowTitle(caption);
    }
    const auto set = [&](auto* control, int id) {
        if (const QString caption = text(id); !caption.isEmpty()) {
            control->setText(caption);
        }
    };
    set(ui_->IsNonSigned, file_settings_text::NonSigned);
    set(ui_->IsNullBits, file_settings_text::NullBits);
    set(ui_->Agree, file_settings_text::Accept);
    set(ui_->Cancel, file_settings_text::Cancel);
    const auto hint = [this](QWidget* widget, int id) { SetHint(widget, main_.Core().Text(id)); };
    hint(ui_->RadioGroup1, file_settings_text::DataWidthHint);
    hint(ui_->IsNonSigned, file_settings_text::NonSignedHint);
    hint(ui_->IsNullBits, file_settings_text::NullBitsHint);
}

void TForm7::ShowChoices() {
    for (QRadioButton* button : choices_) {
        delete button;
    }
    choices_.clear();
    const std::vector<std::string>& names = settings_->Choices();
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* button = new QRadioButton(QString::fromStdString(names[i]), ui_->RadioGroup1);
        button->setObjectName(QStringLiteral("RadioGroup1Choice%1").arg(i));
        ui_->RadioGroup1->layout()->addWidget(button);
        button->show(); // a child added to a shown group stays hidden otherwise
        const int choice = static_cast<int>(i);
        connect(button, &QRadioButton::clicked, this, [this, choice] {
            settings_->SelectChoice(choice);
            ShowState();
        });
        choices_.push_back(button);
    }
    ShowState();
}

void TForm7::ShowState() {
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        const QSignalBlocker blocker(choices_[i]);
        choices_[i]->setChecked(static_cast<int>(i) == settings_->SelectedChoice());
    }
    {
        const QSignalBlocker blocker(ui_->IsNonSigned);
        ui_->IsNonSigned->setChecked(settings_->NonSignedChecked());
    }
    {
        const QSignalBlocker blocker(ui_->IsNullBits);
        ui_->IsNullBits->setChecked(settings_->NullBitsChecked());
    }
    ui_->IsNullBits->setEnabled(settings_->NullBitsEnabled());
}

void TForm7::ShowForLoad() {
    settings_->ClearClosePermission();
    ShowState();
    show();
    raise();
    activateWindow();
}

void TForm7::AgreeClick() {
    settings_->AgreeClick();
    close();
}

void TForm7::CancelClick() {
    settings_->CancelClick();
    close();
}

void TForm7::closeEvent(QCloseEvent* event) {
    // FormCloseQuery: only Accept and Cancel close the window.
    if (settings_->CanClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm7::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ui_->StatusBar1->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}
