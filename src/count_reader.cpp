#include "count_reader.hpp"

#include <cstddef>

#include "input_source.hpp"

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
    // Whoever reads the input after the program (`{ pigreco; cat; }`) gets
    // all that follows the numeral, as far as the source allows. A pipe
    // cannot give a byte back, so it is read unbuffered, byte by byte, and
    // only the one byte that shows where the numeral ends is lost. A file is
    // read in blocks and then positioned back to that byte. A terminal
    // delivers whole lines, and the rest of the typed line is the program's:
    // left unread, it would reach the shell as a command.
    const input_source source = prepare_input(in);
    if (source == input_source::stream) (void)std::setvbuf(in, nullptr, _IONBF, 0);

    int last = EOF;
    const count_reading reading = read_numeral([in, &last] { return last = std::getc(in); });
    // Out of range, the last byte read is a digit of the numeral; otherwise
    // it is the one that ended it.
    if (source == input_source::seekable && reading.status != count_status::out_of_range && last != EOF &&
        std::ungetc(last, in) != EOF) {
        // fsetpos moves the file's own offset where the C library does not
        // wait for the program's end to do it.
        std::fpos_t here;
        if (std::fgetpos(in, &here) == 0) (void)std::fsetpos(in, &here);
    }
    return reading;
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
