#include "support/light.h"

#include <GL/gl.h>

#include "basicsource/utility.h"

light::light() {
    setLocation(-6, 1.5, 2.25);
    setColour(0.5, 0.5, 0.5, 0.5);
    setSpecularColour(0.5, 0.5, 0.5, 1);
    oglLightID = GL_LIGHT0;
    turnOff();
}

light::light(short oglLightNumber) {
    setLocation(-6, 1.5, 25);
    setColour(0.7, 0.7, 0.7, 1);
    setSpecularColour(0.5, 0.5, 0.5, 1);
    oglLightID = GL_LIGHT0;
    turnOff();
    // Taken as unsigned, so a negative number is out of range too.
    if ((unsigned short)oglLightNumber > 7) fatal("attempt to create a non-existent OpenGL light");
    oglLightID = (unsigned short)(GL_LIGHT0 + oglLightNumber);
}

light::light(const light& source)
    : object3D(source), on(source.on), oglLightID(source.oglLightID) {}

light::~light() {}

object3D* light::clone() const { return new light(*this); }

void light::turnOn() { on = true; }
void light::turnOff() { on = false; }
bool light::isOn() { return on; }

// The position is given under the light's own placement, which already
// translates to `location`: with the default placement OpenGL sees the light at
// twice its location.
void light::tellGL() {
    if (!on) {
        glDisable(oglLightID);
        return;
    }
    glEnable(oglLightID);
    glLoadIdentity();
    buildModelViewMatrix(0);
    glLightfv(oglLightID, GL_POSITION, location.data);
    glLightfv(oglLightID, GL_DIFFUSE, theColour);
    glLightfv(oglLightID, GL_SPECULAR, theSpecularColour);
}
