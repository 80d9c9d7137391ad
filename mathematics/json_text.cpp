#include "mathematics/json_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string jsonDouble(double v, int significantDigits) {
    if (!std::isfinite(v)) return "null";
    char b[40];
    std::snprintf(b, sizeof b, "%.*g", significantDigits, v);
    return b;
}

std::string jsonFloat(float v) { return jsonDouble(double(v), 9); }

std::string jsonDouble(double v) {
    if (!std::isfinite(v)) return "null";
    char b[40];
    for (int digits = 15; digits < 17; ++digits) {
        std::snprintf(b, sizeof b, "%.*g", digits, v);
        if (std::strtod(b, nullptr) == v) return b;
    }
    std::snprintf(b, sizeof b, "%.17g", v);
    return b;
}

std::string jsonBool(bool v) { return v ? "true" : "false"; }

std::string jsonString(const std::string& text) {
    std::string s = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': s += "\\\""; break;
        case '\\': s += "\\\\"; break;
        case '\b': s += "\\b"; break;
        case '\f': s += "\\f"; break;
        case '\n': s += "\\n"; break;
        case '\r': s += "\\r"; break;
        case '\t': s += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char u[8];
                std::snprintf(u, sizeof u, "\\u%04x", static_cast<unsigned char>(c));
                s += u;
            } else {
                s += c;
            }
        }
    }
    return s + "\"";
}
