// Every kernel of the table that this CPU can run (not only the one chosen at
// run time), lane by lane: a lane is left to the exact step whenever 2^53 / d
// lies within the window of a half-integer, and every other lane's increment
// is the change that the exact step makes to a sum of either parity. For
// small d the estimate of 2^53 / d may round to the wrong integer, which the
// kernel detects and also leaves to the exact step; from d > 2^21 on the
// estimate is close enough that no other lane is left over. Then how the
// program chooses among the kernels.
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "kernels.hpp"
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

void check_block(const pigreco::kernel& k, std::uint32_t first, std::size_t n, std::mt19937_64& random)
{
    std::vector<double> signs(n);
    for (double& s : signs) s = random() % 2 == 0 ? 1.0 : -1.0;
    std::vector<std::uint64_t> increments(n);
    const pigreco::increments_summary summary = k.function(signs.data(), first, n, increments.data());
    ASSERT_TRUE(summary.all_signs_plus_or_minus_one) << k.name;
    bool any_hard = false;
    std::uint64_t total = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const auto index = first + static_cast<std::uint32_t>(j);
        const bool hard = increments[j] == pigreco::hard_lane;
        if (needs_exact_step(index) || index > (1U << 20)) {
            ASSERT_EQ(hard, needs_exact_step(index)) << k.name << " index " << index;
        }
        any_hard |= hard;
        total += increments[j];
        if (hard) continue;
        for (const std::uint64_t units : {std::uint64_t{3} << 51, (std::uint64_t{3} << 51) + 1}) { // even, odd
            ASSERT_EQ(static_cast<std::int64_t>(increments[j]), exact_change(units, signs[j], index))
                << k.name << " index " << index;
        }
    }
    EXPECT_EQ(summary.any_hard, any_hard) << k.name;
    if (!any_hard) {
        EXPECT_EQ(summary.total, total) << k.name;
    }
}

TEST(Kernels, EveryRunnableBuildMatchesTheExactStep)
{
    std::mt19937_64 random(11);
    const auto last_first = static_cast<std::uint32_t>(2147483647U - pigreco::max_block);
    std::uniform_int_distribution<std::uint32_t> firsts(2, last_first);
    for (const pigreco::kernel& k : pigreco_test::runnable_kernels()) {
        for (const std::uint32_t first : {2U, 3U, 1000U, last_first}) check_block(k, first, pigreco::max_block, random);
        for (int round = 0; round < 300; ++round)
            check_block(k, firsts(random), 1 + random() % pigreco::max_block, random);
    }
}

TEST(Kernels, ANonUnitSignFactorIsReported)
{
    for (const pigreco::kernel& k : pigreco_test::runnable_kernels()) {
        for (const double odd : {0.5, -2.0, 0.0, 1.0 + 0x1p-52}) {
            std::vector<double> signs(64, 1.0);
            signs[37] = odd;
            std::vector<std::uint64_t> increments(64);
            EXPECT_FALSE(k.function(signs.data(), 5000, 64, increments.data()).all_signs_plus_or_minus_one)
                << k.name << ' ' << odd;
        }
    }
}

// The choice, on tables that stand for CPUs with and without the fast
// kernels' instructions.
bool yes() { return true; }
bool no() { return false; }

const pigreco::kernel only_generic[] = {{"generic", nullptr, yes}, {"avx2", nullptr, no}, {"avx512", nullptr, no}};
const pigreco::kernel up_to_avx2[] = {{"generic", nullptr, yes}, {"avx2", nullptr, yes}, {"avx512", nullptr, no}};
const pigreco::kernel every_kernel[] = {{"generic", nullptr, yes}, {"avx2", nullptr, yes}, {"avx512", nullptr, yes}};

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
