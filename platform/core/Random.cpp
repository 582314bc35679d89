#include "platform/core/Random.h"

namespace vantrel_random_detail {
std::uint32_t g_state = 1;
}

void VantrelSrand(unsigned int seed) { vantrel_random_detail::g_state = seed; }
