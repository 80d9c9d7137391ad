// The facts of the demonstration that more than one front end needs: the
// scene's four pentagon values, how long the animation runs, when the caption
// appears and how fast the objects spin. The window program, geodesics-render,
// the scene export and (through WebAssembly) the web page all read them here.
// Seconds of animation time; degrees.
#pragma once

// The scene's pentagons, LAT1 LONG1 LAT2 LONG2 (heights of the corners and
// longitudes of corner 0 in radians), as the figure is built from them...
extern const float kScenePentagons[4];
// ...and as a person types them: each word reads back as the float above.
extern const char* const kScenePentagonWords[4];

// The animation: the objects spin from time 0 and everything stops at
// kAnimationSeconds (150 s). The camera flight inside it (mathematics/
// camera_flight) ends at 85 s, when the caption comes up and stays.
const float kAnimationSeconds = 150.0f;
const float kCaptionFromSeconds = 85.0f;
const float kSpinDegreesPerSecond = 12.0f; // one turn every 30 s, five in the animation
