// One kernel: CMakeLists.txt compiles this file once per instruction set
// (pigreco_kernel), naming the build through PIGRECO_KERNEL; kernels.cpp
// lists the builds. These two functions are all that the object exports
// (block_pass.hpp says why).
#include "block_pass.hpp"
#include "kernels.hpp"

#define PIGRECO_PASTE(a, b) a##b
#define PIGRECO_NAMED(prefix, name) PIGRECO_PASTE(prefix, name)

namespace pigreco {

sum_function PIGRECO_NAMED(sum_terms_, PIGRECO_KERNEL);
lanes_function PIGRECO_NAMED(lane_verdicts_, PIGRECO_KERNEL);

double PIGRECO_NAMED(sum_terms_, PIGRECO_KERNEL)(double sum, std::uint32_t first, std::uint32_t n,
                                                 const double* sign_factors)
{
    return sum_terms(sum, first, n, sign_factors);
}

void PIGRECO_NAMED(lane_verdicts_, PIGRECO_KERNEL)(std::uint32_t first, std::uint32_t n, std::uint64_t* verdicts)
{
    lane_verdicts(first, n, verdicts);
}

} // namespace pigreco
