// One term of the Leibniz series added to the running sum, exactly as the
// program defines it: term = sign_factor * 4 / (2 * index + 1) with a 64-bit
// significand, new sum = term + sum with a 64-bit significand, then rounded to
// a double. This is the reference that the fast summation must reproduce.
#pragma once

#include <cstdint>

namespace pigreco {

// index < 2^31, so the denominator 2 * index + 1 fits in 32 bits.
double leibniz_step(double sum, double sign_factor, std::uint32_t index);

} // namespace pigreco
