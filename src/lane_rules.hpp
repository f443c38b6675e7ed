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

// A verdict is the lane's increment in units of 2^-51, in two's complement,
// with its top bit flipped when the lane is hard (the increment is then
// meaningless). Every real increment is below 2^51 in size, so its top two
// bits are equal; only a hard lane's differ.
inline constexpr std::uint64_t hard_flip = std::uint64_t{1} << 63;
// hard_mark's top bit is the hard bit, its other bits are noise: OR the marks
// of many verdicts and mask once, rather than mask each (hard_bit_of).
static constexpr std::uint64_t hard_mark(std::uint64_t verdict) { return verdict ^ (verdict << 1); }
static constexpr std::uint64_t hard_bit_of(std::uint64_t verdict) { return hard_mark(verdict) & hard_flip; }
static constexpr bool is_hard(std::uint64_t verdict) { return hard_bit_of(verdict) != 0; }

// What a lane function finds: the increment, and `hard`, hard_flip when the
// lane is hard and zero when not. The two stay apart until the verdict is
// stored, because the block pass gathers `hard` of every lane as it is, one
// OR a vector, where taking it back out of the verdict (hard_bit_of) costs a
// shift, an XOR and an AND more in the loop that runs once a term.
struct lane_finding {
    std::uint64_t increment;
    std::uint64_t hard;
};
static constexpr std::uint64_t verdict_of(lane_finding lane) { return lane.increment ^ lane.hard; }

} // namespace pigreco
