#include "mathematics/quantities.h"

#include "mathematics/decimal_words.h"
#include "mathematics/number_text.h"
#include "mathematics/pentagon_args.h"

std::string readQuantity(const std::string& name, const char* word, double largest,
                         const char* unit, double& value) {
    const std::string quoted = name + " " + quoteArgument(word);
    if (isNonFiniteWord(word)) return quoted + " is not a finite number";
    if (!isDecimalWord(word)) return quoted + " is not a number";
    // A decimal past double's range is no value, but still a number: too
    // large, or (negative) not positive; one too small reads as zero.
    double v = 0;
    const bool held = readDecimal(word, v);
    if (word[0] == '-' || (held && !(v > 0))) return quoted + " is not a positive number";
    if (!held || v > largest)
        return quoted + " is too large (at most " + printed("%.15g", largest) + unit + ")";
    value = v;
    return "";
}
