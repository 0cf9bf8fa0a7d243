// The table of embedded pictures that the generator writes at build time.
#pragma once

#include "resources/BitmapResources.h"

namespace resources {

extern const BitmapResource kEmbeddedBitmaps[];
extern const int kEmbeddedBitmapCount;

}  // namespace resources
