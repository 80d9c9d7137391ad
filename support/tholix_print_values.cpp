#include "support/tholix_print_values.h"

#include <iostream>
#include <locale>

#include "mathematics/geodesic_math.h"

namespace {
const int kCorners = 5;

// Numbers in the report are floats inserted into a stream in its default
// state (six significant digits, %g-like). A caller's stream may carry other
// settings or a locale with digit grouping; they are set aside while the
// report is written and restored afterwards.
class defaultNumberFormat {
  public:
    explicit defaultNumberFormat(std::ostream& out) : out(out), saved(nullptr) {
        saved.copyfmt(out);
        std::ios pristine(nullptr);
        out.copyfmt(pristine);
        out.imbue(std::locale::classic());
    }
    ~defaultNumberFormat() { out.copyfmt(saved); }
    defaultNumberFormat(const defaultNumberFormat&) = delete;
    defaultNumberFormat& operator=(const defaultNumberFormat&) = delete;

  private:
    std::ostream& out;
    std::ios saved;
};

void printCoordinates(std::ostream& out, const float* x, float y, const float* z) {
    for (int i = 0; i < kCorners; ++i) {
        out << " xcoord " << i << " = " << x[i] << "\t";
        out << " ycoord " << i << " = " << y << "\t";
        out << " zcoord " << i << " = " << z[i] << "\t";
        out << "\n";
    }
}

void printCrossProducts(std::ostream& out, const float* xc, const float* yc, const float* zc) {
    for (int i = 0; i < kCorners; ++i) {
        out << " xcross " << i << " = " << xc[i] << "\t";
        out << " ycross " << i << " = " << yc[i] << "\t";
        out << " zcross " << i << " = " << zc[i] << "\t";
        out << "\n";
    }
}

void printPlanes(std::ostream& out, const float* xc, const float* yc, const float* zc) {
    for (int i = 0; i < kCorners; ++i) {
        out << " GreatC " << i;
        out << "\t(" << xc[i] << "*X) + (";
        out << yc[i] << "*Y) + (";
        out << zc[i] << "*Z) = 0";
        out << "\n";
    }
}

void printLongitudes(std::ostream& out, const float* lon, float lat) {
    for (int i = 0; i < kCorners; ++i) {
        out << " lon " << i << " = " << lon[i] << "\t";
        out << " lat " << i << " = " << lat << "\t";
        out << "\n";
    }
}
} // namespace

tholix_print_values::tholix_print_values(float pent_lat1, float pent_long1, float pent_lat2,
                                         float pent_long2) {
    compute(pent_lat1, pent_long1, pent_lat2, pent_long2, std::cout);
}

tholix_print_values::tholix_print_values(float pent_lat1, float pent_long1, float pent_lat2,
                                         float pent_long2, std::ostream& out) {
    compute(pent_lat1, pent_long1, pent_lat2, pent_long2, out);
}

// Computing and printing interleave, in the order of the report's sections.
void tholix_print_values::compute(float pent_lat1, float pent_long1, float pent_lat2,
                                  float pent_long2, std::ostream& out) {
    const defaultNumberFormat format(out);
    arrayBlock =
        newPentagonArrays({&long_angles1, &xcoord1, &zcoord1, &long_angles2, &xcoord2, &zcoord2,
                           &pent1_xcross, &pent1_ycross, &pent1_zcross, &pent2_xcross,
                           &pent2_ycross, &pent2_zcross, &pent1_lon, &pent2_lon});

    phi1 = pentagonPolarAngle(pent_lat1);
    phi2 = pentagonPolarAngle(pent_lat2);
    pentagonCorners(phi1, pent_long1, long_angles1, xcoord1, zcoord1);
    pentagonCorners(phi2, pent_long2, long_angles2, xcoord2, zcoord2);
    printCorners(out, pent_lat1, pent_lat2);

    pentagonEdgeNormals(pent_lat1, xcoord1, zcoord1, pent1_xcross, pent1_ycross, pent1_zcross);
    pentagonEdgeNormals(pent_lat2, xcoord2, zcoord2, pent2_xcross, pent2_ycross, pent2_zcross);
    printNormalsAndPlanes(out);

    // The sphere's radius is 1, so acos(y / r) is the polar angle itself.
    pent1_lat = pentagonPolarAngle(pent_lat1);
    pent2_lat = pentagonPolarAngle(pent_lat2);
    reportLongitudes(xcoord1, zcoord1, xcoord2, zcoord2, pent1_lon, pent2_lon);
    printSpherical(out);
}

// Sections 1 and 2. Every corner's y is the pentagon's height argument.
void tholix_print_values::printCorners(std::ostream& out, float pent_lat1, float pent_lat2) const {
    out << "\n"
           "First pentagon coordinates\n"
           "\n";
    printCoordinates(out, xcoord1, pent_lat1, zcoord1);
    out << "\n"
           "\n"
           "Second pentagon coordinates\n"
           "\n";
    printCoordinates(out, xcoord2, pent_lat2, zcoord2);
}

// Sections 3 to 6: the cross products, then the same numbers as the planes'
// equations.
void tholix_print_values::printNormalsAndPlanes(std::ostream& out) const {
    out << "\n"
           "\n"
           "First pentagon cross product coordinates\n"
           "(for the perpendiculars to the 5 edges)\n"
           "\n";
    printCrossProducts(out, pent1_xcross, pent1_ycross, pent1_zcross);
    out << "\n"
           "\n"
           "Second pentagon cross product coordinates\n"
           "(for the perpendiculars to the 5 edges)\n"
           "\n";
    printCrossProducts(out, pent2_xcross, pent2_ycross, pent2_zcross);
    out << "\n"
           "\n"
           "Cartesian Equations of first pentagon's planes formed by its great circles\n"
           "(This uses the idea that if the dot product of 2 vectors\n"
           "is zero, then they are perpendicular)\n"
           "\n";
    printPlanes(out, pent1_xcross, pent1_ycross, pent1_zcross);
    out << "\n"
           "\n"
           "Cartesian Equations of second pentagon's plane formed by its great circles\n"
           "\n";
    printPlanes(out, pent2_xcross, pent2_ycross, pent2_zcross);
}

// Sections 7 and 8; the second has neither the formulas nor a blank line.
void tholix_print_values::printSpherical(std::ostream& out) const {
    out << "\n"
           "\n"
           "Spherical coordinates for pentagon 1\n"
           "Uses the formulas: \n"
           "lat = acos(y/r)\n"
           "lon = atan(x/z)\n"
           "\n";
    printLongitudes(out, pent1_lon, pent1_lat);
    out << "\n"
           "\n"
           "Spherical coordinates for pentagon 2\n";
    printLongitudes(out, pent2_lon, pent2_lat);
}
