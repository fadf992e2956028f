#include "plugins/viewer/plot_geometry.h"

#include <algorithm>
#include <cmath>

namespace lupex {

Layout LayoutOf(int left, int top, int right, int bottom) {
    Layout layout;
    // Widths in 64 bits: the rectangle comes from outside.
    const long long width = static_cast<long long>(right) - left;
    const long long height = static_cast<long long>(bottom) - top;
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
        return layout;
    }
    layout.box = {left, top, static_cast<int>(width), static_cast<int>(height)};
    if (width >= kMinScaledWidth && height >= kMinScaledHeight) {
        layout.scales = true;
        layout.plot = {left + kScaleWidth, top + kReadoutHeight,
                       static_cast<int>(width) - kScaleWidth - kRightMargin,
                       static_cast<int>(height) - kReadoutHeight - kAxisHeight};
    } else {
        layout.plot = layout.box;
    }
    return layout;
}

Mapping::Mapping(const PixelRect& plot, const XView& view, double lowY, double highY)
    : plot_(plot), view_(view), lowY_(lowY) {
    const double span = view.Span() > 0 ? view.Span() : 1.0;
    scale_ = plot.width > 1 ? (plot.width - 1) / span : 1.0;
    const double ySpan = highY > lowY ? highY - lowY : 1.0;
    rowScale_ = plot.height > 1 ? (plot.height - 1) / ySpan : 0.0;
}

double Mapping::ColumnOf(double x) const {
    return plot_.left + (x - view_.first) * scale_;
}

double Mapping::XOf(double column) const {
    return view_.first + (column - plot_.left) / scale_;
}

int Mapping::RowOf(double y) const {
    const double row = plot_.Bottom() - (y - lowY_) * rowScale_;
    const double limited =
        std::clamp(row, static_cast<double>(plot_.top), static_cast<double>(plot_.Bottom()));
    return static_cast<int>(std::lround(limited));
}

double GridStep(double span, int divisions) {
    if (!(span > 0) || divisions < 1) {
        return 1;
    }
    const double raw = span / divisions;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) {
            return m * power;
        }
    }
    return 10 * power;
}

XView Zoomed(const XView& view, double centre, double factor, double fullFirst, double fullLast) {
    const double full = fullLast - fullFirst;
    double span = std::clamp(view.Span() * factor, std::min(kMinSpan, full), full);
    XView zoomed{centre - span / 2, centre + span / 2};
    if (zoomed.first < fullFirst) {
        zoomed = {fullFirst, fullFirst + span};
    }
    if (zoomed.last > fullLast) {
        zoomed = {fullLast - span, fullLast};
    }
    return zoomed;
}

} // namespace lupex
