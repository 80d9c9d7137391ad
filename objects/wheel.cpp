#include "objects/wheel.h"

#include <GL/gl.h>

#include <new>

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

    vertexCount = static_cast<unsigned short>(4 * n);
    faceCount = short(4 * n);

    vertices = new (std::nothrow) vertex[vertexCount];
    faces = new (std::nothrow) face[faceCount];
    if (vertices == nullptr || faces == nullptr)
        fatal("wheel constructor couldn't allocate a vertex and/or face array (out of memory?)");

    int steps = 0;
    for (int s = 0; s < n; ++s) {
        const float a = float(s * (360.0L / n));
        const float ca = cos_d(a);
        const float sa = sin_d(a);
        vertices[s].set(ca * outerRad, 1.0f, sa * outerRad);
        vertices[n + s].set(ca * innerRad, 1.0f, sa * innerRad);
        vertices[2 * n + s].set(ca * outerRad, -1.0f, sa * outerRad);
        vertices[3 * n + s].set(ca * innerRad, -1.0f, sa * innerRad);
        ++steps;
    }
    if (4 * steps > vertexCount) fatal("generated more vertices than you allowed space for");
    if (4 * steps < vertexCount) fatal("allocated space for more vertices than you generated");

    steps = 0;
    for (int s = 0; s < n; ++s) {
        const int t = (s + 1) % n;
        faces[s].init(short(s), short(n + s), short(n + t), short(t));
        faces[n + s].init(short(2 * n + s), short(s), short(t), short(2 * n + t));
        faces[2 * n + s].init(short(n + s), short(3 * n + s), short(3 * n + t), short(n + t));
        faces[3 * n + s].init(short(2 * n + s), short(2 * n + t), short(3 * n + t), short(3 * n + s));
        ++steps;
    }
    if (4 * steps > faceCount) fatal("generated more faces than you allowed space for");
    if (4 * steps < faceCount) fatal("allocated space for more faces than you generated");

    calculateFaceNormals();
}

wheel::wheel(const wheel& source) = default;

wheel::~wheel() = default;

object3D* wheel::clone() const { return new wheel(*this); }

// Four quad strips, each closed by repeating its first pair. Each pair of wall
// vertices carries the normal of the wall face that begins at its step; the
// annuli are flat, so one normal serves the whole strip.
void wheel::privateDraw() {
    const int n = resolution;

    glBegin(GL_QUAD_STRIP); // outer wall
    for (int s = 0; s < n; ++s) {
        glNormal3fv(faces[n + s].faceNormal.data);
        glVertex3fv(vertices[2 * n + s].coordinate.data);
        glVertex3fv(vertices[s].coordinate.data);
    }
    glNormal3fv(faces[n].faceNormal.data);
    glVertex3fv(vertices[2 * n].coordinate.data);
    glVertex3fv(vertices[0].coordinate.data);
    glEnd();

    glBegin(GL_QUAD_STRIP); // inner wall
    for (int s = 0; s < n; ++s) {
        glNormal3fv(faces[2 * n + s].faceNormal.data);
        glVertex3fv(vertices[n + s].coordinate.data);
        glVertex3fv(vertices[3 * n + s].coordinate.data);
    }
    glNormal3fv(faces[2 * n].faceNormal.data);
    glVertex3fv(vertices[n].coordinate.data);
    glVertex3fv(vertices[3 * n].coordinate.data);
    glEnd();

    glBegin(GL_QUAD_STRIP); // top annulus
    glNormal3f(0.0f, 1.0f, 0.0f);
    for (int s = 0; s < n; ++s) {
        glVertex3fv(vertices[s].coordinate.data);
        glVertex3fv(vertices[n + s].coordinate.data);
    }
    glVertex3fv(vertices[0].coordinate.data);
    glVertex3fv(vertices[n].coordinate.data);
    glEnd();

    glBegin(GL_QUAD_STRIP); // bottom annulus
    glNormal3f(0.0f, -1.0f, 0.0f);
    for (int s = 0; s < n; ++s) {
        glVertex3fv(vertices[3 * n + s].coordinate.data);
        glVertex3fv(vertices[2 * n + s].coordinate.data);
    }
    glVertex3fv(vertices[3 * n].coordinate.data);
    glVertex3fv(vertices[2 * n].coordinate.data);
    glEnd();

    gPolygonCount += faceCount;
}
