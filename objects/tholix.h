// tholix: the geodesic figure. Two pentagons inscribed in the unit sphere, the
// ten great circles through their edges, their corners and equator crossings,
// and the ten curves the great-circle planes cut on the unit cylinder: 2030
// vertices, 12 faces, one display list. Needs a current GL context.
// The pentagon arrays are shared between copies and released with the last one.
#pragma once

#include <memory>

#include "support/object3D.h"

class tholix : public object3D {
  public:
    // Heights (y of the corners) and longitudes (radians) of corner 0 of the
    // two pentagons.
    tholix(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2);
    tholix(const tholix& source);
    ~tholix() override;
    object3D* clone() const override;

    int res;            // points per sampled curve
    unsigned short cnt;  // first corner vertex
    unsigned short cnt2; // first equator-crossing vertex
    unsigned short cnt3; // first cylinder-curve vertex

    float phi1;
    std::shared_ptr<float[]> long_angles1;
    std::shared_ptr<float[]> xcoord1;
    std::shared_ptr<float[]> zcoord1;
    float phi2;
    std::shared_ptr<float[]> long_angles2;
    std::shared_ptr<float[]> xcoord2;
    std::shared_ptr<float[]> zcoord2;
    std::shared_ptr<float[]> pent1_xcross;
    std::shared_ptr<float[]> pent1_ycross;
    std::shared_ptr<float[]> pent1_zcross;
    std::shared_ptr<float[]> pent2_xcross;
    std::shared_ptr<float[]> pent2_ycross;
    std::shared_ptr<float[]> pent2_zcross;
    float pent1_lat;                      // not set by the figure
    std::shared_ptr<float[]> pent1_lon;   // not set by the figure
    float pent2_lat;                      // not set by the figure
    std::shared_ptr<float[]> pent2_lon;   // not set by the figure
};
