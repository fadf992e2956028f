// One painting of the data viewer for a 1 MiB data file (524,288 samples), against
// drawing every sample as one QPainter polyline, in the same run and into the same
// image. The viewer must be fast enough to paint on every mouse move; the line at
// the end prints how many times faster than the polyline it is.
//
//   lupex_paint_bench [--benchmark_min_time=2]

#include "app/params/ilupex.h"
#include "plugins/viewer/lupex_view.h"
#include "plugins/viewer/plot_geometry.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointF>

#include <cmath>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSamples = 524288; // 1 MiB of 16-bit samples
constexpr int kWidth = 1000;     // a preview window on a desktop
constexpr int kHeight = 400;
constexpr float kLowY = -9192;
constexpr float kHighY = 9191;

const std::vector<int16_t>& Samples() {
    static const std::vector<int16_t> samples = [] {
        std::vector<int16_t> s(kSamples);
        uint32_t noise = 12345;
        for (int i = 0; i < kSamples; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const double v = 6000 * std::sin(2 * M_PI * 7 * i / kSamples) +
                             1500 * std::sin(2 * M_PI * 900.0 * i / kSamples) +
                             static_cast<double>(noise >> 22) - 512;
            s[static_cast<std::size_t>(i)] = static_cast<int16_t>(std::lround(v));
        }
        return s;
    }();
    return samples;
}

// The viewer's painting as the preview window calls it: 4, 5, 8, with three markers
// and the mouse over the plot.
void ViewerPaint(benchmark::State& state) {
    const auto& samples = Samples();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    lupex::LupexView viewer;
    const int32_t trace[5] = {3, 0x80C080, 0, 0, 0};
    viewer.SetOption(kLupexOptionTrace, trace);
    const LupexRect rect{0, 0, kWidth, kHeight};
    const LupexViewRange range{0, kSamples - 1, kLowY, kHighY, kLowY, kHighY};
    const PreviewMarker markers[3] = {{kPreviewMarkerKind, kCursorColour, kCursorColour, 200000, 0},
                                      {kPreviewMarkerKind, kBlockColour, kBlockColour, 100000, 0},
                                      {kPreviewMarkerKind, kBlockColour, kBlockColour, 300000, 0}};
    LupexState viewerState{};
    int x = 100;
    for (auto _ : state) {
        // A new mouse position every time, as while the mouse moves.
        x = x < kWidth - 20 ? x + 1 : 100;
        viewer.MouseMove(&rect, 0, LupexPosition(x, kHeight / 2));
        QPainter painter(&image);
        viewer.BeginDraw(&painter, &rect, &range, kSamples, &viewerState);
        int32_t columns = 0;
        viewer.Plot(samples.data(), kSamples, 1, 0, &columns, 3, markers);
        viewer.EndDraw();
        painter.end();
        benchmark::DoNotOptimize(columns);
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}

// The baseline: the background and every sample as one polyline into the same
// plot area.
void PolylineOfEverySample(benchmark::State& state) {
    const auto& samples = Samples();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const lupex::Layout layout = lupex::LayoutOf(0, 0, kWidth, kHeight);
    const lupex::PixelRect& plot = layout.plot;
    std::vector<QPointF> points(kSamples);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(0, 0, kWidth, kHeight, QColor::fromRgb(lupex::kBackground));
        painter.fillRect(plot.left, plot.top, plot.width, plot.height,
                         QColor::fromRgb(lupex::kPlotBackground));
        const double xScale = (plot.width - 1.0) / (kSamples - 1);
        const double yScale = (plot.height - 1.0) / (kHighY - kLowY);
        for (int i = 0; i < kSamples; ++i) {
            points[static_cast<std::size_t>(i)] =
                QPointF(plot.left + i * xScale,
                        plot.Bottom() - (samples[static_cast<std::size_t>(i)] - kLowY) * yScale);
        }
        painter.setPen(QPen(QColor::fromRgb(lupex::kDefaultTrace), 0));
        painter.drawPolyline(points.data(), kSamples);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}

// The console report, then the ratio of the two mean times.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                seconds_[run.run_name.function_name] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto viewer = seconds_.find("ViewerPaint");
        const auto baseline = seconds_.find("PolylineOfEverySample");
        if (viewer == seconds_.end() || baseline == seconds_.end() || viewer->second <= 0) {
            return;
        }
        std::cout << "One viewer painting of " << kSamples << " samples: " << viewer->second * 1e3
                  << " ms; polyline of every sample: " << baseline->second * 1e3 << " ms; ratio "
                  << baseline->second / viewer->second << "x faster\n";
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv); // the viewer's labels need fonts
    benchmark::RegisterBenchmark("ViewerPaint", ViewerPaint)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PolylineOfEverySample", PolylineOfEverySample)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
