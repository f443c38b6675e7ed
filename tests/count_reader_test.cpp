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

// The stream reader stops right after the numeral: what follows stays unread.
TEST(CountReader, StreamLeavesTheRestUnread)
{
    std::FILE* in = std::tmpfile();
    ASSERT_NE(in, nullptr);
    std::fputs("  -42;rest", in);
    std::rewind(in);
    EXPECT_EQ(pigreco::read_count(in), ok(-42));
    EXPECT_EQ(std::getc(in), 'r');
    std::fclose(in);
}

} // namespace
