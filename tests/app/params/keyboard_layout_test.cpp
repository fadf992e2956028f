// KeyboardLayout: the code and focus index of every button, the arrow-key table,
// the hook's conditions and the unit captions from the main window's entry.

#include "app/params/entry_controller.h"
#include "app/params/keyboard_layout.h"
#include "tests/app/params/param_model_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int ButtonNamed(std::string_view name) {
    const auto& buttons = KeyboardLayout::Buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].name == name) {
            return static_cast<int>(i);
        }
    }
    ADD_FAILURE() << "no button " << name;
    return -1;
}

struct ButtonCase {
    const char* name;
    int focusIndex; // -1: disabled
    int code;
};

class ButtonTest : public ::testing::TestWithParam<ButtonCase> {
protected:
    std::vector<int> sent;
    KeyboardLayout layout{[this](int code) { sent.push_back(code); }};
};

TEST_P(ButtonTest, ClickSendsItsCodeAndTakesTheFocus) {
    const ButtonCase& c = GetParam();
    const int button = ButtonNamed(c.name);
    ASSERT_GE(button, 0);
    const KeyButton& key = KeyboardLayout::Buttons()[static_cast<std::size_t>(button)];
    EXPECT_EQ(key.code, c.code);
    EXPECT_EQ(key.focusIndex, c.focusIndex);

    layout.Click(button);
    if (c.focusIndex < 0) {
        EXPECT_FALSE(key.enabled);
        EXPECT_TRUE(sent.empty());
        EXPECT_EQ(layout.FocusIndex(), KeyboardLayout::kInitialFocus);
    } else {
        EXPECT_EQ(sent, std::vector<int>{c.code});
        EXPECT_EQ(layout.FocusIndex(), c.focusIndex);
        EXPECT_EQ(layout.FocusButton(), button);
    }
}

INSTANTIATE_TEST_SUITE_P(Grid, ButtonTest,
                         ::testing::Values(ButtonCase{"Key7", 14, 7}, ButtonCase{"Key8", 15, 8},
                                           ButtonCase{"Key9", 16, 9}, ButtonCase{"KeyC", 17, 11},
                                           ButtonCase{"Key4", 10, 4}, ButtonCase{"Key5", 11, 5},
                                           ButtonCase{"Key6", 12, 6}, ButtonCase{"KeyBack", 13, 12},
                                           ButtonCase{"Key1", 6, 1}, ButtonCase{"Key2", 7, 2},
                                           ButtonCase{"Key3", 8, 3}, ButtonCase{"KeyEntr", 9, 13},
                                           ButtonCase{"Key0", 3, 10}, ButtonCase{"KeyPlMi", 4, 17},
                                           ButtonCase{"KeyZpt", 5, 16},
                                           ButtonCase{"KeyNum1", -1, 14}, ButtonCase{"KeyM", 0, 18},
                                           ButtonCase{"KeyK", 1, 19}, ButtonCase{"KeyO", 2, 20},
                                           ButtonCase{"KeyNum2", -1, 15}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(KeyboardGrid, RowsOfFourInTheirOrder) {
    const std::vector<std::string> order{"Key7",    "Key8",    "Key9",    "KeyC",    "Key4",
                                         "Key5",    "Key6",    "KeyBack", "Key1",    "Key2",
                                         "Key3",    "KeyEntr", "Key0",    "KeyPlMi", "KeyZpt",
                                         "KeyNum1", "KeyM",    "KeyK",    "KeyO",    "KeyNum2"};
    const auto& buttons = KeyboardLayout::Buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].name, order[i]);
        EXPECT_EQ(buttons[i].row, static_cast<int>(i) / 4);
        EXPECT_EQ(buttons[i].column, static_cast<int>(i) % 4);
    }
}

// One row of the navigation table: from index, then left, up, right, down (-1: stays).
struct ArrowRow {
    int from;
    int left;
    int up;
    int right;
    int down;
};

class ArrowTableTest : public ::testing::TestWithParam<ArrowRow> {};

TEST_P(ArrowTableTest, ArrowMovesToTheNeighbourOrStays) {
    const ArrowRow& r = GetParam();
    auto expect = [&](int target) { return target < 0 ? r.from : target; };
    EXPECT_EQ(KeyboardLayout::Neighbour(r.from, ArrowKey::Left), expect(r.left));
    EXPECT_EQ(KeyboardLayout::Neighbour(r.from, ArrowKey::Up), expect(r.up));
    EXPECT_EQ(KeyboardLayout::Neighbour(r.from, ArrowKey::Right), expect(r.right));
    EXPECT_EQ(KeyboardLayout::Neighbour(r.from, ArrowKey::Down), expect(r.down));

    // The same through the hook, which swallows every arrow key.
    const std::vector<std::pair<ArrowKey, int>> keys{{ArrowKey::Left, r.left},
                                                     {ArrowKey::Up, r.up},
                                                     {ArrowKey::Right, r.right},
                                                     {ArrowKey::Down, r.down}};
    for (const auto& [key, target] : keys) {
        KeyboardLayout layout{nullptr};
        layout.Click(*KeyboardLayout::ButtonOfFocus(r.from));
        EXPECT_TRUE(layout.HookKey(static_cast<int>(key), true, true));
        EXPECT_EQ(layout.FocusIndex(), expect(target));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArrowTableTest,
    ::testing::Values(ArrowRow{0, -1, 3, 1, -1}, ArrowRow{1, 0, 4, 2, -1},
                      ArrowRow{2, 1, 5, -1, -1}, ArrowRow{3, -1, 6, 4, 0}, ArrowRow{4, 3, 7, 5, 1},
                      ArrowRow{5, 4, 8, -1, 2}, ArrowRow{6, -1, 10, 7, 3}, ArrowRow{7, 6, 11, 8, 4},
                      ArrowRow{8, 7, 12, 9, 5}, ArrowRow{9, 8, 13, -1, -1},
                      ArrowRow{10, -1, 14, 11, 6}, ArrowRow{11, 10, 15, 12, 7},
                      ArrowRow{12, 11, 16, 13, 8}, ArrowRow{13, 12, 17, -1, 9},
                      ArrowRow{14, -1, -1, 15, 10}, ArrowRow{15, 14, -1, 16, 11},
                      ArrowRow{16, 15, -1, 17, 12}, ArrowRow{17, 16, -1, -1, 13}),
    [](const auto& p) { return "Index" + std::to_string(p.param.from); });

TEST(KeyboardHook, OnlyArrowsPressedWhileTheKeyboardIsActive) {
    std::vector<int> sent;
    KeyboardLayout layout{[&](int code) { sent.push_back(code); }};
    ASSERT_EQ(layout.FocusIndex(), 3); // Key0 at creation

    EXPECT_FALSE(layout.HookKey(static_cast<int>(ArrowKey::Up), true, false)); // main window
    EXPECT_FALSE(layout.HookKey(static_cast<int>(ArrowKey::Up), false, true)); // released
    EXPECT_FALSE(layout.HookKey('5', true, true));                             // a digit
    EXPECT_FALSE(layout.HookKey(36, true, true));                              // Home
    EXPECT_FALSE(layout.HookKey(41, true, true));
    EXPECT_EQ(layout.FocusIndex(), 3);
    EXPECT_TRUE(sent.empty()); // the hook never types

    EXPECT_TRUE(layout.HookKey(static_cast<int>(ArrowKey::Up), true, true));
    EXPECT_EQ(layout.FocusIndex(), 6);
}

TEST(KeyboardUnits, CaptionsFollowTheEntryWithTheBaseUnitOnKeyO) {
    FakeParameterView labels;
    ParameterModel model{labels, EnglishText};
    FakeEntryView view;
    EntryController entry{model, view};
    KeyboardLayout layout{[&](int code) { entry.KeyboardCode(code); }};

    EXPECT_EQ(layout.Caption(ButtonNamed("KeyM")), "MHz"); // design time
    EXPECT_EQ(layout.Caption(ButtonNamed("KeyO")), "Hz");

    entry.ChooseKind(kind::Amplitude);
    layout.SetUnitCaptions(entry.UnitCaptions());
    EXPECT_EQ(layout.Caption(ButtonNamed("KeyO")), "V");
    EXPECT_EQ(layout.Caption(ButtonNamed("KeyK")), "mV");
    EXPECT_EQ(layout.Caption(ButtonNamed("KeyM")), "µV");
    EXPECT_EQ(layout.Caption(ButtonNamed("Key7")), "7");

    // The unit keys act as the entry's: KeyK is kilo for a frequency.
    model.SetFrequency(2);
    entry.ChooseKind(kind::Frequency);
    layout.SetUnitCaptions(entry.UnitCaptions());
    EXPECT_EQ(layout.Caption(ButtonNamed("KeyK")), "kHz");
    layout.Click(ButtonNamed("KeyK"));
    EXPECT_EQ(model.Params().frequency, 2e3);
}

TEST(KeyboardUnits, Key0TypesTheDigitZeroIntoTheEntry) {
    FakeParameterView labels;
    ParameterModel model{labels, EnglishText};
    FakeEntryView view;
    EntryController entry{model, view};
    KeyboardLayout layout{[&](int code) { entry.KeyboardCode(code); }};
    model.SetFrequency(25);
    entry.ChooseKind(kind::Frequency);

    layout.Click(ButtonNamed("Key3")); // into Num1
    EXPECT_EQ(model.Params().frequency, 325);
    layout.Click(ButtonNamed("Key0")); // code 10: the digit 0 into Num2
    EXPECT_EQ(model.Params().frequency, 305);
}

} // namespace
