// The count is read as "%d" reads an integer, with the failures that a bare
// "%d" hides made visible.
#include <cstdio>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "count_reader.hpp"

namespace {

using pigreco::count_reading;
using pigreco::count_status;

constexpr count_reading ok(int value) { return {count_status::ok, value}; }
constexpr count_reading none{count_status::no_numeral, 0};
constexpr count_reading too_far{count_status::out_of_range, 0};

struct reader_case {
    std::string_view input;
    count_reading expected;
};

const reader_case reader_cases[] = {
    {"0", ok(0)},
    {"7\n", ok(7)},
    {"-7", ok(-7)},
    {"+5", ok(5)},
    {"-0", ok(0)},
    {"  12abc", ok(12)},
    {"3.7", ok(3)},
    {"1e5", ok(1)},
    {"0x1A", ok(0)},
    {" \t\n\v\f\r42", ok(42)},
    {"\n\n\n-3\n", ok(-3)},
    {"12 34", ok(12)},
    {"12-3", ok(12)},
    {"000000000000000000012", ok(12)},
    {"-000000000000000000012", ok(-12)},
    {"2147483647", ok(2147483647)},
    {"-2147483648", ok(-2147483647 - 1)},
    {"00002147483647x", ok(2147483647)},
    {"2147483648", too_far},
    {"-2147483649", too_far},
    {"99999999999", too_far},
    {"4294967296", too_far},
    {"18446744073709551617", too_far},
    {"", none},
    {"   \n\t ", none},
    {"abc", none},
    {"-", none},
    {"+", none},
    {"- 5", none},
    {"+-5", none},
    {"--5", none},
    {".5", none},
    {"\xEF\xBB\xBF" "5", none}, // a byte-order mark is not white space
    {std::string_view("\0" "5", 2), none},
};

TEST(CountReader, ParsesLikeScanfD)
{
    for (const reader_case& c : reader_cases)
        EXPECT_EQ(pigreco::parse_count(c.input), c.expected) << "input \"" << c.input << '"';
}

TEST(CountReader, ThousandDigitsAreOutOfRange)
{
    EXPECT_EQ(pigreco::parse_count(std::string(1000, '9')), too_far);
    EXPECT_EQ(pigreco::parse_count(std::string(1000, '0') + "5"), ok(5));
}

// What follows the numeral is the next reader's. A file is positioned back to
// the byte that ended the numeral; out of range, reading stops at the digit
// that decides it.
TEST(CountReader, FileLeavesTheRestUnread)
{
    const struct {
        const char* input;
        count_reading expected;
        const char* rest;
    } cases[] = {
        {"  -42;rest", ok(-42), ";rest"},
        {"7\nnext line\n", ok(7), "\nnext line\n"},
        {"x7", none, "x7"},
        {"-x", none, "x"},
        {"99999999999x", too_far, "9x"},
        {"-21474836489x", too_far, "x"},
    };
    for (const auto& c : cases) {
        std::FILE* in = std::tmpfile();
        ASSERT_NE(in, nullptr);
        std::fputs(c.input, in);
        std::rewind(in);
        EXPECT_EQ(pigreco::read_count(in), c.expected) << c.input;
        std::string rest;
        for (int byte = std::getc(in); byte != EOF; byte = std::getc(in)) rest += static_cast<char>(byte);
        EXPECT_EQ(rest, c.rest) << c.input;
        std::fclose(in);
    }
}

} // namespace
