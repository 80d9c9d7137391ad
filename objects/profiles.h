// The shape library's tables. Lathe profiles and 2-D outlines are arrays of
// doubles holding (radius or x, height or y) pairs, closed by 99.0 at an even
// position; path tables are text commands closed by the entry "e".
#pragma once

extern double wineglassProfile[39];
extern double bottleProfile[13];
extern double mushroomProfile[87];
extern double treeTopProfile[65];

extern double sampleExtrusionProfile[33];
extern double curlProfile[87];
extern double art1Profile[99];
extern double starProfile[17];

extern const char* curlPath[81];
extern const char* art1Path[49];
extern const char* sampleExtrusionPath[86];
