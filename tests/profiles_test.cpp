// The shape library's tables: each profile and outline holds its points and
// exactly one closing 99 (at its last position); the path tables hold their
// commands in order, closed by "e".
#include "objects/profiles.h"

#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_EQ(curlProfile[20], 1.0); // the curl's outermost point, (1, 0.66)
    EXPECT_EQ(curlProfile[21], 0.66);
    EXPECT_EQ(curlProfile[84], -0.1);
    EXPECT_EQ(curlProfile[85], -0.77);
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
