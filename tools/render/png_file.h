// PNG pictures of rendered frames, through libpng: 8-bit RGB, no time stamp or
// other metadata, so the same frame always gives the same bytes.
#pragma once

#include <cstdint>
#include <string>

// rgb: width * height * 3 bytes, rows from the top, written to the open
// descriptor `fd` (left open). Returns "" or what went wrong, in the system's
// words when writing failed ("No space left on device").
std::string writePng(int fd, const uint8_t* rgb, int width, int height);

// The same into the existing file at `path`, which is truncated first.
std::string writePngFile(const std::string& path, const uint8_t* rgb, int width, int height);
