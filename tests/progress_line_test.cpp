#include "progress_line.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using pigreco::milliseconds;

constexpr std::uint32_t largest = 2147483647;
const std::string largest_counts = "Termini sommati:   182.452.224 di 2.147.483.647";

std::string bar(int filled, int width)
{
    return std::string("[").append(filled, '#').append(width - filled, '.').append("]");
}

struct line_case {
    const char* name;
    milliseconds elapsed;
    std::uint32_t done;
    std::uint32_t total;
    int columns;
    std::string line;
};

const line_case line_cases[] = {
    {"wide terminal: the widest bar", milliseconds{1000}, 182452224, largest, 120,
     largest_counts + " " + bar(2, 30)},
    {"80 columns: the bar shortened, room kept for the time left", milliseconds{1000}, 182452224, largest, 80,
     largest_counts + " " + bar(0, 8)},
    {"width unknown: as 80 columns", milliseconds{1000}, 182452224, largest, 0, largest_counts + " " + bar(0, 8)},
    {"time left, once steady", milliseconds{10000}, 536870912, largest, 120,
     "Termini sommati:   536.870.912 di 2.147.483.647 " + bar(7, 30) + " mancano circa 30 s"},
    {"done aligned to the total's width", milliseconds{1500}, 1048576, 100000000, 100,
     "Termini sommati:   1.048.576 di 100.000.000 " + bar(0, 30)},
    {"the bar goes before the time left", milliseconds{10000}, 536870912, largest, 70,
     "Termini sommati:   536.870.912 di 2.147.483.647 mancano circa 30 s"},
    {"then the time left goes", milliseconds{10000}, 536870912, largest, 50,
     "Termini sommati:   536.870.912 di 2.147.483.647"},
    {"the terms summed, to the last usable column", milliseconds{1000}, 182452224, largest, 48, largest_counts},
    {"too narrow for the terms summed: nothing", milliseconds{1000}, 182452224, largest, 47, ""},
    {"a very narrow terminal: nothing", milliseconds{1000}, 182452224, largest, 1, ""},
};

TEST(ProgressLine, FitsTheTerminalShorteningTheBarFirst)
{
    for (const line_case& c : line_cases)
        EXPECT_EQ(pigreco::progress_line(c.elapsed, c.done, c.total, c.columns), c.line) << c.name;
}

// Whatever the width, the line never reaches the last column (where it would
// wrap and no carriage return could erase it), and a bar never pushes out the
// time left.
TEST(ProgressLine, NeverWrapsAtAnyWidth)
{
    for (int columns = 1; columns <= 300; ++columns) {
        for (const std::uint32_t done : {1U, 1048576U, 1000000000U, largest - 1}) {
            const std::string line = pigreco::progress_line(milliseconds{7'200'000}, done, largest, columns);
            EXPECT_LT(line.size(), static_cast<std::size_t>(columns)) << columns << " columns: " << line;
            if (line.find('[') != std::string::npos) {
                EXPECT_NE(line.find("circa"), std::string::npos) << columns << " columns: " << line;
            }
        }
    }
}

struct time_left_case {
    const char* name;
    milliseconds elapsed;
    std::uint32_t done;
    std::uint32_t total;
    std::string text;
};

const time_left_case time_left_cases[] = {
    {"not yet steady", milliseconds{2999}, 1000000, 4000000, ""},
    {"steady: seconds", milliseconds{3000}, 1000000, 4000000, "mancano circa 9 s"},
    {"one second", milliseconds{3000}, 3000000, 4000000, "manca circa 1 s"},
    {"4.5 s: rounded up", milliseconds{3000}, 1000000, 2500000, "mancano circa 5 s"},
    {"less than a second: rounded up", milliseconds{3000}, 3999999, 4000000, "manca circa 1 s"},
    {"59 s", milliseconds{59000}, 1000000, 2000000, "mancano circa 59 s"},
    {"a minute", milliseconds{60000}, 1000000, 2000000, "manca circa 1 min"},
    {"100 s: the nearest minutes", milliseconds{100000}, 1000000, 2000000, "mancano circa 2 min"},
    {"89 s: the nearest minute", milliseconds{89000}, 1000000, 2000000, "manca circa 1 min"},
    {"three minutes", milliseconds{60000}, 1000000, 4000000, "mancano circa 3 min"},
    {"89 minutes 40 s: 1 h 30 min", milliseconds{2690000}, 1000000, 3000000, "mancano circa 1 h 30 min"},
    {"two hours", milliseconds{3600000}, 1000000, 3000000, "mancano circa 2 h"},
    {"nothing done yet", milliseconds{5000}, 0, 4000000, ""},
    {"nothing left", milliseconds{5000}, 4000000, 4000000, ""},
};

TEST(ProgressLine, TimeLeftAtTheRateSoFar)
{
    for (const time_left_case& c : time_left_cases)
        EXPECT_EQ(pigreco::time_left_text(c.elapsed, c.done, c.total), c.text) << c.name;
}

TEST(ProgressLine, FirstAfterASecondThenTwiceASecond)
{
    const struct {
        milliseconds elapsed;
        std::optional<milliseconds> last_shown;
        bool due;
    } cases[] = {
        {milliseconds{999}, std::nullopt, false},  {milliseconds{1000}, std::nullopt, true},
        {milliseconds{1499}, milliseconds{1000}, false}, {milliseconds{1500}, milliseconds{1000}, true},
        {milliseconds{30000}, std::nullopt, true}, {milliseconds{30200}, milliseconds{30000}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pigreco::progress_due(c.elapsed, c.last_shown), c.due)
            << c.elapsed.count() << " ms, last " << (c.last_shown ? c.last_shown->count() : -1);
}

TEST(ProgressLine, ReplacedAndErasedInPlace)
{
    EXPECT_EQ(pigreco::line_replacing("abc", 5, 80), "\rabc  \r") << "a shorter line covers the longer one";
    EXPECT_EQ(pigreco::line_replacing("abcdef", 3, 80), "\rabcdef\r");
    EXPECT_EQ(pigreco::line_replacing("ab", 100, 10), "\rab       \r") << "the terminal since narrowed";
    EXPECT_EQ(pigreco::line_erasing(5, 80), "\r     \r");
    EXPECT_EQ(pigreco::line_erasing(100, 10), "\r         \r") << "the terminal since narrowed";
}

} // namespace
