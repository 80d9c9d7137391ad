// The dome's mathematics for the scene's values, natively: the circles'
// intersections it starts from, their arrangement, the whole dome (arrangement,
// panels, struts, hubs and their classes), the cut list's text, and all of it
// from the four values. Median microseconds a call over rounds of many calls;
// figures only. scripts/bench.sh mathematics runs it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>
#include <vector>

#include "mathematics/dome.h"
#include "mathematics/dome_report.h"
#include "mathematics/intersections.h"
#include "mathematics/scene_constants.h"

namespace {
const int kRounds = 15;
const double kRoundSeconds = 0.05; // each round at least this long
volatile size_t sink;              // what the calls computed, kept

// Median and fastest microseconds a call of `work`, which returns something
// that depends on all it computed, so that none of it is optimised away.
void measure(const char* name, const std::function<size_t()>& work) {
    using clock = std::chrono::steady_clock;
    sink = sink + work(); // warm: caches, the allocator's free lists
    int calls = 1;
    for (;;) { // enough calls a round to take kRoundSeconds
        const auto start = clock::now();
        for (int k = 0; k < calls; ++k) sink = sink + work();
        if (std::chrono::duration<double>(clock::now() - start).count() >= kRoundSeconds) break;
        calls *= 2;
    }
    std::vector<double> perCall;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = clock::now();
        for (int k = 0; k < calls; ++k) sink = sink + work();
        perCall.push_back(std::chrono::duration<double, std::micro>(clock::now() - start).count() /
                          calls);
    }
    std::sort(perCall.begin(), perCall.end());
    std::printf("%-52s %9.1f %9.1f %9d\n", name, perCall[kRounds / 2], perCall[0], calls);
}
} // namespace

int main() {
    const float* v = kScenePentagons;
    const circleIntersections intersections = computeIntersections(v[0], v[1], v[2], v[3]);
    const geodesicDome dome = buildDome(intersections);
    std::printf("the scene's dome: %zu vertices, %zu edges, %zu faces; %zu hubs, %zu struts, "
                "%zu panels\n",
                dome.arrangement.vertices.size(), dome.arrangement.edges.size(),
                dome.arrangement.faces.size(), dome.hubs.size(), dome.struts.size(),
                dome.panels.size());
    std::printf("%-52s %9s %9s %9s\n", "microseconds a call", "median", "fastest", "calls");
    measure("intersections and arcs (what the dome starts from)",
            [&] { return computeIntersections(v[0], v[1], v[2], v[3]).arcs.size(); });
    measure("arrangement: edges, faces, Euler's check",
            [&] { return arrangeCircles(intersections).faces.size(); });
    measure("dome: arrangement, panels, struts, hubs, classes",
            [&] { return buildDome(intersections).panelClasses.size(); });
    measure("cut list: the text at radius 50", [&] {
        std::ostringstream out;
        writeCutList(out, dome, 50, v);
        return out.str().size();
    });
    measure("JSON: the report's \"dome\"", [&] { return domeJson(dome, "  ").size(); });
    measure("all of it from the four values (dome and cut list)", [&] {
        std::ostringstream out;
        writeCutList(out, buildDome(v[0], v[1], v[2], v[3]), 50, v);
        return out.str().size();
    });
    return 0;
}
