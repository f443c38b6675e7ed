// The kernels: builds of the block pass (block_pass.hpp), one for each
// instruction set, and the table of those built for this target
// (kernels.cpp). The one list of them is the pigreco_kernel(NAME FEATURES...)
// lines of CMakeLists.txt: each compiles kernel_build.cpp with the
// instruction-set extensions named, whose functions it names sum_terms_NAME
// and lane_verdicts_NAME, and adds a line with the same extensions to the
// generated kernel_list.inc, from which kernels.cpp makes the table.
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

// Adds the terms of indices first .. first + n - 1 (first + n <= 2^31) to the
// sum, bit for bit as the exact step would one by one, in blocks of
// block_size from first on. Each term's sign factor is sign_factors[j] where
// given, else the result of one call of std::pow(-1.0, index), the calls made
// in increasing order of index.
using sum_function = double(double sum, std::uint32_t first, std::uint32_t n, const double* sign_factors);

// The verdicts that the block pass reaches on the terms of indices
// first .. first + n - 1 (first >= 2, first + n <= 2^31), in blocks of
// block_size from first on, by the same code as the sum: for each term its
// increment of a sum in [2, 4) with the program's sign factor (+1 at even
// indices, -1 at odd ones), in units of 2^-51, or hard, as lane_rules.hpp
// encodes them. For the tests, which check them against the exact step.
using lanes_function = void(std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts);

// Whether a CPU has an instruction-set extension, named as GCC's and Clang's
// -m options and __builtin_cpu_supports spell it ("avx2", "fma", ...).
using cpu_query = bool(std::string_view extension);

// The CPU this program runs on (no extension where no kernel needs one).
bool this_cpu_has(std::string_view extension);

struct kernel {
    const char* name;            // as -DPIGRECO_KERNEL=NAME spells it
    sum_function* sum;
    lanes_function* lanes;
    std::string_view extensions; // those it is built with beyond the target's baseline, separated by spaces

    // Whether a CPU has every one of its extensions.
    bool runs_on(cpu_query* has) const;
    bool runs_here() const { return runs_on(this_cpu_has); }
};

// Every kernel built for this target, from the most portable (generic, which
// runs on any CPU of the target) to the fastest.
std::span<const kernel> kernels();

// The kernel named `forced` when that is not empty; otherwise the last of the
// table that runs on the CPU `has` describes (the first always does). A
// forced kernel is given even where it cannot run: the caller must check.
const kernel& choose_kernel(std::span<const kernel> table, std::string_view forced, cpu_query* has = this_cpu_has);

// The kernel that the program uses: the one the build forces
// (-DPIGRECO_KERNEL), else the fastest that runs here.
const kernel& chosen_kernel();

} // namespace pigreco
