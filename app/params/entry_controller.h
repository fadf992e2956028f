#pragma once
// EntryController: the main window's numeric entry. It holds the entry's state (the
// six boxes' texts, focus, sign, point, underflow, the limits and track-bar mapping
// of the chosen parameter, whole-number mode, the unit keys) and turns every
// operator action into a value that it limits and hands to the parameter model's
// setter of the chosen kind at once. The window forwards events and shows what
// EntryView is told.
//
// Positions: 1-5 are the digit boxes Num1 (most significant) .. Num5, 6 is the
// exponent box NumPower.
//
// Main thread only.

#include "app/params/entry_view.h"
#include "app/params/number_entry.h"
#include "app/params/parameter_model.h"
#include "app/params/parameter_view.h"
#include "app/params/signal_types.h"
#include "app/params/track_bar.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class EntryController {
public:
    static constexpr int kExponentBox = 6;

    EntryController(ParameterModel& model, EntryView& view);

    // The extended parameters window (limits, units and values of kinds 6 and up);
    // null while it does not exist.
    void SetAdditionalParameters(AdditionalParameters* provider) { additional_ = provider; }
    // Start or stop the output: keyboard code 13 and the Enter key.
    std::function<void()> startStop;

    // --- Choosing what the entry edits ---
    // Kinds 0-5 (a radio button of the main window): the period and the duration
    // first commit the entry to the previous kind; whole-number mode for the block
    // kinds; the kind's value, unit keys, limits, MinBar/MaxBar, unit and bar mapping;
    // the bar is hidden except for the duration; ApplyEntry; focus to Num1.
    void ChooseKind(ParameterKind k);
    // An additional parameter (6 and up), as the extended parameters window asks:
    // its limits, sign rule, unit keys and unit; linear bar, shown and focused.
    void ChooseAdditional(ParameterKind k);
    // Shows the stored value of `k` (LoadValue): digits, sign and the exponent within
    // -9 .. 8 (0 .. 8 for the block kinds).
    void ShowKind(ParameterKind k);
    // Shows the chosen kind's stored value again (after the preview moved the block).
    void Refresh() { ShowKind(kind_); }

    // --- Acting on the boxes ---
    // Reads the boxes; beyond the limits the entry shows the limit; moves the bar;
    // commits.
    void ApplyEntry();
    // Reads the boxes, limits the value (showing a limited value) and calls the
    // model's setter of the chosen kind.
    void CommitEntry();

    // Up/down images, arrow keys in a digit box, wheel: one step of digit `position`
    // (1-5) up or down, with carry, borrow and the sign rules; then ApplyEntry.
    void StepDigitUp(int position);
    void StepDigitDown(int position);
    // Exponent by `delta`; `bounded` (the images) stops at -9 and 8, the arrow keys
    // and the wheel do not. Then ApplyEntry.
    void StepExponent(int delta, bool bounded);

    // --- Keys ---
    void TypeDigit(int digit); // into the focused box; focus one box right (cyclic)
    void Backspace();          // undo the last typed digit
    void Clear();              // Esc: all boxes "0", sign off, focus Num1
    void Sign();               // minus sign, or negates the exponent box
    void DecimalPoint();       // point left of the focused digit (Num2 .. Num5)
    void UnitKey(int index);   // 0 KeyO, 1 KeyK, 2 KeyM: the key's exponent
    // The keyboard window's codes 1-20: 1-9 digits, 10 digit 0, 11 clear,
    // 12 Backspace, 13 start/stop, 16 point, 17 sign, 18-20 unit keys 3, 2, 1.
    void KeyboardCode(int code);
    // Enter: commits the chosen kind when the focus is in a box, then start/stop.
    void Enter(bool inEntryBox);
    void FocusLeft();                    // cyclic: left of Num1 is NumPower
    void FocusRight();                   // cyclic: right of NumPower is Num1
    void SetFocusPosition(int position); // mouse press in a box
    void ArrowUp();                      // in the focused box: digit step, or exponent +1 unbounded
    void ArrowDown();                    // digit step down, or exponent -1 unbounded
    void Wheel(int position, bool forward); // over a box
    void WheelOverBar(bool forward);        // Num5 up / down
    void BarKey(bool right);                // Left/Right on the bar: Num5 down / up

    // --- Track bar ---
    // The operator moved the bar to `position`: the value follows and is committed.
    void BarMoved(int position);
    // Mouse press (and move with the button held) at x on a bar `width` pixels wide.
    void BarPressed(int x, int width);
    void MinBarClick(); // lowest position: the minimum
    void MaxBarClick(); // highest position: the maximum

    // --- State ---
    ParameterKind Kind() const { return kind_; }
    const std::string& Box(int position) const;
    int Focus() const { return focus_; }
    bool Negative() const { return entry_.Negative(); }
    int Point() const { return entry_.Point(); }
    bool Underflow() const { return underflow_; }
    bool SignedKind() const { return signed_; }
    bool WholeNumberMode() const { return wholeNumber_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    const BarMapping& Bar() const { return bar_; }
    const std::array<int, 3>& UnitExponents() const { return unitExponents_; }
    const std::array<std::string, 3>& UnitCaptions() const { return unitCaptions_; }
    const NumberEntry& Entry() const { return entry_; }
    // The value the boxes show now.
    double BoxValue() const;

private:
    bool IsBlockKind() const;
    int ExponentShown(int e) const;
    int BoxExponent() const;
    void SetBox(int position, const std::string& text);
    void SetDigit(int position, int digit);
    int DigitAt(int position) const;
    bool ZeroThrough(int position) const;
    void Raise(int position);
    void Lower(int position);
    void LoadAndShow(double v);
    void SetFocusTo(int position);
    void EnterWholeNumberMode();
    void LeaveWholeNumberMode();
    void SetUnitKeys(const std::array<std::string, 3>& captions,
                     const std::array<int, 3>& exponents);
    void SetBar(const BarMapping& bar);
    std::string LimitText(double v, const std::string& unit);

    ParameterModel& model_;
    EntryView& view_;
    AdditionalParameters* additional_ = nullptr;
    NumberEntry entry_{5, 2, -9, 8};

    ParameterKind kind_ = -1;               // none chosen yet
    std::array<std::string, 7> boxes_{};    // index = position; 0 unused
    std::array<std::string, 7> previous_{}; // text before the last typed digit
    int focus_ = 1;
    bool underflow_ = false;
    bool signed_ = false;
    bool wholeNumber_ = false;
    int rememberedPoint_ = 2;
    double minimum_ = 0;
    double maximum_ = 0;
    BarMapping bar_;
    std::array<int, 3> unitExponents_{};
    std::array<std::string, 3> unitCaptions_{};
};
