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
//     4096 * |2r - d| > 3d.
//  3. Otherwise (fewer than one term in 1300) the lane is marked "hard" and
//     its increment is left to the exact reference step, which also settles
//     the ties that depend on the parity of S.
// The quotient q comes from a floating-point estimate that an integer check
// then proves or rejects, so neither the rounding mode nor excess precision
// can change a result: a poor estimate only sends its lane to the hard path.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace pigreco {

// Written in place of the increment of a lane that needs the exact step.
inline constexpr std::uint64_t hard_lane = std::uint64_t{1} << 63;

struct increments_summary {
    std::uint64_t total = 0; // sum of the increments, modulo 2^64; valid when !any_hard
    bool any_hard = false;
    bool all_unit = true; // every sign factor was exactly +1 or -1
};

// Indices first .. first + n - 1, first >= 1, first + n <= 2^31.
static inline increments_summary term_increments(const double* sign_factors, std::uint32_t first,
                                                 std::size_t n, std::uint64_t* increments)
{
    constexpr std::uint64_t two_53 = std::uint64_t{1} << 53;
    constexpr auto magic = std::bit_cast<std::uint64_t>(0x1p52);
    constexpr std::uint64_t magnitude_mask = ~(std::uint64_t{1} << 63);
    constexpr auto one = std::bit_cast<std::uint64_t>(1.0);
    // Both forms of the denominator are exact; the double one is built from a
    // 32-bit count because older vector units convert only those.
    const std::uint64_t first_denominator = 2 * std::uint64_t{first} + 1;
    const auto first_denominator_fp = static_cast<double>(first_denominator);
    std::uint64_t total = 0;
    std::uint64_t hard_seen = 0;
    std::uint64_t non_unit_seen = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const std::uint64_t d = first_denominator + 2 * j;
        const double d_fp = first_denominator_fp + 2.0 * static_cast<double>(static_cast<std::int32_t>(j));
        // c, the candidate for the nearest integer to x = 2^53 / d: the
        // estimate of x (< 2^52) plus 2^52 leaves no fraction bits in a double.
        // The increment's magnitude q + [2r > d] is exactly that nearest
        // integer (x is never a half-integer, d being odd).
        const std::uint64_t c = std::bit_cast<std::uint64_t>(0x1p53 / d_fp + 0x1p52) - magic;
        // The integers decide: c is the nearest integer to x exactly when the
        // remainder e = 2^53 - c * d lies in (-d/2, d/2), and then
        // |2r - d| = d - 2|e|. Unsigned arithmetic keeps even a wild estimate
        // defined behaviour; clamping |e| to d makes such a lane hard.
        const std::uint64_t e = two_53 - c * d;
        const std::uint64_t abs_e = static_cast<std::int64_t>(e) < 0 ? 0 - e : e;
        const std::uint64_t clamped = abs_e < d ? abs_e : d;
        const auto slack = static_cast<std::int64_t>(d - 2 * clamped); // |2r - d| when valid, else <= 0
        // Masks rather than branches, so that the loop vectorises.
        const std::uint64_t hard = 4096 * slack <= static_cast<std::int64_t>(3 * d) ? ~std::uint64_t{0} : 0;
        const auto sign_bits = std::bit_cast<std::uint64_t>(sign_factors[j]);
        const std::uint64_t negate = 0 - (sign_bits >> 63);
        const std::uint64_t increment = (((c ^ negate) - negate) & ~hard) | (hard_lane & hard);
        increments[j] = increment;
        total += increment;
        hard_seen |= hard;
        non_unit_seen |= (sign_bits & magnitude_mask) ^ one;
    }
    return {total, hard_seen != 0, non_unit_seen == 0};
}

} // namespace pigreco
