// The kernels: builds of the block pass (term_increments.hpp), one for each
// instruction set, and the one table of those built for this target
// (kernels.cpp). Each build is term_increments_build.cpp compiled by
// pigreco_kernel(NAME FLAGS...) in CMakeLists.txt, which names its function
// term_increments_NAME.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pigreco {

// The most lanes a kernel takes at once, and so the largest block that
// add_terms accepts.
inline constexpr std::size_t max_block = 1024;

// A lane is hard, and left to the exact step, when 2^53 / d lies within
// window_numerator / window_denominator of a half-integer (term_increments.hpp
// shows why that width). The denominator is a power of two and both are
// small, so that the window's width times any d below 2^32 is exact in a
// double and the kernel's integer test of it cannot overflow.
inline constexpr std::uint64_t window_numerator = 3;
inline constexpr std::uint64_t window_denominator = 4096;
static_assert((window_denominator & (window_denominator - 1)) == 0);
static_assert(window_numerator < (std::uint64_t{1} << 20) && window_denominator < (std::uint64_t{1} << 20));

// Written in place of the increment of a hard lane.
inline constexpr std::uint64_t hard_lane = std::uint64_t{1} << 63;

struct increments_summary {
    std::uint64_t total = 0; // sum of the increments, modulo 2^64; valid when !any_hard
    bool any_hard = false;
    bool all_signs_plus_or_minus_one = true;
};

// For the terms of indices first .. first + n - 1 (first >= 2, first + n <=
// 2^31, n <= max_block) with the given sign factors, writes each term's
// increment of a sum in [2, 4), in units of 2^-51, or hard_lane.
using increments_function = increments_summary(const double* sign_factors, std::uint32_t first, std::size_t n,
                                               std::uint64_t* increments);

struct kernel {
    const char* name;               // as -DPIGRECO_KERNEL=NAME spells it
    increments_function* function;
    bool (*runs_here)();            // whether this CPU has the instructions it was built for
};

// Every kernel built for this target, from the most portable (generic, which
// runs on any CPU of the target) to the fastest.
std::span<const kernel> kernels();

// The kernel named `forced` when that is not empty; otherwise the last of the
// table that runs here (the first always does). A forced kernel is given even
// where it cannot run: the caller must check.
const kernel& choose_kernel(std::span<const kernel> table, std::string_view forced);

// The kernel that add_terms uses: the one the build forces (-DPIGRECO_KERNEL),
// else the fastest that runs here.
const kernel& chosen_kernel();

} // namespace pigreco
