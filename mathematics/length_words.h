// Lengths as a person types them, with their limits and defaults held here
// once: the dome's radius (the report tool's --radius, the web page's radius
// field) and the paper cylinder's diameter (--diameter). Millimetres for the
// solids and the paper; the cut list takes the radius in any unit.
#pragma once

#include <string>

// The largest radius (any unit; for the solids, millimetres) and the largest
// paper cylinder's diameter (millimetres): a dome a kilometre across, a tube
// a metre across (about 20 pages of paper wide).
const double kMaxRadius = 1e6;
const double kMaxDiameter = 1000;
// The dome's radius where none is given: the unit sphere's in the cut list,
// 50 mm for a solid to print.
const double kCutListRadius = 1;
const double kSolidRadius = 50;

// Reads the length called `name` ("--radius", "Radius") from `word`: "" with
// `value` set, or one line naming it and what is wrong: not a number (the
// whole word must be a decimal, mathematics/decimal_words: "0x10" is not),
// not a finite number ("inf"), not a positive number (0, or too small for a
// double), or too large (above `largest`, which the message gives followed
// by `unit`, e.g. " mm").
std::string readLength(const std::string& name, const char* word, double largest, const char* unit,
                       double& value);
