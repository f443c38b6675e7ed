// What the tests (and the benchmarks) need to state the series independently
// of the fast path: sign tables, the exact step term by term, which lanes are
// hard, sums in units of their last place, the kernels this CPU runs and, where
// `long double` is the x87 format, the hardware's own step.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "double_bits.hpp"
#include "kernels.hpp"
#include "lane_rules.hpp"
#include "leibniz_step.hpp"

namespace pigreco_test {

// The sign factors of the terms first .. first + n - 1, as std::pow(-1.0, i)
// gives them.
inline std::vector<double> alternating_signs(std::uint32_t first, std::size_t n)
{
    std::vector<double> signs(n);
    for (std::size_t j = 0; j < n; ++j) signs[j] = ((first + j) % 2 == 0) ? 1.0 : -1.0;
    return signs;
}

// The terms first, first + 1, ... added to the sum by the exact step, one by one.
inline double exact_sum(double sum, const std::vector<double>& signs, std::uint32_t first)
{
    for (std::size_t j = 0; j < signs.size(); ++j)
        sum = pigreco::leibniz_step(sum, signs[j], first + static_cast<std::uint32_t>(j));
    return sum;
}

// A call of the block pass long enough to span several of its blocks.
inline constexpr std::uint32_t four_blocks = 4 * pigreco::block_size;

// For d = 2 * index + 1 and 2^53 = q * d + r: |2r - d|, which is 2d times the
// distance of 2^53 / d from the half-integer q + 1/2, in exact integers.
inline std::uint64_t twice_distance_from_half(std::uint32_t index)
{
    const std::uint64_t d = 2 * std::uint64_t{index} + 1;
    const std::uint64_t twice_r = 2 * ((std::uint64_t{1} << 53) % d);
    return twice_r > d ? twice_r - d : d - twice_r;
}

// Whether the term of this index is a hard lane: 2^53 / d lies within the
// window of a half-integer.
inline bool needs_exact_step(std::uint32_t index)
{
    const std::uint64_t d = 2 * std::uint64_t{index} + 1;
    return pigreco::window_denominator * twice_distance_from_half(index) <= pigreco::window_numerator * d;
}

// A sum in [2, 4) as a count of units of 2^-51, its last place, and back.
inline std::uint64_t to_units(double sum)
{
    constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
    return two_52 | (pigreco::bits_of(sum) & (two_52 - 1));
}

inline double from_units(std::uint64_t units)
{
    constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
    return pigreco::double_of((std::uint64_t{1024} << 52) | (units - two_52));
}

inline std::vector<pigreco::kernel> runnable_kernels()
{
    std::vector<pigreco::kernel> runnable;
    for (const pigreco::kernel& k : pigreco::kernels())
        if (k.runs_here()) runnable.push_back(k);
    return runnable;
}

#if LDBL_MANT_DIG == 64
// One term the way the x87 unit computes it: term and sum with a 64-bit
// significand, the new sum rounded to a double. Where doubles are evaluated as
// doubles (FLT_EVAL_METHOD 0: x86-64 with SSE) the conversion is that
// rounding; where they may be kept wider, a volatile store forces it.
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
#endif

} // namespace pigreco_test
