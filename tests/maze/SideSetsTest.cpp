#include "maze/SideSets.h"

#include <gtest/gtest.h>

using namespace maze_sides;

// Every set of sides 1 to 4 and every draw: the pick is the (draw mod size)-th member in side order,
// found here by walking the set's bits.
TEST(SideSetsTest, PickSmallTakesTheDrawModuloTheSizeInSideOrder)
{
    for (unsigned set = 2; set < 32; set += 2) {
        int size = 0;
        for (int d = 1; d <= 4; ++d)
            size += (set >> d) & 1;
        ASSERT_EQ(CountSides(set), size);
        for (int r = 0; r <= 0x7FFF; ++r) {
            int rank = r % size, picked = 0;
            for (int d = 1; d <= 4 && !picked; ++d)
                if ((set >> d) & 1 && rank-- == 0)
                    picked = d;
            ASSERT_EQ(PickSmall(set, r), picked) << "set " << set << ", draw " << r;
        }
    }
}
