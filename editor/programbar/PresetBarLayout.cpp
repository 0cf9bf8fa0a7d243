#include "editor/programbar/PresetBarLayout.h"

#include <array>

namespace presets::bar {

namespace {

constexpr Control button(int tag, ControlClass c, bool dbl, double l, double t, double r, double b,
                         int bitmap, int frames, const char* name) {
  return {tag, c, dbl, {l, t, r, b}, bitmap, frames, name};
}

using enum ControlClass;

// In the order of the preset system's table of controls.
const std::array<Control, 19> kControls{{
    button(98, TextEdit, false, 210, 156.5, 322, 169.5, 128, 1, "program name field"),
    button(110, OptionMenu, false, 322, 157, 335, 169, 128, 1, "program menu"),
    button(99, RockerSwitch, false, 342, 156, 372, 169, 995, 5, "previous / next program"),
    button(101, SaveLoadButton, false, 36, 156, 53, 171, 991, 3, "save bank"),
    button(111, KickButton, true, 53, 156, 85, 169, 992, 3, "default bank"),
    button(100, SaveLoadButton, false, 87, 156, 104, 171, 990, 3, "load bank"),
    button(103, SaveLoadButton, false, 116, 156, 133, 171, 991, 3, "save preset"),
    button(112, KickButton, true, 134, 156, 178, 169, 993, 3, "default preset"),
    button(102, SaveLoadButton, false, 179, 156, 196, 171, 990, 3, "load preset"),
    button(113, KickButton, false, 390, 156, 407, 171, 991, 3, "store memo A"),
    button(115, KickButton, false, 423, 156, 440, 171, 990, 3, "recall memo A"),
    button(114, KickButton, false, 454, 156, 471, 171, 991, 3, "store memo B"),
    button(116, KickButton, false, 488, 156, 505, 171, 990, 3, "recall memo B"),
    button(107, SaveLoadButton, false, 679, 156, 696, 171, 991, 3, "save MIDI settings"),
    button(108, KickButton, true, 697, 156, 725, 169, 994, 3, "default MIDI settings"),
    button(106, SaveLoadButton, false, 727, 156, 744, 171, 990, 3, "load MIDI settings"),
    button(104, ParameterDisplay, false, 759, 157, 849, 169, 128, 1, "controller display"),
    button(105, OnOffButton, false, 857, 155, 881, 171, 998, 3, "MIDI learn"),
    button(109, OnOffButton, false, 882, 155, 906, 171, 999, 3, "MIDI forget"),
}};

// 996 and 997 lie in the bar's range of ids but no control draws them.
const std::array<Bitmap, 8> kBitmaps{{
    {990, 17, 45, 3, "load (bank, preset, MIDI settings) and recall memo"},
    {991, 17, 45, 3, "save (bank, preset, MIDI settings) and store memo"},
    {992, 32, 39, 3, "default bank"},
    {993, 44, 39, 3, "default preset"},
    {994, 28, 39, 3, "default MIDI settings"},
    {995, 30, 65, 5, "previous / next program rocker"},
    {998, 24, 48, 3, "MIDI learn"},
    {999, 24, 48, 3, "MIDI forget"},
}};

}  // namespace

std::span<const Control> controls() { return kControls; }

const Control* findControl(int tag) {
  for (const Control& c : kControls)
    if (c.tag == tag) return &c;
  return nullptr;
}

std::span<const Bitmap> bitmaps() { return kBitmaps; }

const Bitmap* findBitmap(int id) {
  for (const Bitmap& b : kBitmaps)
    if (b.id == id) return &b;
  return nullptr;
}

}  // namespace presets::bar
