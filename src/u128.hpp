// Unsigned 128-bit integers for the exact arithmetic: a plain pair of 64-bit
// words, so that the same code runs where no compiler-provided 128-bit type
// exists (32-bit x86, MSVC).
#pragma once

#include <bit>
#include <cassert>
#include <cstdint>

namespace pigreco {

struct u128 {
    std::uint64_t hi = 0;
    std::uint64_t lo = 0;
};

constexpr bool is_zero(u128 a) { return (a.hi | a.lo) == 0; }

// a + b and a - b modulo 2^128, the carry or the borrow of the low words
// passed on to the high ones.
constexpr u128 add_with_carry(u128 a, u128 b)
{
    const std::uint64_t lo = a.lo + b.lo;
    return {a.hi + b.hi + (lo < a.lo ? 1U : 0U), lo};
}

constexpr u128 subtract_with_borrow(u128 a, u128 b)
{
    return {a.hi - b.hi - (a.lo < b.lo ? 1U : 0U), a.lo - b.lo};
}

// 128 for zero.
constexpr int leading_zeros(u128 a)
{
    return a.hi != 0 ? std::countl_zero(a.hi) : 64 + std::countl_zero(a.lo);
}

// n < 128.
constexpr u128 shift_left(u128 a, int n)
{
    assert(n >= 0 && n < 128);
    if (n == 0) return a;
    if (n >= 64) return {a.lo << (n - 64), 0};
    return {(a.hi << n) | (a.lo >> (64 - n)), a.lo << n};
}

// Shifts right by any n >= 0 and ORs every bit shifted out into the lowest
// bit ("jamming"): the result then still tells an exact value from one that
// lies strictly between two neighbours, which is all that rounding needs as
// long as the rounding position lies at least two bits above bit 0.
constexpr u128 shift_right_jam(u128 a, int n)
{
    assert(n >= 0);
    if (n == 0) return a;
    if (n >= 128) return {0, is_zero(a) ? 0U : 1U};
    u128 r{};
    std::uint64_t lost = 0;
    if (n >= 64) {
        r = {0, n == 64 ? a.hi : a.hi >> (n - 64)};
        lost = a.lo | (n == 64 ? 0 : a.hi << (128 - n));
    } else {
        r = {a.hi >> n, (a.lo >> n) | (a.hi << (64 - n))};
        lost = a.lo << (64 - n);
    }
    r.lo |= lost != 0 ? 1U : 0U;
    return r;
}

} // namespace pigreco
