// Partial sums whose every bit is known, for counts that any build sums in
// moments, even under an emulator.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include <gtest/gtest.h>

#include "double_bits.hpp"
#include "known_answer.hpp"
#include "leibniz_sum.hpp"

namespace {

using pigreco_test::expect_sum;
using pigreco_test::known_answer;

// Each row also guards against a way of getting the arithmetic wrong:
//  - plain double arithmetic first differs at 2, then at 3, 4, 10, 100, 1000;
//  - a running sum kept in extended precision and never rounded to a double
//    first differs at 3, then at 4 and 5;
//  - a 113-bit quadruple-precision term and sum (what `long double` is on
//    AArch64) first differ at 1203, then at 1204 and 1205.
constexpr known_answer known_answers[] = {
    {-2147483647 - 1, 0.0},
    {-7, 0.0},
    {0, 0.0},
    {1, 0x1p+2},
    {2, 0x1.5555555555555p+1},
    {3, 0x1.bbbbbbbbbbbbbp+1},
    {4, 0x1.7297297297296p+1},
    {5, 0x1.ab7ab7ab7ab7ap+1},
    {10, 0x1.855b00297d4c0p+1},
    {100, 0x1.90d8094895b78p+1},
    {1000, 0x1.91fef0a9265e2p+1},
    {1203, 0x1.923af256e457p+1},
    {1204, 0x1.92047dfc46b83p+1},
    {1205, 0x1.923ae6c40f75cp+1},
    {10000, 0x1.921c6e67e58f7p+1},
    {100000, 0x1.921f61616ca32p+1},
};

TEST(KnownAnswers, SmallCounts)
{
    for (const known_answer& answer : known_answers) expect_sum(answer);
}

TEST(KnownAnswers, ZeroSumIsPositiveZero)
{
    EXPECT_EQ(pigreco::bits_of(pigreco::leibniz_sum(-1)), 0U);
}

// The page sums in pieces to show its progress: pieces of any length, across
// the blocks of the block pass, give the bits of the sum in one go.
TEST(KnownAnswers, SumInPiecesIsTheSame)
{
    const known_answer answer = known_answers[std::size(known_answers) - 1];
    const std::uint32_t pieces[] = {1, 2, 255, 256, 257, 1000, 4099};
    double sum = 0.0;
    std::uint32_t done = 0;
    for (std::size_t i = 0; done < static_cast<std::uint32_t>(answer.count); ++i) {
        const std::uint32_t n = std::min(pieces[i % std::size(pieces)], static_cast<std::uint32_t>(answer.count) - done);
        sum = pigreco::leibniz_sum_further(sum, done, n);
        done += n;
    }
    EXPECT_EQ(pigreco::bits_of(sum), pigreco::bits_of(answer.sum)) << pigreco_test::hex(sum);
}

// The sign of each term comes from the C library's pow. Where the largest
// count is too slow to sum (under an emulator, or with MinGW-w64's pow), this
// still checks the signs it would use, up to its last index.
TEST(KnownAnswers, PowerSignsUpToTheLargestIndex)
{
    const std::uint32_t indices[] = {0, 1, 2, 3, (1U << 24) - 1, 1U << 24, (1U << 24) + 1,
                                     (1U << 30) - 1, 1U << 30, (1U << 30) + 1, 2147483645U, 2147483646U};
    for (const std::uint32_t i : indices) {
        const double want = i % 2 == 0 ? 1.0 : -1.0;
        const double got = std::pow(-1.0, static_cast<double>(i));
        EXPECT_EQ(pigreco::bits_of(got), pigreco::bits_of(want)) << "pow(-1, " << i << ")";
    }
}

} // namespace
