#pragma once
// TForm3 (Optionswindow): the options window, a tool window with six tabs. A thin
// view over OptionsLogic (app/params/options_logic.h: the settings its controls
// write) and board::BoardSelection (app/board/board_selection.h: the board list,
// probing with a second driver object, the board information and the library
// list). Each control event goes to one of them; the window then shows their state.
// Position: Options_X, Options_Y.
//
// Tabs in page order (the main window opens them by these indexes): 0 Signals,
// 1 Interface, 2 Output parameters, 3 About, 4 Board settings, 5 Information.

#include "app/board/board_selection.h"
#include "app/params/options_logic.h"

#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TForm3;
}
class TForm1;

class TForm3 final : public QWidget, public board::BoardSelectionHost {
    Q_OBJECT

public:
    // The maker's web address, shown and opened by Label13.
    static constexpr const char* kMakerAddress = "https://www.quorvel.example/";

    explicit TForm3(TForm1& main);
    ~TForm3() override;

    // Every text in the current language; the device, external-start and family
    // lists keep their selections; the library list is refreshed.
    void SetTexts();
    // Hides the window when it is visible, else shows it.
    void ToggleVisible();
    // Shows the window with tab `index` (0 Signals .. 5 Information).
    void ShowTab(int index);
    // The board's synthesiser: RadioButton4 enabled only with one.
    void ShowSynthesiser(bool present);
    // Refills the board list and puts the settings into the voltage, impedance and
    // external-start controls; reopens the chosen board when one was found. The main
    // window runs it after a driver reload.
    void FillBoardSettings();

    TForm1& Main() const { return main_; }
    Ui::TForm3& Form() { return *ui_; }
    OptionsLogic& Options() { return *options_; }
    board::BoardSelection& Selection() { return *selection_; }

    // Label13Click opens the address with this (the desktop's default handler unless
    // replaced).
    std::function<void(const QUrl&)> openLink;

    // Handlers.
    void ListBox1Click();
    void RadioButtonClick(int button); // RadioButton1Click .. RadioButton4Click: 0-3
    void ListBox2Click();
    void Edit1KeyPress();       // Enter
    void Edit2KeyPress();       // Enter
    void Edit3KeyDown();        // Enter
    void Edit3Click(int index); // a list entry chosen
    void Button1Click();
    void Button2Click();
    void CheckBox3Click();
    void ComboBox3Change();
    void ComboBox4Change();
    void CBDeviceSelectChange();
    void UpdateButtonClick();
    void Label13Click();

    // --- board::BoardSelectionHost ---
    bool OutputRunning() const override;
    void StartButtonClick() override;
    void SetupTuner(IADCDevice* driver) override;
    void EndApplication() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Connect();
    // The controls from the logic's state.
    void ShowSignals();
    void ShowOutputParameters();
    void ShowImpedanceList();
    void ShowExternalStart();
    void ShowBoard();
    void ShowLibraries();
    void FillList(class QComboBox* list, const std::vector<std::string>& rows, int selected);

    TForm1& main_;
    std::unique_ptr<Ui::TForm3> ui_;
    std::unique_ptr<OptionsLogic> options_;
    std::unique_ptr<board::BoardSelection> selection_;
    // FillBoardSettings runs, counted, so that a device change refills once.
    int fills_ = 0;
};
