// matrix: 4 by 4 floats addressed [row][column] for column vectors, so a point p
// maps to m * p and translation sits in column 3, the transpose of OpenGL's
// memory order. Used in software only; rotations take degrees, right-handed.
#pragma once

#include "support/vec.h"

class matrix {
  public:
    matrix(); // identity
    void set(float r0c0, float r0c1, float r0c2, float r0c3, float r1c0, float r1c1, float r1c2,
             float r1c3, float r2c0, float r2c1, float r2c2, float r2c3, float r3c0, float r3c1,
             float r3c2, float r3c3);
    // Every setter below replaces the whole matrix, starting from the identity.
    void setTranslate(float tx, float ty, float tz);
    void setScale(float s);
    void setScale(float s1, float s2, float s3);
    void setRotateX(float angle);
    void setRotateY(float angle);
    void setRotateZ(float angle);
    void print();

    float element(int row, int column) const { return data[row][column]; }

    friend vec operator*(matrix& a, vec& b);
    friend matrix operator*(matrix& a, matrix& b);

  private:
    void init();
    float data[4][4];
};

vec operator*(matrix& a, vec& b);       // all four rows, so b's w takes part
matrix operator*(matrix& a, matrix& b); // a applied after b, as in OpenGL
