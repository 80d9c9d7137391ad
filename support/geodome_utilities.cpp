#include "support/geodome_utilities.h"

#include <cmath>

namespace {
// pi rounded to float: what a clamped arc cosine gives for -1 and below.
const float kFloatPi = 3.14159274f;

double square(double v) { return v * v; }
} // namespace

float arc_cosine(float c) {
    // Inclusive tests, in this order, so that values rounding has pushed just
    // outside [-1, 1] never reach acos; a NaN fails both and passes through.
    if (c <= -1.0f) return kFloatPi;
    if (c >= 1.0f) return 0.0f;
    return float(std::acos(double(c)));
}

float triangle_arccos(float s1, float s2, float opp_side) {
    // Law of cosines. A zero side makes the quotient infinite (or NaN), which
    // arc_cosine clamps (or passes through): no separate guard.
    const double q = (square(s1) + square(s2) - square(opp_side)) / (2.0 * double(s1) * double(s2));
    return arc_cosine(float(q));
}

float* triangle_centroid_3d(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                            float y3, float z3) {
    float* centroid = new float[3];
    centroid[0] = float((double(x1) + x2 + x3) / 3.0);
    centroid[1] = float((double(y1) + y2 + y3) / 3.0);
    centroid[2] = float((double(z1) + z2 + z3) / 3.0);
    return centroid;
}

float* point_between_two_3d(float* point_A, float* point_B, float ratio_num, float ratio_denom) {
    // A zero denominator would make every ratio meaningless; 1 turns the
    // numerator itself into the fraction of the way from A to B.
    const double denom = ratio_denom == 0.0f ? 1.0 : double(ratio_denom);
    const double num = ratio_num;
    float* point_new = new float[3];
    for (int k = 0; k < 3; ++k)
        point_new[k] = float(((denom - num) * point_A[k] + num * point_B[k]) / denom);
    return point_new;
}

float points_dist_3d(float x1, float y1, float z1, float x2, float y2, float z2) {
    return float(
        std::sqrt(square(double(x1) - x2) + square(double(y1) - y2) + square(double(z1) - z2)));
}

void vector_directions_3d(float x1, float y1, float z1, float* ax, float* ay, float* az) {
    const float v1norm = float(std::sqrt(square(x1) + square(y1) + square(z1)));
    if (v1norm == 0.0f) {
        *ax = *ay = *az = 0.0f;
        return;
    }
    // The angle to an axis is the angle between the vector and that axis's
    // unit vector, whose length v2norm is 1.
    const double v2norm = 1.0;
    const double lengths = double(v1norm) * v2norm;
    *ax = arc_cosine(float(x1 / lengths));
    *ay = arc_cosine(float(y1 / lengths));
    *az = arc_cosine(float(z1 / lengths));
}

float vector_separation_3d(float* v1, float* v2) {
    // No zero-length guard: a zero vector gives 0/0 and so a NaN angle.
    const float v1_norm = float(std::sqrt(square(v1[0]) + square(v1[1]) + square(v1[2])));
    const float v2_norm = float(std::sqrt(square(v2[0]) + square(v2[1]) + square(v2[2])));
    const double dot = double(v1[0]) * v2[0] + double(v1[1]) * v2[1] + double(v1[2]) * v2[2];
    const float cos_theta = float(dot / (double(v1_norm) * v2_norm));
    return arc_cosine(cos_theta);
}

float triangle_height_equi(float edgeA, float edgeB) {
    // Pythagoras on half the triangle: the height meets the base in its middle.
    return float(std::sqrt(square(edgeA) - square(double(edgeB) / 2.0)));
}

float triangle_height_unequi(float oddEdge, float simEdge) {
    // The height onto one of the equal sides splits the triangle into two
    // right triangles sharing the height; equating the height from both gives
    // the foot at oddEdge^2 / (2 simEdge) from the corner shared with oddEdge.
    const double odd2 = square(oddEdge);
    const double foot = odd2 / (2.0 * double(simEdge));
    return float(std::sqrt(odd2 - square(foot)));
}
