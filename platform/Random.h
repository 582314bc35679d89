#pragma once
// The program's one random generator, in place of the C runtime's srand/rand, with their exact sequence:
// a 32-bit state (initially 1); each draw steps state = state * 214013 + 2531011 and yields bits 16..30.
// Every random choice of the program draws from it, so the order of draws is part of the behaviour.
#include <cstdint>

constexpr int VANTREL_RAND_MAX = 0x7FFF;

// Sets the state to the seed.
void VantrelSrand(unsigned int seed);
// The next value in 0..VANTREL_RAND_MAX.
int VantrelRand();
// The raw state, so tests and callers that must save and restore the sequence can do so.
std::uint32_t VantrelRandState();
