// tholix_print_values: computes the corner coordinates, edge-plane normals,
// plane equations and spherical coordinates of the two pentagons for four
// arguments and prints them as a plain-text report on standard output.
// The pentagon arrays are shared between copies and released with the last one.
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

    float phi1;
    std::shared_ptr<float[]> long_angles1;
    std::shared_ptr<float[]> xcoord1;
    std::shared_ptr<float[]> zcoord1;
    float phi2;
    std::shared_ptr<float[]> long_angles2;
    std::shared_ptr<float[]> xcoord2;
    std::shared_ptr<float[]> zcoord2;
    std::shared_ptr<float[]> pent1_xcross;
    std::shared_ptr<float[]> pent1_ycross;
    std::shared_ptr<float[]> pent1_zcross;
    std::shared_ptr<float[]> pent2_xcross;
    std::shared_ptr<float[]> pent2_ycross;
    std::shared_ptr<float[]> pent2_zcross;
    float pent1_lat;
    // Longitudes as the report gives them, from +x towards -z in (0, 2 pi);
    // pi/2 for a corner with z = 0. Every entry is set (see the source for the
    // case the two pentagons' paired rule leaves open).
    std::shared_ptr<float[]> pent1_lon;
    float pent2_lat;
    std::shared_ptr<float[]> pent2_lon;

  private:
    void compute(float pent_lat1, float pent_long1, float pent_lat2, float pent_long2,
                 std::ostream& out);
};
