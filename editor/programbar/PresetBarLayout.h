// The preset bar below the panel: its 19 controls in the order of their
// rectangles and its bitmaps 990..999. Plain data: the preset system's editor
// builds the bar from it and the bitmap generator draws the strip from it.
#pragma once

#include <cstdint>
#include <span>

namespace presets::bar {

enum class ControlClass : uint8_t {
  TextEdit,         // the program name field
  OptionMenu,       // the program menu
  RockerSwitch,     // CPSRockerSwitch: previous / next program
  SaveLoadButton,   // CSaveLoadButton
  KickButton,       // CPSKickButton
  OnOffButton,      // CPSOnOffButton
  ParameterDisplay, // the controller display
};

// Left, top, right, bottom in window pixels (right and bottom exclusive). The
// name field's vertical extent is fractional: it is centred on the font.
struct Rect {
  double left, top, right, bottom;
};

struct Control {
  int tag;
  ControlClass controlClass;
  bool doubleClickOnly;  // the default buttons act on a double-click only
  Rect rect;
  int bitmap;            // resource id; 128 for the text controls, which show the background
  int frames;            // images stacked in the bitmap (1 for the background)
  const char* name;
};

std::span<const Control> controls();  // the 19 controls
const Control* findControl(int tag);

// The name field's rectangle before it is centred on the font height.
constexpr Rect kNameFieldNominal{210, 157, 322, 169};

// Appearance of the text controls: the 9-point standard font, centred, in
// these colours.
struct Rgb {
  uint8_t r, g, b;
};
constexpr Rgb kTextColour{36, 36, 32};
constexpr Rgb kNameFieldBackground{189, 207, 218};
constexpr int kMenuEntriesPerColumn = 16;

// The bar's bitmaps: `frames` equal images stacked vertically, each
// height / frames rows (integer division).
struct Bitmap {
  int id;
  int width, height;
  int frames;
  const char* use;
};
std::span<const Bitmap> bitmaps();  // those the bar draws, ids 990..999
const Bitmap* findBitmap(int id);

}  // namespace presets::bar
