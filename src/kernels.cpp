#include "kernels.hpp"

#include <algorithm>
#include <array>

namespace pigreco {

// The builds, each made by one pigreco_kernel() line of CMakeLists.txt, which
// also defines PIGRECO_HAS_KERNEL_<NAME> for this file. A new kernel is that
// line, a declaration here, a line in the table below and, unless it runs on
// every CPU of its target, the check of what it needs.
sum_function sum_terms_generic;
lanes_function lane_verdicts_generic;
#if defined(PIGRECO_HAS_KERNEL_SSE2)
sum_function sum_terms_sse2;
lanes_function lane_verdicts_sse2;
#endif
#if defined(PIGRECO_HAS_KERNEL_AVX2)
sum_function sum_terms_avx2;
lanes_function lane_verdicts_avx2;
#endif
#if defined(PIGRECO_HAS_KERNEL_AVX512)
sum_function sum_terms_avx512;
lanes_function lane_verdicts_avx512;
#endif

namespace {

bool runs_anywhere() { return true; }

// GCC's and Clang's CPU checks: the x86 builds exist only with those compilers.
#if defined(PIGRECO_HAS_KERNEL_SSE2)
bool has_sse2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}
#endif

#if defined(PIGRECO_HAS_KERNEL_AVX2) || defined(PIGRECO_HAS_KERNEL_AVX512)
bool has_avx2_and_fma()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}
#endif

#if defined(PIGRECO_HAS_KERNEL_AVX512)
bool has_avx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512vl") && has_avx2_and_fma();
}
#endif

// From the most portable to the fastest: the run-time choice takes the last
// one that this CPU runs.
constexpr std::array built_kernels{
    kernel{"generic", sum_terms_generic, lane_verdicts_generic, runs_anywhere},
#if defined(PIGRECO_HAS_KERNEL_SSE2)
    kernel{"sse2", sum_terms_sse2, lane_verdicts_sse2, has_sse2},
#endif
#if defined(PIGRECO_HAS_KERNEL_AVX2)
    kernel{"avx2", sum_terms_avx2, lane_verdicts_avx2, has_avx2_and_fma},
#endif
#if defined(PIGRECO_HAS_KERNEL_AVX512)
    kernel{"avx512", sum_terms_avx512, lane_verdicts_avx512, has_avx512},
#endif
};

// The kernel that the build forces, or "" to let the CPU decide.
#if defined(PIGRECO_FORCED_KERNEL)
constexpr std::string_view forced_by_build = PIGRECO_FORCED_KERNEL;
#else
constexpr std::string_view forced_by_build;
#endif
static_assert(forced_by_build.empty() || std::any_of(built_kernels.begin(), built_kernels.end(),
                                                     [](const kernel& k) { return k.name == forced_by_build; }),
              "the forced kernel is not built for this target");

} // namespace

std::span<const kernel> kernels() { return built_kernels; }

const kernel& choose_kernel(std::span<const kernel> table, std::string_view forced)
{
    const kernel* choice = table.data();
    for (const kernel& k : table) {
        if (forced.empty() ? k.runs_here() : k.name == forced) choice = &k;
    }
    return *choice;
}

const kernel& chosen_kernel()
{
    static const kernel& choice = choose_kernel(built_kernels, forced_by_build);
    return choice;
}

} // namespace pigreco
