// The quantities a person types besides the four values: the dome's radius
// and the paper cylinder's diameter, each with its default and its limit
// defined here once for every front end (the report's command line, the web
// page's radius field through the WebAssembly module), and the one reader
// of them, which takes decimals only (mathematics/decimal_words).
#pragma once

#include <string>

// The dome's radius: in any unit for the cut list (lengths come out in the
// same one; default 1), in millimetres for a solid to print (STL, OBJ and the
// page's downloads; default 50). At most a dome a kilometre across.
const double kCutListRadius = 1;
const double kSolidRadius = 50;
const double kMaxDomeRadius = 1e6;

// The paper cylinder's diameter, millimetres: at most a tube a metre across
// (about 20 pages of paper wide).
const double kMaxPaperDiameter = 1000;

// Reads a positive decimal no larger than `largest` from `word`. Returns what
// is wrong with it, one line naming it as `name` ("--radius '0x10' is not a
// number", the words the four values get; "... is too large (at most 1000
// mm)", `unit` after the limit), or "" and sets `value`.
std::string readQuantity(const std::string& name, const char* word, double largest,
                         const char* unit, double& value);
