#include "tools/figure_samples.h"

#include <sstream>

#include "support/tholix_print_values.h"

namespace {
void fillPentagon(pentagonSamples& p, float height, float longitude, const float* reportLon,
                  float reportLat, const std::vector<float>& steps) {
    p.height = height;
    p.longitude = longitude;
    p.polarAngle = pentagonPolarAngle(height);
    p.reportLatitude = reportLat;
    float x[5], z[5], xc[5], yc[5], zc[5];
    pentagonCorners(p.polarAngle, longitude, p.longAngles, x, z);
    pentagonEdgeNormals(height, x, z, xc, yc, zc);
    for (int i = 0; i < 5; ++i) {
        p.reportLongitudes[i] = reportLon[i];
        p.corners[i] = {x[i], height, z[i]};
    }
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

    // The report's spherical coordinates pair the two pentagons, so they come
    // from the report itself; its text is not wanted here.
    std::ostringstream unused;
    const tholix_print_values report(pent_lat1, pent_long1, pent_lat2, pent_long2, unused);
    fillPentagon(f.pentagons[0], pent_lat1, pent_long1, report.pent1_lon.get(), report.pent1_lat,
                 f.sampleAngles);
    fillPentagon(f.pentagons[1], pent_lat2, pent_long2, report.pent2_lon.get(), report.pent2_lat,
                 f.sampleAngles);
    return f;
}
