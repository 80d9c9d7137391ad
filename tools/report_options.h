// The report tool's command line: an optional output format and either no
// positional arguments (the scene's pentagons) or exactly four finite numbers,
// LAT1 LONG1 LAT2 LONG2 (corner heights, and corner-0 longitudes in radians).
#pragma once

#include <string>

enum class reportFormat { text, json, svg };

struct reportOptions {
    reportFormat format = reportFormat::text;
    bool help = false;
    // The scene's pentagons.
    float arguments[4] = {0.97531795f, 0.1f, 0.630991f, 0.1f};
};

// Fills `options` from argv; returns what is wrong with the command line, or
// an empty string when nothing is. Stops at --help.
std::string parseReportOptions(int argc, const char* const* argv, reportOptions& options);

// Strict float parsing: the whole word must be a finite number in float range.
bool parseFiniteFloat(const char* word, float& value);

const char* reportUsageLine();
const char* reportHelpText(); // starts with the usage line
