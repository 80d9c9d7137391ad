// The report tool's SVG format: the unit cylinder cut open and unrolled, with
// the ten curves its great-circle planes cut on it drawn as height against the
// angle around the axis (degrees from +z towards +x, 0 to 360), corners and
// equator crossings marked. Heights are fitted to the data within +-10 and
// clipped beyond; nothing non-finite reaches an attribute.
#pragma once

#include <iosfwd>

#include "mathematics/figure_samples.h"
#include "mathematics/intersections.h"

// With `intersections`, the image of every point where the circles meet is
// marked too (those beyond the heights shown, or at a pole, are counted in
// the legend).
void writeSvgReport(std::ostream& out, const figureSamples& figure,
                    const circleIntersections* intersections = nullptr);
