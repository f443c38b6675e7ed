// interrupt.hpp on POSIX systems.
#include "interrupt.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>

namespace pigreco {

namespace {

// A carriage return and the blanks, made once, so that the handler only
// writes: it may call nothing but async-signal-safe functions.
constexpr std::size_t widest_erasure = 511;
constexpr auto carriage_return_and_blanks = [] {
    std::array<char, 1 + widest_erasure> bytes{};
    bytes.fill(' ');
    bytes[0] = '\r';
    return bytes;
}();

volatile std::sig_atomic_t characters_on_screen = 0;

extern "C" void on_interrupt(int signal_number)
{
    const auto characters = static_cast<std::size_t>(characters_on_screen);
    if (characters > 0) {
        ssize_t written = write(STDERR_FILENO, carriage_return_and_blanks.data(), 1 + characters);
        if (written >= 0) written = write(STDERR_FILENO, "\r", 1);
        // Nothing is left to do if a write failed: the program ends anyway.
        (void)written;
    }
    // Blocked until this handler returns, the signal then ends the program.
    (void)std::signal(signal_number, SIG_DFL);
    (void)std::raise(signal_number);
}

} // namespace

void erase_progress_on_interrupt()
{
    struct sigaction found {};
    if (sigaction(SIGINT, nullptr, &found) != 0 || found.sa_handler == SIG_IGN) return;
    (void)std::signal(SIGINT, on_interrupt);
}

void progress_on_screen(std::size_t characters)
{
    characters_on_screen = static_cast<std::sig_atomic_t>(std::min(characters, widest_erasure));
}

} // namespace pigreco
