#include "support/tholix_print_values.h"

#include <cmath>
#include <iostream>
#include <locale>

#include "support/geodesic_math.h"

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

void printSpherical(std::ostream& out, const float* lon, float lat) {
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

void tholix_print_values::compute(float pent_lat1, float pent_long1, float pent_lat2,
                                  float pent_long2, std::ostream& out) {
    const defaultNumberFormat format(out);

    phi1 = pentagonPolarAngle(pent_lat1);
    phi2 = pentagonPolarAngle(pent_lat2);
    newPentagonCorners(phi1, pent_long1, long_angles1, xcoord1, zcoord1);
    newPentagonCorners(phi2, pent_long2, long_angles2, xcoord2, zcoord2);

    out << "\n" << "First pentagon coordinates\n" << "\n";
    printCoordinates(out, xcoord1.get(), pent_lat1, zcoord1.get());
    out << "\n\n" << "Second pentagon coordinates\n" << "\n";
    printCoordinates(out, xcoord2.get(), pent_lat2, zcoord2.get());

    newPentagonEdgeNormals(pent_lat1, xcoord1, zcoord1, pent1_xcross, pent1_ycross, pent1_zcross);
    newPentagonEdgeNormals(pent_lat2, xcoord2, zcoord2, pent2_xcross, pent2_ycross, pent2_zcross);

    out << "\n\n" << "First pentagon cross product coordinates\n"
        << "(for the perpendiculars to the 5 edges)\n" << "\n";
    printCrossProducts(out, pent1_xcross.get(), pent1_ycross.get(), pent1_zcross.get());
    out << "\n\n" << "Second pentagon cross product coordinates\n"
        << "(for the perpendiculars to the 5 edges)\n" << "\n";
    printCrossProducts(out, pent2_xcross.get(), pent2_ycross.get(), pent2_zcross.get());
    out << "\n\n" << "Cartesian Equations of first pentagon's planes formed by its great circles\n"
        << "(This uses the idea that if the dot product of 2 vectors\n"
        << "is zero, then they are perpendicular)\n" << "\n";
    printPlanes(out, pent1_xcross.get(), pent1_ycross.get(), pent1_zcross.get());
    out << "\n\n" << "Cartesian Equations of second pentagon's plane formed by its great circles\n"
        << "\n";
    printPlanes(out, pent2_xcross.get(), pent2_ycross.get(), pent2_zcross.get());

    pent1_lon = newPentagonArray();
    pent2_lon = newPentagonArray();
    // The sphere's radius is 1, so acos(y / r) is the polar angle itself.
    pent1_lat = pentagonPolarAngle(pent_lat1);
    pent2_lat = pentagonPolarAngle(pent_lat2);
    reportLongitudes(xcoord1.get(), zcoord1.get(), xcoord2.get(), zcoord2.get(), pent1_lon.get(),
                     pent2_lon.get());

    out << "\n\n" << "Spherical coordinates for pentagon 1\n" << "Uses the formulas: \n"
        << "lat = acos(y/r)\n" << "lon = atan(x/z)\n" << "\n";
    printSpherical(out, pent1_lon.get(), pent1_lat);
    out << "\n\n" << "Spherical coordinates for pentagon 2\n";
    printSpherical(out, pent2_lon.get(), pent2_lat);
}
