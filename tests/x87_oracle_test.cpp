// Every partial sum against the hardware that the arithmetic imitates: the
// x87 unit evaluates a `long double` term and sum with a 64-bit significand,
// and the new sum is rounded to a double after each term. Built only where
// `long double` is that format.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "add_terms.hpp"
#include "double_bits.hpp"
#include "kernels.hpp"
#include "leibniz_sum.hpp"
#include "series_helpers.hpp"

static_assert(std::numeric_limits<long double>::digits == 64);

namespace {

constexpr std::uint32_t sweep = ORACLE_SWEEP;

std::vector<double> x87_partial_sums(std::uint32_t count)
{
    std::vector<double> sums(count + 1);
    double sum = 0.0;
    for (std::uint32_t i = 0; i < count; ++i) {
        sum = pigreco_test::x87_leibniz_step(sum, std::pow(-1.0, static_cast<double>(i)), i);
        sums[i + 1] = sum;
    }
    return sums;
}

// Blocks of every size from one term to the largest, so that every partial
// sum is checked and every lane position of the vector kernel is reached.
TEST(X87Oracle, EveryPartialSumInBlocksOfEachSize)
{
    const std::vector<double> expected = x87_partial_sums(sweep);
    for (const std::size_t block : {std::size_t{1}, std::size_t{3}, std::size_t{pigreco::block_size}, std::size_t{1000}}) {
        std::vector<double> signs(block);
        double sum = 0.0;
        std::size_t mismatches = 0;
        for (std::uint32_t first = 0; first < sweep;) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(block, sweep - first));
            for (std::uint32_t j = 0; j < n; ++j) signs[j] = std::pow(-1.0, static_cast<double>(first + j));
            sum = pigreco::add_terms(sum, signs.data(), first, n);
            first += n;
            if (pigreco::bits_of(sum) != pigreco::bits_of(expected[first]) &&
                ++mismatches <= 5)
                ADD_FAILURE() << "block " << block << ", count " << first << ": " << sum << " vs "
                              << expected[first];
        }
        EXPECT_EQ(mismatches, 0U) << "block size " << block;
    }
}

TEST(X87Oracle, WholeSummationAtScatteredCounts)
{
    const std::vector<double> expected = x87_partial_sums(sweep);
    for (std::uint32_t count = 1; count <= sweep; count = count * 3 + 1)
        EXPECT_EQ(pigreco::leibniz_sum(static_cast<std::int32_t>(count)), expected[count]) << count;
    EXPECT_EQ(pigreco::leibniz_sum(static_cast<std::int32_t>(sweep)), expected[sweep]);
}

} // namespace
