// TForm1: the signal type's layout and the parameter choices.

#include "app/board/device_kind.h"
#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Gen.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "ui_Extendedparamwindow.h"
#include "ui_Gen.h"

#include <QSignalBlocker>

#include <tuple>

namespace {

// Bevel height of the synthesis layout, pixels.
constexpr int kBevelHeight = 67;
constexpr int kFrequencyChoiceWidth = 91;
// Caption of View / Saving in the synthesis layout.
constexpr int kSavingCaption = 187;

} // namespace

void TForm1::ShowTypeLayout(int type) {
    const bool file = type == signal_type::File;
    const auto show = [type](QWidget* widget, ParameterKind kind) {
        widget->setVisible(KindEnabled(type, kind));
    };
    // Choices the type offers are enabled; the values of the others are hidden.
    ui_->IsAmpChoose->setEnabled(KindEnabled(type, kind::Amplitude));
    ui_->IsFreqChoose->setEnabled(KindEnabled(type, kind::Frequency));
    ui_->IsPerChoose->setEnabled(KindEnabled(type, kind::Period));
    ui_->IsDurChoose->setEnabled(KindEnabled(type, kind::Duration));
    ui_->IsPerChoose->setVisible(!file);
    ui_->IsDurChoose->setVisible(!file);
    ui_->BlockStart->setVisible(file);
    ui_->BlockSize->setVisible(file);
    for (auto [label, rez, k] : {std::tuple{ui_->AmpMain, ui_->AmpRez, kind::Amplitude},
                                 std::tuple{ui_->FreqMain, ui_->FreqRez, kind::Frequency},
                                 std::tuple{ui_->PerMain, ui_->PerRez, kind::Period},
                                 std::tuple{ui_->DurMain, ui_->DurRez, kind::Duration}}) {
        show(label, k);
        show(rez, k);
    }
    ui_->StartBlockMain->setVisible(file);
    ui_->SizeBlockMain->setVisible(file);
    const QRect bevel2 = ui_->Bevel2->geometry();
    const QRect bevel1 = ui_->Bevel1->geometry();
    const int height2 = file ? ui_->IsAdditionalChoose->y() - bevel2.y() : kBevelHeight;
    const int height1 = file ? ui_->PerRez->y() - bevel1.y() - 2 : kBevelHeight;
    ui_->Bevel2->setGeometry(bevel2.x(), bevel2.y(), bevel2.width(), height2);
    ui_->Bevel1->setGeometry(bevel1.x(), bevel1.y(), bevel1.width(), height1);
    if (!file) {
        ui_->IsFreqChoose->resize(kFrequencyChoiceWidth, ui_->IsFreqChoose->height());
    }
}

void TForm1::SelectSignalType(int type) {
    if (type < signal_type::Constant || type > signal_type::File) {
        type = signal_type::Constant;
    }
    ParameterModel* model = core_->Model();
    const bool file = type == signal_type::File;
    const bool usb = core_->Board().Kind() == DeviceKind::Usb;
    {
        const QSignalBlocker blocker(ui_->SignalButton);
        ui_->SignalButton->setCurrentIndex(type);
    }
    if (file) {
        if (windows_.saving != nullptr) {
            windows_.saving->hide();
        }
        ui_->N4->setEnabled(false);
        const bool viewer = core_->ViewingAvailable();
        ui_->N18->setEnabled(viewer);
        if (viewer && model != nullptr && model->Params().fileLoaded &&
            core_->Settings().autoView && windows_.preview != nullptr &&
            !windows_.preview->isVisible()) {
            windows_.preview->show();
        }
    } else {
        if (windows_.preview != nullptr) {
            windows_.preview->hide();
        }
        ui_->N4->setEnabled(true);
        ui_->N18->setEnabled(false);
    }
    ui_->N15->menuAction()->setEnabled(usb);
    if (windows_.additional != nullptr) {
        windows_.additional->ShowPolarityControlsFor(type);
    }
    ShowTypeLayout(type);

    // No choice is checked until the amplitude is chosen again.
    for (QRadioButton* choice :
         {ui_->IsAmpChoose, ui_->IsFreqChoose, ui_->IsPerChoose, ui_->IsDurChoose, ui_->BlockStart,
          ui_->BlockSize, ui_->IsAdditionalChoose}) {
        const QSignalBlocker blocker(choice);
        choice->setAutoExclusive(false);
        choice->setChecked(false);
        choice->setAutoExclusive(true);
    }
    if (file) {
        SetTexts(); // the amplitude and frequency choices are renamed
        if (model != nullptr) {
            model->SetSampleClock(-1);
        }
    } else {
        // Back from the file type the choices take their names again; View /
        // Saving is named as the synthesis layout names it.
        SetChoiceTexts();
        if (const std::string saving = Text(kSavingCaption); !saving.empty()) {
            ui_->N4->setText(QString::fromStdString(saving));
        }
        if (model != nullptr) {
            model->SetFrequency(-1);
        }
    }
    if (core_->Entry() != nullptr) {
        ChooseParameter(kind::Amplitude);
    }
    // The file type cannot play without a file: a running output stops.
    if (file && model != nullptr && !model->Params().fileLoaded && core_->Output().Running()) {
        core_->StartStop();
    }
}

void TForm1::SignalButtonChange(int index) {
    ParameterModel* model = core_->Model();
    if (model == nullptr || index < 0) {
        return;
    }
    model->Params().recomputeNeeded = true;
    ui_->FreqRez->setText(QStringLiteral("0"));
    model->SelectType(index);
    SelectSignalType(index);
}

void TForm1::ChooseParameter(ParameterKind kind) {
    if (choosing_) {
        return;
    }
    choosing_ = true;
    QRadioButton* choice = nullptr;
    switch (kind) {
    case kind::Amplitude:
        choice = ui_->IsAmpChoose;
        break;
    case kind::Frequency:
        choice = ui_->IsFreqChoose;
        break;
    case kind::Period:
        choice = ui_->IsPerChoose;
        break;
    case kind::Duration:
        choice = ui_->IsDurChoose;
        break;
    case kind::BlockStart:
        choice = ui_->BlockStart;
        break;
    case kind::BlockSize:
        choice = ui_->BlockSize;
        break;
    default:
        choice = ui_->IsAdditionalChoose;
        break;
    }
    {
        const QSignalBlocker blocker(choice);
        choice->setChecked(true);
    }
    if (kind <= kind::BlockSize && windows_.additional != nullptr) {
        windows_.additional->Form().ParamList->setEnabled(false);
    }
    if (EntryController* entry = core_->Entry()) {
        entry->ChooseKind(kind);
    }
    choosing_ = false;
}

void TForm1::ChooseKindClick(ParameterKind kind) {
    ChooseParameter(kind);
}

void TForm1::IsAdditionalChooseClick() {
    ui_->Bar->show();
    {
        const QSignalBlocker blocker(ui_->IsAdditionalChoose);
        ui_->IsAdditionalChoose->setChecked(true);
    }
    TForm4* extended = windows_.additional;
    if (extended == nullptr) {
        SelectParameter(kind::Offset);
        return;
    }
    if (openOnAdditional_ && !extended->isVisible()) {
        extended->show();
    }
    if (extended->isVisible()) {
        extended->raise();
        extended->activateWindow();
    }
    QListWidget* list = extended->Form().ParamList;
    list->setEnabled(true);
    {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(0);
    }
    extended->Parameters().SetSelectedRow(0);
    extended->Parameters().SelectParameter();
}

void TForm1::SelectParameter(ParameterKind kind) {
    if (choosing_) {
        return;
    }
    choosing_ = true;
    {
        const QSignalBlocker blocker(ui_->IsAdditionalChoose);
        ui_->IsAdditionalChoose->setChecked(true);
    }
    if (EntryController* entry = core_->Entry()) {
        entry->ChooseAdditional(kind);
    }
    choosing_ = false;
}

void TForm1::ReselectParameter() {
    openOnAdditional_ = false;
    if (EntryController* entry = core_->Entry()) {
        const ParameterKind current = entry->Kind();
        if (current >= kind::Offset) {
            SelectParameter(current);
        } else if (current >= 0) {
            ChooseParameter(current);
        }
    }
}

void TForm1::NextParameter() {
    EntryController* entry = core_->Entry();
    if (entry == nullptr) {
        return;
    }
    entry->SetFocusPosition(1);
    SetFocus(1);
    struct Choice {
        QRadioButton* button;
        ParameterKind kind;
    };
    const Choice order[5] = {{ui_->IsAmpChoose, kind::Amplitude},
                             {ui_->IsFreqChoose, kind::Frequency},
                             {ui_->IsPerChoose, kind::Period},
                             {ui_->IsDurChoose, kind::Duration},
                             {ui_->IsAdditionalChoose, kind::Offset}};
    const auto offered = [](const Choice& choice) {
        return choice.button->isEnabled() && !choice.button->isHidden();
    };
    // After one of the four main kinds the search goes on cyclically through the
    // other four choices; after a block or additional kind it starts again at the
    // amplitude and offers only the four main kinds.
    const ParameterKind current = entry->Kind();
    const int first = current >= kind::Amplitude && current <= kind::Duration ? current + 1 : 0;
    for (int i = 0; i < 4; ++i) {
        const Choice& choice = order[(first + i) % 5];
        if (!offered(choice)) {
            continue;
        }
        if (choice.kind == kind::Offset) {
            IsAdditionalChooseClick();
        } else {
            ChooseParameter(choice.kind);
        }
        return;
    }
}

void TForm1::AdditionalKey() {
    if (EntryController* entry = core_->Entry()) {
        entry->SetFocusPosition(1);
        SetFocus(1);
    }
    TForm4* extended = windows_.additional;
    if (extended == nullptr) {
        return;
    }
    if (ui_->IsAdditionalChoose->isChecked()) {
        if (!extended->isVisible()) {
            extended->show();
        }
        extended->Parameters().SelectNextParameter();
        const QSignalBlocker blocker(extended->Form().ParamList);
        extended->Form().ParamList->setCurrentRow(extended->Parameters().SelectedRow());
    } else if (extended->isVisible()) {
        IsAdditionalChooseClick();
    }
}
