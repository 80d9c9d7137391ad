// vertex: a mesh point and its smoothing normal, both homogeneous vecs.
#include "support/vertex.h"

#include <gtest/gtest.h>

TEST(Vertex, StartsAtTheOriginWithANullNormal) {
    vertex v;
    for (const vec* f : {&v.coordinate, &v.normal}) {
        EXPECT_EQ(f->data[0], 0);
        EXPECT_EQ(f->data[1], 0);
        EXPECT_EQ(f->data[2], 0);
        EXPECT_EQ(f->data[3], 1);
    }
}

TEST(Vertex, SetMovesTheCoordinateOnly) {
    vertex v;
    v.normal.set(0, 1, 0, 1);
    v.coordinate.set(9, 9, 9, 0);
    v.set(1, 2, 3);
    EXPECT_EQ(v.coordinate.data[0], 1);
    EXPECT_EQ(v.coordinate.data[1], 2);
    EXPECT_EQ(v.coordinate.data[2], 3);
    EXPECT_EQ(v.coordinate.data[3], 1); // w back to 1
    EXPECT_EQ(v.normal.data[0], 0);
    EXPECT_EQ(v.normal.data[1], 1);
    EXPECT_EQ(v.normal.data[2], 0);

    vertex copy = v; // member-wise, independent
    copy.set(4, 5, 6);
    copy.normal.set(1, 0, 0);
    EXPECT_EQ(v.coordinate.data[0], 1);
    EXPECT_EQ(v.normal.data[1], 1);
}
