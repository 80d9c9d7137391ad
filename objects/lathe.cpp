#include "objects/lathe.h"

#include <new>

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
    if (resolution < 1) fatal("lathe constructor: resolution must be at least 1");

    long points = 0;
    while (theProfile[2 * points] != 99.0)
        if (++points * resolution > kMaxVertices)
            fatal("lathe constructor: resolution x profile points must be at most 65535 vertices");
    if (points > 1 && points * resolution > kMaxIndexedVertices)
        fatal("lathe constructor: with faces, resolution x profile points must be at most 32767 "
              "vertices");
    profilePoints = short(points);
    gridSize = resolution;

    vertexCount = static_cast<unsigned short>(resolution * profilePoints);
    faceCount = short(resolution * (profilePoints - 1));

    vertices = new (std::nothrow) vertex[vertexCount];
    faces = new (std::nothrow) face[faceCount];
    if (vertices == nullptr || faces == nullptr)
        fatal("lathe constructor couldn't allocate a vertex and/or face array (out of memory?)");

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
    if (v > vertexCount) fatal("generated more vertices than you allowed space for");
    if (v < vertexCount) fatal("allocated space for more vertices than you generated");

    long f = 0;
    for (long p = 0; p + 1 < profilePoints; ++p) {
        for (long j = 0; j < resolution; ++j) {
            const long t = (j + 1) % resolution;
            faces[f++].init(short(p * resolution + j), short(p * resolution + t),
                            short((p + 1) * resolution + t), short((p + 1) * resolution + j));
        }
    }
    if (f > faceCount) fatal("generated more faces than you allowed space for");
    if (f < faceCount) fatal("allocated space for more faces than you generated");

    calculateVertexNormals();
    flatFaces = kSmoothFaces;
}

lathe::lathe(const lathe& source) = default;

lathe::~lathe() = default;

object3D* lathe::clone() const { return new lathe(*this); }
