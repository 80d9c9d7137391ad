// The scene script: builds the sphere, the geodesic figure and the translucent
// cylinder, puts the camera and lights in their start state, and animates them
// against the animation clock (150 seconds; angles in degrees).
#pragma once

#include "support/object3D.h"
#include "support/tholix_print_values.h"

extern tholix_print_values* tholixPrint; // never constructed by the scene
extern object3D* tholix1;                // the geodesic figure
extern object3D* cyl1;                   // the cylinder (a wheel)
extern object3D* sph1;                   // the sphere

void ConstructScene(); // once, after the window exists (records display lists)
void InitScene();      // camera and lights to their start state
void AnimateScene();   // advance to the current animation time; may finish
void Scene1(float t);  // the demonstration at animation time t (seconds)
void Scene2(float t);  // an empty second scene
