// vec: the four-float value type. The three-component setter and the sums
// force w = 1; add() and the four-component setter keep what they are given.
#include "support/vec.h"

#include <gtest/gtest.h>

#include <string>

namespace {
void expectVec(const vec& v, float x, float y, float z, float w) {
    EXPECT_EQ(v.data[0], x);
    EXPECT_EQ(v.data[1], y);
    EXPECT_EQ(v.data[2], z);
    EXPECT_EQ(v.data[3], w);
}
std::string printed(vec v) {
    testing::internal::CaptureStdout();
    v.print();
    return testing::internal::GetCapturedStdout();
}
} // namespace

// data is handed straight to glVertex3fv, glNormal3fv and glLightfv.
static_assert(sizeof(vec) == 4 * sizeof(float), "vec must be exactly four contiguous floats");

TEST(Vec, DefaultIsTheHomogeneousOrigin) { expectVec(vec(), 0, 0, 0, 1); }

TEST(Vec, ThreeComponentSetResetsWAndAddKeepsIt) {
    vec v;
    v.set(1, 2, 3, 5);
    expectVec(v, 1, 2, 3, 5);
    v.set(4, 5, 6);
    expectVec(v, 4, 5, 6, 1);

    v.set(1, 2, 3, 7);
    v.add(1, 1, 1);
    expectVec(v, 2, 3, 4, 7);
    v.add(-2, 0.5f, -4);
    expectVec(v, 0, 3.5f, 0, 7);
}

TEST(Vec, SumAndDifferenceIgnoreTheOperandsW) {
    vec a, b;
    a.set(1, 2, 3, 5);
    b.set(1, 1, 1, 7);
    expectVec(a + b, 2, 3, 4, 1);
    expectVec(a - b, 0, 1, 2, 1);
    expectVec(b - a, 0, -1, -2, 1);
    // The operands are left alone.
    expectVec(a, 1, 2, 3, 5);
    expectVec(b, 1, 1, 1, 7);
}

TEST(Vec, CopiesAreIndependent) {
    vec a;
    a.set(1, 2, 3, 4);
    vec b = a;
    b.add(1, 1, 1);
    expectVec(a, 1, 2, 3, 4);
    vec c;
    c = b;
    c.set(0, 0, 0);
    expectVec(b, 2, 3, 4, 4);
}

TEST(Vec, PrintsEachComponentWithACommaThenAnEmptyLine) {
    EXPECT_EQ(printed(vec()), "0,0,0,1,\n\n");
    vec v;
    v.set(1.5f, -2, 1234567, 0.25f); // default stream format: six significant digits
    EXPECT_EQ(printed(v), "1.5,-2,1.23457e+06,0.25,\n\n");
}
