#include "plugins/viewer/lupex_view.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace lupex {

namespace {

constexpr int kDotSpacing = 4;   // pixels between samples before dots are drawn
constexpr int kXGridPixels = 90; // about one vertical grid line per this many pixels
constexpr int kYGridPixels = 40;
constexpr int kLabelPixelSize = 11;
constexpr int kHandleSize = 4; // marker handle at the top of the plot

bool Finite(double v) {
    return std::isfinite(v);
}

// Text needs the font database of a GUI application; without one the viewer
// draws no text (the program always has one).
bool CanDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QString Number(double value) {
    return QString::number(value, 'g', 7);
}

// Saves the painter's state for the length of one operation.
class PainterState {
public:
    explicit PainterState(QPainter& painter) : painter_(painter) { painter_.save(); }
    ~PainterState() { painter_.restore(); }
    PainterState(const PainterState&) = delete;
    PainterState& operator=(const PainterState&) = delete;

private:
    QPainter& painter_;
};

} // namespace

QColor ColourOf(int32_t bgr) {
    const auto v = static_cast<uint32_t>(bgr);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

int32_t LupexView::SetOption(int32_t code, const void* data) {
    if (data == nullptr || code != kLupexOptionTrace) {
        return -1;
    }
    LupexTraceOption option{};
    std::memcpy(&option, data, sizeof option);
    if (option.style < 1 || option.style > 3) {
        return -1;
    }
    traceStyle_ = option.style;
    traceColour_ = ColourOf(option.colour);
    return 1;
}

Mapping LupexView::MappingFor(const Layout& layout) const {
    return Mapping(layout.plot, view_, full_ ? full_->lowY : 0, full_ ? full_->highY : 1);
}

int32_t LupexView::SampleUnder(const Layout& layout, int x) const {
    const Mapping map = MappingFor(layout);
    const int column = std::clamp(x, layout.plot.left, layout.plot.Right());
    const double position =
        std::clamp(std::round(map.XOf(column)), std::ceil(full_->firstX), std::floor(full_->lastX));
    return static_cast<int32_t>(
        std::clamp(position, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

int32_t LupexView::BeginDraw(QPainter* painter, const LupexRect* rect, const LupexViewRange* range,
                             int32_t count, LupexState* state) {
    painter_ = nullptr;
    if (painter == nullptr || !painter->isActive() || rect == nullptr || range == nullptr ||
        state == nullptr || count <= 0) {
        return -1;
    }
    const Layout layout = LayoutOf(rect->left, rect->top, rect->right, rect->bottom);
    const FullRange full{range->firstX, range->lastX, range->lowY, range->highY, count};
    if (layout.plot.width <= 0 || layout.plot.height <= 0 || !Finite(full.firstX) ||
        !Finite(full.lastX) || !Finite(full.lowY) || !Finite(full.highY) ||
        full.lastX < full.firstX || full.highY < full.lowY) {
        return -1;
    }
    // Another file (or another length) shows whole again; a new y range keeps the zoom.
    if (!full_ || full_->firstX != full.firstX || full_->lastX != full.lastX ||
        full_->count != full.count) {
        view_ = {full.firstX, full.lastX};
    }
    full_ = full;

    // Without a mouse position yet: the first sample on screen.
    cursorSample_ = SampleUnder(layout, mouse_ ? mouse_->x() : INT_MIN);
    state->cursorSample = cursorSample_;

    const Mapping map = MappingFor(layout);
    {
        const PainterState saved(*painter);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->fillRect(layout.box.left, layout.box.top, layout.box.width, layout.box.height,
                          QColor::fromRgb(kBackground));
        painter->fillRect(layout.plot.left, layout.plot.top, layout.plot.width, layout.plot.height,
                          QColor::fromRgb(kPlotBackground));
        painter_ = painter;
        DrawGrid(map, layout);
    }
    layout_ = layout;
    return 1;
}

void LupexView::DrawGrid(const Mapping& map, const Layout& layout) {
    const PixelRect& plot = layout.plot;
    QPainter& p = *painter_;
    const double xStep = GridStep(view_.Span(), std::max(1, plot.width / kXGridPixels));
    const double yStep =
        GridStep(full_->highY - full_->lowY, std::max(1, plot.height / kYGridPixels));
    const bool text = layout.scales && CanDrawText();
    if (text) {
        QFont font = p.font();
        font.setPixelSize(kLabelPixelSize);
        p.setFont(font);
    }

    p.setPen(QPen(QColor::fromRgb(kGrid), 0));
    std::vector<std::pair<int, double>> xLines;
    for (double x = std::ceil(view_.first / xStep) * xStep; x <= view_.last; x += xStep) {
        const int column = static_cast<int>(std::lround(map.ColumnOf(x)));
        p.drawLine(column, plot.top, column, plot.Bottom());
        xLines.emplace_back(column, x);
    }
    std::vector<std::pair<int, double>> yLines;
    for (double y = std::ceil(full_->lowY / yStep) * yStep; y <= full_->highY; y += yStep) {
        const int row = map.RowOf(y);
        p.drawLine(plot.left, row, plot.Right(), row);
        yLines.emplace_back(row, y);
    }
    if (!text) {
        return;
    }
    p.setPen(QColor::fromRgb(kScaleText));
    for (const auto& [row, y] : yLines) {
        p.drawText(
            QRect(layout.box.left, row - kLabelPixelSize, kScaleWidth - 4, 2 * kLabelPixelSize),
            Qt::AlignRight | Qt::AlignVCenter, Number(y));
    }
    for (const auto& [column, x] : xLines) {
        p.drawText(
            QRect(column - kXGridPixels / 2, plot.Bottom() + 2, kXGridPixels, kAxisHeight - 2),
            Qt::AlignHCenter | Qt::AlignTop, Number(x));
    }
}

int32_t LupexView::Plot(const int16_t* samples, int32_t count, int32_t stride, int32_t first,
                        int32_t* output, int32_t markerCount, const PreviewMarker* markers) {
    if (painter_ == nullptr || !full_ || samples == nullptr || count <= 0 || stride < 1 ||
        first < 0 || markerCount < 0) {
        return -1;
    }
    SampleRow row;
    row.values = samples + first;
    row.count = static_cast<std::size_t>(count);
    row.stride = static_cast<std::size_t>(stride);
    row.firstX = full_->firstX;
    row.step = static_cast<double>(full_->count) / count;

    const Mapping map = MappingFor(layout_);
    const PainterState saved(*painter_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setClipRect(layout_.plot.left, layout_.plot.top, layout_.plot.width,
                          layout_.plot.height);
    const int columns = DrawTrace(map, row);
    if (markers != nullptr) {
        DrawMarkers(map, markers, markerCount == 0 ? 3 : markerCount);
    }
    painter_->setClipping(false);
    DrawCursor(map, layout_, row);
    if (output != nullptr) {
        *output = columns;
    }
    return 1;
}

int LupexView::DrawTrace(const Mapping& map, const SampleRow& row) {
    const PixelRect& plot = map.Plot();
    const IndexRange visible = VisibleSamples(row, view_.first, view_.last);
    const std::size_t n = visible.end - visible.begin;
    painter_->setPen(QPen(traceColour_, 0));
    if (n > static_cast<std::size_t>(plot.width)) {
        // More samples than pixels: one vertical line per column from its lowest to
        // its highest value.
        ReduceColumns(row, view_.first, map.Scale(), plot.width, columns_);
        lines_.clear();
        for (int c = 0; c < plot.width; ++c) {
            const ColumnRange& range = columns_[static_cast<std::size_t>(c)];
            if (!range.empty) {
                lines_.emplace_back(plot.left + c, map.RowOf(range.high), plot.left + c,
                                    map.RowOf(range.low));
            }
        }
        painter_->drawLines(lines_.data(), static_cast<int>(lines_.size()));
        return static_cast<int>(lines_.size());
    }
    // Fewer samples than pixels: a line through the samples, with dots when they
    // lie far enough apart.
    points_.clear();
    for (std::size_t i = visible.begin; i < visible.end; ++i) {
        const double x = row.firstX + static_cast<double>(i) * row.step;
        points_.emplace_back(map.ColumnOf(x), map.RowOf(row.At(i)));
    }
    if (traceStyle_ != 2) {
        painter_->drawPolyline(points_.data(), static_cast<int>(points_.size()));
    }
    if ((traceStyle_ & 2) != 0 && row.step * map.Scale() >= kDotSpacing) {
        for (const QPointF& point : points_) {
            painter_->fillRect(QRectF(point.x() - 1, point.y() - 1, 3, 3), traceColour_);
        }
    }
    return static_cast<int>(n);
}

void LupexView::DrawMarkers(const Mapping& map, const PreviewMarker* markers, int32_t count) {
    const PixelRect& plot = map.Plot();
    for (int32_t m = 0; m < count; ++m) {
        PreviewMarker marker{};
        std::memcpy(&marker, markers + m, sizeof marker);
        if (marker.kind != kPreviewMarkerKind || !Finite(marker.position)) {
            continue;
        }
        const double column = std::round(map.ColumnOf(marker.position));
        if (column < plot.left || column > plot.Right()) {
            continue;
        }
        const int x = static_cast<int>(column);
        painter_->setPen(QPen(ColourOf(marker.colour), 0));
        painter_->drawLine(x, plot.top, x, plot.Bottom());
        // A handle at the top in the second colour.
        const QPoint handle[3] = {QPoint(x - kHandleSize, plot.top),
                                  QPoint(x + kHandleSize, plot.top),
                                  QPoint(x, plot.top + kHandleSize)};
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(ColourOf(marker.secondColour));
        painter_->drawPolygon(handle, 3);
        painter_->setBrush(Qt::NoBrush);
    }
}

void LupexView::DrawCursor(const Mapping& map, const Layout& layout, const SampleRow& row) {
    if (!mouse_ || !layout.box.Contains(mouse_->x(), mouse_->y())) {
        return;
    }
    const double index = std::round((cursorSample_ - row.firstX) / row.step);
    const auto i =
        static_cast<std::size_t>(std::clamp(index, 0.0, static_cast<double>(row.count - 1)));
    const int16_t value = row.At(i);
    const int x = static_cast<int>(std::lround(map.ColumnOf(cursorSample_)));
    const int y = map.RowOf(value);
    if (layout.plot.Contains(x, y)) {
        painter_->setPen(QPen(QColor::fromRgb(kCursorDot), 0));
        painter_->setBrush(Qt::NoBrush);
        painter_->drawRect(x - 2, y - 2, 4, 4);
    }
    if (layout.scales && CanDrawText()) {
        QFont font = painter_->font();
        font.setPixelSize(kLabelPixelSize);
        painter_->setFont(font);
        painter_->setPen(QColor::fromRgb(kScaleText));
        painter_->drawText(
            QRect(layout.plot.left, layout.box.top, layout.plot.width, kReadoutHeight),
            Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("x = %1    y = %2").arg(cursorSample_).arg(value));
    }
}

int32_t LupexView::EndDraw() {
    if (painter_ == nullptr) {
        return -1;
    }
    if (layout_.scales) {
        // A frame just outside the plot, in the margin, so that it hides no sample.
        const PainterState saved(*painter_);
        painter_->setPen(QPen(QColor::fromRgb(kGrid), 0));
        painter_->setBrush(Qt::NoBrush);
        const PixelRect& plot = layout_.plot;
        painter_->drawRect(plot.left - 1, plot.top - 1, plot.width + 1, plot.height + 1);
    }
    painter_ = nullptr;
    return 1;
}

int32_t LupexView::MouseMove(const LupexRect* rect, int32_t /*buttons*/, int32_t position) {
    if (rect == nullptr) {
        return -1;
    }
    const QPoint mouse(PackedX(position), PackedY(position));
    const Layout layout = LayoutOf(rect->left, rect->top, rect->right, rect->bottom);
    const bool wasInside = mouse_ && layout.box.Contains(mouse_->x(), mouse_->y());
    mouse_ = mouse;
    if (!full_ || layout.plot.width <= 0) {
        return 0;
    }
    const bool inside = layout.box.Contains(mouse.x(), mouse.y());
    return (inside != wasInside || SampleUnder(layout, mouse.x()) != cursorSample_) ? 1 : 0;
}

int32_t LupexView::MouseClick(const LupexRect* rect, int32_t button, int32_t position,
                              int32_t mode) {
    if (rect == nullptr || mode < kLupexModeClick || mode > kLupexModeWhole) {
        return -1;
    }
    const Layout layout = LayoutOf(rect->left, rect->top, rect->right, rect->bottom);
    if (!full_ || layout.plot.width <= 0) {
        return 0;
    }
    const XView before = view_;
    if (mode == kLupexModeWhole) {
        view_ = {full_->firstX, full_->lastX};
    } else {
        const bool zoomIn =
            mode == kLupexModeZoomIn || (mode == kLupexModeClick && button == kLupexButtonOther);
        const bool zoomOut = mode == kLupexModeZoomOut;
        if (!zoomIn && !zoomOut) {
            return 0; // left and right clicks belong to the program
        }
        const int column = std::clamp(PackedX(position), layout.plot.left, layout.plot.Right());
        const double centre = MappingFor(layout).XOf(column);
        view_ = Zoomed(view_, centre, zoomIn ? 0.5 : 2.0, full_->firstX, full_->lastX);
    }
    return (view_.first != before.first || view_.last != before.last) ? 1 : 0;
}

} // namespace lupex
