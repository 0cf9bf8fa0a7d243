// Where the toolkit finds the pictures a CBitmap names by id. The toolkit
// embeds no pictures of its own: the program that draws with it installs a
// source of its pictures before it builds its views.
#pragma once

#include <cstddef>

namespace toolkit {

// A PNG-encoded picture that lives as long as the program.
struct EmbeddedPicture {
  const unsigned char* png = nullptr;
  std::size_t pngSize = 0;
  int width = 0;  // pixels at the scale it was drawn for
  int height = 0;
  double scale = 1.0;  // the display scale it was drawn for
};

// Fills `picture` with the picture `id` drawn for `scale`; false when there
// is none.
using PictureSource = bool (*)(int id, double scale, EmbeddedPicture& picture);

// Installs the source (null: none, every id then names no picture). Any
// thread may install it; every install of a program names the same source.
void setPictureSource(PictureSource source);
// The picture `id` drawn for `scale` from the installed source.
bool findPicture(int id, double scale, EmbeddedPicture& picture);

}  // namespace toolkit
