// The report tool's `--intersections` text: the points where the great circles
// meet, as a table (the circles through each as p.i, sphere and cylinder
// coordinates, corners and equator crossings), then circle by circle its arcs
// with their three lengths and the totals that check them. Nine decimals;
// "none" where the geometry has no value.
#pragma once

#include <iosfwd>

#include "mathematics/intersections.h"

// `arguments`: LAT1 LONG1 LAT2 LONG2, for the heading.
void writeIntersectionsText(std::ostream& out, const float arguments[4],
                            const circleIntersections& intersections);
