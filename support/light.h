// light: one OpenGL fixed-function light as a scene object. Its location is the
// light's position (given under its own placement, so with the default placement
// OpenGL sees twice the location), its colour the diffuse and its specular
// colour the specular colour. Constructors make no OpenGL call.
#pragma once

#include "support/object3D.h"

class light : public object3D {
  public:
    light();                     // drives GL_LIGHT0, off
    light(short oglLightNumber); // GL_LIGHT0 + n for n in 0..7, else fatal
    light(const light& source);
    ~light() override;
    object3D* clone() const override;

    void turnOn();
    void turnOff();
    bool isOn();
    void tellGL(); // needs the model-view matrix current

  protected:
    bool on;
    unsigned short oglLightID;
};
