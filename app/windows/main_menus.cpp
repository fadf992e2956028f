// TForm1: the controls' connections, the menu commands and File / Load.

#include "app/board/report_message.h"
#include "app/params/signal_types.h"
#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "app/windows/main_entry_input.h"
#include "app/windows/main_file_load.h"
#include "ui_Gen.h"

#include <QApplication>
#include <QSignalBlocker>

namespace {

// OpenDialog1: data files of 16-bit samples, or any file.
constexpr const char* kDataFileFilter = "Dat(*.dat);;All files (*)";
constexpr const char* kDataFileSuffix = "dat";
constexpr int kCannotCreateBuffer = 207; // "Can't create a buffer"

// Pages of the options window.
constexpr int kSignalsPage = 0;
constexpr int kInterfacePage = 1;
constexpr int kOutputPage = 2;
constexpr int kAboutPage = 3;
constexpr int kBoardPage = 4;

} // namespace

void TForm1::ConnectControls() {
    connect(ui_->StartButton, &QPushButton::clicked, this, [this] { StartButtonClick(); });
    connect(ui_->SignalButton, &QComboBox::currentIndexChanged, this,
            [this](int index) { SignalButtonChange(index); });
    for (auto [choice, kind] :
         {std::pair{ui_->IsAmpChoose, kind::Amplitude},
          std::pair{ui_->IsFreqChoose, kind::Frequency}, std::pair{ui_->IsPerChoose, kind::Period},
          std::pair{ui_->IsDurChoose, kind::Duration}, std::pair{ui_->BlockStart, kind::BlockStart},
          std::pair{ui_->BlockSize, kind::BlockSize}}) {
        connect(choice, &QRadioButton::clicked, this, [this, k = kind] { ChooseKindClick(k); });
    }
    connect(ui_->IsAdditionalChoose, &QRadioButton::clicked, this,
            [this] { IsAdditionalChooseClick(); });
    connect(ui_->ImagePlug, &QToolButton::clicked, this, [this] { ShowOptionsPage(kBoardPage); });

    // The boxes change only through the entry: whatever reaches a box directly
    // (pasting, dropping) is put back at once.
    for (QLineEdit* box : {ui_->Num1, ui_->Num2, ui_->Num3, ui_->Num4, ui_->Num5, ui_->NumPower}) {
        connect(box, &QLineEdit::textEdited, this, [this, box] {
            if (EntryController* entry = core_->Entry()) {
                const QSignalBlocker blocker(box);
                box->setText(QString::fromStdString(entry->Box(input_->BoxPosition(box))));
            }
        });
    }
    // The bar's own keys (Page Up, Home, ...); positions the entry sets are blocked.
    connect(ui_->Bar, &QSlider::valueChanged, this, [this](int position) {
        if (EntryController* entry = core_->Entry()) {
            entry->BarMoved(position);
        }
    });
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            const int position = input_->BoxPosition(now);
            if (position != 0 && core_ && core_->Entry() != nullptr) {
                core_->Entry()->SetFocusPosition(position);
            }
        });

    connect(ui_->N6, &QAction::triggered, this, [this] { N6Click(); });
    connect(ui_->N7, &QAction::triggered, this, [this] { N7Click(); });
    connect(ui_->N1, &QAction::triggered, this, [this] { N1Click(); });
    connect(ui_->N3, &QAction::triggered, this, [this] { N3Click(); });
    connect(ui_->N4, &QAction::triggered, this, [this] { N4Click(); });
    connect(ui_->N18, &QAction::triggered, this, [this] { N18Click(); });
    connect(ui_->N8, &QAction::triggered, this, [this] { ShowOptionsPage(kSignalsPage); });
    connect(ui_->N9, &QAction::triggered, this, [this] { ShowOptionsPage(kOutputPage); });
    connect(ui_->N10, &QAction::triggered, this, [this] { ShowOptionsPage(kBoardPage); });
    connect(ui_->N11, &QAction::triggered, this, [this] { ShowOptionsPage(kInterfacePage); });
    connect(ui_->N12, &QAction::triggered, this, [this] { ShowOptionsPage(kAboutPage); });
}

// --- Menu commands ---

void TForm1::N1Click() {
    if (windows_.keyboard != nullptr) {
        windows_.keyboard->ToggleVisible();
    }
}

void TForm1::N3Click() {
    if (windows_.additional != nullptr) {
        windows_.additional->ToggleVisible();
    }
}

void TForm1::N4Click() {
    if (windows_.saving != nullptr) {
        windows_.saving->ToggleVisible();
    }
}

void TForm1::N18Click() {
    if (windows_.preview != nullptr) {
        windows_.preview->ToggleVisible();
    }
}

void TForm1::N6Click() {
    RunFileLoad();
}

void TForm1::N7Click() {
    close();
}

void TForm1::ShowOptionsPage(int page) {
    if (windows_.options != nullptr) {
        windows_.options->ShowTab(page);
        windows_.options->activateWindow();
    }
}

// --- File / Load ---

std::array<QWidget*, 6> TForm1::LoadWindows() {
    return {this,
            windows_.keyboard,
            windows_.options,
            windows_.additional,
            windows_.saving,
            windows_.preview};
}

FileLoadResult TForm1::RunFileLoad() {
    ParameterModel* model = core_->Model();
    if (model == nullptr) {
        return FileLoadResult::None;
    }
    if (model->Params().type != signal_type::File) {
        model->SelectType(signal_type::File);
        SelectSignalType(signal_type::File);
    }
    const std::optional<std::string> path =
        core_->Dialogs().OpenFile("", kDataFileFilter, kDataFileSuffix);
    if (!path) {
        return FileLoadResult::None;
    }
    DataFile file = ReadDataFile(*path);
    if (file.status == DataFileStatus::NoMemory) {
        board::ReportError(core_->Report(), core_->Texts(), __LINE__,
                           board::error_code::OutOfMemory, kCannotCreateBuffer);
    }
    if (file.status != DataFileStatus::Read) {
        // A file that cannot be read replaces nothing: a file loaded before stays.
        return FileLoadResult::None;
    }

    fileData_ = std::move(file.bytes);
    if (windows_.preview != nullptr) {
        windows_.preview->SetFileData(fileData_); // the old bytes are gone
    }
    model->SetLoadedFile(true, file.lastSampleIndex);
    SignalParameters& p = model->Params();
    const SampleBlock block = FitBlockToFile({p.blockStart, p.blockSize}, file.lastSampleIndex);
    p.blockStart = block.start;
    p.blockSize = block.size;
    model->SetBlockStart(-1); // shows the block and keeps it within the model's rules
    model->SetBlockSize(-1);
    if (EntryController* entry = core_->Entry();
        entry != nullptr &&
        (entry->Kind() == kind::BlockStart || entry->Kind() == kind::BlockSize)) {
        ChooseParameter(entry->Kind()); // the new limits and value
    }

    if (windows_.fileSettings == nullptr) {
        return FileLoadResult::Loaded;
    }
    const std::array<QWidget*, 6> windows = LoadWindows();
    for (size_t i = 0; i < windows.size(); ++i) {
        visibleBeforeLoad_[i] = windows[i] != nullptr && windows[i]->isVisible();
        if (windows[i] != nullptr) {
            windows[i]->hide();
        }
    }
    loadHidWindows_ = true;
    windows_.fileSettings->ShowForLoad();
    return FileLoadResult::Pending;
}

void TForm1::RestoreWindows() {
    if (loadHidWindows_) {
        loadHidWindows_ = false;
        const std::array<QWidget*, 6> windows = LoadWindows();
        for (size_t i = 0; i < windows.size(); ++i) {
            if (windows[i] != nullptr && visibleBeforeLoad_[i]) {
                windows[i]->show();
            }
        }
    } else {
        show();
    }
    if (windows_.preview != nullptr) {
        windows_.preview->SetFileData(fileData_);
        windows_.preview->Repaint();
    }
}
