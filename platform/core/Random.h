#pragma once
// The program's one random generator, in place of the C runtime's srand/rand, with their exact sequence:
// a 32-bit state (initially 1); each draw steps state = state * 214013 + 2531011 and yields bits 16..30.
// Every random choice of the program draws from it, so the order of draws is part of the behaviour.
#include <cstdint>

constexpr int VANTREL_RAND_MAX = 0x7FFF;

namespace vantrel_random_detail {
// The generator's state; only the functions below touch it.
extern std::uint32_t g_state;
}

// Sets the state to the seed.
void VantrelSrand(unsigned int seed);

// Steps state as the generator steps its own and returns the value drawn. A long run that nothing else
// draws from meanwhile may take the state (VantrelRandState), draw from its copy, which stays in a
// register, and give it back (VantrelSrand): the sequence is the same.
constexpr int VantrelRandStep(std::uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7FFF);
}

// The next value in 0..VANTREL_RAND_MAX. Inline: growth draws once or twice per cell.
inline int VantrelRand() { return VantrelRandStep(vantrel_random_detail::g_state); }

// The raw state, so tests and callers that must save and restore the sequence can do so.
inline std::uint32_t VantrelRandState() { return vantrel_random_detail::g_state; }

