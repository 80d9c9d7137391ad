// tholix_print_values: computes the corner coordinates, edge-plane normals,
// plane equations and spherical coordinates of the two pentagons for four
// arguments and prints them as a plain-text report on standard output. Part
// of the mathematics library (geodesics_math, mathematics/CMakeLists.txt), not
// of the drawing framework beside it.
#pragma once

#include <iosfwd>
#include <memory>

class tholix_print_values {
  public:
    // Heights (y of the corners) and longitudes (radians) of corner 0 of the
    // two pentagons. Prints the report on standard output.
    tholix_print_values(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2);
    // The same report written to `out`.
    tholix_print_values(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2,
                        std::ostream& out);

    // The pentagon arrays: five floats each, one per corner or edge. They
    // point into one block that copies share; it is released with the last.
    float phi1;
    float* long_angles1;
    float* xcoord1;
    float* zcoord1;
    float phi2;
    float* long_angles2;
    float* xcoord2;
    float* zcoord2;
    float* pent1_xcross;
    float* pent1_ycross;
    float* pent1_zcross;
    float* pent2_xcross;
    float* pent2_ycross;
    float* pent2_zcross;
    float pent1_lat;
    // Longitudes as the report gives them (reportLongitudes in
    // mathematics/geodesic_math); every entry is set.
    float* pent1_lon;
    float pent2_lat;
    float* pent2_lon;

  private:
    void compute(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2,
                 std::ostream& out);
    void printCorners(std::ostream& out, float pent_lat1, float pent_lat2) const;
    void printNormalsAndPlanes(std::ostream& out) const;
    void printSpherical(std::ostream& out) const;

    std::shared_ptr<float[]> arrayBlock; // behind every pentagon array
};
