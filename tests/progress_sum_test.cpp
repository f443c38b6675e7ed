#include "progress_sum.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "double_bits.hpp"
#include "leibniz_sum.hpp"

namespace {

using std::chrono::milliseconds;

// A clock that moves on by a fixed step at each look, a terminal of a fixed
// width, and a record of what was written and when an interrupt would erase.
class fake_output final : public pigreco::progress_output {
public:
    fake_output(milliseconds step, int columns) : step_(step), columns_(columns) {}

    milliseconds elapsed() override
    {
        ++looks;
        now_ += step_;
        return now_;
    }
    int columns() override { return columns_; }
    void write(std::string_view bytes) override { writes.emplace_back(bytes); }
    void on_screen(std::size_t characters) override { on_screen_now = characters; }

    int looks = 0;
    std::vector<std::string> writes;
    std::size_t on_screen_now = 0;

private:
    milliseconds step_;
    milliseconds now_{0};
    int columns_;
};

// Pieces far smaller than the program's, and not a whole number of blocks,
// so that the seams fall inside blocks, and the cases sum quickly under an
// emulator.
constexpr std::uint32_t piece = 1000;

constexpr std::int32_t pieces(std::int32_t whole, std::int32_t more)
{
    return whole * static_cast<std::int32_t>(piece) + more;
}

struct sum_case {
    const char* name;
    milliseconds per_piece;
    std::int32_t count;
    int columns;
    int looks;
    int lines; // shown, the erasure not counted
};

const sum_case sum_cases[] = {
    {"a fast machine: never a second, nothing shown", milliseconds{200}, pieces(4, 1), 80, 4, 0},
    {"one piece: no look at the clock", milliseconds{5000}, pieces(1, 0), 80, 0, 0},
    {"after a second, then every half second", milliseconds{300}, pieces(9, 1), 80, 9, 3},
    {"no look after the last piece", milliseconds{1000}, pieces(3, 0), 80, 2, 2},
    {"a terminal too narrow for any line", milliseconds{1000}, pieces(3, 1), 10, 3, 0},
    {"nothing to sum", milliseconds{1000}, 0, 80, 0, 0},
};

TEST(ProgressSum, SameBitsOneLookAPieceAndNothingLeftOnScreen)
{
    for (const sum_case& c : sum_cases) {
        fake_output output(c.per_piece, c.columns);
        const double sum = pigreco::leibniz_sum_showing_progress(c.count, output, piece);
        EXPECT_EQ(pigreco::bits_of(sum), pigreco::bits_of(pigreco::leibniz_sum(c.count)))
            << c.name;
        EXPECT_EQ(output.looks, c.looks) << c.name;
        EXPECT_EQ(output.on_screen_now, 0U) << c.name << ": an interrupt would erase a line already gone";
        if (c.lines == 0) {
            EXPECT_TRUE(output.writes.empty()) << c.name << ": " << output.writes.front();
            continue;
        }
        ASSERT_EQ(output.writes.size(), static_cast<std::size_t>(c.lines) + 1) << c.name;
        // Each line starts and ends at the start of the line; the last write
        // blanks the longest line shown.
        std::size_t widest = 0;
        for (std::size_t i = 0; i < output.writes.size(); ++i) {
            const std::string& bytes = output.writes[i];
            EXPECT_EQ(bytes.front(), '\r') << c.name;
            EXPECT_EQ(bytes.back(), '\r') << c.name;
            if (i + 1 < output.writes.size()) {
                EXPECT_EQ(bytes.find("Termini sommati: "), 1U) << c.name << ": " << bytes;
                widest = std::max(widest, bytes.size() - 2);
            }
        }
        const std::string blanks(widest, ' ');
        EXPECT_EQ(output.writes.back(), std::string("\r").append(blanks).append("\r")) << c.name;
    }
}

} // namespace
