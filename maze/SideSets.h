#pragma once
// Sets of cell sides as bit masks, bit d standing for side d (1..16), and the picks growth makes
// among them.
#include <cstdint>

namespace maze_sides {

// For the sets of sides 1 to 4 (masks below 32), their size and their members in side order come from
// tables, so a pick takes no branch on the set.
struct SmallSideSets {
    // r mod n is (r mod 12) mod n for each size n of 1 to 4: the pick for each remainder mod 12.
    static constexpr unsigned kPickPeriod = 12;
    std::uint8_t count[32];
    std::uint8_t member[32][4];
    std::uint8_t pick[32][kPickPeriod];
    constexpr SmallSideSets() : count(), member(), pick()
    {
        for (unsigned m = 0; m < 32; ++m) {
            int k = 0;
            for (int d = 1; d <= 4; ++d)
                if ((m >> d) & 1)
                    member[m][k++] = std::uint8_t(d);
            count[m] = std::uint8_t(k);
            for (unsigned r = 0; k && r < kPickPeriod; ++r)
                pick[m][r] = member[m][r % unsigned(k)];
        }
    }
};
inline constexpr SmallSideSets kSmallSets;

// The (r mod n + 1)-th member, in side order, of a set of sides 1 to 4 with n > 0 members; r >= 0.
// One remainder and one table read: growth's corridor waits on each pick.
inline int PickSmall(unsigned candidates, int r)
{
    return kSmallSets.pick[candidates][unsigned(r) % SmallSideSets::kPickPeriod];
}

inline int CountSides(unsigned mask)
{
    mask = mask - ((mask >> 1) & 0x55555555u);
    mask = (mask & 0x33333333u) + ((mask >> 2) & 0x33333333u);
    mask = (mask + (mask >> 4)) & 0x0F0F0F0Fu;
    return int((mask * 0x01010101u) >> 24);
}

}  // namespace maze_sides
