#include "maze/FrontierArray.h"

#include "MazeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace maze_test;

namespace {
// The frontier as a plain array with the linear search.
struct LinearFrontier {
    std::vector<frontier_location> items;
    void RemoveAt(std::size_t i)
    {
        items[i] = items.back();
        items.pop_back();
    }
    int Find(const frontier_location& loc) const
    {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == loc)
                return int(i);
        return -1;
    }
    bool Remove(const frontier_location& loc)
    {
        int i = Find(loc);
        if (i >= 0)
            RemoveAt(std::size_t(i));
        return i >= 0;
    }
};

void ExpectSame(const FrontierArray& a, const LinearFrontier& b)
{
    ASSERT_EQ(a.GetSize(), int(b.items.size()));
    for (int i = 0; i < a.GetSize(); ++i)
        ASSERT_EQ(a[i], b.items[std::size_t(i)]) << "entry " << i;
}
}

TEST(FrontierArrayTest, DuplicatesAndKeysOutsideTheIndex)
{
    FrontierArray f;
    f.SetGridSize(0, 3, 3);
    f.Add({1, 1, 0});
    f.Add({2, 2, 0});
    f.Add({1, 1, 0});
    f.Add({7, -1, 0});
    f.Add({1, 1, 5});
    EXPECT_EQ(f.Find({1, 1, 0}), 0);
    EXPECT_EQ(f.Find({7, -1, 0}), 3);
    EXPECT_EQ(f.Find({1, 1, 5}), 4);
    EXPECT_EQ(f.Find({0, 0, 0}), -1);
    // The first equal entry goes and the last entry takes its place.
    EXPECT_TRUE(f.Remove({1, 1, 0}));
    EXPECT_EQ(f[0], (frontier_location{1, 1, 5}));
    EXPECT_EQ(f.Find({1, 1, 0}), 2);
    EXPECT_TRUE(f.Remove({1, 1, 0}));
    EXPECT_FALSE(f.Remove({1, 1, 0}));
    EXPECT_EQ(f.GetSize(), 3);
    // Resizing the index keeps every answer.
    f.SetGridSize(0, 1, 1);
    EXPECT_EQ(f.Find({2, 2, 0}), 1);
    f.SetGridSize(0, 10, 10);
    EXPECT_EQ(f.Find({7, -1, 0}), 2);
    f.RemoveAll();
    EXPECT_TRUE(f.IsEmpty());
    EXPECT_EQ(f.Find({2, 2, 0}), -1);
}

TEST(FrontierArrayTest, MatchesTheLinearSearchOverRandomOperations)
{
    // Indexed runs with duplicate keys, and unique runs whose keys never repeat.
    for (unsigned seed = 1; seed <= 60; ++seed) {
        TestRng rng{seed};
        FrontierArray fast;
        LinearFrontier model;
        const bool unique = seed % 3 == 0;
        int w = 1 + rng.Below(6), h = 1 + rng.Below(6);
        fast.SetGridSize(0, w, h);
        if (unique)
            fast.BeginUniqueRun();
        for (int step = 0; step < 3000; ++step) {
            int op = rng.Below(100);
            // Keys mostly inside the indexed grid, some outside it or in other grids; duplicates often.
            frontier_location loc{rng.Below(w + 2) - 1, rng.Below(h + 2) - 1, rng.Below(10) == 0 ? rng.Below(9) : 0};
            if (unique && op < 45 && model.Find(loc) >= 0)
                op = 80;
            if (unique && op >= 95 && op < 97)
                op = 80;
            if (op < 45) {
                EXPECT_EQ(fast.Add(loc), int(model.items.size()));
                model.items.push_back(loc);
            } else if (op < 70 && !model.items.empty()) {
                int i = rng.Below(int(model.items.size()));
                fast.RemoveAt(i);
                model.RemoveAt(std::size_t(i));
            } else if (op < 95) {
                ASSERT_EQ(fast.Find(loc), model.Find(loc));
                ASSERT_EQ(fast.Remove(loc), model.Remove(loc));
            } else if (op < 97) {
                w = 1 + rng.Below(6);
                h = 1 + rng.Below(6);
                fast.SetGridSize(rng.Below(3), w, h);
            } else if (op < 98) {
                fast.RemoveAll();
                model.items.clear();
            }
            ExpectSame(fast, model);
            if (HasFatalFailure())
                return;
        }
        // Leaving a unique run keeps the entries and answers by the index from then on.
        fast.EndUniqueRun();
        for (int i = 0; i < 50; ++i) {
            frontier_location loc{rng.Below(w + 2) - 1, rng.Below(h + 2) - 1, 0};
            fast.Add(loc);
            model.items.push_back(loc);
            ASSERT_EQ(fast.Remove(loc), model.Remove(loc));
            ASSERT_EQ(fast.Remove({0, 0, 0}), model.Remove({0, 0, 0}));
            ExpectSame(fast, model);
        }
    }
}

TEST(FrontierArrayTest, CopiesAndMovesKeepEntriesAndOrder)
{
    FrontierArray a;
    a.SetGridSize(0, 4, 4);
    for (int i = 0; i < 100; ++i)
        a.Add({i % 4, (i / 4) % 4, i % 7 == 0 ? 2 : 0});
    FrontierArray copy(a);
    ASSERT_EQ(copy.GetSize(), 100);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(copy[i], a[i]);
    EXPECT_EQ(copy.Find({1, 0, 0}), a.Find({1, 0, 0}));
    FrontierArray moved(std::move(copy));
    EXPECT_EQ(moved.GetSize(), 100);
    EXPECT_EQ(moved[99], a[99]);
    EXPECT_TRUE(moved.Remove({1, 0, 0}));
    FrontierArray assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.GetSize(), 99);
    EXPECT_EQ(assigned.Find({0, 0, 2}), 0);
}
