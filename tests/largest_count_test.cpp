// The sum for the largest count, 2147483647 terms, which only a pass over
// every index gives (about twenty seconds natively, far longer under an
// emulator or with MinGW-w64's pow).
#include <gtest/gtest.h>

#include "known_answer.hpp"

namespace {

TEST(KnownAnswersLargest, LargestCount) { pigreco_test::expect_sum(pigreco_test::largest_count); }

} // namespace
