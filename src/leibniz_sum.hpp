// The partial sum of the Leibniz series that the program prints.
#pragma once

#include <cstdint>

namespace pigreco {

// Sums the terms of indices 0 .. count - 1 in increasing order, each with its
// sign factor from one call of std::pow(-1.0, index); +0.0 when count <= 0.
double leibniz_sum(std::int32_t count);

// The same sum taken further, for callers that show progress between pieces:
// `sum`, the sum of the terms before `first`, plus the terms of indices
// first .. first + n - 1 (first + n <= 2^31), their power calls made in order.
// Summing 0 .. count - 1 in pieces gives the bits of leibniz_sum(count).
double leibniz_sum_further(double sum, std::uint32_t first, std::uint32_t n);

} // namespace pigreco
