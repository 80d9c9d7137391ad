// JSON as every front end writes it (the report tool's --format json, the
// scene file the web page is built from): numbers that read back as the same
// float or double, null for NaN and infinities (JSON has no token for them),
// and strings escaped in full. Each document lays out its own structure.
#pragma once

#include <string>

std::string jsonFloat(float v);   // 9 significant digits: reads back as the same float
std::string jsonDouble(double v); // the shortest of 15 to 17 digits that reads back the same
std::string jsonDouble(double v, int significantDigits); // printf's %.*g, 1 to 17
std::string jsonBool(bool v);
// Quoted, with '"', '\\' and every control character escaped; other bytes
// (UTF-8 included) as they are.
std::string jsonString(const std::string& text);
