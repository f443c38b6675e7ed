// The share of terms that take the exact step, which only a pass over every
// index tells.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "kernels.hpp"
#include "lane_rules.hpp"

namespace {

// One term in 1361 takes the exact step, counted with the program's kernel
// over every index where the block pass runs: about the window's width, and
// a little more at small indices, where the quotient falls near a
// half-integer more often and the kernel's estimate is coarser, and at large
// ones, where the kernel settles lanes without a remainder and leaves the
// window's edge to the exact step. It is the share that the README states; a
// window made wider or narrower changes it.
TEST(KernelsOverTheWholeRange, OneTermIn1361TakesTheExactStep)
{
    const pigreco::kernel& k = pigreco::chosen_kernel();
    std::vector<std::uint64_t> verdicts(pigreco::block_size);
    std::uint64_t hard = 0;
    constexpr std::uint32_t end = 2147483647U;
    // The program's blocks, but for the first, which takes the exact step
    // throughout.
    for (std::uint32_t first = pigreco::block_size; first < end; first += pigreco::block_size) {
        const std::uint32_t n = std::min(pigreco::block_size, end - first);
        k.lanes(first, n, verdicts.data());
        for (std::uint32_t j = 0; j < n; ++j) hard += pigreco::is_hard(verdicts[j]) ? 1 : 0;
    }
    const double terms_per_hard = static_cast<double>(end - pigreco::block_size) / static_cast<double>(hard);
    EXPECT_NEAR(terms_per_hard, 1361.0, 1.0) << hard << " hard lanes (" << k.name << ")";
}

} // namespace
