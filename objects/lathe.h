// lathe: a surface of revolution, a (radius, height) profile swept about the y
// axis in `resolution` steps, consecutive rings joined by quadrilaterals;
// smooth vertex normals, drawn face by face (no display list).
#pragma once

#include "support/object3D.h"

class lathe : public object3D {
  public:
    // theProfile: (radius, height) pairs closed by 99.0 at an even position.
    // resolution * points must fit the 16-bit counts, else fatal; resolution 0
    // makes an empty lathe.
    lathe(double* theProfile, short resolution);
    lathe(const lathe& source);
    ~lathe() override;
    object3D* clone() const override;

  private:
    static short countPoints(const double* theProfile, short resolution);

    short profilePoints;
    short gridSize; // read by nothing
};
