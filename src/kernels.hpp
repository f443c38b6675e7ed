// The kernels: builds of the block pass (block_pass.hpp), one for each
// instruction set, and the one table of those built for this target
// (kernels.cpp). Each build is kernel_build.cpp compiled by
// pigreco_kernel(NAME FLAGS...) in CMakeLists.txt, which names its functions
// sum_terms_NAME and lane_verdicts_NAME.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pigreco {

// The block pass makes the power calls of this many terms, in order, then
// does their arithmetic in one pass: large enough that the work per block
// vanishes beside the power calls, small enough to stay in the first-level
// cache, and a power of two, so that the blocks of the program's sum start
// at multiples of it.
inline constexpr std::uint32_t block_size = 256;

// A lane is hard, and left to the exact step, when 2^53 / d lies within
// window_numerator / window_denominator of a half-integer (lane_increments.hpp
// shows why that width). The denominator is a power of two and both are
// small, so that the window's width times any d below 2^32 is exact in a
// double and the kernel's integer test of it cannot overflow.
inline constexpr std::uint64_t window_numerator = 3;
inline constexpr std::uint64_t window_denominator = 4096;
static_assert((window_denominator & (window_denominator - 1)) == 0);
static_assert(window_numerator < (std::uint64_t{1} << 20) && window_denominator < (std::uint64_t{1} << 20));

// What lane_verdicts writes for a hard lane.
inline constexpr std::uint64_t hard_lane = std::uint64_t{1} << 63;

// Adds the terms of indices first .. first + n - 1 (first + n <= 2^31) to the
// sum, bit for bit as the exact step would one by one, in blocks of
// block_size from first on. Each term's sign factor is sign_factors[j] where
// given, else the result of one call of std::pow(-1.0, index), the calls made
// in increasing order of index.
using sum_function = double(double sum, std::uint32_t first, std::uint32_t n, const double* sign_factors);

// The verdicts that the block pass reaches on the terms of indices
// first .. first + n - 1 (first >= 2, first + n <= 2^31), in blocks of
// block_size from first on: for each term the magnitude of its increment of
// a sum in [2, 4), in units of 2^-51, or hard_lane. For the tests, which
// check them against the exact step.
using lanes_function = void(std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts);

struct kernel {
    const char* name;       // as -DPIGRECO_KERNEL=NAME spells it
    sum_function* sum;
    lanes_function* lanes;
    bool (*runs_here)();    // whether this CPU has the instructions it was built for
};

// Every kernel built for this target, from the most portable (generic, which
// runs on any CPU of the target) to the fastest.
std::span<const kernel> kernels();

// The kernel named `forced` when that is not empty; otherwise the last of the
// table that runs here (the first always does). A forced kernel is given even
// where it cannot run: the caller must check.
const kernel& choose_kernel(std::span<const kernel> table, std::string_view forced);

// The kernel that the program uses: the one the build forces
// (-DPIGRECO_KERNEL), else the fastest that runs here.
const kernel& chosen_kernel();

} // namespace pigreco
