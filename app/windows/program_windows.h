#pragma once
// The program's seven windows, created in this order: TForm1 (main), TForm2
// (keyboard), TForm3 (options), TForm4 (extended parameters), TForm5 (saved
// signals), TForm6 (preview), TForm7 (file settings). The main window's
// constructor runs the start-up before the others exist. When it asks the program
// to end, the other windows are not made (nothing would use them) and
// TerminationRequested() is true: the event loop must not run.
//
// Once the start-up succeeded, generation control (GenerationPanel) is made right
// after the main window; it goes after the other windows and before the main
// window, whose destruction unloads the signal library and the driver it uses.
//
// Destruction runs the other way round, so the main window, which saves the
// settings, goes last and sees what the other windows recorded.

#include "app/board/generator_core.h"

#include <memory>

class GenerationPanel;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;

class ProgramWindows {
public:
    explicit ProgramWindows(board::StartupOptions options);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    bool TerminationRequested() const;
    TForm1& Main() { return *main_; }
    // Null when the start-up failed.
    GenerationPanel* Generation() { return generation_.get(); }
    TForm2* Keyboard() { return keyboard_.get(); }
    TForm3* Options() { return options_.get(); }
    TForm4* Additional() { return additional_.get(); }
    TForm5* Saving() { return saving_.get(); }
    TForm6* Preview() { return preview_.get(); }
    TForm7* FileSettings() { return fileSettings_.get(); }

private:
    std::unique_ptr<TForm1> main_;
    std::unique_ptr<GenerationPanel> generation_;
    std::unique_ptr<TForm2> keyboard_;
    std::unique_ptr<TForm3> options_;
    std::unique_ptr<TForm4> additional_;
    std::unique_ptr<TForm5> saving_;
    std::unique_ptr<TForm6> preview_;
    std::unique_ptr<TForm7> fileSettings_;
};
