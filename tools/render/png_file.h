// PNG pictures of rendered frames, through libpng: 8-bit RGB, no time stamp or
// other metadata, so the same frame always gives the same bytes.
#pragma once

#include <cstdint>
#include <string>

// rgb: width * height * 3 bytes, rows from the top. Returns "" or what went wrong.
std::string writePng(const std::string& path, const uint8_t* rgb, int width, int height);
