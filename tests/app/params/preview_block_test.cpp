// The block the preview window's clicks set, in a file of N = 1000 words unless a
// case says otherwise.

#include "app/params/preview_block.h"

#include <gtest/gtest.h>

namespace {

struct ClickCase {
    const char* what;
    int32_t cursor;
    PreviewBlock before;
    int32_t n;
    int32_t memory;
    PreviewBlock after;
};

std::ostream& operator<<(std::ostream& out, const ClickCase& c) {
    return out << c.what;
}

class LeftClick : public ::testing::TestWithParam<ClickCase> {};

TEST_P(LeftClick, PutsTheStartAtTheCursor) {
    const ClickCase& c = GetParam();
    EXPECT_EQ(LeftClickBlock(c.cursor, c.before, c.n, c.memory), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeftClick,
    ::testing::Values(
        ClickCase{"fits as it is", 100, {0, 600}, 1000, 1 << 20, {100, 600}},
        ClickCase{"shortened to the end", 700, {0, 600}, 1000, 1 << 20, {700, 300}},
        ClickCase{"shortened and made even", 701, {0, 600}, 1000, 1 << 20, {701, 298}},
        ClickCase{"ends exactly at the last sample", 400, {0, 600}, 1000, 1 << 20, {400, 600}},
        ClickCase{"at the second-to-last sample", 998, {0, 600}, 1000, 1 << 20, {998, 2}},
        ClickCase{"beyond the second-to-last sample", 999, {0, 600}, 1000, 1 << 20, {998, 2}},
        ClickCase{"cut to the board memory", 0, {0, 900}, 1000, 512, {0, 512}},
        ClickCase{"memory unknown", 0, {0, 900}, 1000, 0, {0, 900}},
        ClickCase{"a file of one word", 0, {0, 2}, 1, 512, {0, 2}},
        ClickCase{"a cursor before the file", -3, {10, 4}, 1000, 512, {0, 4}}));

class RightClick : public ::testing::TestWithParam<ClickCase> {};

TEST_P(RightClick, PutsTheEndAtTheCursor) {
    const ClickCase& c = GetParam();
    EXPECT_EQ(RightClickBlock(c.cursor, c.before, c.n), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RightClick,
    ::testing::Values(ClickCase{"after the start", 299, {100, 50}, 1000, 0, {100, 200}},
                      ClickCase{"made even", 300, {100, 50}, 1000, 0, {100, 200}},
                      ClickCase{
                          "before the start: 2 at the old start", 50, {100, 50}, 1000, 0, {100, 2}},
                      ClickCase{"at the start", 100, {100, 50}, 1000, 0, {100, 2}},
                      ClickCase{"one after the start", 101, {100, 50}, 1000, 0, {100, 2}},
                      ClickCase{"to the last sample", 999, {0, 50}, 1000, 0, {0, 1000}},
                      ClickCase{"moved back from the end", 999, {999, 2}, 1000, 0, {998, 2}},
                      ClickCase{"never below 0", 0, {0, 2}, 1, 0, {0, 2}}));

} // namespace
