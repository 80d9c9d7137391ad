// The report tool's paper cylinder: the unrolled cylinder at true size for a
// tube of a given diameter, to print, cut out and roll. Millimetres
// throughout; the sheet is pi D wide, an angle a around the axis (from +z
// towards +x, as the unrolled drawing of documents/svg_report) at a D / 2 from its
// left edge, a height y on the unit cylinder at y D / 2 above the equator.
// It shows each great-circle plane's curve, the image of every intersection
// and glue tabs, cut into pieces that each fit a page of 210 x 279.4 mm, the
// area A4 and Letter share, so that it prints at 100 % on either.
#pragma once

#include <array>
#include <iosfwd>

#include "mathematics/intersections.h"

// The pages stacked in one SVG document, 210 mm wide and 279.4 mm tall each,
// with a CSS page size that makes a browser print one piece to a page.
// Heights shown: the curves' highest point and a little more, at least one
// radius and at most ten each way (steeper curves run off the sheet, which
// says so). `circles` and `intersections` as mathematics/intersections gives
// them for `arguments` (LAT1 LONG1 LAT2 LONG2); 0 < diameter.
void writePaperCylinder(std::ostream& out, const std::array<circlePlane, kCircles>& circles,
                        const circleIntersections& intersections, const float arguments[4],
                        double diameter);
