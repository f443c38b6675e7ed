// Adds a block of consecutive Leibniz terms to a running sum, given the sign
// factor of each term: bit for bit the same as calling leibniz_step once per
// term, in order, but fast in the common case.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pigreco {

// Largest block that add_terms takes at once.
inline constexpr std::size_t max_block = 1024;

// Terms of indices first .. first + n - 1 (first + n <= 2^31, n <= max_block).
double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n);

// Which instruction set the fast path was built for and chosen at run time.
const char* add_terms_variant();

} // namespace pigreco
