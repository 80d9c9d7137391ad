#include "mathematics/intersections.h"

#include <algorithm>
#include <cmath>

#include "mathematics/geodesic_math.h"

namespace {
// Union-find with the smallest member as each set's root, so that a group is
// named by its lowest-numbered circle and a cluster of points by its first.
int rootOf(std::vector<int>& parent, int k) {
    while (parent[k] != k) k = parent[k] = parent[parent[k]];
    return k;
}
void join(std::vector<int>& parent, int a, int b) {
    a = rootOf(parent, a);
    b = rootOf(parent, b);
    if (a != b) parent[std::max(a, b)] = std::min(a, b);
}

// Of a point and its antipode, the one listed first: the northern, or on the
// equator the one with the greater x, then z. The margin keeps rounding from
// deciding between the two of a pair on the equator.
bool listedFirst(const vector3d& p) {
    const double margin = 1e-9;
    if (std::fabs(p[1]) > margin) return p[1] > 0;
    if (std::fabs(p[0]) > margin) return p[0] > 0;
    return p[2] > 0;
}

// A candidate point: where the circles of groups a and b meet.
struct candidate {
    vector3d p;
    int groupA, groupB;
};

int circleMask(const std::array<int, kCircles>& sameAs, int group) {
    int mask = 0;
    for (int c = 0; c < kCircles; ++c)
        if (sameAs[c] == group) mask |= 1 << c;
    return mask;
}

std::vector<int> maskList(int mask) {
    std::vector<int> list;
    for (int c = 0; c < kCircles; ++c)
        if (mask & (1 << c)) list.push_back(c);
    return list;
}

void describePoint(intersectionPoint& q) {
    const vector3d& p = q.sphere;
    const double axisDistance = std::hypot(p[0], p[2]);
    if (axisDistance >= kPoleDistance) q.cylinder = scaled(p, 1 / axisDistance);
    double longitude = std::atan2(p[2], p[0]);
    if (longitude < 0) longitude += kTwoPi;
    q.longitude = longitude < kTwoPi ? longitude : 0;
    q.polarAngle = std::atan2(axisDistance, p[1]);
    q.equatorCrossing = std::fabs(p[1]) < kSamePoint;
}

// Corner i of pentagon p is where the circles of its edges i - 1 and i meet, on
// the corner's side: found by the circles, not by the distance to the corner,
// which for a pentagon near the equator (nearly coincident planes) is far more
// than the planes' rounding.
void markCorners(circleIntersections& r, const std::array<circlePlane, kCircles>& in) {
    for (int corner = 0; corner < kCircles; ++corner) {
        const int before = corner - corner % 5 + (corner + 4) % 5, after = corner;
        const circleWalk &a = r.circles[before], &b = r.circles[after];
        if (!a.live || !b.live || a.sameAs == b.sameAs) continue;
        intersectionPoint* best = nullptr;
        double bestDot = 0;
        for (intersectionPoint& q : r.points) {
            const int mask = (1 << before) | (1 << after);
            int has = 0;
            for (int c : q.circles) has |= 1 << c;
            const double side = dot(q.sphere, in[after].start);
            if ((has & mask) == mask && side > bestDot) {
                best = &q;
                bestDot = side;
            }
        }
        if (best) best->corners.push_back(corner);
    }
}

// Circle c's points in its direction of travel, its arcs and its sums.
void walkCircle(circleIntersections& r, int c, const vector3d& start) {
    circleWalk& w = r.circles[c];
    const cylinderCurve curve(w.unitNormal);
    w.vertical = curve.vertical();
    struct stop {
        double along; // from the walk's start, [0, 2 pi)
        double psi;   // the curve's own angle, (-pi, pi]
        int point;
    };
    std::vector<stop> stops;
    double origin = curve.angleOf(start);
    for (size_t k = 0; k < r.points.size(); ++k) {
        const intersectionPoint& q = r.points[k];
        if (!std::binary_search(q.circles.begin(), q.circles.end(), c)) continue;
        stops.push_back({0, curve.angleOf(q.sphere), int(k)});
        // The corner the walk starts from, where it is a point, is taken as
        // itself, not as the nearest point to the corner as given.
        if (std::find(q.corners.begin(), q.corners.end(), c) != q.corners.end())
            origin = stops.back().psi;
    }
    for (stop& s : stops) {
        double along = s.psi - origin;
        if (along < 0) along += kTwoPi;
        s.along = along < kTwoPi ? along : 0;
    }
    std::sort(stops.begin(), stops.end(), [](const stop& a, const stop& b) {
        return a.along < b.along || (a.along == b.along && a.point < b.point);
    });

    w.firstArc = int(r.arcs.size());
    w.arcCount = int(stops.size());
    double cylinderSum = 0;
    for (size_t k = 0; k < stops.size(); ++k) {
        const stop& from = stops[k];
        const stop& to = stops[(k + 1) % stops.size()];
        w.points.push_back(from.point);
        circleArc arc;
        arc.circle = c;
        arc.from = from.point;
        arc.to = to.point;
        arc.angle = (k + 1 < stops.size() ? to.along : stops[0].along + kTwoPi) - from.along;
        arc.chord = distance(r.points[from.point].sphere, r.points[to.point].sphere);
        if (!w.vertical) {
            arc.cylinderLength = curve.arcLength(from.psi, from.psi + arc.angle);
            cylinderSum += *arc.cylinderLength;
        }
        w.angleSum += arc.angle;
        w.chordSum += arc.chord;
        r.arcs.push_back(arc);
    }
    if (!w.vertical) {
        w.cylinderSum = cylinderSum;
        w.cylinderCurve = curve.length();
    }
}
} // namespace

std::array<circlePlane, kCircles> figureCircles(float lat1, float long1, float lat2, float long2) {
    std::array<circlePlane, kCircles> circles;
    const float heights[2] = {lat1, lat2}, longitudes[2] = {long1, long2};
    for (int p = 0; p < 2; ++p) {
        // The figure's own steps (mathematics/figure_samples).
        const float phi = pentagonPolarAngle(heights[p]);
        float longAngles[5], x[5], z[5], xc[5], yc[5], zc[5];
        pentagonCorners(phi, longitudes[p], longAngles, x, z);
        if (pentagonAtAPole(phi)) continue;
        pentagonEdgeNormals(heights[p], x, z, xc, yc, zc);
        for (int i = 0; i < 5; ++i) {
            circlePlane& c = circles[5 * p + i];
            c.live = true;
            c.normal = {xc[i], yc[i], zc[i]};
            c.start = {x[i], heights[p], z[i]};
        }
    }
    return circles;
}

circleIntersections computeIntersections(const std::array<circlePlane, kCircles>& in) {
    circleIntersections r;
    std::array<vector3d, kCircles> unit{};
    std::vector<int> group(kCircles);
    for (int c = 0; c < kCircles; ++c) {
        group[c] = c;
        const double n = length(in[c].normal);
        r.circles[c].live = in[c].live && std::isfinite(n) && n > 0;
        if (r.circles[c].live) unit[c] = scaled(in[c].normal, 1 / n);
    }
    for (int a = 0; a < kCircles; ++a)
        for (int b = a + 1; b < kCircles; ++b)
            if (r.circles[a].live && r.circles[b].live &&
                length(cross(unit[a], unit[b])) < kCoincidentSine)
                join(group, a, b);
    std::array<int, kCircles> sameAs;
    std::vector<int> groups; // each group's lowest circle, ascending
    for (int c = 0; c < kCircles; ++c) {
        sameAs[c] = r.circles[c].live ? rootOf(group, c) : -1;
        circleWalk& w = r.circles[c];
        w.sameAs = sameAs[c];
        if (!w.live) continue;
        if (sameAs[c] == c) groups.push_back(c);
        // One plane for the whole group, each circle keeping its own direction.
        const vector3d& n = unit[sameAs[c]];
        w.unitNormal = dot(unit[c], n) < 0 ? scaled(n, -1) : n;
        for (int a = 0; a < c; ++a)
            if (sameAs[a] == sameAs[c]) r.coincident.push_back({a, c});
    }
    std::sort(r.coincident.begin(), r.coincident.end());

    // Two great circles meet at +-(n_a x n_b) / |n_a x n_b|; different groups'
    // normals are at least kCoincidentSine apart, so the quotient is sound.
    std::vector<candidate> candidates;
    for (size_t i = 0; i < groups.size(); ++i)
        for (size_t j = i + 1; j < groups.size(); ++j) {
            const vector3d d = cross(unit[groups[i]], unit[groups[j]]);
            vector3d p = scaled(d, 1 / length(d));
            if (!listedFirst(p)) p = scaled(p, -1);
            candidates.push_back({p, groups[i], groups[j]});
            candidates.push_back({scaled(p, -1), groups[i], groups[j]});
        }

    // Points closer than kSamePoint, chained, are one: where three or more
    // circles meet, each pair's point is the same up to rounding. The set is
    // symmetric, so the antipode of every point is a point.
    std::vector<int> cluster(candidates.size());
    for (size_t k = 0; k < candidates.size(); ++k) cluster[k] = int(k);
    for (size_t k = 0; k < candidates.size(); ++k)
        for (size_t l = k + 1; l < candidates.size(); ++l)
            if (distance(candidates[k].p, candidates[l].p) < kSamePoint)
                join(cluster, int(k), int(l));
    std::vector<int> pointOf(candidates.size(), -1);
    std::vector<vector3d> sums;
    std::vector<int> masks;
    for (size_t k = 0; k < candidates.size(); ++k) {
        const int root = rootOf(cluster, int(k));
        if (pointOf[root] < 0) {
            pointOf[root] = int(sums.size());
            sums.push_back({0, 0, 0});
            masks.push_back(0);
        }
        const int index = pointOf[root];
        const candidate& m = candidates[k];
        for (int a = 0; a < 3; ++a) sums[index][a] += m.p[a];
        masks[index] |= circleMask(sameAs, m.groupA) | circleMask(sameAs, m.groupB);
    }
    for (size_t k = 0; k < sums.size(); ++k) {
        intersectionPoint q;
        q.sphere = scaled(sums[k], 1 / length(sums[k]));
        q.circles = maskList(masks[k]);
        describePoint(q);
        r.points.push_back(q);
    }
    markCorners(r, in);
    for (intersectionPoint& q : r.points) std::sort(q.corners.begin(), q.corners.end());

    for (int c = 0; c < kCircles; ++c)
        if (r.circles[c].live) walkCircle(r, c, in[c].start);
    return r;
}

circleIntersections computeIntersections(float lat1, float long1, float lat2, float long2) {
    return computeIntersections(figureCircles(lat1, long1, lat2, long2));
}

std::string circleLabel(int c) { return std::to_string(c / 5 + 1) + "." + std::to_string(c % 5); }
