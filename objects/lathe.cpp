#include "objects/lathe.h"

#include "basicsource/constants.h"
#include "basicsource/utility.h"

namespace {
// The vertex count is unsigned 16-bit. Face corners are signed 16-bit indices,
// so once there are faces (two or more profile points) a mesh can address no
// more than 32767 vertices.
const long kMaxVertices = 65535;
const long kMaxIndexedVertices = 32767;
} // namespace

// Mesh layout, m = resolution, P = profile points, t = (j + 1) mod m:
//
//   point p+1   (p+1)m+j ---<--- (p+1)m+t     vertex p*m + j: point p turned
//                  |                 |         by j * 360/m degrees about y,
//                  v   face p*m+j    ^         from +x towards +z
//                  |                 |
//   point p      p*m+j ---->---- p*m+t        face p*m + j:
//                step j          step t         (p*m+j, p*m+t, (p+1)m+t, (p+1)m+j)
//
// The corners run counter-clockwise seen from the left of the profile's
// direction p -> p+1 (drawn with radius to the right, height up): where the
// profile descends the faces look away from the axis. m*P vertices, m*(P-1)
// faces.
lathe::lathe(double* theProfile, short resolution) {
    setColour(0.27f, 0.55f, 0.75f, 1.0f);

    if (theProfile == nullptr || theProfile[0] == 99.0)
        fatal("lathe constructor: the profile must hold at least one point before its closing 99");
    // Resolution 0 turns the profile through no steps: an empty lathe.
    if (resolution < 0) fatal("lathe constructor: resolution must not be negative");
    profilePoints = countPoints(theProfile, resolution);
    gridSize = resolution;
    allocateMesh(static_cast<unsigned short>(resolution * profilePoints),
                 short(resolution * (profilePoints - 1)), "lathe");

    // The loops make exactly the counts allocated, so the checks after them
    // cannot fire while they run as written; they hold the loops to the formulas.
    long v = 0;
    for (long p = 0; p < profilePoints; ++p) {
        const float radius = float(theProfile[2 * p]);
        const float height = float(theProfile[2 * p + 1]);
        for (long j = 0; j < resolution; ++j) {
            // The step angle is worked out in extended precision so that large
            // resolutions do not accumulate rounding around the turn.
            const float yRot = float(j * (360.0L / resolution));
            vertices[v++].set(cos_d(yRot) * radius, height, sin_d(yRot) * radius);
        }
    }
    checkVertexCount(v);

    long f = 0;
    for (long p = 0; p + 1 < profilePoints; ++p)
        for (long j = 0; j < resolution; ++j) {
            const long t = (j + 1) % resolution;
            faces[f++].init(short(p * resolution + j), short(p * resolution + t),
                            short((p + 1) * resolution + t), short((p + 1) * resolution + j));
        }
    checkFaceCount(f);

    calculateVertexNormals();
    flatFaces = kSmoothFaces;
}

// The points before the closing 99, as long as the mesh they make fits the
// 16-bit counts and indices.
short lathe::countPoints(const double* theProfile, short resolution) {
    long points = 0;
    while (theProfile[2 * points] != 99.0)
        if (++points * resolution > kMaxVertices)
            fatal("lathe constructor: resolution x profile points must be at most 65535 vertices");
    if (points > 1 && points * resolution > kMaxIndexedVertices)
        fatal("lathe constructor: with faces, resolution x profile points must be at most 32767 "
              "vertices");
    return short(points);
}

lathe::lathe(const lathe& source) = default;

lathe::~lathe() = default;

object3D* lathe::clone() const { return new lathe(*this); }
