#include "app/params/keyboard_layout.h"

namespace {

constexpr int kKeyM = 16; // grid positions of the unit keys
constexpr int kKeyK = 17;
constexpr int kKeyO = 18;

} // namespace

const std::array<KeyButton, KeyboardLayout::kButtonCount>& KeyboardLayout::Buttons() {
    static const std::array<KeyButton, kButtonCount> buttons{{
        {"Key7", "7", 14, 7, 0, 0, true},   {"Key8", "8", 15, 8, 0, 1, true},
        {"Key9", "9", 16, 9, 0, 2, true},   {"KeyC", "C", 17, 11, 0, 3, true},
        {"Key4", "4", 10, 4, 1, 0, true},   {"Key5", "5", 11, 5, 1, 1, true},
        {"Key6", "6", 12, 6, 1, 2, true},   {"KeyBack", "<--", 13, 12, 1, 3, true},
        {"Key1", "1", 6, 1, 2, 0, true},    {"Key2", "2", 7, 2, 2, 1, true},
        {"Key3", "3", 8, 3, 2, 2, true},    {"KeyEntr", "__|", 9, 13, 2, 3, true},
        {"Key0", "0", 3, 10, 3, 0, true},   {"KeyPlMi", "+/-", 4, 17, 3, 1, true},
        {"KeyZpt", ",", 5, 16, 3, 2, true}, {"KeyNum1", "", -1, 14, 3, 3, false},
        {"KeyM", "MHz", 0, 18, 4, 0, true}, {"KeyK", "KHz", 1, 19, 4, 1, true},
        {"KeyO", "Hz", 2, 20, 4, 2, true},  {"KeyNum2", "", -1, 15, 4, 3, false},
    }};
    return buttons;
}

std::optional<int> KeyboardLayout::ButtonOfFocus(int focusIndex) {
    if (focusIndex < 0 || focusIndex >= kFocusCount) {
        return std::nullopt;
    }
    const auto& buttons = Buttons();
    for (int i = 0; i < kButtonCount; ++i) {
        if (buttons[static_cast<std::size_t>(i)].focusIndex == focusIndex) {
            return i;
        }
    }
    return std::nullopt;
}

int KeyboardLayout::Neighbour(int focusIndex, ArrowKey key) {
    const std::optional<int> from = ButtonOfFocus(focusIndex);
    if (!from) {
        return focusIndex;
    }
    int dRow = 0;
    int dColumn = 0;
    switch (key) {
    case ArrowKey::Left:
        dColumn = -1;
        break;
    case ArrowKey::Up:
        dRow = -1;
        break;
    case ArrowKey::Right:
        dColumn = 1;
        break;
    case ArrowKey::Down:
        dRow = 1;
        break;
    }
    const auto& buttons = Buttons();
    int row = buttons[static_cast<std::size_t>(*from)].row + dRow;
    int column = buttons[static_cast<std::size_t>(*from)].column + dColumn;
    while (row >= 0 && row < kRows && column >= 0 && column < kColumns) {
        const KeyButton& next = buttons[static_cast<std::size_t>(row * kColumns + column)];
        if (next.enabled) {
            return next.focusIndex;
        }
        row += dRow;
        column += dColumn;
    }
    return focusIndex;
}

KeyboardLayout::KeyboardLayout(std::function<void(int code)> send) : send_(std::move(send)) {
    const auto& buttons = Buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        captions_[i] = std::string(buttons[i].caption);
    }
}

void KeyboardLayout::Click(int button) {
    if (button < 0 || button >= kButtonCount) {
        return;
    }
    const KeyButton& key = Buttons()[static_cast<std::size_t>(button)];
    if (!key.enabled) {
        return;
    }
    focus_ = key.focusIndex;
    if (send_) {
        send_(key.code);
    }
}

bool KeyboardLayout::HookKey(int virtualKey, bool pressed, bool windowActive) {
    if (!windowActive || !pressed || virtualKey < static_cast<int>(ArrowKey::Left) ||
        virtualKey > static_cast<int>(ArrowKey::Down)) {
        return false;
    }
    focus_ = Neighbour(focus_, static_cast<ArrowKey>(virtualKey));
    return true;
}

void KeyboardLayout::SetUnitCaptions(const std::array<std::string, 3>& names) {
    captions_[kKeyO] = names[0];
    captions_[kKeyK] = names[1];
    captions_[kKeyM] = names[2];
}

std::string KeyboardLayout::Caption(int button) const {
    if (button < 0 || button >= kButtonCount) {
        return {};
    }
    return captions_[static_cast<std::size_t>(button)];
}
