// One term of the series the way a user would write it with long double. Where
// long double is the x87 extended format (64-bit significand, round to nearest
// even), the hardware computes exactly the arithmetic that pigreco emulates in
// integers, so this loop is the natural yardstick for pigreco's speed and a
// cross-check of its digits.
#pragma once

#include <cfloat>
#include <cstdint>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64, "long double is not the x87 extended format");

namespace pigreco_bench {

// The sum must be rounded to a double after every term. Where doubles are
// evaluated as doubles (FLT_EVAL_METHOD 0, x86-64 with SSE) the conversion
// below is that rounding; where they may be kept wider, a volatile store forces it.
#if FLT_EVAL_METHOD == 0
using rounded_double = double;
#else
using rounded_double = volatile double;
#endif

inline double x87_leibniz_step(double sum, double sign_factor, std::uint32_t index)
{
    const long double term = sign_factor * 4.0L / (2.0L * index + 1);
    const rounded_double new_sum = static_cast<double>(term + sum);
    return new_sum;
}

} // namespace pigreco_bench
