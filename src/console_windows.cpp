// console_session on Windows (compiled for Windows only).
#include "console_session.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "close_wait.hpp"
#include "program_texts.hpp"
#include "terminal.hpp"

namespace pigreco {

namespace {

// The console's output code page as the program found it, while the program
// has it set to UTF-8; 0 otherwise. Also read by the Ctrl-C handler, which
// runs on a thread of its own.
std::atomic<UINT> found_code_page{0};

void restore_code_page()
{
    if (const UINT page = found_code_page.exchange(0); page != 0) (void)SetConsoleOutputCP(page);
}

// Ctrl-C, Ctrl-Break or the window closed: the code page back, then the
// system's own handling, which ends the program.
BOOL WINAPI on_console_event(DWORD)
{
    restore_code_page();
    return FALSE;
}

console_start how_started()
{
    DWORD one = 0;
    return {is_terminal(standard_stream::input), is_terminal(standard_stream::output),
            is_terminal(standard_stream::error), GetConsoleProcessList(&one, 1)};
}

// Waits for Enter on the console. Whatever was typed before the question
// does not count.
void wait_for_enter()
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD written = 0;
    (void)WriteConsoleA(out, texts::press_enter_to_close, static_cast<DWORD>(std::strlen(texts::press_enter_to_close)),
                        &written, nullptr);
    (void)FlushConsoleInputBuffer(in);
    // In the console's line mode a read returns once Enter has been pressed.
    wchar_t line[64];
    DWORD read = 0;
    while (ReadConsoleW(in, line, 64, &read, nullptr) != 0 && read > 0) {
        if (std::wmemchr(line, L'\r', read) != nullptr || std::wmemchr(line, L'\n', read) != nullptr) return;
    }
}

// A stream that goes to the console gets the program's bytes exactly, each
// line in one write. In text mode the C library may translate them itself
// (Wine's reads them in the ANSI code page and shows C3 A8 as two letters);
// in binary mode the console decodes them, and shows a bare line feed as a
// new line. Unbuffered, a formatted line could reach the console a byte at a
// time, and the two bytes of the e with grave accent would each show as an
// unknown character.
void write_to_console_as_is(std::FILE* stream)
{
    (void)_setmode(_fileno(stream), _O_BINARY);
    (void)std::setvbuf(stream, nullptr, _IOFBF, BUFSIZ);
}

} // namespace

console_session::console_session()
{
    const console_start start = how_started();
    waits_ = waits_for_enter(start);
    if (start.output_is_console) write_to_console_as_is(stdout);
    if (start.error_is_console) write_to_console_as_is(stderr);
    if (!start.output_is_console && !start.error_is_console) return;
    const UINT page = GetConsoleOutputCP();
    if (page == 0 || page == CP_UTF8) return;
    // Set before the page changes, so that a Ctrl-C at any moment after puts it back.
    found_code_page = page;
    (void)SetConsoleCtrlHandler(on_console_event, TRUE);
    if (SetConsoleOutputCP(CP_UTF8) == 0) found_code_page = 0;
}

console_session::~console_session()
{
    // What is buffered first, the question after.
    (void)std::fflush(stdout);
    (void)std::fflush(stderr);
    if (waits_) wait_for_enter();
    restore_code_page();
    (void)SetConsoleCtrlHandler(on_console_event, FALSE);
}

} // namespace pigreco
