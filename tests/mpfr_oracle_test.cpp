// The two rounded operations against MPFR, a correctly rounded library, at
// 64-bit precision. The operands cover everything the summation can meet:
//  - terms +-4/d for every odd d = 2i + 1 < 2^32 (i < 2^31), that is
//    magnitudes in (2^-30, 4];
//  - running sums 0 (before the first term), 4 (after it) and then the
//    partial sums, which never leave [8/3, 52/15] (the second and third
//    partial sums bound all later ones, and the rounding errors, below
//    2^31 * 2^-52, cannot reach those bounds): so every double in [2, 4];
//  - plus arbitrary 64-bit terms of those magnitudes whose low bits are
//    forced into ties and near-ties of either rounding.
#include <cstdint>
#include <random>

#include <gmp.h>
#include <mpfr.h>

#include <gtest/gtest.h>

#include "extended.hpp"
#include "leibniz_step.hpp"

static_assert(sizeof(unsigned long) == 8, "the significands pass through unsigned long");

namespace {

using pigreco::extended;

constexpr int cases = 1000000;

class Mpfr {
public:
    Mpfr() { mpfr_init2(value_, 64); }
    ~Mpfr() { mpfr_clear(value_); }
    Mpfr(const Mpfr&) = delete;
    Mpfr& operator=(const Mpfr&) = delete;
    mpfr_ptr get() { return value_; }

    void set(const extended& x)
    {
        mpfr_set_ui_2exp(value_, x.significand, x.exponent, MPFR_RNDN); // exact: 64 bits
        if (x.negative) mpfr_neg(value_, value_, MPFR_RNDN);
    }

    extended to_extended()
    {
        if (mpfr_zero_p(value_)) return {};
        mpz_t z;
        mpz_init(z);
        const mpfr_exp_t exponent = mpfr_get_z_2exp(z, value_);
        const bool negative = mpz_sgn(z) < 0;
        mpz_abs(z, z);
        const extended x{negative, static_cast<int>(exponent), mpz_get_ui(z)};
        mpz_clear(z);
        return x;
    }

private:
    mpfr_t value_;
};

extended mpfr_quotient(double numerator, std::uint32_t divisor)
{
    Mpfr q;
    mpfr_set_d(q.get(), numerator, MPFR_RNDN);
    mpfr_div_ui(q.get(), q.get(), divisor, MPFR_RNDN);
    return q.to_extended();
}

struct mpfr_sum {
    extended wide;  // rounded to 64 bits
    double rounded; // then to 53
};

mpfr_sum mpfr_add(double sum, const extended& term)
{
    Mpfr s;
    Mpfr t;
    mpfr_set_d(s.get(), sum, MPFR_RNDN);
    t.set(term);
    mpfr_add(s.get(), s.get(), t.get(), MPFR_RNDN);
    return {s.to_extended(), mpfr_get_d(s.get(), MPFR_RNDN)};
}

std::uint32_t random_index(std::mt19937_64& random)
{
    // Uniform over the whole range, and weighted towards small indices,
    // where the terms are large and their low bits are few.
    const std::uint64_t bits = random();
    const int width = static_cast<int>(bits % 32) + 1;
    return static_cast<std::uint32_t>((bits >> 8) & ((std::uint64_t{1} << width) - 1)) & 0x7FFFFFFFU;
}

double random_sum(std::mt19937_64& random)
{
    // Any double in [2, 4): exponent 1, random fraction bits.
    return 2.0 + static_cast<double>(random() >> 11) * 0x1p-52;
}

TEST(MpfrOracle, QuotientsOfEveryKind)
{
    std::mt19937_64 random(1);
    for (int k = 0; k < cases; ++k) {
        // First the edges: indices 2^k - 1 and the largest ones.
        const std::uint32_t i = k < 31   ? (1U << k) - 1
                                : k < 62 ? 0x7FFFFFFFU - static_cast<std::uint32_t>(k - 31)
                                         : random_index(random);
        const std::uint32_t d = 2 * i + 1;
        const double numerator = (k % 2 == 0) ? 4.0 : -4.0;
        const extended ours = pigreco::divide(pigreco::to_extended(numerator), d);
        ASSERT_EQ(ours, mpfr_quotient(numerator, d)) << numerator << " / " << d;
    }
}

TEST(MpfrOracle, SeriesStepsOnReachableOperands)
{
    std::mt19937_64 random(2);
    for (int k = 0; k < cases; ++k) {
        const std::uint32_t i = random_index(random) | 1U; // i >= 1: the sum is then in [2, 4]
        const double sum = k % 1000 == 0 ? 4.0 : random_sum(random);
        const double sign = (i % 2 == 0) ? 1.0 : -1.0;
        const extended term = pigreco::divide(pigreco::to_extended(4.0 * sign), 2 * i + 1);
        const mpfr_sum expected = mpfr_add(sum, term);
        ASSERT_EQ(pigreco::add(pigreco::to_extended(sum), term), expected.wide) << sum << " + term " << i;
        ASSERT_EQ(pigreco::leibniz_step(sum, sign, i), expected.rounded) << sum << " + term " << i;
    }
    EXPECT_EQ(pigreco::leibniz_step(0.0, 1.0, 0), 4.0);
}

// Terms with arbitrary significands whose low bits put the exact sum on, or
// one unit beside, the midpoints of the 64-bit and the 53-bit roundings.
TEST(MpfrOracle, ConstructedTiesAndNearTies)
{
    std::mt19937_64 random(3);
    for (int k = 0; k < cases; ++k) {
        const double sum = random_sum(random);
        const int exponent = -93 + static_cast<int>(random() % 33); // |term| in [2^-30, 2)
        std::uint64_t significand = random() | (std::uint64_t{1} << 63);
        // The term's bits below 2^-62 (there are -62 - exponent of them) and
        // the eleven bits above that decide the two roundings of sum + term.
        const int below = -62 - exponent;
        const std::uint64_t one = std::uint64_t{1};
        if (below > 0 && k % 3 != 2) {
            const std::uint64_t half = one << (below - 1);
            const std::uint64_t pattern = k % 3 == 0 ? half : half + (random() % 2 == 0 ? 1 : -1);
            significand = (significand & ~((one << below) - 1)) | (pattern & ((one << below) - 1));
        }
        if (k % 2 == 0) {
            const int grid = below > 0 ? below : 0; // position of 2^-62 in the significand
            const int tie_bits = 11 - (below < 0 ? -below : 0);
            if (tie_bits > 0 && grid + tie_bits < 63) {
                const std::uint64_t field = ((one << tie_bits) - 1) << grid;
                const std::uint64_t middle = (one << (tie_bits - 1)) << grid;
                significand = (significand & ~field) | middle;
            }
        }
        const extended term{random() % 2 == 0, exponent, significand | (one << 63)};
        const mpfr_sum expected = mpfr_add(sum, term);
        const extended ours = pigreco::add(pigreco::to_extended(sum), term);
        ASSERT_EQ(ours, expected.wide) << sum << " + " << significand << " * 2^" << exponent;
        ASSERT_EQ(pigreco::to_double(ours), expected.rounded) << sum << " + " << significand << " * 2^" << exponent;
    }
}

} // namespace
