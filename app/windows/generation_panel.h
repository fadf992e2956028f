#pragma once
// GenerationPanel: generation control and the flash menu on the main window's
// widgets. Made once the start-up has succeeded (the parameter model, the signal
// object and the board session exist only then) and destroyed before the main
// window, while the signal library and the driver are still loaded.
//
// It implements GenerationView over StartButton, ProgressBar1, the flash items
// N16 / N17, the board display and File / Load, and GenerationTimers over the main
// window's timers 2, 3, 9 and 99. It owns the board link, GenerationControl, its
// OutputControl face and FlashMemory, and plugs them in: the core's Start/Stop
// action and close question, the main window's restart and load forwarding, the
// parameter model's restart on change, ButtonHand and the flash menu.
//
// Main thread only.

#include "app/board/flash_memory.h"
#include "app/board/generation_control.h"
#include "app/board/generation_host.h"
#include "app/board/generation_wiring.h"

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QTimer;
class TForm1;

// A QObject only as the context of its connections: they end with it.
class GenerationPanel final : public QObject, public GenerationView, public GenerationTimers {
public:
    explicit GenerationPanel(TForm1& main);
    ~GenerationPanel() override;
    GenerationPanel(const GenerationPanel&) = delete;
    GenerationPanel& operator=(const GenerationPanel&) = delete;

    GenerationControl& Generation() { return generation_; }
    FlashMemory& Flash() { return flash_; }

    // --- GenerationView ---
    void SetStartButton(StartFace face, const std::string& caption) override;
    bool StartButtonEnabled() const override;
    void RefreshBoardState() override;
    void SetFlashWriteEnabled(bool enabled) override;
    void SetFlashEraseEnabled(bool enabled) override;
    void ShowProgress(bool visible) override;
    void SetProgressRange(int32_t maximum) override;
    void SetProgressPosition(int32_t position) override;
    void SetRealisedOffset(double volts) override;
    FileLoadResult RunFileLoad() override;

    // --- GenerationTimers (2, 3, 9, 99) ---
    void SetTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    bool IsTimerSet(int id) const override;

    // ButtonHand: toggles single play; the button shows the new state.
    void ButtonHandClick();

private:
    QTimer* TimerOf(int id) const;

    TForm1& main_;
    SessionBoardLink link_;
    GenerationControl generation_;
    GenerationOutput output_;
    FlashMemory flash_;
    // The model's restart hook as it was before the panel took it over.
    std::function<void()> previousRestart_;
    std::vector<QMetaObject::Connection> connections_;
};
