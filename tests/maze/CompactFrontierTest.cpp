#include "maze/CompactFrontier.h"

#include "MazeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace maze_test;

TEST(CompactFrontierTest, KeepsItsEntriesAcrossBlocks)
{
    // Appends, swap removals and reads over several blocks, against a plain array.
    TestRng rng{77};
    CompactFrontier frontier;
    std::vector<std::uint32_t> model;
    for (int step = 0; step < 200000; ++step) {
        const int op = rng.Below(10);
        if (op < 6) {
            const int n = 1 + rng.Below(4);
            frontier.Reserve(std::size_t(n));
            ASSERT_GE(frontier.Room(), frontier.Size() + std::size_t(n));
            for (int k = 0; k < n; ++k) {
                const std::uint32_t v = rng.Next();
                frontier.Resize(frontier.Size() + 1);
                frontier[frontier.Size() - 1] = v;
                model.push_back(v);
            }
        } else if (!model.empty()) {
            const std::size_t i = rng.Below(int(model.size()));
            frontier[i] = frontier[frontier.Size() - 1];
            frontier.Resize(frontier.Size() - 1);
            model[i] = model.back();
            model.pop_back();
        }
    }
    ASSERT_GT(model.size(), 3 * CompactFrontier::kBlockSize);
    ASSERT_EQ(frontier.Size(), model.size());
    std::uint32_t* const* blocks = frontier.Blocks();
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(frontier[i], model[i]) << i;
        ASSERT_EQ(blocks[i >> CompactFrontier::kBlockBits][i % CompactFrontier::kBlockSize], model[i]) << i;
    }
}
