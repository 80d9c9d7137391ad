#include "basicsource/scene.h"

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/utility.h"
#include "mathematics/camera_flight.h"
#include "mathematics/scene_constants.h"
#include "objects/sphere.h"
#include "objects/tholix.h"
#include "objects/wheel.h"

tholix_print_values* tholixPrint = nullptr;
object3D* tholix1 = nullptr;
object3D* cyl1 = nullptr;
object3D* sph1 = nullptr;

void ConstructScene() {
    sph1 = new sphere(30);
    sph1->setLocation(0, 0, 0);
    sph1->setColour(0.545f, 0.27f, 0.074f, 1.0f); // opaque brown
    sph1->setLocalScale(0.992f, 0.992f, 0.992f);  // just inside the figure's lines

    tholix1 =
        new tholix(kScenePentagons[0], kScenePentagons[1], kScenePentagons[2], kScenePentagons[3]);
    tholix1->setColour(0, 0, 0, 1);
    tholix1->setLocalScale(1, 1, 1);

    // The wheel is 2 units tall: scaled by 6 in y it becomes a thin-walled tube
    // 12 units tall; its alpha puts it in the translucent pass.
    cyl1 = new wheel(120, 0.999f, 0.997f);
    cyl1->setColour(0.184f, 0.31f, 0.31f, 0.68f);
    cyl1->setLocalScale(0.995f, 6.0f, 0.995f);
    cyl1->setLocation(0, -0.2f, 0);

    shapeVector.push_back(sph1);
    shapeVector.push_back(tholix1);
    shapeVector.push_back(cyl1);
}

void InitScene() {
    camera.setLocation(kHomeEye[0], kHomeEye[1], kHomeEye[2]);
    camera.setTarget(kHomeTarget[0], kHomeTarget[1], kHomeTarget[2]);

    light0.turnOn();
    light0.setLocation(-5, 0, 5);
    light0.setColour(1, 1, 1, 1);
    light0.setSpecularColour(0.4f, 0.4f, 0.4f, 1);

    light1.turnOn();
    light1.setLocation(10, -5, 5);
    light1.setColour(1, 1, 1, 1);
    light1.setSpecularColour(0.5f, 0.5f, 0.5f, 1);

    light2.turnOn();
    light2.setLocation(5, 10, -5);
    light2.setColour(1, 1, 0, 1); // yellow
    light2.setSpecularColour(0.7f, 0.7f, 0.7f, 0);

    light3.turnOn();
    light3.setLocation(-3, -0.5f, -1);
    light3.setColour(1, 1, 1, 1);
    light3.setSpecularColour(0.5f, 0.5f, 0.5f, 1);
}

void AnimateScene() {
    float t = getAnimationTime();
    if (t <= kAnimationSeconds) Scene1(t);
    if (t >= kAnimationSeconds) gProgramMode = kpmFinished; // at exactly the end both happen
}

// One coordinate of a flight segment at the current animation time; a
// coordinate that holds still is set as it stands.
static float flightValue(const flightSegment& s, const flightCoordinate& c) {
    if (c.from == c.to) return c.from;
    return smoothAcceleration(s.startTime, s.rampDur, s.cruiseDur, c.from, c.to);
}

// The spin, and the camera flight of mathematics/camera_flight: each segment takes
// over once its start time is reached, and every eased value reads the
// animation clock itself.
void Scene1(float t) {
    float angle = t * kSpinDegreesPerSecond;
    tholix1->setLocalOrientation(0, angle, 0);
    sph1->setLocalOrientation(0, angle, 0);
    cyl1->setLocalOrientation(0, angle, 0);
    tholix1->setColour(0, 0, 0, 1);

    for (const flightSegment& s : kFlight) {
        if (t < s.startTime) break;
        camera.setLocation(flightValue(s, s.eye[0]), flightValue(s, s.eye[1]),
                           flightValue(s, s.eye[2]));
        if (s.aims)
            camera.setTarget(flightValue(s, s.target[0]), flightValue(s, s.target[1]),
                             flightValue(s, s.target[2]));
    }
}

void Scene2(float) {}
