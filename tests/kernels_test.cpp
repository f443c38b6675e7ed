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
#include "lane_increments.hpp"
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
        const bool hard = verdicts[j] == pigreco::hard_lane;
        if (needs_exact_step(index)) {
            ASSERT_TRUE(hard) << k.name << " index " << index;
        } else if (bounded) {
            ASSERT_TRUE(!hard || near_the_window(index)) << k.name << " index " << index;
        } else if (index > (1U << 20)) {
            ASSERT_FALSE(hard) << k.name << " index " << index;
        }
        if (hard) continue;
        const auto magnitude = static_cast<std::int64_t>(verdicts[j]);
        for (const std::uint64_t units : {std::uint64_t{3} << 51, (std::uint64_t{3} << 51) + 1}) { // even, odd
            ASSERT_EQ(magnitude, exact_change(units, 1.0, index)) << k.name << " index " << index;
            ASSERT_EQ(-magnitude, exact_change(units, -1.0, index)) << k.name << " index " << index;
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

// The choice, on tables that stand for CPUs with and without the fast
// kernels' instructions.
bool yes() { return true; }
bool no() { return false; }

const pigreco::kernel only_generic[] = {{"generic", nullptr, nullptr, yes}, {"avx2", nullptr, nullptr, no}, {"avx512", nullptr, nullptr, no}};
const pigreco::kernel up_to_avx2[] = {{"generic", nullptr, nullptr, yes}, {"avx2", nullptr, nullptr, yes}, {"avx512", nullptr, nullptr, no}};
const pigreco::kernel every_kernel[] = {{"generic", nullptr, nullptr, yes}, {"avx2", nullptr, nullptr, yes}, {"avx512", nullptr, nullptr, yes}};

struct choice_case {
    std::span<const pigreco::kernel> table;
    std::string_view forced;
    std::string_view chosen;
    bool runs;
};

const choice_case choice_cases[] = {
    {only_generic, "", "generic", true},
    {up_to_avx2, "", "avx2", true},
    {every_kernel, "", "avx512", true},
    {every_kernel, "generic", "generic", true},
    {every_kernel, "avx2", "avx2", true},
    // A build forced to instructions that this CPU lacks gets them anyway,
    // and the program refuses to run rather than falling back unasked.
    {only_generic, "avx2", "avx2", false},
    {only_generic, "avx512", "avx512", false},
    {up_to_avx2, "avx512", "avx512", false},
};

TEST(Kernels, ChoiceTakesTheForcedOrTheFastestThatRuns)
{
    for (const choice_case& c : choice_cases) {
        const pigreco::kernel& k = pigreco::choose_kernel(c.table, c.forced);
        EXPECT_EQ(std::string_view(k.name), c.chosen) << "forced \"" << c.forced << '"';
        EXPECT_EQ(k.runs_here(), c.runs) << "forced \"" << c.forced << '"';
    }
}

TEST(Kernels, TableStartsWithTheGenericKernelAndTheChosenOneRunsHere)
{
    ASSERT_FALSE(pigreco::kernels().empty());
    EXPECT_EQ(std::string(pigreco::kernels().front().name), "generic");
    EXPECT_TRUE(pigreco::kernels().front().runs_here());
    EXPECT_TRUE(pigreco::chosen_kernel().runs_here()) << pigreco::chosen_kernel().name;
}

} // namespace
