// Numbers as text (mathematics/number_text): whole however long, and no
// negative zero where a rounding leaves nothing but zeros.
#include <gtest/gtest.h>

#include "mathematics/number_text.h"

TEST(NumberText, NumbersAreWholeAndZeroHasNoSign) {
    // 1e300 has 301 digits before the point: no buffer cuts it.
    EXPECT_EQ(printed("%.2f", 1e300).size(), 304u);
    EXPECT_EQ(printed("%.*f", 3, -2.5), "-2.500");
    EXPECT_EQ(fixedDecimals(-0.0004, 3), "0.000");
    EXPECT_EQ(fixedDecimals(-0.0, 2), "0.00");
    EXPECT_EQ(fixedDecimals(-0.0006, 3), "-0.001");
    EXPECT_EQ(fixedDecimals(-1e-12, 0), "0");
}
