#include "mathematics/json_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "mathematics/number_text.h"

std::string jsonDouble(double v, int significantDigits) {
    if (!std::isfinite(v)) return "null";
    return printed("%.*g", significantDigits, v);
}

std::string jsonFloat(float v) { return jsonDouble(double(v), 9); }

std::string jsonDouble(double v) {
    if (!std::isfinite(v)) return "null";
    for (int digits = 15; digits < 17; ++digits) {
        const std::string text = printed("%.*g", digits, v);
        if (std::strtod(text.c_str(), nullptr) == v) return text;
    }
    return printed("%.17g", v);
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
