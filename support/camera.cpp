#include "support/camera.h"

#include <GL/glu.h>

cameraClass::cameraClass() {
    setLocation(0, 0, 8);
    setTarget(0, 0, 0);
    setUpVector(0, 1, 0);
}

cameraClass::~cameraClass() {}

void cameraClass::setLocation(float x, float y, float z) { cameraLocation.set(x, y, z); }
void cameraClass::setUpVector(float x, float y, float z) { upVector.set(x, y, z); }
void cameraClass::moveBy(float x, float y, float z) { cameraLocation.add(x, y, z); }
void cameraClass::setTarget(float x, float y, float z) { cameraTarget.set(x, y, z); }
void cameraClass::moveTargetBy(float x, float y, float z) { cameraTarget.add(x, y, z); }

void cameraClass::tellGL() {
    gluLookAt(cameraLocation.data[0], cameraLocation.data[1], cameraLocation.data[2],
              cameraTarget.data[0], cameraTarget.data[1], cameraTarget.data[2], upVector.data[0],
              upVector.data[1], upVector.data[2]);
}
