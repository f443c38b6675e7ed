// Ctrl-C during a long sum: the line of progress is erased, leaving the
// cursor at the start of an empty line, and the program then ends as any
// interrupted program ends (on POSIX by the signal's default action, so that
// the shell sees it; on Windows by the console's own handling, after the code
// page is put back). Nothing is written otherwise.
#pragma once

#include <cstddef>

namespace pigreco {

// From here on, until the program ends. Where Ctrl-C is ignored (a program
// started in the background by a shell without job control), it stays so.
void erase_progress_on_interrupt();

// The characters of progress on the terminal now (0: none); never more than
// the widest line of progress.
void progress_on_screen(std::size_t characters);

} // namespace pigreco
