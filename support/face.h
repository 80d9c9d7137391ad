// face: a triangle or quadrilateral of a mesh, given by signed 16-bit indices
// into the owning object's vertex array, corners counter-clockwise seen from
// the side the face is meant to be seen from, with its unit face normal.
#pragma once

#include "support/vec.h"

class face {
  public:
    short vertices; // corners in use: 3, 4, or 0 before init
    short vert[4];  // vertex indices; only the first `vertices` are meaningful
    vec faceNormal;

    face(); // no corners; vert cleared to 0
    void init(short a, short b, short c);
    void init(short a, short b, short c, short d);
    // The index of corner n; fatal unless 0 <= n < vertices.
    short vertex(unsigned short n);
};
