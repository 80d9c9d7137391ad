#include "mathematics/decimal_words.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Skips a run of digits; returns how many there were.
int digits(const char*& p) {
    int n = 0;
    while (isDigit(*p)) ++p, ++n;
    return n;
}
} // namespace

bool isDecimalWord(const char* word) {
    const char* p = word;
    if (*p == '+' || *p == '-') ++p;
    const int whole = digits(p);
    int fraction = 0;
    if (*p == '.') {
        ++p;
        fraction = digits(p);
    }
    if (whole + fraction == 0) return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-') ++p;
        if (digits(p) == 0) return false;
    }
    return *p == '\0';
}

bool isNonFiniteWord(const char* word) {
    // strtod takes leading blanks, which no number typed as a word has.
    if (*word == ' ' || (*word >= '\t' && *word <= '\r')) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(word, &end);
    // A decimal or hexadecimal past the range is infinite with ERANGE: a
    // number too large, not a spelling of infinity.
    return end != word && *end == '\0' && !std::isfinite(v) && errno != ERANGE;
}

bool readDecimal(const char* word, double& value) {
    if (!isDecimalWord(word)) return false;
    const double v = std::strtod(word, nullptr);
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}
