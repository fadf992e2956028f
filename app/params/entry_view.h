#pragma once
// What the numeric entry shows on the main window: five digit boxes Num1 .. Num5
// (positions 1-5), the exponent box NumPower (position 6), the minus sign LMinus, the
// decimal point Zpt1 .. Zpt4, the unit, the limit labels MinBar/MaxBar, the track bar
// and the unit keys of the keyboard window. The main window implements it; every
// call only shows, none calls back into the entry.

#include <array>
#include <string>

class EntryView {
public:
    // Position 1-5: a digit "0" .. "9"; position 6: the exponent, e.g. "-3".
    virtual void ShowBox(int position, const std::string& text) = 0;
    virtual void ShowSign(bool negative) = 0; // LMinus visible
    // Digits right of the point: 1 Zpt4, 2 Zpt3, 3 Zpt2, 4 Zpt1; 0 shows none.
    virtual void ShowPoint(int point) = 0;
    virtual void SetFocus(int position) = 0; // the box that gets the keyboard focus
    virtual void FocusBar() = 0;
    virtual void SetBarRange(int lowest, int highest) = 0;
    // Moves the bar; the window must not treat this as the operator moving it.
    virtual void SetBarPosition(int position) = 0;
    virtual void SetBarVisible(bool visible) = 0;
    virtual void ShowLimits(const std::string& minimum, const std::string& maximum) = 0;
    virtual void ShowUnit(const std::string& unit) = 0; // UnitName
    // Captions of the keyboard window's KeyO, KeyK, KeyM.
    virtual void ShowUnitKeys(const std::array<std::string, 3>& captions) = 0;

protected:
    EntryView() = default;
    EntryView(const EntryView&) = default;
    EntryView& operator=(const EntryView&) = default;
    ~EntryView() = default;
};
