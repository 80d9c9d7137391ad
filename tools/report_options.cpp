#include "tools/report_options.h"

#include <cstring>
#include <vector>

namespace {
bool parseFormat(const std::string& name, reportFormat& format) {
    if (name == "text")
        format = reportFormat::text;
    else if (name == "json")
        format = reportFormat::json;
    else if (name == "svg")
        format = reportFormat::svg;
    else
        return false;
    return true;
}
} // namespace

std::string parseReportOptions(int argc, const char* const* argv, reportOptions& options) {
    std::vector<const char*> positional;
    for (int k = 1; k < argc; ++k) {
        const std::string word = argv[k];
        if (word == "--help" || word == "-h") {
            options.help = true;
            return "";
        }
        if (word == "--intersections") {
            options.intersections = true;
            continue;
        }
        if (word == "--format") {
            if (k + 1 >= argc) return "missing value after --format";
            const std::string name = argv[++k];
            if (!parseFormat(name, options.format))
                return "unknown format " + quoteArgument(name) + " (expected text, json or svg)";
            continue;
        }
        if (word.rfind("--format=", 0) == 0) {
            const std::string name = word.substr(std::strlen("--format="));
            if (name.empty()) return "missing value after --format";
            if (!parseFormat(name, options.format))
                return "unknown format " + quoteArgument(name) + " (expected text, json or svg)";
            continue;
        }
        if (!looksLikeNumber(argv[k])) return "unknown option " + quoteArgument(word);
        positional.push_back(argv[k]);
    }

    if (positional.empty()) return "";
    if (positional.size() != 4)
        return "expected 4 numbers (LAT1 LONG1 LAT2 LONG2) or none, got " +
               std::to_string(positional.size());
    return parsePentagonValues(positional.data(), options.arguments);
}

const char* reportUsageLine() {
    return "usage: geodesic-report [--format text|json|svg] [--intersections] "
           "[LAT1 LONG1 LAT2 LONG2]";
}

std::string reportHelpText() {
    std::string scene;
    for (const char* word : kScenePentagonWords)
        scene += std::string(scene.empty() ? "" : " ") + word;
    return std::string(reportUsageLine()) +
           "\n"
           "\n"
           "Computes the corners, great-circle planes, equator crossings and cylinder\n"
           "curves of two regular pentagons inscribed in the unit sphere, the points\n"
           "where the ten great circles meet and the lengths between them, and writes\n"
           "them to standard output.\n"
           "\n"
           "  LAT1 LONG1 LAT2 LONG2  for each pentagon, the height of its corners (their\n"
           "                         y, -1 to 1) and the longitude of its corner 0\n"
           "                         (radians); without them, the scene's pentagons:\n"
           "                         " +
           scene +
           "\n"
           "  --format text          the plain-text value report (the default)\n"
           "  --format json          every quantity of both pentagons, with 100 samples\n"
           "                         of each great circle and each cylinder curve, and\n"
           "                         the circles' intersections and arcs\n"
           "  --format svg           the cylinder unrolled: the curves as height against\n"
           "                         the angle around the axis\n"
           "  --intersections        in text, instead of the value report: every point\n"
           "                         where the great circles meet (circles p.i through\n"
           "                         it, sphere and cylinder coordinates) and, circle by\n"
           "                         circle, the arcs between them with their angle,\n"
           "                         chord and length on the cylinder; in svg, every\n"
           "                         such point marked on the unrolled cylinder\n"
           "  --help                 this text\n";
}
