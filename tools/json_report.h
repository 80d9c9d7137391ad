// The report tool's JSON format: every quantity of both pentagons in one
// document. Floats are written with nine significant digits so that they read
// back as the same float; NaN and infinities as null. A pentagon at either
// pole is "collapsed": its corners are the pole and its curves null.
#pragma once

#include <iosfwd>

#include "mathematics/figure_samples.h"

void writeJsonReport(std::ostream& out, const figureSamples& figure);
