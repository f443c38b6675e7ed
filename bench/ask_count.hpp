// The benchmark programs ask for the count exactly as pigreco does (same
// prompt, same reader), so that a whole-process timing compares like with like.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

#include "count_reader.hpp"
#include "program_texts.hpp"

namespace pigreco_bench {

// Prints pigreco's prompt and reads the count from standard input; on input
// that pigreco refuses, says what pigreco says and gives nothing.
inline std::optional<std::int32_t> ask_count()
{
    std::fputs(pigreco::texts::prompt, stdout);
    std::fflush(stdout);
    const pigreco::count_reading reading = pigreco::read_count(stdin);
    if (reading.status == pigreco::count_status::ok) return reading.count;
    std::fputs(reading.status == pigreco::count_status::out_of_range ? pigreco::texts::out_of_range
                                                                       : pigreco::texts::not_an_integer,
               stderr);
    return std::nullopt;
}

} // namespace pigreco_bench
