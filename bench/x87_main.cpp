// pigreco_x87: the straightforward long double program, with pigreco's prompt
// and result line. Its digits must equal pigreco's; its time is what pigreco's
// integer emulation is measured against.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "ask_count.hpp"
#include "program_texts.hpp"
#include "series_helpers.hpp"

int main()
{
    const std::optional<std::int32_t> count = pigreco_bench::ask_count();
    if (!count) return 1;

    double sum = 0.0;
    for (std::int32_t i = 0; i < *count; ++i)
        sum = pigreco_test::x87_leibniz_step(sum, std::pow(-1.0, static_cast<double>(i)), static_cast<std::uint32_t>(i));

    std::printf(pigreco::texts::result_format, static_cast<int>(*count), sum);
    return 0;
}
