// Partial sums of millions of terms whose every bit is known: a second or so
// natively, seconds under an emulator.
#include <gtest/gtest.h>

#include "known_answer.hpp"

namespace {

using pigreco_test::known_answer;

constexpr known_answer large_known_answers[] = {
    {1000000, 0x1.921face0c6ff3p+1},
    {10000000, 0x1.921fb46d83444p+1},
};

TEST(KnownAnswersLarge, MillionsOfTerms)
{
    for (const known_answer& answer : large_known_answers) pigreco_test::expect_sum(answer);
}

} // namespace
