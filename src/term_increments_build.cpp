// One build of term_increments; CMakeLists.txt compiles this file once per
// instruction set, naming the function through PIGRECO_KERNEL_NAME.
#include "term_increments.hpp"
#include "term_increments_kernels.hpp"

namespace pigreco {

increments_summary PIGRECO_KERNEL_NAME(const double* sign_factors, std::uint32_t first, std::size_t n,
                                       std::uint64_t* increments)
{
    return term_increments(sign_factors, first, n, increments);
}

} // namespace pigreco
