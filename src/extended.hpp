// Binary floating point with a 64-bit significand (the precision of the x87
// 80-bit format), evaluated exactly in integer arithmetic. Every operation
// rounds to nearest, ties to even, in one place (round_to_extended), so the
// results never depend on the compiler, its flags, the FPU control word or
// the width of a `long double`.
//
// Domain: finite values whose results stay in the normal range of a double;
// the summation never comes near an overflow or a subnormal.
#pragma once

#include <cstdint>

#include "u128.hpp"

namespace pigreco {

struct extended {
    bool negative = false;
    int exponent = 0;              // value = significand * 2^exponent
    std::uint64_t significand = 0; // top bit set, or 0 for the value zero

    friend constexpr bool operator==(extended, extended) = default;
};

// magnitude * 2^exponent rounded to a 64-bit significand. For exactness the
// caller must either pass the value exactly or jam the bits it dropped into
// bit 0 of a magnitude whose top set bit is at position 66 or above.
extended round_to_extended(bool negative, int exponent, u128 magnitude);

// Exact: a double always fits in a 64-bit significand.
extended to_extended(double x);

// Rounds to 53 bits, ties to even. The result must be a normal double or zero.
double to_double(extended x);

// a + b rounded to a 64-bit significand.
extended add(extended a, extended b);

// a / divisor rounded to a 64-bit significand; divisor >= 1.
extended divide(extended a, std::uint32_t divisor);

} // namespace pigreco
