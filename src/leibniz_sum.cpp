#include "leibniz_sum.hpp"

#include <algorithm>

#include "kernels.hpp"

namespace pigreco {

double leibniz_sum(std::int32_t count)
{
    // No sign factors given: the block pass makes the power calls itself.
    return leibniz_sum_further(0.0, 0, static_cast<std::uint32_t>(std::max(count, 0)));
}

double leibniz_sum_further(double sum, std::uint32_t first, std::uint32_t n)
{
    return chosen_kernel().sum(sum, first, n, nullptr);
}

} // namespace pigreco
