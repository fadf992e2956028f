// The load-impedance list: order, the walking cursor, removal and copies.

#include "app/params/value_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using params::ValueList;

std::vector<float> Walk(ValueList& list) {
    std::vector<float> values;
    float value = 0;
    for (int r = list.ListFirst(value); r == 0; r = list.ListNext(value)) {
        values.push_back(value);
    }
    return values;
}

ValueList ListOf(std::initializer_list<float> values) {
    ValueList list;
    for (const float v : values) {
        EXPECT_EQ(list.ListAppend(v), 0);
    }
    return list;
}

TEST(ValueList, EmptyList) {
    ValueList list;
    float value = 7;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ListFirst(value), -1);
    EXPECT_EQ(list.ListNext(value), -1);
    EXPECT_EQ(list.ListRemoveAt(1), -1);
    EXPECT_EQ(value, 7);
}

TEST(ValueList, AppendAndPushFrontKeepTheirOrder) {
    ValueList list = ListOf({50, 75});
    EXPECT_EQ(list.ListPushFront(25), 0);
    EXPECT_EQ(list.ListAppend(100), 0);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(Walk(list), (std::vector<float>{25, 50, 75, 100}));
    EXPECT_EQ(list.Values(), (std::vector<float>{25, 50, 75, 100}));
}

TEST(ValueList, CursorFollowsThePushAndTheFirstAppend) {
    ValueList list;
    float value = 0;
    list.ListAppend(10); // the first node becomes the cursor
    list.ListAppend(20);
    EXPECT_EQ(list.ListNext(value), 0);
    EXPECT_EQ(value, 20);
    list.ListPushFront(5); // the cursor moves to the new head
    EXPECT_EQ(list.ListNext(value), 0);
    EXPECT_EQ(value, 10);
}

TEST(ValueList, RemovingTheHeadMovesTheCursorToTheNewHead) {
    ValueList list = ListOf({1, 2, 3});
    float value = 0;
    list.ListFirst(value);
    list.ListNext(value);
    EXPECT_EQ(list.ListRemoveAt(1), 0);
    EXPECT_EQ(list.ListNext(value), 0);
    EXPECT_EQ(value, 3); // cursor stood on the new head, 2
    EXPECT_EQ(list.Values(), (std::vector<float>{2, 3}));
}

TEST(ValueList, RemovingTheCursorNodeMovesTheCursorToTheHead) {
    ValueList list = ListOf({1, 2, 3});
    float value = 0;
    list.ListFirst(value);
    list.ListNext(value); // on 2
    EXPECT_EQ(list.ListRemoveAt(2), 0);
    EXPECT_EQ(list.ListNext(value), 0);
    EXPECT_EQ(value, 3); // from the head, 1, to 3
    EXPECT_EQ(list.Count(), 2);
}

TEST(ValueList, RemovingTheTailThenAppending) {
    ValueList list = ListOf({1, 2, 3});
    EXPECT_EQ(list.ListRemoveAt(3), 0);
    EXPECT_EQ(list.ListAppend(4), 0);
    EXPECT_EQ(list.Values(), (std::vector<float>{1, 2, 4}));
    EXPECT_EQ(list.ListRemoveAt(1), 0);
    EXPECT_EQ(list.ListRemoveAt(1), 0);
    EXPECT_EQ(list.ListRemoveAt(1), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ListAppend(5), 0); // the list is usable again
    EXPECT_EQ(Walk(list), (std::vector<float>{5}));
}

TEST(ValueList, NoSuchPosition) {
    ValueList list = ListOf({1, 2});
    EXPECT_EQ(list.ListRemoveAt(3), -2);
    EXPECT_EQ(list.ListRemoveAt(0), -2);
    EXPECT_EQ(list.ListRemoveAt(-1), -2);
    EXPECT_EQ(list.Count(), 2);
}

TEST(ValueList, CopiesAreIndependent) {
    ValueList a = ListOf({1, 2});
    ValueList b = a;
    b.ListAppend(3);
    a.ListRemoveAt(1);
    EXPECT_EQ(a.Values(), (std::vector<float>{2}));
    EXPECT_EQ(b.Values(), (std::vector<float>{1, 2, 3}));
    a = b;
    EXPECT_EQ(a.Values(), b.Values());
    ValueList moved = std::move(b);
    EXPECT_EQ(moved.Count(), 3);
}

TEST(ValueList, LongListsAreFreedWithoutRecursion) {
    ValueList list;
    for (int i = 0; i < 200000; ++i) {
        ASSERT_EQ(list.ListAppend(static_cast<float>(i)), 0);
    }
    EXPECT_EQ(list.Count(), 200000);
    list.FreeAll();
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
