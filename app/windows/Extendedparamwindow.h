#pragma once
// TForm4 (Extendedparamwindow): the extended parameters window. A thin view over
// ExtendedParameters (app/params/extended_parameters.h), which is also the provider
// of the additional parameter (6, the base voltage) for the main window's
// parameter model and numeric entry: the window hands it to both for its life.
// It shows the entered and realised base voltage, the polarity buttons (one of the
// three is down) and the filter button. Position: Additional_X, Additional_Y.

#include "app/params/extended_parameters.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TForm4;
}
class QButtonGroup;
class TForm1;

class TForm4 final : public QWidget, public ExtendedParametersView {
    Q_OBJECT

public:
    explicit TForm4(TForm1& main);
    ~TForm4() override;

    // Captions, hints and the list in the current language.
    void SetTexts();
    // Hides the window when it is visible, else shows it.
    void ToggleVisible();
    TForm1& Main() const { return main_; }
    Ui::TForm4& Form() { return *ui_; }
    ExtendedParameters& Parameters() { return *parameters_; }

    // The polarity and filter buttons from the main window's values (after the
    // settings were applied, a saved signal was chosen, ...).
    void ApplySwitches();
    // The base voltage the board realises, shown in Real0.
    void ShowRealisedOffset(double volts);
    // Label1 and the polarity buttons: hidden for the data file.
    void ShowPolarityControlsFor(int signalType);

    // Handlers.
    void ButtonMinusPolarClick() { parameters_->ButtonMinusPolarClick(); }
    void ButtonBePolarClick() { parameters_->ButtonBePolarClick(); }
    void ButtonPlusPolarClick() { parameters_->ButtonPlusPolarClick(); }
    void SpeedButton1Click() { parameters_->SpeedButton1Click(); }
    void ParamListClick();

    // --- ExtendedParametersView ---
    void ShowEntered(const std::string& text) override;
    void ShowRealised(const std::string& text) override;
    void ShowPolarity(int polarity) override;
    void ShowFilter(bool down) override;
    void ShowPolarityControls(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Attach(ExtendedParameters* provider);

    TForm1& main_;
    std::unique_ptr<Ui::TForm4> ui_;
    std::unique_ptr<ExtendedParameters> parameters_;
    QButtonGroup* polarityGroup_ = nullptr;
    bool refilling_ = false;
};
