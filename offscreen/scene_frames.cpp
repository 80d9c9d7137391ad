#include "offscreen/scene_frames.h"

#include <cmath>

#include "basicsource/main.h"
#include "basicsource/scene.h"
#include "mathematics/pentagon_args.h"
#include "mathematics/scene_constants.h"
#include "objects/tholix.h"
#include "offscreen/frame_clock.h"
#include "offscreen/glut_standin.h"

namespace {
bool scenePentagons(const float values[4]) {
    for (int k = 0; k < 4; ++k)
        if (values[k] != kScenePentagons[k]) return false;
    return true;
}

// The scene script builds the figure for the scene's pentagons. For others the
// same figure is rebuilt with the given values and put in its place, coloured
// and scaled as ConstructScene does, so the scene, its script (which spins
// tholix1) and the shapes stay the program's own.
void replaceFigure(const float v[4]) {
    object3D* figure = new tholix(v[0], v[1], v[2], v[3]);
    figure->setColour(0, 0, 0, 1);
    figure->setLocalScale(1, 1, 1);
    for (object3D*& shape : shapeVector)
        if (shape == tholix1) shape = figure;
    delete tholix1;
    tholix1 = figure;
}

bool swapped = false;
} // namespace

long sceneFrames::frameNumber(double t, int fps) { return std::lround(t * fps) + 1; }

sceneFrames::sceneFrames(const sceneSettings& s) : fps_(s.fps), stats_(s.stats) {
    sounds = 0;
    setFrameTick(0);
    ConstructScene();
    if (!scenePentagons(s.pentagons)) replaceFigure(s.pentagons);
    InitScene();
    setSwapHandler([] { swapped = true; });
    // The window's start: a reshape to its size and a first frame drawn by the
    // display callback, before any key. The first frame drawn in a context
    // leaves GL state behind that shifts a few pixels of later frames by one
    // level of colour; drawing it here too keeps every later frame the
    // window's, to the last bit.
    ResizeWindow(s.width, s.height);
    ViewScene();
    KeyPress('a', 0, 0);
    if (s.stats) KeyPress('t', 0, 0);
    if (s.wire) KeyPress('w', 0, 0);
}

void sceneFrames::drawNumbered(long number, double t) {
    setFrameTick(int32_t(std::llround(t * 1000.0)));
    gFrameCounter = number - 1; // ViewScene counts the frame it draws
    NextFrame();
    lastNumber_ = number;
    drawn_ = true;
}

// The frame-rate line is refreshed on every 20th frame from the interval since
// the frame before it. Before a frame that does not follow the last one drawn,
// the two frames that set the line it shows are drawn too (and not kept).
void sceneFrames::primeFrameRate(long number) {
    const long setter = number - number % 20;
    if (setter < 20) return; // none yet: the window shows no rate before frame 20
    auto timeOf = [this](long n) { return double(n - 1) / fps_; };
    drawNumbered(setter - 1, timeOf(setter - 1));
    if (setter < number) drawNumbered(setter, timeOf(setter));
}

bool sceneFrames::drawAt(double t) {
    const long number = frameNumber(t, fps_);
    if (stats_ && !(drawn_ && number == lastNumber_ + 1)) primeFrameRate(number);
    swapped = false;
    drawNumbered(number, t);
    return swapped;
}
