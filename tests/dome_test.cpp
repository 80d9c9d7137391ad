// The dome the great circles build: the scene's geodesic sphere, the
// degenerate sets with their exact counts, the properties every dome has over
// 300 seeded random sets, and arrangements that are not sound, which must be
// reported, never answered.
#include "mathematics/dome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "mathematics/scene_constants.h"
#include "tests/random_pentagons.h"

namespace {

geodesicDome dome(const std::array<float, 4>& v) { return buildDome(v[0], v[1], v[2], v[3]); }

std::vector<std::array<float, 4>> randomSets(int count) {
    return randomPentagonSets(count, 20260118);
}

// What every built dome is, whatever the circles.
void checkDome(const geodesicDome& d, const circleIntersections& r, const std::string& where) {
    SCOPED_TRACE(where);
    ASSERT_EQ(d.status, domeStatus::built) << d.problem;
    const circleArrangement& a = d.arrangement;
    const int v = int(a.vertices.size()), e = int(a.edges.size()), f = int(a.faces.size());
    ASSERT_EQ(v - e + f, 2);

    // Each edge lies between two different faces, along one of them from
    // `from` to `to` and along the other back: the faces tile the sphere.
    std::map<std::pair<int, bool>, int> sides; // directed (from, to) per edge, counted
    for (int k = 0; k < f; ++k) {
        const arrangementFace& face = a.faces[size_t(k)];
        const size_t n = face.corners.size();
        ASSERT_GE(n, 3u) << "face " << k;
        ASSERT_EQ(face.edges.size(), n);
        for (size_t c = 0; c < n; ++c) {
            const arrangementEdge& edge = a.edges[size_t(face.edges[c])];
            const int from = face.corners[c], to = face.corners[(c + 1) % n];
            const bool forward = edge.from == from && edge.to == to;
            ASSERT_TRUE(forward || (edge.from == to && edge.to == from)) << "face " << k;
            ASSERT_EQ(forward ? edge.leftFace : edge.rightFace, k) << "face " << k;
            ++sides[{face.edges[c], forward}];
            // Convex, counter-clockwise seen from outside: every turn is a left turn.
            const vector3d &p = a.vertices[size_t(from)], &q = a.vertices[size_t(to)],
                           &s = a.vertices[size_t(face.corners[(c + 2) % n])];
            ASSERT_GT(dot(p, cross(q, s)), 0) << "face " << k << " at corner " << c;
        }
    }
    for (int k = 0; k < e; ++k) {
        const arrangementEdge& edge = a.edges[size_t(k)];
        ASSERT_NE(edge.leftFace, edge.rightFace) << "edge " << k;
        ASSERT_EQ(sides[std::make_pair(k, true)], 1) << "edge " << k;
        ASSERT_EQ(sides[std::make_pair(k, false)], 1) << "edge " << k;
        ASSERT_EQ(edge.circle, r.circles[edge.circle].sameAs);
    }

    // Hubs on the sphere: the vertices, then one centre per face that is not
    // a triangle; struts: the edges, then a spoke to each of its corners.
    int spokes = 0, centres = 0;
    for (const arrangementFace& face : a.faces)
        if (face.corners.size() > 3) spokes += int(face.corners.size()), ++centres;
    ASSERT_EQ(d.hubs.size(), size_t(v + centres));
    ASSERT_EQ(d.spokes, spokes);
    ASSERT_EQ(d.struts.size(), size_t(e + spokes));
    for (const vector3d& h : d.hubs) ASSERT_NEAR(dot(h, h), 1, 1e-14);
    for (int k = 0; k < e; ++k) {
        const domeStrut& s = d.struts[size_t(k)];
        ASSERT_FALSE(s.spoke);
        ASSERT_EQ(s.length, r.arcs[size_t(a.edges[size_t(k)].arc)].chord) << "strut " << k;
    }

    // The panels close the solid: each strut is a side of two of them, once
    // each way round, and each faces outwards.
    std::map<std::pair<int, int>, int> panelSides;
    double area = 0, volume = 0;
    for (const domePanel& p : d.panels) {
        const vector3d &x = d.hubs[size_t(p.hubs[0])], &y = d.hubs[size_t(p.hubs[1])],
                       &z = d.hubs[size_t(p.hubs[2])];
        const vector3d normal = cross(minus(y, x), minus(z, x));
        ASSERT_GT(dot(normal, x), 0);
        area += std::sqrt(dot(normal, normal)) / 2;
        volume += dot(x, cross(y, z)) / 6;
        for (int c = 0; c < 3; ++c) {
            const int from = p.hubs[size_t(c)], to = p.hubs[size_t((c + 1) % 3)];
            const domeStrut& s = d.struts[size_t(p.struts[size_t(c)])];
            ASSERT_TRUE((s.hubs[0] == from && s.hubs[1] == to) ||
                        (s.hubs[0] == to && s.hubs[1] == from));
            ++panelSides[{from, to}];
        }
    }
    ASSERT_EQ(panelSides.size(), 2 * d.struts.size());
    for (const auto& [side, count] : panelSides) {
        ASSERT_EQ(count, 1);
        ASSERT_EQ(panelSides.count({side.second, side.first}), 1u);
    }
    EXPECT_NEAR(d.area, area, 1e-12);
    EXPECT_NEAR(d.volume, volume, 1e-12);
    // Inside the ball, and no less surface than a ball of that volume has.
    // (Not less surface than the sphere's: where a face is long and thin its
    // spokes cut deep and the panels fold, 12 of these random sets' 299.)
    EXPECT_GT(d.volume, 0);
    EXPECT_LT(d.volume, 4 * kPi / 3);
    EXPECT_GE(d.area * d.area * d.area * (1 + 1e-12), 36 * kPi * d.volume * d.volume);

    // Strut classes: lettered from the shortest, each spanning at most
    // kSameStrutLength above its shortest strut, the next starting beyond.
    std::vector<double> shortest(d.strutClasses.size(), 10), longest(d.strutClasses.size(), 0);
    int struts = 0;
    for (const domeStrut& s : d.struts) {
        ASSERT_GE(s.strutClass, 0);
        shortest[size_t(s.strutClass)] = std::min(shortest[size_t(s.strutClass)], s.length);
        longest[size_t(s.strutClass)] = std::max(longest[size_t(s.strutClass)], s.length);
        // Both ends bend by half the arc's angle (single precision; 6e-5 for
        // a strut near a diameter, where the angle is nearly a right one).
        for (double bend : s.bend) ASSERT_NEAR(bend, std::asin(s.length / 2), 1e-4);
    }
    for (size_t k = 0; k < d.strutClasses.size(); ++k) {
        const strutClass& c = d.strutClasses[k];
        ASSERT_EQ(c.letter, strutLetter(int(k)));
        ASSERT_LE(longest[k] - shortest[k], kSameStrutLength);
        ASSERT_GE(c.length, shortest[k]);
        ASSERT_LE(c.length, longest[k]);
        if (k > 0) {
            ASSERT_GT(shortest[k] - shortest[k - 1], kSameStrutLength);
        }
        struts += c.count;
    }
    EXPECT_EQ(struts, int(d.struts.size()));
    const auto lengths = std::minmax_element(
        d.struts.begin(), d.struts.end(),
        [](const domeStrut& p, const domeStrut& q) { return p.length < q.length; });
    // From the classes' mean lengths, each within kSameStrutLength of its struts'.
    const double ratio = lengths.second->length / lengths.first->length;
    EXPECT_NEAR(d.strutVariance, ratio - 1, kSameStrutLength * (1 + ratio) / lengths.first->length);

    // Hubs by valence count every strut's two ends.
    int hubs = 0, ends = 0;
    for (const hubClass& h : d.hubClasses) hubs += h.count, ends += h.valence * h.count;
    EXPECT_EQ(hubs, int(d.hubs.size()));
    EXPECT_EQ(ends, 2 * int(d.struts.size()));

    // Panels by their struts' letters, with the angles the struts make: the
    // law of cosines on sides rounded to float, whose error is a few float
    // steps of (a^2 + b^2 + c^2) / ab in the cosine (more beside a short side).
    int panels = 0;
    for (const panelClass& c : d.panelClasses) panels += c.count;
    EXPECT_EQ(panels, int(d.panels.size()));
    for (const domePanel& p : d.panels) {
        std::array<int, 3> classes;
        for (int c = 0; c < 3; ++c) classes[size_t(c)] = d.struts[size_t(p.struts[size_t(c)])].strutClass;
        std::sort(classes.begin(), classes.end());
        ASSERT_EQ(classes, d.panelClasses[size_t(p.panelClass)].strutClasses);
        for (int c = 0; c < 3; ++c) {
            const vector3d& at = d.hubs[size_t(p.hubs[size_t(c)])];
            const vector3d u = minus(d.hubs[size_t(p.hubs[size_t((c + 1) % 3)])], at),
                           w = minus(d.hubs[size_t(p.hubs[size_t((c + 2) % 3)])], at);
            const vector3d n = cross(u, w);
            const double angle = std::atan2(std::sqrt(dot(n, n)), dot(u, w));
            const double sides = dot(u, u) + dot(w, w) + dot(minus(u, w), minus(u, w));
            const double cosineError = 2.4e-7 * (1 + sides / std::sqrt(dot(u, u) * dot(w, w)));
            ASSERT_NEAR(p.angles[size_t(c)], angle, cosineError / std::sin(angle));
        }
    }
}

struct counts {
    int vertices, edges, faces;
    std::vector<std::pair<int, int>> faceSizes; // corners, count
};

void expectCounts(const geodesicDome& d, const counts& want) {
    EXPECT_EQ(d.arrangement.vertices.size(), size_t(want.vertices));
    EXPECT_EQ(d.arrangement.edges.size(), size_t(want.edges));
    EXPECT_EQ(d.arrangement.faces.size(), size_t(want.faces));
    std::vector<std::pair<int, int>> sizes;
    for (const faceSize& s : d.faceSizes) sizes.push_back({s.corners, s.count});
    EXPECT_EQ(sizes, want.faceSizes);
}
} // namespace

TEST(Dome, SceneBuildsTheGeodesicSphere) {
    const circleIntersections r = computeIntersections(
        kScenePentagons[0], kScenePentagons[1], kScenePentagons[2], kScenePentagons[3]);
    const geodesicDome d = buildDome(r);
    checkDome(d, r, "scene");
    expectCounts(d, {90, 180, 92, {{3, 60}, {5, 12}, {6, 20}}});
    EXPECT_EQ(d.hubs.size(), 122u);
    EXPECT_EQ(d.panels.size(), 240u);
    EXPECT_EQ(d.spokes, 180); // 12 x 5 + 20 x 6
    std::vector<std::pair<int, int>> valences;
    for (const hubClass& h : d.hubClasses) valences.push_back({h.valence, h.count});
    // Two circles cross at each vertex, and two of its four faces have a centre.
    EXPECT_EQ(valences, (std::vector<std::pair<int, int>>{{5, 12}, {6, 110}}));
    // Flat panels fall short of the sphere by a few per cent.
    EXPECT_LT(d.area, 4 * kPi);
    EXPECT_NEAR(d.area / (4 * kPi), 0.970, 0.0005);
    EXPECT_NEAR(d.volume / (4 * kPi / 3), 0.945, 0.0005);
    // The pentagons' five-fold symmetry: every class a multiple of five, as
    // the edges of its circles repeat around the axis.
    for (const strutClass& c : d.strutClasses) EXPECT_EQ(c.count % 10, 0) << c.letter;
    for (const panelClass& c : d.panelClasses) EXPECT_EQ(c.count % 10, 0);
}

TEST(Dome, DegenerateSetsHaveTheirExactCounts) {
    const float pi = 3.14159265f;
    const float lat = kScenePentagons[2], lon = kScenePentagons[3];
    // Five circles of one pentagon (the other at a pole, or the same one twice,
    // or its antipodes): 20 vertices, four on each circle.
    const counts five = {20, 40, 22, {{3, 10}, {4, 10}, {5, 2}}};
    for (const auto& v : {std::array<float, 4>{1.0f, 0.3f, lat, lon},
                          std::array<float, 4>{lat, lon, -1.0f, 2.0f},
                          std::array<float, 4>{lat, lon, lat, lon},
                          std::array<float, 4>{lat, lon, -lat, lon + pi}}) {
        const std::string where = std::to_string(v[0]) + " " + std::to_string(v[1]) + " " +
                                  std::to_string(v[2]) + " " + std::to_string(v[3]);
        const geodesicDome d = dome(v);
        checkDome(d, computeIntersections(v[0], v[1], v[2], v[3]), where);
        SCOPED_TRACE(where);
        expectCounts(d, five);
        EXPECT_LT(d.area, 4 * kPi);
    }
    {
        SCOPED_TRACE("a pentagon on the equator: six circles, the equator met ten times");
        const std::array<float, 4> v = {0.0f, 0.3f, lat, lon};
        const geodesicDome d = dome(v);
        checkDome(d, computeIntersections(v[0], v[1], v[2], v[3]), "equator");
        EXPECT_EQ(d.arrangement.vertices.size(), 30u);
        EXPECT_EQ(d.arrangement.edges.size(), 60u); // the equator's ten arcs counted once
        EXPECT_EQ(d.arrangement.faces.size(), 32u);
        EXPECT_LT(d.area, 4 * kPi);
    }
    for (const auto& v : {std::array<float, 4>{1.0f, 0.0f, -1.0f, 0.0f},
                          std::array<float, 4>{-1.0f, 0.5f, -1.0f, 0.0f},
                          std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.5f},
                          std::array<float, 4>{0.0f, 0.3f, 1.0f, 0.0f}}) {
        SCOPED_TRACE("no vertex, no dome");
        const geodesicDome d = dome(v);
        EXPECT_EQ(d.status, domeStatus::noVertex);
        EXPECT_TRUE(d.problem.empty());
        EXPECT_TRUE(d.hubs.empty() && d.struts.empty() && d.panels.empty());
    }
}

TEST(Dome, PropertiesHoldForRandomSets) {
    int built = 0, panels = 0;
    for (const auto& v : randomSets(300)) {
        char where[96];
        std::snprintf(where, sizeof where, "%.9g %.9g %.9g %.9g", v[0], v[1], v[2], v[3]);
        const circleIntersections r = computeIntersections(v[0], v[1], v[2], v[3]);
        const geodesicDome d = buildDome(r);
        ASSERT_NE(d.status, domeStatus::failed) << where << ": " << d.problem;
        if (d.status == domeStatus::noVertex) {
            ASSERT_TRUE(r.points.empty()) << where;
            continue;
        }
        checkDome(d, r, where);
        if (HasFatalFailure()) return;
        ++built;
        panels += int(d.panels.size());
    }
    EXPECT_GT(built, 280);
    EXPECT_GT(panels, 50000);
}

TEST(Dome, UnsoundArrangementsAreReported) {
    const circleIntersections scene = computeIntersections(
        kScenePentagons[0], kScenePentagons[1], kScenePentagons[2], kScenePentagons[3]);
    {
        SCOPED_TRACE("three circles through one pair of points: lunes, no panels");
        const vector3d p = normalised({1, 2, 3});
        std::array<circlePlane, kCircles> in{};
        const vector3d directions[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0.3, 1}};
        for (int c = 0; c < 3; ++c) in[c] = {true, cross(p, directions[c]), p};
        const geodesicDome d = buildDome(computeIntersections(in));
        EXPECT_EQ(d.status, domeStatus::failed);
        EXPECT_NE(d.problem.find("2 corners"), std::string::npos) << d.problem;
    }
    // Two points swapped: the edges around them cross. Where the graph still
    // has the sphere's Euler characteristic, panels fold over.
    for (const auto& [a, b, why] : {std::make_tuple(0, 1, "Euler's formula fails"),
                                    std::make_tuple(4, 6, "faces inwards")}) {
        SCOPED_TRACE(why);
        circleIntersections r = scene;
        std::swap(r.points[size_t(a)].sphere, r.points[size_t(b)].sphere);
        const geodesicDome d = buildDome(r);
        EXPECT_EQ(d.status, domeStatus::failed);
        EXPECT_NE(d.problem.find(why), std::string::npos) << d.problem;
    }
    {
        SCOPED_TRACE("an arc listed twice: one circle counted twice");
        circleIntersections r = scene;
        r.arcs.insert(r.arcs.begin() + r.circles[9].firstArc, r.arcs[size_t(r.circles[9].firstArc)]);
        r.circles[9].arcCount += 1;
        const geodesicDome d = buildDome(r);
        EXPECT_EQ(d.status, domeStatus::failed);
        EXPECT_NE(d.problem.find("same direction"), std::string::npos) << d.problem;
    }
    {
        SCOPED_TRACE("a point no arc reaches");
        circleIntersections r = scene;
        r.points.push_back(r.points[0]);
        r.points.back().sphere = normalised({0.3, -0.2, 0.9});
        const geodesicDome d = buildDome(r);
        EXPECT_EQ(d.status, domeStatus::failed);
        EXPECT_NE(d.problem.find("vertex 90"), std::string::npos) << d.problem;
    }
}

TEST(Dome, StrutLettersRunOnAsSpreadsheetColumns) {
    EXPECT_EQ(strutLetter(0), "A");
    EXPECT_EQ(strutLetter(25), "Z");
    EXPECT_EQ(strutLetter(26), "AA");
    EXPECT_EQ(strutLetter(27), "AB");
    EXPECT_EQ(strutLetter(26 + 26 * 26 - 1), "ZZ");
    EXPECT_EQ(strutLetter(26 + 26 * 26), "AAA");
    // Random sets reach past Z: the names stay distinct.
    const geodesicDome d = dome({0.3f, 0.1f, -0.5f, 1.0f});
    std::set<std::string> letters;
    for (const strutClass& c : d.strutClasses) letters.insert(c.letter);
    EXPECT_GT(d.strutClasses.size(), 26u);
    EXPECT_EQ(letters.size(), d.strutClasses.size());
}
