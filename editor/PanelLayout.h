// The front panel's layout: every view of the 942 x 171 panel in the order the
// editor creates it, the bitmaps they draw, the boxed sections and the help
// page map. Plain data without dependencies beyond the parameter indices: the
// editor builds its window from these tables and the bitmap generator draws
// the panel art from the very same numbers, so every control sits on its
// drawing.
#pragma once

#include <cstdint>
#include <span>

namespace editor::panel {

constexpr int kWidth = 942;
constexpr int kHeight = 171;
// The help overlay covers rows 0..154; the preset bar lies below.
constexpr int kHelpHeight = 155;

// The tags of the panel's views. A view that shows one parameter on its own
// has that parameter's index (0..59) as its tag; the editor's own views have
// these, and the program bar's start at 98.
enum Tag : int32_t {
  kTagLfoRateArea = 10,  // the hot area between the LFO arrows shows LFORate
  kTagTempoArea = 61,    // the display area: drags set the manual tempo
  kTagLink = 62,
  kTagDigit1 = 64,  // the display's four digits, 64..67
  kTagPoint1 = 68,  // the point after digit 1, 2 or 3: 68..70
  kTagSlash1 = 71,  // the slash after digit 1, 2 or 3: 71..73
  kTagPreNum = 74,
  kTagPreDen = 75,
  kTagMainNum = 76,
  kTagMainDen = 77,
  kTagLfoNum = 78,
  kTagLfoDen = 79,
  kTagMeterLeft = 80,
  kTagMeterRight = 81,
  kTagAbout = 82,  // both side plates
  kTagFbPan = 83,
  kTagFbGain = 84,
  kTagDlyPan = 85,
  kTagDlyGate = 86,
  kTagModeSwitch = 88,
  kTagRangeSwitch = 89,
  kTagMainTimeArea = 90,
  kTagLeft = 91,
  kTagRight = 92,
  kTagFbInv = 93,
  kTagDlyInv = 94,
  kTagSizeMenu = 95,  // the right-click size menu under everything
  kTagMuteIn = 96,
  kTagHelp = 97,
  kTagCount = 98,  // the panel's tags are 0..97
};
constexpr int kDisplayDigits = 4;

// Left, top, right, bottom in frame pixels; right and bottom are exclusive.
struct Rect {
  int left, top, right, bottom;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool contains(const Rect& r) const {
    return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
  }
};

enum class ViewClass : uint8_t {
  AnimKnob,         // ZELAnimKnob: 101-frame filmstrip knob
  OnOffButton,      // ZELOnOffButton: two halves, upper = value step 0
  Switch,           // ZELSwitch: horizontal, frame = position
  SwitchVert,       // ZELSwitchVert: vertical, frame = position
  MovieBitmap,      // the toolkit's movie bitmap: frame = value * (frames - 1), rounded
  KickButton,       // ZELKickButton: two halves, lower = pressed
  InvisibleSlider,  // CInvisibleSlider: a drag area without picture
  About,            // CAbout: a side plate that opens the about picture
  Help,             // CHelp: the help button
};

// What the four-digit display shows while a view is dragged, or while the
// mouse rests on it or in its block.
enum class Readout : uint8_t {
  Tempo,      // nothing of its own: the tempo
  Parameter,  // its parameter (the selected side's for a side-dependent view)
  PreTime,    // the pre-delay's note fraction, blinking while it runs above 1
  MainTime,   // beat mode: the delay's note fraction, blinking while it runs past
              // what the lines hold; time mode: the delay time in milliseconds
  Lfo,        // a synchronised LFO's note fraction, else its rate in Hz
};

// Where the front panel prints a view's caption, relative to its picture.
enum class Place : uint8_t { None, Above, Below, Left, Right };

struct View {
  int row;  // 1-based, the order of creation (later rows lie above earlier ones)
  int tag;
  ViewClass viewClass;
  int positions;      // switches: number of positions; 0 for the other classes
  Rect rect;
  int bitmap;         // resource id, 0 for none
  const char* label;  // the panel label that names the view
  // The parameter shown: for a side-dependent view paramLeft while the left
  // side is selected, paramRight while the right one is; -1 where the view
  // shows no parameter (or more than a plain one, see `shows`).
  bool side;
  int paramLeft;
  int paramRight;
  const char* shows;  // what the view shows or drives, in words
  bool hasDefault;
  float defaultValue;  // restored by the reset gesture (knobs, horizontal switches)
  // Printed on the panel: the caption and its place, and for switches the
  // names of the positions separated by '|' (two positions: left and right of
  // the switch; three: left, above, right, with the caption below).
  const char* caption;
  Place captionPlace;
  const char* positionNames;
  // The display: what it shows for this view, and the block of the panel
  // around the view (bounds inclusive, as the pointer may lie between
  // pixels) in which the resting mouse shows it too; an empty block for none,
  // where only the view itself counts.
  Readout readout = Readout::Tempo;
  Rect hover = {};
};

std::span<const View> views();  // the 63 views in row order
const View* findViewByRow(int row);
const View* findViewByTag(int tag);  // the first view with this tag, or null

// The view whose hover block holds the mouse at (x, y) in frame pixels, first
// in row order; null for none.
const View* hoverViewAt(double x, double y);

// Filmstrip knobs: frame = trunc(100 * value), drawn from source offset
// (2, 2) into the view rectangle inset by one pixel at left and top and by one
// (frame height 37) or two (frame height 36) at right and bottom.
constexpr int kKnobFrames = 101;
constexpr int kKnobSourceOffset = 2;
constexpr float kKnobWheelIncrement = 1.0f / 32.0f;
constexpr double kKnobSweepDegrees = 300.0;
Rect knobDrawRect(const View& knob, int frameHeight);

// How a bitmap's frames are stacked: a filmstrip of `frames` frames of
// `frameHeight` rows each; two halves are a two-frame strip.
enum class Layout : uint8_t { Single, Strip, TwoHalves };

struct Bitmap {
  int id;
  int width, height;
  int bitsPerPixel;  // 24, 32 (with alpha) or 8 (palette)
  Layout layout;
  int frames;
  int frameHeight;
  const char* use;
};

std::span<const Bitmap> bitmaps();  // ids 128..155
const Bitmap* findBitmap(int id);

// The boxed sections of the panel, one per help page. A section is the union
// of an upper part (rows up to 77) and a lower part (rows from 78); both parts
// are the same rectangle for a plain box. Page 7, the side plates, has no box.
struct Section {
  int helpPage;
  const char* title;
  Rect upper;
  Rect lower;
  int titleX;  // where the printed title starts, in its box's top row
};
std::span<const Section> sections();

// Texts printed on the panel that belong to a group of views rather than one.
enum class Align : uint8_t { Left, Centre, Right };
struct Legend {
  const char* text;
  double x, y;  // anchor: the text's baseline at x aligned as given
  Align align;
};
std::span<const Legend> legends();

// The about picture (bitmap 129) leaves room for the version text, which the
// editor writes into the 100 x 15 box from this point.
constexpr double kVersionX = 740;
constexpr double kVersionY = 70;

// The help page shown for the mouse at (x, y) in frame pixels: 1 display and
// mixer, 2 delay, 3 modulation, 4 variable clock, 5 filter, 6 reverb, 7 the
// side plates; first match wins.
int helpPageAt(double x, double y);

}  // namespace editor::panel
