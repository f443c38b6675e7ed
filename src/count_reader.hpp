// Reads the iteration count the way "%d" reads an integer, but reports what a
// bare "%d" would hide: no numeral at all, or one outside the 32-bit range.
//
// Leading white space (blank, tab, newline, vertical tab, form feed, carriage
// return) is skipped, then an optional sign and the decimal digits are taken;
// reading stops at the first character that cannot continue the numeral, or
// at the digit that takes the numeral out of range. Leading zeros do not
// count against the range. read_count leaves what follows the numeral to the
// stream's next reader as far as the stream allows (input_source.hpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace pigreco {

enum class count_status { ok, no_numeral, out_of_range };

struct count_reading {
    count_status status = count_status::no_numeral;
    std::int32_t count = 0; // meaningful only when status is ok

    friend constexpr bool operator==(count_reading, count_reading) = default;
};

count_reading read_count(std::FILE* in);
count_reading parse_count(std::string_view text);

} // namespace pigreco
