// The program's dialogue for the page: the same reading of the count, the same
// sum and the same texts as the console program (src/main.cpp), exported to
// the Web Worker (web/worker.js), which sums in pieces to show its progress.
// A second worker of the page sums the same terms as a plain double loop
// does, for comparison: each worker has a module of its own, and advances
// one of the two sums.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include <emscripten/emscripten.h>

#include "count_reader.hpp"
#include "double_only_sum.hpp"
#include "leibniz_sum.hpp"
#include "program_texts.hpp"

namespace {

namespace texts = pigreco::texts;

// One dialogue at a time: the worker runs one sum, and the page starts a new
// worker to stop one.
std::int32_t count = 0;
std::uint32_t terms = 0; // to sum: the count, or 0 when it is not positive
std::uint32_t done = 0;
double sum = 0.0;
double double_only_sum = 0.0;
char result_line[128];
char double_only_digits[32];
const char* answer = "";

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* pigreco_prompt() { return texts::prompt; }

// What the user typed, read as the console program reads its input. Returns
// the number of terms to sum, or -1 when the count is not valid: then
// pigreco_answer() is the error message.
EMSCRIPTEN_KEEPALIVE std::int32_t pigreco_begin(const char* typed)
{
    const pigreco::count_reading reading = pigreco::parse_count(typed);
    done = 0;
    sum = 0.0;
    double_only_sum = 0.0;
    answer = "";
    if (reading.status == pigreco::count_status::no_numeral) answer = texts::not_an_integer;
    if (reading.status == pigreco::count_status::out_of_range) answer = texts::out_of_range;
    if (reading.status != pigreco::count_status::ok) return -1;
    count = reading.count;
    terms = static_cast<std::uint32_t>(std::max(count, 0));
    return static_cast<std::int32_t>(terms);
}

// Adds up to `most` more terms; returns how many are summed so far. Once all
// are, pigreco_answer() is the result line.
EMSCRIPTEN_KEEPALIVE std::int32_t pigreco_advance(std::int32_t most)
{
    const std::uint32_t n = std::min(static_cast<std::uint32_t>(std::max(most, 0)), terms - done);
    sum = pigreco::leibniz_sum_further(sum, done, n);
    done += n;
    if (done == terms) {
        (void)std::snprintf(result_line, sizeof result_line, texts::result_format, static_cast<int>(count), sum);
        answer = result_line;
    }
    return static_cast<std::int32_t>(done);
}

// The same for the double-only sum, in place of the program's: once all terms
// are summed, pigreco_double_only_digits() is that sum as the result line
// prints the program's.
EMSCRIPTEN_KEEPALIVE std::int32_t pigreco_advance_double_only(std::int32_t most)
{
    const std::uint32_t n = std::min(static_cast<std::uint32_t>(std::max(most, 0)), terms - done);
    double_only_sum = pigreco::web::double_only_sum_further(double_only_sum, done, n);
    done += n;
    if (done == terms) (void)std::snprintf(double_only_digits, sizeof double_only_digits, "%.20g", double_only_sum);
    return static_cast<std::int32_t>(done);
}

// The line the console program would print last: its result or its error
// message, in UTF-8; empty while the sum is not done.
EMSCRIPTEN_KEEPALIVE const char* pigreco_answer() { return answer; }

// The count as read, once pigreco_begin() has taken a valid one.
EMSCRIPTEN_KEEPALIVE std::int32_t pigreco_count() { return count; }

// The program's running sum of the terms summed so far.
EMSCRIPTEN_KEEPALIVE double pigreco_sum() { return sum; }

// The double-only sum of the terms summed so far, and once all are its digits.
EMSCRIPTEN_KEEPALIVE double pigreco_double_only_sum() { return double_only_sum; }
EMSCRIPTEN_KEEPALIVE const char* pigreco_double_only_digits() { return double_only_digits; }

} // extern "C"
