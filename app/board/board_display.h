#pragma once
// The board state display: what the board button `ImagePlug` and the power
// indicator `PowerPlug` show, and whether `StartButton` and the flash menu are
// enabled. BoardDisplay decides; the main window applies the decision
// (BoardIndicators). For a USB board the display asks the driver whether the board
// is connected (Control 0x7A5A0050) and whether its power is normal (0x7A5A0070);
// a failed call counts as 1 (connected, normal).
//
// Board glyphs (the board image list), by kind and state:
//   0 USB connected, 4 USB disconnected or not opened,
//   2 ISA found,     6 ISA not found or not opened,
//   3 PCI found,     7 PCI (or no known kind) not found or not opened.
// (1 and 5 are a generic board, found and not found; the display does not use them.)

#include "app/board/device_kind.h"
#include "app/board/iadc_device.h"

#include <optional>

namespace board {

namespace glyph {
inline constexpr int UsbConnected = 0;
inline constexpr int IsaFound = 2;
inline constexpr int PciFound = 3;
inline constexpr int UsbAbsent = 4;
inline constexpr int IsaAbsent = 6;
inline constexpr int PciAbsent = 7;
} // namespace glyph

// What the window must change; an empty field leaves that control as it is.
struct DisplayDecision {
    std::optional<int> plugGlyph; // ImagePlug picture (transparent colour: its pixel (0, 0))
    std::optional<bool> plugVisible;
    std::optional<bool> powerVisible;
    std::optional<bool> powerNormalPicture; // PowerPlug shows Image2 (true) or Image6
    std::optional<bool> startEnabled;
    std::optional<bool> flashWriteEnabled; // N16
    std::optional<bool> flashMenuEnabled;  // N15
};

// The window side: shows a decision and tells whether Start is enabled now.
class BoardIndicators {
public:
    virtual void ApplyDisplay(const DisplayDecision& decision) = 0;
    virtual bool StartEnabled() const = 0;

protected:
    BoardIndicators() = default;
    BoardIndicators(const BoardIndicators&) = default;
    BoardIndicators& operator=(const BoardIndicators&) = default;
    ~BoardIndicators() = default;
};

// What the display reads of the board and the program.
struct DisplayInput {
    DeviceKind kind = DeviceKind::Unknown;
    bool boardOpened = false;
    bool boardFound = false;
    bool startEnabled = false; // StartButton now
    bool fileLoaded = false;
    IADCDevice* driver = nullptr; // asked for USB connection and power; may be null
};

struct DisplayOutcome {
    DisplayDecision decision;
    bool boardFound = false;      // BoardFound after the update
    bool recomputeNeeded = false; // the board went away or lost power: compute anew
};

class BoardDisplay {
public:
    // One display update. `forceRedraw` shows the glyph and the power picture even
    // when they did not change.
    DisplayOutcome Update(const DisplayInput& input, bool forceRedraw);

    // The remembered indicator state (for tests and for a redraw after reload).
    bool GlyphShown() const { return glyphShown_; }
    bool PowerNormalShown() const { return powerNormalShown_; }

private:
    bool glyphShown_ = false;       // the connected glyph is shown (USB)
    bool powerNormalShown_ = false; // PowerPlug shows the normal picture
    bool powerShownOnce_ = false;   // a power picture was ever shown
};

// The glyph of a board that is not opened or not found.
int AbsentGlyph(DeviceKind kind);

} // namespace board
