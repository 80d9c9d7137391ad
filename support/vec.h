// vec: four floats x, y, z, w for positions, angle triples (degrees), scale
// triples, normals and camera points. The three-component setter forces w = 1;
// `data` stays one contiguous array because it is handed straight to OpenGL.
#pragma once

class vec {
  public:
    float data[4];

    vec();                               // (0, 0, 0, 1)
    void set(float x, float y, float z); // w = 1
    void set(float x, float y, float z, float w);
    void add(float x, float y, float z); // w unchanged
    void print();                        // "x,y,z,w," then an empty line
};

vec operator+(vec& a, vec& b); // x, y, z summed; w = 1
vec operator-(vec& a, vec& b); // x, y, z subtracted; w = 1
