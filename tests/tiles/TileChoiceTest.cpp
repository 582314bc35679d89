// The weighted tile choice: which tile each random number picks, how many numbers are drawn, weights
// that cannot be used as they stand, and stable choices after reseeding.
#include "tiles/CBMPTiler.h"

#include "platform/core/Random.h"
#include "platform/gdi/WinGdi.h"
#include "tests/support/TileTestSupport.h"

#include <vector>

using tiletest::Sequence;

namespace {

CTileGroupInfo GroupOfWeights(const std::vector<LONG>& weights)
{
    CTileGroupInfo group;
    for (LONG w : weights) {
        CTileInfo tile;
        tile.weight = w;
        group.tiles.Add(tile);
    }
    return group;
}

int Index(CTileGroupInfo& group, const CTileInfo& chosen)
{
    for (int i = 0; i < group.tiles.GetSize(); ++i)
        if (&group.tiles[i] == &chosen)
            return i;
    return -1;
}

// The tile a random number r picks: the first whose running weight sum exceeds r mod total.
int Expected(const std::vector<LONG>& weights, int r)
{
    long long total = 0;
    for (LONG w : weights)
        total += w;
    const long long m = r % total;
    long long sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        sum += weights[i];
        if (sum > m)
            return int(i);
    }
    return -1;
}

} // namespace

TEST(TileChoice, OneTileIsReturnedWithoutADraw)
{
    CTileGroupInfo group = GroupOfWeights({0});
    VantrelSrand(77);
    EXPECT_EQ(&group.ChooseTile(), &group.tiles[0]);
    Sequence s{77};
    EXPECT_EQ(VantrelRand(), s.Next()); // the generator did not move
}

TEST(TileChoice, WeightsShareTheDrawsInOrder)
{
    const std::vector<std::vector<LONG>> cases = {{1, 3}, {0, 5}, {2, 2, 2}, {5, 0, 1, 10}, {3, -1, 4}};
    for (const auto& weights : cases) {
        CTileGroupInfo group = GroupOfWeights(weights);
        VantrelSrand(12345);
        Sequence s{12345};
        std::vector<int> counts(weights.size());
        for (int k = 0; k < 2000; ++k) {
            const int r = s.Next();
            const int got = Index(group, group.ChooseTile());
            ASSERT_EQ(got, Expected(weights, r)) << "draw " << k;
            ++counts[std::size_t(got)];
        }
        if (weights == std::vector<LONG>{0, 5}) {
            EXPECT_EQ(counts[0], 0);
        }
        if (weights == std::vector<LONG>{1, 3}) {
            EXPECT_GT(counts[1], 2 * counts[0]);
            EXPECT_GT(counts[0], 0);
        }
    }
    // Weights 1 and 3: r mod 4 = 0 picks the first tile, 1, 2 or 3 the second.
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(Expected({1, 3}, r), r % 4 == 0 ? 0 : 1);
    }
}

TEST(TileChoice, UnusableWeightTotalsCountEveryTileAsOne)
{
    for (const auto& weights : {std::vector<LONG>{0, 0}, {0, 0, 0}, {-5, 2}, {-3, -4, 1}}) {
        CTileGroupInfo group = GroupOfWeights(weights);
        VantrelSrand(9);
        Sequence s{9};
        for (int k = 0; k < 50; ++k) {
            const int r = s.Next();
            EXPECT_EQ(Index(group, group.ChooseTile()), r % int(weights.size()));
        }
    }
    // Totals beyond 32 bits do not wrap: the first tile holds half of them.
    CTileGroupInfo huge = GroupOfWeights({2147483647, 2147483647});
    VantrelSrand(3);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(Index(huge, huge.ChooseTile()), 0);
}

TEST(TileChoice, DrawTileChoosesEvenWhenItDoesNotPaint)
{
    CBMPTiler set;
    set.ParseDefinition(CString("TILE: 3,1,1\r\nTILE: 3,1,2\r\nTILE: 4,1,1\r\n"), 0, 0);
    const RECT cell{0, 0, 10, 10};
    VantrelSrand(5);
    Sequence s{5};
    set.DrawTile(nullptr, 3, cell, FALSE); // two tiles: one draw
    s.Next();
    EXPECT_EQ(VantrelRandState(), s.state);
    set.DrawTile(nullptr, 4, cell, FALSE); // one tile: no draw
    set.DrawTile(nullptr, 18, cell, FALSE); // no tile: no draw
    set.DrawTile(nullptr, 25, cell, TRUE);  // no such code: nothing at all
    set.DrawTile(nullptr, -1, cell, TRUE);
    EXPECT_EQ(VantrelRandState(), s.state);
}

TEST(TileChoice, ReseedingRepeatsTheChoices)
{
    CBMPTiler set;
    set.ParseDefinition(CString("TILE: 6,1,1,1\r\nTILE: 6,1,2,2\r\nTILE: 6,1,3,3\r\n"
                                "TILE: SOLUTION,1,1\r\nTILE: SOLUTION,1,2\r\n"), 0, 0);
    const RECT cell{0, 0, 10, 10};
    auto pass = [&] {
        std::vector<int> picks;
        set.Reseed();
        for (int k = 0; k < 40; ++k) {
            const int code = k % 3 == 0 ? 16 : 6;
            set.DrawTile(nullptr, code, cell, FALSE);
            picks.push_back(int(VantrelRandState() >> 16));
        }
        return picks;
    };
    const std::vector<int> first = pass();
    VantrelRand(); // other users of the generator in between
    EXPECT_EQ(pass(), first);

    // The choices follow the set's seed.
    set.Reseed();
    Sequence s{set.seed};
    for (int k = 0; k < 10; ++k) {
        const int r = s.Next();
        EXPECT_EQ(Index(set.groups[6], set.groups[6].ChooseTile()), Expected({1, 2, 3}, r));
    }
}
