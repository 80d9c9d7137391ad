#include "mathematics/dome.h"

#include <algorithm>
#include <cmath>

#include "support/geodome_utilities.h"

namespace {

// The direction of the tangent t at the unit vector p, as an angle around p:
// counter-clockwise seen from outside, from an axis fixed by p alone, so that
// all the edges at one vertex are measured from the same axis.
double angleAround(const vector3d& p, const vector3d& t) {
    // The coordinate axis least aligned with p gives a well-conditioned e1.
    int k = 0;
    for (int a = 1; a < 3; ++a)
        if (std::fabs(p[a]) < std::fabs(p[k])) k = a;
    vector3d axis{0, 0, 0};
    axis[k] = 1;
    vector3d e1 = cross(p, axis);
    e1 = scaled(e1, 1 / length(e1));
    const vector3d e2 = cross(p, e1); // e1 x e2 = p: counter-clockwise seen from outside
    return std::atan2(dot(t, e2), dot(t, e1));
}

std::string vertexText(int v) { return "vertex " + std::to_string(v); }

// Half-edge h of edge h / 2: even from `from` to `to`, odd back.
int tailOf(const arrangementEdge& e, int h) { return h % 2 == 0 ? e.from : e.to; }
int headOf(const arrangementEdge& e, int h) { return h % 2 == 0 ? e.to : e.from; }

std::array<float, 3> toFloat(const vector3d& v) { return {float(v[0]), float(v[1]), float(v[2])}; }

// The angle at which a strut leaving hub `at` towards `other` meets the plane
// tangent to the sphere there: the angle between it and the hub's radial
// direction (the hub's own axis), less a right angle.
double bendAt(const vector3d& at, const vector3d& other) {
    std::array<float, 3> radial = toFloat(at), strut = toFloat(minus(other, at));
    return double(vector_separation_3d(radial.data(), strut.data())) - kHalfPi;
}

// In double, as the intersections give the arcs' chords: the geodome
// points_dist_3d rounds the coordinates and the distance to float, up to
// 1.2e-7 off, an eighth of kSameStrutLength, which moves lengths across the
// classes' boundaries.
double strutLength(const vector3d& a, const vector3d& b) { return length(minus(a, b)); }
} // namespace

circleArrangement arrangeCircles(const circleIntersections& r) {
    circleArrangement a;
    for (const intersectionPoint& q : r.points) a.vertices.push_back(q.sphere);
    for (int c = 0; c < kCircles; ++c) {
        const circleWalk& w = r.circles[c];
        if (!w.live || w.sameAs != c) continue; // coincident circles list the same arcs
        for (int k = w.firstArc; k < w.firstArc + w.arcCount; ++k) {
            const circleArc& arc = r.arcs[size_t(k)];
            a.edges.push_back({c, k, arc.from, arc.to, -1, -1});
        }
    }
    const int vertices = int(a.vertices.size()), edges = int(a.edges.size());
    if (vertices == 0) return a;

    // The half-edges leaving each vertex, in their angular order. A circle is
    // walked along n x p, so an edge leaves its `from` in that direction and
    // its `to` in the opposite one. (Every sort here is of (number, index)
    // pairs: one instantiation keeps the WebAssembly module small.)
    std::vector<std::vector<std::pair<double, int>>> around{size_t(vertices)};
    for (int e = 0; e < edges; ++e) {
        const arrangementEdge& edge = a.edges[size_t(e)];
        const vector3d& n = r.circles[edge.circle].unitNormal;
        const vector3d &p = a.vertices[size_t(edge.from)], &q = a.vertices[size_t(edge.to)];
        around[size_t(edge.from)].push_back({angleAround(p, cross(n, p)), 2 * e});
        around[size_t(edge.to)].push_back({angleAround(q, scaled(cross(n, q), -1)), 2 * e + 1});
    }
    std::vector<int> position(size_t(2 * edges));
    for (int v = 0; v < vertices; ++v) {
        std::vector<std::pair<double, int>>& out = around[size_t(v)];
        if (out.size() < 2) {
            a.problem = vertexText(v) + " ends " + std::to_string(out.size()) +
                        " edge(s); every intersection lies on two circles or more";
            return a;
        }
        std::sort(out.begin(), out.end());
        for (size_t k = 0; k < out.size(); ++k) {
            position[size_t(out[k].second)] = int(k);
            // Two distinct great circles cross at an angle; edges leaving in
            // one direction are one circle counted twice.
            const double gap = k + 1 < out.size() ? out[k + 1].first - out[k].first
                                                  : out[0].first + kTwoPi - out[k].first;
            if (gap < 1e-9) {
                a.problem = "two edges leave " + vertexText(v) + " in the same direction";
                return a;
            }
        }
    }

    // Each face lies to the left of its half-edges: after arriving at v along
    // h, it leaves along the edge just clockwise of h's twin.
    auto next = [&](int h) {
        const int v = headOf(a.edges[size_t(h / 2)], h);
        const std::vector<std::pair<double, int>>& out = around[size_t(v)];
        const int k = position[size_t(h ^ 1)];
        return out[size_t((k + int(out.size()) - 1) % int(out.size()))].second;
    };
    std::vector<int> faceOf(size_t(2 * edges), -1);
    for (int start = 0; start < 2 * edges; ++start) {
        if (faceOf[size_t(start)] >= 0) continue;
        arrangementFace face;
        const int f = int(a.faces.size());
        for (int h = start; faceOf[size_t(h)] < 0; h = next(h)) {
            faceOf[size_t(h)] = f;
            face.corners.push_back(tailOf(a.edges[size_t(h / 2)], h));
            face.edges.push_back(h / 2);
        }
        a.faces.push_back(face);
    }
    for (int e = 0; e < edges; ++e) {
        arrangementEdge& edge = a.edges[size_t(e)];
        edge.leftFace = faceOf[size_t(2 * e)];
        edge.rightFace = faceOf[size_t(2 * e + 1)];
    }

    const int faces = int(a.faces.size());
    if (vertices - edges + faces != 2) {
        a.problem = "Euler's formula fails: V - E + F = " + std::to_string(vertices) + " - " +
                    std::to_string(edges) + " + " + std::to_string(faces) + " = " +
                    std::to_string(vertices - edges + faces) + ", not 2";
        return a;
    }
    for (int e = 0; e < edges; ++e)
        if (a.edges[size_t(e)].leftFace == a.edges[size_t(e)].rightFace) {
            a.problem = "edge " + std::to_string(e) + " has face " +
                        std::to_string(a.edges[size_t(e)].leftFace) + " on both sides";
            return a;
        }
    for (int f = 0; f < faces; ++f)
        if (a.faces[size_t(f)].corners.size() < 3) {
            a.problem = "face " + std::to_string(f) + " has " +
                        std::to_string(a.faces[size_t(f)].corners.size()) +
                        " corners: the circles all pass through one pair of opposite points";
            return a;
        }
    return a;
}

namespace {
// Hubs: the vertices, then a centre for each face that is not a triangle,
// the mean of its corners pushed out to the sphere. Faces are convex and lie
// in an open hemisphere (three circles or more, not all through one pair of
// points), so the mean is inside the face and not zero. It is summed in
// double: a running mean with the geodome point_between_two_3d rounds to
// float at every step, and pushing a short mean (a long, thin face) out to
// the sphere magnifies that, up to 2.5e-5 in random sets. Returns what is
// wrong, or "".
std::string placeHubs(geodesicDome& d) {
    const circleArrangement& a = d.arrangement;
    d.hubs = a.vertices;
    for (size_t f = 0; f < a.faces.size(); ++f) {
        const arrangementFace& face = a.faces[f];
        if (face.corners.size() == 3) {
            d.centreHub.push_back(-1);
            continue;
        }
        vector3d sum{0, 0, 0};
        for (int v : face.corners)
            for (int k = 0; k < 3; ++k) sum[k] += a.vertices[size_t(v)][k];
        const double size = length(sum);
        if (!(size > 1e-9 * double(face.corners.size())))
            return "face " + std::to_string(f) + "'s corners have no centre";
        d.centreHub.push_back(int(d.hubs.size()));
        d.hubs.push_back(scaled(sum, 1 / size));
    }
    return "";
}

// Struts: the edges' chords in edge order, then each face's spokes; the
// panels face by face.
void cutPanels(geodesicDome& d) {
    const circleArrangement& a = d.arrangement;
    auto addStrut = [&](int from, int to, bool spoke) {
        const vector3d &p = d.hubs[size_t(from)], &q = d.hubs[size_t(to)];
        d.struts.push_back(
            {{from, to}, spoke, strutLength(p, q), -1, {bendAt(p, q), bendAt(q, p)}});
    };
    for (const arrangementEdge& e : a.edges) addStrut(e.from, e.to, false);
    for (size_t f = 0; f < a.faces.size(); ++f) {
        const arrangementFace& face = a.faces[f];
        const int hub = d.centreHub[f];
        if (hub < 0) {
            d.panels.push_back({{face.corners[0], face.corners[1], face.corners[2]},
                                {face.edges[0], face.edges[1], face.edges[2]},
                                {},
                                int(f),
                                -1});
            continue;
        }
        const int first = int(d.struts.size()), n = int(face.corners.size());
        for (int v : face.corners) addStrut(hub, v, true);
        d.spokes += n;
        for (int k = 0; k < n; ++k)
            d.panels.push_back({{hub, face.corners[size_t(k)], face.corners[size_t((k + 1) % n)]},
                                {first + k, face.edges[size_t(k)], first + (k + 1) % n},
                                {},
                                int(f),
                                -1});
    }
}

// Each panel must face outwards, its normal away from the centre; its area,
// its share of the volume and its angles. Returns what is wrong, or "".
std::string measurePanels(geodesicDome& d) {
    for (size_t k = 0; k < d.panels.size(); ++k) {
        domePanel& p = d.panels[k];
        const vector3d &x = d.hubs[size_t(p.hubs[0])], &y = d.hubs[size_t(p.hubs[1])],
                       &z = d.hubs[size_t(p.hubs[2])];
        const vector3d normal = cross(minus(y, x), minus(z, x));
        float* centroid =
            triangle_centroid_3d(float(x[0]), float(x[1]), float(x[2]), float(y[0]), float(y[1]),
                                 float(y[2]), float(z[0]), float(z[1]), float(z[2]));
        const double outwards =
            normal[0] * centroid[0] + normal[1] * centroid[1] + normal[2] * centroid[2];
        delete[] centroid;
        if (!(outwards > 0)) return "panel " + std::to_string(k) + " faces inwards";
        d.area += length(normal) / 2;
        d.volume += dot(x, cross(y, z)) / 6;
        // The angle at each corner from its three struts (law of cosines).
        for (int c = 0; c < 3; ++c) {
            const double before = d.struts[size_t(p.struts[size_t((c + 2) % 3)])].length,
                         after = d.struts[size_t(p.struts[size_t(c)])].length,
                         opposite = d.struts[size_t(p.struts[size_t((c + 1) % 3)])].length;
            p.angles[size_t(c)] =
                double(triangle_arccos(float(before), float(after), float(opposite)));
        }
    }
    return "";
}

// How many of the values (each 0 or more) are each value, as (value, count)
// for those that occur, ascending.
std::vector<std::pair<int, int>> tally(const std::vector<int>& values) {
    std::vector<int> counts;
    for (int v : values) {
        if (size_t(v) >= counts.size()) counts.resize(size_t(v) + 1);
        ++counts[size_t(v)];
    }
    std::vector<std::pair<int, int>> counted;
    for (size_t v = 0; v < counts.size(); ++v)
        if (counts[v]) counted.push_back({int(v), counts[v]});
    return counted;
}

// Three numbers in ascending order, with what goes with each.
template <typename Item> void sortThree(std::array<std::pair<int, Item>, 3>& t) {
    if (t[1].first < t[0].first) std::swap(t[0], t[1]);
    if (t[2].first < t[1].first) std::swap(t[1], t[2]);
    if (t[1].first < t[0].first) std::swap(t[0], t[1]);
}

// Struts by length, hubs by valence, faces by corners, panels by struts.
void classify(geodesicDome& d) {
    // Strut classes: lengths within kSameStrutLength of the class's shortest.
    std::vector<std::pair<double, int>> order;
    for (size_t k = 0; k < d.struts.size(); ++k) order.push_back({d.struts[k].length, int(k)});
    std::sort(order.begin(), order.end());
    double shortest = 0;
    for (const auto& [length, k] : order) {
        domeStrut& s = d.struts[size_t(k)];
        if (d.strutClasses.empty() || length - shortest > kSameStrutLength) {
            shortest = length;
            d.strutClasses.push_back({strutLetter(int(d.strutClasses.size())), 0, 0, 0, 0});
        }
        strutClass& c = d.strutClasses.back();
        s.strutClass = int(d.strutClasses.size()) - 1;
        c.length += length;
        c.bend += s.bend[0] + s.bend[1];
        c.count += 1;
        c.spokes += s.spoke;
        d.totalStrutLength += length;
    }
    for (strutClass& c : d.strutClasses) {
        c.length /= c.count;
        c.bend /= 2 * c.count;
    }
    d.strutVariance = d.strutClasses.back().length / d.strutClasses.front().length - 1;

    d.valence.assign(d.hubs.size(), 0);
    for (const domeStrut& s : d.struts) {
        ++d.valence[size_t(s.hubs[0])];
        ++d.valence[size_t(s.hubs[1])];
    }
    for (const auto& [valence, count] : tally(d.valence)) d.hubClasses.push_back({valence, count});
    std::vector<int> sizes;
    for (const arrangementFace& f : d.arrangement.faces) sizes.push_back(int(f.corners.size()));
    for (const auto& [corners, count] : tally(sizes)) d.faceSizes.push_back({corners, count});

    // Panels by their three struts' classes: three sides fix a triangle, so
    // panels with the same letters are cut alike (turned over if need be).
    // The classes in ascending order, as one number (exact in a double for
    // fewer than 2^17 classes), sort the panels by their letters.
    const double classes = double(d.strutClasses.size());
    std::vector<std::pair<double, int>> byStruts;
    std::vector<std::array<std::pair<int, double>, 3>> sides(d.panels.size());
    for (size_t k = 0; k < d.panels.size(); ++k) {
        // Each strut with the angle opposite it: struts[s] joins hubs[s] and
        // hubs[s + 1], so the corner opposite is hubs[s + 2].
        const domePanel& panel = d.panels[k];
        for (int s = 0; s < 3; ++s)
            sides[k][size_t(s)] = {d.struts[size_t(panel.struts[size_t(s)])].strutClass,
                                   panel.angles[size_t((s + 2) % 3)]};
        sortThree(sides[k]);
        byStruts.push_back(
            {(sides[k][0].first * classes + sides[k][1].first) * classes + sides[k][2].first,
             int(k)});
    }
    std::sort(byStruts.begin(), byStruts.end());
    for (size_t n = 0; n < byStruts.size(); ++n) {
        const int k = byStruts[n].second;
        if (n == 0 || byStruts[n].first != byStruts[n - 1].first) {
            // The class's angles are its first panel's.
            panelClass c{{}, {}, 0};
            for (int s = 0; s < 3; ++s) {
                c.strutClasses[size_t(s)] = sides[size_t(k)][size_t(s)].first;
                c.angles[size_t(s)] = sides[size_t(k)][size_t(s)].second;
            }
            d.panelClasses.push_back(c);
        }
        ++d.panelClasses.back().count;
        d.panels[size_t(k)].panelClass = int(d.panelClasses.size()) - 1;
    }
}
} // namespace

geodesicDome buildDome(const circleIntersections& r) {
    geodesicDome d;
    d.arrangement = arrangeCircles(r);
    if (d.arrangement.vertices.empty()) return d;
    d.problem = d.arrangement.problem;
    if (d.problem.empty()) d.problem = placeHubs(d);
    if (d.problem.empty()) {
        cutPanels(d);
        d.problem = measurePanels(d);
    }
    if (!d.problem.empty()) {
        d.status = domeStatus::failed;
        return d;
    }
    classify(d);
    d.status = domeStatus::built;
    return d;
}

geodesicDome buildDome(float lat1, float long1, float lat2, float long2) {
    return buildDome(computeIntersections(lat1, long1, lat2, long2));
}

std::string strutLetter(int k) {
    std::string letters;
    for (int n = k + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

std::string panelName(const geodesicDome& dome, const panelClass& panel) {
    std::string name;
    for (int c : panel.strutClasses)
        name += (name.empty() ? "" : "-") + dome.strutClasses[size_t(c)].letter;
    return name;
}
