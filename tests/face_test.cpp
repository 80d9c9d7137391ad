// face: corner indices of a triangle or quadrilateral; reading a corner that
// is not in use ends the program through fatal().
#include "support/face.h"

#include <gtest/gtest.h>

#include "tests/harness/fatal_expect.h"

namespace {
const char* const kBadCorner = "^face::vertex\\(\\) tried to read invalid vertex index\n$";
}

TEST(Face, DefaultHasNoCornersClearedIndicesAndANullNormal) {
    face f;
    EXPECT_EQ(f.vertices, 0);
    for (short i : f.vert) EXPECT_EQ(i, 0);
    EXPECT_EQ(f.faceNormal.data[0], 0);
    EXPECT_EQ(f.faceNormal.data[1], 0);
    EXPECT_EQ(f.faceNormal.data[2], 0);
    EXPECT_EQ(f.faceNormal.data[3], 1);
}

TEST(Face, TriangleReadsThreeCorners) {
    face f;
    f.init(4, 7, 9);
    EXPECT_EQ(f.vertices, 3);
    EXPECT_EQ(f.vertex(0), 4);
    EXPECT_EQ(f.vertex(1), 7);
    EXPECT_EQ(f.vertex(2), 9);
    EXPECT_FATAL(f.vertex(3), kBadCorner);
}

TEST(Face, QuadReadsFourCorners) {
    face f;
    f.init(1, 2, 3, 4);
    EXPECT_EQ(f.vertices, 4);
    EXPECT_EQ(f.vertex(0), 1);
    EXPECT_EQ(f.vertex(3), 4);
    EXPECT_FATAL(f.vertex(4), kBadCorner);
    EXPECT_FATAL(f.vertex(65535), kBadCorner); // an unsigned corner number
}

TEST(Face, ReinitialisedAsATriangleNoLongerReadsTheFourthCorner) {
    face f;
    f.init(1, 2, 3, 4);
    f.init(5, 6, 7);
    EXPECT_EQ(f.vertices, 3);
    EXPECT_EQ(f.vert[3], 4); // kept, but not a corner any more
    EXPECT_EQ(f.vertex(2), 7);
    EXPECT_FATAL(f.vertex(3), kBadCorner);
}

TEST(Face, UninitialisedFaceFailsOnEveryCorner) {
    face f;
    EXPECT_FATAL(f.vertex(0), kBadCorner);
}

TEST(Face, IndicesAreSigned16Bit) {
    face f;
    f.init(32767, -1, 0, 1000);
    EXPECT_EQ(f.vertex(0), 32767);
    EXPECT_EQ(f.vertex(1), -1); // stored as given; the mesh checks the range
}
