#include "add_terms.hpp"

#include <array>
#include <bit>

#include "leibniz_step.hpp"

namespace pigreco {

namespace {

// A double s in [2, 4) is S * 2^-51 with S in [2^52, 2^53); its bits are the
// biased exponent 1024 followed by S - 2^52.
constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
constexpr std::uint64_t two_53 = std::uint64_t{1} << 53;
constexpr std::uint64_t binade_bits = std::uint64_t{1024} << 52;

double add_terms_exactly(double sum, const double* sign_factors, std::uint32_t first, std::size_t n)
{
    for (std::size_t j = 0; j < n; ++j) sum = leibniz_step(sum, sign_factors[j], first + static_cast<std::uint32_t>(j));
    return sum;
}

// The increments are exact only while every sum met on the way, and every
// exact sum before rounding, stays in [2, 4). Each term moves the sum by at
// most 2^53 / d + 1 units (d >= 2 * first + 1 has L bits, so 2^53 / d <
// 2^(54 - L)), and the exact sum lies within one term of the sums on either
// side, so a margin of n * (2^(54 - L) + 2) units on both sides of S is enough.
bool stays_in_binade(std::uint64_t units, std::uint32_t first, std::size_t n)
{
    const auto bits = static_cast<int>(std::bit_width(2 * std::uint64_t{first} + 1)); // at most 33
    const std::uint64_t margin = ((std::uint64_t{1} << (54 - bits)) + 2) * n; // < 2^63: no overflow
    return margin < two_52 && units - margin >= two_52 && units + margin < two_53;
}

double from_units(std::uint64_t units) { return std::bit_cast<double>(binade_bits | (units - two_52)); }

std::uint64_t to_units(double sum) { return two_52 | (std::bit_cast<std::uint64_t>(sum) & (two_52 - 1)); }

// Adds the increments in order, giving each hard lane the exact step. Groups
// with no hard lane are added at once: every real increment is below 2^51 in
// magnitude, so its top two bits are equal, and only the hard-lane marker has
// them 10.
std::uint64_t add_in_order(std::uint64_t units, const std::uint64_t* increments, const double* sign_factors,
                           std::uint32_t first, std::size_t n)
{
    constexpr std::size_t group = 16;
    const auto add_one = [&](std::size_t j) {
        if (increments[j] != hard_lane) {
            units += increments[j];
            return;
        }
        units = to_units(leibniz_step(from_units(units), sign_factors[j], first + static_cast<std::uint32_t>(j)));
    };
    std::size_t j = 0;
    for (; j + group <= n; j += group) {
        std::uint64_t marked = 0;
        std::uint64_t sum = 0;
        for (std::size_t k = j; k < j + group; ++k) {
            marked |= increments[k] & ~(increments[k] << 1);
            sum += increments[k];
        }
        if ((marked >> 63) == 0) {
            units += sum;
            continue;
        }
        for (std::size_t k = j; k < j + group; ++k) add_one(k);
    }
    for (; j < n; ++j) add_one(j);
    return units;
}

} // namespace

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n, const kernel& with)
{
    const auto bits = std::bit_cast<std::uint64_t>(sum);
    const bool in_binade = (bits & ~(two_52 - 1)) == binade_bits; // positive, in [2, 4)
    const std::uint64_t units = to_units(sum);
    if (first < 2 || !in_binade || !stays_in_binade(units, first, n))
        return add_terms_exactly(sum, sign_factors, first, n);

    std::array<std::uint64_t, max_block> increments; // NOLINT(cppcoreguidelines-pro-type-member-init): written by the kernel
    const increments_summary summary = with.function(sign_factors, first, n, increments.data());
    if (!summary.all_signs_plus_or_minus_one) return add_terms_exactly(sum, sign_factors, first, n);
    if (!summary.any_hard) return from_units(units + summary.total);
    return from_units(add_in_order(units, increments.data(), sign_factors, first, n));
}

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n)
{
    return add_terms(sum, sign_factors, first, n, chosen_kernel());
}

} // namespace pigreco
