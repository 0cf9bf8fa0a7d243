// The panel's pictures, drawn by our generator at build time and embedded in
// the library, looked up by their resource id.
#pragma once

#include <cstddef>

namespace resources {

struct BitmapResource {
  int id;
  int width;          // pixels at the scale it was drawn for
  int height;
  int bitsPerPixel;   // 24, 32 or 8 (palette), as the picture is declared
  double scale;       // 1, 1.5, 2: the display scale the picture was drawn for
  const unsigned char* png;  // the picture, PNG-encoded
  std::size_t pngSize;
};

// The picture with this id drawn for this scale, or null when there is none.
const BitmapResource* findBitmap(int id, double scale = 1.0);

}  // namespace resources
