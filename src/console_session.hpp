// The program's stay on a Windows console, from the start of main to its end:
// the console shows the program's UTF-8 bytes as UTF-8, and gets its own code
// page back at the end; a window of the program's own (a double-click) stays
// open until Enter. The bytes the program writes are never changed. Elsewhere
// a terminal takes the bytes as they are, and there is nothing to do.
#pragma once

namespace pigreco {

class console_session {
public:
#if defined(_WIN32)
    console_session();
    ~console_session();
#else
    console_session() {}
#endif
    console_session(const console_session&) = delete;
    console_session& operator=(const console_session&) = delete;

#if defined(_WIN32)
private:
    // Whether the program, about to end, waits for Enter (close_wait.hpp).
    bool waits_ = false;
#endif
};

} // namespace pigreco
