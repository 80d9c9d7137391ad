// cameraClass: the look-at camera (eye, target, up; world units). tellGL()
// multiplies the look-at onto whatever matrix is current; the view renderer
// applies it to the projection matrix.
#pragma once

#include "support/vec.h"

class cameraClass {
  public:
    cameraClass(); // eye (0, 0, 8), target at the origin, +y up
    ~cameraClass();
    void setLocation(float x, float y, float z);
    void setUpVector(float x, float y, float z);
    void moveBy(float x, float y, float z); // the eye only
    void setTarget(float x, float y, float z);
    void moveTargetBy(float x, float y, float z); // the target only
    void tellGL();                                // exactly one gluLookAt

    // Read access for tests and tools.
    const vec& getLocation() const { return cameraLocation; }
    const vec& getTarget() const { return cameraTarget; }
    const vec& getUpVector() const { return upVector; }

  protected:
    vec cameraLocation;
    vec cameraTarget;
    vec upVector;
};
