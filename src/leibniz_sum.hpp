// The partial sum of the Leibniz series that the program prints.
#pragma once

#include <cstdint>

namespace pigreco {

// Sums the terms of indices 0 .. count - 1 in increasing order, each with its
// sign factor from one call of std::pow(-1.0, index); +0.0 when count <= 0.
double leibniz_sum(std::int32_t count);

} // namespace pigreco
