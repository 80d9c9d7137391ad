// The dome's panels (mathematics/dome) as a solid to print: binary STL, and
// Wavefront OBJ with the struts as lines too. Both give the same closed mesh:
// the hubs as vertices on the sphere of the radius asked for (millimetres, as
// slicers read STL), every panel a triangle wound counter-clockwise seen from
// outside, every edge in exactly two triangles.
#pragma once

#include <iosfwd>

#include "mathematics/dome.h"

// Binary STL (little-endian): an 80-byte header naming the dome, the triangle
// count, then per panel its outward unit normal, its three corners and a zero
// attribute. `dome` must be built; radius > 0.
void writeDomeStl(std::ostream& out, const geodesicDome& dome, double radius,
                  const float arguments[4]);

// OBJ: "v" for each hub (hub k is vertex k + 1), "f" for each panel in an
// object "panels", "l" for each strut in an object "struts". `dome` must be
// built; radius > 0.
void writeDomeObj(std::ostream& out, const geodesicDome& dome, double radius,
                  const float arguments[4]);
