#include "offscreen/glut_standin.h"

#include <GL/freeglut_std.h> // the declarations only: nothing of freeglut is linked
#include <GL/gl.h>

#include <utility>

#include "offscreen/glyphs.h"

namespace {
std::function<void()> swapHandler;
}

void setSwapHandler(std::function<void()> handler) { swapHandler = std::move(handler); }

// The font object the core passes as GLUT_BITMAP_8_BY_13; only its address counts.
void* glutBitmap8By13 = nullptr;

void drawBitmapGlyph(unsigned char c) {
    if (c == 0) return;
    // The window's font saves the client pixel-store state and unpacks byte by
    // byte, whatever the caller had set.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBitmap(kGlyphWidth, kGlyphHeight, 0, kGlyphOriginY, kGlyphAdvance, 0, kGlyphRows[c]);
    glPopClientAttrib();
}

void glutBitmapCharacter(void* font, int character) {
    if (font != GLUT_BITMAP_8_BY_13 || character < 0 || character > 255) return;
    drawBitmapGlyph(static_cast<unsigned char>(character));
}

void glutSwapBuffers() {
    if (swapHandler) swapHandler();
}

// The renderer calls NextFrame itself, frame by frame.
void glutIdleFunc(void (*)()) {}
void glutPostRedisplay() {}
void glutFullScreen() {}
