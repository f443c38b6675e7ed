#include "add_terms.hpp"

#include <cassert>

namespace pigreco {

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n, const kernel& with)
{
    // The count fits in 32 bits: first + n <= 2^31.
    assert(first <= (std::uint32_t{1} << 31) && n <= (std::uint32_t{1} << 31) - first);
    return with.sum(sum, first, static_cast<std::uint32_t>(n), sign_factors);
}

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n)
{
    return add_terms(sum, sign_factors, first, n, chosen_kernel());
}

} // namespace pigreco
