#include "basicsource/scene.h"

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/utility.h"
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

    tholix1 = new tholix(0.97531795f, 0.1f, 0.630991f, 0.1f);
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
    camera.setLocation(0, 0, 3);
    camera.setTarget(0, 0, 0);

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
    if (t <= 150.0f) Scene1(t);
    if (t >= 150.0f) gProgramMode = kpmFinished; // at exactly 150 both happen
}

// The camera flight: each block takes over once its start time is reached and
// begins where the previous one ended, so the path is continuous. Every eased
// value reads the animation clock itself.
void Scene1(float t) {
    float angle = t * 12.0f; // 12 degrees a second: five turns in 150 seconds
    tholix1->setLocalOrientation(0, angle, 0);
    sph1->setLocalOrientation(0, angle, 0);
    cyl1->setLocalOrientation(0, angle, 0);
    tholix1->setColour(0, 0, 0, 1);

    if (t >= 5) camera.setLocation(0, 0, smoothAcceleration(5, 3, 9, 3, 15));
    if (t >= 20) {
        camera.setLocation(0, smoothAcceleration(20, 2, 6, 0, 7), smoothAcceleration(20, 2, 6, 15, 3));
        camera.setTarget(0, smoothAcceleration(20, 2, 6, 0, 6), 0);
    }
    if (t >= 30) {
        camera.setLocation(0, 7, smoothAcceleration(30, 1, 3, 3, 0.2f));
        camera.setTarget(0, smoothAcceleration(30, 1, 3, 6, 0), 0);
    }
    if (t >= 35) camera.setLocation(0, smoothAcceleration(35, 2, 6, 7, 3), 0.2f);
    if (t >= 45) camera.setLocation(0, smoothAcceleration(45, 2, 6, 3, 7), 0.2f);
    if (t >= 55)
        camera.setLocation(smoothAcceleration(55, 2, 6, 0, -5), 7, smoothAcceleration(55, 2, 6, 0.2f, 5));
    if (t >= 65)
        camera.setLocation(-5, smoothAcceleration(65, 2, 6, 7, 0), smoothAcceleration(65, 2, 6, 5, -1));
    if (t >= 75)
        camera.setLocation(smoothAcceleration(75, 2, 6, -5, 0), 0, smoothAcceleration(75, 2, 6, -1, 3));
}

void Scene2(float) {}
