// Numbers as a person types them, read one way by every front end: the
// report's four values, the renderer's times, sizes and counts, and the web
// page's fields. A decimal word is an optional sign, digits with an optional
// point (or a point and digits) and an optional exponent, and nothing else:
// "0.5", "-.5", "+2.", "1e-3". Hexadecimal ("0x10"), blanks and trailing
// characters make a word that is no number; "inf" and "nan" are words for none.
#pragma once

// Whether the whole word is a decimal number as above.
bool isDecimalWord(const char* word);

// Whether the whole word is one of strtod's spellings of infinity or NaN
// ("inf", "-Infinity", "nan", "nan(0x1)"): numbers with no finite value, which
// messages call so rather than "not a number".
bool isNonFiniteWord(const char* word);

// The value of a decimal word that a double holds (one beyond about 1.8e308
// is not; one too small for it reads as zero or a subnormal). False, and
// `value` untouched, for anything else.
bool readDecimal(const char* word, double& value);
