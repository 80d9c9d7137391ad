// The window's 8 by 13 overlay font as glBitmap data: one 8 by 14 cell per
// character code, the baseline 3 rows above the cell's bottom, 8 pixels of
// advance. The table is generated at build time from Debian's misc-fixed 8x13
// font and, for six glyphs that font redrew after freeglut's copy, its console
// version Fixed13 (offscreen/make_glyphs.py).
#pragma once

#include <cstdint>

const int kGlyphWidth = 8;   // pixels; one byte a row, leftmost pixel in the high bit
const int kGlyphHeight = 14; // rows, bottom row first
const int kGlyphOriginY = 3; // rows of the cell below the baseline
const int kGlyphAdvance = 8; // pixels to the next character

// Rows of character c; codes the font lacks (127 to 159) are blank cells.
extern const uint8_t kGlyphRows[256][kGlyphHeight];
