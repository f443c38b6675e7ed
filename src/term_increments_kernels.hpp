// The builds of term_increments for each instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pigreco {

struct increments_summary;

using increments_kernel = increments_summary (*)(const double*, std::uint32_t, std::size_t, std::uint64_t*);

increments_summary term_increments_generic(const double* sign_factors, std::uint32_t first, std::size_t n,
                                           std::uint64_t* increments);
#if defined(PIGRECO_X86_KERNELS)
increments_summary term_increments_avx2(const double* sign_factors, std::uint32_t first, std::size_t n,
                                        std::uint64_t* increments);
increments_summary term_increments_avx512(const double* sign_factors, std::uint32_t first, std::size_t n,
                                          std::uint64_t* increments);
#endif

} // namespace pigreco
