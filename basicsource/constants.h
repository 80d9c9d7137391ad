// Compiled-in configuration of the demonstration and the program-mode enumeration.
// Every constant has internal linkage, so each module that includes this header
// holds its own copy; there are no configuration files or options.
#pragma once

enum ProgramMode {
    kpmAtStart = 0,     // after start-up; drawn only when GLUT asks for a redisplay
    kpmAnimating = 1,   // the idle callback advances and redraws every tick
    kpmMakingMovie = 2, // held only while RenderMovie() runs
    kpmPaused = 3,      // no idle callback; the pause is subtracted when it ends
    kpmFinished = 4     // animation over; the animation clock is frozen
};

const bool kUseTextures = true;
const bool kUseLighting = true;
const bool kSoundOn = false; // not consulted: the start sound is gated on `sounds`

const short kWindowWidth = 720;
const short kWindowHeight = 576;

const bool kFlatFaces = true;    // one normal per face
const bool kSmoothFaces = false; // one normal per vertex

const bool kDrawTranslucent = true; // object3D::draw pass flag: translucent pass
const bool kDrawOpaque = false;     // object3D::draw pass flag: opaque pass

const bool kMipmaps = true;
const bool kNoMipmaps = false;
const bool kContinuousTone = true;
const bool kDiscreteTone = false;
