// The report tool's command line: an optional output format, whether to
// show the circles' intersections or the dome's cut list, the dome's radius
// and the paper cylinder's diameter, and either no positional arguments (the
// scene's pentagons) or exactly four numbers, LAT1 LONG1 LAT2 LONG2, read by
// mathematics/pentagon_args.
#pragma once

#include <optional>
#include <string>

#include "mathematics/length_words.h" // the limits and defaults of --radius and --diameter
#include "mathematics/pentagon_args.h"
#include "mathematics/scene_constants.h"

enum class reportFormat { text, json, svg, stl, obj };

struct reportOptions {
    reportFormat format = reportFormat::text;
    bool intersections = false;     // text: their table instead of the value report;
                                    // svg: every one marked; json: always there
    bool dome = false;              // text: the dome's cut list instead of the value report
    std::optional<double> radius;   // --radius: of the cut list's dome or the solid
    std::optional<double> diameter; // --diameter, mm: svg becomes the paper cylinder
    bool help = false;
    float arguments[4] = {kScenePentagons[0], kScenePentagons[1], kScenePentagons[2],
                          kScenePentagons[3]};
};

// Fills `options` from argv; returns what is wrong with the command line, or
// an empty string when nothing is. Stops at --help. --radius and --diameter
// take a positive finite number up to kMaxRadius or kMaxDiameter, and only
// where they mean something: --radius with --dome, stl or obj, --diameter
// with svg; --dome only in text, alone.
std::string parseReportOptions(int argc, const char* const* argv, reportOptions& options);

const char* reportUsageLine();
std::string reportHelpText(); // starts with the usage line
