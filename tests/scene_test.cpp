// The scene script: what ConstructScene builds, the start state InitScene
// gives the camera and the lights, and the animation against the driven clock:
// the objects' spin, the camera's flight and the finish at 150 seconds.
#include "basicsource/scene.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mathematics/camera_flight.h"
#include "basicsource/platform.h"
#include "basicsource/utility.h"
#include "tests/shell_fixture.h"

namespace {

// Runs the scene at animation time t (clock reset at tick 0, animating).
void sceneAt(double t) {
    gProgramMode = kpmAnimating;
    setAnimationSeconds(t);
    AnimateScene();
}

// The spin angles handed to OpenGL for the three objects in one frame: the
// second rotation about y of each object's placement (its local orientation;
// the first is its orientation, which the scene leaves at zero).
std::vector<double> spinAngles(const std::vector<glCall>& calls) {
    std::vector<double> angles;
    int yRotations = -1000; // the lights' placements come before any object's
    for (const glCall& c : calls) {
        if (c.name == "glPushAttrib") yRotations = 0; // each object's draw starts here
        if (c.name == "glRotatef" && c.args[1] == 0 && c.args[2] == 1 && c.args[3] == 0 &&
            ++yRotations == 2)
            angles.push_back(c.args[0]);
    }
    return angles;
}

} // namespace

// --- Construction and start state ---------------------------------------------------

using SceneConstruction = ShellTest;

TEST_F(SceneConstruction, ThreeObjectsInDrawingOrderWithTheirMaterialsAndPlaces) {
    ASSERT_EQ(shapeVector.size(), 3u);
    EXPECT_EQ(shapeVector[0], sph1);
    EXPECT_EQ(shapeVector[1], tholix1);
    EXPECT_EQ(shapeVector[2], cyl1);
    EXPECT_EQ(tholixPrint, nullptr);

    float r, g, b, a;
    sph1->getColour(r, g, b, a);
    EXPECT_FLOAT_EQ(r, 0.545f);
    EXPECT_FLOAT_EQ(g, 0.27f);
    EXPECT_FLOAT_EQ(b, 0.074f);
    EXPECT_FALSE(sph1->isTranslucent());
    tholix1->getColour(r, g, b, a);
    EXPECT_EQ(r + g + b, 0.0f);
    EXPECT_FALSE(tholix1->isTranslucent());
    cyl1->getColour(r, g, b, a);
    EXPECT_FLOAT_EQ(a, 0.68f);
    EXPECT_TRUE(cyl1->isTranslucent()); // so only the cylinder is blended

    float x, y, z;
    cyl1->getLocation(x, y, z);
    EXPECT_FLOAT_EQ(y, -0.2f);
    sph1->getLocation(x, y, z);
    EXPECT_EQ(x * x + y * y + z * z, 0.0f);

    // The local scales, as each object's draw hands them to OpenGL: the
    // sphere just inside the figure, the wheel stretched to a 12-unit tube.
    auto calls = [] {
        startRecording();
        ViewScene();
        return stopRecording();
    }();
    std::string why;
    EXPECT_TRUE(containsInOrder(calls,
                                {{"glScalef", {0.992, 0.992, 0.992}},
                                 {"glCallList", {double(sph1->getListName())}},
                                 {"glScalef", {1, 1, 1}},
                                 {"glCallList", {double(tholix1->getListName())}},
                                 {"glTranslatef", {0, -0.2, 0}},
                                 {"glScalef", {0.995, 6, 0.995}},
                                 {"glBegin", {GL_QUAD_STRIP}}},
                                &why))
        << why;
}

TEST_F(SceneConstruction, InitSceneResetsCameraAndTheFourLights) {
    camera.setLocation(7, 7, 7);
    camera.setTarget(1, 2, 3);
    for (light* l : {&light0, &light1, &light2, &light3}) l->turnOff();
    light0.setLocation(0, 0, 0);

    InitScene();

    EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
    EXPECT_VEC3_NEAR(camera.getTarget(), 0, 0, 0);
    EXPECT_TRUE(light0.isOn() && light1.isOn() && light2.isOn() && light3.isOn());
    EXPECT_FALSE(light4.isOn());

    // What the lights then tell OpenGL: each position under its own placement
    // (twice the location, see support/light.h), diffuse and specular colours.
    startRecording();
    ViewScene();
    auto calls = stopRecording();
    std::string why;
    EXPECT_TRUE(containsInOrder(calls,
                                {{"glLightfv", {GL_LIGHT0, GL_DIFFUSE, 1, 1, 1, 1}},
                                 {"glLightfv", {GL_LIGHT0, GL_SPECULAR, 0.4, 0.4, 0.4, 1}},
                                 {"glLightfv", {GL_LIGHT1, GL_DIFFUSE, 1, 1, 1, 1}},
                                 {"glLightfv", {GL_LIGHT1, GL_SPECULAR, 0.5, 0.5, 0.5, 1}},
                                 {"glLightfv", {GL_LIGHT2, GL_DIFFUSE, 1, 1, 0, 1}},
                                 {"glLightfv", {GL_LIGHT2, GL_SPECULAR, 0.7, 0.7, 0.7, 0}},
                                 {"glLightfv", {GL_LIGHT3, GL_DIFFUSE, 1, 1, 1, 1}},
                                 {"glLightfv", {GL_LIGHT3, GL_SPECULAR, 0.5, 0.5, 0.5, 1}},
                                 {"glDisable", {GL_LIGHT4}}},
                                &why))
        << why;
    float locations[4][3] = {{-5, 0, 5}, {10, -5, 5}, {5, 10, -5}, {-3, -0.5f, -1}};
    light* lights[4] = {&light0, &light1, &light2, &light3};
    for (int i = 0; i < 4; ++i) {
        float x, y, z;
        lights[i]->getLocation(x, y, z);
        EXPECT_FLOAT_EQ(x, locations[i][0]);
        EXPECT_FLOAT_EQ(y, locations[i][1]);
        EXPECT_FLOAT_EQ(z, locations[i][2]);
    }
}

// --- The spin -------------------------------------------------------------------------

using SceneSpin = ShellTest;

TEST_F(SceneSpin, AllThreeObjectsTurnTwelveDegreesPerSecondSetNotAccumulated) {
    for (double t : {0.0, 7.25, 29.5, 100.0}) {
        SCOPED_TRACE(t);
        sceneAt(t);
        sceneAt(t); // the same time twice gives the same angle
        startRecording();
        ViewScene();
        auto angles = spinAngles(stopRecording());
        // Three objects, each drawn in both passes.
        ASSERT_EQ(angles.size(), 6u);
        for (double a : angles) EXPECT_FLOAT_EQ(float(a), float(t) * 12.0f);
    }
}

// --- The camera's flight ----------------------------------------------------------------

using CameraPath = ShellTest;

TEST_F(CameraPath, KeyMovesStandUntilTheScriptTakesOver) {
    camera.setLocation(-1, 0, 3);
    camera.setTarget(0, 1, 0);
    sceneAt(4.9); // before 5 s the script leaves the camera alone
    EXPECT_VEC3_NEAR(camera.getLocation(), -1, 0, 3);
    EXPECT_VEC3_NEAR(camera.getTarget(), 0, 1, 0);
    sceneAt(5.0); // the eye is taken over at 5 s ...
    EXPECT_VEC3_NEAR(camera.getLocation(), 0, 0, 3);
    sceneAt(19.9); // ... the target only at 20 s
    EXPECT_VEC3_NEAR(camera.getTarget(), 0, 1, 0);
    sceneAt(20.0);
    EXPECT_VEC3_NEAR(camera.getTarget(), 0, 0, 0);
}

// Each eased segment is symmetric about its middle, so the camera is halfway
// between a segment's end points there, and at an end point at its ends.
TEST_F(CameraPath, CheckpointsAlongTheFlight) {
    struct checkpoint {
        double t;
        float eye[3], target[3];
    };
    const checkpoint path[] = {
        {5.0, {0, 0, 3}, {0, 0, 0}},      {12.5, {0, 0, 9}, {0, 0, 0}},
        {20.0, {0, 0, 15}, {0, 0, 0}},    {25.0, {0, 3.5f, 9}, {0, 3, 0}},
        {30.0, {0, 7, 3}, {0, 6, 0}},     {32.5, {0, 7, 1.6f}, {0, 3, 0}},
        {35.0, {0, 7, 0.2f}, {0, 0, 0}},  {40.0, {0, 5, 0.2f}, {0, 0, 0}},
        {45.0, {0, 3, 0.2f}, {0, 0, 0}},  {50.0, {0, 5, 0.2f}, {0, 0, 0}},
        {55.0, {0, 7, 0.2f}, {0, 0, 0}},  {60.0, {-2.5f, 7, 2.6f}, {0, 0, 0}},
        {65.0, {-5, 7, 5}, {0, 0, 0}},    {70.0, {-5, 3.5f, 2}, {0, 0, 0}},
        {75.0, {-5, 0, -1}, {0, 0, 0}},   {80.0, {-2.5f, 0, 1}, {0, 0, 0}},
        {85.0, {0, 0, 3}, {0, 0, 0}},     {100.0, {0, 0, 3}, {0, 0, 0}},
        {149.0, {0, 0, 3}, {0, 0, 0}},
    };
    for (const checkpoint& c : path) {
        SCOPED_TRACE(c.t);
        sceneAt(c.t);
        EXPECT_VEC3_NEAR(camera.getLocation(), c.eye[0], c.eye[1], c.eye[2]);
        EXPECT_VEC3_NEAR(camera.getTarget(), c.target[0], c.target[1], c.target[2]);
    }
}

// An eased segment's top speed is its distance over ramp plus cruise time; the
// fastest, from 20 s, moves the eye 13.9 units (7 up, 12 in) at 1.74 units a
// second, so 20 ms steps never move the eye or the target more than 0.035. A
// block that started anywhere but where the previous one ended would.
TEST_F(CameraPath, FlightIsContinuousAcrossEveryBlock) {
    sceneAt(0);
    vec eye = camera.getLocation(), target = camera.getTarget();
    for (int ms = 20; ms <= 90000; ms += 20) { // 0 to 90 s, past the last segment
        sceneAt(ms / 1000.0);
        const vec& e = camera.getLocation();
        const vec& g = camera.getTarget();
        float step = std::hypot(e.data[0] - eye.data[0], e.data[1] - eye.data[1],
                                e.data[2] - eye.data[2]);
        float aim = std::hypot(g.data[0] - target.data[0], g.data[1] - target.data[1],
                               g.data[2] - target.data[2]);
        ASSERT_LT(step, 0.05f) << "eye jumps at " << ms << " ms";
        ASSERT_LT(aim, 0.05f) << "target jumps at " << ms << " ms";
        // The path other front ends evaluate is the one the scene flies, to the bit.
        float flightEye[3], flightTarget[3];
        flightCameraAt(getAnimationTime(), flightEye, flightTarget);
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(flightEye[k], e.data[k]) << ms << " ms, eye " << k;
            ASSERT_EQ(flightTarget[k], g.data[k]) << ms << " ms, target " << k;
        }
        eye = e;
        target = g;
    }
}

// --- The finish --------------------------------------------------------------------------

using SceneFinish = ShellTest;

TEST_F(SceneFinish, ExactlyOneHundredFiftySecondsStillAnimatesAndFinishes) {
    sceneAt(149.99);
    EXPECT_EQ(gProgramMode, kpmAnimating);

    sceneAt(150.0);
    EXPECT_EQ(gProgramMode, kpmFinished);
    startRecording();
    ViewScene();
    auto angles = spinAngles(stopRecording());
    ASSERT_EQ(angles.size(), 6u);
    EXPECT_FLOAT_EQ(float(angles[0]), 1800.0f); // five whole turns
}

TEST_F(SceneFinish, PastTheEndFinishesWithoutMovingTheScene) {
    sceneAt(140.0);
    camera.setLocation(1, 1, 1);
    sceneAt(150.02); // a late tick: finish, but the scene stays as it was
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_VEC3_NEAR(camera.getLocation(), 1, 1, 1);
    startRecording();
    ViewScene();
    auto angles = spinAngles(stopRecording());
    ASSERT_EQ(angles.size(), 6u);
    EXPECT_FLOAT_EQ(float(angles[0]), 1680.0f); // 140 s * 12
}
