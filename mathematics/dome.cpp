#include "mathematics/dome.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "support/geodome_utilities.h"

namespace {
const double kHalfPi = 1.5707963267948966;

double dot(const vector3d& a, const vector3d& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
vector3d cross(const vector3d& a, const vector3d& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
vector3d minus(const vector3d& a, const vector3d& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
vector3d scaled(const vector3d& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
double norm(const vector3d& a) { return std::sqrt(dot(a, a)); }

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
    e1 = scaled(e1, 1 / norm(e1));
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
double strutLength(const vector3d& a, const vector3d& b) { return norm(minus(a, b)); }
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
    // its `to` in the opposite one.
    std::vector<double> angle(size_t(2 * edges));
    std::vector<std::vector<int>> around{size_t(vertices)};
    for (int e = 0; e < edges; ++e) {
        const arrangementEdge& edge = a.edges[size_t(e)];
        const vector3d& n = r.circles[edge.circle].unitNormal;
        const vector3d &p = a.vertices[size_t(edge.from)], &q = a.vertices[size_t(edge.to)];
        angle[size_t(2 * e)] = angleAround(p, cross(n, p));
        angle[size_t(2 * e + 1)] = angleAround(q, scaled(cross(n, q), -1));
        around[size_t(edge.from)].push_back(2 * e);
        around[size_t(edge.to)].push_back(2 * e + 1);
    }
    std::vector<int> position(size_t(2 * edges));
    for (int v = 0; v < vertices; ++v) {
        std::vector<int>& out = around[size_t(v)];
        if (out.size() < 2) {
            a.problem = vertexText(v) + " ends " + std::to_string(out.size()) +
                        " edge(s); every intersection lies on two circles or more";
            return a;
        }
        std::sort(out.begin(), out.end(),
                  [&](int g, int h) { return angle[size_t(g)] < angle[size_t(h)]; });
        for (size_t k = 0; k < out.size(); ++k) {
            position[size_t(out[k])] = int(k);
            // Two distinct great circles cross at an angle; edges leaving in
            // one direction are one circle counted twice.
            const double gap = k + 1 < out.size()
                                   ? angle[size_t(out[k + 1])] - angle[size_t(out[k])]
                                   : angle[size_t(out[0])] + 2 * M_PI - angle[size_t(out[k])];
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
        const std::vector<int>& out = around[size_t(v)];
        const int k = position[size_t(h ^ 1)];
        return out[size_t((k + int(out.size()) - 1) % int(out.size()))];
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

geodesicDome buildDome(const circleIntersections& r) {
    geodesicDome d;
    d.arrangement = arrangeCircles(r);
    const circleArrangement& a = d.arrangement;
    if (a.vertices.empty()) return d;
    auto fail = [&](const std::string& problem) {
        d.status = domeStatus::failed;
        d.problem = problem;
        return d;
    };
    if (!a.problem.empty()) return fail(a.problem);

    // Hubs: the vertices, then a centre for each face that is not a triangle,
    // the mean of its corners pushed out to the sphere. Faces are convex and
    // lie in an open hemisphere (three circles or more, not all through one
    // pair of points), so the mean is inside the face and not zero. It is
    // summed in double: a running mean with the geodome point_between_two_3d
    // rounds to float at every step, and pushing a short mean (a long, thin
    // face) out to the sphere magnifies that, up to 2.5e-5 in random sets.
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
        const double length = norm(sum);
        if (!(length > 1e-9 * double(face.corners.size())))
            return fail("face " + std::to_string(f) + "'s corners have no centre");
        d.centreHub.push_back(int(d.hubs.size()));
        d.hubs.push_back(scaled(sum, 1 / length));
    }

    // Struts: the edges' chords in edge order, then each face's spokes.
    auto addStrut = [&](int from, int to, bool spoke) {
        const vector3d &p = d.hubs[size_t(from)], &q = d.hubs[size_t(to)];
        d.struts.push_back(
            {{from, to}, spoke, strutLength(p, q), -1, {bendAt(p, q), bendAt(q, p)}});
        return int(d.struts.size()) - 1;
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

    // Each panel must face outwards: its normal away from the centre.
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
        if (!(outwards > 0)) return fail("panel " + std::to_string(k) + " faces inwards");
        d.area += norm(normal) / 2;
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

    // Strut classes: lengths within kSameStrutLength of the class's shortest.
    std::vector<int> order(d.struts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int i, int j) {
        return d.struts[size_t(i)].length < d.struts[size_t(j)].length;
    });
    double shortest = 0;
    for (int i : order) {
        domeStrut& s = d.struts[size_t(i)];
        if (d.strutClasses.empty() || s.length - shortest > kSameStrutLength) {
            shortest = s.length;
            d.strutClasses.push_back({strutLetter(int(d.strutClasses.size())), 0, 0, 0, 0});
        }
        strutClass& c = d.strutClasses.back();
        s.strutClass = int(d.strutClasses.size()) - 1;
        c.length += s.length;
        c.bend += s.bend[0] + s.bend[1];
        c.count += 1;
        c.spokes += s.spoke;
        d.totalStrutLength += s.length;
    }
    for (strutClass& c : d.strutClasses) {
        c.length /= c.count;
        c.bend /= 2 * c.count;
    }
    d.strutVariance = d.strutClasses.back().length / d.strutClasses.front().length - 1;

    // Hubs by valence, faces by their number of corners.
    d.valence.assign(d.hubs.size(), 0);
    for (const domeStrut& s : d.struts) {
        ++d.valence[size_t(s.hubs[0])];
        ++d.valence[size_t(s.hubs[1])];
    }
    std::map<int, int> valences, sizes;
    for (int v : d.valence) ++valences[v];
    for (const arrangementFace& f : a.faces) ++sizes[int(f.corners.size())];
    for (const auto& [valence, count] : valences) d.hubClasses.push_back({valence, count});
    for (const auto& [corners, count] : sizes) d.faceSizes.push_back({corners, count});

    // Panels by their three struts' classes: three sides fix a triangle, so
    // panels with the same letters are cut alike (turned over if need be).
    std::map<std::array<int, 3>, std::vector<int>> byStruts;
    for (size_t k = 0; k < d.panels.size(); ++k) {
        std::array<int, 3> key;
        for (int c = 0; c < 3; ++c)
            key[size_t(c)] = d.struts[size_t(d.panels[k].struts[size_t(c)])].strutClass;
        std::sort(key.begin(), key.end());
        byStruts[key].push_back(int(k));
    }
    for (const auto& [key, members] : byStruts) {
        panelClass c{key, {}, int(members.size())};
        // Its first panel's angles, each opposite its strut: struts[k] joins
        // hubs[k] and hubs[k + 1], so the corner opposite is hubs[k + 2].
        const domePanel& first = d.panels[size_t(members[0])];
        std::array<std::pair<int, double>, 3> sides;
        for (int s = 0; s < 3; ++s)
            sides[size_t(s)] = {d.struts[size_t(first.struts[size_t(s)])].strutClass,
                                first.angles[size_t((s + 2) % 3)]};
        std::sort(sides.begin(), sides.end());
        for (int s = 0; s < 3; ++s) c.angles[size_t(s)] = sides[size_t(s)].second;
        for (int k : members) d.panels[size_t(k)].panelClass = int(d.panelClasses.size());
        d.panelClasses.push_back(c);
    }
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
