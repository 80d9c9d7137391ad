// The dome (mathematics/dome) as its readers get it, the same from the report
// tool and the web page: its numbers as JSON, and the cut list a builder works
// from, as text. JSON lengths are for the unit sphere and angles in radians;
// the cut list gives lengths at the radius asked for and angles in degrees.
#pragma once

#include <iosfwd>
#include <string>

#include "mathematics/dome.h"

// The value of the report's "dome" key, its lines after the first indented by
// `indent`: null when there is no dome; {"problem": "..."} when it failed;
// otherwise {"vertices", "edges", "faces", "facesBySize", "hubCount",
// "strutCount", "spokes", "panelCount", "struts": [{"length", "count",
// "letter", "bendAngle", "spokes"}, ...] from the shortest, "hubs":
// [{"valence", "count"}, ...], "panels": [{"struts": [letters], "angles",
// "count"}, ...], "totalStrutLength", "strutVariance", "area", "volume"}.
std::string domeJson(const geodesicDome& dome, const std::string& indent);

// The cut list for a dome of radius `radius` (> 0, in any unit: every length
// is in the same one): the arrangement's counts, the struts by letter with
// length, chord factor, bend at each end and count, the total strut length and
// the strut variance, the hubs by valence, the panels by their struts' letters
// with their angles, the panels' area and enclosed volume. Without a dome, one
// line saying so. `arguments`: LAT1 LONG1 LAT2 LONG2, for the heading. Not for
// a failed dome.
void writeCutList(std::ostream& out, const geodesicDome& dome, double radius,
                  const float arguments[4]);
