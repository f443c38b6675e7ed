// The same partial sum as a plain double loop computes it: every term and
// every sum rounded to double. The page shows it beside the program's sum, so
// that the reader sees what the program's rounding changes.
#pragma once

#include <cstdint>

namespace pigreco::web {

// `sum`, the double-only sum of the terms before `first`, plus the terms of
// indices first .. first + n - 1 (first + n <= 2^31), each ±4 / (2i + 1)
// rounded to double and added to the running sum, rounded to double, in
// increasing order of index.
double double_only_sum_further(double sum, std::uint32_t first, std::uint32_t n);

} // namespace pigreco::web
