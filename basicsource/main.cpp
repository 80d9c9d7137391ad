// geodesics: an animated demonstration of the great circles through the edges of
// two pentagons inscribed in the unit sphere, and the curves their planes cut on
// a cylinder around it. Keys: a start/restart, p pause, w wire frame, t text,
// f full screen, l r u d i o move the eye, arrows move the target, q/Esc quit.
#include "basicsource/main.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"
#include "mathematics/scene_constants.h"

int sounds = 1;
long gFrameCounter = 0;
ProgramMode gProgramMode = kpmAtStart;
short gWindowWidth = kWindowWidth;
short gWindowHeight = kWindowHeight;
unsigned long gPolygonCount = 0;
bool gWireFrameOnly = false;
bool gTextOn = false;
std::vector<object3D*> shapeVector;
light light0(0), light1(1), light2(2), light3(3), light4(4);
cameraClass camera;

namespace {
const char* const kWindowTitle =
    "Geodesics projected onto a cylinder (demo version) - the geodesics developers";
const char* const kCaption =
    "Geodesics formed by 2 pentagons projected onto a cylinder - Demo version. \n"
    " Version 4 displays all coordinates for intersections \n"
    " and calculates curve-lengths between these coordinates.\n"
    " Version 5 constructs objects using this information\n";
const char* const kYearNotice = "(c) 2026";
const char* const kRightsOwner = "the geodesics developers";
const char* const kStartSound = "resources/vorsandi_02.wav";

// The projection every frame and every reshape starts from. The near plane is
// the single-precision 0.1; ResizeWindow keeps the height at least one pixel,
// so the aspect ratio stays finite.
void setProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(gWindowWidth) / double(gWindowHeight), 0.1f, 500.0);
}
} // namespace

// --- The frame ----------------------------------------------------------------

void ViewScene() {
    gPolygonCount = 0;
    if (gProgramMode == kpmAnimating) gFrameCounter += 1; // the first animated frame is 1

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT, gWireFrameOnly ? GL_LINE : GL_FILL);
    glPolygonMode(GL_BACK, gWireFrameOnly ? GL_LINE : GL_FILL);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The whole view transform lives in the projection matrix, so every object
    // and light places itself from an identity model-view matrix.
    setProjection();
    camera.tellGL();

    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE); // the objects' scales would otherwise stretch the normals
    GLfloat ambientLight[] = {0.5f, 0.5f, 0.5f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientLight);
    glLoadIdentity();
    light0.tellGL();
    light1.tellGL();
    light2.tellGL();
    light3.tellGL();
    light4.tellGL();

    for (object3D* shape : shapeVector) shape->draw(kDrawOpaque);

    // Translucent objects are blended over the opaque ones without writing depth.
    glDepthMask(GL_FALSE);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (object3D* shape : shapeVector) shape->draw(kDrawTranslucent);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);

    if (gTextOn) {
        char tempStr[64];
        std::snprintf(tempStr, sizeof tempStr, "Frame: %ld, Polygons: %ld, Time: %0.1f",
                      gFrameCounter, long(gPolygonCount), double(getAnimationTime()));
        DrawTextA(tempStr, 10, 20);
        DrawFrameRate();
    }
    float t = getAnimationTime();
    if (t >= kCaptionFromSeconds) ShowCopyright(kYearNotice, kRightsOwner, kCaption);

    glutSwapBuffers();
}

// --- Keyboard -------------------------------------------------------------------

static void startAnimation() {
    InitScene();
    gFrameCounter = 0;
    resetAnimationTimer();
    gProgramMode = kpmAnimating;
    glutIdleFunc(NextFrame);
    if (sounds) playSoundFile(kStartSound);
}

static void makeMovie() {
    InitScene();
    gFrameCounter = 0;
    gProgramMode = kpmMakingMovie;
    resetAnimationTimer();
    RenderMovie();
    gProgramMode = kpmFinished;
}

static void togglePause() {
    if (gProgramMode == kpmAnimating) {
        gProgramMode = kpmPaused;
        pauseAnimationTimer();
        pauseMusic();
        glutIdleFunc(nullptr);
    } else if (gProgramMode == kpmPaused) {
        gProgramMode = kpmAnimating;
        unpauseAnimationTimer();
        unpauseMusic();
        glutIdleFunc(NextFrame);
    }
}

static void moveEye(float x, float y, float z) {
    camera.moveBy(x, y, z);
    glutPostRedisplay();
}

void KeyPress(unsigned char key, int, int) {
    switch (key) {
    case 27:
    case 'q': platformWindup(); std::exit(0);
    case 'a': startAnimation(); break;
    case 'd': moveEye(0, -1, 0); break;
    case 'f': glutFullScreen(); break;
    case 'i': moveEye(0, 0, -1); break;
    case 'l': moveEye(-1, 0, 0); break;
    case 'm': makeMovie(); break;
    case 'o': moveEye(0, 0, 1); break;
    case 'p': togglePause(); break;
    case 'r': moveEye(1, 0, 0); break;
    case 't':
        gTextOn = !gTextOn;
        glutPostRedisplay();
        break;
    case 'u': moveEye(0, 1, 0); break;
    case 'w':
        gWireFrameOnly = !gWireFrameOnly;
        glutPostRedisplay();
        break;
    default: break; // every other key, capitals included, does nothing
    }
}

void SpecialKeyPress(int key, int, int) {
    switch (key) {
    case GLUT_KEY_LEFT: camera.moveTargetBy(-1, 0, 0); break;
    case GLUT_KEY_UP: camera.moveTargetBy(0, 1, 0); break;
    case GLUT_KEY_RIGHT: camera.moveTargetBy(1, 0, 0); break;
    case GLUT_KEY_DOWN: camera.moveTargetBy(0, -1, 0); break;
    default: return;
    }
    glutPostRedisplay();
}

// --- Frame loop -------------------------------------------------------------------

void NextFrame() {
    if (gProgramMode == kpmAnimating) {
        AnimateScene();
        ViewScene(); // directly: the frame of the tick that finishes is still drawn
    } else if (gProgramMode == kpmFinished) {
        glutIdleFunc(nullptr);
        pauseAnimationTimer();
        stopMusic();
    }
}

void ResizeWindow(int w, int h) {
    gWindowWidth = short(w);
    gWindowHeight = short(h);
    if (gWindowHeight < 1) gWindowHeight = 1;
    if (gWindowWidth < 1) gWindowWidth = 1;
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, gWindowWidth, gWindowHeight);
    if (gProgramMode == kpmAnimating) AnimateScene();
}

// --- Entry point --------------------------------------------------------------------

#ifndef GEODESICS_NO_ENTRY_POINT
int main(int argc, char** argv) {
    platformInitialise();
    gWindowWidth = kWindowWidth;
    gWindowHeight = kWindowHeight;
    glutInit(&argc, argv);
    glutInitWindowSize(gWindowWidth, gWindowHeight);
    glutInitWindowPosition(100, 100);
    glutInitDisplayString("double rgb depth>=16");
    glutCreateWindow(kWindowTitle);

    glutDisplayFunc(ViewScene);
    glutKeyboardFunc(KeyPress);
    glutSpecialFunc(SpecialKeyPress);
    glutIdleFunc(nullptr);
    glutReshapeFunc(ResizeWindow);

    // After the window exists: the sphere and the figure record display lists.
    ConstructScene();
    InitScene();
    gFrameCounter = 0;
    resetAnimationTimer();
    glutMainLoop();
    return 0;
}
#endif
