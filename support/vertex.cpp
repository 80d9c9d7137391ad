#include "support/vertex.h"

void vertex::set(float x, float y, float z) { coordinate.set(x, y, z); }
