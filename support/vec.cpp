#include "support/vec.h"

#include <iostream>

vec::vec() { set(0, 0, 0); }

void vec::set(float x, float y, float z) { set(x, y, z, 1); }

void vec::set(float x, float y, float z, float w) {
    data[0] = x;
    data[1] = y;
    data[2] = z;
    data[3] = w;
}

void vec::add(float x, float y, float z) {
    data[0] += x;
    data[1] += y;
    data[2] += z;
}

void vec::print() {
    for (float f : data) std::cout << f << ",";
    std::cout << "\n" << std::endl;
}

vec operator+(vec& a, vec& b) {
    vec r;
    r.set(a.data[0] + b.data[0], a.data[1] + b.data[1], a.data[2] + b.data[2]);
    return r;
}

vec operator-(vec& a, vec& b) {
    vec r;
    r.set(a.data[0] - b.data[0], a.data[1] - b.data[1], a.data[2] - b.data[2]);
    return r;
}
