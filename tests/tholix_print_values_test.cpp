// The geodesic value report: its exact layout, the scene's figures, the
// longitude rules (including the value chosen where the paired rule sets
// none), the stream it writes to, and the sharing of its arrays.
#include "support/tholix_print_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>

namespace {
const float kSceneLat1 = 0.97531795f;
const float kSceneLat2 = 0.630991f;
const float kSceneLong = 0.1f;

std::string reportText(float lat1, float long1, float lat2, float long2) {
    std::ostringstream out;
    tholix_print_values(lat1, long1, lat2, long2, out);
    return out.str();
}

// Six significant digits as a stream in its default state gives them.
std::string num(float v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

// The report's documented layout, rebuilt from the object's own values.
std::string expectedLayout(const tholix_print_values& r, float lat1, float lat2) {
    std::string t;
    auto coordinates = [&t](const float* x, float y, const float* z) {
        for (int i = 0; i < 5; ++i)
            t += " xcoord " + std::to_string(i) + " = " + num(x[i]) + "\t ycoord " +
                 std::to_string(i) + " = " + num(y) + "\t zcoord " + std::to_string(i) +
                 " = " + num(z[i]) + "\t\n";
    };
    auto crosses = [&t](const float* x, const float* y, const float* z) {
        for (int i = 0; i < 5; ++i)
            t += " xcross " + std::to_string(i) + " = " + num(x[i]) + "\t ycross " +
                 std::to_string(i) + " = " + num(y[i]) + "\t zcross " + std::to_string(i) +
                 " = " + num(z[i]) + "\t\n";
    };
    auto planes = [&t](const float* x, const float* y, const float* z) {
        for (int i = 0; i < 5; ++i)
            t += " GreatC " + std::to_string(i) + "\t(" + num(x[i]) + "*X) + (" + num(y[i]) +
                 "*Y) + (" + num(z[i]) + "*Z) = 0\n";
    };
    auto spherical = [&t](const float* lon, float lat) {
        for (int i = 0; i < 5; ++i)
            t += " lon " + std::to_string(i) + " = " + num(lon[i]) + "\t lat " +
                 std::to_string(i) + " = " + num(lat) + "\t\n";
    };
    t += "\nFirst pentagon coordinates\n\n";
    coordinates(r.xcoord1, lat1, r.zcoord1);
    t += "\n\nSecond pentagon coordinates\n\n";
    coordinates(r.xcoord2, lat2, r.zcoord2);
    t += "\n\nFirst pentagon cross product coordinates\n(for the perpendiculars to the 5 edges)\n\n";
    crosses(r.pent1_xcross, r.pent1_ycross, r.pent1_zcross);
    t += "\n\nSecond pentagon cross product coordinates\n(for the perpendiculars to the 5 edges)\n\n";
    crosses(r.pent2_xcross, r.pent2_ycross, r.pent2_zcross);
    t += "\n\nCartesian Equations of first pentagon's planes formed by its great circles\n"
         "(This uses the idea that if the dot product of 2 vectors\n"
         "is zero, then they are perpendicular)\n\n";
    planes(r.pent1_xcross, r.pent1_ycross, r.pent1_zcross);
    t += "\n\nCartesian Equations of second pentagon's plane formed by its great circles\n\n";
    planes(r.pent2_xcross, r.pent2_ycross, r.pent2_zcross);
    t += "\n\nSpherical coordinates for pentagon 1\nUses the formulas: \nlat = acos(y/r)\n"
         "lon = atan(x/z)\n\n";
    spherical(r.pent1_lon, r.pent1_lat);
    t += "\n\nSpherical coordinates for pentagon 2\n";
    spherical(r.pent2_lon, r.pent2_lat);
    return t;
}

// Printed figures carry six significant digits; 1e-5 relative covers them
// and the float rounding behind them.
void expectFigure(float actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-5 * std::fabs(expected));
}
} // namespace

TEST(TholixPrintValues, SceneReportLayoutByteForByte) {
    std::ostringstream out;
    const tholix_print_values r(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong, out);
    EXPECT_EQ(out.str(), expectedLayout(r, kSceneLat1, kSceneLat2));
}

TEST(TholixPrintValues, SceneReportFigures) {
    const std::string text = reportText(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong);
    EXPECT_NE(text.find("\n xcoord 0 = 0.219702\t ycoord 0 = 0.975318\t zcoord 0 = 0.0220437\t\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n xcoord 2 = -0.1907\t"), std::string::npos); // trailing zeros dropped
    EXPECT_NE(text.find("\n xcross 0 = 0.188936\t ycross 0 = -0.0463687\t zcross 0 = 0.168511\t\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n GreatC 0\t(0.188936*X) + (-0.0463687*Y) + (0.168511*Z) = 0\n"),
              std::string::npos);

    // Section 7: 2 pi - l for corner longitudes l = 0.1 + 72 i degrees.
    const size_t section7 = text.find("Spherical coordinates for pentagon 1\n");
    ASSERT_NE(section7, std::string::npos);
    const char* lon[] = {"6.18319", "4.92655", "3.66991", "2.41327", "1.15664"};
    for (int i = 0; i < 5; ++i) {
        const std::string line = " lon " + std::to_string(i) + " = " + lon[i] + "\t lat " +
                                 std::to_string(i) + " = 0.22264\t\n";
        EXPECT_NE(text.find(line, section7), std::string::npos) << line;
    }

    std::ostringstream sink;
    const tholix_print_values r(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong, sink);
    expectFigure(r.phi1, 0.22264);
    expectFigure(r.phi2, 0.88797);
    EXPECT_EQ(r.pent1_lat, r.phi1);
    EXPECT_EQ(r.pent2_lat, r.phi2);
}

TEST(TholixPrintValues, StandardOutputAndRepeatability) {
    const std::string expected = reportText(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong);
    testing::internal::CaptureStdout();
    tholix_print_values(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(reportText(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong), expected);
}

TEST(TholixPrintValues, CallersStreamSettingsNeitherUsedNorLost) {
    const std::string expected = reportText(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong);
    std::ostringstream out;
    out << std::fixed << std::setprecision(2) << std::showpos;
    tholix_print_values(kSceneLat1, kSceneLong, kSceneLat2, kSceneLong, out);
    EXPECT_EQ(out.str(), expected);
    out.str("");
    out << 1.0f;
    EXPECT_EQ(out.str(), "+1.00");
}

TEST(TholixPrintValues, PairedLongitudeRule) {
    std::ostringstream sink;
    // Both z at index 0 positive: 3 pi/2 offset, 2 pi - 0.1 for each.
    const tholix_print_values same(kSceneLat1, 0.1f, kSceneLat2, 0.1f, sink);
    expectFigure(same.pent1_lon[0], 2 * M_PI - 0.1);
    expectFigure(same.pent2_lon[0], 2 * M_PI - 0.1);
    // Opposite signs: the negative test comes second and wins, pi/2 for both,
    // so pentagon 1 gets atan(x/z) + pi/2 = pi - 0.1 instead of 2 pi - 0.1.
    const tholix_print_values mixed(kSceneLat1, 0.1f, kSceneLat2, -0.1f, sink);
    expectFigure(mixed.pent1_lon[0], M_PI - 0.1);
    expectFigure(mixed.pent2_lon[0], 0.1);
}

TEST(TholixPrintValues, LongitudeZeroShowsHalfPi) {
    std::ostringstream out;
    const tholix_print_values r(kSceneLat1, 0.0f, kSceneLat2, 0.0f, out);
    EXPECT_EQ(r.pent1_lon[0], 1.5707964f);
    EXPECT_EQ(r.pent2_lon[0], 1.5707964f);
    EXPECT_NE(out.str().find(" lon 0 = 1.5708\t lat 0 = 0.22264\t\n"), std::string::npos);
}

TEST(TholixPrintValues, LongitudeLeftUnsetByThePairedRule) {
    // Only pentagon 1's corner 0 has z = 0. The pairing would leave pentagon
    // 2's longitude 0 unset; it gets the value of the rule applied to
    // pentagon 2 alone, the same as when its partner's z has its own sign.
    std::ostringstream sink;
    const tholix_print_values alonePositive(kSceneLat1, 0.0f, kSceneLat2, 0.1f, sink);
    EXPECT_EQ(alonePositive.pent1_lon[0], 1.5707964f);
    expectFigure(alonePositive.pent2_lon[0], 2 * M_PI - 0.1);

    const tholix_print_values aloneNegative(kSceneLat1, 0.0f, kSceneLat2, -0.1f, sink);
    expectFigure(aloneNegative.pent2_lon[0], 0.1);

    // The roles reversed.
    const tholix_print_values reversed(kSceneLat1, -0.1f, kSceneLat2, 0.0f, sink);
    EXPECT_EQ(reversed.pent2_lon[0], 1.5707964f);
    expectFigure(reversed.pent1_lon[0], 0.1);

    // A pentagon at the pole has z = 0 everywhere: all five of the other
    // pentagon's longitudes come from the single-pentagon rule, and the text
    // shows the scene's values for them.
    std::ostringstream out;
    const tholix_print_values pole(1.0f, 0.3f, kSceneLat2, kSceneLong, out);
    const char* lon[] = {"6.18319", "4.92655", "3.66991", "2.41327", "1.15664"};
    const std::string text = out.str();
    const size_t section8 = text.find("Spherical coordinates for pentagon 2\n");
    ASSERT_NE(section8, std::string::npos);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pole.pent1_lon[i], 1.5707964f) << i;
        const std::string line = " lon " + std::to_string(i) + " = " + lon[i] + "\t";
        EXPECT_NE(text.find(line, section8), std::string::npos) << line;
    }
    EXPECT_EQ(text.find("nan"), std::string::npos);
}

TEST(TholixPrintValues, CopiesShareTheArrays) {
    std::ostringstream sink;
    auto original = std::make_unique<tholix_print_values>(kSceneLat1, kSceneLong, kSceneLat2,
                                                          kSceneLong, sink);
    // The documented fields: pointers to five floats.
    const float* x = original->xcoord1;
    float* lon = original->pent2_lon;
    const tholix_print_values copy(*original);
    EXPECT_EQ(copy.xcoord1, x);
    EXPECT_EQ(copy.pent2_lon, lon);
    const float x0 = x[0];
    original.reset();
    // The copy keeps the arrays alive (the sanitizer build would flag a read
    // of released memory, and a leak if the last copy did not release them).
    EXPECT_EQ(copy.xcoord1[0], x0);
    EXPECT_EQ(copy.pent2_lon[4], lon[4]);
}
