// Every build of the block kernel that this CPU can run (not only the one
// chosen at run time), lane by lane: a lane is left to the exact step whenever
// 2^53 / d lies within 3/4096 of a half-integer, and every other lane's
// increment is the change that the exact step makes to a sum of either parity.
// For small d the estimate of 2^53 / d may round to the wrong integer, which
// the kernel detects and also leaves to the exact step; from d > 2^21 on the
// estimate is close enough that no other lane is left over.
#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "leibniz_step.hpp"
#include "term_increments.hpp"
#include "term_increments_kernels.hpp"

namespace {

struct named_kernel {
    std::string name;
    pigreco::increments_kernel kernel;
};

std::vector<named_kernel> runnable_kernels()
{
    std::vector<named_kernel> kernels{{"generic", pigreco::term_increments_generic}};
#if defined(PIGRECO_X86_KERNELS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        kernels.push_back({"avx2", pigreco::term_increments_avx2});
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
        __builtin_cpu_supports("avx512vl"))
        kernels.push_back({"avx512", pigreco::term_increments_avx512});
#endif
    return kernels;
}

bool near_half(std::uint32_t index)
{
    const std::uint64_t d = 2 * std::uint64_t{index} + 1;
    const std::uint64_t r = (std::uint64_t{1} << 53) % d;
    const std::uint64_t distance = 2 * r > d ? 2 * r - d : d - 2 * r;
    return 4096 * distance <= 3 * d;
}

// The change the exact step makes to the sum units * 2^-51, in units.
std::int64_t exact_change(std::uint64_t units, double sign, std::uint32_t index)
{
    const double before = std::bit_cast<double>((std::uint64_t{1024} << 52) | (units - (std::uint64_t{1} << 52)));
    const double after = pigreco::leibniz_step(before, sign, index);
    const std::uint64_t after_units = (std::bit_cast<std::uint64_t>(after) & ((std::uint64_t{1} << 52) - 1)) |
                                      (std::uint64_t{1} << 52);
    return static_cast<std::int64_t>(after_units - units);
}

void check_block(const named_kernel& k, std::uint32_t first, std::size_t n, std::mt19937_64& random)
{
    std::vector<double> signs(n);
    for (double& s : signs) s = random() % 2 == 0 ? 1.0 : -1.0;
    std::vector<std::uint64_t> increments(n);
    const pigreco::increments_summary summary = k.kernel(signs.data(), first, n, increments.data());
    ASSERT_TRUE(summary.all_unit) << k.name;
    bool any_hard = false;
    std::uint64_t total = 0;
    for (std::size_t j = 0; j < n; ++j) {
        const auto index = first + static_cast<std::uint32_t>(j);
        const bool hard = increments[j] == pigreco::hard_lane;
        if (near_half(index) || index > (1U << 20)) {
            ASSERT_EQ(hard, near_half(index)) << k.name << " index " << index;
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
    std::uniform_int_distribution<std::uint32_t> firsts(2, 2147483647U - 1024);
    for (const named_kernel& k : runnable_kernels()) {
        for (const std::uint32_t first : {2U, 3U, 1000U, 2147483647U - 1024}) check_block(k, first, 1024, random);
        for (int round = 0; round < 300; ++round) check_block(k, firsts(random), 1 + random() % 1024, random);
    }
}

TEST(Kernels, ANonUnitSignFactorIsReported)
{
    for (const named_kernel& k : runnable_kernels()) {
        for (const double odd : {0.5, -2.0, 0.0, 1.0 + 0x1p-52}) {
            std::vector<double> signs(64, 1.0);
            signs[37] = odd;
            std::vector<std::uint64_t> increments(64);
            EXPECT_FALSE(k.kernel(signs.data(), 5000, 64, increments.data()).all_unit) << k.name << ' ' << odd;
        }
    }
}

} // namespace
