// pigreco_floor: the cost that no implementation of pigreco can avoid. It makes
// the same std::pow(-1.0, i) calls, once per term and in order, and does no
// more with their results than add them up, so that the compiler has to keep
// every call. The sum of the sign factors is printed for the same reason.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "ask_count.hpp"

int main()
{
    const std::optional<std::int32_t> count = pigreco_bench::ask_count();
    if (!count) return 1;

    double sign_total = 0.0; // a sum of +1 and -1: exact, 0 or 1 at the end
    // The base read from memory for each call, as the block pass reads it
    // (block_pass.hpp says why): the floor is the cheapest way known to make
    // these calls.
    volatile const double minus_one = -1.0;
    for (std::int32_t i = 0; i < *count; ++i) sign_total += std::pow(minus_one, static_cast<double>(i));

    std::printf("Dopo %d chiamate a pow la somma dei segni \xC3\xA8 %.20g\n", static_cast<int>(*count), sign_total);
    return 0;
}
