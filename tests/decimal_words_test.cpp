// The one way numbers are read (mathematics/decimal_words): decimals as a
// person types them and nothing else, and the four values' messages built on
// it, which geodesic-report, geodesics-render and the page all show.
#include "mathematics/decimal_words.h"

#include <gtest/gtest.h>

#include "mathematics/pentagon_args.h"

TEST(DecimalWords, OnlyDecimalsAreNumbers) {
    for (const char* word : {"0", "-0", "+1", ".5", "-.5", "5.", "00001", "1e5", "1E+5",
                             "-1.5e-3", "1e-400", "1e999"})
        EXPECT_TRUE(isDecimalWord(word)) << word;
    // Blanks, lone signs and points, cut exponents, hexadecimal (which strtod
    // takes), commas, spelled infinities and digits of other scripts.
    for (const char* word : {"", " ", " 1", "1 ", ".", "-", "+", "e5", "1e", "1e+", "1..2",
                             "1e5.5", "1,5", "0x10", "0x1p-2", "-0x10", "inf", "nan", "１"})
        EXPECT_FALSE(isDecimalWord(word)) << word;
}

TEST(DecimalWords, SpelledInfinitiesAndNaNAreTheirOwnKind) {
    for (const char* word : {"inf", "-Infinity", "INF", "nan", "-nan", "nan(0x1)"})
        EXPECT_TRUE(isNonFiniteWord(word)) << word;
    // Numbers too large for a double are not spellings of infinity.
    for (const char* word : {"1e999", "0x1p99999", " inf", "inf ", "0.5", "", "infinite"})
        EXPECT_FALSE(isNonFiniteWord(word)) << word;
}

TEST(DecimalWords, ReadsWhatADoubleHolds) {
    double v = -7;
    EXPECT_TRUE(readDecimal("2.5e1", v));
    EXPECT_EQ(v, 25.0);
    EXPECT_TRUE(readDecimal("1e-400", v)); // too small: the nearest double, zero
    EXPECT_EQ(v, 0.0);
    v = -7;
    for (const char* word : {"1e400", "0x10", "inf", "nan", "", "3 "}) {
        EXPECT_FALSE(readDecimal(word, v)) << word;
        EXPECT_EQ(v, -7.0) << word;
    }
}

// The value reader keeps its messages and refuses hexadecimal as it refuses
// any other word that is not a decimal.
TEST(DecimalWords, ThePentagonValuesMessages) {
    float v = 0;
    EXPECT_EQ(parsePentagonValue(0, "0x1p-1", v), "LAT1 '0x1p-1' is not a number");
    EXPECT_EQ(parsePentagonValue(1, "0x1p128", v), "LONG1 '0x1p128' is not a number");
    EXPECT_EQ(parsePentagonValue(1, "-inf", v), "LONG1 '-inf' is not a finite number");
    EXPECT_EQ(parsePentagonValue(3, "1e39", v),
              "LONG2 '1e39' is too large for single precision (at most about 3.4e38)");
    EXPECT_EQ(parsePentagonValue(2, "1.5", v),
              "LAT2 '1.5' is outside -1 to 1 (the height of the corners on the unit sphere)");
    EXPECT_EQ(parsePentagonValue(2, "-.5e0", v), "");
    EXPECT_EQ(v, -0.5f);
}
