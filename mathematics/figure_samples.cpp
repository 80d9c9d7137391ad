#include "mathematics/figure_samples.h"

namespace {
// The corners as the mathematics computes them, and the report's longitudes
// from them (the rule pairs the two pentagons index by index).
struct cornerArrays {
    float x[5], z[5];
};

void fillEdges(pentagonSamples& p, const cornerArrays& c, const std::vector<float>& steps) {
    float xc[5], yc[5], zc[5];
    pentagonEdgeNormals(p.height, c.x, c.z, xc, yc, zc);
    for (int i = 0; i < 5; ++i) {
        edgeSamples& e = p.edges[i];
        e.normal = {xc[i], yc[i], zc[i]};
        e.basis = edgeGreatCircle(xc[i], yc[i], zc[i], c.x[i], p.height, c.z[i]);
        point3& q = e.crossings[0];
        e.crossingAngle = equatorCrossing(e.basis, q.data());
        e.crossings[1] = {-q[0], -q[1], -q[2]};
        e.greatCircle.resize(steps.size());
        e.cylinderCurve.resize(steps.size());
        for (size_t j = 0; j < steps.size(); ++j) {
            greatCirclePoint(e.basis, steps[j], e.greatCircle[j].data());
            cylinderPoint(xc[i], yc[i], zc[i], steps[j], e.cylinderCurve[j].data());
        }
    }
}

void fillPentagon(pentagonSamples& p, float height, float longitude, cornerArrays& corners,
                  const std::vector<float>& steps) {
    p.height = height;
    p.longitude = longitude;
    p.polarAngle = pentagonPolarAngle(height);
    p.reportLatitude = p.polarAngle; // acos(y / r) with r = 1
    pentagonCorners(p.polarAngle, longitude, p.longAngles, corners.x, corners.z);
    p.collapsed = pentagonAtAPole(p.polarAngle); // drawn at its pole
    cornerArrays drawn = corners;
    for (int i = 0; i < 5 && p.collapsed; ++i) drawn.x[i] = drawn.z[i] = 0.0f;
    for (int i = 0; i < 5; ++i) p.corners[i] = {drawn.x[i], height, drawn.z[i]};
    fillEdges(p, drawn, steps);
}
} // namespace

figureSamples computeFigure(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2,
                            int res) {
    figureSamples f;
    f.arguments[0] = pent_lat1;
    f.arguments[1] = pent_long1;
    f.arguments[2] = pent_lat2;
    f.arguments[3] = pent_long2;
    for (int j = 0; j < res; ++j) f.sampleAngles.push_back(sampleAngle(j, res));

    cornerArrays c1, c2;
    fillPentagon(f.pentagons[0], pent_lat1, pent_long1, c1, f.sampleAngles);
    fillPentagon(f.pentagons[1], pent_lat2, pent_long2, c2, f.sampleAngles);
    // The value report's longitudes, from the corners as computed.
    reportLongitudes(c1.x, c1.z, c2.x, c2.z, f.pentagons[0].reportLongitudes,
                     f.pentagons[1].reportLongitudes);
    return f;
}
