// terminal.hpp on Windows, where a terminal is a console.
#include "terminal.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace pigreco {

namespace {

HANDLE handle_of(standard_stream stream)
{
    switch (stream) {
    case standard_stream::input: return GetStdHandle(STD_INPUT_HANDLE);
    case standard_stream::output: return GetStdHandle(STD_OUTPUT_HANDLE);
    case standard_stream::error: return GetStdHandle(STD_ERROR_HANDLE);
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

bool is_terminal(standard_stream stream)
{
    DWORD mode = 0;
    return GetConsoleMode(handle_of(stream), &mode) != 0;
}

int error_terminal_columns()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(handle_of(standard_stream::error), &info) == 0) return 0;
    // The window, not the buffer: a line wider than the window scrolls it
    // sideways, which hides its start.
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void write_to_error_terminal(std::string_view bytes)
{
    DWORD written = 0;
    (void)WriteConsoleA(handle_of(standard_stream::error), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                        nullptr);
}

} // namespace pigreco
