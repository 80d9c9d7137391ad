// The options of the tools' command lines that take a value, read one way by
// geodesic-report and geodesics-render: "--name VALUE" as two words, or
// "--name=VALUE" as one.
#pragma once

#include <string>

// Whether argv[k] is the option `name` ("--radius"). If it is, `value` holds
// its value and k points at the last word read, or `problem` says "missing
// value after NAME" (no word after it, or nothing after the "=").
bool optionValue(const std::string& name, int argc, const char* const* argv, int& k,
                 std::string& value, std::string& problem);
