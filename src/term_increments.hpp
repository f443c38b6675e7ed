// The fast half of the summation: for a block of terms, the exact change that
// each term makes to a running sum in [2, 4), as an integer count of units of
// 2^-51 (the spacing of doubles there). Written as one plain loop so that the
// compiler vectorises it for whichever instruction set the including file is
// built for; the functions have internal linkage so that the copies built for
// different instruction sets never stand in for each other at link time.
//
// Why an integer increment is exact. Let the sum s lie in [2, 4) and be
// S * 2^-51, and let the term t = +-4/d (d = 2i + 1 >= 3) be rounded to 64
// significant bits. While s + t stays in [2, 4):
//  1. Rounding s + t to 64 bits rounds to the grid 2^-62. s is an even
//     multiple of 2^-62, so the result is s + K * 2^-62 where K is t rounded
//     to that grid (ties to even decided by t alone): K depends on i only.
//  2. Rounding to a double rounds S * 2^11 + K to a multiple of 2^11. With
//     K = sign * k, k = x + e, x = 2^64 / d, and |e| <= 3/4 (the first rounding
//     errs by at most half of 2^(1-L) <= 1/4 where d has L >= 2 bits, the
//     second by at most 1/2), write 2^53 = q * d + r, 0 <= r < d: then
//     k = 2^11 * q + f with f = 2^11 * r / d + e.
//     If |2^11 * r / d - 2^10| > 3/4, f lies on the same side of 2^10 as
//     2^11 * r / d and is never 2^10, so the new sum is exactly
//     S + sign * (q + [2r > d]), whatever the parity of S. That condition is
//     |2r - d| > 3d / 4096: 2^53 / d = q + r / d lies farther than 3/4096,
//     the window of kernels.hpp, from the half-integer q + 1/2.
//  3. Otherwise the lane is marked hard and its increment is left to the
//     exact reference step, which also settles the ties that depend on the
//     parity of S. The share of such terms is about the window's width
//     (tests/whole_range_test.cpp counts it).
// The increment's magnitude q + [2r > d] is the nearest integer c to
// x = 2^53 / d (never a half-integer, d being odd). It comes from a
// floating-point estimate that an exact check then proves or rejects: c is the
// nearest integer exactly when e = 2^53 - c * d lies in (-d/2, d/2), and then
// |2r - d| = d - 2|e|. So neither the rounding mode nor excess precision can
// change a result: a poor estimate only sends its lane to the hard path.
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "kernels.hpp"

// With a fused multiply-add the check runs in doubles; without one, in 64-bit
// integers (slower where vector units lack 64-bit products and compares).
#if defined(__FMA__) || defined(__aarch64__)
#define PIGRECO_CHECK_WITH_FMA 1
#else
#define PIGRECO_CHECK_WITH_FMA 0
#endif

namespace pigreco {

struct lane_increment {
    std::uint64_t increment; // +-c, the nearest integer c to 2^53 / d, in two's complement
    std::uint64_t hard;      // all ones when the lane needs the exact step
};

// d odd, 5 <= d < 2^32, d_fp its exact double; a sign factor of +1 or -1
// (any other value gives a meaningless increment, and the caller knows).
static inline lane_increment increment_of([[maybe_unused]] std::uint64_t d, double d_fp, double sign_factor)
{
    // 0 < x < 2^52, so adding 2^52 leaves no fraction bits: the estimate of x
    // rounded to an integer.
    const double shifted = 0x1p53 / d_fp + 0x1p52;
#if PIGRECO_CHECK_WITH_FMA
    // c (subtracted exactly) and 2^53 - c * d are integers below 2^53 in
    // magnitude whenever c is anywhere near x, so the fused product is exact;
    // so are d - 2|e| and d times the window (a power of two's fraction of a
    // small integer). A wild c gives a huge |e| and a negative slack, and a
    // NaN fails the comparison: both land on the hard path.
    const double c_fp = shifted - 0x1p52;
    const double e = std::fma(-c_fp, d_fp, 0x1p53);
    const double slack = std::fma(-2.0, std::fabs(e), d_fp);
    // +-c (|c| < 2^51 for d >= 5) plus 1.5 * 2^52 is exact, and its low bits
    // are then +-c in two's complement.
    constexpr double signed_shift = 0x1.8p52;
    const std::uint64_t increment = std::bit_cast<std::uint64_t>(std::fma(c_fp, sign_factor, signed_shift)) -
                                    std::bit_cast<std::uint64_t>(signed_shift);
    constexpr double window = static_cast<double>(window_numerator) / static_cast<double>(window_denominator);
    return {increment, slack > d_fp * window ? 0 : ~std::uint64_t{0}};
#else
    // Unsigned arithmetic keeps even a wild estimate defined behaviour, and
    // every comparison is spelled with shifts of sign bits, which the oldest
    // 64-bit vector units (no 64-bit compares) can do. d < 2^32, so c * d
    // modulo 2^64 splits into two 32-by-32-bit products.
    const std::uint64_t c = std::bit_cast<std::uint64_t>(shifted) - std::bit_cast<std::uint64_t>(0x1p52);
    const std::uint64_t low = 0xFFFFFFFFU;
    const std::uint64_t e = (std::uint64_t{1} << 53) - ((c & low) * (d & low) + (((c >> 32) * (d & low)) << 32));
    const std::uint64_t e_sign = 0 - (e >> 63);
    const std::uint64_t abs_e = (e ^ e_sign) - e_sign;
    // |e| >= 2^32 > d / 2: c is not the nearest integer. Otherwise the slack
    // d - 2|e| and the window's test below fit easily in 64 bits.
    const std::uint64_t high = abs_e >> 32;
    const std::uint64_t too_far = (high | (0 - high)) >> 63;
    const std::uint64_t slack = d - 2 * abs_e;
    const std::uint64_t not_clear = // window_denominator * slack <= window_numerator * d
        1 - ((window_numerator * d - window_denominator * slack) >> 63);
    const std::uint64_t negate = 0 - (std::bit_cast<std::uint64_t>(sign_factor) >> 63);
    return {(c ^ negate) - negate, 0 - (too_far | not_clear)};
#endif
}

// 2j for each lane j, as doubles: a load and an add give each lane's
// denominator with no integer-to-double conversion in the loop.
struct lane_offsets {
    double twice[max_block];
    constexpr lane_offsets() : twice{}
    {
        for (std::size_t j = 0; j < max_block; ++j) twice[j] = 2.0 * static_cast<double>(j);
    }
};
inline constexpr lane_offsets offsets{};

// Indices first .. first + n - 1, first >= 2, first + n <= 2^31, n <= max_block.
static inline increments_summary term_increments(const double* sign_factors, std::uint32_t first,
                                                 std::size_t n, std::uint64_t* increments)
{
    constexpr std::uint64_t magnitude_mask = ~(std::uint64_t{1} << 63);
    constexpr auto one = std::bit_cast<std::uint64_t>(1.0);
    // Both forms of the denominator are exact (below 2^32).
    const std::uint64_t first_denominator = 2 * std::uint64_t{first} + 1;
    const auto first_denominator_fp = static_cast<double>(first_denominator);
    std::uint64_t total = 0;
    std::uint64_t hard_seen = 0;
    std::uint64_t other_sign_seen = 0;
    // Masks rather than branches, so that the loop vectorises.
    for (std::size_t j = 0; j < n; ++j) {
        const double d_fp = first_denominator_fp + offsets.twice[j];
        const lane_increment lane = increment_of(first_denominator + 2 * j, d_fp, sign_factors[j]);
        const std::uint64_t increment = (lane.increment & ~lane.hard) | (hard_lane & lane.hard);
        increments[j] = increment;
        total += increment;
        hard_seen |= lane.hard;
        other_sign_seen |= (std::bit_cast<std::uint64_t>(sign_factors[j]) & magnitude_mask) ^ one;
    }
    return {total, hard_seen != 0, other_sign_seen == 0};
}

} // namespace pigreco
