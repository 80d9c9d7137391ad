#include "mathematics/pentagon_args.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "mathematics/decimal_words.h"
#include "mathematics/number_text.h"

const char* const kPentagonValueNames[4] = {"LAT1", "LONG1", "LAT2", "LONG2"};

namespace {
const size_t kQuotedLength = 32;

bool isHeight(int index) { return index % 2 == 0; }
} // namespace

std::string quoteArgument(const std::string& word) {
    std::string q = "'";
    size_t k = 0;
    for (; k < word.size() && k < kQuotedLength; ++k) {
        const unsigned char c = static_cast<unsigned char>(word[k]);
        if (c == '\n')
            q += "\\n";
        else if (c == '\t')
            q += "\\t";
        else if (c == '\r')
            q += "\\r";
        else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            q += hex;
        } else
            q += char(c);
    }
    // Never end inside a UTF-8 sequence: drop the bytes of a cut character.
    if (k < word.size()) {
        while (!q.empty() && (static_cast<unsigned char>(q.back()) & 0xc0) == 0x80) q.pop_back();
        if (!q.empty() && (static_cast<unsigned char>(q.back()) & 0xc0) == 0xc0) q.pop_back();
        return q + "...' (" + std::to_string(word.size()) + " characters)";
    }
    return q + "'";
}

std::string pentagonValueText(float value) {
    std::string text;
    for (int digits = 6; digits <= 9; ++digits) {
        text = printed("%.*g", digits, value);
        if (std::strtof(text.c_str(), nullptr) == value) break;
    }
    return text;
}

std::string pentagonValuesText(const float values[4]) {
    std::string text;
    for (int k = 0; k < 4; ++k) text += (k ? " " : "") + pentagonValueText(values[k]);
    return text;
}

std::string pentagonValuesHeading(const float values[4], const char* separator) {
    std::string heading;
    for (int k = 0; k < 4; ++k)
        heading += (k ? separator : "") + std::string(kPentagonValueNames[k]) + " " +
                   pentagonValueText(values[k]);
    return heading;
}

bool looksLikeNumber(const char* word) {
    if (word[0] != '-') return true;
    if (std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.') return true;
    // "-nan", "-inf", "-Infinity": numbers to strtod, and refused as such.
    char* end = nullptr;
    std::strtod(word, &end);
    return end != word && *end == '\0';
}

std::string parsePentagonValue(int index, const char* word, float& value) {
    const std::string name = std::string(kPentagonValueNames[index]) + " " + quoteArgument(word);
    errno = 0;
    const float v = std::strtof(word, nullptr);
    const bool overflow = errno == ERANGE && std::isinf(v);
    // strtof alone would skip leading blanks, stop quietly at trailing
    // garbage and read hexadecimal: none of those is a number typed by hand.
    if (!isDecimalWord(word) && !isNonFiniteWord(word)) return name + " is not a number";
    // A decimal beyond about 3.4e38 is finite, but single precision has no
    // value for it; "nan" and "inf" are words for no finite value at all.
    if (overflow) return name + " is too large for single precision (at most about 3.4e38)";
    if (!std::isfinite(v)) return name + " is not a finite number";
    if (isHeight(index) && !(v >= -1.0f && v <= 1.0f))
        return name + " is outside -1 to 1 (the height of the corners on the unit sphere)";
    value = v; // an underflow to zero or a subnormal is still a number
    return "";
}

std::string parsePentagonValues(const char* const words[4], float values[4]) {
    float read[4];
    for (int k = 0; k < 4; ++k) {
        const std::string problem = parsePentagonValue(k, words[k], read[k]);
        if (!problem.empty()) return problem;
    }
    for (int k = 0; k < 4; ++k) values[k] = read[k];
    return "";
}
