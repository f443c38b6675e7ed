#include "double_only_sum.hpp"

namespace pigreco::web {

// WebAssembly's f64 operations round to nearest with no excess precision, and
// the build contracts nothing into a fused multiply-add, so each operation
// below is one rounding to double in every browser. The sign is exact either
// way: flipping it, rather than calling pow as the program does, only saves time.
double double_only_sum_further(double sum, std::uint32_t first, std::uint32_t n)
{
    const std::uint32_t end = first + n;
    for (std::uint32_t i = first; i != end; ++i) {
        const double numerator = (i % 2 == 0) ? 4.0 : -4.0;
        // 2i + 1 < 2^32 is exact in a double.
        const double denominator = 2.0 * static_cast<double>(i) + 1.0;
        sum += numerator / denominator;
    }
    return sum;
}

} // namespace pigreco::web
