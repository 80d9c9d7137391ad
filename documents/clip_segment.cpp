#include "documents/clip_segment.h"

#include <algorithm>
#include <cmath>

namespace {
// Ends of two clipped segments closer than this on the page are one point:
// the clip recomputes a shared end, which may then differ by a rounding.
// Far below what the drawings write (hundredths of a pixel, thousandths of
// a millimetre).
const double kJoinGap = 1e-6;

bool finite(planePoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }
} // namespace

bool clipSegment(planePoint& a, planePoint& b, const planeBox& box) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.x0, box.x1 - a.x, a.y - box.y0, box.y1 - a.y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false; // parallel to this edge and outside it
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const planePoint start{a.x + t0 * dx, a.y + t0 * dy}, end{a.x + t1 * dx, a.y + t1 * dy};
    a = start;
    b = end;
    return true;
}

std::vector<std::string> clippedRuns(const std::vector<planePoint>& curve, const planeBox& box,
                                     const std::function<planePoint(planePoint)>& toPage,
                                     std::string (*number)(double)) {
    std::vector<std::string> runs;
    std::string run;
    int runPoints = 0;
    planePoint last{NAN, NAN};
    auto finishRun = [&] {
        if (runPoints >= 2) runs.push_back(run);
        run.clear();
        runPoints = 0;
    };
    for (size_t k = 1; k < curve.size(); ++k) {
        planePoint a = curve[k - 1], b = curve[k];
        if (!finite(a) || !finite(b) || !clipSegment(a, b, box)) {
            finishRun();
            continue;
        }
        const planePoint start = toPage(a);
        if (runPoints == 0 || std::fabs(start.x - last.x) > kJoinGap ||
            std::fabs(start.y - last.y) > kJoinGap) {
            finishRun();
            run = number(start.x) + "," + number(start.y);
            runPoints = 1;
        }
        last = toPage(b);
        run += " " + number(last.x) + "," + number(last.y);
        ++runPoints;
    }
    finishRun();
    return runs;
}
