#include "tools/report_options.h"

#include <vector>

namespace {
const char* const kFormatNames = "text, json, svg, stl or obj";

bool parseFormat(const std::string& name, reportFormat& format) {
    if (name == "text")
        format = reportFormat::text;
    else if (name == "json")
        format = reportFormat::json;
    else if (name == "svg")
        format = reportFormat::svg;
    else if (name == "stl")
        format = reportFormat::stl;
    else if (name == "obj")
        format = reportFormat::obj;
    else
        return false;
    return true;
}

// A length, read as every front end reads it (mathematics/length_words).
std::string parseLength(const std::string& option, const std::string& word, double largest,
                        const char* unit, std::optional<double>& value) {
    double length = 0;
    const std::string problem = readLength(option, word.c_str(), largest, unit, length);
    if (problem.empty()) value = length;
    return problem;
}

// "--name VALUE" or "--name=VALUE": the value's word, or a problem.
bool optionValue(const std::string& name, int argc, const char* const* argv, int& k,
                 std::string& value, std::string& problem) {
    const std::string word = argv[k];
    if (word == name) {
        if (k + 1 >= argc) {
            problem = "missing value after " + name;
            return true;
        }
        value = argv[++k];
        return true;
    }
    if (word.rfind(name + "=", 0) != 0) return false;
    value = word.substr(name.size() + 1);
    if (value.empty()) problem = "missing value after " + name;
    return true;
}

const char* formatName(reportFormat f) {
    switch (f) {
    case reportFormat::text: return "text";
    case reportFormat::json: return "json";
    case reportFormat::svg: return "svg";
    case reportFormat::stl: return "stl";
    case reportFormat::obj: return "obj";
    }
    return "";
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
        if (word == "--dome") {
            options.dome = true;
            continue;
        }
        std::string value, problem;
        if (optionValue("--format", argc, argv, k, value, problem)) {
            if (!problem.empty()) return problem;
            if (!parseFormat(value, options.format))
                return "unknown format " + quoteArgument(value) + " (expected " + kFormatNames +
                       ")";
            continue;
        }
        if (optionValue("--radius", argc, argv, k, value, problem)) {
            if (problem.empty())
                problem = parseLength("--radius", value, kMaxRadius, "", options.radius);
            if (!problem.empty()) return problem;
            continue;
        }
        if (optionValue("--diameter", argc, argv, k, value, problem)) {
            if (problem.empty())
                problem = parseLength("--diameter", value, kMaxDiameter, " mm", options.diameter);
            if (!problem.empty()) return problem;
            continue;
        }
        if (!looksLikeNumber(argv[k])) return "unknown option " + quoteArgument(word);
        positional.push_back(argv[k]);
    }

    // Options that would do nothing are refused rather than ignored.
    const std::string format = formatName(options.format);
    if (options.dome && options.format != reportFormat::text)
        return "--dome is the cut list as text; the " + format + " format cannot show it";
    if (options.dome && options.intersections)
        return "--dome and --intersections are two different texts: choose one";
    if (options.radius && !options.dome && options.format != reportFormat::stl &&
        options.format != reportFormat::obj)
        return "--radius applies to --dome, --format stl and --format obj";
    if (options.diameter && options.format != reportFormat::svg)
        return "--diameter applies to --format svg";
    if ((options.format == reportFormat::stl || options.format == reportFormat::obj) &&
        options.intersections)
        return "--intersections has nothing to add to the " + format + " format";

    if (positional.empty()) return "";
    if (positional.size() != 4)
        return "expected 4 numbers (LAT1 LONG1 LAT2 LONG2) or none, got " +
               std::to_string(positional.size());
    return parsePentagonValues(positional.data(), options.arguments);
}

const char* reportUsageLine() {
    return "usage: geodesic-report [--format text|json|svg|stl|obj] [--intersections|--dome] "
           "[--radius R] [--diameter MM] [LAT1 LONG1 LAT2 LONG2]";
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
           "where the ten great circles meet and the lengths between them, and the\n"
           "dome they build, and writes them to standard output: as numbers, as a\n"
           "drawing, as a cut list, as a solid to print or as a paper cylinder.\n"
           "\n"
           "  LAT1 LONG1 LAT2 LONG2  for each pentagon, the height of its corners (their\n"
           "                         y, -1 to 1) and the longitude of its corner 0\n"
           "                         (radians); without them, the scene's pentagons:\n"
           "                         " +
           scene +
           "\n"
           "  --format text          the plain-text value report (the default)\n"
           "  --format json          every quantity of both pentagons, with 100 samples\n"
           "                         of each great circle and each cylinder curve,\n"
           "                         the circles' intersections and arcs, and the dome\n"
           "                         (null where the circles meet nowhere)\n"
           "  --format svg           the cylinder unrolled: the curves as height against\n"
           "                         the angle around the axis\n"
           "  --format svg --diameter MM\n"
           "                         the paper cylinder: the unrolled cylinder at true size\n"
           "                         for a tube MM millimetres across (pi MM wide), with\n"
           "                         the curves, the intersections and glue tabs, on pages\n"
           "                         that print at 100 % on A4 or Letter\n"
           "  --format stl           the dome's panels as a solid to print: binary STL,\n"
           "                         radius 50 mm unless --radius says otherwise; never\n"
           "                         to a terminal\n"
           "  --format obj           the same solid as a Wavefront OBJ, with the struts as\n"
           "                         lines\n"
           "  --intersections        in text, instead of the value report: every point\n"
           "                         where the great circles meet (circles p.i through\n"
           "                         it, sphere and cylinder coordinates) and, circle by\n"
           "                         circle, the arcs between them with their angle,\n"
           "                         chord and length on the cylinder; in svg, every\n"
           "                         such point marked on the unrolled cylinder\n"
           "  --dome                 in text, instead of the value report: the cut list of\n"
           "                         the dome the circles build (struts by letter with\n"
           "                         length, chord factor, bend and count; hubs; panels\n"
           "                         with their angles; area and volume)\n"
           "  --radius R             the dome's radius, in any unit (the cut list's lengths\n"
           "                         are in the same one; default 1), or in millimetres\n"
           "                         for stl and obj (default 50); at most 1000000\n"
           "  --diameter MM          see --format svg; at most 1000\n"
           "  --help                 this text\n"
           "\n"
           "Where the circles meet nowhere (as when both pentagons are at a pole, or\n"
           "every circle is the equator) there is no dome: --dome says so in one\n"
           "line, the JSON has \"dome\": null, and stl and obj write nothing and exit\n"
           "with status 1.\n";
}
