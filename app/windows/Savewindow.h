#pragma once
// TForm5 (Savewindow): the saved-signals window, a small tool window. A thin view:
// params::SavedSignals (app/params/saved_signals.h) runs the store and the
// handlers; this window shows its labels and list (SavedSignalsView) and hands it
// the main window (SavedSignalsHost) for Save and Apply.
//
// The store lives in "generator.sav" beside the settings file; every Save, Delete
// and rename is written at once, and the window's destruction writes it once more.
// Position: Save_X, Save_Y.

#include "app/params/saved_signals.h"

#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class TForm5;
}
class QLabel;
class TForm1;

class TForm5 final : public QWidget,
                     public params::SavedSignalsView,
                     public params::SavedSignalsHost {
    Q_OBJECT

public:
    explicit TForm5(TForm1& main);
    ~TForm5() override;

    // Captions and hints in the current language.
    void SetTexts();
    // Hides the window when it is visible, else shows it (the main window's View
    // menu).
    void ToggleVisible();
    TForm1& Main() const { return main_; }
    Ui::TForm5& Form() { return *ui_; }
    params::SavedSignals& Signals() { return *signals_; }
    // "generator.sav" in the folder of the settings file; empty without one.
    static std::string StorePath(const std::string& settingsPath);

    // Handlers.
    void SaveButtonClick();
    void DeleteButtonClick();
    void SaveListClick();
    void SaveListDblClick();
    void ApplyButtonClick();
    // Enter in SaveName.
    void SaveNameEnter();

    // --- SavedSignalsView ---
    void SetLabel(params::SavedSignalLabel label, const std::string& text) override;
    void EnableLabel(params::SavedSignalLabel label, bool enabled) override;
    void SetList(const std::vector<std::string>& names) override;

    // --- SavedSignalsHost ---
    double MaxSampleClock() override;
    params::SignalRecord CurrentSignal() override;
    void SetFilterAndType(bool filter, int type) override;
    void SetAmplitude(double volts) override;
    void SetFrequency(double hertz) override;
    void SetDuration(double seconds) override;
    void SetOffset(double volts) override;
    void SetPlayOnce(bool playOnce) override;
    void SetPolarityAndShowAll(int polarity) override;
    params::Dialogs& MessageBoxes() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Control(params::SavedSignalLabel label) const;
    // The selected list entry, -1 when none.
    int SelectedEntry() const;

    TForm1& main_;
    std::unique_ptr<Ui::TForm5> ui_;
    std::unique_ptr<params::SavedSignals> signals_;
    bool refilling_ = false;
};
