// The partial sum of the Leibniz series that the program prints.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kernels.hpp"

namespace pigreco {

// The terms whose power calls are made before their arithmetic is done in one
// add_terms call: large enough that the per-block work vanishes beside the
// power calls, small enough to stay in the first-level cache.
inline constexpr std::size_t block_size = 256;
static_assert(block_size <= max_block);

// Sums the terms of indices 0 .. count - 1 in increasing order, each with its
// sign factor from one call of std::pow(-1.0, index); +0.0 when count <= 0.
double leibniz_sum(std::int32_t count);

} // namespace pigreco
