// Checks shared by the shape tests: mesh invariants worked out independently of
// the normal code (corner order by cross product, edge pairing), the display-list
// body recorded while a shape is built, and a way to make allocation fail.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "mathematics/vector3.h"
#include "recorder/gl_recorder.h"
#include "support/object3D.h"

// A vertex in double precision, for the checks' own arithmetic.
inline vector3d coord(const object3D& o, int index) {
    const float* c = o.getVertices()[index].coordinate.data;
    return {c[0], c[1], c[2]};
}

// The side a face's corners run counter-clockwise from, in double precision:
// the sum of the cross products of its fan triangles (the polygon's area
// vector), so a quadrilateral's fourth corner counts too.
inline vector3d windingNormal(const object3D& o, int f) {
    const face& fc = o.getFaces()[f];
    vector3d sum{0, 0, 0};
    const vector3d a = coord(o, fc.vert[0]);
    for (int k = 1; k + 1 < fc.vertices; ++k) {
        const vector3d n =
            cross(minus(coord(o, fc.vert[k]), a), minus(coord(o, fc.vert[k + 1]), a));
        for (int i = 0; i < 3; ++i) sum[i] += n[i];
    }
    return sum;
}

inline vector3d centroid(const object3D& o, int f) {
    const face& fc = o.getFaces()[f];
    vector3d c{0, 0, 0};
    for (int k = 0; k < fc.vertices; ++k) {
        const vector3d p = coord(o, fc.vert[k]);
        for (int i = 0; i < 3; ++i) c[i] += p[i] / fc.vertices;
    }
    return c;
}

// Every corner index of every face lies inside the vertex array.
inline void expectIndicesInRange(object3D& o) {
    const int vertices = o.getVertexCount();
    for (int f = 0; f < o.getFaceCount(); ++f) {
        const face& fc = o.getFaces()[f];
        ASSERT_TRUE(fc.vertices == 3 || fc.vertices == 4) << "face " << f;
        for (int k = 0; k < fc.vertices; ++k)
            ASSERT_TRUE(fc.vert[k] >= 0 && fc.vert[k] < vertices)
                << "face " << f << " corner " << k;
    }
}

// Directed edges (a -> b) of all faces, with how often each occurs.
inline std::map<std::pair<int, int>, int> directedEdges(object3D& o) {
    std::map<std::pair<int, int>, int> edges;
    for (int f = 0; f < o.getFaceCount(); ++f) {
        const face& fc = o.getFaces()[f];
        for (int k = 0; k < fc.vertices; ++k) ++edges[{fc.vert[k], fc.vert[(k + 1) % fc.vertices]}];
    }
    return edges;
}

// A closed, consistently wound surface: every directed edge occurs once and
// the neighbouring face runs along it the other way. A face wound backwards,
// or a seam left open, breaks this.
inline void expectClosedAndConsistent(object3D& o) {
    const auto edges = directedEdges(o);
    for (const auto& [edge, count] : edges) {
        ASSERT_EQ(count, 1) << "edge " << edge.first << "->" << edge.second;
        ASSERT_EQ(edges.count({edge.second, edge.first}), 1u)
            << "edge " << edge.first << "->" << edge.second << " has no reverse";
    }
}

// The calls between glNewList and glEndList of the one list recorded in
// `calls`, both ends included.
inline std::vector<glCall> listBody(const std::vector<glCall>& calls) {
    std::vector<glCall> body;
    bool inside = false;
    for (const glCall& c : calls) {
        if (c.name == "glNewList") inside = true;
        if (inside) body.push_back(c);
        if (c.name == "glEndList") break;
    }
    return body;
}

// Expects `actual` to hold exactly the calls of `expected`, names and
// arguments, floats within `tolerance` relative (the recorder stores the
// floats handed to GL, so values copied from the mesh compare exactly).
inline void expectSameCalls(const std::vector<glCall>& actual, const std::vector<glCall>& expected,
                            double tolerance = 0.0) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        const glCall& a = actual[i];
        const glCall& e = expected[i];
        bool same = a.name == e.name && a.args.size() == e.args.size();
        for (size_t k = 0; same && k < a.args.size(); ++k)
            same =
                std::fabs(a.args[k] - e.args[k]) <=
                tolerance * std::fmax(1.0, std::fmax(std::fabs(a.args[k]), std::fabs(e.args[k])));
        ASSERT_TRUE(same) << "call " << i << ": " << describe(a) << ", expected " << describe(e);
    }
}

inline glCall vertexCall(const object3D& o, int index) {
    const float* c = o.getVertices()[index].coordinate.data;
    return {"glVertex3fv", {c[0], c[1], c[2]}};
}
inline glCall normalCall(const object3D& o, int index) {
    const float* n = o.getVertices()[index].normal.data;
    return {"glNormal3fv", {n[0], n[1], n[2]}};
}
