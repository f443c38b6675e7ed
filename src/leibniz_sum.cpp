#include "leibniz_sum.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "add_terms.hpp"

namespace pigreco {

double leibniz_sum(std::int32_t count)
{
    double sum = 0.0;
    std::array<double, block_size> sign_factors; // NOLINT(cppcoreguidelines-pro-type-member-init): filled below
    const auto total = static_cast<std::uint32_t>(std::max(count, 0));
    for (std::uint32_t first = 0; first < total;) {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(block_size, total - first));
        // The power calls come first, one per term and in order; the block's
        // arithmetic then runs over their results.
        for (std::uint32_t j = 0; j < n; ++j) sign_factors[j] = std::pow(-1.0, static_cast<double>(first + j));
        sum = add_terms(sum, sign_factors.data(), first, n);
        first += n;
    }
    return sum;
}

} // namespace pigreco
