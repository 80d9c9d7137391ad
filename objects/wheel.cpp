#include "objects/wheel.h"

#include <GL/gl.h>

#include "basicsource/main.h"
#include "basicsource/utility.h"

// Mesh layout, n = resolution, step s at angle s*360/n from +x towards +z,
// t = (s + 1) mod n:
//
//            outer    inner         top annulus     face s:      (s, n+s, n+t, t)
//   y = +1:    s       n+s          outer wall      face n+s:    (2n+s, s, t, 2n+t)
//   y = -1:   2n+s     3n+s         inner wall      face 2n+s:   (n+s, 3n+s, 3n+t, n+t)
//                                   bottom annulus  face 3n+s:   (2n+s, 2n+t, 3n+t, 3n+s)
//
// Every face runs counter-clockwise seen from outside the solid; for the inner
// wall that is from the hole. 4n vertices and 4n faces, flat normals.
wheel::wheel(short res, float outerRad, float innerRad) : resolution(res) {
    setColour(1.0f, 0.3f, 0.1f, 1.0f);

    // 4 * res must fit the signed 16-bit face count.
    if (res < 1 || res > 8191) fatal("wheel constructor: resolution must be between 1 and 8191");
    const int n = res;
    allocateMesh(static_cast<unsigned short>(4 * n), short(4 * n), "wheel");

    // Four vertices and four faces per step, at indices fixed by the step, so
    // the two count checks cannot fire while the loops run n steps each; they
    // hold the loops to that relation.
    int steps = 0;
    for (int s = 0; s < n; ++s, ++steps) {
        const float a = float(s * (360.0L / n));
        const float ca = cos_d(a);
        const float sa = sin_d(a);
        vertices[s].set(ca * outerRad, 1.0f, sa * outerRad);
        vertices[n + s].set(ca * innerRad, 1.0f, sa * innerRad);
        vertices[2 * n + s].set(ca * outerRad, -1.0f, sa * outerRad);
        vertices[3 * n + s].set(ca * innerRad, -1.0f, sa * innerRad);
    }
    checkVertexCount(4 * steps);

    steps = 0;
    for (int s = 0; s < n; ++s, ++steps) {
        const int t = (s + 1) % n;
        faces[s].init(short(s), short(n + s), short(n + t), short(t));
        faces[n + s].init(short(2 * n + s), short(s), short(t), short(2 * n + t));
        faces[2 * n + s].init(short(n + s), short(3 * n + s), short(3 * n + t), short(n + t));
        faces[3 * n + s].init(short(2 * n + s), short(2 * n + t), short(3 * n + t),
                              short(3 * n + s));
    }
    checkFaceCount(4 * steps);

    calculateFaceNormals();
}

wheel::wheel(const wheel& source) = default;

wheel::~wheel() = default;

object3D* wheel::clone() const { return new wheel(*this); }

namespace {
// The four quad strips, in drawing order, by vertex ring (each ring holds n
// vertices: 0 top outer, 1 top inner, 2 bottom outer, 3 bottom inner). Each
// pair of wall vertices carries the normal of the wall face that begins at its
// step (face ring 1 outer wall, 2 inner wall); the annuli are flat, so one
// normal serves the whole strip.
struct quadStrip {
    int firstRing, secondRing; // the pair's order makes the quads face outwards
    int faceRing;              // -1: the strip's one normal below
    float normal[3];
};
const quadStrip kStrips[4] = {
    {2, 0, 1, {}},          // outer wall
    {1, 3, 2, {}},          // inner wall
    {0, 1, -1, {0, 1, 0}},  // top annulus
    {3, 2, -1, {0, -1, 0}}, // bottom annulus
};
} // namespace

// Each strip is closed by repeating its first pair (step n is step 0).
void wheel::privateDraw() {
    const int n = resolution;
    for (const quadStrip& strip : kStrips) {
        glBegin(GL_QUAD_STRIP);
        if (strip.faceRing < 0) glNormal3f(strip.normal[0], strip.normal[1], strip.normal[2]);
        for (int step = 0; step <= n; ++step) {
            const int s = step % n;
            if (strip.faceRing >= 0) glNormal3fv(faces[strip.faceRing * n + s].faceNormal.data);
            glVertex3fv(vertices[strip.firstRing * n + s].coordinate.data);
            glVertex3fv(vertices[strip.secondRing * n + s].coordinate.data);
        }
        glEnd();
    }
    gPolygonCount += faceCount;
}
