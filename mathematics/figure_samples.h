// Every quantity of the two pentagons in one place, for the report tool's
// structured formats: corners, edge planes, equator crossings and the sampled
// great circles and cylinder curves. All of it comes from mathematics/geodesic_math
// and the value report, so the numbers are those the figure draws (radians, y up).
#pragma once

#include <array>
#include <vector>

#include "mathematics/geodesic_math.h"

using point3 = std::array<float, 3>;

struct edgeSamples {
    point3 normal;                     // corner i x corner i+1, not normalised
    greatCircleBasis basis;            // unit normal, corner, along-edge vector
    float crossingAngle;               // step of the first equator crossing
    point3 crossings[2];               // the crossing and its negation
    std::vector<point3> greatCircle;   // one point per sample angle
    std::vector<point3> cylinderCurve; // (sin step, height, cos step) per sample angle
};

struct pentagonSamples {
    float height;              // the y of every corner (argument as given)
    float longitude;           // of corner 0
    float polarAngle;          // phi
    float reportLatitude;      // as the value report prints it
    float longAngles[5];       // corner longitudes, not reduced to a range
    float reportLongitudes[5]; // as the value report prints them
    bool collapsed;            // corners at a pole in single precision: the
                               // corners are the pole, the planes undefined
    point3 corners[5];
    edgeSamples edges[5]; // edge i joins corner i to corner i+1 (mod 5)
};

struct figureSamples {
    float arguments[4];              // pent_lat1, pent_long1, pent_lat2, pent_long2
    std::vector<float> sampleAngles; // (2 j pi) / res, j = 0 .. res-1
    pentagonSamples pentagons[2];
};

// res: samples per curve, at least 1 (the figure uses 100).
figureSamples computeFigure(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2,
                            int res);
