// What the program's core takes from GLUT, for a process with no window and no
// X display: the 8 by 13 bitmap font, drawn with glBitmap as the window draws
// it, and a buffer swap that hands each finished frame to the renderer. Idle,
// redisplay and full-screen requests have nothing to act on off screen.
#pragma once

#include <functional>

// Called by glutSwapBuffers once ViewScene has drawn a whole frame into the
// current framebuffer; the frame stays there until the next one is drawn.
void setSwapHandler(std::function<void()> handler);

// One character at the current raster position, advancing it: character 0 and
// any font other than GLUT_BITMAP_8_BY_13 draw nothing (as in the window).
void drawBitmapGlyph(unsigned char c);
