#include "close_wait.hpp"

#include <gtest/gtest.h>

namespace {

struct wait_case {
    const char* name;
    pigreco::console_start start;
    bool waits;
};

// Only a console window of the program's own, with every stream on it, is
// kept open: a shell that shares the console, or any redirection, means a
// caller who reads the answer there or elsewhere.
const wait_case wait_cases[] = {
    {"double-click: own console, nothing redirected", {true, true, true, 1}, true},
    {"from Command Prompt: console shared", {true, true, true, 2}, false},
    {"from a shell and its host: console shared by three", {true, true, true, 3}, false},
    {"no console at all (Wine with pipes)", {false, false, false, 0}, false},
    {"own console, input redirected", {false, true, true, 1}, false},
    {"own console, output redirected", {true, false, true, 1}, false},
    {"own console, error redirected", {true, true, false, 1}, false},
};

TEST(CloseWait, WaitsOnlyInAConsoleOfItsOwnWithNothingRedirected)
{
    for (const wait_case& c : wait_cases) EXPECT_EQ(pigreco::waits_for_enter(c.start), c.waits) << c.name;
}

} // namespace
