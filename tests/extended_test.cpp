// Hand-worked cases of the 64-bit-significand arithmetic: each value below
// was derived on paper from the binary expansions, not from the code.
#include <bit>
#include <cstdint>

#include <gtest/gtest.h>

#include "extended.hpp"

namespace {

using pigreco::extended;

constexpr std::uint64_t top = std::uint64_t{1} << 63;

struct divide_case {
    double numerator;
    std::uint32_t divisor;
    extended quotient;
};

// 4/3 = 1.0101...: the 65th bit and those after it are 1010..., so it rounds
// up; 4/7 = 0.100100...: it rounds down; 4/(2^32 - 1) = 2^-30 (1 + 2^-32 +
// 2^-64 + ...): exactly above the half of the last place, so up.
const divide_case divide_cases[] = {
    {4.0, 1, {false, -61, top}},
    {4.0, 3, {false, -63, 0xAAAAAAAAAAAAAAABU}},
    {-4.0, 3, {true, -63, 0xAAAAAAAAAAAAAAABU}},
    {4.0, 5, {false, -64, 0xCCCCCCCCCCCCCCCDU}},
    {4.0, 7, {false, -64, 0x9249249249249249U}},
    {4.0, 4294967295U, {false, -93, 0x8000000080000001U}},
    {1.5, 3, {false, -64, top}},
    {0.0, 9, {}},
};

TEST(Extended, DivideRoundsToNearest)
{
    for (const divide_case& c : divide_cases)
        EXPECT_EQ(pigreco::divide(pigreco::to_extended(c.numerator), c.divisor), c.quotient)
            << c.numerator << " / " << c.divisor;
}

struct to_double_case {
    extended value;
    double expected;
};

// One, plus the 11 bits that a double drops: below, at and above the half.
const to_double_case to_double_cases[] = {
    {{false, -63, top | 0x3FF}, 1.0},
    {{false, -63, top | 0x400}, 1.0},                       // tie, even stays
    {{false, -63, top | 0xC00}, 1.0 + 0x1p-51},             // tie, odd goes up
    {{false, -63, top | 0x401}, 1.0 + 0x1p-52},
    {{true, -63, top | 0x401}, -(1.0 + 0x1p-52)},
    {{false, -63, ~std::uint64_t{0}}, 2.0},                 // carry into the exponent
    {{false, 0, 0}, 0.0},
};

TEST(Extended, ToDoubleRoundsTiesToEven)
{
    for (const to_double_case& c : to_double_cases)
        EXPECT_EQ(pigreco::to_double(c.value), c.expected) << c.value.significand;
}

TEST(Extended, DoublesConvertExactly)
{
    for (const double x : {1.0, -2.5, 0x1.fffffffffffffp+1023, 0x1p-1022, 3.14159})
        EXPECT_EQ(pigreco::to_double(pigreco::to_extended(x)), x) << x;
    // Subnormals convert exactly too (their way back is outside the domain).
    EXPECT_EQ(pigreco::to_extended(0x1p-1074), (extended{false, -1074 - 63, top}));
    EXPECT_EQ(pigreco::to_extended(0x1.8p-1070), (extended{false, -1070 - 63, top | (top >> 1)}));
    EXPECT_EQ(pigreco::to_extended(-0.0), (extended{true, 0, 0}));
}

extended scaled(double x, int power)
{
    extended e = pigreco::to_extended(x);
    e.exponent += power;
    return e;
}

struct add_case {
    extended a;
    extended b;
    double expected; // after rounding to 64, then to 53 bits
};

const add_case add_cases[] = {
    // 1 + 2^-53 + 2^-70: to 64 bits 1 + 2^-53, a tie that goes to 1; a single
    // rounding to 53 bits would give 1 + 2^-52. The double rounding shows.
    {scaled(1.0, 0), scaled(1.0 + 0x1p-17, -53), 1.0},
    // 1 + 2^-64 is a tie at 64 bits: even, so 1. 1 + 3 * 2^-64: up to 1 + 2^-62,
    // then 1 to 53 bits.
    {scaled(1.0, 0), scaled(1.0, -64), 1.0},
    {scaled(1.0, 0), scaled(1.5, -63), 1.0},
    // 1 - 2^-65 - 2^-80: just below the midpoint under 1, where the spacing is
    // 2^-64, so 1 - 2^-64; the bit at 2^-80 decides through the sticky bit.
    {scaled(1.0, 0), scaled(-(1.0 + 0x1p-15), -65), 1.0},
    // 2 - 2^-53 - 2^-60 rounds to 64 bits as 2 - 2^-53 - 2^-60 (exact), then to
    // 53 bits: below the midpoint 2 - 2^-53, so 2 - 2^-52.
    {scaled(2.0, 0), scaled(-(1.0 + 0x1p-7), -53), 2.0 - 0x1p-52},
    {scaled(1.0, 0), scaled(1.0, -200), 1.0},
    {scaled(1.0, 0), scaled(-1.0, 0), 0.0},
    {scaled(0.0, 0), scaled(-3.0, 0), -3.0},
    {scaled(4.0, 0), {true, -63, 0xAAAAAAAAAAAAAAABU}, 0x1.5555555555555p+1}, // 4 - 4/3
};

TEST(Extended, AddRoundsTwice)
{
    for (const add_case& c : add_cases) {
        EXPECT_EQ(pigreco::to_double(pigreco::add(c.a, c.b)), c.expected);
        EXPECT_EQ(pigreco::to_double(pigreco::add(c.b, c.a)), c.expected);
    }
}

TEST(Extended, AddKeepsTheStickyBitThroughCancellation)
{
    const extended sum = pigreco::add(scaled(1.0, 0), scaled(-(1.0 + 0x1p-15), -65));
    EXPECT_EQ(sum, (extended{false, -64, ~std::uint64_t{0}})); // 1 - 2^-64
    EXPECT_EQ(pigreco::add(scaled(1.0, 0), scaled(-1.0, -70)), scaled(1.0, 0));
}

struct exact_add_case {
    extended a;
    extended b;
    extended expected; // rounded to 64 bits
};

constexpr extended one{false, -63, top};

// Exponents 64 and more apart: the smaller operand's lowest bit falls below
// the 128 bits that the addition works in, and where the rest is a tie of the
// rounding to 64 bits that lost bit decides it.
const exact_add_case far_apart_cases[] = {
    {one, {false, -127, top + 1}, {false, -63, top + 1}},       // 1 + 2^-64 + 2^-127: past the tie, up
    {one, {false, -127, top}, one},                             // 1 + 2^-64: the tie, to even
    {one, {true, -128, top + 1}, {false, -64, ~std::uint64_t{0}}}, // 1 - 2^-65 - 2^-128: past the tie, down
    {one, {true, -128, top}, one},                              // 1 - 2^-65: the tie, to even
    {one, {true, -127, top}, {false, -64, ~std::uint64_t{0}}},  // 1 - 2^-64: exact
    {one, {false, -200, top}, one},
    {one, {true, -200, top}, one},
};

TEST(Extended, AddWhereALostBitDecides)
{
    for (const exact_add_case& c : far_apart_cases) {
        EXPECT_EQ(pigreco::add(c.a, c.b), c.expected) << "b = " << c.b.significand << " * 2^" << c.b.exponent;
        EXPECT_EQ(pigreco::add(c.b, c.a), c.expected) << "b = " << c.b.significand << " * 2^" << c.b.exponent;
    }
}

} // namespace
