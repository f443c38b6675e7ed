// pigreco_arithmetic KERNEL FIRST COUNT SIGNS: adds the COUNT terms from index
// FIRST to a sum in [2, 4) through the named kernel's block pass and prints the
// sum. SIGNS is `given`: the alternating sign factors are handed to the block
// pass, so that no pow call is made and the arithmetic runs alone; or `pow`:
// the block pass makes its power calls as the program does. For counting
// instructions: the difference between two counts, divided by the terms
// between them, is what a term costs (instruction_counts.py, which leaves
// out the instructions inside pow). The sign factors of the largest COUNT
// allowed are always written, so that writing them cancels out of that
// difference.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "add_terms.hpp"
#include "kernels.hpp"

int main(int argc, char** argv)
{
    const std::string_view signs_from = argc == 5 ? argv[4] : "";
    if (argc != 5 || (signs_from != "given" && signs_from != "pow")) {
        (void)std::fputs("usage: pigreco_arithmetic KERNEL FIRST COUNT given|pow\n", stderr);
        return 2;
    }
    const std::string_view name = argv[1];
    const auto first = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const auto count = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    constexpr std::uint32_t most = std::uint32_t{1} << 18;
    if (first < 2 || count > most || first > 2147483647U - most) {
        (void)std::fputs("pigreco_arithmetic: FIRST from 2 to 2^31 - 1 - 2^18, COUNT at most 2^18\n", stderr);
        return 2;
    }
    for (const pigreco::kernel& k : pigreco::kernels()) {
        if (name != k.name) continue;
        if (!k.runs_here()) {
            (void)std::fprintf(stderr, "pigreco_arithmetic: this CPU does not run the %s kernel\n", k.name);
            return 1;
        }
        std::vector<double> signs(most);
        for (std::uint32_t j = 0; j < most; ++j) signs[j] = (first + j) % 2 == 0 ? 1.0 : -1.0;
        const double* given = signs_from == "given" ? signs.data() : nullptr;
        std::printf("%.17g\n", pigreco::add_terms(3.14159265358979, given, first, count, k));
        return 0;
    }
    (void)std::fprintf(stderr, "pigreco_arithmetic: no kernel %s in this build\n", argv[1]);
    return 1;
}
