#include "both_sums.hpp"

#include <algorithm>
#include <cmath>

#include "kernels.hpp"

namespace pigreco::web {

// The double-only sum costs a division a term, which alone would slow the
// page's sum by about a fifth. So it takes its sign from the program's power
// calls, made here, one per term and in order, and handed to the kernel: the
// division then runs while the processor is busy with the next call, and costs
// next to nothing. WebAssembly's f64 operations round to nearest with no
// excess precision, and the build contracts nothing into a fused
// multiply-add, so each operation on `double_only` is one rounding to double
// in every browser.
both_sums both_sums_further(both_sums sums, std::uint32_t first, std::uint32_t n)
{
    const pigreco::kernel& kernel = pigreco::chosen_kernel();
    double signs[pigreco::block_size];
    for (std::uint32_t done = 0; done < n;) {
        const std::uint32_t block_first = first + done;
        const std::uint32_t m = std::min(pigreco::block_size, n - done);
        for (std::uint32_t j = 0; j < m; ++j) {
            const double index = static_cast<double>(block_first + j);
            signs[j] = std::pow(-1.0, index);
            // 2i + 1 < 2^32 and ±4 are exact.
            sums.double_only += (signs[j] * 4.0) / (2.0 * index + 1.0);
        }
        // Blocks that start where the program's would, at multiples of
        // block_size from `first` on, with the sign factors of the same calls.
        sums.program = kernel.sum(sums.program, block_first, m, signs);
        done += m;
    }
    return sums;
}

} // namespace pigreco::web
