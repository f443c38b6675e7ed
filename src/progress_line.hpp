// The line that a long sum shows on a terminal, and when it shows it: plain
// functions of the time elapsed, the terms done, the total and the terminal's
// width, so that they can be tried with any clock and any terminal.
//
// Every character of the line is ASCII: its length in bytes is its width in
// columns, which is what keeps it from wrapping.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pigreco {

using std::chrono::milliseconds;

// Nothing before a second of work, so that a sum that ends quickly shows
// nothing at all, however large its count; then a new line twice a second.
inline constexpr milliseconds progress_first_after{1000};
inline constexpr milliseconds progress_every{500};
// The rate of the first seconds (process start, caches, the slower lanes of
// the first two million terms) would make a wrong promise: the time left is
// told from then on.
inline constexpr milliseconds time_left_after{3000};

// The columns assumed where the terminal does not tell its width.
inline constexpr int assumed_columns = 80;

// Whether a new line is due at `elapsed`, the last one having been shown at
// `last_shown` (none yet: std::nullopt).
bool progress_due(milliseconds elapsed, std::optional<milliseconds> last_shown);

// 2147483647 as Italian writes it: "2.147.483.647".
std::string italian_grouping(std::uint32_t number);

// "mancano circa 12 s", "manca circa 1 min", "mancano circa 1 h 5 min"; empty
// while the rate is not yet steady, and once nothing is left.
std::string time_left_text(milliseconds elapsed, std::uint32_t done, std::uint32_t total);

// The whole line, at most `columns` - 1 characters (a character in the last
// column may wrap the line on some terminals); `columns` <= 0: unknown. The
// bar shortens first, then goes, then the time left; empty when even the
// terms summed do not fit.
std::string progress_line(milliseconds elapsed, std::uint32_t done, std::uint32_t total, int columns);

// The bytes that replace the line on the terminal, `previous` characters long,
// by `line`, and leave the cursor at the start of the line (so that whatever
// the terminal echoes meanwhile, such as ^C, lands on the line and goes with
// it); and those that erase a line of `shown` characters. No escape sequences:
// a carriage return and blanks work on every terminal and Windows console.
// The blanks never reach the last column of a terminal `columns` wide, which
// may since have narrowed.
std::string line_replacing(const std::string& line, std::size_t previous, int columns);
std::string line_erasing(std::size_t shown, int columns);

} // namespace pigreco
