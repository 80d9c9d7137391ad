// JSON text (mathematics/json_text): numbers read back as the value written,
// what JSON cannot hold becomes null, and every string comes out as a valid
// JSON string whatever bytes it holds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "mathematics/json_text.h"

TEST(JsonText, NumbersReadBackExactlyAndNonFiniteOnesAreNull) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-40, 40), mantissa(-1, 1);
    for (int k = 0; k < 2000; ++k) {
        const double d = mantissa(random) * std::pow(10.0, exponent(random));
        EXPECT_EQ(std::strtod(jsonDouble(d).c_str(), nullptr), d) << jsonDouble(d);
        const float f = float(d);
        if (std::isfinite(f)) {
            EXPECT_EQ(std::strtof(jsonFloat(f).c_str(), nullptr), f);
        }
    }
    // The shortest form that reads back: 0.1 is "0.1", not 0.10000000000000001.
    EXPECT_EQ(jsonDouble(0.1), "0.1");
    EXPECT_EQ(jsonDouble(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(jsonFloat(0.97531795f), "0.975317955");
    EXPECT_EQ(jsonDouble(0.1f, 9), "0.100000001");
    const double inf = std::numeric_limits<double>::infinity();
    for (const double v : {std::nan(""), inf, -inf}) {
        EXPECT_EQ(jsonDouble(v), "null");
        EXPECT_EQ(jsonDouble(v, 9), "null");
        EXPECT_EQ(jsonFloat(float(v)), "null");
    }
    EXPECT_EQ(jsonBool(true) + jsonBool(false), "truefalse");
}

TEST(JsonText, StringsAreEscapedInFull) {
    EXPECT_EQ(jsonString("plain"), "\"plain\"");
    EXPECT_EQ(jsonString("say \"hi\"\\now"), "\"say \\\"hi\\\"\\\\now\"");
    EXPECT_EQ(jsonString("a\nb\tc\rd\be\ff"), "\"a\\nb\\tc\\rd\\be\\ff\"");
    EXPECT_EQ(jsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(jsonString(std::string("nul\0here", 8)), "\"nul\\u0000here\"");
    EXPECT_EQ(jsonString("Gauß – 100 %"), "\"Gauß – 100 %\""); // UTF-8 passes as it is
}
