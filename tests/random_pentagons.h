// Seeded random sets of the four values for the mathematics' property tests:
// heights across -1 to 1 with the poles, the equator and the last floats
// before the poles among them (one height in twelve or so); longitudes over
// several turns.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

inline std::vector<std::array<float, 4>> randomPentagonSets(int count, uint64_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unitInterval(0, 1);
    const float special[] = {1.0f, -1.0f, 0.0f, 0.99999994f, -0.99999994f};
    auto height = [&] {
        if (unitInterval(random) < 0.08) return special[random() % 5];
        return float(2 * unitInterval(random) - 1);
    };
    std::vector<std::array<float, 4>> sets;
    for (int k = 0; k < count; ++k) {
        const float h1 = height(), l1 = float(20 * unitInterval(random) - 10);
        sets.push_back({h1, l1, height(), float(20 * unitInterval(random) - 10)});
    }
    return sets;
}
