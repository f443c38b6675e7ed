// The rules of a lane, one term of a block (block_pass.hpp): when its increment
// is left to the exact step, which of the two ways of settling it
// (lane_increments.hpp) a block uses, and how a hard lane is marked. The block
// pass and the tests' view of its verdicts both read them from here. The
// functions are static: a kernel's object exports nothing else but its entry
// points (block_pass.hpp).
#pragma once

#include <cstdint>

namespace pigreco {

// A lane is hard, and left to the exact step, when 2^53 / d lies within
// window_numerator / window_denominator of a half-integer (lane_increments.hpp
// shows why that width). The denominator is a power of two and both are
// small, so that the window's width times any d below 2^32 is exact in a
// double and the kernel's integer test of it cannot overflow.
inline constexpr std::uint64_t window_numerator = 3;
inline constexpr std::uint64_t window_denominator = 4096;
static_assert((window_denominator & (window_denominator - 1)) == 0);
static_assert(window_numerator < (std::uint64_t{1} << 20) && window_denominator < (std::uint64_t{1} << 20));

// From this index on, d = 2i + 1 > 2^22 and the quotient 2^53 / d itself is
// accurate enough to prove the increment without a remainder (bounded_lane);
// below it each lane's estimate is proved by an exact remainder
// (exact_checked_lane).
inline constexpr std::uint32_t first_bounded_index = std::uint32_t{1} << 21;

// The way a block of terms from index `first` on settles its lanes: the one
// place that decides it.
enum class lane_method { checked, bounded };
static constexpr lane_method method_for_block(std::uint32_t first)
{
    return first >= first_bounded_index ? lane_method::bounded : lane_method::checked;
}

// A verdict is the lane's increment in units of 2^-51 plus verdict_bias, with
// its top bit set when the lane is hard (the rest is then meaningless).
// verdict_bias is the bits of the double 1.5 * 2^52: a lane function that
// rounds a quotient to an integer by adding 1.5 * 2^52 has the verdict in the
// bits of that sum, with nothing to add or subtract. Every real increment is
// below 2^52 in size, so a clear lane's verdict lies between 2^62 and 2^63
// and its top bit is clear: the hard flag is ORed in as found, the OR of a
// block's verdicts says whether any lane is hard, and the sum of n clear
// verdicts is the sum of their increments plus n * verdict_bias, modulo 2^64.
inline constexpr std::uint64_t verdict_bias = std::uint64_t{0x4338} << 48;
inline constexpr std::uint64_t hard_flag = std::uint64_t{1} << 63;
static constexpr bool is_hard(std::uint64_t verdict) { return (verdict & hard_flag) != 0; }
static constexpr std::uint64_t increment_of(std::uint64_t verdict) { return verdict - verdict_bias; }

} // namespace pigreco
