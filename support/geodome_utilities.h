// Point, vector and triangle geometry for geodesic domes. Angles in radians;
// points are arrays of three floats (x, y, z). Arithmetic is carried in double
// and rounded to float once. Functions that return a new array hand it to the
// caller, who releases it with delete[]. Part of the mathematics library
// (geodesics_math, mathematics/CMakeLists.txt), not of the drawing framework
// beside it.
#pragma once

float arc_cosine(float c); // clamped: c <= -1 gives pi (as a float), c >= 1 gives 0
float triangle_arccos(float s1, float s2, float opp_side); // angle opposite opp_side
float* triangle_centroid_3d(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                            float y3, float z3);
float* point_between_two_3d(float* point_A, float* point_B, float ratio_num, float ratio_denom);
float points_dist_3d(float x1, float y1, float z1, float x2, float y2, float z2);
void vector_directions_3d(float x1, float y1, float z1, float* ax, float* ay, float* az);
float vector_separation_3d(float* v1, float* v2);
float triangle_height_equi(float edgeA, float edgeB);
float triangle_height_unequi(float oddEdge, float simEdge);
