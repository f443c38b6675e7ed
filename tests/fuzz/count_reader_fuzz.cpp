// libFuzzer target for the count reader. Whatever the bytes, parse_count must
// not crash and must give the verdict of a second reading of the same rule,
// written here independently; read_count on a stream holding the same bytes
// must agree with it and stop exactly where a "%d"-style reader has to.
// Any disagreement aborts, and libFuzzer keeps the input that caused it.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "count_reader.hpp"

namespace {

using pigreco::count_reading;
using pigreco::count_status;

struct expected_reading {
    count_reading verdict;
    // How many bytes a stream reader takes: the blanks, the sign and the
    // digits it needs, plus the one byte that shows where the numeral ends.
    std::size_t consumed;
};

// The rule, spelled differently from the reader: std::isspace and std::isdigit
// of the "C" locale, the longest sign-and-digits prefix, leading zeros
// stripped, std::from_chars on what remains and a range check in 64 bits.
expected_reading model(std::string_view text)
{
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    const auto offset = [&text](std::string_view::const_iterator it) {
        return static_cast<std::size_t>(it - text.begin());
    };

    const std::size_t start = offset(std::find_if_not(text.begin(), text.end(), blank));
    const bool has_sign = start < text.size() && (text[start] == '+' || text[start] == '-');
    const bool negative = has_sign && text[start] == '-';
    const std::size_t digits_begin = start + (has_sign ? 1 : 0);
    const std::size_t digits_end =
        offset(std::find_if_not(text.begin() + static_cast<std::ptrdiff_t>(digits_begin), text.end(), digit));
    const std::size_t past_numeral = std::min(digits_end + 1, text.size());
    if (digits_end == digits_begin) return {{count_status::no_numeral, 0}, past_numeral};

    const std::string_view digits = text.substr(digits_begin, digits_end - digits_begin);
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string_view significant = digits.substr(zeros);
    const std::int64_t largest = negative ? std::int64_t{2147483648} : std::int64_t{2147483647};

    // A value of 10 significant digits or fewer fits in 64 bits; one with
    // more is out of range whatever its digits.
    const auto value_of = [](std::string_view d) {
        std::int64_t v = 0;
        if (d.empty()) return v; // only zeros
        const auto [end, error] = std::from_chars(d.data(), d.data() + d.size(), v);
        if (error != std::errc{} || end != d.data() + d.size()) std::abort(); // the model itself is wrong
        return v;
    };
    if (significant.size() <= 10 && value_of(significant) <= largest) {
        const std::int64_t value = negative ? -value_of(significant) : value_of(significant);
        return {{count_status::ok, static_cast<std::int32_t>(value)}, past_numeral};
    }
    // Out of range: the verdict is known at the first digit whose prefix
    // exceeds the limit, and the reader must stop right there.
    // Eleven significant digits always exceed it, so no prefix tried here
    // overflows.
    std::size_t needed = 1;
    while (needed < significant.size() && value_of(significant.substr(0, needed)) <= largest) ++needed;
    return {{count_status::out_of_range, 0}, digits_begin + zeros + needed};
}

const char* name(count_status status)
{
    switch (status) {
    case count_status::ok: return "ok";
    case count_status::no_numeral: return "no numeral";
    case count_status::out_of_range: return "out of range";
    }
    return "?";
}

[[noreturn]] void mismatch(const char* what, count_reading got, count_reading want)
{
    (void)std::fprintf(stderr, "%s: got %s %d, the model says %s %d\n", what, name(got.status),
                 static_cast<int>(got.count), name(want.status), static_cast<int>(want.count));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // fmemopen takes a buffer it may write to: a copy of exactly the input's
    // size, so that AddressSanitizer still catches a read past its end.
    std::vector<char> bytes(data, data + size);
    const std::string_view text(bytes.data(), bytes.size());
    const expected_reading expected = model(text);

    const count_reading parsed = pigreco::parse_count(text);
    if (parsed != expected.verdict) mismatch("parse_count", parsed, expected.verdict);

    std::FILE* stream = fmemopen(bytes.data(), bytes.size(), "r");
    if (stream == nullptr) std::abort();
    const count_reading streamed = pigreco::read_count(stream);
    if (streamed != expected.verdict) mismatch("read_count", streamed, expected.verdict);
    const long position = std::ftell(stream);
    if (position < 0 || static_cast<std::size_t>(position) != expected.consumed) {
        (void)std::fprintf(stderr, "read_count took %ld bytes, the model says %zu\n", position, expected.consumed);
        std::abort();
    }
    if (std::fclose(stream) != 0) std::abort();
    return 0;
}
