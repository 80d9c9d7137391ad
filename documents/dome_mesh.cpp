#include "documents/dome_mesh.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

#include "mathematics/number_text.h"
#include "mathematics/pentagon_args.h"
#include "mathematics/vector3.h"

namespace {
// Little-endian whatever the host, as STL is defined.
void putUint32(std::ostream& out, std::uint32_t v) {
    const char bytes[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                           char((v >> 24) & 0xff)};
    out.write(bytes, 4);
}
void putFloat(std::ostream& out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    putUint32(out, bits);
}

// The panel's outward unit normal, from the unit sphere's corners in double:
// the same for every radius, even one whose corners round to one float.
vector3d panelNormal(const geodesicDome& dome, const domePanel& p) {
    const vector3d &a = dome.hubs[size_t(p.hubs[0])], &b = dome.hubs[size_t(p.hubs[1])],
                   &c = dome.hubs[size_t(p.hubs[2])];
    const vector3d n = cross(minus(b, a), minus(c, a));
    // Divided, not multiplied by a reciprocal (normalised()): the normals
    // written stay those of every earlier file.
    const double size = length(n);
    return {n[0] / size, n[1] / size, n[2] / size};
}
} // namespace

void writeDomeStl(std::ostream& out, const geodesicDome& dome, double radius,
                  const float arguments[4]) {
    // Readers take a header that starts with "solid" for the text form.
    std::string header = "geodesic dome, radius " + printed("%.15g", radius) +
                         " mm: " + pentagonValuesText(arguments);
    header.resize(80, ' ');
    out.write(header.data(), 80);
    putUint32(out, std::uint32_t(dome.panels.size()));
    for (const domePanel& p : dome.panels) {
        for (double v : panelNormal(dome, p)) putFloat(out, float(v));
        for (int hub : p.hubs)
            for (double v : dome.hubs[size_t(hub)]) putFloat(out, float(v * radius));
        out.write("\0\0", 2);
    }
}

void writeDomeObj(std::ostream& out, const geodesicDome& dome, double radius,
                  const float arguments[4]) {
    out << "# Geodesic dome of the great circles " << pentagonValuesText(arguments) << ", radius "
        << printed("%.15g", radius) << "\n";
    out << "# " << dome.hubs.size() << " hubs, " << dome.panels.size()
        << " panels (counter-clockwise seen from outside), " << dome.struts.size() << " struts\n";
    for (const vector3d& h : dome.hubs)
        out << "v " << printed("%.9g", float(h[0] * radius)) << " "
            << printed("%.9g", float(h[1] * radius)) << " " << printed("%.9g", float(h[2] * radius))
            << "\n";
    out << "o panels\n";
    for (const domePanel& p : dome.panels)
        out << "f " << p.hubs[0] + 1 << " " << p.hubs[1] + 1 << " " << p.hubs[2] + 1 << "\n";
    out << "o struts\n";
    for (const domeStrut& s : dome.struts)
        out << "l " << s.hubs[0] + 1 << " " << s.hubs[1] + 1 << "\n";
}
