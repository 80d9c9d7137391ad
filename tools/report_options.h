// The report tool's command line: an optional output format, whether to
// show the circles' intersections, and either no positional arguments (the
// scene's pentagons) or exactly four numbers, LAT1 LONG1 LAT2 LONG2, read by
// mathematics/pentagon_args.
#pragma once

#include <string>

#include "mathematics/pentagon_args.h"
#include "mathematics/scene_constants.h"

enum class reportFormat { text, json, svg };

struct reportOptions {
    reportFormat format = reportFormat::text;
    bool intersections = false; // text: their table instead of the value report;
                                // svg: every one marked; json: always there
    bool help = false;
    float arguments[4] = {kScenePentagons[0], kScenePentagons[1], kScenePentagons[2],
                          kScenePentagons[3]};
};

// Fills `options` from argv; returns what is wrong with the command line, or
// an empty string when nothing is. Stops at --help.
std::string parseReportOptions(int argc, const char* const* argv, reportOptions& options);

const char* reportUsageLine();
std::string reportHelpText(); // starts with the usage line
