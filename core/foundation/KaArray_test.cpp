#include "foundation/KaArray.h"
#include "foundation/KaIdTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

// Counts its live instances, so a test sees every element destroyed.
struct Counted {
    static int live;
    int value = 0;
    Counted(int v) : value(v) { ++live; }
    Counted(Counted const& other) : value(other.value) { ++live; }
    Counted& operator=(Counted const&) = default;
    ~Counted() { --live; }
    bool operator==(Counted const& other) const { return value == other.value; }
    bool operator<(Counted const& other) const { return value < other.value; }
};
int Counted::live = 0;

std::vector<unsigned int> Values(TKaArray<unsigned int> const& array) {
    std::vector<unsigned int> values;
    for (int i = 0; i < array.Size(); ++i)
        values.push_back(array[i]);
    return values;
}

TKaArray<unsigned int> Array(std::vector<unsigned int> const& values, int capacity = 256) {
    TKaArray<unsigned int> array(capacity);
    for (unsigned int v : values)
        array.Add(v);
    return array;
}

} // namespace

TEST(TKaArray, GrowsByDoubling) {
    TKaArray<unsigned int> array;
    EXPECT_EQ(array.Capacity(), 256);
    for (unsigned int i = 0; i < 256; ++i)
        array.Add(i);
    EXPECT_EQ(array.Capacity(), 256);
    array.Add(256);
    EXPECT_EQ(array.Capacity(), 512);
    EXPECT_EQ(array.Size(), 257);
    EXPECT_EQ(array[256], 256u);

    // An array made without room still grows.
    TKaArray<unsigned int> empty(0);
    empty.Add(7);
    empty.Insert(6, 0);
    empty.Add(8);
    EXPECT_EQ(Values(empty), (std::vector<unsigned int>{6, 7, 8}));
    EXPECT_EQ(empty.Capacity(), 4);
}

TEST(TKaArray, InsertAndRemoveShiftElementsAndStayInBounds) {
    TKaArray<unsigned int> array = Array({1, 2, 3}, 3);
    array.Insert(9, 1);
    EXPECT_EQ(Values(array), (std::vector<unsigned int>{1, 9, 2, 3}));
    EXPECT_EQ(array.Capacity(), 6);
    array.Insert(0, -4); // clamped to the front
    array.Insert(4, 99); // clamped to the end
    EXPECT_EQ(Values(array), (std::vector<unsigned int>{0, 1, 9, 2, 3, 4}));

    array.Remove(2);
    EXPECT_EQ(Values(array), (std::vector<unsigned int>{0, 1, 2, 3, 4}));
    array.Remove(-1);
    array.Remove(5);
    EXPECT_EQ(array.Size(), 5);
    array.Remove(4);
    array.Add(5);
    EXPECT_EQ(Values(array), (std::vector<unsigned int>{0, 1, 2, 3, 5}));

    EXPECT_THROW(array[5], std::out_of_range);
    EXPECT_THROW(array[-1], std::out_of_range);
    TKaArray<unsigned int> const& constant = array;
    EXPECT_THROW(constant[5], std::out_of_range);

    array.Clear();
    EXPECT_EQ(array.Size(), 0);
    EXPECT_EQ(array.Capacity(), 256);
    EXPECT_THROW(array[0], std::out_of_range);
}

TEST(TKaArray, OwnsItsElements) {
    {
        TKaArray<Counted> array(2);
        for (int i = 0; i < 5; ++i)
            array.Add(Counted(i));
        EXPECT_EQ(Counted::live, 5);
        array.Remove(0);
        EXPECT_EQ(Counted::live, 4);
        TKaArray<Counted> copy(array);
        EXPECT_EQ(Counted::live, 8);
        copy[0].value = 42;
        EXPECT_EQ(array[0].value, 1);
        copy.Clear();
        EXPECT_EQ(Counted::live, 4);
        array.Sort();
    }
    EXPECT_EQ(Counted::live, 0);
}

TEST(TKaArray, CopyAndCompare) {
    TKaArray<unsigned int> source = Array({5, 6, 7}, 8);
    TKaArray<unsigned int> same = Array({5, 6, 7}, 16);
    EXPECT_TRUE(source == same);
    EXPECT_FALSE(source != same);

    TKaArray<unsigned int> target = Array({1, 2, 3, 4, 5, 6, 7, 8, 9});
    target = source;
    EXPECT_EQ(target.Capacity(), 8);
    EXPECT_EQ(Values(target), Values(source));
    target[0] = 1;
    EXPECT_EQ(source[0], 5u);
    EXPECT_TRUE(source != target);

    TKaArray<unsigned int> shorter = Array({5, 6});
    EXPECT_FALSE(source == shorter);
}

TEST(TKaArray, SearchesInRanges) {
    TKaArray<unsigned int> const array = Array({4, 8, 4, 2});
    EXPECT_EQ(array.Search(4), 0);
    EXPECT_EQ(array.Search(4, 1), 2);
    EXPECT_EQ(array.Search(4, 1, 2), -1);
    EXPECT_EQ(array.Search(2, 0, -1), 3);
    EXPECT_EQ(array.Search(2, -3, 100), 3);
    EXPECT_EQ(array.Search(9), -1);
    EXPECT_EQ(TKaArray<unsigned int>().Search(1), -1);
}

TEST(TKaArray, BinarySearchesFindEveryElement) {
    EXPECT_EQ(TKaArray<unsigned int>().BinSearchUp(3), -1);
    EXPECT_EQ(TKaArray<unsigned int>().BinSearchDown(3), -1);

    TKaArray<unsigned int> const up = Array({1, 3, 5, 7, 9, 11, 13});
    TKaArray<unsigned int> const down = Array({13, 11, 9, 7, 5, 3, 1});
    for (int i = 0; i < up.Size(); ++i) {
        EXPECT_EQ(up.BinSearchUp(up[i]), i);
        EXPECT_EQ(down.BinSearchDown(down[i]), i);
    }
    for (unsigned int absent : {0u, 2u, 8u, 14u}) {
        EXPECT_EQ(up.BinSearchUp(absent), -1);
        EXPECT_EQ(down.BinSearchDown(absent), -1);
    }
}

TEST(TKaArray, SortsAscending) {
    TKaArray<unsigned int> two = Array({2, 1});
    two.Sort();
    EXPECT_EQ(Values(two), (std::vector<unsigned int>{1, 2}));

    // Every size around the switch to the selection pass, with many duplicates.
    std::mt19937 random(7);
    for (int n = 0; n <= 40; ++n) {
        std::vector<unsigned int> values;
        for (int i = 0; i < n; ++i)
            values.push_back(random() % 6);
        TKaArray<unsigned int> array = Array(values);
        array.Sort();
        std::sort(values.begin(), values.end());
        EXPECT_EQ(Values(array), values) << "n = " << n;
    }

    std::vector<unsigned int> values;
    for (int i = 0; i < 5000; ++i)
        values.push_back(random());
    for (auto const& input : {values, std::vector<unsigned int>(5000, 3u)}) {
        TKaArray<unsigned int> array = Array(input);
        array.Sort();
        std::vector<unsigned int> expected = input;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Values(array), expected);
        array.Sort(); // sorted input
        EXPECT_EQ(Values(array), expected);
    }
}

TEST(KaIdPair, OrdersByFirstThenSecond) {
    KaIdPair const a(1, 5), b(2, 0), c(1, 6);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(a < c);
    EXPECT_FALSE(c < a);
    EXPECT_TRUE(a <= KaIdPair(1, 5));
    EXPECT_FALSE(b <= a);
    EXPECT_TRUE(a == KaIdPair(a));
    EXPECT_FALSE(a == c);

    KaIdPairTable table;
    table.Add(KaIdPair(2, 1));
    table.Add(KaIdPair(1, 9));
    table.Add(KaIdPair(2, 0));
    table.Sort();
    EXPECT_EQ(table[0], KaIdPair(1, 9));
    EXPECT_EQ(table[1], KaIdPair(2, 0));
    EXPECT_EQ(table.BinSearchUp(KaIdPair(2, 1)), 2);
}
