#include "tools/report/json_report.h"

#include <ostream>
#include <string>

#include "mathematics/dome_report.h"
#include "mathematics/json_text.h"

namespace {
std::string vector3(float x, float y, float z) {
    return "[" + jsonFloat(x) + ", " + jsonFloat(y) + ", " + jsonFloat(z) + "]";
}
std::string vector3(const point3& p) { return vector3(p[0], p[1], p[2]); }

template <typename Item, typename Format>
void writeList(std::ostream& out, const Item* items, size_t count, const std::string& indent,
               Format format) {
    if (count == 0) {
        out << "[]";
        return;
    }
    out << "[\n";
    for (size_t k = 0; k < count; ++k)
        out << indent << "  " << format(items[k]) << (k + 1 < count ? ",\n" : "\n");
    out << indent << "]";
}

void writePointList(std::ostream& out, const std::vector<point3>& points,
                    const std::string& indent) {
    writeList(out, points.data(), points.size(), indent,
              [](const point3& p) { return vector3(p); });
}

void writeEdge(std::ostream& out, const edgeSamples& e, int i) {
    const std::string in = "        ";
    const greatCircleBasis& b = e.basis;
    out << in << "{\n";
    out << in << "  \"from\": " << i << ",\n";
    out << in << "  \"to\": " << (i + 1) % 5 << ",\n";
    out << in << "  \"normal\": " << vector3(e.normal) << ",\n";
    out << in << "  \"unitNormal\": " << vector3(b.xa, b.ya, b.za) << ",\n";
    out << in << "  \"normalWasZero\": " << jsonBool(b.normalWasZero) << ",\n";
    out << in << "  \"alongEdge\": " << vector3(b.xn2, b.yn2, b.zn2) << ",\n";
    out << in << "  \"equatorCrossingAngle\": " << jsonFloat(e.crossingAngle) << ",\n";
    out << in << "  \"equatorCrossings\": [" << vector3(e.crossings[0]) << ", "
        << vector3(e.crossings[1]) << "],\n";
    out << in << "  \"greatCircle\": ";
    writePointList(out, e.greatCircle, in + "  ");
    out << ",\n" << in << "  \"cylinderCurve\": ";
    writePointList(out, e.cylinderCurve, in + "  ");
    out << "\n" << in << "}";
}

std::string doubles(const vector3d& p) {
    return "[" + jsonDouble(p[0]) + ", " + jsonDouble(p[1]) + ", " + jsonDouble(p[2]) + "]";
}

std::string integers(const std::vector<int>& list) {
    std::string s = "[";
    for (size_t k = 0; k < list.size(); ++k) s += (k ? ", " : "") + std::to_string(list[k]);
    return s + "]";
}

std::string intersection(const intersectionPoint& q) {
    return "{\"sphere\": " + doubles(q.sphere) +
           ", \"cylinder\": " + (q.cylinder ? doubles(*q.cylinder) : "null") +
           ", \"circles\": " + integers(q.circles) + ", \"corners\": " + integers(q.corners) +
           ", \"equatorCrossing\": " + jsonBool(q.equatorCrossing) +
           ", \"longitude\": " + jsonDouble(q.longitude) +
           ", \"polarAngle\": " + jsonDouble(q.polarAngle) + "}";
}

std::string arc(const circleArc& a) {
    return "{\"circle\": " + std::to_string(a.circle) + ", \"from\": " + std::to_string(a.from) +
           ", \"to\": " + std::to_string(a.to) + ", \"angle\": " + jsonDouble(a.angle) +
           ", \"chord\": " + jsonDouble(a.chord) +
           ", \"cylinderLength\": " + (a.cylinderLength ? jsonDouble(*a.cylinderLength) : "null") +
           "}";
}

std::string circlePair(const std::array<int, 2>& p) {
    return "[" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + "]";
}

void writePentagon(std::ostream& out, const pentagonSamples& p, int index) {
    const std::string in = "    ";
    out << in << "{\n";
    out << in << "  \"pentagon\": " << index << ",\n";
    out << in << "  \"height\": " << jsonFloat(p.height) << ",\n";
    out << in << "  \"longitude\": " << jsonFloat(p.longitude) << ",\n";
    out << in << "  \"polarAngle\": " << jsonFloat(p.polarAngle) << ",\n";
    out << in << "  \"reportLatitude\": " << jsonFloat(p.reportLatitude) << ",\n";
    out << in << "  \"collapsed\": " << jsonBool(p.collapsed) << ",\n";
    out << in << "  \"corners\": [\n";
    for (int i = 0; i < 5; ++i)
        out << in << "    {\"longitude\": " << jsonFloat(p.longAngles[i])
            << ", \"reportLongitude\": " << jsonFloat(p.reportLongitudes[i])
            << ", \"point\": " << vector3(p.corners[i]) << "}" << (i < 4 ? ",\n" : "\n");
    out << in << "  ],\n";
    out << in << "  \"edges\": [\n";
    for (int i = 0; i < 5; ++i) {
        writeEdge(out, p.edges[i], i);
        out << (i < 4 ? ",\n" : "\n");
    }
    out << in << "  ]\n";
    out << in << "}";
}
} // namespace

void writeJsonReport(std::ostream& out, const figureSamples& figure,
                     const circleIntersections& intersections, const geodesicDome& dome) {
    out << "{\n";
    out << "  \"arguments\": {\"pent_lat1\": " << jsonFloat(figure.arguments[0])
        << ", \"pent_long1\": " << jsonFloat(figure.arguments[1])
        << ", \"pent_lat2\": " << jsonFloat(figure.arguments[2])
        << ", \"pent_long2\": " << jsonFloat(figure.arguments[3]) << "},\n";
    out << "  \"samplesPerCurve\": " << figure.sampleAngles.size() << ",\n";
    out << "  \"sampleAngles\": ";
    writeList(out, figure.sampleAngles.data(), figure.sampleAngles.size(), "  ", jsonFloat);
    out << ",\n";
    out << "  \"pentagons\": [\n";
    writePentagon(out, figure.pentagons[0], 1);
    out << ",\n";
    writePentagon(out, figure.pentagons[1], 2);
    out << "\n  ],\n";
    out << "  \"intersections\": ";
    writeList(out, intersections.points.data(), intersections.points.size(), "  ", intersection);
    out << ",\n  \"coincidentCircles\": ";
    writeList(out, intersections.coincident.data(), intersections.coincident.size(), "  ",
              circlePair);
    out << ",\n  \"arcs\": ";
    writeList(out, intersections.arcs.data(), intersections.arcs.size(), "  ", arc);
    out << ",\n  \"dome\": " << domeJson(dome, "  ");
    out << "\n}\n";
}
