#include "objects/tholix.h"

#include <GL/gl.h>

#include <cstdio>
#include <new>

#include "basicsource/constants.h"
#include "basicsource/utility.h"
#include "support/geodesic_math.h"

// Vertex layout, res = 100 samples per curve, edge i = 0 .. 4, sample j:
//
//      0 ..  499   pentagon 1, great circle i, sample j      at i*res + j
//    500 ..  999   pentagon 2, great circle i, sample j      at (i+5)*res + j
//   1000 .. 1009   corners: pentagon 1 (0-4), pentagon 2 (5-9)       cnt + k
//   1010 .. 1029   equator crossings: P1 (0-4), their negations (5-9),
//                  P2 (10-14), their negations (15-19)               cnt2 + k
//   1030 .. 1529   pentagon 1, cylinder curve i, sample j    at cnt3 + i*res + j
//   1530 .. 2029   pentagon 2, cylinder curve i, sample j    at cnt3 + (i+5)*res + j
//
// Faces, 12 triangles fanned from corner 4 of each pentagon:
//
//        c1 ---- c2        faces 0-2:  (c4, c0, c1) (c4, c1, c2) (c4, c2, c3)
//       /  \      \          in corner order, clockwise seen from +y, so
//     c0 -- c4 --- c3        facing down;
//                          faces 3-5:  the same triangles reversed, facing up;
//                          faces 6-11: the same for pentagon 2 (cnt + 5 ..).
tholix::tholix(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2)
    : pent1_lat(0.0f), pent2_lat(0.0f) { // the report's fields: unused by the figure
    setColour(0.0f, 0.0f, 0.0f, 1.0f);

    res = 100;
    cnt = static_cast<unsigned short>(10 * res);
    cnt2 = static_cast<unsigned short>(10 * res + 10);
    cnt3 = static_cast<unsigned short>(10 * res + 30);
    vertexCount = static_cast<unsigned short>(10 * res + cnt3);
    faceCount = 12;

    vertices = new (std::nothrow) vertex[vertexCount];
    faces = new (std::nothrow) face[faceCount];
    if (vertices == nullptr || faces == nullptr)
        fatal("tholix constructor couldn't allocate a vertex and/or face array (out of memory?)");

    phi1 = pentagonPolarAngle(pent_lat1);
    phi2 = pentagonPolarAngle(pent_lat2);
    newPentagonCorners(phi1, pent_long1, long_angles1, xcoord1, zcoord1);
    newPentagonCorners(phi2, pent_long2, long_angles2, xcoord2, zcoord2);

    newPentagonEdgeNormals(pent_lat1, xcoord1, zcoord1, pent1_xcross, pent1_ycross, pent1_zcross);
    newPentagonEdgeNormals(pent_lat2, xcoord2, zcoord2, pent2_xcross, pent2_ycross, pent2_zcross);

    // Curves and crossings of one pentagon's five edges; `first` is 0 for
    // pentagon 1 and 5 for pentagon 2 (its curves follow pentagon 1's).
    auto sampleEdges = [this](int first, float height, const float* xcoord, const float* zcoord,
                              const float* xcross, const float* ycross, const float* zcross) {
        for (int i = 0; i < 5; ++i) {
            const greatCircleBasis basis =
                edgeGreatCircle(xcross[i], ycross[i], zcross[i], xcoord[i], height, zcoord[i]);
            if (basis.normalWasZero) std::printf("division by zero compensated: norm\n");
            const int curve = (first + i) * res;
            for (int j = 0; j < res; ++j) {
                const float step = sampleAngle(j, res);
                float rot[3];
                greatCirclePoint(basis, step, rot);
                vertices[curve + j].set(rot[0], rot[1], rot[2]);
                float onCylinder[3];
                cylinderPoint(xcross[i], ycross[i], zcross[i], step, onCylinder);
                vertices[cnt3 + curve + j].set(onCylinder[0], onCylinder[1], onCylinder[2]);
            }
            float crossing[3];
            equatorCrossing(basis, crossing);
            const int k = cnt2 + 2 * first + i; // 1010 + i, or 1020 + i for pentagon 2
            vertices[k].set(crossing[0], crossing[1], crossing[2]);
            vertices[k + 5].set(-crossing[0], -crossing[1], -crossing[2]);
        }
    };
    sampleEdges(0, pent_lat1, xcoord1.get(), zcoord1.get(), pent1_xcross.get(), pent1_ycross.get(),
                pent1_zcross.get());
    sampleEdges(5, pent_lat2, xcoord2.get(), zcoord2.get(), pent2_xcross.get(), pent2_ycross.get(),
                pent2_zcross.get());

    for (int i = 0; i < 5; ++i) vertices[cnt + i].set(xcoord1[i], pent_lat1, zcoord1[i]);
    for (int i = 5; i < 10; ++i) vertices[cnt + i].set(xcoord2[i - 5], pent_lat2, zcoord2[i - 5]);

    const short c = short(cnt);
    for (int p = 0; p < 2; ++p) {
        const short b = short(c + 5 * p); // corner 0 of this pentagon
        faces[6 * p + 0].init(b + 4, b, b + 1);
        faces[6 * p + 1].init(b + 4, b + 1, b + 2);
        faces[6 * p + 2].init(b + 4, b + 2, b + 3);
        faces[6 * p + 3].init(b + 1, b, b + 4);
        faces[6 * p + 4].init(b + 2, b + 1, b + 4);
        faces[6 * p + 5].init(b + 3, b + 2, b + 4);
    }

    calculateVertexNormals();
    flatFaces = kSmoothFaces;

    listName = glGenLists(1);
    if (listName == 0) fatal("tholix constructor couldn't record shape into an OpenGL list");

    // No colour, normal or material here: the figure takes its material from
    // object3D::draw, so the scene can recolour it.
    glNewList(listName, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < faceCount; ++f)
        for (unsigned short k = 0; k < 3; ++k)
            glVertex3fv(vertices[faces[f].vertex(k)].coordinate.data);
    glEnd();

    glLineWidth(1.0f);
    for (int curve = 0; curve < 10; ++curve) { // both pentagons' great circles
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < res; ++j) glVertex3fv(vertices[curve * res + j].coordinate.data);
        glEnd();
    }

    glPointSize(3.0f);
    glBegin(GL_POINTS);
    for (int k = 0; k < 10; ++k) glVertex3fv(vertices[cnt + k].coordinate.data);
    glEnd();
    glBegin(GL_POINTS);
    for (int k = 0; k < 10; ++k) {
        glVertex3fv(vertices[cnt2 + k].coordinate.data);
        glVertex3fv(vertices[cnt2 + k + 10].coordinate.data);
    }
    glEnd();
    glPointSize(1.0f);

    for (int curve = 0; curve < 10; ++curve) { // both pentagons' cylinder curves
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < res; ++j) glVertex3fv(vertices[cnt3 + curve * res + j].coordinate.data);
        glEnd();
    }
    glEndList();
}

tholix::tholix(const tholix& source) = default;

tholix::~tholix() = default;

object3D* tholix::clone() const { return new tholix(*this); }
