// The shape library's tables: each profile and outline holds its points and
// exactly one closing 99 (at its last position); the path tables hold their
// commands in order, closed by "e".
#include "objects/profiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

namespace {
struct table {
    const char* name;
    const double* numbers;
    size_t size;
    int points;
};

template <size_t N>
table describeTable(const char* name, double (&numbers)[N], int points) {
    return {name, numbers, N, points};
}

std::vector<table> allTables() {
    return {describeTable("wineglassProfile", wineglassProfile, 19),
            describeTable("bottleProfile", bottleProfile, 6),
            describeTable("mushroomProfile", mushroomProfile, 43),
            describeTable("treeTopProfile", treeTopProfile, 32),
            describeTable("sampleExtrusionProfile", sampleExtrusionProfile, 16),
            describeTable("curlProfile", curlProfile, 43),
            describeTable("art1Profile", art1Profile, 49),
            describeTable("starProfile", starProfile, 8)};
}

template <size_t N>
std::vector<std::string> entries(const char* (&path)[N]) {
    return std::vector<std::string>(path, path + N);
}

std::vector<std::string> repeat(int times, std::vector<std::string> group) {
    std::vector<std::string> out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), group.begin(), group.end());
    return out;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}
} // namespace

TEST(Profiles, EveryTableHoldsItsPointsAndOneClosing99) {
    for (const table& t : allTables()) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.size, size_t(2 * t.points + 1));
        EXPECT_EQ(t.numbers[t.size - 1], 99.0);
        // A 99 any earlier at an even position would cut the profile short;
        // a table with too few initialisers would end in zeros instead.
        for (size_t i = 0; i + 1 < t.size; i += 2) EXPECT_NE(t.numbers[i], 99.0) << "at " << i;
    }
}

TEST(Profiles, Art1SecondHalfMirrorsTheFirstInReverse) {
    // Points 0..24 run from (1, 0) to (-1, 0.7); point 25 + k is point 24 - k
    // with its height negated, down to point 48 = mirror of point 1.
    EXPECT_EQ(art1Profile[0], 1.0);
    EXPECT_EQ(art1Profile[1], 0.0);
    EXPECT_EQ(art1Profile[48], -1.0);
    EXPECT_EQ(art1Profile[49], 0.7);
    for (int k = 0; k < 24; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(art1Profile[2 * (25 + k)], art1Profile[2 * (24 - k)]);
        EXPECT_EQ(art1Profile[2 * (25 + k) + 1], -art1Profile[2 * (24 - k) + 1]);
    }
}

// Every point as the shape library documents it, (radius, height) or (x, y);
// art1Profile's second half is its first mirrored (checked above).
TEST(Profiles, EveryPointIsTheDocumentedOne) {
    const std::pair<const double*, const char*> documented[] = {
        {wineglassProfile,
         "(0.00001, 0.05) (0.29, 0.2) (0.49, 0.4) (0.59, 0.6) (0.68, 0.8) (0.69, 0.99) (0.69, "
         "1) (0.7, 1) (0.7, 0.99) (0.7, 0.8) (0.6, 0.6) (0.5, 0.4) (0.3, 0.2) (0.1, 0) (0.1, "
         "-0.8) (0.5, -0.95) (0.5, -1) (0.47, -1.02) (0.00001, -0.9)"},
        {bottleProfile,
         "(0.1, 1) (0.15, 1) (0.15, 0.7) (0.4, 0.3) (0.4, -1) (0.00001, -1)"},
        {mushroomProfile,
         "(0.00001, 0.5) (0.1, 0.49) (0.2, 0.48) (0.3, 0.46) (0.4, 0.43) (0.5, 0.39) (0.6, "
         "0.34) (0.66, 0.3) (0.7, 0.26) (0.76, 0.2) (0.8, 0.16) (0.85, 0.1) (0.88, 0.05) "
         "(0.91, 0) (0.94, -0.05) (0.97, -0.1) (0.96, -0.17) (0.95, -0.12) (0.9, -0.06) (0.85, "
         "-0.01) (0.8, 0.03) (0.7, 0.09) (0.6, 0.13) (0.5, 0.15) (0.4, 0.18) (0.3, 0.2) (0.18, "
         "0.18) (0.19, 0.1) (0.2, 0) (0.21, -0.1) (0.21, -0.2) (0.22, -0.3) (0.23, -0.4) "
         "(0.25, -0.5) (0.27, -0.6) (0.29, -0.65) (0.3, -0.7) (0.29, -0.74) (0.27, -0.8) "
         "(0.26, -0.86) (0.26, -0.9) (0.27, -0.99) (0.00001, -0.99)"},
        {treeTopProfile,
         "(0.00001, 1) (0.05, 0.95) (0.1, 0.9) (0.13, 0.84) (0.18, 0.7) (0.19, 0.76) (0.23, "
         "0.7) (0.3, 0.49) (0.25, 0.5) (0.3, 0.43) (0.34, 0.35) (0.35, 0.3) (0.36, 0.25) "
         "(0.35, 0.2) (0.33, 0.1) (0.4, 0.15) (0.42, 0.2) (0.48, 0.1) (0.5, 0) (0.52, -0.12) "
         "(0.54, -0.25) (0.57, -0.2) (0.56, -0.3) (0.54, -0.4) (0.48, -0.5) (0.4, -0.59) "
         "(0.33, -0.65) (0.26, -0.72) (0.23, -0.83) (0.21, -0.9) (0.2, -0.99) (0.00001, -0.99)"},
        {sampleExtrusionProfile,
         "(0.7, 0.7) (0.4, 0.92) (0, 1) (-0.4, 0.92) (-0.7, 0.7) (-0.92, 0.4) (-1, 0) (-0.92, "
         "-0.4) (-0.7, -0.7) (-0.4, -0.92) (0, -1) (0.4, -0.92) (0.7, -0.7) (0.92, -0.4) (1, "
         "0) (0.92, 0.4)"},
        {curlProfile,
         "(0, -0.72) (0.1, -0.63) (0.2, -0.5) (0.3, -0.37) (0.4, -0.22) (0.5, -0.11) (0.6, "
         "-0.02) (0.7, 0.09) (0.8, 0.28) (0.9, 0.51) (1, 0.66) (0.9, 0.71) (0.8, 0.76) (0.7, "
         "0.8) (0.6, 0.82) (0.5, 0.84) (0.4, 0.85) (0.3, 0.87) (0.2, 0.85) (0.1, 0.82) (0, "
         "0.8) (-0.1, 0.76) (-0.2, 0.71) (-0.3, 0.65) (-0.4, 0.57) (-0.5, 0.49) (-0.6, 0.39) "
         "(-0.7, 0.24) (-0.8, 0.09) (-0.9, -0.18) (-0.93, -0.4) (-0.96, -0.6) (-0.98, -0.8) "
         "(-0.99, -1) (-0.9, -0.99) (-0.8, -0.98) (-0.7, -0.94) (-0.6, -0.92) (-0.5, -0.9) "
         "(-0.4, -0.89) (-0.3, -0.85) (-0.2, -0.82) (-0.1, -0.77)"},
        {art1Profile,
         "(1, 0) (0.9, 0.1) (0.95, 0.2) (0.9, 0.3) (0.8, 0.42) (0.7, 0.51) (0.6, 0.58) (0.5, "
         "0.64) (0.4, 0.68) (0.3, 0.7) (0.2, 0.66) (0.1, 0.61) (0, 0.6) (-0.1, 0.62) (-0.2, "
         "0.71) (-0.23, 0.8) (-0.3, 0.9) (-0.4, 0.98) (-0.5, 0.99) (-0.6, 1) (-0.7, 0.99) "
         "(-0.8, 0.95) (-0.88, 0.9) (-0.96, 0.8) (-1, 0.7)"},
        {starProfile,
         "(1, 1) (0, 0.5) (-1, 1) (-0.5, 0) (-1, -1) (0, -0.5) (1, -1) (0.5, 0)"},
    };
    for (const auto& [numbers, text] : documented) {
        std::vector<double> want;
        for (const char* p = text; (p = std::strchr(p, '(')) != nullptr;) {
            char* end = nullptr;
            want.push_back(std::strtod(p + 1, &end));
            want.push_back(std::strtod(end + 1, &end));
            p = end;
        }
        SCOPED_TRACE(text);
        for (size_t k = 0; k < want.size(); ++k) EXPECT_EQ(numbers[k], want[k]) << "number " << k;
    }
}

TEST(Profiles, OutlinesAreTheShapesTheyName) {
    // The 16-gon lies on the unit circle to within its two written decimals
    // ((0.7, 0.7) is 0.99 from the centre).
    for (int p = 0; p < 16; ++p) {
        double x = sampleExtrusionProfile[2 * p], y = sampleExtrusionProfile[2 * p + 1];
        EXPECT_NEAR(std::hypot(x, y), 1.0, 0.011) << "point " << p;
    }
    // The star alternates between corners of the square and points halfway in.
    for (int p = 0; p < 8; ++p) {
        double x = starProfile[2 * p], y = starProfile[2 * p + 1];
        EXPECT_DOUBLE_EQ(std::max(std::fabs(x), std::fabs(y)), p % 2 == 0 ? 1.0 : 0.5) << p;
    }
}

TEST(Paths, EntriesInOrder) {
    std::vector<std::string> curl = {"s .001 .001 1", "p", "s 1000 1000 1", "p", "m .1", "p"};
    append(curl, repeat(24, {"y 15 1", "s .9 .9 .9", "p"}));
    append(curl, {"s .001 .001 1", "p", "e"});
    EXPECT_EQ(entries(curlPath), curl);

    std::vector<std::string> art1Head = {"s .0001 .0001 1", "p", "s 5000 5000 .5", "p", "m 1", "p"};
    append(art1Head, repeat(6, {"y 15 1", "p"}));
    std::vector<std::string> art1Tail = repeat(6, {"x 15 -1", "p"});
    append(art1Tail, {"m 1", "p"});
    append(art1Tail, repeat(6, {"x -15 1", "p"}));
    append(art1Tail, {"m 1", "p", "s .0001 .0001 1", "p", "e"});
    std::vector<std::string> art1 = art1Head;
    append(art1, art1Tail);
    EXPECT_EQ(entries(art1Path), art1);

    // art1Path moved back by 4, with a swing down and up again inserted after
    // its first six turns.
    std::vector<std::string> extrusion = {"m -4"};
    append(extrusion, art1Head);
    append(extrusion, repeat(12, {"y -15 -1", "p"}));
    append(extrusion, repeat(6, {"y 15 1", "p"}));
    append(extrusion, art1Tail);
    EXPECT_EQ(entries(sampleExtrusionPath), extrusion);
}
