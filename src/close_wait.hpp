// Whether the program, about to end, keeps its console window open until
// Enter is pressed. A console program started by a double-click gets a window
// of its own that closes the moment the program ends, taking the answer with
// it; started from a console, or with a stream redirected, it must behave as
// any other program does and end at once.
#pragma once

namespace pigreco {

// How the program finds its standard streams and its console.
struct console_start {
    bool input_is_console;
    bool output_is_console;
    bool error_is_console;
    // The processes attached to the program's console, the program included
    // (0: it has none). A shell that started the program shares it.
    unsigned long processes_on_console;
};

constexpr bool waits_for_enter(const console_start& start)
{
    return start.input_is_console && start.output_is_console && start.error_is_console &&
           start.processes_on_console == 1;
}

} // namespace pigreco
