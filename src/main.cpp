// pigreco: asks for a number of iterations and prints that partial sum of the
// Leibniz series for pi, with the digits of 64-bit-significand arithmetic.
#include <csignal>
#include <cstdio>

#include "console_session.hpp"
#include "count_reader.hpp"
#include "kernels.hpp"
#include "leibniz_sum.hpp"
#include "program_texts.hpp"
#include "terminal_progress.hpp"

namespace {

int fail(const char* message)
{
    // The status tells the failure even where standard error cannot.
    (void)std::fputs(message, stderr);
    return 1;
}

} // namespace

int main()
{
    namespace texts = pigreco::texts;
    // Lasts until main returns, whichever way: on a Windows console, each
    // return puts the console's code page back (and waits for Enter in a
    // window of the program's own).
    [[maybe_unused]] const pigreco::console_session console;
    // A build forced to a kernel would die of an illegal instruction on a CPU
    // without its instructions: say so instead, before asking anything.
    if (const pigreco::kernel& kernel = pigreco::chosen_kernel(); !kernel.runs_here()) {
        (void)std::fprintf(stderr, texts::cpu_lacks_kernel_format, kernel.name);
        return 1;
    }
#if defined(SIGPIPE)
    // A reader that went away is a failed write like any other: report it
    // rather than die silently of the signal.
    // Should this fail, a closed pipe ends the program by the signal: still
    // not a success, so nothing better is left to do.
    (void)std::signal(SIGPIPE, SIG_IGN);
#endif
    if (std::fputs(texts::prompt, stdout) < 0 || std::fflush(stdout) != 0) return fail(texts::cannot_write);

    const pigreco::count_reading reading = pigreco::read_count(stdin);
    if (reading.status == pigreco::count_status::no_numeral) return fail(texts::not_an_integer);
    if (reading.status == pigreco::count_status::out_of_range) return fail(texts::out_of_range);

    // A person watching the terminal sees that a long sum is alive; no
    // program or file reading standard error ever gets a byte of it.
    const double sum = pigreco::progress_shows() ? pigreco::leibniz_sum_on_terminal(reading.count)
                                                 : pigreco::leibniz_sum(reading.count);
    if (std::printf(texts::result_format, static_cast<int>(reading.count), sum) < 0 || std::fflush(stdout) != 0)
        return fail(texts::cannot_write);
    return 0;
}
