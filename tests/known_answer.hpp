// A count and the partial sum it must give, every bit known; compared as bit
// patterns, since a wrong last bit is a wrong program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "double_bits.hpp"
#include "leibniz_sum.hpp"

namespace pigreco_test {

struct known_answer {
    std::int32_t count;
    double sum;
};

// The largest count, 2^31 - 1 terms: established once by an x87 `long double`
// loop and an MPFR loop at 64-bit precision, which agree.
inline constexpr known_answer largest_count{2147483647, 0x1.921fb54541bcbp+1};

inline std::string hex(double x)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", x);
    return text;
}

inline void expect_sum(const known_answer& answer)
{
    const double sum = pigreco::leibniz_sum(answer.count);
    EXPECT_EQ(pigreco::bits_of(sum), pigreco::bits_of(answer.sum))
        << "count " << answer.count << ": got " << hex(sum) << ", want " << hex(answer.sum);
}

} // namespace pigreco_test
