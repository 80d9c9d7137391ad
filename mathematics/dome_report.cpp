#include "mathematics/dome_report.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "mathematics/json_text.h"
#include "mathematics/number_text.h"
#include "mathematics/pentagon_args.h"

namespace {
std::string integer(int v) { return std::to_string(v); }

template <typename Item, typename Format>
std::string list(const std::vector<Item>& items, const std::string& indent, Format format) {
    if (items.empty()) return "[]";
    std::string s = "[\n";
    for (size_t k = 0; k < items.size(); ++k)
        s += indent + "  " + format(items[k]) + (k + 1 < items.size() ? ",\n" : "\n");
    return s + indent + "]";
}

std::string degrees(double radians) { return printed("%.2f", radians * 180 / kPi); }

std::string right(const std::string& s, size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}
std::string left(const std::string& s, size_t width) {
    return s.size() >= width ? s : s + std::string(width - s.size(), ' ');
}

std::string faceName(int corners, int count) {
    static const char* const names[] = {"triangle", "quadrilateral", "pentagon",
                                        "hexagon",  "heptagon",      "octagon"};
    const std::string name =
        corners >= 3 && corners <= 8 ? names[corners - 3] : std::to_string(corners) + "-gon";
    return name + (count == 1 ? "" : "s");
}

// Words joined into lines of at most 79 characters.
std::string wrapped(const std::string& text) {
    std::string all, line, word;
    auto flush = [&] {
        if (word.empty()) return;
        if (!line.empty() && line.size() + 1 + word.size() > 79) {
            all += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        word.clear();
    };
    for (char c : text) {
        if (c == ' ')
            flush();
        else
            word += c;
    }
    flush();
    return all + line + "\n";
}

// Enough decimals for seven significant digits of a length near the radius
// (a radius of 50 mm: to the hundred-thousandth), never fewer than two.
int lengthDecimals(double radius) {
    return std::clamp(6 - int(std::floor(std::log10(radius))), 2, 9);
}
} // namespace

std::string domeJson(const geodesicDome& d, const std::string& in) {
    if (d.status == domeStatus::noVertex) return "null";
    if (d.status == domeStatus::failed) return "{\"problem\": " + jsonString(d.problem) + "}";
    const circleArrangement& a = d.arrangement;
    std::string s = "{\n";
    auto field = [&](const std::string& name, const std::string& value, bool last = false) {
        s += in + "  " + jsonString(name) + ": " + value + (last ? "\n" : ",\n");
    };
    field("vertices", integer(int(a.vertices.size())));
    field("edges", integer(int(a.edges.size())));
    field("faces", integer(int(a.faces.size())));
    field("facesBySize", list(d.faceSizes, in + "  ", [](const faceSize& f) {
              return "{\"corners\": " + integer(f.corners) + ", \"count\": " + integer(f.count) +
                     "}";
          }));
    field("hubCount", integer(int(d.hubs.size())));
    field("strutCount", integer(int(d.struts.size())));
    field("spokes", integer(d.spokes));
    field("panelCount", integer(int(d.panels.size())));
    field("struts", list(d.strutClasses, in + "  ", [](const strutClass& c) {
              return "{\"length\": " + jsonDouble(c.length) + ", \"count\": " + integer(c.count) +
                     ", \"letter\": " + jsonString(c.letter) +
                     ", \"bendAngle\": " + jsonDouble(c.bend) +
                     ", \"spokes\": " + integer(c.spokes) + "}";
          }));
    field("hubs", list(d.hubClasses, in + "  ", [](const hubClass& h) {
              return "{\"valence\": " + integer(h.valence) + ", \"count\": " + integer(h.count) +
                     "}";
          }));
    field("panels", list(d.panelClasses, in + "  ", [&](const panelClass& p) {
              std::string letters, angles;
              for (int k = 0; k < 3; ++k) {
                  letters += (k ? ", " : "") +
                             jsonString(d.strutClasses[size_t(p.strutClasses[size_t(k)])].letter);
                  angles += (k ? ", " : "") + jsonDouble(p.angles[size_t(k)]);
              }
              return "{\"struts\": [" + letters + "], \"angles\": [" + angles +
                     "], \"count\": " + integer(p.count) + "}";
          }));
    field("totalStrutLength", jsonDouble(d.totalStrutLength));
    field("strutVariance", jsonDouble(d.strutVariance));
    field("area", jsonDouble(d.area));
    field("volume", jsonDouble(d.volume), true);
    return s + in + "}";
}

void writeCutList(std::ostream& out, const geodesicDome& d, double radius,
                  const float arguments[4]) {
    if (d.status != domeStatus::built) {
        out << "No dome: the great circles meet nowhere (as when both pentagons are at a pole, "
               "or every circle is the equator).\n";
        return;
    }
    const circleArrangement& a = d.arrangement;
    const int decimals = lengthDecimals(radius);
    auto length = [&](double unit) { return printed("%.*f", decimals, unit * radius); };

    out << "Geodesic dome of the great circles: " << pentagonValuesHeading(arguments) << "\n";
    out << "Radius " << printed("%.15g", radius)
        << "; every length below is in the radius's unit.\n\n";

    std::string sizes;
    for (size_t k = 0; k < d.faceSizes.size(); ++k)
        sizes += (k ? ", " : "") + integer(d.faceSizes[k].count) + " " +
                 faceName(d.faceSizes[k].corners, d.faceSizes[k].count);
    const int v = int(a.vertices.size()), e = int(a.edges.size()), f = int(a.faces.size());
    out << wrapped("The circles cut the sphere into " + integer(f) + " faces (" + sizes + ") at " +
                   integer(v) + " vertices joined by " + integer(e) +
                   " edges: V - E + F = " + integer(v) + " - " + integer(e) + " + " + integer(f) +
                   " = 2. A hub sits at every vertex and at the centre of every "
                   "face that is not a triangle, with a spoke to each of its corners: " +
                   integer(int(d.hubs.size())) + " hubs, " + integer(int(d.struts.size())) +
                   " struts (" + integer(e) + " edges, " + integer(d.spokes) + " spokes), " +
                   integer(int(d.panels.size())) + " panels.")
        << "\n";

    out << "Struts: " << d.struts.size() << " in " << d.strutClasses.size()
        << (d.strutClasses.size() == 1 ? " length\n" : " lengths\n");
    out << left("strut", 7) << right("length", 16) << right("chord factor", 14)
        << right("bend at each end", 18) << right("count", 7) << "\n";
    for (const strutClass& c : d.strutClasses)
        out << left(c.letter, 7) << right(length(c.length), 16)
            << right(printed("%.8f", c.length), 14) << right(degrees(c.bend) + "°", 19)
            << right(integer(c.count), 7) << "\n";
    out << "Total strut length: " << length(d.totalStrutLength) << "\n";
    out << "Strut variance: " << printed("%.6f", d.strutVariance)
        << " (the longest over the shortest, less one)\n\n";

    out << "Hubs: " << d.hubs.size() << "\n";
    for (const hubClass& h : d.hubClasses) out << "  " << h.valence << "-way × " << h.count << "\n";

    out << "\nPanels: " << d.panels.size() << " in " << d.panelClasses.size()
        << (d.panelClasses.size() == 1 ? " shape" : " shapes")
        << "; each angle faces the strut named in its place\n";
    size_t nameWidth = std::string("panel").size();
    for (const panelClass& p : d.panelClasses)
        nameWidth = std::max(nameWidth, panelName(d, p).size());
    out << left("panel", nameWidth + 2) << left("angles (degrees)", 24) << right("count", 7)
        << "\n";
    for (const panelClass& p : d.panelClasses) {
        out << left(panelName(d, p), nameWidth + 2);
        for (double angle : p.angles) out << right(degrees(angle), 8);
        out << right(integer(p.count), 7) << "\n";
    }

    // The shares from the unit sphere's figures: a tiny radius's cube may
    // underflow, its ratio never.
    out << "\nArea of the panels: " << printed("%.7g", d.area * radius * radius) << " ("
        << printed("%.2f", 100 * d.area / (4 * kPi)) << " % of the sphere's 4 pi R^2)\n";
    out << "Volume they enclose: " << printed("%.7g", d.volume * radius * radius * radius) << " ("
        << printed("%.2f", 100 * d.volume / (4 * kPi / 3)) << " % of the sphere's 4/3 pi R^3)\n";
}
