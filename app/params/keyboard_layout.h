#pragma once
// KeyboardLayout: the on-screen keyboard without its widgets. Twenty buttons in five
// rows of four; each sends one key code to the main window's numeric entry
// (EntryController::KeyboardCode), and the arrow keys move the keyboard focus
// between the eighteen enabled buttons. The window creates one button per entry of
// Buttons(), forwards clicks and arrow keys, and gives the focus to the button
// whose focus index FocusIndex() names.
//
// Main thread only.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct KeyButton {
    std::string_view name;    // control name: Key7, KeyC, ...
    std::string_view caption; // design-time caption; the unit keys get theirs later
    int focusIndex;           // 0-17; -1 for the two disabled buttons
    int code;                 // key code for EntryController::KeyboardCode
    int row;                  // 0 (top) .. 4
    int column;               // 0 (left) .. 3
    bool enabled;
};

// Text numbers of the window.
namespace keyboard_text {
inline constexpr int Caption = 31;    // "Keyboard"
inline constexpr int ClearHint = 121; // KeyC: "Refresh"
inline constexpr int BackHint = 122;  // KeyBack: "Undo the input of the previos value"
inline constexpr int EnterHint = 123; // KeyEntr: "Start/Stop"
} // namespace keyboard_text

// Arrow keys by their virtual key codes.
enum class ArrowKey : int { Left = 37, Up = 38, Right = 39, Down = 40 };

class KeyboardLayout {
public:
    static constexpr int kRows = 5;
    static constexpr int kColumns = 4;
    static constexpr int kButtonCount = kRows * kColumns;
    static constexpr int kFocusCount = 18;
    static constexpr int kInitialFocus = 3; // Key0

    // The buttons in grid order (row by row, left to right).
    static const std::array<KeyButton, kButtonCount>& Buttons();
    // The button with focus index `focusIndex`; nullopt outside 0-17.
    static std::optional<int> ButtonOfFocus(int focusIndex);
    // The focus index the arrow key moves to from `focusIndex`: the next enabled
    // button in that direction, skipping disabled ones; `focusIndex` itself where
    // there is none. Outside 0-17 it is returned unchanged.
    static int Neighbour(int focusIndex, ArrowKey key);

    // `send` receives the key codes (the main window's numeric entry).
    explicit KeyboardLayout(std::function<void(int code)> send);

    // A click on button `button` (index into Buttons()): an enabled button takes the
    // focus and sends its code; a disabled one sends nothing and leaves the focus.
    void Click(int button);
    // The keyboard hook: acts only while the keyboard window is active, for a key
    // being pressed and only for the four arrow keys (virtual key codes 37-40).
    // Moves the focus and returns true (the key is swallowed); any other key
    // returns false and is passed on.
    bool HookKey(int virtualKey, bool pressed, bool windowActive);

    int FocusIndex() const { return focus_; }
    // The button that has the focus (index into Buttons()).
    int FocusButton() const { return *ButtonOfFocus(focus_); }

    // The unit names of the main window's current parameter, base unit first (the
    // order of EntryController::UnitCaptions): [0] goes on KeyO, [1] on KeyK, [2] on
    // KeyM.
    void SetUnitCaptions(const std::array<std::string, 3>& names);
    // The caption of button `button` now: the unit keys' from SetUnitCaptions,
    // every other's from Buttons().
    std::string Caption(int button) const;

private:
    std::function<void(int)> send_;
    int focus_ = kInitialFocus;
    // Captions by button; the unit keys start with "MHz", "KHz", "Hz".
    std::array<std::string, kButtonCount> captions_;
};
