// The program's sum taken in pieces, with a look at the clock between pieces
// and, when one is due, a line of progress shown in place; the line is erased
// before the sum is returned, so that nothing of it is left. The bits are
// those of leibniz_sum.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pigreco {

// Small enough that the slowest build (32-bit Windows, about 90 ns a term)
// looks at the clock every tenth of a second, large enough that one look in
// a million terms costs nothing; a whole number of the block pass's blocks.
inline constexpr std::uint32_t progress_piece = 1U << 20;

// Where the progress goes: the clock, the terminal and what an interrupt
// must erase. A terminal in the program, a fake in the tests.
class progress_output {
public:
    virtual ~progress_output() = default;
    // Since the sum started.
    virtual std::chrono::milliseconds elapsed() = 0;
    // 0 or less: unknown.
    virtual int columns() = 0;
    virtual void write(std::string_view bytes) = 0;
    // The characters of progress that stand on the terminal from now on
    // (0: none), for an interrupt to erase.
    virtual void on_screen(std::size_t characters) = 0;
};

// `piece`: the terms between two looks at the clock; any size gives the same
// bits (the tests take small pieces, which an emulator sums quickly).
double leibniz_sum_showing_progress(std::int32_t count, progress_output& output,
                                    std::uint32_t piece = progress_piece);

} // namespace pigreco
