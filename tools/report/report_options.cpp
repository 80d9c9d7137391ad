#include "tools/report/report_options.h"

#include <vector>

#include "mathematics/number_text.h"
#include "mathematics/option_words.h"

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

// --radius or --diameter: a quantity of mathematics/quantities.
std::string readLength(const std::string& option, const std::string& word, double largest,
                       const char* unit, std::optional<double>& value) {
    double v = 0;
    const std::string problem = readQuantity(option, word.c_str(), largest, unit, v);
    if (problem.empty()) value = v;
    return problem;
}

// The options: false when argv[k] is none of them; otherwise `problem` says
// what is wrong with it, if anything.
bool readOption(int argc, const char* const* argv, int& k, reportOptions& options,
                std::string& problem) {
    const std::string word = argv[k];
    std::string value;
    if (word == "--intersections") {
        options.intersections = true;
    } else if (word == "--dome") {
        options.dome = true;
    } else if (optionValue("--format", argc, argv, k, value, problem)) {
        if (problem.empty() && !parseFormat(value, options.format))
            problem = "unknown format " + quoteArgument(value) + " (expected " + kFormatNames + ")";
    } else if (optionValue("--radius", argc, argv, k, value, problem)) {
        if (problem.empty())
            problem = readLength("--radius", value, kMaxDomeRadius, "", options.radius);
    } else if (optionValue("--diameter", argc, argv, k, value, problem)) {
        if (problem.empty())
            problem = readLength("--diameter", value, kMaxPaperDiameter, " mm", options.diameter);
    } else {
        return false;
    }
    return true;
}

// Options that would do nothing are refused rather than ignored.
std::string checkTogether(const reportOptions& options) {
    const std::string format = formatName(options.format);
    const bool solid = options.format == reportFormat::stl || options.format == reportFormat::obj;
    if (options.dome && options.format != reportFormat::text)
        return "--dome is the cut list as text; the " + format + " format cannot show it";
    if (options.dome && options.intersections)
        return "--dome and --intersections are two different texts: choose one";
    if (options.radius && !options.dome && !solid)
        return "--radius applies to --dome, --format stl and --format obj";
    if (options.diameter && options.format != reportFormat::svg)
        return "--diameter applies to --format svg";
    if (solid && options.intersections)
        return "--intersections has nothing to add to the " + format + " format";
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
        std::string problem;
        if (readOption(argc, argv, k, options, problem)) {
            if (!problem.empty()) return problem;
        } else if (looksLikeNumber(argv[k])) {
            positional.push_back(argv[k]);
        } else {
            return "unknown option " + quoteArgument(word);
        }
    }
    const std::string problem = checkTogether(options);
    if (!problem.empty() || positional.empty()) return problem;
    if (positional.size() != 4)
        return "expected 4 numbers (LAT1 LONG1 LAT2 LONG2) or none, got " +
               std::to_string(positional.size());
    return parsePentagonValues(positional.data(), options.arguments);
}

const char* reportUsageLine() {
    return "usage: geodesic-report [--format text|json|svg|stl|obj] [--intersections|--dome] "
           "[--radius R] [--diameter MM] [LAT1 LONG1 LAT2 LONG2]";
}

namespace {
// The help's lines on the formats.
std::string formatsHelp() {
    return "  --format text          the plain-text value report (the default)\n"
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
           "                         radius " +
           printed("%g", kSolidRadius) +
           " mm unless --radius says otherwise; never\n"
           "                         to a terminal\n"
           "  --format obj           the same solid as a Wavefront OBJ, with the struts as\n"
           "                         lines\n";
}

// The help's lines on the other options.
std::string optionsHelp() {
    return "  --intersections        in text, instead of the value report: every point\n"
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
           "                         are in the same one; default " +
           printed("%g", kCutListRadius) +
           "), or in millimetres\n"
           "                         for stl and obj (default " +
           printed("%g", kSolidRadius) + "); at most " + printed("%.15g", kMaxDomeRadius) +
           "\n"
           "  --diameter MM          see --format svg; at most " +
           printed("%.15g", kMaxPaperDiameter) +
           "\n"
           "  --help                 this text\n";
}
} // namespace

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
           scene + "\n" + formatsHelp() + optionsHelp() +
           "\n"
           "Where the circles meet nowhere (as when both pentagons are at a pole, or\n"
           "every circle is the equator) there is no dome: --dome says so in one\n"
           "line, the JSON has \"dome\": null, and stl and obj write nothing and exit\n"
           "with status 1.\n";
}
