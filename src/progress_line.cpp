#include "progress_line.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "program_texts.hpp"

namespace pigreco {

namespace {

// The bar's inner width: at most this wide, and no bar at all if narrower
// than the least, which tells too little to be worth its columns.
constexpr std::size_t widest_bar = 30;
constexpr std::size_t narrowest_bar = 5;
// The columns kept for the time left, so that the bar does not jump when it
// appears: "mancano circa 59 min" and its like. Longer ones (hours) take their
// columns from the bar.
constexpr std::size_t time_left_room = 20;

template <typename... Arguments>
std::string formatted(const char* format, Arguments... arguments)
{
    char text[128];
    const int length = std::snprintf(text, sizeof text, format, arguments...);
    return length > 0 ? std::string(text, std::min(static_cast<std::size_t>(length), sizeof text - 1)) : std::string();
}

std::string amount_of_time(long long seconds)
{
    if (seconds < 60) return formatted("%lld s", seconds);
    const long long minutes = (seconds + 30) / 60;
    if (minutes < 60) return formatted("%lld min", minutes);
    if (minutes % 60 == 0) return formatted("%lld h", minutes / 60);
    return formatted("%lld h %lld min", minutes / 60, minutes % 60);
}

std::string bar(std::uint32_t done, std::uint32_t total, std::size_t width)
{
    const auto filled = static_cast<std::size_t>(static_cast<std::uint64_t>(done) * width / total);
    std::string text(width + 2, '.');
    text.front() = '[';
    text.replace(1, filled, filled, '#');
    text.back() = ']';
    return text;
}

std::size_t usable_columns(int columns)
{
    return static_cast<std::size_t>((columns > 0 ? columns : assumed_columns) - 1);
}

} // namespace

bool progress_due(milliseconds elapsed, std::optional<milliseconds> last_shown)
{
    if (!last_shown) return elapsed >= progress_first_after;
    return elapsed - *last_shown >= progress_every;
}

std::string italian_grouping(std::uint32_t number)
{
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, '.');
    return digits;
}

std::string time_left_text(milliseconds elapsed, std::uint32_t done, std::uint32_t total)
{
    if (elapsed < time_left_after || done == 0 || done >= total) return {};
    // Every term costs about the same: the rest goes at the rate so far.
    const double seconds = static_cast<double>(elapsed.count()) / 1000.0 * static_cast<double>(total - done) /
                           static_cast<double>(done);
    // Rounded up: a promise of "0 s" while work remains would be wrong.
    const auto whole = std::max(1LL, static_cast<long long>(std::ceil(seconds)));
    const std::string amount = amount_of_time(whole);
    const bool one = amount == "1 s" || amount == "1 min";
    return formatted(one ? texts::time_left_singular_format : texts::time_left_format, amount.c_str());
}

std::string progress_line(milliseconds elapsed, std::uint32_t done, std::uint32_t total, int columns)
{
    const std::string all = italian_grouping(total);
    std::string counts = formatted(texts::terms_summed_format, static_cast<int>(all.size()),
                                   italian_grouping(done).c_str(), all.c_str());
    const std::string left = time_left_text(elapsed, done, total);
    std::string after_bar;
    if (!left.empty()) after_bar.append(" ").append(left);
    const std::size_t room = usable_columns(columns);

    // counts, " ", bar, then the time left or the room kept for it.
    const std::size_t around_bar = counts.size() + 1 + 2 + 1 + std::max(left.size(), time_left_room);
    if (room >= around_bar + narrowest_bar && total > 0) {
        const std::size_t width = std::min(widest_bar, room - around_bar);
        return std::string(counts).append(" ").append(bar(done, total, width)).append(after_bar);
    }
    if (counts.size() + after_bar.size() <= room) return std::string(counts).append(after_bar);
    if (counts.size() <= room) return counts;
    return {};
}

std::string line_replacing(const std::string& line, std::size_t previous, int columns)
{
    const std::size_t covered = std::min(previous, usable_columns(columns));
    const std::size_t blanks = covered > line.size() ? covered - line.size() : 0;
    return std::string("\r").append(line).append(blanks, ' ').append("\r");
}

std::string line_erasing(std::size_t shown, int columns)
{
    return std::string("\r").append(std::min(shown, usable_columns(columns)), ' ').append("\r");
}

} // namespace pigreco
