// pigreco_variant: prints which instruction set pigreco's fast path uses on
// this machine with this build, so that a benchmark report can say what it
// measured.
#include <cstdio>

#include "add_terms.hpp"

int main()
{
    std::printf("%s\n", pigreco::add_terms_variant());
    return 0;
}
