// sphere: the unit sphere about the origin with y as its polar axis, a
// latitude-longitude mesh of n rings steps, smooth vertex normals, recorded once
// into a display list (two fans and n-2 quad strips). Needs a current GL context.
#pragma once

#include "support/object3D.h"

class sphere : public object3D {
  public:
    sphere(short gridSize); // 2 <= gridSize <= 181, else fatal
    sphere(const sphere& source);
    ~sphere() override;
    object3D* clone() const override;

  private:
    int placeVertices(); // the steps of construction, in order
    int joinFaces();
    void recordList();

    short resolution;
};
