// The block pass: the summation as the program runs it, compiled once for each
// instruction set (kernel_build.cpp). For each block of block_size terms it
// makes the power calls first, one per term and in order, then settles the
// whole block in one pass over its lanes: while the sum stays in [2, 4), each
// term changes it by an integer number of units of its last place that
// depends on the term alone (lane_increments.hpp), so a block whose lanes are
// all clear adds their alternating sum at once; the rare hard lane gets the
// exact step, in order.
//
// No code built for one instruction set may run where another is expected.
// The linker keeps one copy of each function of external linkage that several
// objects define (the inline functions and templates of the standard library
// among them, which an unoptimised build does not inline), and which copy is
// a matter of link order. So a kernel's object defines nothing of external
// linkage but its two entry points: everything here lies in an unnamed
// namespace (which gives the members of its classes internal linkage too),
// and calls nothing inline of external linkage — plain arrays and the
// bit casts of double_bits.hpp rather than std::array and std::bit_cast.
// Functions compiled elsewhere (leibniz_step, the C library's) are built for
// the target's baseline and run anywhere. The kernel_exports test checks
// every kernel object of every build for it.
//
// The power calls and the block's arithmetic sit in one function, built with
// the kernel's instruction set: the program calls its kernel once, not once
// a block, and the arithmetic follows the calls with nothing between them.
#pragma once

#include <cassert>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "kernels.hpp"
#include "lane_increments.hpp"
#include "lane_rules.hpp"
#include "leibniz_step.hpp"

#if defined(__GNUC__)
#define PIGRECO_BUILT_INTO_CALLER [[gnu::always_inline]] inline
#else
#define PIGRECO_BUILT_INTO_CALLER inline
#endif

namespace pigreco {

namespace { // NOLINT(cert-dcl59-cpp,google-build-namespaces): included by kernel_build.cpp only, see above

// A double s in [2, 4) is S * 2^-51 with S in [2^52, 2^53); its bits are the
// biased exponent 1024 followed by S - 2^52.
constexpr std::uint64_t two_52 = std::uint64_t{1} << 52;
constexpr std::uint64_t two_53 = std::uint64_t{1} << 53;
constexpr std::uint64_t binade_bits = std::uint64_t{1024} << 52;

// The block's length, as a local constant: the header's is an inline
// variable, which an unoptimised build would export when bound to a reference.
constexpr std::uint32_t lanes = block_size;

constexpr std::uint32_t smaller(std::uint32_t a, std::uint32_t b) { return a < b ? a : b; }

// The number of bits of x, 1 <= x < 2^53, read from the exponent of its
// exact double: a handful of instructions, where counting the bits one by one
// took a hundred, once a block (std::bit_width would be an inline function of
// external linkage).
int bit_width(std::uint64_t x)
{
    const auto biased_exponent = static_cast<int>(bits_of(static_cast<double>(static_cast<std::int64_t>(x))) >> 52);
    return biased_exponent - 1022;
}

double from_units(std::uint64_t units) { return double_of(binade_bits | (units - two_52)); }

std::uint64_t to_units(double sum) { return two_52 | (bits_of(sum) & (two_52 - 1)); }

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
    const int bits = bit_width(2 * std::uint64_t{first} + 1); // 3 to 33
    const std::uint64_t margin = (std::uint64_t{1} << (55 - bits)) + n + 2;
    return margin < two_52 && units - margin >= two_52 && units + margin < two_53;
}

// 2j for each lane j, as doubles: a load and an add give each lane's
// denominator with no integer-to-double conversion in the loop.
struct lane_offsets {
    double twice[lanes]{};
    constexpr lane_offsets()
    {
        for (std::uint32_t j = 0; j < lanes; ++j) twice[j] = 2.0 * static_cast<double>(j);
    }
};
constexpr lane_offsets offsets{};

// The program's sign factors alternate, +1 at even indices: for each lane of
// a block that starts at an even or an odd index, the sign factor, its bits,
// a mask that is all ones where it is -1, and 2^53 with its sign.
struct alternation {
    double factor[2][lanes]{};
    std::uint64_t sign_bits[2][lanes]{};
    std::uint64_t minus[2][lanes]{};
    double numerator[2][lanes]{};
    constexpr alternation()
    {
        for (std::uint32_t parity = 0; parity < 2; ++parity) {
            for (std::uint32_t j = 0; j < lanes; ++j) {
                const bool negative = (parity + j) % 2 == 1;
                factor[parity][j] = negative ? -1.0 : 1.0;
                sign_bits[parity][j] = bits_of(factor[parity][j]);
                minus[parity][j] = negative ? ~std::uint64_t{0} : 0;
                numerator[parity][j] = negative ? -0x1p53 : 0x1p53;
            }
        }
    }
};
constexpr alternation alternating{};

// The two ways of settling a lane (lane_increments.hpp).
struct checked_lanes { // any index from 2 on
    static std::uint64_t verdict(std::uint64_t d, double d_fp, std::uint64_t minus, double numerator)
    {
        return exact_checked_lane(d, d_fp, minus, numerator);
    }
};

struct bounded_lanes { // indices from first_bounded_index on
    static std::uint64_t verdict(std::uint64_t /* d */, double d_fp, std::uint64_t /* minus */, double numerator)
    {
        return bounded_lane(d_fp, numerator);
    }
};

// Calls settle(checked_lanes{}) or settle(bounded_lanes{}), as the lane rules
// choose for a block from index `first` on: the sum and the tests' view of
// the verdicts both come here.
template <class Settle>
auto with_lanes_for(std::uint32_t first, Settle settle)
{
    if (method_for_block(first) == lane_method::bounded) return settle(bounded_lanes{});
    return settle(checked_lanes{});
}

// What a pass over a block's lanes found besides their verdicts.
struct block_summary {
    std::uint64_t total;           // the sum of the verdicts, modulo 2^64: with no hard lane, the block's change plus n * verdict_bias
    std::uint64_t verdicts_ored;   // hard (is_hard) if some lane is hard
    std::uint64_t other_sign_seen; // nonzero if some sign factor is not the alternating one
};

// The verdicts of the lanes of terms first .. first + n - 1 (n <= lanes) for
// the program's alternating sign factors, into `verdicts`. Masks rather than
// branches, so that the loop vectorises. Built into each caller: called from
// two places, GCC would keep it a function of its own, whose loop it compiles
// otherwise than inside the sum (storing through a pointer, with fewer
// constants kept in registers): 5 % more instructions a term in the generic
// kernel's checked lanes, 2 % more in the AVX2 kernel's (callgrind).
template <class Lanes>
PIGRECO_BUILT_INTO_CALLER block_summary settle_lanes(const double* sign_factors, std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts)
{
    const std::uint64_t first_d = 2 * std::uint64_t{first} + 1; // both forms exact: below 2^32
    const auto first_d_fp = static_cast<double>(first_d);
    const std::uint32_t parity = first & 1U;
    const std::uint64_t* sign_bits = alternating.sign_bits[parity];
    const std::uint64_t* minus = alternating.minus[parity];
    const double* numerator = alternating.numerator[parity];
    block_summary summary{0, 0, 0};
    // Eight turns of the vector loop a pass rather than the two of
    // -funroll-loops: less of the loop's own counting and branching a term.
    // Instructions a term (callgrind, when this was chosen) from index 10^9:
    // 11.33 against 11.44 in the generic kernel, 5.24 against 5.34 in the AVX2
    // one; from 10^6, below 2^21, 39.28 against 38.79 and 5.73 against 6.01.
#if defined(__GNUC__)
#pragma GCC unroll 8
#endif
    for (std::uint32_t j = 0; j < n; ++j) {
        const std::uint64_t verdict =
            Lanes::verdict(first_d + 2 * std::uint64_t{j}, first_d_fp + offsets.twice[j], minus[j], numerator[j]);
        verdicts[j] = verdict;
        summary.total += verdict;
        summary.verdicts_ored |= verdict;
        summary.other_sign_seen |= bits_of(sign_factors[j]) ^ sign_bits[j];
    }
    return summary;
}

// `count` lanes of a block with hard lanes, from index `first` on, in order:
// their verdicts summed and their hard flags gathered in one pass and, only
// where one is hard, walked lane by lane, each hard lane given the exact
// step. Built into the caller, which gives a whole group a fixed length.
PIGRECO_BUILT_INTO_CALLER std::uint64_t add_group(std::uint64_t units, const std::uint64_t* verdicts,
                                                  const double* sign_factors, std::uint32_t first,
                                                  std::uint32_t count)
{
    std::uint64_t total = 0;
    std::uint64_t flags = 0;
    for (std::uint32_t j = 0; j < count; ++j) {
        total += verdicts[j];
        flags |= verdicts[j];
    }
    if ((flags & hard_flag) == 0) return units + (total - count * verdict_bias);
    for (std::uint32_t j = 0; j < count; ++j) {
        if (is_hard(verdicts[j]))
            units = to_units(leibniz_step(from_units(units), sign_factors[j], first + j));
        else
            units += increment_of(verdicts[j]);
    }
    return units;
}

// A block with hard lanes: the increments in order. The hard lanes are few
// (about one block in five has one), so the block goes group by group.
std::uint64_t add_in_order(std::uint64_t units, const std::uint64_t* verdicts, const double* sign_factors,
                           std::uint32_t first, std::uint32_t n)
{
    constexpr std::uint32_t group = 32;
    for (std::uint32_t start = 0; start < n; start += group) {
        const std::uint32_t count = smaller(group, n - start);
        const std::uint64_t* group_verdicts = verdicts + start;
        const double* group_signs = sign_factors + start;
        // A constant length for every whole group, so that its pass vectorises.
        units = count == group ? add_group(units, group_verdicts, group_signs, first + start, group)
                               : add_group(units, group_verdicts, group_signs, first + start, count);
    }
    return units;
}

// With the alternating sign factors the block's change is the sum of the
// increments, exact modulo 2^64. Any other sign factor sends the block to the
// exact step: the program never meets one, and it may be any value.
template <class Lanes>
double add_lanes(double sum, const double* sign_factors, std::uint32_t first, std::uint32_t n)
{
    alignas(64) std::uint64_t verdicts[lanes]; // NOLINT(cppcoreguidelines-pro-type-member-init): written below
    const block_summary summary = settle_lanes<Lanes>(sign_factors, first, n, verdicts);
    if (summary.other_sign_seen != 0) return exact_steps(sum, sign_factors, first, n);
    const std::uint64_t units = to_units(sum);
    if (!is_hard(summary.verdicts_ored)) return from_units(units + (summary.total - n * verdict_bias));
    return from_units(add_in_order(units, verdicts, sign_factors, first, n));
}

// Terms first .. first + n - 1, n <= lanes.
double add_block(double sum, const double* sign_factors, std::uint32_t first, std::uint32_t n)
{
    const std::uint64_t bits = bits_of(sum);
    const bool in_binade = (bits & ~(two_52 - 1)) == binade_bits; // positive, in [2, 4)
    if (first < 2 || !in_binade || !stays_in_binade(to_units(sum), first, n))
        return exact_steps(sum, sign_factors, first, n);
    return with_lanes_for(first, [=](auto lanes_kind) {
        return add_lanes<decltype(lanes_kind)>(sum, sign_factors, first, n);
    });
}

// first + n <= largest_end, the preconditions of both entry points.
constexpr std::uint64_t largest_end = std::uint64_t{1} << 31;

double sum_terms(double sum, std::uint32_t first, std::uint32_t n, const double* sign_factors)
{
    assert(std::uint64_t{first} + n <= largest_end);
    alignas(64) double power_results[lanes]; // NOLINT(cppcoreguidelines-pro-type-member-init): written below
    for (std::uint32_t done = 0; done < n;) {
        const std::uint32_t block_first = first + done;
        const std::uint32_t m = smaller(lanes, n - done);
        const double* signs = sign_factors != nullptr ? sign_factors + done : power_results;
        if (sign_factors == nullptr) {
            // The base -1 read from memory for each call, straight into the
            // argument's register. As a constant, GCC builds it for each call
            // in a general register and then moves it over (x86-64: mov, movq),
            // and on an AMD Zen 5 that made every call slower: the whole
            // program by 4 % of the floor, the floor itself by 2 %
            // (bench/README.md). The floor makes its calls the same way.
            volatile const double minus_one = -1.0;
            // One call a turn, as a plain loop over the calls has it: unrolled,
            // this loop made the calls of MinGW-w64's 32-bit pow far slower.
#if defined(__GNUC__)
#pragma GCC unroll 1
#endif
            for (std::uint32_t j = 0; j < m; ++j)
                power_results[j] = std::pow(minus_one, static_cast<double>(block_first + j));
        }
        sum = add_block(sum, signs, block_first, m);
        done += m;
    }
    return sum;
}

void lane_verdicts(std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts)
{
    assert(first >= 2 && std::uint64_t{first} + n <= largest_end);
    for (std::uint32_t done = 0; done < n; done += lanes) {
        const std::uint32_t block_first = first + done;
        const std::uint32_t m = smaller(lanes, n - done);
        const double* signs = alternating.factor[block_first & 1U];
        with_lanes_for(block_first, [=](auto lanes_kind) {
            return settle_lanes<decltype(lanes_kind)>(signs, block_first, m, verdicts + done);
        });
    }
}

} // namespace

} // namespace pigreco
