#include "add_terms.hpp"

namespace pigreco {

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n, const kernel& with)
{
    return with.sum(sum, first, static_cast<std::uint32_t>(n), sign_factors);
}

double add_terms(double sum, const double* sign_factors, std::uint32_t first, std::size_t n)
{
    return add_terms(sum, sign_factors, first, n, chosen_kernel());
}

} // namespace pigreco
