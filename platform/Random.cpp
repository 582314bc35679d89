#include "platform/Random.h"

namespace {
std::uint32_t g_state = 1;
}

void VantrelSrand(unsigned int seed) { g_state = seed; }

int VantrelRand()
{
    g_state = g_state * 214013u + 2531011u;
    return int((g_state >> 16) & 0x7FFF);
}

std::uint32_t VantrelRandState() { return g_state; }
