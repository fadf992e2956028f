#include "app/windows/program_windows.h"

#include "app/windows/Extendedparamwindow.h"
#include "app/windows/Fileconfig.h"
#include "app/windows/Gen.h"
#include "app/windows/Keywindow.h"
#include "app/windows/Optionswindow.h"
#include "app/windows/Preview.h"
#include "app/windows/Savewindow.h"
#include "app/windows/generation_panel.h"

ProgramWindows::ProgramWindows(board::StartupOptions options)
    : main_(std::make_unique<TForm1>(std::move(options))) {
    if (main_->TerminationRequested()) {
        return;
    }
    generation_ = std::make_unique<GenerationPanel>(*main_);
    if (main_->TerminationRequested()) {
        return; // no sample buffer: the program ends
    }
    AuxiliaryWindows windows;
    keyboard_ = std::make_unique<TForm2>(*main_);
    windows.keyboard = keyboard_.get();
    main_->SetWindows(windows);
    options_ = std::make_unique<TForm3>(*main_);
    windows.options = options_.get();
    main_->SetWindows(windows);
    additional_ = std::make_unique<TForm4>(*main_);
    windows.additional = additional_.get();
    main_->SetWindows(windows);
    saving_ = std::make_unique<TForm5>(*main_);
    windows.saving = saving_.get();
    main_->SetWindows(windows);
    preview_ = std::make_unique<TForm6>(*main_);
    windows.preview = preview_.get();
    main_->SetWindows(windows);
    fileSettings_ = std::make_unique<TForm7>(*main_);
    windows.fileSettings = fileSettings_.get();
    main_->SetWindows(windows);
}

ProgramWindows::~ProgramWindows() {
    // Each window is forgotten by the main window before it goes.
    AuxiliaryWindows windows = main_->Windows();
    windows.fileSettings = nullptr;
    main_->SetWindows(windows);
    fileSettings_.reset();
    windows.preview = nullptr;
    main_->SetWindows(windows);
    preview_.reset();
    windows.saving = nullptr;
    main_->SetWindows(windows);
    saving_.reset();
    windows.additional = nullptr;
    main_->SetWindows(windows);
    additional_.reset();
    windows.options = nullptr;
    main_->SetWindows(windows);
    options_.reset();
    windows.keyboard = nullptr;
    main_->SetWindows(windows);
    keyboard_.reset();
    generation_.reset();
    main_.reset();
}

bool ProgramWindows::TerminationRequested() const {
    return main_->TerminationRequested();
}
