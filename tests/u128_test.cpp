// The 128-bit words under the exact arithmetic. Every expected value was
// worked out from the definition on unbounded integers (value shifted, bits
// lost, sum modulo 2^128), not from this code.
#include <cstdint>

#include <gtest/gtest.h>

#include "u128.hpp"

namespace {

using pigreco::u128;

constexpr u128 pattern{0x0123456789ABCDEF, 0xFEDCBA9876543210}; // its lowest set bit is bit 4

void expect_words(u128 got, u128 want, const char* what, int n)
{
    EXPECT_EQ(got.hi, want.hi) << what << ' ' << n;
    EXPECT_EQ(got.lo, want.lo) << what << ' ' << n;
}

struct shift_case {
    u128 value;
    int n;
    u128 expected;
};

// With and without bits shifted out, at every boundary of the two words; where
// bits are lost and the kept ones end in 0, only the sticky bit sets bit 0.
// Two to a line: the same shift without a bit lost, then with one.
const shift_case shift_right_cases[] = {
    {pattern, 0, pattern},
    {pattern, 4, {0x00123456789ABCDE, 0xFFEDCBA987654321}}, {pattern, 5, {0x00091A2B3C4D5E6F, 0x7FF6E5D4C3B2A191}},
    {pattern, 1, {0x0091A2B3C4D5E6F7, 0xFF6E5D4C3B2A1908}}, {{0, 1}, 1, {0, 1}}, {{0, 3}, 1, {0, 1}},
    {{1, 0}, 63, {0, 2}}, {{1, 1}, 63, {0, 3}}, {pattern, 63, {0, 0x02468ACF13579BDF}},
    {{0x10, 0}, 64, {0, 0x10}}, {{0x10, 1}, 64, {0, 0x11}}, {pattern, 64, {0, 0x0123456789ABCDEF}},
    {{4, 0}, 65, {0, 2}}, {{4, 1}, 65, {0, 3}}, {pattern, 65, {0, 0x0091A2B3C4D5E6F7}}, {{2, 0}, 65, {0, 1}},
    {{0x8000000000000000, 0}, 126, {0, 2}}, {{0x8000000000000000, 1}, 126, {0, 3}}, {{2, 0}, 66, {0, 1}},
    {{0x8000000000000000, 0}, 127, {0, 1}}, {{0x4000000000000000, 0}, 127, {0, 1}}, {pattern, 127, {0, 1}},
    {{0, 0}, 128, {0, 0}}, {pattern, 128, {0, 1}}, {{0, 1}, 128, {0, 1}}, {{0, 0}, 5, {0, 0}},
    {pattern, 200, {0, 1}}, {{0, 1}, 1000, {0, 1}}, {{0, 1}, 64, {0, 1}},
};

TEST(U128, ShiftRightJamsTheLostBits)
{
    for (const shift_case& c : shift_right_cases)
        expect_words(pigreco::shift_right_jam(c.value, c.n), c.expected, "shift right by", c.n);
}

const shift_case shift_left_cases[] = {
    {pattern, 0, pattern},
    {pattern, 1, {0x02468ACF13579BDF, 0xFDB97530ECA86420}},
    {pattern, 63, {0xFF6E5D4C3B2A1908, 0}},
    {pattern, 64, {0xFEDCBA9876543210, 0}},
    {pattern, 65, {0xFDB97530ECA86420, 0}},
    {pattern, 127, {0, 0}},
    {{0, 1}, 127, {0x8000000000000000, 0}},
    {{~std::uint64_t{0}, ~std::uint64_t{0}}, 64, {~std::uint64_t{0}, 0}},
};

TEST(U128, ShiftLeft)
{
    for (const shift_case& c : shift_left_cases)
        expect_words(pigreco::shift_left(c.value, c.n), c.expected, "shift left by", c.n);
}

struct two_operand_case {
    u128 a;
    u128 b;
    u128 expected;
};

constexpr std::uint64_t ones = ~std::uint64_t{0};

const two_operand_case sums[] = {
    {{1, 2}, {3, 4}, {4, 6}},
    {{0, ones}, {0, 1}, {1, 0}},                  // carry into the high word
    {{1, ones}, {2, ones}, {4, ones - 1}},
    {{ones, ones}, {0, 1}, {0, 0}},               // modulo 2^128
    {{ones, ones}, {ones, ones}, {ones, ones - 1}},
};

const two_operand_case differences[] = {
    {{5, 10}, {2, 3}, {3, 7}},
    {{1, 0}, {0, 1}, {0, ones}},                  // borrow from the high word
    {{5, 3}, {2, 10}, {2, ones - 6}},
    {{0, 0}, {0, 1}, {ones, ones}},               // modulo 2^128
    {pattern, pattern, {0, 0}},
};

TEST(U128, AddWithCarryAndSubtractWithBorrow)
{
    int row = 0;
    for (const two_operand_case& c : sums) expect_words(pigreco::add_with_carry(c.a, c.b), c.expected, "sum", row++);
    row = 0;
    for (const two_operand_case& c : differences)
        expect_words(pigreco::subtract_with_borrow(c.a, c.b), c.expected, "difference", row++);
}

struct leading_zeros_case {
    u128 value;
    int expected;
};

const leading_zeros_case leading_zeros_cases[] = {
    {{0, 0}, 128},
    {{0, 1}, 127},
    {{0, 0xFFFF}, 112},
    {{0, 0x8000000000000000}, 64},
    {{1, 0}, 63},
    {{0x0000001000000000, 1}, 27},
    {{0x8000000000000000, 0}, 0},
    {{ones, ones}, 0},
};

TEST(U128, LeadingZeros)
{
    for (const leading_zeros_case& c : leading_zeros_cases)
        EXPECT_EQ(pigreco::leading_zeros(c.value), c.expected) << c.value.hi << ' ' << c.value.lo;
}

} // namespace
