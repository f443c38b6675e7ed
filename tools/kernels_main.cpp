// pigreco_kernels: names the kernel that pigreco's add_terms uses on this
// machine with this build or, with --runnable, every kernel of the build that
// this CPU runs, one a line: what a benchmark report measured, and which
// forced builds are worth timing.
#include <cstdio>
#include <cstring>

#include "kernels.hpp"

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--runnable") == 0) {
        for (const pigreco::kernel& k : pigreco::kernels())
            if (k.runs_here()) std::printf("%s\n", k.name);
        return 0;
    }
    if (argc != 1) {
        // The status says it all where even the usage line cannot be written.
        (void)std::fprintf(stderr, "usage: pigreco_kernels [--runnable]\n");
        return 2;
    }
    std::printf("%s\n", pigreco::chosen_kernel().name);
    return 0;
}
