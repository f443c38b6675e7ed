// One kernel: CMakeLists.txt compiles this file once per instruction set
// (pigreco_kernel), naming the function through PIGRECO_KERNEL_FUNCTION;
// kernels.cpp lists the builds.
#include "kernels.hpp"
#include "term_increments.hpp"

namespace pigreco {

increments_summary PIGRECO_KERNEL_FUNCTION(const double* sign_factors, std::uint32_t first, std::size_t n,
                                           std::uint64_t* increments)
{
    return term_increments(sign_factors, first, n, increments);
}

} // namespace pigreco
