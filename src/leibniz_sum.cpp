#include "leibniz_sum.hpp"

#include <algorithm>

#include "kernels.hpp"

namespace pigreco {

double leibniz_sum(std::int32_t count)
{
    // No sign factors given: the block pass makes the power calls itself.
    return chosen_kernel().sum(0.0, 0, static_cast<std::uint32_t>(std::max(count, 0)), nullptr);
}

} // namespace pigreco
