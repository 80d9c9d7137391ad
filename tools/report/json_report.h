// The report tool's JSON format: every quantity of both pentagons in one
// document. Floats are written with nine significant digits so that they read
// back as the same float; NaN and infinities as null. A pentagon at either
// pole is "collapsed": its corners are the pole and its curves null. After
// them, the circles' intersections and the arcs between them
// (mathematics/intersections), in double precision: "intersections",
// "coincidentCircles" and "arcs", with null where the geometry has no value
// (an image at a pole, a cylinder length along a vertical plane). Last, the
// dome they build (mathematics/dome_report): "dome", null where there is none.
#pragma once

#include <iosfwd>

#include "mathematics/dome.h"
#include "mathematics/figure_samples.h"
#include "mathematics/intersections.h"

void writeJsonReport(std::ostream& out, const figureSamples& figure,
                     const circleIntersections& intersections, const geodesicDome& dome);
