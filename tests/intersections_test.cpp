// Where the great circles meet and the arcs between: the scene's structure,
// the figure's own planes and the geometric properties over 300 seeded random
// sets, the arcs' cylinder lengths against polylines, the degenerate sets with
// their exact structure, and circles given directly (three through one point,
// vertical planes).
#include "mathematics/intersections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "mathematics/figure_samples.h"
#include "mathematics/scene_constants.h"
#include "tests/random_pentagons.h"

namespace {
circleIntersections scene() {
    return computeIntersections(kScenePentagons[0], kScenePentagons[1], kScenePentagons[2],
                                kScenePentagons[3]);
}

std::vector<std::array<float, 4>> randomSets(int count) {
    return randomPentagonSets(count, 20260117);
}

// The arc from p to q walked around the unit normal n, in (0, 2 pi].
double angleAround(const vector3d& n, const vector3d& p, const vector3d& q) {
    double a = std::atan2(dot(n, cross(p, q)), dot(p, q));
    return a <= 0 ? a + 2 * kPi : a;
}

// The cylinder curve as the figure draws it, its point at the angle s around
// the axis, from the image of point `from` to that of `to`, walked the way
// the circle runs; a polyline fine enough for its steepness.
double polylineLength(const circleIntersections& r, const circleArc& a, const vector3d& n) {
    const vector3d &p = *r.points[a.from].cylinder, &q = *r.points[a.to].cylinder;
    const double s0 = std::atan2(p[0], p[2]);
    double turn = std::remainder(std::atan2(q[0], q[2]) - s0, 2 * kPi);
    if (a.angle > kPi) turn += n[1] > 0 ? 2 * kPi : -2 * kPi;
    const double steepness = std::hypot(n[0], n[2]) / std::fabs(n[1]);
    const int segments = int(std::min(1e6, 4e3 + 4e2 * steepness * std::fabs(turn)));
    double sum = 0;
    vector3d last{};
    for (int k = 0; k <= segments; ++k) {
        const double s = s0 + turn * k / segments, x = std::sin(s), z = std::cos(s);
        const vector3d c = {x, -(n[0] * x + n[2] * z) / n[1], z};
        if (k) sum += distance(c, last);
        last = c;
    }
    return sum;
}

void checkCoincident(const circleIntersections& r, const std::string& where);

// The properties every answer has, whatever the four values.
void checkProperties(const circleIntersections& r, const std::array<circlePlane, kCircles>& in,
                     const std::string& where) {
    std::array<vector3d, kCircles> n{};
    for (int c = 0; c < kCircles; ++c)
        if (r.circles[c].live) n[c] = normalised(in[c].normal);
    for (size_t k = 0; k < r.points.size(); ++k) {
        const intersectionPoint& q = r.points[k];
        const std::string at = where + ", point " + std::to_string(k);
        ASSERT_NEAR(dot(q.sphere, q.sphere), 1, 1e-14) << at;
        ASSERT_GE(q.circles.size(), 2u) << at;
        // On the plane of every circle it lists and on no other.
        for (int c = 0; c < kCircles; ++c) {
            if (!r.circles[c].live) continue;
            const bool listed = std::count(q.circles.begin(), q.circles.end(), c) > 0;
            ASSERT_EQ(std::fabs(dot(n[c], q.sphere)) < kSamePoint, listed) << at << ", circle " << c;
        }
        // Its antipode is a point, through the same circles.
        const vector3d opposite = {-q.sphere[0], -q.sphere[1], -q.sphere[2]};
        const auto antipode = std::find_if(r.points.begin(), r.points.end(), [&](const auto& o) {
            return distance(o.sphere, opposite) < 1e-15;
        });
        ASSERT_NE(antipode, r.points.end()) << at;
        ASSERT_EQ(antipode->circles, q.circles) << at;
        // The image lies on every listed circle's cylinder curve: at its own
        // angle around the axis (sin s, cos s) = (x, z), the curve's height
        // (coincident circles share their group's plane, 1e-6 from their own).
        if (!q.cylinder) continue;
        const vector3d& image = *q.cylinder;
        ASSERT_NEAR(image[0] * image[0] + image[2] * image[2], 1, 1e-14) << at;
        for (int c : q.circles) {
            if (r.circles[c].vertical) continue;
            const vector3d& m = r.circles[c].unitNormal;
            const double height = -(m[0] * image[0] + m[2] * image[2]) / m[1];
            ASSERT_NEAR(image[1], height, 1e-9 * (1 + std::fabs(height))) << at << ", circle " << c;
        }
    }
    for (int c = 0; c < kCircles; ++c) {
        const circleWalk& w = r.circles[c];
        if (!w.live) continue;
        const std::string at = where + ", circle " + circleLabel(c);
        // Its plane: its own, or its group's, turned its own way.
        ASSERT_LT(std::sqrt(dot(cross(w.unitNormal, n[c]), cross(w.unitNormal, n[c]))),
                  kCoincidentSine) << at;
        ASSERT_GT(dot(w.unitNormal, n[c]), 0) << at;
        ASSERT_EQ(size_t(w.arcCount), w.points.size()) << at;
        if (w.points.empty()) continue;
        EXPECT_NEAR(w.angleSum, 2 * kPi, 1e-12) << at;
        ASSERT_EQ(w.cylinderSum.has_value(), !w.vertical) << at;
        if (w.cylinderSum) {
            EXPECT_NEAR(*w.cylinderSum / *w.cylinderCurve, 1, 1e-12) << at;
        }
        // The walk starts at its first corner where that is a point.
        for (size_t k = 0; k < r.points.size(); ++k)
            if (std::count(r.points[k].corners.begin(), r.points[k].corners.end(), c)) {
                EXPECT_EQ(w.points[0], int(k)) << at;
            }
        for (int k = 0; k < w.arcCount; ++k) {
            const circleArc& a = r.arcs[size_t(w.firstArc + k)];
            const vector3d &p = r.points[a.from].sphere, &q = r.points[a.to].sphere;
            ASSERT_EQ(a.circle, c);
            ASSERT_EQ(a.from, w.points[size_t(k)]) << at;
            ASSERT_EQ(a.to, w.points[size_t(k + 1) % w.points.size()]) << at;
            // The arc goes in the circle's own direction of travel, n x p.
            ASSERT_NEAR(a.angle, angleAround(normalised(in[c].normal), p, q), 1e-9) << at;
            ASSERT_NEAR(a.chord, distance(p, q), 1e-15) << at;
            ASSERT_NEAR(a.chord, 2 * std::sin(a.angle / 2), 2e-6) << at;
        }
    }
    checkCoincident(r, where);
}

// Coincident circles list the same arcs, point pair for point pair, with
// the same lengths, each walked its own way.
void checkCoincident(const circleIntersections& r, const std::string& where) {
    auto arcsOf = [&](int c) {
        std::set<std::array<double, 5>> arcs;
        const circleWalk& w = r.circles[c];
        for (int k = 0; k < w.arcCount; ++k) {
            const circleArc& a = r.arcs[size_t(w.firstArc + k)];
            arcs.insert({double(std::min(a.from, a.to)), double(std::max(a.from, a.to)),
                         std::round(a.angle * 1e9), std::round(a.chord * 1e9),
                         std::round(a.cylinderLength.value_or(-1) * 1e9)});
        }
        return arcs;
    };
    for (const auto& pair : r.coincident)
        ASSERT_EQ(arcsOf(pair[0]), arcsOf(pair[1])) << where << ": " << pair[0] << " and " << pair[1];
}

struct structure {
    size_t points, arcs;
    std::vector<std::array<int, 2>> coincident;
    int liveCircles;
    size_t pointsPerCircle;
    std::vector<std::vector<int>> corners; // the corners marked, point by point, when any
};

void expectStructure(const circleIntersections& r, const structure& want) {
    EXPECT_EQ(r.points.size(), want.points);
    EXPECT_EQ(r.arcs.size(), want.arcs);
    EXPECT_EQ(r.coincident, want.coincident);
    int live = 0;
    for (const circleWalk& w : r.circles) {
        live += w.live;
        if (w.live) {
            EXPECT_EQ(w.points.size(), want.pointsPerCircle);
        }
    }
    EXPECT_EQ(live, want.liveCircles);
    std::vector<std::vector<int>> corners;
    for (const intersectionPoint& q : r.points)
        if (!q.corners.empty()) corners.push_back(q.corners);
    std::sort(corners.begin(), corners.end());
    EXPECT_EQ(corners, want.corners);
}
} // namespace

TEST(Intersections, SceneHasNinetyPointsEighteenOnEachCircle) {
    const circleIntersections r = scene();
    expectStructure(r, {90, 180, {}, 10, 18, {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}}});
    const figureSamples f = computeFigure(kScenePentagons[0], kScenePentagons[1],
                                          kScenePentagons[2], kScenePentagons[3], 1);
    int equator = 0;
    for (const intersectionPoint& q : r.points) {
        equator += q.equatorCrossing;
        // Both pentagons have longitude 0.1, so edge i of each crosses the
        // equator at the same two points, where their circles meet.
        if (q.equatorCrossing) {
            EXPECT_EQ(q.circles[1], q.circles[0] + 5);
        }
        for (int k : q.corners) {
            const point3& corner = f.pentagons[k / 5].corners[k % 5];
            EXPECT_LT(distance(q.sphere, normalised({corner[0], corner[1], corner[2]})), 1e-6);
        }
    }
    EXPECT_EQ(equator, 10);
    // Pentagon 1 is small around the pole: nothing crosses its edges, so each
    // of its circles' first arc is the edge itself, corner c to corner c + 1.
    for (int c = 0; c < 5; ++c) {
        const circleArc& edge = r.arcs[size_t(r.circles[c].firstArc)];
        const point3 &a = f.pentagons[0].corners[c], &b = f.pentagons[0].corners[(c + 1) % 5];
        EXPECT_EQ(r.points[edge.from].corners, std::vector<int>{c});
        EXPECT_EQ(r.points[edge.to].corners, std::vector<int>{(c + 1) % 5});
        EXPECT_NEAR(edge.angle, std::acos(dot(normalised({a[0], a[1], a[2]}), normalised({b[0], b[1], b[2]}))),
                    1e-6);
    }
    checkProperties(r, figureCircles(kScenePentagons[0], kScenePentagons[1], kScenePentagons[2],
                                     kScenePentagons[3]),
                    "scene");
}

TEST(Intersections, PropertiesHoldForRandomSets) {
    int points = 0, coincident = 0, steep = 0;
    for (const auto& v : randomSets(300)) {
        const auto circles = figureCircles(v[0], v[1], v[2], v[3]);
        const circleIntersections r = computeIntersections(circles);
        char where[96];
        std::snprintf(where, sizeof where, "%.9g %.9g %.9g %.9g", v[0], v[1], v[2], v[3]);
        // The planes are the figure's own, bit for bit, and none at a pole.
        const figureSamples f = computeFigure(v[0], v[1], v[2], v[3], 1);
        for (int c = 0; c < kCircles; ++c) {
            const pentagonSamples& p = f.pentagons[c / 5];
            ASSERT_EQ(circles[c].live, !p.collapsed) << where;
            for (int a = 0; a < 3 && circles[c].live; ++a) {
                ASSERT_EQ(circles[c].normal[a], double(p.edges[c % 5].normal[a])) << where;
                ASSERT_EQ(circles[c].start[a], double(p.corners[c % 5][a])) << where;
            }
        }
        checkProperties(r, circles, where);
        if (HasFatalFailure()) return;
        points += int(r.points.size());
        coincident += int(r.coincident.size());
        for (const circleWalk& w : r.circles) steep += w.live && w.cylinderCurve.value_or(0) > 100;
    }
    // The sets reach what they should: many points, some coincident circles,
    // some steep curves (a pentagon near a pole).
    EXPECT_GT(points, 15000);
    EXPECT_GT(coincident, 0);
    EXPECT_GT(steep, 10);
}

TEST(Intersections, CylinderLengthsMatchPolylines) {
    // Every arc of the scene, of the steepest curves four values make (the
    // last floats before the poles: A = 3600) and of 20 random sets, against a
    // polyline of the curve drawn at the angle s around the axis (relative
    // 1e-6; a polyline is short by about (segment x curvature)^2 / 24).
    auto sets = randomSets(20);
    sets.insert(sets.begin(),
                {{kScenePentagons[0], kScenePentagons[1], kScenePentagons[2], kScenePentagons[3]},
                 {0.99999994f, 0.2f, -0.99999994f, 0.1f}});
    int arcs = 0;
    for (const auto& v : sets) {
        const circleIntersections r = computeIntersections(v[0], v[1], v[2], v[3]);
        for (const circleArc& a : r.arcs) {
            const circleWalk& w = r.circles[a.circle];
            ASSERT_TRUE(a.cylinderLength.has_value());
            const double want = polylineLength(r, a, w.unitNormal);
            ASSERT_NEAR(*a.cylinderLength / want, 1, 1e-6)
                << "circle " << a.circle << " from " << a.from << " to " << a.to << " of "
                << v[0] << " " << v[1] << " " << v[2] << " " << v[3];
            ++arcs;
        }
    }
    EXPECT_GT(arcs, 2000);
}

TEST(Intersections, DegenerateSetsHaveTheirExactStructure) {
    const float pi = 3.14159265f;
    {
        SCOPED_TRACE("the same pentagon twice: five circles, each corner both pentagons'");
        const circleIntersections r = computeIntersections(0.5f, 0.3f, 0.5f, 0.3f);
        checkProperties(r, figureCircles(0.5f, 0.3f, 0.5f, 0.3f), "same twice");
        expectStructure(r, {20, 80, {{0, 5}, {1, 6}, {2, 7}, {3, 8}, {4, 9}}, 10, 8,
                            {{0, 5}, {1, 6}, {2, 7}, {3, 8}, {4, 9}}});
        for (const intersectionPoint& q : r.points) EXPECT_EQ(q.circles.size(), 4u);
    }
    {
        SCOPED_TRACE("antipodal pentagons: the same five circles, corners opposite");
        const circleIntersections r = computeIntersections(0.5f, 0.3f, -0.5f, 0.3f + pi);
        checkProperties(r, figureCircles(0.5f, 0.3f, -0.5f, 0.3f + pi), "antipodal");
        expectStructure(r, {20, 80, {{0, 5}, {1, 6}, {2, 7}, {3, 8}, {4, 9}}, 10, 8,
                            {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}}});
        for (const intersectionPoint& q : r.points)
            for (int k : q.corners) {
                const intersectionPoint& o = *std::find_if(
                    r.points.begin(), r.points.end(), [&](const intersectionPoint& p) {
                        return dot(p.sphere, q.sphere) < -1 + 1e-12;
                    });
                EXPECT_EQ(o.corners, std::vector<int>{(k + 5) % 10});
            }
    }
    {
        SCOPED_TRACE("a pentagon on the equator: its five circles are one, met ten times");
        const circleIntersections r = computeIntersections(0.0f, 0.3f, 0.630991f, 0.1f);
        checkProperties(r, figureCircles(0.0f, 0.3f, 0.630991f, 0.1f), "on the equator");
        std::vector<std::array<int, 2>> equator;
        for (int a = 0; a < 5; ++a)
            for (int b = a + 1; b < 5; ++b) equator.push_back({a, b});
        EXPECT_EQ(r.points.size(), 30u);
        EXPECT_EQ(r.arcs.size(), 100u);
        EXPECT_EQ(r.coincident, equator);
        int onEquator = 0;
        for (const intersectionPoint& q : r.points) {
            onEquator += q.equatorCrossing;
            if (q.equatorCrossing) {
                EXPECT_EQ(q.circles.size(), 6u); // 1.0-1.4 and one of 2.x
            }
            for (int k : q.corners) EXPECT_GE(k, 5); // the equator's neighbours coincide
        }
        EXPECT_EQ(onEquator, 10);
        for (int c = 0; c < kCircles; ++c) {
            EXPECT_EQ(r.circles[c].points.size(), 10u);
            EXPECT_EQ(r.circles[c].sameAs, c < 5 ? 0 : c);
        }
        // Along the equator the cylinder curve is the equator itself.
        for (int k = 0; k < r.circles[0].arcCount; ++k) {
            const circleArc& a = r.arcs[size_t(r.circles[0].firstArc + k)];
            EXPECT_NEAR(*a.cylinderLength, a.angle, 1e-14);
        }
    }
    {
        SCOPED_TRACE("both on the equator: one circle, no points");
        const circleIntersections r = computeIntersections(0.0f, 0.0f, 0.0f, 0.5f);
        EXPECT_EQ(r.coincident.size(), 45u);
        EXPECT_TRUE(r.points.empty());
        EXPECT_TRUE(r.arcs.empty());
        for (const circleWalk& w : r.circles) EXPECT_NEAR(*w.cylinderCurve, 2 * kPi, 1e-14);
    }
    for (float pole : {1.0f, -1.0f}) {
        SCOPED_TRACE("one pentagon at a pole: five circles, twenty points");
        const circleIntersections r = computeIntersections(pole, 0.3f, 0.630991f, 0.1f);
        expectStructure(r, {20, 40, {}, 5, 8, {{5}, {6}, {7}, {8}, {9}}});
        for (int c = 0; c < 5; ++c) EXPECT_EQ(r.circles[c].sameAs, -1);
    }
    {
        SCOPED_TRACE("both at the poles: nothing");
        expectStructure(computeIntersections(1.0f, 0.0f, -1.0f, 0.0f), {0, 0, {}, 0, 0, {}});
    }
}

TEST(Intersections, CirclesGivenDirectly) {
    // Three circles through one point p (and its antipode) meet only there:
    // two points, each listing all three, each circle cut into two half turns.
    const vector3d p = normalised({1, 2, 3});
    std::array<circlePlane, kCircles> in{};
    const vector3d directions[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0.3, 1}};
    for (int c = 0; c < 3; ++c) in[c] = {true, cross(p, directions[c]), p};
    circleIntersections r = computeIntersections(in);
    checkProperties(r, in, "three circles through one point");
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_EQ(r.points[0].circles, (std::vector<int>{0, 1, 2}));
    EXPECT_LT(distance(r.points[0].sphere, p), 1e-15); // the northern one first
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(r.circles[c].arcCount, 2);
        EXPECT_EQ(r.points[size_t(r.circles[c].points[0])].sphere, r.points[0].sphere);
        EXPECT_NEAR(r.arcs[size_t(r.circles[c].firstArc)].angle, kPi, 1e-12);
    }
    // Tilted 1e-8 off that point, the third circle's crossings are still the
    // same point; tilted 1e-4, they are four more.
    for (double tilt : {1e-8, 1e-4}) {
        in[2].normal = cross(normalised({p[0] + tilt, p[1], p[2]}), directions[2]);
        r = computeIntersections(in);
        EXPECT_EQ(r.points.size(), tilt < kSamePoint ? 2u : 6u) << "tilt " << tilt;
    }

    // Two vertical planes meet at the poles: no image there, and no cylinder
    // lengths along them; the equator (a third circle) crosses both.
    std::array<circlePlane, kCircles> vertical{};
    vertical[0] = {true, {1, 0, 0}, {0, 0, 1}};
    vertical[1] = {true, {1, 1e-10, 1}, normalised({1, 0, -1})};
    vertical[2] = {true, {0, 1, 0}, {1, 0, 0}};
    r = computeIntersections(vertical);
    ASSERT_EQ(r.points.size(), 6u);
    int poles = 0;
    for (const intersectionPoint& q : r.points) {
        poles += !q.cylinder;
        if (!q.cylinder) {
            EXPECT_EQ(q.circles, (std::vector<int>{0, 1}));
        }
    }
    EXPECT_EQ(poles, 2);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(r.circles[c].vertical, c < 2);
        EXPECT_EQ(r.circles[c].cylinderCurve.has_value(), c == 2);
        const circleArc& a = r.arcs[size_t(r.circles[c].firstArc)];
        EXPECT_EQ(a.cylinderLength.has_value(), c == 2);
    }
    checkProperties(r, vertical, "vertical planes");
}
