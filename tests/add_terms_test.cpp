// The fast block summation against the exact step applied term by term, on
// blocks chosen to reach every path: the vector kernel, the lanes left to the
// exact step, sums and signs outside the kernel's assumptions.
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "add_terms.hpp"
#include "leibniz_step.hpp"

namespace {

double step_by_step(double sum, const std::vector<double>& signs, std::uint32_t first)
{
    for (std::size_t j = 0; j < signs.size(); ++j)
        sum = pigreco::leibniz_step(sum, signs[j], first + static_cast<std::uint32_t>(j));
    return sum;
}

std::vector<double> alternating(std::uint32_t first, std::size_t n)
{
    std::vector<double> signs(n);
    for (std::size_t j = 0; j < n; ++j) signs[j] = ((first + j) % 2 == 0) ? 1.0 : -1.0;
    return signs;
}

void expect_same(double sum, const std::vector<double>& signs, std::uint32_t first)
{
    const double fast = pigreco::add_terms(sum, signs.data(), first, signs.size());
    const double exact = step_by_step(sum, signs, first);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(exact))
        << "sum " << sum << " first " << first << " n " << signs.size() << " (" << pigreco::add_terms_variant()
        << ")";
}

constexpr std::uint32_t last_index = 2147483647U - 1;

TEST(AddTerms, RandomBlocksMatchTheExactStep)
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> sums(2.5, 3.5);
    std::uniform_int_distribution<std::uint32_t> firsts(1, last_index - static_cast<std::uint32_t>(pigreco::max_block));
    std::uniform_int_distribution<std::size_t> sizes(1, pigreco::max_block);
    std::bernoulli_distribution coin;
    for (int round = 0; round < 3000; ++round) {
        const std::uint32_t first = round % 3 == 0 ? firsts(random) % 5000000 + 1 : firsts(random);
        std::vector<double> signs = alternating(first, sizes(random));
        if (round % 4 == 1) // sign patterns that never occur in the series
            for (double& s : signs) s = coin(random) ? 1.0 : -1.0;
        expect_same(sums(random), signs, first);
    }
}

TEST(AddTerms, EdgesOfTheIndexRange)
{
    const std::uint32_t firsts[] = {1, 2, 255, 256, 1000, 65535, 1U << 30, (1U << 31) - 1024};
    for (const std::uint32_t first : firsts)
        for (const std::size_t n : {std::size_t{1}, std::size_t{7}, std::size_t{256}, pigreco::max_block})
            expect_same(3.14159, alternating(first, n), first);
    expect_same(3.14159, alternating(last_index, 1), last_index);
}

TEST(AddTerms, SumsAtAndBeyondTheBinadeEdges)
{
    const double sums[] = {0.0, 4.0, 2.0, std::nextafter(4.0, 0.0), 2.0 + 0x1p-40, 1.9, 4.5, -3.0, 100.0};
    for (const double sum : sums)
        for (const std::uint32_t first : {0U, 1U, 100000U, 2000000000U})
            expect_same(sum, alternating(first, 300), first);
}

TEST(AddTerms, SignFactorsOtherThanPlusOrMinusOne)
{
    const double odd_signs[] = {0.0, -0.0, 0.5, -2.0, 3.0, 1.0 + 0x1p-52, 1e10};
    for (const double odd : odd_signs) {
        std::vector<double> signs = alternating(1000000, 256);
        signs[100] = odd;
        expect_same(3.14159, signs, 1000000);
    }
}

// Blocks crowded with indices whose increment the kernel cannot settle (the
// quotient 2^53 / d lies within 3/4096 of a half-integer), found by search.
TEST(AddTerms, BlocksFullOfHardLanes)
{
    std::vector<std::uint32_t> hard;
    for (std::uint32_t i = 3000000; hard.size() < 40; ++i) {
        const std::uint64_t d = 2 * std::uint64_t{i} + 1;
        const std::uint64_t r = (std::uint64_t{1} << 53) % d;
        const std::uint64_t distance = 2 * r > d ? 2 * r - d : d - 2 * r;
        if (4096 * distance <= 3 * d) hard.push_back(i);
    }
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> sums(2.5, 3.5);
    for (const std::uint32_t i : hard)
        for (const std::uint32_t back : {0U, 1U, 5U, 200U})
            for (int k = 0; k < 8; ++k) expect_same(sums(random), alternating(i - back, 256), i - back);
}

} // namespace
