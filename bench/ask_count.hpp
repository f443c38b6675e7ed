// The benchmark programs ask for the count exactly as pigreco does (same
// prompt, same reader), so that a whole-process timing compares like with like.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

#include "count_reader.hpp"

namespace pigreco_bench {

// Prints pigreco's prompt and reads the count from standard input; on input
// that pigreco would refuse, says so on standard error and gives nothing.
inline std::optional<std::int32_t> ask_count()
{
    std::fputs("Inserisci il numero di iterazioni: ", stdout);
    std::fflush(stdout);
    const pigreco::count_reading reading = pigreco::read_count(stdin);
    if (reading.status != pigreco::count_status::ok) {
        std::fputs("Errore: il numero di iterazioni deve essere un numero intero a 32 bit.\n", stderr);
        return std::nullopt;
    }
    return reading.count;
}

} // namespace pigreco_bench
