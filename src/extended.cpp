#include "extended.hpp"

#include <bit>
#include <cassert>
#include <utility>

#include "double_bits.hpp"

namespace pigreco {

namespace {

constexpr std::uint64_t top_bit = std::uint64_t{1} << 63;
constexpr int double_bias = 1023;
constexpr int double_fraction_bits = 52;
constexpr std::uint64_t double_fraction_mask = (std::uint64_t{1} << double_fraction_bits) - 1;

} // namespace

extended round_to_extended(bool negative, int exponent, u128 magnitude)
{
    if (is_zero(magnitude)) return {};
    const int shift = leading_zeros(magnitude);
    magnitude = shift_left(magnitude, shift);
    exponent -= shift;
    std::uint64_t significand = magnitude.hi;
    const std::uint64_t rest = magnitude.lo; // below the last kept bit
    if (rest > top_bit || (rest == top_bit && (significand & 1U) != 0)) {
        ++significand;
        // cppcheck-suppress knownConditionTrueFalse ; it is true when 2^64 - 1 wraps around
        if (significand == 0) { // carried out of the top: 2^64 = 2^63 * 2
            significand = top_bit;
            ++exponent;
        }
    }
    return {negative, exponent + 64, significand};
}

extended to_extended(double x)
{
    const auto bits = bits_of(x);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> double_fraction_bits) & 0x7FF);
    const std::uint64_t fraction = bits & double_fraction_mask;
    if (biased == 0) { // zero or subnormal: no implicit bit
        if (fraction == 0) return {negative, 0, 0};
        const int shift = std::countl_zero(fraction);
        return {negative, 1 - double_bias - double_fraction_bits - shift, fraction << shift};
    }
    const std::uint64_t significand = (fraction | (std::uint64_t{1} << double_fraction_bits)) << 11;
    return {negative, biased - double_bias - 63, significand};
}

double to_double(extended x)
{
    const std::uint64_t sign = x.negative ? top_bit : 0;
    if (x.significand == 0) return double_of(sign);
    std::uint64_t kept = x.significand >> 11; // 53 bits, top one set
    const std::uint64_t rest = x.significand & 0x7FF;
    int exponent = x.exponent + 63; // of the top bit
    if (rest > 0x400 || (rest == 0x400 && (kept & 1U) != 0)) {
        ++kept;
        if (kept == std::uint64_t{1} << 53) {
            kept >>= 1;
            ++exponent;
        }
    }
    const int biased_exponent = exponent + double_bias; // in [1, 2046] for a normal result
    const auto biased = static_cast<std::uint64_t>(biased_exponent);
    return double_of(sign | (biased << double_fraction_bits) | (kept & double_fraction_mask));
}

extended add(extended a, extended b)
{
    if (b.significand == 0) return a;
    if (a.significand == 0) return b;
    // Let a be the larger in magnitude; normalised significands compare by
    // exponent first.
    if (b.exponent > a.exponent || (b.exponent == a.exponent && b.significand > a.significand))
        std::swap(a, b);
    // Both significands sit one bit below the top of 128 bits, leaving room
    // for the carry of an addition; the low 63 bits of a are zero.
    const u128 big{a.significand >> 1, a.significand << 63};
    const long long gap = static_cast<long long>(a.exponent) - b.exponent;
    const u128 small =
        shift_right_jam({b.significand >> 1, b.significand << 63}, gap > 128 ? 128 : static_cast<int>(gap));
    // Subtraction after a jam stays exact enough: with gap >= 2 the difference
    // exceeds 2^125, so normalising moves it left by at most two bits and the
    // rounding position stays far above the jammed bit; with gap <= 1 nothing
    // was shifted out and the difference is exact.
    const u128 sum = a.negative == b.negative ? add_with_carry(big, small) : subtract_with_borrow(big, small);
    return round_to_extended(a.negative, a.exponent - 63, sum);
}

extended divide(extended a, std::uint32_t divisor)
{
    assert(divisor >= 1);
    // Long division of significand * 2^64 by the divisor, one 32-bit digit at
    // a time: each partial remainder is below the divisor, so every step is a
    // 64-by-32-bit division that no platform can overflow.
    const std::uint64_t digits[4] = {a.significand >> 32, a.significand & 0xFFFFFFFFU, 0, 0};
    std::uint64_t quotient[4] = {};
    std::uint64_t remainder = 0;
    for (int k = 0; k < 4; ++k) {
        const std::uint64_t current = (remainder << 32) | digits[k];
        quotient[k] = current / divisor;
        remainder = current % divisor;
    }
    // The quotient is at least 2^95 (significand >= 2^63, divisor < 2^32), so
    // the rounding position is at bit 31 or above and a jam at bit 0 is safe.
    const u128 q{(quotient[0] << 32) | quotient[1], (quotient[2] << 32) | quotient[3] | (remainder != 0 ? 1U : 0U)};
    return round_to_extended(a.negative, a.exponent - 64, q);
}

} // namespace pigreco
