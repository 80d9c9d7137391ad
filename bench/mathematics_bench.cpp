// The shared mathematics' speed: every intersection of the ten great circles
// and every length between them (mathematics/intersections), for the scene's
// values and for seeded random sets, with the figure's own samples for
// comparison (what the web page computes on every change of a value). Each
// call is timed alone with the steady clock after warming up; figures are
// medians and percentiles in microseconds. Prints figures; judges nothing.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "mathematics/figure_samples.h"
#include "mathematics/intersections.h"
#include "mathematics/scene_constants.h"

namespace {
using values = std::array<float, 4>;

volatile double sink; // keeps every result alive

double microseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

struct spread {
    double p10, median, p90, max;
};

spread spreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    auto at = [&](double q) { return times[size_t(q * double(times.size() - 1) + 0.5)]; };
    return {at(0.1), at(0.5), at(0.9), times.back()};
}

// `runs` timings of one call, after `runs / 10` untimed ones.
spread timeCalls(int runs, const std::function<void()>& work) {
    for (int k = 0; k < runs / 10; ++k) work();
    std::vector<double> times;
    for (int k = 0; k < runs; ++k) times.push_back(microseconds(work));
    return spreadOf(times);
}

void print(const char* what, const spread& s) {
    std::printf("%-58s %9.1f %9.1f %9.1f %9.1f\n", what, s.p10, s.median, s.p90, s.max);
}

double intersect(const values& v) {
    const circleIntersections r = computeIntersections(v[0], v[1], v[2], v[3]);
    double sum = double(r.points.size());
    for (const circleArc& a : r.arcs) sum += a.cylinderLength.value_or(0);
    return sum;
}

// The cylinder lengths alone, for the circles and points the intersections found.
double lengthsOnly(const circleIntersections& r) {
    double sum = 0;
    for (const circleWalk& w : r.circles) {
        if (!w.live) continue;
        const cylinderCurve curve(w.unitNormal);
        for (int k = 0; k < w.arcCount; ++k) {
            const circleArc& a = r.arcs[size_t(w.firstArc + k)];
            const double psi = curve.angleOf(r.points[size_t(a.from)].sphere);
            sum += curve.arcLength(psi, psi + a.angle);
        }
    }
    return sum;
}

// The same kind of sets as the tests: heights across -1 to 1 with the poles,
// the equator and the last floats before the poles; longitudes over turns.
std::vector<values> randomSets(int count) {
    std::mt19937_64 random(20260117);
    std::uniform_real_distribution<double> unit(0, 1);
    const float special[] = {1.0f, -1.0f, 0.0f, 0.99999994f, -0.99999994f};
    auto height = [&] {
        return unit(random) < 0.08 ? special[random() % 5] : float(2 * unit(random) - 1);
    };
    std::vector<values> sets;
    for (int k = 0; k < count; ++k) {
        const float h1 = height(), l1 = float(20 * unit(random) - 10);
        sets.push_back({h1, l1, height(), float(20 * unit(random) - 10)});
    }
    return sets;
}
} // namespace

int main() {
    const values scene = {kScenePentagons[0], kScenePentagons[1], kScenePentagons[2],
                          kScenePentagons[3]};
    const circleIntersections sceneResult =
        computeIntersections(scene[0], scene[1], scene[2], scene[3]);
    std::printf("The scene: %zu points, %zu arcs, %zu coincident pairs\n\n",
                sceneResult.points.size(), sceneResult.arcs.size(), sceneResult.coincident.size());
    std::printf("%-58s %9s %9s %9s %9s\n", "microseconds per call", "10%", "median", "90%", "max");
    print("scene: all points and lengths (5000 calls)",
          timeCalls(5000, [&] { sink = intersect(scene); }));
    print("scene: of which the cylinder lengths (5000 calls)",
          timeCalls(5000, [&] { sink = lengthsOnly(sceneResult); }));
    print("scene: the figure's samples, 100 a curve (5000 calls)", timeCalls(5000, [&] {
              sink = computeFigure(scene[0], scene[1], scene[2], scene[3], 100)
                         .pentagons[0]
                         .edges[0]
                         .cylinderCurve[1][1];
          }));
    const values steepest = {0.99999994f, 0.2f, -0.99999994f, 0.1f};
    print("steepest curves (A = 3600): all points and lengths",
          timeCalls(5000, [&] { sink = intersect(steepest); }));

    // Each random set timed as the median of 21 calls; the spread is across sets.
    const std::vector<values> sets = randomSets(1000);
    std::vector<double> perSet;
    size_t points = 0, arcs = 0;
    for (const values& v : sets) {
        perSet.push_back(timeCalls(21, [&] { sink = intersect(v); }).median);
        const circleIntersections r = computeIntersections(v[0], v[1], v[2], v[3]);
        points += r.points.size();
        arcs += r.arcs.size();
    }
    char what[80];
    std::snprintf(what, sizeof what, "1000 random sets (%.1f points, %.1f arcs a set)",
                  double(points) / 1000, double(arcs) / 1000);
    print(what, spreadOf(perSet));
    return 0;
}
