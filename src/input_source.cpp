// The one place where the count reader asks the system about a stream: the
// C library alone cannot tell a terminal from a pipe, nor ask whether a
// stream can seek without operating on it (after which it can no longer be
// made unbuffered).
#include "input_source.hpp"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace pigreco {

input_source prepare_input(std::FILE* in)
{
#if defined(_WIN32)
    const int fd = _fileno(in);
    if (fd < 0) return input_source::stream;
    if (_isatty(fd) != 0) return input_source::terminal;
    (void)_setmode(fd, _O_BINARY);
    return _lseeki64(fd, 0, SEEK_CUR) >= 0 ? input_source::seekable : input_source::stream;
#else
    const int fd = fileno(in);
    if (fd < 0) return input_source::stream; // a stream in memory, say: no file to ask
    if (isatty(fd) != 0) return input_source::terminal;
    return lseek(fd, 0, SEEK_CUR) >= 0 ? input_source::seekable : input_source::stream;
#endif
}

} // namespace pigreco
