// The fast half of the summation, one term ("lane") at a time: the exact
// change that a term makes to a running sum in [2, 4), as an integer count of
// units of 2^-51 (the spacing of doubles there), or the verdict that the term
// needs the exact step. Written as plain code that the compiler vectorises for
// whichever instruction set the including file is built for. Every function
// here has internal linkage and calls nothing inline of external linkage (no
// std::bit_cast: double_bits.hpp's functions), so that a kernel's
// object exports only its entry points (block_pass.hpp).
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
//     |2r - d| > 3d / 4096: 2^53 / d = q + r / d lies farther than 3/8192
//     from the half-integer q + 1/2 (the window of lane_rules.hpp is 3/4096 of
//     d in units of |2r - d|).
//  3. Otherwise the lane is hard and its increment is left to the exact
//     reference step, which also settles the ties that depend on the parity
//     of S. The share of such terms is about the window's width
//     (tests/exact_step_share_test.cpp counts it).
// The increment's magnitude q + [2r > d] is the nearest integer c to
// x = 2^53 / d (never a half-integer, d being odd). Both lane functions below
// find c from the floating-point quotient 2^53 / d and then prove it, each in
// its own way, or call the lane hard; neither the rounding mode nor excess
// precision can change a result, only send more lanes to the exact step.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "double_bits.hpp"
#include "lane_rules.hpp"

// With a fused multiply-add the exact check runs in doubles; without one, in
// 64-bit integers (slower where vector units lack 64-bit products).
#if defined(__FMA__) || defined(__aarch64__)
#define PIGRECO_CHECK_WITH_FMA 1
#else
#define PIGRECO_CHECK_WITH_FMA 0
#endif

namespace pigreco {

// Each function returns the lane's verdict (lane_rules.hpp): the increment
// +-c plus verdict_bias, with hard_flag ORed in where the lane is hard.

// |x|, by its bits: some C libraries (MinGW-w64's) make fabs x87 assembly,
// which no compiler can vectorise.
constexpr std::uint64_t sign_bit = std::uint64_t{1} << 63;
static inline double magnitude(double x) { return double_of(bits_of(x) & ~sign_bit); }

// Added to a quotient of size below 2^51, it leaves an integer in
// (2^52, 2^53), where doubles are the integers, whatever the rounding: the
// quotient rounded, plus 1.5 * 2^52, whose bits are its verdict.
constexpr double signed_shift = 0x1.8p52;
static_assert(bits_of(signed_shift) == verdict_bias);

// Any index from 2 on: d odd, 5 <= d < 2^32, d_fp its exact double; `minus`
// all ones for a term of sign factor -1, zero for +1, and `numerator` 2^53
// times the sign factor. The estimate of c is proved by an exact remainder.
static inline std::uint64_t exact_checked_lane([[maybe_unused]] std::uint64_t d, double d_fp,
                                              [[maybe_unused]] std::uint64_t minus,
                                              [[maybe_unused]] double numerator)
{
#if PIGRECO_CHECK_WITH_FMA
    constexpr double window = static_cast<double>(window_numerator) / static_cast<double>(window_denominator);
    // The signed quotient x = numerator / d lies within 2^53 / 5 < 2^51 of
    // zero: `shifted` is the estimate of x rounded, plus 1.5 * 2^52, and c_fp
    // (subtracted exactly) that estimate. It and numerator - c * d are
    // integers below 2^53 in magnitude whenever c is anywhere near x, so the
    // fused product is exact; |e| is what it would be for 2^53 and |c|; so are
    // d - 2|e| and d times the window (a power of two's fraction of a small
    // integer). A wild c gives a huge |e| and a negative slack, and a NaN
    // fails the comparison: both land on the hard path.
    const double shifted = numerator / d_fp + signed_shift;
    const double c_fp = shifted - signed_shift;
    const double e = std::fma(-c_fp, d_fp, numerator);
    const double slack = std::fma(-2.0, magnitude(e), d_fp);
    return bits_of(shifted) | (slack > d_fp * window ? 0 : hard_flag);
#else
    // 0 < x < 2^52, so adding 2^52 leaves no fraction bits: the estimate of
    // x = 2^53 / d rounded to an integer, and the bits of the sum minus those
    // of 2^52 are that integer. Unsigned arithmetic keeps even a wild estimate
    // defined behaviour, and every comparison is spelled with shifts of sign
    // bits, which the oldest 64-bit vector units (no 64-bit compares) can do.
    // d < 2^32, so c * d modulo 2^64 splits into two 32-by-32-bit products.
    const double shifted = 0x1p53 / d_fp + 0x1p52;
    const std::uint64_t c = bits_of(shifted) - bits_of(0x1p52);
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
    return (((c ^ minus) - minus) + verdict_bias) | ((too_far | not_clear) << 63);
#endif
}

// Index >= first_bounded_index, so 2^22 < d < 2^32; d_fp its exact double;
// `numerator` 2^53 times the sign factor, +1 or -1. With neither a fused
// multiply-add nor 64-bit integer products or compares, so that even the
// oldest vector units (SSE2) run it at full width.
//
// Proof. x = 2^53 / d lies in (2^21, 2^31). The computed quotient x~ (of
// either sign) is within one unit in the last place of x in any rounding
// mode, and closer still when kept in the x87 format: |x~ - x| < 2^-22.
// Adding 1.5 * 2^52 and storing the sum as a double leaves an integer in
// [2^52, 2^53), however it rounds; its bits are verdict_bias plus the signed
// integer c in two's complement, and c_fp, the stored sum minus
// 1.5 * 2^52, is exactly c. (With the x87 unit, c is x~ rounded to an
// integer and c_fp its exact conversion.) Then f = x~ - c_fp is exact
// (|f| < 1 while x~ and c_fp are of one sign and at least 2^21 in size),
// and so is its conversion to a double. If |f| <= B =
// 1/2 - 3/8192 - 2^-22, then |x - |c|| < 1/2 - 3/8192: |c| is the nearest
// integer to x and x lies outside the window, so c is the increment.
// Otherwise the lane is called hard; that covers every lane of the window
// and a few more, within 2^-21 of its edge. The sign of |f| - B says which,
// in any rounding mode (a zero difference means |f| = B, which is clear).
static inline std::uint64_t bounded_lane(double d_fp, double numerator)
{
    constexpr double half_window =
        static_cast<double>(window_numerator) / static_cast<double>(2 * window_denominator);
    constexpr double bound = 0.5 - half_window - 0x1p-22;
    const double x = numerator / d_fp;
#if FLT_EVAL_METHOD == 0
    const std::uint64_t biased_increment = bits_of(x + signed_shift);
    const double c_fp = double_of(biased_increment) - signed_shift;
#else
    // Where doubles may be kept wider (the x87 unit), the compiler may take the
    // double read back from the bits for the wider sum it came from, which is
    // no integer: c_fp comes from the integer instead, by an exact conversion.
    const auto c_signed = static_cast<std::int64_t>(std::llrint(x));
    const std::uint64_t biased_increment = static_cast<std::uint64_t>(c_signed) + verdict_bias;
    const auto c_fp = static_cast<double>(c_signed);
#endif
    const double f = x - c_fp;
    return biased_increment | (~bits_of(magnitude(f) - bound) & hard_flag);
}

} // namespace pigreco
