#include "objects/tholix.h"

#include <GL/gl.h>

#include <cstdio>

#include "basicsource/constants.h"
#include "basicsource/utility.h"

// Vertex layout, res = 100 samples per curve, pentagon p = 0, 1, edge i = 0 .. 4,
// sample j at angle 2 j pi / res:
//
//      0 ..  499   pentagon 1, great circle i, sample j    greatCircleVertex(0, i, j)
//    500 ..  999   pentagon 2, great circle i, sample j    greatCircleVertex(1, i, j)
//   1000 .. 1009   corners: pentagon 1 (0-4), pentagon 2 (5-9)       cornerVertex(p, i)
//   1010 .. 1029   equator crossings: P1 (0-4), their negations (5-9),
//                  P2 (10-14), their negations (15-19)     crossingVertex(p, i, which)
//   1030 .. 1529   pentagon 1, cylinder curve i, sample j  cylinderVertex(0, i, j)
//   1530 .. 2029   pentagon 2, cylinder curve i, sample j  cylinderVertex(1, i, j)
//
// Faces, 12 triangles fanned from corner 4 of each pentagon:
//
//        c1 ---- c2        faces 0-2:  (c4, c0, c1) (c4, c1, c2) (c4, c2, c3)
//       /  \      \          in corner order, clockwise seen from +y, so
//     c0 -- c4 --- c3        facing down;
//                          faces 3-5:  the same triangles reversed, facing up;
//                          faces 6-11: the same for pentagon 2 (cnt + 5 ..).
tholix::tholix(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2)
    // The report's four fields stay empty: nothing reads them in a figure.
    : pent1_lat(0.0f), pent1_lon(nullptr), pent2_lat(0.0f),
      pent2_lon(nullptr), heights{pent_lat1, pent_lat2} {
    setColour(0.0f, 0.0f, 0.0f, 1.0f);

    res = 100;
    cnt = static_cast<unsigned short>(10 * res);
    cnt2 = static_cast<unsigned short>(10 * res + 10);
    cnt3 = static_cast<unsigned short>(10 * res + 30);
    allocateMesh(static_cast<unsigned short>(10 * res + cnt3), 12, "tholix");

    computePentagons(pent_lat1, pent_long1, pent_lat2, pent_long2);
    for (int p = 0; p < 2; ++p) {
        sampleGreatCircles(p);
        sampleCylinderCurves(p);
    }
    for (int p = 0; p < 2; ++p) placeCornersAndCrossings(p);
    for (int p = 0; p < 2; ++p) fillFans(p);

    calculateVertexNormals();
    flatFaces = kSmoothFaces;
    recordList();
}

tholix::tholix(const tholix& source) = default;

tholix::~tholix() = default;

object3D* tholix::clone() const { return new tholix(*this); }

// Corners and edge normals of both pentagons, into one block of arrays.
void tholix::computePentagons(float pent_lat1, float pent_long1, float pent_lat2,
                              float pent_long2) {
    arrayBlock = newPentagonArrays({&long_angles1, &xcoord1, &zcoord1, &long_angles2, &xcoord2,
                                    &zcoord2, &pent1_xcross, &pent1_ycross, &pent1_zcross,
                                    &pent2_xcross, &pent2_ycross, &pent2_zcross});
    phi1 = pentagonPolarAngle(pent_lat1);
    phi2 = pentagonPolarAngle(pent_lat2);
    pentagonCorners(phi1, pent_long1, long_angles1, xcoord1, zcoord1);
    pentagonCorners(phi2, pent_long2, long_angles2, xcoord2, zcoord2);
    pentagonEdgeNormals(pent_lat1, xcoord1, zcoord1, pent1_xcross, pent1_ycross, pent1_zcross);
    pentagonEdgeNormals(pent_lat2, xcoord2, zcoord2, pent2_xcross, pent2_ycross, pent2_zcross);
}

tholix::pentagonArrays tholix::pentagon(int p) const {
    if (p == 0) return {heights[0], xcoord1, zcoord1, pent1_xcross, pent1_ycross, pent1_zcross};
    return {heights[1], xcoord2, zcoord2, pent2_xcross, pent2_ycross, pent2_zcross};
}

greatCircleBasis tholix::edgeBasis(int p, int i) const {
    const pentagonArrays a = pentagon(p);
    return edgeGreatCircle(a.xcross[i], a.ycross[i], a.zcross[i], a.xcoord[i], a.height,
                           a.zcoord[i]);
}

// Says once per edge when a collapsed pentagon's zero normal was defused.
void tholix::sampleGreatCircles(int p) {
    for (int i = 0; i < 5; ++i) {
        const greatCircleBasis basis = edgeBasis(p, i);
        if (basis.normalWasZero) std::printf("division by zero compensated: norm\n");
        for (int j = 0; j < res; ++j) {
            float rot[3];
            greatCirclePoint(basis, sampleAngle(j, res), rot);
            vertices[greatCircleVertex(p, i, j)].set(rot[0], rot[1], rot[2]);
        }
    }
}

void tholix::sampleCylinderCurves(int p) {
    const pentagonArrays a = pentagon(p);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < res; ++j) {
            float point[3];
            cylinderPoint(a.xcross[i], a.ycross[i], a.zcross[i], sampleAngle(j, res), point);
            vertices[cylinderVertex(p, i, j)].set(point[0], point[1], point[2]);
        }
}

void tholix::placeCornersAndCrossings(int p) {
    const pentagonArrays a = pentagon(p);
    for (int i = 0; i < 5; ++i) {
        vertices[cornerVertex(p, i)].set(a.xcoord[i], a.height, a.zcoord[i]);
        float q[3];
        equatorCrossing(edgeBasis(p, i), q);
        vertices[crossingVertex(p, i, 0)].set(q[0], q[1], q[2]);
        vertices[crossingVertex(p, i, 1)].set(-q[0], -q[1], -q[2]);
    }
}

// Three triangles from corner 4 in corner order, then the same three reversed,
// so the filled pentagon has a front face on both sides.
void tholix::fillFans(int p) {
    const short c0 = short(cornerVertex(p, 0));
    face* f = faces + 6 * p;
    f[0].init(c0 + 4, c0, c0 + 1);
    f[1].init(c0 + 4, c0 + 1, c0 + 2);
    f[2].init(c0 + 4, c0 + 2, c0 + 3);
    f[3].init(c0 + 1, c0, c0 + 4);
    f[4].init(c0 + 2, c0 + 1, c0 + 4);
    f[5].init(c0 + 3, c0 + 2, c0 + 4);
}

// No colour, normal or material in the list: the figure takes its material
// from object3D::draw, so the scene can recolour it.
void tholix::recordList() {
    listName = glGenLists(1);
    if (listName == 0) fatal("tholix constructor couldn't record shape into an OpenGL list");
    auto send = [this](int v) { glVertex3fv(vertices[v].coordinate.data); };

    glNewList(listName, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < faceCount; ++f)
        for (unsigned short k = 0; k < 3; ++k) send(faces[f].vertex(k));
    glEnd();

    glLineWidth(1.0f);
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 5; ++i) {
            glBegin(GL_LINE_LOOP);
            for (int j = 0; j < res; ++j) send(greatCircleVertex(p, i, j));
            glEnd();
        }

    glPointSize(3.0f);
    glBegin(GL_POINTS);
    for (int k = 0; k < 10; ++k) send(cnt + k); // the corners of both pentagons
    glEnd();
    glBegin(GL_POINTS);
    for (int k = 0; k < 10; ++k) { // each crossing beside the other pentagon's same one
        send(cnt2 + k);
        send(cnt2 + k + 10);
    }
    glEnd();
    glPointSize(1.0f);

    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 5; ++i) {
            glBegin(GL_LINE_LOOP);
            for (int j = 0; j < res; ++j) send(cylinderVertex(p, i, j));
            glEnd();
        }
    glEndList();
}
