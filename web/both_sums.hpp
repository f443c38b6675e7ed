// The program's sum and, beside it, the same terms summed as a plain double
// loop sums them: every term and every sum rounded to double. The page shows
// the second beside the first, so that the reader sees what the program's
// rounding changes.
#pragma once

#include <cstdint>

namespace pigreco::web {

struct both_sums {
    double program = 0.0;     // as pigreco::leibniz_sum gives it
    double double_only = 0.0; // each ±4 / (2i + 1) rounded to double, then added and rounded to double
};

// The sums of the terms before `first`, taken further by the terms of indices
// first .. first + n - 1 (first + n <= 2^31), in increasing order of index.
both_sums both_sums_further(both_sums sums, std::uint32_t first, std::uint32_t n);

} // namespace pigreco::web
