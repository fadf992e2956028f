// The data viewer LUPEX as the preview window uses it: loaded through the registry,
// painting (operations 4, 5, 8) into an offscreen image whose pixels show the trace
// and the markers where the samples and positions put them, the cursor, the zoom,
// and operations with bad input that fail without harm.

#include "app/params/ilupex.h"
#include "component/component_loader.h"
#include "plugins/viewer/plot_geometry.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <filesystem>
#include <vector>

namespace {

// The image and the paint box: large enough for the scales.
constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr LupexRect kRect{0, 0, kWidth, kHeight};
// The plot area inside it (see plot_geometry.h).
constexpr int kPlotLeft = lupex::kScaleWidth;
constexpr int kPlotTop = lupex::kReadoutHeight;
constexpr int kPlotWidth = kWidth - lupex::kScaleWidth - lupex::kRightMargin;
constexpr int kPlotHeight = kHeight - lupex::kReadoutHeight - lupex::kAxisHeight;
constexpr float kLowY = -9192;
constexpr float kHighY = 9191;

constexpr QRgb kTrace = 0xFF80C080; // 0x80C080 as the program sets it: R 0x80, G 0xC0
constexpr QRgb kBlue = 0xFF0000FF;  // cursor marker 0xFF0000 (0x00BBGGRR)
constexpr QRgb kGreen = 0xFF00FF00; // block markers 0x00FF00

// The row where value y lies (the plot's top row is kHighY, its bottom kLowY).
int RowOf(double y) {
    return static_cast<int>(std::lround(kPlotTop + kPlotHeight - 1 -
                                        (y - kLowY) * (kPlotHeight - 1) / (kHighY - kLowY)));
}
// The column where sample position x lies when n samples are shown whole.
int ColumnOf(double x, int n) {
    return static_cast<int>(std::lround(kPlotLeft + x * (kPlotWidth - 1) / (n - 1)));
}

PreviewMarker Marker(int32_t colour, float position) {
    return PreviewMarker{kPreviewMarkerKind, colour, colour, position, 0};
}

// Pixel rows of `column` that have colour `rgb`.
std::vector<int> RowsWith(const QImage& image, int column, QRgb rgb) {
    std::vector<int> rows;
    for (int y = kPlotTop; y < kPlotTop + kPlotHeight; ++y) {
        if (image.pixel(column, y) == rgb) {
            rows.push_back(y);
        }
    }
    return rows;
}

class LupexTest : public ::testing::Test {
protected:
    LupexTest()
        : library_(quorvel::OpenComponent(quorvel::CategoryBaseLibrary, kLupexComponentName)) {
        viewer_ = static_cast<ILUPEX*>(library_.Create(kLupexInterfaceName));
        if (viewer_ != nullptr) {
            // As the main window does right after creating the viewer.
            const int32_t option[5] = {3, 0x80C080, 0, 0, 0};
            viewer_->SetOption(kLupexOptionTrace, option);
        }
        image_.fill(Qt::black);
    }
    ~LupexTest() override {
        if (viewer_ != nullptr) {
            viewer_->Release();
        }
    }

    // One painting as the preview window does it: 4, 5, 8. `n` positions, the
    // samples spread over them.
    int32_t Paint(const std::vector<int16_t>& samples, int n,
                  const std::vector<PreviewMarker>& markers = {}) {
        QPainter painter(&image_);
        const LupexViewRange range{0, static_cast<float>(n - 1), kLowY, kHighY, kLowY, kHighY};
        EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, &range, n, &state_, 0), 1);
        int32_t output = -1;
        const int32_t plotted = viewer_->Plot(samples.data(), static_cast<int32_t>(samples.size()),
                                              1, 0, &output, static_cast<int32_t>(markers.size()),
                                              markers.empty() ? nullptr : markers.data(), 0);
        EXPECT_EQ(viewer_->EndDraw(), 1);
        return plotted == 1 ? output : -1;
    }

    quorvel::ComponentLibrary library_;
    ILUPEX* viewer_ = nullptr;
    QImage image_{kWidth, kHeight, QImage::Format_RGB32};
    LupexState state_{};
};

// +8000 for the first half, -8000 for the second.
std::vector<int16_t> Step(int n) {
    std::vector<int16_t> samples(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        samples[static_cast<std::size_t>(i)] = i < n / 2 ? 8000 : -8000;
    }
    return samples;
}

TEST_F(LupexTest, LoadsTheBuiltLibraryFromTheRegistry) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    EXPECT_EQ(std::filesystem::canonical(library_.Path()),
              std::filesystem::canonical(LUPEX_LIBRARY));
    EXPECT_EQ(library_.Create("IUndula"), nullptr);
    EXPECT_EQ(std::string(library_.Factory()->GetInterfaceName()), "ILUPEX");
}

TEST_F(LupexTest, DrawsTheSamplesWhereTheirValuesLie) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    EXPECT_GT(Paint(Step(n), n), 0);

    const int high = RowOf(8000);
    const int low = RowOf(-8000);
    for (const int column : {kPlotLeft + 5, ColumnOf(200, n), ColumnOf(400, n)}) {
        const auto rows = RowsWith(image_, column, kTrace);
        ASSERT_FALSE(rows.empty()) << column;
        EXPECT_NEAR(rows.front(), high, 1) << column;
        EXPECT_NEAR(rows.back(), high, 1) << column;
    }
    for (const int column : {ColumnOf(600, n), ColumnOf(990, n)}) {
        const auto rows = RowsWith(image_, column, kTrace);
        ASSERT_FALSE(rows.empty()) << column;
        EXPECT_NEAR(rows.front(), low, 1) << column;
    }
    // The step itself: one column joins the two levels.
    const auto edge = RowsWith(image_, ColumnOf(499.5, n), kTrace);
    ASSERT_FALSE(edge.empty());
    EXPECT_NEAR(edge.front(), high, 1);
    EXPECT_NEAR(edge.back(), low, 1);
    // Nothing is drawn outside the paint box's plot.
    EXPECT_TRUE(RowsWith(image_, kPlotLeft - 1, kTrace).empty());
}

TEST_F(LupexTest, DrawsTheMarkersAtTheirSamplePositions) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    const std::vector<int16_t> flat(n, 0);
    Paint(flat, n,
          {Marker(kCursorColour, 700), Marker(kBlockColour, 100), Marker(kBlockColour, 299)});
    const int middle = RowOf(4000); // away from the trace at 0
    EXPECT_EQ(image_.pixel(ColumnOf(700, n), middle), kBlue);
    EXPECT_EQ(image_.pixel(ColumnOf(100, n), middle), kGreen);
    EXPECT_EQ(image_.pixel(ColumnOf(299, n), middle), kGreen);
    EXPECT_NE(image_.pixel(ColumnOf(500, n), middle), kGreen);
    EXPECT_NE(image_.pixel(ColumnOf(500, n), middle), kBlue);
}

TEST_F(LupexTest, AMarkerOfAnotherKindOrOutsideTheViewIsNotDrawn) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    PreviewMarker odd = Marker(kBlockColour, 100);
    odd.kind = 1;
    Paint(std::vector<int16_t>(n, 0), n,
          {odd, Marker(kBlockColour, 5000), Marker(kBlockColour, std::nanf(""))});
    for (int x = kPlotLeft; x < kPlotLeft + kPlotWidth; ++x) {
        ASSERT_NE(image_.pixel(x, RowOf(4000)), kGreen) << x;
    }
}

TEST_F(LupexTest, AMegabyteFileDrawsAConnectedTraceInEveryColumn) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 524288;
    std::vector<int16_t> sine(n);
    for (int i = 0; i < n; ++i) {
        sine[static_cast<std::size_t>(i)] =
            static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * 3 * i / n)));
    }
    EXPECT_EQ(Paint(sine, n), kPlotWidth) << "one line per pixel column";
    int previousTop = -1;
    for (int x = kPlotLeft; x < kPlotLeft + kPlotWidth; ++x) {
        const auto rows = RowsWith(image_, x, kTrace);
        ASSERT_FALSE(rows.empty()) << "column " << x;
        if (previousTop >= 0) {
            // Neighbouring columns overlap or touch: no gap in the trace.
            EXPECT_LE(rows.front(), previousTop + 30) << x;
        }
        previousTop = rows.front();
    }
}

TEST_F(LupexTest, ByteSamplesSpreadOverTheWordPositions) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    // 8-bit data: BeginDraw gets N = 100 words, Plot 200 byte samples.
    constexpr int n = 100;
    Paint(Step(2 * n), n);
    EXPECT_NEAR(RowsWith(image_, ColumnOf(40, n), kTrace).front(), RowOf(8000), 1);
    EXPECT_NEAR(RowsWith(image_, ColumnOf(60, n), kTrace).front(), RowOf(-8000), 1);
}

TEST_F(LupexTest, TheCursorFollowsTheMouse) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    const auto samples = Step(n);
    Paint(samples, n);
    const int column = ColumnOf(250, n);
    EXPECT_EQ(viewer_->MouseMove(&kRect, 0, LupexPosition(column, 100)), 1);
    Paint(samples, n);
    EXPECT_NEAR(state_.cursorSample, 250, 2);
    EXPECT_EQ(viewer_->MouseMove(&kRect, 0, LupexPosition(column, 120)), 0)
        << "same sample: no painting needed";
    EXPECT_EQ(viewer_->MouseMove(&kRect, 0, LupexPosition(kPlotLeft + kPlotWidth + 3, 100)), 1);
    Paint(samples, n);
    EXPECT_EQ(state_.cursorSample, n - 1) << "right of the plot: the last sample";
}

TEST_F(LupexTest, TheCursorsValueIsShownAboveThePlot) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    const auto textPixels = [this] {
        int count = 0;
        for (int y = 0; y < kPlotTop - 1; ++y) { // above the plot's frame
            for (int x = kPlotLeft; x < kPlotLeft + kPlotWidth; ++x) {
                count += qGray(image_.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        return count;
    };
    Paint(Step(n), n);
    EXPECT_EQ(textPixels(), 0);
    viewer_->MouseMove(&kRect, 0, LupexPosition(ColumnOf(250, n), 100));
    Paint(Step(n), n);
    EXPECT_GT(textPixels(), 20);
}

TEST_F(LupexTest, AMiddleClickZoomsInAndADoubleClickShowsTheWholeFile) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    const auto samples = Step(n);
    Paint(samples, n);
    // Zoom in twice at sample 500: 250..750 is on screen, the step in the middle.
    EXPECT_EQ(viewer_->MouseClick(&kRect, kLupexButtonOther, LupexPosition(ColumnOf(500, n), 100),
                                  kLupexModeClick),
              1);
    Paint(samples, n);
    const int quarter = kPlotLeft + kPlotWidth / 4;
    EXPECT_NEAR(RowsWith(image_, quarter, kTrace).front(), RowOf(8000), 1);
    EXPECT_NEAR(RowsWith(image_, kPlotLeft + 3 * kPlotWidth / 4, kTrace).front(), RowOf(-8000), 1);
    viewer_->MouseMove(&kRect, 0, LupexPosition(kPlotLeft, 100));
    Paint(samples, n);
    EXPECT_NEAR(state_.cursorSample, 250, 2) << "the left edge is sample 250";

    // Left and right clicks are the program's: no change of view.
    EXPECT_EQ(viewer_->MouseClick(&kRect, kLupexButtonLeft, LupexPosition(quarter, 100), 0), 0);
    EXPECT_EQ(viewer_->MouseClick(&kRect, kLupexButtonRight, LupexPosition(quarter, 100), 0), 0);
    // The double click: mode 3, position 0.
    EXPECT_EQ(viewer_->MouseClick(&kRect, kLupexButtonLeft, 0, kLupexModeWhole), 1);
    Paint(samples, n);
    EXPECT_EQ(state_.cursorSample, 0) << "the left edge is the first sample again";
    EXPECT_EQ(viewer_->MouseClick(&kRect, kLupexButtonLeft, 0, kLupexModeWhole), 0)
        << "already whole: no painting needed";
}

TEST_F(LupexTest, ZoomingStopsAtAFewSamplesAndDrawsThemAsPoints) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 1000;
    const auto samples = Step(n);
    Paint(samples, n);
    const int32_t at = LupexPosition(ColumnOf(100, n), 100);
    int zooms = 0;
    while (viewer_->MouseClick(&kRect, kLupexButtonOther, at, kLupexModeClick) == 1) {
        ASSERT_LT(++zooms, 20);
    }
    EXPECT_GE(zooms, 6);
    // A span of 8 positions: the samples on it and one beyond each edge.
    const int32_t points = Paint(samples, n);
    EXPECT_GE(points, 9);
    EXPECT_LE(points, 11);
    EXPECT_EQ(viewer_->MouseClick(&kRect, kLupexButtonOther, at, kLupexModeZoomOut), 1);
}

TEST_F(LupexTest, OperationsWithBadInputFailWithoutHarm) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 100;
    const auto samples = Step(n);
    const LupexViewRange range{0, n - 1, kLowY, kHighY, kLowY, kHighY};
    const LupexRect empty{10, 10, 10, 50};
    QPainter painter(&image_);
    QPainter inactive;

    EXPECT_EQ(viewer_->EndDraw(), -1) << "no painting begun";
    int32_t output = 0;
    EXPECT_EQ(viewer_->Plot(samples.data(), n, 1, 0, &output, 0, nullptr, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(nullptr, &kRect, &range, n, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&inactive, &kRect, &range, n, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&painter, nullptr, &range, n, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&painter, &empty, &range, n, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, nullptr, n, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, &range, 0, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, &range, -5, &state_, 0), -1);
    EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, &range, n, nullptr, 0), -1);
    const LupexViewRange reversed{10, 0, kLowY, kHighY, kLowY, kHighY};
    EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, &reversed, n, &state_, 0), -1);
    const LupexViewRange notANumber{0, std::nanf(""), kLowY, kHighY, kLowY, kHighY};
    EXPECT_EQ(viewer_->BeginDraw(&painter, &kRect, &notANumber, n, &state_, 0), -1);
    EXPECT_EQ(viewer_->EndDraw(), -1) << "a failed BeginDraw begins nothing";

    ASSERT_EQ(viewer_->BeginDraw(&painter, &kRect, &range, n, &state_, 0), 1);
    EXPECT_EQ(viewer_->Plot(nullptr, n, 1, 0, &output, 0, nullptr, 0), -1);
    EXPECT_EQ(viewer_->Plot(samples.data(), 0, 1, 0, &output, 0, nullptr, 0), -1);
    EXPECT_EQ(viewer_->Plot(samples.data(), -1, 1, 0, &output, 0, nullptr, 0), -1);
    EXPECT_EQ(viewer_->Plot(samples.data(), n, 0, 0, &output, 0, nullptr, 0), -1);
    EXPECT_EQ(viewer_->Plot(samples.data(), n, 1, -1, &output, 0, nullptr, 0), -1);
    EXPECT_EQ(viewer_->Plot(samples.data(), n, 1, 0, &output, -1, nullptr, 0), -1);
    EXPECT_EQ(viewer_->Plot(samples.data(), n, 1, 0, nullptr, 0, nullptr, 0), 1)
        << "the output is optional";
    EXPECT_EQ(viewer_->EndDraw(), 1);
    EXPECT_EQ(viewer_->EndDraw(), -1);

    EXPECT_EQ(viewer_->SetOption(kLupexOptionTrace, nullptr), -1);
    const int32_t badStyle[5] = {9, 0, 0, 0, 0};
    EXPECT_EQ(viewer_->SetOption(kLupexOptionTrace, badStyle), -1);
    EXPECT_EQ(viewer_->SetOption(99, badStyle), -1);
    EXPECT_EQ(viewer_->MouseMove(nullptr, 0, 0), -1);
    EXPECT_EQ(viewer_->MouseClick(nullptr, 1, 0, 0), -1);
    EXPECT_EQ(viewer_->MouseClick(&kRect, 1, 0, 7), -1);
    EXPECT_EQ(viewer_->MouseClick(&empty, 0, 0, 0), 0);
    EXPECT_EQ(viewer_->Reserved0(), 0);
    EXPECT_EQ(viewer_->Reserved2(), 0);
    EXPECT_EQ(viewer_->Reserved6(), 0);
    EXPECT_EQ(viewer_->Reserved7(), 0);
    painter.end();

    // The viewer still paints properly afterwards.
    EXPECT_GT(Paint(samples, n), 0);
    EXPECT_NEAR(RowsWith(image_, ColumnOf(10, n), kTrace).front(), RowOf(8000), 1);
}

TEST_F(LupexTest, ASmallBoxIsAllPlotWithoutScales) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    constexpr int n = 50;
    const LupexRect small{10, 20, 90, 60}; // 80 x 40 pixels
    const std::vector<int16_t> top(n, 9191);
    QPainter painter(&image_);
    const LupexViewRange range{0, n - 1, kLowY, kHighY, kLowY, kHighY};
    ASSERT_EQ(viewer_->BeginDraw(&painter, &small, &range, n, &state_, 0), 1);
    ASSERT_EQ(viewer_->Plot(top.data(), n, 1, 0, nullptr, 0, nullptr, 0), 1);
    ASSERT_EQ(viewer_->EndDraw(), 1);
    painter.end();
    EXPECT_EQ(image_.pixel(30, 20), kTrace) << "the top row of the box is the highest value";
    EXPECT_EQ(image_.pixel(5, 40), QColor(Qt::black).rgb()) << "nothing left of the box";
    EXPECT_EQ(image_.pixel(95, 40), QColor(Qt::black).rgb()) << "nothing right of the box";
}

TEST_F(LupexTest, ReleasedObjectsAreGoneAndNewOnesWork) {
    ASSERT_NE(viewer_, nullptr) << library_.Reason();
    auto* second = static_cast<ILUPEX*>(library_.Create(kLupexInterfaceName));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Release(), 0);
    void* gone = second;
    EXPECT_EQ(library_.Factory()->Release(&gone), FactoryNotOurs);
    EXPECT_GT(Paint(Step(10), 10), 0);
}

} // namespace

int main(int argc, char** argv) {
    // Text needs a GUI application; the offscreen platform needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
