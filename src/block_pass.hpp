// The block pass: the summation as the program runs it, compiled once for each
// instruction set (kernel_build.cpp). For each block of block_size terms it
// makes the power calls first, one per term and in order, then settles the
// whole block in one pass over its lanes: while the sum stays in [2, 4), each
// term changes it by an integer number of units of its last place that
// depends on the term alone (lane_increments.hpp), so a block whose lanes are
// all clear adds their alternating sum at once; the rare hard lane gets the
// exact step, in order. Everything here has internal linkage (an unnamed
// namespace, which gives the member functions of its classes internal linkage
// too), so that the builds for different instruction sets never stand in for
// each other at link time: one inline function shared by name would let the
// linker keep a single build of it, perhaps one this CPU cannot run.
//
// The power calls and the block's arithmetic sit in one function, built with
// the kernel's instruction set: the program calls its kernel once, not once
// a block, and the arithmetic follows the calls with nothing between them.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "kernels.hpp"
#include "lane_increments.hpp"
#include "leibniz_step.hpp"

namespace pigreco {

namespace { // NOLINT(cert-dcl59-cpp,google-build-namespaces): included by kernel_build.cpp only, see above

// A double s in [2, 4) is S * 2^-51 with S in [2^52, 2^53); its bits are the
// biased exponent 1024 followed by S - 2^52.
constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
constexpr std::uint64_t two_53 = std::uint64_t{1} << 53;
constexpr std::uint64_t binade_bits = std::uint64_t{1024} << 52;

double from_units(std::uint64_t units) { return std::bit_cast<double>(binade_bits | (units - two_52)); }

std::uint64_t to_units(double sum) { return two_52 | (std::bit_cast<std::uint64_t>(sum) & (two_52 - 1)); }

double exact_steps(double sum, const double* sign_factors, std::uint32_t first, std::uint32_t n)
{
    for (std::uint32_t j = 0; j < n; ++j) sum = leibniz_step(sum, sign_factors[j], first + j);
    return sum;
}

// The increments are exact only while every sum met on the way, and every
// exact sum before rounding, stays in [2, 4). A block takes the fast path only
// with alternating sign factors, and each of its terms, clear or hard, then
// changes the sum by q_k or q_k + 1 units, q_k = floor(2^53 / d_k), which
// never grows from term to term. Grouped in pairs of opposite signs, the
// partial sums of such a block never leave S - n/2 .. S + q_0 + 1 + n/2 (or
// its mirror image when the first term is negative), and each exact sum lies
// within one term of the sum before it. With d_0 = 2 * first + 1 of L bits,
// 2^53 / d_0 < 2^(54 - L), so a margin of 2^(55 - L) + n + 2 units on both
// sides of S is enough.
bool stays_in_binade(std::uint64_t units, std::uint32_t first, std::uint32_t n)
{
    const auto bits = static_cast<int>(std::bit_width(2 * std::uint64_t{first} + 1)); // 3 to 33
    const std::uint64_t margin = (std::uint64_t{1} << (55 - bits)) + n + 2;
    return margin < two_52 && units - margin >= two_52 && units + margin < two_53;
}

// 2j for each lane j, as doubles: a load and an add give each lane's
// denominator with no integer-to-double conversion in the loop.
struct lane_offsets {
    std::array<double, block_size> twice{};
    constexpr lane_offsets()
    {
        for (std::size_t j = 0; j < block_size; ++j) twice[j] = 2.0 * static_cast<double>(j);
    }
};
constexpr lane_offsets offsets{};

// The program's sign factors alternate, +1 at even indices: for each lane of
// a block that starts at an even or an odd index, the bits of the sign factor
// expected, a mask that is all ones where it is -1, and 2^53 with its sign.
struct alternation {
    std::array<std::array<std::uint64_t, block_size>, 2> sign_bits{};
    std::array<std::array<std::uint64_t, block_size>, 2> minus{};
    std::array<std::array<double, block_size>, 2> numerator{};
    constexpr alternation()
    {
        for (std::size_t parity = 0; parity < 2; ++parity) {
            for (std::size_t j = 0; j < block_size; ++j) {
                const bool negative = (parity + j) % 2 == 1;
                sign_bits[parity][j] = std::bit_cast<std::uint64_t>(negative ? -1.0 : 1.0);
                minus[parity][j] = negative ? ~std::uint64_t{0} : 0;
                numerator[parity][j] = negative ? -0x1p53 : 0x1p53;
            }
        }
    }
};
constexpr alternation alternating{};

// The two ways of settling a lane (lane_increments.hpp).
struct checked_lanes { // any index from 2 on
    static lane_verdict verdict(std::uint64_t d, double d_fp, std::uint64_t minus, double /* numerator */)
    {
        return exact_checked_lane(d, d_fp, minus);
    }
};

struct bounded_lanes { // indices from first_bounded_index on
    static lane_verdict verdict(std::uint64_t /* d */, double d_fp, std::uint64_t /* minus */, double numerator)
    {
        return bounded_lane(d_fp, numerator);
    }
};

// A hard lane's increment is stored with its top bit flipped: every real
// increment is below 2^51 in size, so its top two bits are equal, and only a
// flipped one has them differ. The top bit of hard_mark says which.
std::uint64_t hard_mark(std::uint64_t increment) { return increment ^ (increment << 1); }

std::uint64_t sum_of(const std::uint64_t* increments, std::uint32_t begin, std::uint32_t end)
{
    std::uint64_t sum = 0;
    for (std::uint32_t j = begin; j < end; ++j) sum += increments[j];
    return sum;
}

// A block with hard lanes: the increments in order, each hard lane given the
// exact step. The hard lanes are few (one in a block, as a rule), so they are
// found group by group, and the increments between them added at once.
std::uint64_t add_in_order(std::uint64_t units, const std::uint64_t* increments, const double* sign_factors,
                           std::uint32_t first, std::uint32_t n)
{
    constexpr std::uint32_t group = 32;
    std::uint32_t added = 0; // the lanes before this one are in units
    for (std::uint32_t start = 0; start < n; start += group) {
        const std::uint32_t end = std::min(start + group, n);
        std::uint64_t marked = 0;
        for (std::uint32_t j = start; j < end; ++j) marked |= hard_mark(increments[j]);
        if ((marked & top_bit) == 0) continue;
        for (std::uint32_t j = start; j < end; ++j) {
            if ((hard_mark(increments[j]) & top_bit) == 0) continue;
            units += sum_of(increments, added, j);
            units = to_units(leibniz_step(from_units(units), sign_factors[j], first + j));
            added = j + 1;
        }
    }
    return units + sum_of(increments, added, n);
}

// Masks rather than branches, so that the loop vectorises. With the
// alternating sign factors the block's change is the sum of the increments,
// exact modulo 2^64. Any other sign factor sends the block to the exact step:
// the program never meets one, and it may be any value.
template <class Lanes>
double add_lanes(double sum, const double* sign_factors, std::uint32_t first, std::uint32_t n)
{
    const std::uint64_t first_d = 2 * std::uint64_t{first} + 1; // both forms exact: below 2^32
    const auto first_d_fp = static_cast<double>(first_d);
    const std::uint32_t parity = first & 1U;
    const std::uint64_t* sign_bits = alternating.sign_bits[parity].data();
    const std::uint64_t* minus = alternating.minus[parity].data();
    const double* numerator = alternating.numerator[parity].data();
    alignas(64) std::array<std::uint64_t, block_size> increments; // NOLINT(cppcoreguidelines-pro-type-member-init): written below
    std::uint64_t total = 0;
    std::uint64_t hard_seen = 0;
    std::uint64_t other_sign_seen = 0;
    for (std::uint32_t j = 0; j < n; ++j) {
        const lane_verdict lane =
            Lanes::verdict(first_d + 2 * std::uint64_t{j}, first_d_fp + offsets.twice[j], minus[j], numerator[j]);
        const std::uint64_t marked = lane.increment ^ lane.hard;
        increments[j] = marked;
        total += marked; // the increment itself wherever it counts: with no hard lane
        hard_seen |= lane.hard;
        other_sign_seen |= std::bit_cast<std::uint64_t>(sign_factors[j]) ^ sign_bits[j];
    }
    if (other_sign_seen != 0) return exact_steps(sum, sign_factors, first, n);
    const std::uint64_t units = to_units(sum);
    if (hard_seen == 0) return from_units(units + total);
    return from_units(add_in_order(units, increments.data(), sign_factors, first, n));
}

// Terms first .. first + n - 1, n <= block_size.
double add_block(double sum, const double* sign_factors, std::uint32_t first, std::uint32_t n)
{
    const auto bits = std::bit_cast<std::uint64_t>(sum);
    const bool in_binade = (bits & ~(two_52 - 1)) == binade_bits; // positive, in [2, 4)
    if (first < 2 || !in_binade || !stays_in_binade(to_units(sum), first, n))
        return exact_steps(sum, sign_factors, first, n);
    if (first >= first_bounded_index) return add_lanes<bounded_lanes>(sum, sign_factors, first, n);
    return add_lanes<checked_lanes>(sum, sign_factors, first, n);
}

double sum_terms(double sum, std::uint32_t first, std::uint32_t n, const double* sign_factors)
{
    alignas(64) std::array<double, block_size> power_results; // NOLINT(cppcoreguidelines-pro-type-member-init): written below
    for (std::uint32_t done = 0; done < n;) {
        const std::uint32_t block_first = first + done;
        const std::uint32_t m = std::min(block_size, n - done);
        const double* signs = sign_factors != nullptr ? sign_factors + done : power_results.data();
        if (sign_factors == nullptr) {
            // One call a turn, as a plain loop over the calls has it: unrolled,
            // this loop made the calls of MinGW-w64's 32-bit pow far slower.
#if defined(__GNUC__)
#pragma GCC unroll 1
#endif
            for (std::uint32_t j = 0; j < m; ++j) power_results[j] = std::pow(-1.0, static_cast<double>(block_first + j));
        }
        sum = add_block(sum, signs, block_first, m);
        done += m;
    }
    return sum;
}

template <class Lanes>
void write_verdicts(std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts)
{
    const std::uint64_t first_d = 2 * std::uint64_t{first} + 1;
    const auto first_d_fp = static_cast<double>(first_d);
    for (std::uint32_t j = 0; j < n; ++j) {
        // The magnitude: the verdict for a sign factor of +1.
        const lane_verdict lane = Lanes::verdict(first_d + 2 * std::uint64_t{j}, first_d_fp + offsets.twice[j], 0, 0x1p53);
        verdicts[j] = lane.hard != 0 ? hard_lane : lane.increment;
    }
}

void lane_verdicts(std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts)
{
    for (std::uint32_t done = 0; done < n; done += block_size) {
        const std::uint32_t block_first = first + done;
        const std::uint32_t m = std::min(block_size, n - done);
        if (block_first >= first_bounded_index) {
            write_verdicts<bounded_lanes>(block_first, m, verdicts + done);
        } else {
            write_verdicts<checked_lanes>(block_first, m, verdicts + done);
        }
    }
}

} // namespace

} // namespace pigreco
