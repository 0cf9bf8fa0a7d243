// Writing the generator's pictures as PNG files in the depth each bitmap is
// declared with: 24-bit RGB, 32-bit RGBA, or an 8-bit palette of at most 256
// colours.
#pragma once

#include <cairo.h>

#include <string>

namespace artgen {

// Writes an ARGB32 / RGB24 cairo surface; returns false when the file cannot
// be written.
bool writePng(cairo_surface_t* surface, int bitsPerPixel, const std::string& path);

}  // namespace artgen
