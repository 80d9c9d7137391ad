// The four numbers that choose the two pentagons, read from text the same way
// by every front end (the report's and the renderer's command lines, the web
// page's fields): LAT1 LONG1 LAT2 LONG2, the height of each pentagon's corners
// (-1 to 1) and the longitude of its corner 0 (radians, from +x towards +z).
#pragma once

#include <string>

extern const char* const kPentagonValueNames[4]; // "LAT1", "LONG1", "LAT2", "LONG2"

// Reads value `index` (0 to 3) from `word`. Returns what is wrong with it, one
// line naming the value, or "" and sets `value`. The whole word must be a
// decimal (mathematics/decimal_words) that single precision holds; heights
// must lie in -1 to 1.
std::string parsePentagonValue(int index, const char* word, float& value);

// All four, in order; the first problem, or "" with `values` set.
std::string parsePentagonValues(const char* const words[4], float values[4]);

// Whether a word starting with '-' is a negative number ("-0.5", "-.5", and
// "-nan" or "-inf", which are refused as numbers) rather than an option.
bool looksLikeNumber(const char* word);

// A value as a person would have typed it: the shortest decimal of 6 to 9
// significant digits that reads back as the same float (0.97531795, not
// 0.975318 or 0.975317955).
std::string pentagonValueText(float value);

// The four values as a command line takes them: "0.9 0 0.5 0.3".
std::string pentagonValuesText(const float values[4]);

// The four values as headings name them, each after its name, `separator`
// between them: "LAT1 0.9  LONG1 0  LAT2 0.5  LONG2 0.3".
std::string pentagonValuesHeading(const float values[4], const char* separator = "  ");

// A word as messages quote it: in single quotes, control characters escaped,
// and cut after 32 characters, so a message always stays one short line.
std::string quoteArgument(const std::string& word);
