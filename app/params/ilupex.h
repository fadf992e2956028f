#pragma once
// ILUPEX: the data viewer component "LUPEX" (registry "Base library", interface
// name "ILUPEX"), which draws the preview window's graph of a loaded data file.
// Only pure virtual functions in slot order and no data, so slot N is vtable entry
// N and the object pointer comes first. Slots 0, 2, 6 and 7 exist but the program
// never calls them.
//
// Drawing target. The "device context" of operation 4 is a QPainter that is active
// on the paint device (the preview's paint box inside its paintEvent, or a QImage):
// the viewer draws with it between operations 4 and 8 and leaves it active, with
// its state (pen, brush, clip, transform) as it found it. Both sides use the same
// Qt 6 libraries of the system, so the pointer crosses the interface as it is.
// The caller owns the painter; it must stay active until operation 8.
//
// One painting is, in this order:
//   BeginDraw(painter, &rect, &range, n, &state, 0)   slot 4: background, grid, scale;
//                                                      writes state.cursorSample
//   Plot(samples, count, 1, 0, &output, 0, markers, 0) slot 5: the trace, the markers,
//                                                      the cursor's value
//   EndDraw()                                          slot 8: frame, end of the painting
// The samples need to live only during Plot. Between paintings the viewer keeps
// the zoom and the last mouse position (per object).
//
// Mouse. Positions are packed as y * 65536 + x in the paint box's coordinates, each
// half a signed 16-bit number (a drag may leave the box). MouseMove (slot 9) and
// MouseClick (slot 10) answer non-zero when the picture changed and a painting is
// needed. What the buttons do:
//   - moving: the cursor follows the mouse (a new sample under it asks for a
//     painting);
//   - left and right clicks (mode 0): nothing of the viewer's own (the program sets
//     the block markers);
//   - a click of another button (middle), mode 0: zoom in twice around the sample
//     under the mouse (a zoomed view also moves that sample to the middle);
//   - mode 1: zoom in at the position, mode 2: zoom out twice at the position,
//     mode 3 (the program's double click): show the whole file again.
//
// Results: 1 success, 0 nothing to do (MouseMove / MouseClick: no painting needed),
// -1 invalid input (null pointer, empty rectangle, count not above 0, a call out of
// order). No operation throws.
//
// Main thread only (the thread that paints).

#include "app/params/signal_parameters.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

class QPainter;

// The paint box's client rectangle: right and bottom are one past the last pixel.
struct LupexRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
static_assert(sizeof(LupexRect) == 16);

// The view range, in sample indexes (x) and sample values (y). The second y pair
// repeats the first; the viewer reads only the first.
struct LupexViewRange {
    float firstX;
    float lastX;
    float lowY;
    float highY;
    float lowY2;
    float highY2;
};
static_assert(sizeof(LupexViewRange) == 24);

// The viewer's working area in the program (56 bytes). BeginDraw writes the sample
// under the mouse into cursorSample; the rest is the viewer's.
struct LupexState {
    int32_t viewerUse;
    int32_t cursorSample;
    uint8_t reserved[48];
};
static_assert(sizeof(LupexState) == 56);
static_assert(offsetof(LupexState, cursorSample) == 4);

// The display record the program fills once at start-up and keeps just before the
// state record (LupexWorkArea). Addresses are 64-bit here. This viewer does not
// read it: it takes its colours from SetOption and its font from the painter.
#pragma pack(push, 4)
struct LupexDisplay {
    int32_t flags;        // 0xC0000300
    int32_t margins[3];   // 10, 10, 10
    int32_t colours[4];   // button face, shadow, face, text (0x00BBGGRR)
    int32_t gridColour;   // 0x640000
    int32_t style;        // 0xC0000000
    const char* fontName; // "Courier New Cyr"
    int32_t fontSize;     // 8
    int32_t fontWidth;    // 6
    void* window;         // the main window
};
#pragma pack(pop)
static_assert(sizeof(LupexDisplay) == 64);

struct LupexWorkArea {
    LupexDisplay display;
    LupexState state;
};
static_assert(offsetof(LupexWorkArea, state) == sizeof(LupexDisplay));

// SetOption code 12: the trace. Fields: style (1 lines, 2 dots at the samples,
// 3 lines with dots where the samples lie at least 4 pixels apart), colour
// 0x00BBGGRR, and three reserved fields. The program sends {3, 0x80C080, 0, 0, 0}.
inline constexpr int32_t kLupexOptionTrace = 12;
struct LupexTraceOption {
    int32_t style;
    int32_t colour;
    int32_t reserved[3];
};
static_assert(sizeof(LupexTraceOption) == 20);

// MouseClick modes and buttons.
inline constexpr int32_t kLupexModeClick = 0;
inline constexpr int32_t kLupexModeZoomIn = 1;
inline constexpr int32_t kLupexModeZoomOut = 2;
inline constexpr int32_t kLupexModeWhole = 3;
inline constexpr int32_t kLupexButtonOther = 0;
inline constexpr int32_t kLupexButtonLeft = 1;
inline constexpr int32_t kLupexButtonRight = 2;

// Packs a mouse position as the operations expect it.
constexpr int32_t LupexPosition(int x, int y) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                static_cast<uint16_t>(x));
}

class ILUPEX {
public:
    // Slot 0: not used.
    virtual int32_t Reserved0() = 0;
    // Slot 1: destroys the object; nothing may use it afterwards. 0.
    virtual int32_t Release() = 0;
    // Slot 2: not used.
    virtual int32_t Reserved2() = 0;
    // Slot 3: sets an option; `data` points to the option's record. -1 for an
    // unknown code or null data.
    virtual int32_t SetOption(int32_t code, const void* data) = 0;
    // Slot 4: starts a painting of the samples firstX..lastX of `range` (`count` of
    // them) into `rect`; draws the background, the grid and the value scale and
    // writes the sample under the mouse into state->cursorSample.
    virtual int32_t BeginDraw(QPainter* painter, const LupexRect* rect, const LupexViewRange* range,
                              int32_t count, LupexState* state, int32_t reserved) = 0;
    // Slot 5: draws `count` samples, every `stride`-th value of `samples` starting
    // at index `first` (1 and 0: all of them), spread evenly over the range of
    // BeginDraw (so 2N byte samples over N word positions line up), then the
    // markers (`markerCount` records; 0 means the standard three) and the cursor's
    // value. *output (when not null) receives the number of pixel columns drawn.
    virtual int32_t Plot(const int16_t* samples, int32_t count, int32_t stride, int32_t first,
                         int32_t* output, int32_t markerCount, const PreviewMarker* markers,
                         int32_t reserved) = 0;
    // Slots 6 and 7: not used.
    virtual int32_t Reserved6() = 0;
    virtual int32_t Reserved7() = 0;
    // Slot 8: ends the painting. -1 without a BeginDraw.
    virtual int32_t EndDraw() = 0;
    // Slot 9: the mouse moved over `rect` with `buttons` held (1 left, 2 right, 3
    // both). Non-zero: paint again.
    virtual int32_t MouseMove(const LupexRect* rect, int32_t buttons, int32_t position) = 0;
    // Slot 10: a button went down (1 left, 2 right, 0 other), or a command `mode`
    // (see above). Non-zero: paint again.
    virtual int32_t MouseClick(const LupexRect* rect, int32_t button, int32_t position,
                               int32_t mode) = 0;

protected:
    ILUPEX() = default;
    ILUPEX(const ILUPEX&) = default;
    ILUPEX& operator=(const ILUPEX&) = default;
    ~ILUPEX() = default;
};

static_assert(std::is_abstract_v<ILUPEX>);
static_assert(!std::has_virtual_destructor_v<ILUPEX>);
static_assert(sizeof(ILUPEX) == sizeof(void*), "the vtable pointer is the only member");

inline constexpr const char* kLupexComponentName = "LUPEX";
inline constexpr const char* kLupexInterfaceName = "ILUPEX";
