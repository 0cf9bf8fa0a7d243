#include "resources/BitmapResources.h"

#include "resources/EmbeddedBitmaps.h"

namespace resources {

const BitmapResource* findBitmap(int id, double scale) {
  for (int i = 0; i < kEmbeddedBitmapCount; ++i) {
    const BitmapResource& b = kEmbeddedBitmaps[i];
    if (b.id == id && b.scale == scale) return &b;
  }
  return nullptr;
}

}  // namespace resources
