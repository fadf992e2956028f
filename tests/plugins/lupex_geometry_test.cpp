// The viewer's arithmetic without drawing: the min/max reduction against a plain
// per-sample oracle, the visible sample range, the zoom limits, the grid steps and
// the unpacking of mouse positions.

#include "app/params/ilupex.h"
#include "plugins/viewer/column_reduction.h"
#include "plugins/viewer/plot_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using lupex::ColumnRange;
using lupex::SampleRow;

struct ReductionCase {
    std::size_t count;
    std::size_t stride;
    double step;      // x per sample
    double viewFirst; // first x on screen
    double scale;     // columns per x
    int columns;
};

class Reduction : public ::testing::TestWithParam<ReductionCase> {};

// Every sample goes to its nearest column; a column's range is the min and max of
// its samples and of the sample just before its first one.
TEST_P(Reduction, MatchesTheNearestColumnOfEverySample) {
    const ReductionCase c = GetParam();
    std::vector<int16_t> values(c.count * c.stride);
    uint32_t seed = 7;
    for (auto& v : values) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<int16_t>(seed >> 16);
    }
    SampleRow row;
    row.values = values.data();
    row.count = c.count;
    row.stride = c.stride;
    row.firstX = 0;
    row.step = c.step;

    std::vector<ColumnRange> expected(static_cast<std::size_t>(c.columns), ColumnRange{0, 0, true});
    for (std::size_t i = 0; i < c.count; ++i) {
        const double column = (static_cast<double>(i) * c.step - c.viewFirst) * c.scale;
        const auto nearest = static_cast<long>(std::floor(column + 0.5));
        if (nearest < 0 || nearest >= c.columns) {
            continue;
        }
        ColumnRange& e = expected[static_cast<std::size_t>(nearest)];
        if (e.empty) {
            const std::size_t before = i > 0 ? i - 1 : 0;
            e = {row.At(before), row.At(before), false};
        }
        e.low = std::min(e.low, row.At(i));
        e.high = std::max(e.high, row.At(i));
    }

    std::vector<ColumnRange> got;
    lupex::ReduceColumns(row, c.viewFirst, c.scale, c.columns, got);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
        ASSERT_EQ(got[k].empty, expected[k].empty) << "column " << k;
        if (!got[k].empty) {
            EXPECT_EQ(got[k].low, expected[k].low) << "column " << k;
            EXPECT_EQ(got[k].high, expected[k].high) << "column " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, Reduction,
    ::testing::Values(ReductionCase{524288, 1, 1.0, 0, 999.0 / 524287, 1000}, // whole MiB
                      ReductionCase{10000, 1, 1.0, 2500.3, 0.2, 700},         // zoomed
                      ReductionCase{2000, 1, 0.5, 0, 999.0 / 999, 1000},      // byte samples
                      ReductionCase{3000, 3, 1.0, 0, 0.1, 300},               // a stride
                      ReductionCase{50, 1, 1.0, 0, 10.0, 400},                // fewer samples
                      ReductionCase{1000, 1, 1.0, -100, 0.5, 100}));          // starts left

TEST(Reduction, NoSamplesOrNoScaleGiveEmptyColumns) {
    std::vector<ColumnRange> out;
    lupex::ReduceColumns(SampleRow{}, 0, 1, 5, out);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](const ColumnRange& r) { return r.empty; }));
    const int16_t one = 3;
    lupex::ReduceColumns(SampleRow{&one, 1, 1, 0, 1}, 0, 0, 5, out);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](const ColumnRange& r) { return r.empty; }));
    lupex::ReduceColumns(SampleRow{&one, 1, 1, 0, 1}, 0, std::nan(""), -2, out);
    EXPECT_TRUE(out.empty());
}

TEST(VisibleSamples, IncludeOneSampleBeyondEachEdge) {
    std::vector<int16_t> values(100);
    const SampleRow row{values.data(), values.size(), 1, 0, 1};
    const auto inside = lupex::VisibleSamples(row, 10.5, 20.5);
    EXPECT_EQ(inside.begin, 10u);
    EXPECT_EQ(inside.end, 22u);
    const auto whole = lupex::VisibleSamples(row, -5, 500);
    EXPECT_EQ(whole.begin, 0u);
    EXPECT_EQ(whole.end, 100u);
    const auto right = lupex::VisibleSamples(row, 200, 300);
    EXPECT_EQ(right.end - right.begin, 1u) << "only the last sample, to draw towards";
}

TEST(Zoom, KeepsTheViewInsideTheRangeAndAboveTheSmallestSpan) {
    const lupex::XView whole{0, 999};
    const auto in = lupex::Zoomed(whole, 500, 0.5, 0, 999);
    EXPECT_DOUBLE_EQ(in.Span(), 499.5);
    EXPECT_DOUBLE_EQ(in.first + in.Span() / 2, 500);
    const auto edge = lupex::Zoomed(whole, 10, 0.5, 0, 999);
    EXPECT_DOUBLE_EQ(edge.first, 0) << "pushed back inside";
    const auto out = lupex::Zoomed(in, 900, 4, 0, 999);
    EXPECT_DOUBLE_EQ(out.first, 0);
    EXPECT_DOUBLE_EQ(out.last, 999) << "never beyond the whole range";
    const auto tiny = lupex::Zoomed({100, 110}, 105, 0.5, 0, 999);
    EXPECT_DOUBLE_EQ(tiny.Span(), lupex::kMinSpan);
    const auto single = lupex::Zoomed({0, 0}, 0, 0.5, 0, 0);
    EXPECT_DOUBLE_EQ(single.Span(), 0) << "one sample: nothing to zoom";
}

TEST(Grid, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(lupex::GridStep(18383, 6), 5000);
    EXPECT_DOUBLE_EQ(lupex::GridStep(524287, 10), 100000);
    EXPECT_DOUBLE_EQ(lupex::GridStep(8, 4), 2);
    EXPECT_DOUBLE_EQ(lupex::GridStep(0, 4), 1);
    EXPECT_DOUBLE_EQ(lupex::GridStep(std::nan(""), 4), 1);
}

TEST(Layout, LeavesMarginsOnlyWhenTheBoxIsLargeEnough) {
    const auto large = lupex::LayoutOf(0, 0, 400, 300);
    EXPECT_TRUE(large.scales);
    EXPECT_EQ(large.plot.left, lupex::kScaleWidth);
    EXPECT_EQ(large.plot.width, 400 - lupex::kScaleWidth - lupex::kRightMargin);
    const auto small = lupex::LayoutOf(5, 5, 100, 50);
    EXPECT_FALSE(small.scales);
    EXPECT_EQ(small.plot.width, 95);
    EXPECT_EQ(lupex::LayoutOf(0, 0, 0, 10).plot.width, 0);
    EXPECT_EQ(lupex::LayoutOf(-2147483647 - 1, 0, 2147483647, 10).plot.width, 0)
        << "a width that does not fit is no box";
}

TEST(MousePosition, UnpacksSignedHalves) {
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{123, 456}, std::pair{-5, 20},
                               std::pair{300, -1}, std::pair{-32768, 32767}}) {
        const int32_t packed = LupexPosition(x, y);
        EXPECT_EQ(lupex::PackedX(packed), x);
        EXPECT_EQ(lupex::PackedY(packed), y);
    }
    EXPECT_EQ(LupexPosition(123, 456), 456 * 65536 + 123) << "y * 65536 + x";
}

} // namespace
