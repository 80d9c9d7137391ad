// geodesics-render against the window: the same frames, pixel for pixel. The
// window is the program's shell in a hidden GLUT window driven by the test
// clock; the renderer is the built tool in its own process with no display.
// Also holds the renderer's glyph table against the window's 8x13 font.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "tests/render_support.h"
#include "tests/shell_fixture.h"
#include "offscreen/glyphs.h"

namespace {

// A window frame captured at its swap, as a top-down picture of w x h pixels
// from the bottom-left corner of the window.
picture windowPicture(const rgbImage& img, int w, int h) {
    picture p;
    p.width = w;
    p.height = h;
    p.pixels.resize(size_t(3) * w * h);
    for (int y = 0; y < h; ++y)
        std::memcpy(&p.pixels[3 * size_t(y) * w], img.at(0, h - 1 - y), size_t(3) * w);
    return p;
}

// The frame being swapped, kept by the swap hook (a plain function).
picture swapped;
int swappedWidth = kWindowWidth, swappedHeight = kWindowHeight;
void keepSwappedFrame() { swapped = windowPicture(readBackBuffer(), swappedWidth, swappedHeight); }

// Draws the frame `draw` draws, and returns it.
picture captureFrame(void (*draw)(), int w = kWindowWidth, int h = kWindowHeight) {
    swappedWidth = w;
    swappedHeight = h;
    setBeforeSwapHook(keepSwappedFrame);
    draw();
    setBeforeSwapHook(nullptr);
    return swapped;
}

// Pixels that differ between two pictures of the same size.
int differingPixels(const picture& a, const picture& b) {
    int n = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (std::memcmp(a.at(x, y), b.at(x, y), 3) != 0) ++n;
    return n;
}

// The characters whose glyph in the renderer's table differs from the one the
// window's font draws. Each character is drawn twice in a row with
// glutBitmapCharacter and compared, bit for bit, with two cells laid out from
// the table's origin and advance; that checks placement as well as shape.
std::set<int> glyphsUnlikeTheWindows() {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWindowWidth, 0, kWindowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 1, 1);
    auto origin = [](int c) { return std::make_pair(8 + 24 * (c % 28), 8 + 20 * (c / 28)); };
    for (int c = 1; c < 256; ++c) {
        glRasterPos2i(origin(c).first, origin(c).second);
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c);
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c);
    }
    const rgbImage img = readBackBuffer();
    std::set<int> unlike;
    for (int c = 1; c < 256; ++c) {
        const int x0 = origin(c).first, y0 = origin(c).second - kGlyphOriginY;
        // The two cells and the pixels around them, so that a glyph drawn in
        // the wrong place shows as a difference too.
        for (int y = -2; y < kGlyphHeight + 2; ++y)
            for (int x = -2; x < 2 * kGlyphAdvance + 2; ++x) {
                const int gx = x % kGlyphAdvance;
                const bool inCell = y >= 0 && y < kGlyphHeight && x >= 0 && x < 2 * kGlyphAdvance;
                const bool ink = inCell && ((kGlyphRows[c][y] >> (7 - gx)) & 1);
                const bool lit = img.at(x0 + x, y0 + y)[0] > 127;
                if (ink != lit) unlike.insert(c);
            }
    }
    return unlike;
}

} // namespace

// --- The font ---------------------------------------------------------------------

using WindowFont = ShellTest;

// Every character the program can draw, control characters included (the
// caption's line feeds), is the window's glyph. Debian's misc-fixed 8x13 is a
// later revision of the window's font that redrew six printable glyphs; the
// table takes those from Debian's console font, which kept them. Some accented
// letters differ still; the program draws none.
TEST_F(WindowFont, TableMatchesTheWindowsGlyphs) {
    const std::set<int> unlike = glyphsUnlikeTheWindows();
    for (int c = 1; c < 127; ++c) EXPECT_EQ(unlike.count(c), 0u) << "character " << c;
}

// --- Frames -----------------------------------------------------------------------

using RenderedFrame = ShellTest;

TEST_F(RenderedFrame, AtTimeZeroIsTheWindowsFrameBeforeTheFirstA) {
    const picture window = captureFrame(ViewScene); // the start-up frame, mode kpmAtStart

    scratchDir dir;
    const renderRun run = runRender({"--at", "0", "--png", dir.file("zero.png")});
    ASSERT_EQ(run.status, 0) << run.errors;
    const picture rendered = readPng(dir.file("zero.png"));
    ASSERT_EQ(rendered.width, kWindowWidth);
    ASSERT_EQ(rendered.height, kWindowHeight);
    EXPECT_EQ(differingPixels(window, rendered), 0);
}

// The window draws every frame at 5 a second from the press of a, with the
// statistics line on, so its frame counter and frame-rate line are those of a
// window drawing at that rate; the renderer is asked for the same moments.
// From 85 s the caption is on too.
TEST_F(RenderedFrame, EqualsTheWindowsFramesWithStatisticsAndCaption) {
    const int fps = 5;
    const std::map<long, std::string> moments = {{15, "3"}, {125, "25"}, {300, "60"}, {450, "90"}};
    scratchDir dir;
    const renderRun run = runRender({"--stats", "--fps", "5", "--at", "3,25,60,90", "--png",
                                     dir.file("f-%t.png")});
    ASSERT_EQ(run.status, 0) << run.errors;

    resetShellState();
    KeyPress('t', 0, 0);
    KeyPress('a', 0, 0);
    for (long k = 0; k <= moments.rbegin()->first; ++k) {
        setAnimationSeconds(double(k) / fps);
        const auto moment = moments.find(k);
        if (moment == moments.end()) {
            NextFrame();
            continue;
        }
        SCOPED_TRACE("at " + moment->second + " s");
        const picture window = captureFrame(NextFrame);
        const picture rendered = readPng(dir.file("f-" + moment->second + ".png"));
        ASSERT_EQ(rendered.width, kWindowWidth);
        EXPECT_EQ(differingPixels(window, rendered), 0);
    }
}

// Without the statistics line a frame depends on its time alone, so the window
// can jump there.
TEST_F(RenderedFrame, WireFrameEqualsTheWindows) {
    scratchDir dir;
    const renderRun run = runRender({"--wire", "--at", "60", "--png", dir.file("wire.png")});
    ASSERT_EQ(run.status, 0) << run.errors;

    ViewScene(); // the window's first frame, before any key
    KeyPress('a', 0, 0);
    KeyPress('w', 0, 0);
    setAnimationSeconds(60);
    const picture window = captureFrame(NextFrame);
    EXPECT_EQ(differingPixels(window, readPng(dir.file("wire.png"))), 0);
}

// At another size the window's frame is the one it draws after a reshape, read
// from its bottom-left corner. Its drawable stays 576 rows tall, and llvmpipe
// rasterises from the drawable's top, so a vertex's sub-pixel position is
// rounded from another origin: a few pixels (under 1 in 10,000) may differ,
// by a level of colour or, on the edge of a line, by the line itself.
TEST_F(RenderedFrame, AnotherSizeIsTheWindowsAfterAReshapeButAFewEdgePixels) {
    scratchDir dir;
    const renderRun run =
        runRender({"--size", "640x360", "--at", "60", "--png", dir.file("small.png")});
    ASSERT_EQ(run.status, 0) << run.errors;

    ResizeWindow(640, 360);
    ViewScene();
    KeyPress('a', 0, 0);
    setAnimationSeconds(60);
    const picture window = captureFrame(NextFrame, 640, 360);
    const picture rendered = readPng(dir.file("small.png"));
    ASSERT_EQ(rendered.width, 640);
    ASSERT_EQ(rendered.height, 360);
    EXPECT_LT(differingPixels(window, rendered), 640 * 360 / 10000);
}
