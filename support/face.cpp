#include "support/face.h"

#include "basicsource/utility.h"

// vert is cleared so that a face never holds indeterminate indices.
face::face() : vertices(0), vert{0, 0, 0, 0} {}

void face::init(short a, short b, short c) {
    vert[0] = a;
    vert[1] = b;
    vert[2] = c;
    vertices = 3;
}

void face::init(short a, short b, short c, short d) {
    vert[0] = a;
    vert[1] = b;
    vert[2] = c;
    vert[3] = d;
    vertices = 4;
}

short face::vertex(unsigned short n) {
    if (n >= vertices || vertices > 4) fatal("face::vertex() tried to read invalid vertex index");
    return vert[n];
}
