// The fast block summation against the exact step applied term by term, with
// every kernel that this CPU runs, on blocks chosen to reach every path: the
// vector kernel, the lanes left to the exact step, sums and signs outside the
// kernel's assumptions, blocks that would leave the binade [2, 4).
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "add_terms.hpp"
#include "double_bits.hpp"
#include "kernels.hpp"
#include "lane_rules.hpp"
#include "series_helpers.hpp"

namespace {

using pigreco_test::alternating_signs;
using pigreco_test::four_blocks;

void expect_same(double sum, const std::vector<double>& signs, std::uint32_t first)
{
    const double exact = pigreco_test::exact_sum(sum, signs, first);
    for (const pigreco::kernel& k : pigreco_test::runnable_kernels()) {
        const double fast = pigreco::add_terms(sum, signs.data(), first, signs.size(), k);
        ASSERT_EQ(pigreco::bits_of(fast), pigreco::bits_of(exact))
            << "sum " << sum << " first " << first << " n " << signs.size() << " (" << k.name << ")";
    }
}

constexpr std::uint32_t last_index = 2147483647U - 1;

TEST(AddTerms, RandomBlocksMatchTheExactStep)
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> sums(2.5, 3.5);
    std::uniform_int_distribution<std::uint32_t> firsts(1, last_index - four_blocks);
    std::uniform_int_distribution<std::size_t> sizes(1, four_blocks);
    std::bernoulli_distribution coin;
    for (int round = 0; round < 3000; ++round) {
        const std::uint32_t first = round % 3 == 0 ? firsts(random) % 5000000 + 1 : firsts(random);
        std::vector<double> signs = alternating_signs(first, sizes(random));
        if (round % 4 == 1) // sign patterns that never occur in the series
            for (double& s : signs) s = coin(random) ? 1.0 : -1.0;
        expect_same(sums(random), signs, first);
    }
}

TEST(AddTerms, EdgesOfTheIndexRange)
{
    const std::uint32_t firsts[] = {1, 2, 255, 256, 1000, 65535, 1U << 30, (1U << 31) - four_blocks};
    for (const std::uint32_t first : firsts)
        for (const std::size_t n : {std::size_t{1}, std::size_t{7}, std::size_t{pigreco::block_size}, std::size_t{four_blocks}})
            expect_same(3.14159, alternating_signs(first, n), first);
    expect_same(3.14159, alternating_signs(last_index, 1), last_index);
}

// No sign factors given: the block pass makes its own power calls, as the
// program does, and must reach the exact step's sum with the series' signs.
TEST(AddTerms, OwnPowerCallsGiveTheSeriesSigns)
{
    const std::uint32_t bounded = pigreco::first_bounded_index;
    const std::uint32_t firsts[] = {2, 1001, bounded - 300, 1U << 30, last_index - four_blocks};
    for (const std::uint32_t first : firsts) {
        const std::vector<double> signs = alternating_signs(first, four_blocks - 5);
        const double exact = pigreco_test::exact_sum(3.14159, signs, first);
        for (const pigreco::kernel& k : pigreco_test::runnable_kernels()) {
            const double fast = pigreco::add_terms(3.14159, nullptr, first, signs.size(), k);
            ASSERT_EQ(pigreco::bits_of(fast), pigreco::bits_of(exact)) << "first " << first << " (" << k.name << ")";
        }
    }
}

TEST(AddTerms, SumsAtAndBeyondTheBinadeEdges)
{
    const double sums[] = {0.0, 4.0, 2.0, std::nextafter(4.0, 0.0), 2.0 + 0x1p-40, 1.9, 4.5, -3.0, 100.0};
    for (const double sum : sums)
        for (const std::uint32_t first : {0U, 1U, 100000U, 2000000000U})
            expect_same(sum, alternating_signs(first, 300), first);
}

// Blocks that start near an edge of [2, 4) with a term heading for it: just
// under 4 at an even first index (a positive first term), just over 2 at an
// odd one. The fast path may take such a block only when even its largest
// partial sums cannot carry the sum out of the binade; the offsets, fractions
// of the first term's size, reach both sides of that guard's margin.
TEST(AddTerms, BlocksNearTheBinadeEdges)
{
    constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
    constexpr std::uint64_t two_53 = std::uint64_t{1} << 53;
    const std::uint32_t firsts[] = {1U << 12, (1U << 20) + 1000, 1U << 25, (1U << 30) + 6};
    const double fractions[] = {0.2, 0.5, 0.9, 1.1, 1.5, 1.9, 2.1, 3.0, 5.0};
    for (const std::uint32_t even_first : firsts) {
        for (const std::size_t n : {std::size_t{64}, std::size_t{pigreco::block_size}}) {
            const double reach = 0x1p53 / (2.0 * even_first + 1); // units of the first term
            for (const double fraction : fractions) {
                const auto offset = static_cast<std::uint64_t>(fraction * reach);
                expect_same(pigreco_test::from_units(two_53 - 1 - offset), alternating_signs(even_first, n), even_first);
                expect_same(pigreco_test::from_units(two_52 + offset), alternating_signs(even_first + 1, n),
                            even_first + 1);
            }
        }
    }
}

TEST(AddTerms, SignFactorsOtherThanPlusOrMinusOne)
{
    const double odd_signs[] = {0.0, -0.0, 0.5, -2.0, 3.0, 1.0 + 0x1p-52, 1e10};
    for (const double odd : odd_signs) {
        std::vector<double> signs = alternating_signs(1000000, 256);
        signs[100] = odd;
        expect_same(3.14159, signs, 1000000);
    }
}

// Blocks crowded with indices whose increment the kernel cannot settle, found
// by search, on either side of first_bounded_index, where the kernels settle
// lanes in two ways.
TEST(AddTerms, BlocksFullOfHardLanes)
{
    std::vector<std::uint32_t> hard;
    for (std::uint32_t i = 1500000; hard.size() < 20; ++i)
        if (pigreco_test::needs_exact_step(i)) hard.push_back(i);
    for (std::uint32_t i = 3000000; hard.size() < 40; ++i)
        if (pigreco_test::needs_exact_step(i)) hard.push_back(i);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> sums(2.5, 3.5);
    for (const std::uint32_t i : hard)
        for (const std::uint32_t back : {0U, 1U, 5U, 200U})
            for (int k = 0; k < 8; ++k) expect_same(sums(random), alternating_signs(i - back, 256), i - back);
}

} // namespace
