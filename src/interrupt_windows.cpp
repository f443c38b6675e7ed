// interrupt.hpp on Windows, where Ctrl-C runs a handler on a thread of its
// own while the sum goes on.
#include "interrupt.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>
#include <string>

#include "terminal.hpp"

namespace pigreco {

namespace {

std::atomic<std::size_t> characters_on_screen{0};

// Installed after the console session's handler, this one runs first: the
// line goes, then that handler puts the code page back, then the system ends
// the program.
BOOL WINAPI on_console_event(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        if (const std::size_t characters = characters_on_screen.exchange(0); characters > 0) {
            std::string erasure(characters + 2, ' ');
            erasure.front() = erasure.back() = '\r';
            write_to_error_terminal(erasure);
        }
    }
    return FALSE;
}

} // namespace

void erase_progress_on_interrupt()
{
    (void)SetConsoleCtrlHandler(on_console_event, TRUE);
}

void progress_on_screen(std::size_t characters)
{
    characters_on_screen = characters;
}

} // namespace pigreco
