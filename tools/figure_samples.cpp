#include "tools/figure_samples.h"

namespace {
void fillPentagon(pentagonSamples& p, float height, float longitude,
                  const std::vector<float>& steps) {
    p.height = height;
    p.longitude = longitude;
    p.polarAngle = pentagonPolarAngle(height);
    p.reportLatitude = p.polarAngle; // acos(y / r) with r = 1
    float x[5], z[5], xc[5], yc[5], zc[5];
    pentagonCorners(p.polarAngle, longitude, p.longAngles, x, z);
    pentagonEdgeNormals(height, x, z, xc, yc, zc);
    for (int i = 0; i < 5; ++i) p.corners[i] = {x[i], height, z[i]};
    for (int i = 0; i < 5; ++i) {
        edgeSamples& e = p.edges[i];
        e.normal = {xc[i], yc[i], zc[i]};
        e.basis = edgeGreatCircle(xc[i], yc[i], zc[i], x[i], height, z[i]);
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
} // namespace

figureSamples computeFigure(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2,
                            int res) {
    figureSamples f;
    f.arguments[0] = pent_lat1;
    f.arguments[1] = pent_long1;
    f.arguments[2] = pent_lat2;
    f.arguments[3] = pent_long2;
    for (int j = 0; j < res; ++j)
        f.sampleAngles.push_back(sampleAngle(j, res));

    fillPentagon(f.pentagons[0], pent_lat1, pent_long1, f.sampleAngles);
    fillPentagon(f.pentagons[1], pent_lat2, pent_long2, f.sampleAngles);
    // The report's longitudes pair the two pentagons index by index.
    float x1[5], z1[5], x2[5], z2[5];
    for (int i = 0; i < 5; ++i) {
        x1[i] = f.pentagons[0].corners[i][0];
        z1[i] = f.pentagons[0].corners[i][2];
        x2[i] = f.pentagons[1].corners[i][0];
        z2[i] = f.pentagons[1].corners[i][2];
    }
    reportLongitudes(x1, z1, x2, z2, f.pentagons[0].reportLongitudes, f.pentagons[1].reportLongitudes);
    return f;
}
