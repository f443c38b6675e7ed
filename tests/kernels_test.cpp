// Every kernel of the table that this CPU can run (not only the one chosen at
// run time), lane by lane: each verdict that is not hard must be the change
// that the exact step makes to a sum of either parity, with either sign; and
// a lane must be hard whenever 2^53 / d lies within the window of a
// half-integer. Blocks from first_bounded_index on may call a few more lanes
// hard, within 2^-21 of the window's edge; below it, where the estimate of
// 2^53 / d is proved by an exact remainder, the verdict is exactly the window
// from d > 2^21 on (for smaller d the estimate itself may be off, which the
// kernel detects and also leaves to the exact step). Then how the program
// chooses among the kernels.
#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "kernels.hpp"
#include "lane_rules.hpp"
#include "leibniz_step.hpp"
#include "series_helpers.hpp"

namespace {

using pigreco_test::needs_exact_step;

// The change the exact step makes to the sum units * 2^-51, in units.
std::int64_t exact_change(std::uint64_t units, double sign, std::uint32_t index)
{
    const double after = pigreco::leibniz_step(pigreco_test::from_units(units), sign, index);
    return static_cast<std::int64_t>(pigreco_test::to_units(after) - units);
}

// Whether 2^53 / d lies within the window widened by 2^-21 of a half-integer:
// |2r - d| / 2d < 3/8192 + 2^-21 = 769 / 2^21, in exact integers.
static_assert(pigreco::window_numerator * (std::uint64_t{1} << 21) / (2 * pigreco::window_denominator) == 768);
bool near_the_window(std::uint32_t index)
{
    const std::uint64_t d = 2 * std::uint64_t{index} + 1;
    const std::uint64_t widened = std::uint64_t{769} * 2 * d; // (3/8192 + 2^-21) * 2d * 2^21
    return (pigreco_test::twice_distance_from_half(index) << 21) < widened;
}

void check_block(const pigreco::kernel& k, std::uint32_t first, std::uint32_t n)
{
    std::vector<std::uint64_t> verdicts(n);
    k.lanes(first, n, verdicts.data());
    const bool bounded = first >= pigreco::first_bounded_index;
    for (std::uint32_t j = 0; j < n; ++j) {
        const std::uint32_t index = first + j;
        const bool hard = pigreco::is_hard(verdicts[j]);
        if (needs_exact_step(index)) {
            ASSERT_TRUE(hard) << k.name << " index " << index;
        } else if (bounded) {
            ASSERT_TRUE(!hard || near_the_window(index)) << k.name << " index " << index;
        } else if (index > (1U << 20)) {
            ASSERT_FALSE(hard) << k.name << " index " << index;
        }
        if (hard) continue;
        const auto increment = static_cast<std::int64_t>(pigreco::increment_of(verdicts[j])); // for the sign factor of index's parity
        const double sign = index % 2 == 0 ? 1.0 : -1.0;
        for (const std::uint64_t units : {std::uint64_t{3} << 51, (std::uint64_t{3} << 51) + 1}) { // even, odd
            ASSERT_EQ(increment, exact_change(units, sign, index)) << k.name << " index " << index;
            ASSERT_EQ(-increment, exact_change(units, -sign, index)) << k.name << " index " << index;
        }
    }
}

TEST(Kernels, EveryRunnableBuildMatchesTheExactStep)
{
    std::mt19937_64 random(11);
    constexpr std::uint32_t longest = pigreco_test::four_blocks;
    constexpr std::uint32_t last_first = 2147483647U - longest;
    const std::uint32_t bounded = pigreco::first_bounded_index;
    std::uniform_int_distribution<std::uint32_t> firsts(2, last_first);
    for (const pigreco::kernel& k : pigreco_test::runnable_kernels()) {
        for (const std::uint32_t first : {2U, 3U, 1000U, bounded - longest, bounded - 1, bounded, last_first})
            check_block(k, first, longest);
        for (int round = 0; round < 300; ++round)
            check_block(k, std::max(2U, firsts(random) >> (round % 2 == 0 ? 0 : 9)), // also the small indices
                        1 + static_cast<std::uint32_t>(random() % longest));
    }
}

// The choice among the kernels built, for CPUs with and without each
// extension that a kernel needs: only the extensions listed count.
struct cpu_case {
    const char* extensions; // the CPU's
    const char* x86_64;     // the kernel chosen in a 64-bit x86 build
    const char* i686;       // in a 32-bit one
};

const cpu_case cpu_cases[] = {
    {"", "generic", "generic"},
    {"sse2", "generic", "sse2"},
    {"sse2 avx2", "generic", "sse2"},                                        // AVX2 without FMA
    {"sse2 fma", "generic", "sse2"},
    {"sse2 avx2 fma", "avx2", "avx2"},
    {"sse2 avx2 fma avx512f", "avx2", "avx2"},                               // AVX-512 without DQ and VL
    {"sse2 avx2 fma avx512f avx512vl", "avx2", "avx2"},                      // without DQ
    {"sse2 avx2 fma avx512f avx512dq", "avx2", "avx2"},                      // without VL
    {"sse2 avx512f avx512dq avx512vl", "generic", "sse2"},                   // without AVX2 and FMA
    {"sse2 avx2 avx512f avx512dq avx512vl", "generic", "sse2"},              // without FMA
    {"sse2 avx2 fma avx512f avx512dq avx512vl", "avx512", "avx512"},
};

// The CPU of the case being tried: a query can be no closure.
std::string_view fake_cpu;
bool fake_cpu_has(std::string_view extension)
{
    for (std::string_view rest = fake_cpu; !rest.empty();) {
        const std::size_t end = std::min(rest.find(' '), rest.size());
        if (rest.substr(0, end) == extension) return true;
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return false;
}

TEST(Kernels, ChoiceTakesTheFastestKernelThatTheCpuRuns)
{
    const auto table = pigreco::kernels();
    const auto built = [&](std::string_view name) {
        return std::any_of(table.begin(), table.end(), [&](const pigreco::kernel& k) { return k.name == name; });
    };
    const bool x86_64 = built("avx2") && !built("sse2");
    const bool i686 = built("sse2");
    for (const cpu_case& c : cpu_cases) {
        fake_cpu = c.extensions;
        const std::string_view expected = x86_64 ? c.x86_64 : i686 ? c.i686 : "generic";
        EXPECT_EQ(pigreco::choose_kernel(table, "", fake_cpu_has).name, expected) << "CPU with \"" << c.extensions << '"';
    }
    // A build forced to a kernel gets it whatever the CPU, and the program
    // refuses to run rather than falling back unasked.
    fake_cpu = "";
    for (const pigreco::kernel& k : table) EXPECT_EQ(&pigreco::choose_kernel(table, k.name, fake_cpu_has), &k);
}

TEST(Kernels, TableStartsWithTheGenericKernelAndTheChosenOneRunsHere)
{
    ASSERT_FALSE(pigreco::kernels().empty());
    EXPECT_EQ(std::string(pigreco::kernels().front().name), "generic");
    EXPECT_TRUE(pigreco::kernels().front().runs_here());
    EXPECT_TRUE(pigreco::chosen_kernel().runs_here()) << pigreco::chosen_kernel().name;
}

} // namespace
