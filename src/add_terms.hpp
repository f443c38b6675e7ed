// Adds consecutive Leibniz terms to a running sum, given the sign factor of
// each term: bit for bit the same as calling leibniz_step once per term, in
// order, but fast in the common case. The block pass of a kernel does the
// work; the program itself calls it with the power results it makes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kernels.hpp"

namespace pigreco {

// Terms of indices first .. first + n - 1 (first + n <= 2^31), by the block
// pass of the kernel given, which must run here.
double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n, const kernel& with);

// The same with the kernel that the program uses, chosen_kernel().
double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n);

} // namespace pigreco
