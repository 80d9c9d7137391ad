// geodesics-render's pictures against the mathematics: the figure's corners,
// computed by the pentagon mathematics and projected with the frame's camera
// (the flight), perspective and spin, land on the dark corner points drawn for
// those pentagons, and not where another set of pentagons has its corners.
// Also: multisampling changes only edges. No window: the tool runs on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "mathematics/camera_flight.h"
#include "mathematics/geodesic_math.h"
#include "tests/render_support.h"
#include "mathematics/pentagon_args.h"
#include "mathematics/scene_constants.h"

namespace {

const int kWidth = 720, kHeight = 576;

struct point2 {
    int x, y; // pixel, rows from the top
};

// The ten corners of the two pentagons (x, y, z), before the spin.
std::vector<std::array<float, 3>> corners(const float v[4]) {
    std::vector<std::array<float, 3>> out;
    for (int p = 0; p < 2; ++p) {
        float longitudes[5], x[5], z[5];
        pentagonCorners(pentagonPolarAngle(v[2 * p]), v[2 * p + 1], longitudes, x, z);
        for (int i = 0; i < 5; ++i) out.push_back({x[i], v[2 * p], z[i]});
    }
    return out;
}

// The corners facing the camera at animation time t, projected as the frame
// projects them: the figure turns 12 degrees a second about y; the camera
// looks from the flight's eye at its target with y up, through a 45-degree
// perspective of the picture's aspect. Only corners seen well inside the
// sphere's outline count (the angle between the sphere's normal there and the
// way to the eye under 70 degrees): behind the others lies the dark background,
// or nothing at all.
std::vector<point2> visibleCorners(const float v[4], double t) {
    float eye[3], target[3];
    flightCameraAt(float(t), eye, target);
    auto sub = [](const double* a, const double* b, double* r) {
        for (int k = 0; k < 3; ++k) r[k] = a[k] - b[k];
    };
    auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
    auto unit = [&](double* a) {
        const double n = std::sqrt(dot(a, a));
        for (int k = 0; k < 3; ++k) a[k] /= n;
    };
    auto cross = [](const double* a, const double* b, double* r) {
        r[0] = a[1] * b[2] - a[2] * b[1];
        r[1] = a[2] * b[0] - a[0] * b[2];
        r[2] = a[0] * b[1] - a[1] * b[0];
    };
    const double e[3] = {eye[0], eye[1], eye[2]}, c[3] = {target[0], target[1], target[2]};
    const double up[3] = {0, 1, 0};
    double f[3], s[3], u[3];
    sub(c, e, f);
    unit(f);
    cross(f, up, s);
    unit(s);
    cross(s, f, u);
    const double angle = 12.0 * t * M_PI / 180.0;
    const double focal = 1.0 / std::tan(22.5 * M_PI / 180.0);
    std::vector<point2> out;
    for (const auto& k : corners(v)) {
        // glRotatef(angle, 0, 1, 0) on the corner.
        const double p[3] = {std::cos(angle) * k[0] + std::sin(angle) * k[2], k[1],
                             -std::sin(angle) * k[0] + std::cos(angle) * k[2]};
        double toEye[3];
        sub(e, p, toEye);
        unit(toEye);
        if (dot(p, toEye) < 0.35) continue;
        double d[3];
        sub(p, e, d);
        const double depth = dot(d, f);
        const double nx = focal / (double(kWidth) / kHeight) * dot(d, s) / depth;
        const double ny = focal * dot(d, u) / depth;
        const double wx = (nx + 1) / 2 * kWidth, wy = (ny + 1) / 2 * kHeight;
        if (wx < 3 || wy < 3 || wx > kWidth - 4 || wy > kHeight - 4) continue;
        out.push_back({int(std::floor(wx)), kHeight - 1 - int(std::floor(wy))});
    }
    return out;
}

// The darkest 3 by 3 block (the size of a corner point) centred within a
// pixel of c: its mean brightness. A point is a dark block; the 1-pixel lines
// of the figure crossing there darken a block only by a third.
double darkestBlock(const picture& p, point2 c) {
    double darkest = 255;
    for (int cy = c.y - 1; cy <= c.y + 1; ++cy)
        for (int cx = c.x - 1; cx <= c.x + 1; ++cx) {
            double sum = 0;
            for (int y = cy - 1; y <= cy + 1; ++y)
                for (int x = cx - 1; x <= cx + 1; ++x)
                    sum += p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2];
            darkest = std::min(darkest, sum / 27);
        }
    return darkest;
}

std::vector<std::string> pentagonWords(const float v[4]) {
    std::vector<std::string> words = {"--pentagons"};
    for (int k = 0; k < 4; ++k) words.push_back(std::to_string(v[k]));
    return words;
}

picture renderAt(const scratchDir& dir, const std::string& name, double t,
                 std::vector<std::string> extra) {
    extra.insert(extra.end(), {"--at", std::to_string(t), "--png", dir.file(name)});
    const renderRun run = runRender(extra);
    EXPECT_EQ(run.status, 0) << run.errors;
    return readPng(dir.file(name));
}

} // namespace

// The scene's pentagons lie above the equator; the other set below it, turned
// towards the camera, so that no corner of one lies on the other's figure.
TEST(RenderedPentagons, CornersLandWhereTheMathematicsPutsThem) {
    const float other[4] = {-0.3f, 1.2f, -0.7f, 1.9f};
    scratchDir dir;
    for (double t : {0.0, 1.5}) {
        SCOPED_TRACE("at " + std::to_string(t) + " s");
        const picture scene = renderAt(dir, "scene.png", t, {});
        const picture moved = renderAt(dir, "moved.png", t, pentagonWords(other));
        ASSERT_EQ(scene.width, kWidth);
        ASSERT_EQ(moved.width, kWidth);

        // A black corner point, seen through the translucent cylinder, is
        // darker than the lit sphere the other picture shows there (taken
        // over all the corners: the other figure's lines may cross one).
        auto darkness = [](const picture& p, const std::vector<point2>& at) {
            double sum = 0;
            for (point2 c : at) sum += darkestBlock(p, c);
            return sum / double(at.size());
        };
        const std::vector<point2> sceneCorners = visibleCorners(kScenePentagons, t);
        const std::vector<point2> movedCorners = visibleCorners(other, t);
        ASSERT_GE(sceneCorners.size(), 1u);
        ASSERT_GE(movedCorners.size(), 2u);
        EXPECT_LT(darkness(scene, sceneCorners) + 15, darkness(moved, sceneCorners));
        EXPECT_LT(darkness(moved, movedCorners) + 15, darkness(scene, movedCorners));
    }
}

// Multisampling smooths the edges of lines and shapes and leaves the flat
// insides alone: most pixels stay as they were, and the picture is not empty.
TEST(RenderedPicture, MultisamplingChangesOnlyEdges) {
    scratchDir dir;
    const picture plain = renderAt(dir, "plain.png", 25, {});
    const picture smooth = renderAt(dir, "smooth.png", 25, {"--samples", "4"});
    ASSERT_EQ(smooth.width, kWidth);
    ASSERT_EQ(smooth.pixels.size(), plain.pixels.size());
    size_t changed = 0, lit = 0;
    for (size_t k = 0; k < plain.pixels.size(); k += 3) {
        changed += std::memcmp(&plain.pixels[k], &smooth.pixels[k], 3) != 0;
        lit += smooth.pixels[k] + smooth.pixels[k + 1] + smooth.pixels[k + 2] > 60;
    }
    const size_t all = plain.pixels.size() / 3;
    EXPECT_GT(changed, all / 1000); // edges did change
    EXPECT_LT(changed, all / 10);   // nothing else did
    EXPECT_GT(lit, all / 10);       // the scene is there
}
