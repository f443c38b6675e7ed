#include "count_reader.hpp"

#include <cstddef>

namespace pigreco {

namespace {

constexpr bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool is_digit(int c) { return c >= '0' && c <= '9'; }

// next() yields the next byte as an unsigned char value, or EOF.
template <class Next>
count_reading read_numeral(Next next)
{
    int c = next();
    while (is_blank(c)) c = next();
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = next();
    if (!is_digit(c)) return {count_status::no_numeral, 0};

    // The magnitude of -2^31 is the largest allowed; once the digits pass it
    // the verdict is known and no further byte is read.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t magnitude = 0;
    while (is_digit(c)) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        if (magnitude > limit) return {count_status::out_of_range, 0};
        c = next();
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return {count_status::ok, static_cast<std::int32_t>(negative ? -value : value)};
}

} // namespace

count_reading read_count(std::FILE* in)
{
    return read_numeral([in] { return std::getc(in); });
}

count_reading parse_count(std::string_view text)
{
    std::size_t position = 0;
    return read_numeral([text, &position]() -> int {
        if (position == text.size()) return EOF;
        return static_cast<unsigned char>(text[position++]);
    });
}

} // namespace pigreco
