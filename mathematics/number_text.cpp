#include "mathematics/number_text.h"

#include <cstdio>

std::string printed(const char* format, double v) {
    std::string text(size_t(std::snprintf(nullptr, 0, format, v)), '\0');
    std::snprintf(text.data(), text.size() + 1, format, v);
    return text;
}

std::string printed(const char* format, int precision, double v) {
    std::string text(size_t(std::snprintf(nullptr, 0, format, precision, v)), '\0');
    std::snprintf(text.data(), text.size() + 1, format, precision, v);
    return text;
}

std::string fixedDecimals(double v, int decimals) {
    std::string text = printed("%.*f", decimals, v);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}
