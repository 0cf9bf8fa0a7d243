#include "editor/PanelPictures.h"

#include "resources/BitmapResources.h"
#include "toolkit/PictureSource.h"

namespace editor {

namespace {

bool embeddedPicture(int id, double scale, toolkit::EmbeddedPicture& picture) {
  const resources::BitmapResource* b = resources::findBitmap(id, scale);
  if (!b) return false;
  picture = {b->png, b->pngSize, b->width, b->height, b->scale};
  return true;
}

}  // namespace

void usePanelPictures() { toolkit::setPictureSource(embeddedPicture); }

}  // namespace editor
