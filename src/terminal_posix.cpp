// terminal.hpp on POSIX systems.
#include "terminal.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace pigreco {

bool is_terminal(standard_stream stream)
{
    switch (stream) {
    case standard_stream::input: return isatty(STDIN_FILENO) == 1;
    case standard_stream::output: return isatty(STDOUT_FILENO) == 1;
    case standard_stream::error: return isatty(STDERR_FILENO) == 1;
    }
    return false;
}

int error_terminal_columns()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void write_to_error_terminal(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(STDERR_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        // Progress is a courtesy: a terminal that refuses it changes nothing else.
        if (written <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace pigreco
