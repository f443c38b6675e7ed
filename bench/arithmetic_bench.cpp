// The per-term cost of pigreco's arithmetic alone, without the std::pow calls:
// add_terms over one block of sign factors, against the plain long double loop
// (the hardware doing the same arithmetic) and against leibniz_step (the exact
// scalar reference that add_terms falls back on), at small and large indices.
// Each benchmark feeds its result back as the next block's starting sum, as
// the program does, so the latency of the chain is part of the measurement.
// One timed iteration runs over many consecutive blocks: the terms that need
// add_terms's exact step are a share of about the window's width
// (src/kernels.hpp), and a single block repeated would have either none or one
// in every pass, neither of which the program sees.
#include <benchmark/benchmark.h>

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "add_terms.hpp"
#include "double_bits.hpp"
#include "kernels.hpp"
#include "series_helpers.hpp"

namespace {

// A sum in [2, 4), where the series spends all but its first few terms and
// where add_terms takes its fast path.
constexpr double starting_sum = 3.14159265358979;

// Spans start near 10^6 and near 2 * 10^9, added in calls of the block size
// that pigreco uses and of four blocks.
const std::vector<std::int64_t> first_indices = {1000000, 2000000000};
const std::vector<std::int64_t> block_sizes = {static_cast<std::int64_t>(pigreco::block_size),
                                               static_cast<std::int64_t>(pigreco_test::four_blocks)};

// Terms per timed iteration: a whole number of blocks of either size, with
// some fifty terms that need the exact step among them.
constexpr std::uint32_t span = 65536;
static_assert(span % pigreco_test::four_blocks == 0);

#if LDBL_MANT_DIG == 64
double x87_block(double sum, const std::vector<double>& signs, std::uint32_t first)
{
    for (std::size_t j = 0; j < signs.size(); ++j)
        sum = pigreco_test::x87_leibniz_step(sum, signs[j], first + static_cast<std::uint32_t>(j));
    return sum;
}
#endif

double fast_block(double sum, const std::vector<double>& signs, std::uint32_t first)
{
    return pigreco::add_terms(sum, signs.data(), first, signs.size());
}

using block_function = double (*)(double, const std::vector<double>&, std::uint32_t);

// The span of terms first .. first + span - 1 added block by block. The
// block sizes are even, so every block starts with the same sign factors.
double add_span(double sum, block_function add_block, const std::vector<double>& signs, std::uint32_t first)
{
    const auto n = static_cast<std::uint32_t>(signs.size());
    for (std::uint32_t offset = 0; offset < span; offset += n) sum = add_block(sum, signs, first + offset);
    return sum;
}

// Times one way of adding the span. Before timing, the span is summed once
// the exact way: a timing of code that gives other digits would mean nothing.
void time_span(benchmark::State& state, block_function add_block)
{
    const auto first = static_cast<std::uint32_t>(state.range(0));
    const auto n = static_cast<std::size_t>(state.range(1));
    const std::vector<double> signs = pigreco_test::alternating_signs(first, n);
    if (pigreco::bits_of(add_span(starting_sum, add_block, signs, first)) !=
        pigreco::bits_of(add_span(starting_sum, pigreco_test::exact_sum, signs, first))) {
        state.SkipWithError("the sum differs from the exact step's");
        return;
    }

    double sum = starting_sum;
    for (auto _ : state) {
        sum = add_span(sum, add_block, signs, first);
        benchmark::DoNotOptimize(sum);
    }
    const auto terms = static_cast<std::int64_t>(state.iterations()) * span;
    state.SetItemsProcessed(terms);
    state.counters["time_per_term"] = benchmark::Counter(static_cast<double>(terms), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel(std::string("kernel ") + pigreco::chosen_kernel().name);
}

void add_terms_fast(benchmark::State& state) { time_span(state, fast_block); }
void leibniz_step_exact(benchmark::State& state) { time_span(state, pigreco_test::exact_sum); }
#if LDBL_MANT_DIG == 64
void long_double_x87(benchmark::State& state) { time_span(state, x87_block); }
#endif

BENCHMARK(add_terms_fast)->ArgsProduct({first_indices, block_sizes})->ArgNames({"first", "n"});
#if LDBL_MANT_DIG == 64
BENCHMARK(long_double_x87)->ArgsProduct({first_indices, block_sizes})->ArgNames({"first", "n"});
#endif
BENCHMARK(leibniz_step_exact)->ArgsProduct({first_indices, block_sizes})->ArgNames({"first", "n"});

} // namespace
