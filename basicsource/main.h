// The shell's global state, shared by every module: program mode, window size,
// frame and polygon counters, overlay switches, the top-level scene objects,
// the five lights and the camera. Defined in basicsource/main.cpp.
#pragma once

#include <vector>

#include "basicsource/constants.h"
#include "support/camera.h"
#include "support/light.h"
#include "support/object3D.h"

extern int sounds;         // non-zero: key 'a' plays the start sound
extern long gFrameCounter; // frames drawn while animating
extern ProgramMode gProgramMode;
extern short gWindowWidth;          // pixels
extern short gWindowHeight;         // pixels
extern unsigned long gPolygonCount; // polygons issued in the current frame
extern bool gWireFrameOnly;
extern bool gTextOn;
extern std::vector<object3D*> shapeVector; // not owned: live until the process ends
extern light light0, light1, light2, light3, light4;
extern cameraClass camera;

// The GLUT callbacks.
void ViewScene();                               // draws one frame
void KeyPress(unsigned char key, int x, int y); // character keys
void SpecialKeyPress(int key, int x, int y);    // arrow keys
void NextFrame();                               // idle tick while animating
void ResizeWindow(int w, int h);                // reshape
