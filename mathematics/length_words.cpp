#include "mathematics/length_words.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "mathematics/decimal_words.h"
#include "mathematics/pentagon_args.h"

std::string readLength(const std::string& name, const char* word, double largest, const char* unit,
                       double& value) {
    const std::string quoted = name + " " + quoteArgument(word);
    if (!isDecimalWord(word))
        return quoted + (isNonFiniteWord(word) ? " is not a finite number" : " is not a number");
    // A decimal past double's range reads as infinity: too large, not infinite.
    const double v = std::strtod(word, nullptr);
    if (!(v > 0)) return quoted + " is not a positive number";
    if (v > largest) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%.15g", largest);
        return quoted + " is too large (at most " + limit + unit + ")";
    }
    value = v;
    return "";
}
