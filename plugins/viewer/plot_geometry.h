#pragma once
// Where the viewer draws and how data coordinates map to pixels: the plot area
// inside the paint box (with margins for the value scale and the sample axis), the
// visible part of the x range (the zoom), and the steps of the grid.
//
// x is measured in sample positions of the program's view range (firstX..lastX);
// y in sample values. Pixels are those of the paint box.

#include <cstdint>

namespace lupex {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width - 1; }
    int Bottom() const { return top + height - 1; }
    bool Contains(int x, int y) const {
        return x >= left && x <= Right() && y >= top && y <= Bottom();
    }
};

// Margins around the plot area when the box is large enough for the scales.
inline constexpr int kScaleWidth = 56;    // value labels at the left
inline constexpr int kAxisHeight = 18;    // sample labels at the bottom
inline constexpr int kReadoutHeight = 18; // the cursor's value at the top
inline constexpr int kRightMargin = 8;
// Below this size the whole box is the plot and no scale is drawn.
inline constexpr int kMinScaledWidth = 160;
inline constexpr int kMinScaledHeight = 100;

struct Layout {
    PixelRect box;  // the paint box's rectangle
    PixelRect plot; // where samples are drawn
    bool scales = false;
};

// The layout of a box; an empty plot when the box is empty.
Layout LayoutOf(int left, int top, int right, int bottom);

// The part of the x range on screen.
struct XView {
    double first = 0;
    double last = 0;
    double Span() const { return last - first; }
};

// The smallest span a zoom reaches, in sample positions.
inline constexpr double kMinSpan = 8;

// Maps x and y to pixels of the plot area and back.
class Mapping {
public:
    Mapping(const PixelRect& plot, const XView& view, double lowY, double highY);
    // Pixel column of x (not limited to the plot).
    double ColumnOf(double x) const;
    // x at the middle of pixel column `column`.
    double XOf(double column) const;
    // Pixel row of value y, limited to the plot area.
    int RowOf(double y) const;
    // Pixel columns per unit of x.
    double Scale() const { return scale_; }
    const PixelRect& Plot() const { return plot_; }
    const XView& View() const { return view_; }

private:
    PixelRect plot_;
    XView view_;
    double scale_;
    double lowY_;
    double rowScale_;
};

// A grid step of 1, 2 or 5 times a power of ten that divides `span` into about
// `divisions` parts (at least 1 for span > 0).
double GridStep(double span, int divisions);

// Zoom operations on a view within [fullFirst, fullLast]: the span changes by
// `factor` (0.5 zooms in) and `centre` moves to the middle where the range allows.
XView Zoomed(const XView& view, double centre, double factor, double fullFirst, double fullLast);

// Unpacks y * 65536 + x (each half a signed 16-bit number).
inline int PackedX(int32_t position) {
    return static_cast<int16_t>(static_cast<uint32_t>(position) & 0xFFFFu);
}
inline int PackedY(int32_t position) {
    return static_cast<int16_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFFu);
}

} // namespace lupex
