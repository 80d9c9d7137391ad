// tholix: the geodesic figure. Two pentagons inscribed in the unit sphere, the
// ten great circles through their edges, their corners and equator crossings,
// and the ten curves the great-circle planes cut on the unit cylinder: 2030
// vertices, 12 faces, one display list. Needs a current GL context.
#pragma once

#include <memory>

#include "mathematics/geodesic_math.h"
#include "support/object3D.h"

class tholix : public object3D {
  public:
    // Heights (y of the corners) and longitudes (radians) of corner 0 of the
    // two pentagons.
    tholix(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2);
    tholix(const tholix& source); // shares the pentagon arrays
    ~tholix() override;
    object3D* clone() const override;

    int res;             // points per sampled curve
    unsigned short cnt;  // first corner vertex
    unsigned short cnt2; // first equator-crossing vertex
    unsigned short cnt3; // first cylinder-curve vertex

    // The pentagon arrays: five floats each, one per corner or edge. They
    // point into one block that copies share; it is released with the last.
    float phi1;
    float* long_angles1;
    float* xcoord1;
    float* zcoord1;
    float phi2;
    float* long_angles2;
    float* xcoord2;
    float* zcoord2;
    float* pent1_xcross;
    float* pent1_ycross;
    float* pent1_zcross;
    float* pent2_xcross;
    float* pent2_ycross;
    float* pent2_zcross;
    float pent1_lat; // the report's fields: empty in a figure
    float* pent1_lon;
    float pent2_lat;
    float* pent2_lon;

  private:
    // The steps of construction, in order (see the layout in tholix.cpp).
    void computePentagons(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2);
    void sampleGreatCircles(int p);
    void sampleCylinderCurves(int p);
    void placeCornersAndCrossings(int p);
    void fillFans(int p);
    void recordList();

    // One pentagon's corners and edge normals (p = 0 or 1), and the basis of
    // the great circle of its edge i.
    struct pentagonArrays {
        float height;
        const float *xcoord, *zcoord, *xcross, *ycross, *zcross;
    };
    pentagonArrays pentagon(int p) const;
    greatCircleBasis edgeBasis(int p, int i) const;

    // Where things are in the vertex array: edge i of pentagon p (0 or 1),
    // sample j; corner i; the crossing of edge i's circle (which 0) or its
    // negation (which 1).
    int greatCircleVertex(int p, int i, int j) const { return (5 * p + i) * res + j; }
    int cylinderVertex(int p, int i, int j) const { return cnt3 + (5 * p + i) * res + j; }
    int cornerVertex(int p, int i) const { return cnt + 5 * p + i; }
    int crossingVertex(int p, int i, int which) const { return cnt2 + 10 * p + 5 * which + i; }

    float heights[2];                    // pent_lat1, pent_lat2: the corners' y
    std::shared_ptr<float[]> arrayBlock; // behind every pentagon array
};
