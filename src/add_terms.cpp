#include "add_terms.hpp"

#include <array>
#include <bit>

#include "leibniz_step.hpp"
#include "term_increments.hpp"
#include "term_increments_kernels.hpp"

namespace pigreco {

namespace {

// A double s in [2, 4) is S * 2^-51 with S in [2^52, 2^53); its bits are the
// biased exponent 1024 followed by S - 2^52.
constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
constexpr std::uint64_t two_53 = std::uint64_t{1} << 53;
constexpr std::uint64_t binade_bits = std::uint64_t{1024} << 52;

struct kernel_choice {
    increments_kernel kernel;
    const char* name;
};

kernel_choice choose_kernel()
{
#if defined(PIGRECO_X86_KERNELS)
#if defined(PIGRECO_FORCE_KERNEL_AVX512)
    return {term_increments_avx512, "avx512"};
#elif defined(PIGRECO_FORCE_KERNEL_AVX2)
    return {term_increments_avx2, "avx2"};
#elif !defined(PIGRECO_FORCE_KERNEL_GENERIC)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
        __builtin_cpu_supports("avx512vl"))
        return {term_increments_avx512, "avx512"};
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return {term_increments_avx2, "avx2"};
#endif
#endif
    return {term_increments_generic, "generic"};
}

const kernel_choice& chosen_kernel()
{
    static const kernel_choice choice = choose_kernel();
    return choice;
}

double add_terms_exactly(double sum, const double* sign_factors, std::uint32_t first, std::size_t n)
{
    for (std::size_t j = 0; j < n; ++j) sum = leibniz_step(sum, sign_factors[j], first + static_cast<std::uint32_t>(j));
    return sum;
}

// The increments are exact only while every sum met on the way, and every
// exact sum before rounding, stays in [2, 4). Each term moves the sum by at
// most 2^53 / d + 1 units (d >= 2 * first + 1), and the exact sum lies within
// one term of the sums on either side, so a margin of n * (2^53 / d + 2)
// units on both sides of S is enough.
bool stays_in_binade(std::uint64_t units, std::uint32_t first, std::size_t n)
{
    const std::uint64_t largest_step = two_53 / (2 * std::uint64_t{first} + 1) + 2;
    const std::uint64_t margin = largest_step * n; // < 2^52 * 2^10 + 2 * 2^10: no overflow
    return margin < two_52 && units - margin >= two_52 && units + margin < two_53;
}

} // namespace

const char* add_terms_variant() { return chosen_kernel().name; }

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n)
{
    const auto bits = std::bit_cast<std::uint64_t>(sum);
    const bool in_binade = (bits & ~(two_52 - 1)) == binade_bits; // positive, in [2, 4)
    const std::uint64_t units = two_52 | (bits & (two_52 - 1));
    if (first == 0 || !in_binade || !stays_in_binade(units, first, n))
        return add_terms_exactly(sum, sign_factors, first, n);

    std::array<std::uint64_t, max_block> increments; // NOLINT(cppcoreguidelines-pro-type-member-init): written by the kernel
    const increments_summary summary = chosen_kernel().kernel(sign_factors, first, n, increments.data());
    if (!summary.all_unit) return add_terms_exactly(sum, sign_factors, first, n);

    std::uint64_t result = units + summary.total;
    if (summary.any_hard) {
        result = units;
        for (std::size_t j = 0; j < n; ++j) {
            if (increments[j] != hard_lane) {
                result += increments[j];
                continue;
            }
            const double before = std::bit_cast<double>(binade_bits | (result - two_52));
            const double after = leibniz_step(before, sign_factors[j], first + static_cast<std::uint32_t>(j));
            result = two_52 | (std::bit_cast<std::uint64_t>(after) & (two_52 - 1));
        }
    }
    return std::bit_cast<double>(binade_bits | (result - two_52));
}

} // namespace pigreco
