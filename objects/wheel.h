// wheel: a ring with thickness (an annular solid of height 2 about the y axis)
// with outer and inner radius and `res` angular steps; flat face normals, drawn
// in immediate mode as four quad strips. Scaled, it is the scene's cylinder.
#pragma once

#include "support/object3D.h"

class wheel : public object3D {
  public:
    wheel(short res, float outerRad, float innerRad); // 1 <= res <= 8191, else fatal
    wheel(const wheel& source);
    ~wheel() override;
    object3D* clone() const override;
    void privateDraw() override;

  private:
    short resolution;
};
