// Every count from 0 to 2147483647 through the block path, against the x87
// unit. The terms are taken in order, a stretch at a time: each index's sign
// factor from one std::pow(-1.0, i) call, and the x87 unit's partial sum
// after it. Every kernel this CPU runs then adds the same terms with
// add_terms, in blocks of the program's size and in blocks of 1000, and must
// give the x87 sum bit for bit at the end of every block. Every count inside
// the program's blocks is checked too, one of two ways:
//  - as the program reaches it, the block path from the block's start for m
//    terms, for each m: in every block that holds a term taking the exact
//    step, in those of the first 2^20 terms and in one in 256 of the rest,
//    drawn with a fixed seed;
//  - term by term in every other block: the increment that the kernel gives
//    each term must be the step between the x87 sums before and after it.
// At the end every sum must be the largest count's known answer.
//
// The power calls and the kernels' work are spread over the CPU's threads;
// the x87 sum is one chain. Built only where `long double` is the x87 format.
// For a quick run, a smaller last count or one kernel:
//   exhaustive_tests [GoogleTest flags] [--kernel=NAME] [LAST_COUNT]
#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "add_terms.hpp"
#include "double_bits.hpp"
#include "kernels.hpp"
#include "known_answer.hpp"
#include "lane_rules.hpp"
#include "series_helpers.hpp"

static_assert(std::numeric_limits<long double>::digits == 64);

namespace {

using pigreco_test::hex;
using clock_type = std::chrono::steady_clock;

constexpr auto largest_count = static_cast<std::uint32_t>(pigreco_test::largest_count.count);

// Set by the command line.
std::uint32_t last_count = largest_count;
std::string_view only_kernel; // empty: every kernel this CPU runs

constexpr std::size_t other_block = 1000;
static_assert(other_block != pigreco::block_size);

// Indices taken at once: a whole number of blocks of either size, so that a
// block never straddles two stretches; about a million, 16 MB of signs and
// sums, so that starting the threads once a stretch costs nothing.
constexpr std::size_t common_multiple = std::lcm(pigreco::block_size, other_block);
constexpr std::size_t stretch_length = common_multiple * std::max<std::size_t>(1, (std::size_t{1} << 20) / common_multiple);

// Of the program's blocks without a term that takes the exact step, one in
// this many, drawn with this seed, has every count inside it checked through
// the block path.
constexpr std::uint64_t sample_one_in = 256;
constexpr std::uint64_t sample_seed = 20261209;

// So have the blocks below this index: there the block path may leave whole
// blocks to the exact step, and the kernels leave more terms to it than those
// that need it, so an increment per term says less.
constexpr std::uint32_t early_indices = std::uint32_t{1} << 20;

// Failures shown per kernel; the rest are only counted.
constexpr std::uint64_t failures_shown = 10;

bool same_bits(double a, double b) { return pigreco::bits_of(a) == pigreco::bits_of(b); }

double seconds(clock_type::duration d) { return std::chrono::duration<double>(d).count(); }

// Runs task(0) .. task(count - 1), each once, on all of the CPU's threads.
template <class Task> void in_parallel(std::size_t count, const Task& task)
{
    std::atomic<std::size_t> next{0};
    const auto take_tasks = [&] {
        for (std::size_t i = next++; i < count; i = next++) task(i);
    };
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(take_tasks);
    take_tasks();
} // the helpers join here

// The indices begin .. end - 1: the sign factor of each, the x87 unit's sum
// at every count from begin to end, and the program's blocks inside which
// every count is to be checked through the block path.
struct stretch {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    std::vector<double> signs = std::vector<double>(stretch_length);
    std::vector<double> sums = std::vector<double>(stretch_length + 1);
    std::size_t blocks = 0; // of the program's size; the last may be shorter
    std::vector<char> has_exact_step = std::vector<char>(stretch_length / pigreco::block_size + 1); // per block
    std::vector<char> inside = std::vector<char>(stretch_length / pigreco::block_size + 1); // checked through the path
    std::vector<std::uint32_t> checked_inside; // the first index of each such block
    std::uint64_t blocks_with_exact_steps = 0; // totals over the stretches so far
    std::uint64_t blocks_early = 0;
    std::uint64_t blocks_drawn = 0;

    [[nodiscard]] const double* signs_from(std::uint32_t index) const { return signs.data() + (index - begin); }
    [[nodiscard]] double x87_sum(std::uint32_t count) const { return sums[count - begin]; }
    [[nodiscard]] std::uint32_t block_first(std::size_t b) const
    {
        return begin + static_cast<std::uint32_t>(b * pigreco::block_size);
    }
    [[nodiscard]] std::uint32_t program_block_end(std::uint32_t first) const
    {
        return first + static_cast<std::uint32_t>(std::min<std::size_t>(pigreco::block_size, end - first));
    }
};

// Moves on to the stretch after this one, ending at last_count at the latest.
void take_next_stretch(stretch& s, std::mt19937_64& draw)
{
    const double sum_so_far = s.begin == s.end ? 0.0 : s.x87_sum(s.end);
    s.begin = s.end;
    s.end = s.begin + static_cast<std::uint32_t>(std::min<std::size_t>(stretch_length, last_count - s.begin));
    s.blocks = (s.end - s.begin + pigreco::block_size - 1) / pigreco::block_size;
    // Per program block: its power calls and whether it holds an exact step.
    in_parallel(s.blocks, [&s](std::size_t b) {
        const std::uint32_t first = s.block_first(b);
        bool exact_step = false;
        for (std::uint32_t i = first; i < s.program_block_end(first); ++i) {
            s.signs[i - s.begin] = std::pow(-1.0, static_cast<double>(i));
            exact_step = exact_step || pigreco_test::needs_exact_step(i);
        }
        s.has_exact_step[b] = exact_step ? 1 : 0;
    });
    double sum = sum_so_far;
    s.sums[0] = sum;
    for (std::uint32_t i = s.begin; i < s.end; ++i) {
        sum = pigreco_test::x87_leibniz_step(sum, s.signs[i - s.begin], i);
        s.sums[i - s.begin + 1] = sum;
    }
    s.checked_inside.clear();
    for (std::size_t b = 0; b < s.blocks; ++b) {
        const bool drawn = draw() % sample_one_in == 0; // a draw for every block, so the sample is fixed
        const bool exact_step = s.has_exact_step[b] != 0;
        const bool early = s.block_first(b) < early_indices;
        s.inside[b] = exact_step || early || drawn ? 1 : 0;
        if (s.inside[b] != 0) s.checked_inside.push_back(s.block_first(b));
        s.blocks_with_exact_steps += exact_step ? 1 : 0;
        s.blocks_early += !exact_step && early ? 1 : 0;
        s.blocks_drawn += !exact_step && !early && drawn ? 1 : 0;
    }
}

// What one piece of work on a stretch found; pieces run on different
// threads, so each has its own.
struct findings {
    std::uint64_t wrong = 0; // counts whose sum differs from the x87 unit's
    std::uint64_t counts_checked_inside = 0;   // through the block path
    std::uint64_t counts_checked_by_terms = 0; // by each term's increment
    std::vector<std::string> failures; // the first few, described
    clock_type::duration time{};

    void wrong_sum(const std::string& where, std::uint32_t count, double got, double want)
    {
        if (++wrong <= failures_shown)
            failures.push_back(where + ": count " + std::to_string(count) + " gives " + hex(got) + ", the x87 unit " +
                               hex(want));
    }
};

// The terms first .. first + m - 1 from the x87 unit's sum at count first.
double block_path(const pigreco::kernel& k, const stretch& s, std::uint32_t first, std::size_t m)
{
    return pigreco::add_terms(s.x87_sum(first), s.signs_from(first), first, m, k);
}

// Which count inside the block first .. first + n - 1 is the first wrong one.
std::string first_wrong_inside(const pigreco::kernel& k, const stretch& s, std::uint32_t first, std::size_t n)
{
    for (std::size_t m = 1; m < n; ++m) {
        const auto count = first + static_cast<std::uint32_t>(m);
        if (!same_bits(block_path(k, s, first, m), s.x87_sum(count)))
            return "the first wrong count is " + std::to_string(count);
    }
    return "every count before it is right";
}

// One kernel adding the terms in blocks of one size from count 0 on, the sum
// compared after every block. After a wrong block it goes on from the x87
// sum, so that each wrong block is found.
struct chained_blocks {
    std::size_t block;
    double sum = 0.0;
    std::uint64_t blocks = 0;

    void run(const pigreco::kernel& k, const stretch& s, findings& f)
    {
        for (std::uint32_t first = s.begin; first < s.end;) {
            const std::size_t n = std::min<std::size_t>(block, s.end - first);
            sum = pigreco::add_terms(sum, s.signs_from(first), first, n, k);
            ++blocks;
            const auto count = first + static_cast<std::uint32_t>(n);
            if (!same_bits(sum, s.x87_sum(count))) {
                f.wrong_sum("blocks of " + std::to_string(block) + " (the block from " + std::to_string(first) + ": " +
                                first_wrong_inside(k, s, first, n) + ")",
                            count, sum, s.x87_sum(count));
                sum = s.x87_sum(count);
            }
            first = count;
        }
    }
};

// Every count inside the program's block from first, through the block path.
void check_inside(const pigreco::kernel& k, const stretch& s, std::uint32_t first, findings& f)
{
    for (std::uint32_t count = first + 1; count <= s.program_block_end(first); ++count) {
        const double sum = block_path(k, s, first, count - first);
        ++f.counts_checked_inside;
        if (!same_bits(sum, s.x87_sum(count)))
            f.wrong_sum("inside the block from " + std::to_string(first), count, sum, s.x87_sum(count));
    }
}

// The program's other blocks term by term: the increment that the kernel
// gives each term, for the whole block, must be the step from the x87 sum
// before it to the one after, in units of their last place (from count 2 on
// every sum lies in [2, 4)). The block path adds those increments, and the
// block's end is checked by the block passes; a block where the kernel leaves
// a term to the exact step, or where a sign factor is not +1 or -1, is
// checked through the block path instead.
void check_terms(const pigreco::kernel& k, const stretch& s, findings& f)
{
    std::vector<std::uint64_t> verdicts(pigreco::block_size);
    for (std::size_t b = 0; b < s.blocks; ++b) {
        if (s.inside[b] != 0) continue;
        const std::uint32_t first = s.block_first(b);
        const auto n = static_cast<std::uint32_t>(s.program_block_end(first) - first);
        const double* signs = s.signs_from(first);
        k.lanes(first, n, verdicts.data());
        const bool settled = std::none_of(verdicts.begin(), verdicts.begin() + n, pigreco::is_hard) &&
                             std::all_of(signs, signs + n, [](double sign) { return sign == 1.0 || sign == -1.0; });
        if (!settled) {
            check_inside(k, s, first, f);
            continue;
        }
        for (std::uint32_t j = 0; j < n; ++j) {
            const std::uint32_t count = first + j + 1;
            // The verdict is the increment for the sign factor of the index's parity.
            const bool as_alternating = (signs[j] > 0) == ((first + j) % 2 == 0);
            const std::uint64_t increment = as_alternating ? pigreco::increment_of(verdicts[j])
                                                           : 0 - pigreco::increment_of(verdicts[j]);
            const std::uint64_t before = pigreco_test::to_units(s.x87_sum(count - 1));
            ++f.counts_checked_by_terms;
            if (before + increment != pigreco_test::to_units(s.x87_sum(count)))
                f.wrong_sum("the increment of term " + std::to_string(count - 1), count,
                            pigreco_test::from_units(before + increment), s.x87_sum(count));
        }
    }
}

// One kernel over the whole range: its two block passes and what it found.
struct kernel_run {
    explicit kernel_run(const pigreco::kernel& k) : kernel(k) {}

    pigreco::kernel kernel;
    chained_blocks program_blocks{pigreco::block_size};
    chained_blocks other_blocks{other_block};
    findings found;

    void add(const findings& f)
    {
        for (const std::string& failure : f.failures) {
            if (found.failures.size() == failures_shown) break;
            ADD_FAILURE() << kernel.name << ", " << failure;
            found.failures.push_back(failure);
        }
        found.wrong += f.wrong;
        found.counts_checked_inside += f.counts_checked_inside;
        found.counts_checked_by_terms += f.counts_checked_by_terms;
        found.time += f.time;
    }
};

// The checks inside blocks are cut into this many pieces per kernel and
// stretch, so that the threads share out the slowest kernel's too.
constexpr std::size_t inside_slices = 16;

// Each kernel's work on one stretch, spread over the threads.
void check_stretch(std::vector<kernel_run>& runs, const stretch& s)
{
    constexpr std::size_t pieces_per_kernel = 3 + inside_slices;
    std::vector<findings> found(runs.size() * pieces_per_kernel);
    in_parallel(found.size(), [&](std::size_t piece) {
        kernel_run& run = runs[piece / pieces_per_kernel];
        findings& f = found[piece];
        const auto start = clock_type::now();
        const std::size_t slice = piece % pieces_per_kernel;
        if (slice == 0) {
            run.program_blocks.run(run.kernel, s, f);
        } else if (slice == 1) {
            run.other_blocks.run(run.kernel, s, f);
        } else if (slice == 2) {
            check_terms(run.kernel, s, f);
        } else {
            const std::size_t blocks = s.checked_inside.size();
            for (std::size_t b = blocks * (slice - 3) / inside_slices; b < blocks * (slice - 2) / inside_slices; ++b)
                check_inside(run.kernel, s, s.checked_inside[b], f);
        }
        f.time = clock_type::now() - start;
    });
    for (std::size_t piece = 0; piece < found.size(); ++piece) runs[piece / pieces_per_kernel].add(found[piece]);
}

TEST(Exhaustive, EveryCountThroughEveryKernelGivesTheX87Sum)
{
    std::vector<kernel_run> runs;
    for (const pigreco::kernel& k : pigreco::kernels()) {
        if (!only_kernel.empty() && k.name != only_kernel) continue;
        if (k.runs_here()) {
            runs.emplace_back(k);
        } else {
            std::printf("exhaustive: %s not checked: this CPU lacks its instructions\n", k.name);
        }
    }
    if (runs.empty() && !only_kernel.empty() &&
        std::any_of(pigreco::kernels().begin(), pigreco::kernels().end(),
                    [](const pigreco::kernel& k) { return k.name == only_kernel; }))
        GTEST_SKIP() << "this CPU cannot run the kernel " << only_kernel;
    ASSERT_FALSE(runs.empty()) << "no kernel named " << only_kernel;

    const auto start = clock_type::now();
    clock_type::duration shared_time{};
    stretch s;
    std::mt19937_64 draw(sample_seed);
    while (s.end < last_count) {
        const auto stretch_start = clock_type::now();
        take_next_stretch(s, draw);
        shared_time += clock_type::now() - stretch_start;
        check_stretch(runs, s);
    }

    std::printf("exhaustive: counts 0 to %u in %.1f s on %u threads; the power calls and the x87 sums %.1f s of it; "
                "blocks of %u checked through the block path at every count: %llu with an exact step, %llu more "
                "below index %u, %llu more drawn\n",
                last_count, seconds(clock_type::now() - start), std::max(1U, std::thread::hardware_concurrency()),
                seconds(shared_time), pigreco::block_size, static_cast<unsigned long long>(s.blocks_with_exact_steps),
                static_cast<unsigned long long>(s.blocks_early), early_indices,
                static_cast<unsigned long long>(s.blocks_drawn));
    const bool whole_range = last_count == largest_count;
    if (whole_range) {
        EXPECT_TRUE(same_bits(s.x87_sum(last_count), pigreco_test::largest_count.sum))
            << "the x87 unit's own sum " << hex(s.x87_sum(last_count));
    }
    for (const kernel_run& run : runs) {
        std::printf("exhaustive: %s: %.1f s of thread time; counts checked through the block path %llu, by each "
                    "term's increment %llu; %llu wrong\n",
                    run.kernel.name, seconds(run.found.time),
                    static_cast<unsigned long long>(run.found.counts_checked_inside),
                    static_cast<unsigned long long>(run.found.counts_checked_by_terms),
                    static_cast<unsigned long long>(run.found.wrong));
        EXPECT_EQ(run.found.wrong, 0U) << run.kernel.name;
        // Each count from 1 on lies in one block of the program's size, and is checked one way or the other.
        EXPECT_EQ(run.found.counts_checked_inside + run.found.counts_checked_by_terms, last_count) << run.kernel.name;
        for (const chained_blocks* pass : {&run.program_blocks, &run.other_blocks}) {
            EXPECT_EQ(pass->blocks, (std::uint64_t{last_count} + pass->block - 1) / pass->block) << run.kernel.name;
            EXPECT_TRUE(same_bits(pass->sum, s.x87_sum(last_count))) << run.kernel.name << ", blocks of " << pass->block;
            if (whole_range) {
                EXPECT_TRUE(same_bits(pass->sum, pigreco_test::largest_count.sum))
                    << run.kernel.name << ", blocks of " << pass->block << ": " << hex(pass->sum);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    constexpr std::string_view kernel_option = "--kernel=";
    bool count_given = false;
    for (int a = 1; a < argc; ++a) {
        const std::string_view text = argv[a];
        std::uint32_t count = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (text.starts_with(kernel_option) && only_kernel.empty()) {
            only_kernel = text.substr(kernel_option.size());
        } else if (error == std::errc{} && end == text.data() + text.size() && count >= 1 && count <= largest_count &&
                   !count_given) {
            last_count = count;
            count_given = true;
        } else {
            std::fprintf(stderr, "usage: %s [GoogleTest flags] [--kernel=NAME] [LAST_COUNT from 1 to %u]\n", argv[0],
                         largest_count);
            return 2;
        }
    }
    return RUN_ALL_TESTS();
}
