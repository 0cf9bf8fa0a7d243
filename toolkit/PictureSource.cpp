#include "toolkit/PictureSource.h"

#include <atomic>

namespace toolkit {

namespace {

// Editors are built on whatever thread the host creates its instances on.
std::atomic<PictureSource> installed{nullptr};

}  // namespace

void setPictureSource(PictureSource source) { installed.store(source, std::memory_order_relaxed); }

bool findPicture(int id, double scale, EmbeddedPicture& picture) {
  const PictureSource source = installed.load(std::memory_order_relaxed);
  return source && source(id, scale, picture);
}

}  // namespace toolkit
