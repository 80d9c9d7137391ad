// The report tool's SVG format: the unit cylinder cut open and unrolled, with
// the ten curves its great-circle planes cut on it drawn as height against the
// angle around the axis (degrees from +z towards +x, 0 to 360), corners and
// equator crossings marked. Heights are fitted to the data within +-10 and
// clipped beyond; nothing non-finite reaches an attribute.
#pragma once

#include <iosfwd>

#include "mathematics/figure_samples.h"

void writeSvgReport(std::ostream& out, const figureSamples& figure);
