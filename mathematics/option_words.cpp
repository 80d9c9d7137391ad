#include "mathematics/option_words.h"

bool optionValue(const std::string& name, int argc, const char* const* argv, int& k,
                 std::string& value, std::string& problem) {
    const std::string word = argv[k];
    if (word == name) {
        if (k + 1 >= argc) {
            problem = "missing value after " + name;
            return true;
        }
        value = argv[++k];
        return true;
    }
    if (word.rfind(name + "=", 0) != 0) return false;
    value = word.substr(name.size() + 1);
    if (value.empty()) problem = "missing value after " + name;
    return true;
}
