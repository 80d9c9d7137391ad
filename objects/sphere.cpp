#include "objects/sphere.h"

#include <GL/gl.h>

#include "basicsource/constants.h"
#include "basicsource/utility.h"

// Mesh layout, n = gridSize, t = (j + 1) mod n, N = n(n-1) north pole,
// S = N + 1 south pole, B = n(n-2) first vertex of the last ring:
//
//                      N                      ring r (1 .. n-1) at latitude
//          north cap, face n(n-2)+i:          90 - r*180/n, step j at longitude
//            (N, i+1, i)                      j*360/n from +x towards +z:
//   ring 1    0 --- 1 --- ... --- n-1           vertex (r-1)n + j
//             |  band 0 quads     |
//   ring 2    n --- n+1 - ... --- 2n-1        band i = 0 .. n-3, face i*n + j:
//             :                   :             (in+j, in+t, (i+1)n+t, (i+1)n+j)
//   ring n-1  B --- B+1 - ... --- B+n-1
//          south cap, face n(n-1)+i:
//            (B+i, B+t, S)
//                      S
//
// Every face runs counter-clockwise seen from outside. n(n-1)+2 vertices, n*n
// faces. The display list draws the same surface as two fans and n-2 quad
// strips, each vertex with its smooth normal.
sphere::sphere(short gridSize) : resolution(gridSize) {
    setColour(1.0f, 0.0f, 0.0f, 1.0f);

    // Below 2 there is no last ring (B would be -1); above 181 n*n no longer
    // fits the signed 16-bit face count.
    if (gridSize < 2 || gridSize > 181)
        fatal("sphere constructor: grid size must be between 2 and 181");
    const int n = gridSize;
    allocateMesh(static_cast<unsigned short>(n * (n - 1) + 2), short(n * n), "sphere");

    // The loops below make exactly these counts, so the checks cannot fire
    // while they run as written; they hold the loops to the two formulas.
    checkVertexCount(placeVertices());
    checkFaceCount(joinFaces());
    calculateVertexNormals();
    flatFaces = kSmoothFaces;
    recordList();
}

// The rings from the north down, then the two poles; returns how many
// vertices were placed.
int sphere::placeVertices() {
    const int n = resolution;
    const float stepSize = 180.0f / n;
    float zRot = 90.0f - stepSize; // lowered ring by ring, so rounding accumulates
    int v = 0;
    for (int r = 1; r < n; ++r) {
        for (int j = 0; j < n; ++j) {
            const float yRot = float(j * (360.0L / n));
            vertices[v++].set(cos_d(zRot) * cos_d(yRot), sin_d(zRot), cos_d(zRot) * sin_d(yRot));
        }
        zRot -= stepSize;
    }
    vertices[v++].set(0.0f, 1.0f, 0.0f);
    vertices[v++].set(0.0f, -1.0f, 0.0f);
    return v;
}

// The bands' quadrilaterals, then the north and south caps' triangles;
// returns how many faces were made.
int sphere::joinFaces() {
    const int n = resolution;
    const int north = n * (n - 1), south = north + 1, lastRing = n * (n - 2);
    int f = 0;
    for (int i = 0; i < n - 2; ++i)
        for (int j = 0; j < n; ++j) {
            const int t = (j + 1) % n;
            faces[f++].init(short(i * n + j), short(i * n + t), short((i + 1) * n + t),
                            short((i + 1) * n + j));
        }
    for (int i = 0; i < n; ++i) faces[f++].init(short(north), short((i + 1) % n), short(i));
    for (int i = 0; i < n; ++i)
        faces[f++].init(short(lastRing + i), short(lastRing + (i + 1) % n), short(south));
    return f;
}

// The same surface as two fans and n-2 quad strips, each vertex with its
// smooth normal; the face records serve only the normals.
void sphere::recordList() {
    listName = glGenLists(1);
    if (listName == 0) fatal("sphere constructor couldn't record shape into an OpenGL list");
    const int n = resolution;
    const int north = n * (n - 1), south = north + 1, lastRing = n * (n - 2);
    auto send = [this](int index) {
        glNormal3fv(vertices[index].normal.data);
        glVertex3fv(vertices[index].coordinate.data);
    };
    glNewList(listName, GL_COMPILE);
    // North cap, turning back to vertex 0 to close the fan.
    glBegin(GL_TRIANGLE_FAN);
    send(north);
    send(0);
    for (int j = n - 1; j >= 0; --j) send(j);
    glEnd();
    // South cap, starting from the last step so that the fan closes on it.
    glBegin(GL_TRIANGLE_FAN);
    send(south);
    send(lastRing + n - 1);
    for (int j = 0; j < n; ++j) send(lastRing + j);
    glEnd();
    // Bands, lower ring first in each pair so that the quads face outwards.
    for (int i = 0; i < n - 2; ++i) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j < n; ++j) {
            send((i + 1) * n + j);
            send(i * n + j);
        }
        send((i + 1) * n);
        send(i * n);
        glEnd();
    }
    glEndList();
}

sphere::sphere(const sphere& source) = default;

sphere::~sphere() = default;

object3D* sphere::clone() const { return new sphere(*this); }
