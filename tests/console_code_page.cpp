// Tells the output code page of the console it runs on, for the terminal test
// (tests/console_terminal.py) to compare before and after the program: the
// chcp of Wine tells the input code page only.
#include <cstdio>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int main()
{
    return std::printf("output code page: %u\n", GetConsoleOutputCP()) < 0 ? 1 : 0;
}
