// vertex: a mesh point in its object's own coordinates, with the normal used
// for smooth shading (an average of face normals, not rescaled to unit length).
#pragma once

#include "support/vec.h"

class vertex {
  public:
    vec coordinate;
    vec normal;

    vertex() = default;                  // both (0, 0, 0, 1)
    void set(float x, float y, float z); // coordinate only; w = 1
};
