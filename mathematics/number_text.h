// Numbers as the reports, drawings and messages write them: printf's
// conversions of one double, returned as text, in one place for every
// writer (no fixed buffer, so no number is ever cut short).
#pragma once

#include <string>

// `v` as printf writes it with `format`, one conversion of a double ("%.2f",
// "%g", "%.15g"); with `precision`, a format whose precision is "*" ("%.*f").
std::string printed(const char* format, double v);
std::string printed(const char* format, int precision, double v);

// `decimals` digits after the point, where a rounding's tiny negative is
// written as zero ("0.000", never "-0.000").
std::string fixedDecimals(double v, int decimals);
