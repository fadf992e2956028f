#pragma once
// The viewer's work behind ILUPEX: layout, zoom, the mouse, and the drawing with
// QPainter. LupexObject (lupex_component.cpp) forwards the interface's slots here;
// tests and the benchmark use it directly.
//
// Main thread only; one painting at a time.

#include "app/params/ilupex.h"
#include "plugins/viewer/column_reduction.h"
#include "plugins/viewer/plot_geometry.h"

#include <QColor>
#include <QLine>
#include <QPoint>

#include <optional>
#include <vector>

class QPainter;

namespace lupex {

// The default look.
inline constexpr QRgb kBackground = 0xFFF0F0F0;     // around the plot
inline constexpr QRgb kPlotBackground = 0xFF101418; // behind the trace
inline constexpr QRgb kGrid = 0xFF3A4048;
inline constexpr QRgb kScaleText = 0xFF202020;
inline constexpr QRgb kDefaultTrace = 0xFF80C080;
inline constexpr QRgb kCursorDot = 0xFFFFFFFF;

// 0x00BBGGRR as the program writes colours.
QColor ColourOf(int32_t bgr);

class LupexView {
public:
    int32_t SetOption(int32_t code, const void* data);
    int32_t BeginDraw(QPainter* painter, const LupexRect* rect, const LupexViewRange* range,
                      int32_t count, LupexState* state);
    int32_t Plot(const int16_t* samples, int32_t count, int32_t stride, int32_t first,
                 int32_t* output, int32_t markerCount, const PreviewMarker* markers);
    int32_t EndDraw();
    int32_t MouseMove(const LupexRect* rect, int32_t buttons, int32_t position);
    int32_t MouseClick(const LupexRect* rect, int32_t button, int32_t position, int32_t mode);

    // The visible x range (after the first BeginDraw).
    const XView& View() const { return view_; }
    // The sample position under the mouse as BeginDraw last wrote it.
    int32_t CursorSample() const { return cursorSample_; }

private:
    // The program's x range of the last BeginDraw.
    struct FullRange {
        double firstX = 0;
        double lastX = 0;
        double lowY = 0;
        double highY = 0;
        int32_t count = 0;
        bool operator==(const FullRange&) const = default;
    };

    Mapping MappingFor(const Layout& layout) const;
    // The sample position under pixel column `x`, within the full range.
    int32_t SampleUnder(const Layout& layout, int x) const;
    void DrawGrid(const Mapping& map, const Layout& layout);
    int DrawTrace(const Mapping& map, const SampleRow& row);
    void DrawMarkers(const Mapping& map, const PreviewMarker* markers, int32_t count);
    void DrawCursor(const Mapping& map, const Layout& layout, const SampleRow& row);

    int32_t traceStyle_ = 3;
    QColor traceColour_ = QColor::fromRgb(kDefaultTrace);

    std::optional<FullRange> full_;
    XView view_;
    std::optional<QPoint> mouse_;
    int32_t cursorSample_ = 0;

    // The painting in progress (BeginDraw to EndDraw).
    QPainter* painter_ = nullptr;
    Layout layout_;

    std::vector<ColumnRange> columns_;
    std::vector<QLine> lines_;
    std::vector<QPointF> points_;
};

} // namespace lupex
