#include "editor/PanelLayout.h"

#include <array>

#include "params/ParameterTable.h"

namespace editor::panel {

namespace {

using namespace params;

// A knob shows its parameter on the display; one of its own has the
// parameter's index as its tag.
constexpr View knob(int row, int p, Rect r, int bmp, const char* label, const char* shows, float def) {
  return {row, p, ViewClass::AnimKnob, 0, r, bmp, label, false, p, p, shows, true, def, label, Place::Below,
          nullptr, Readout::Parameter};
}

constexpr View sideKnob(int row, int tag, Rect r, int bmp, const char* label, int pl, int pr,
                        float def, const char* shows) {
  return {row, tag, ViewClass::AnimKnob, 0, r, bmp, label, true, pl, pr, shows, true, def,
          label, Place::Below, nullptr, Readout::Parameter};
}

constexpr View onOff(int row, int tag, Rect r, int bmp, const char* label, bool side, int pl,
                     int pr, const char* shows, const char* caption, Place place) {
  return {row, tag, ViewClass::OnOffButton, 0, r, bmp, label, side, pl, pr, shows, false, 0.0f,
          caption, place, nullptr};
}

constexpr View hSwitch(int row, int tag, int positions, Rect r, int bmp, const char* label,
                       bool side, int pl, int pr, const char* shows, float def,
                       const char* caption, const char* names) {
  return {row, tag, ViewClass::Switch, positions, r, bmp, label, side, pl, pr, shows, true, def,
          caption, positions == 2 ? Place::Above : Place::Below, names};
}

constexpr View movie(int row, int tag, Rect r, int bmp, const char* label) {
  return {row, tag, ViewClass::MovieBitmap, 0, r, bmp, label, false, -1, -1, label, false, 0.0f,
          nullptr, Place::None, nullptr};
}

constexpr View kick(int row, int tag, Rect r, int bmp, const char* label, bool side, int pl,
                    int pr, const char* shows, Readout readout, Rect hover = {}) {
  return {row, tag, ViewClass::KickButton, 0, r, bmp, label, side, pl, pr, shows, false, 0.0f,
          nullptr, Place::None, nullptr, readout, hover};
}

constexpr View hotArea(int row, int tag, Rect r, const char* label, bool side, int pl, int pr,
                       const char* shows, const char* caption, Place place, Readout readout = Readout::Tempo,
                       Rect hover = {}) {
  return {row, tag, ViewClass::InvisibleSlider, 0, r, 0, label, side, pl, pr, shows, false, 0.0f,
          caption, place, nullptr, readout, hover};
}

constexpr View plate(int row, Rect r, const char* label) {
  return {row, kTagAbout, ViewClass::About, 0, r, 129, label, false, -1, -1, "about overlay", false,
          0.0f, nullptr, Place::None, nullptr};
}

// The blocks of the delay section's time controls and of the LFO's rate, in
// which the resting mouse shows their readout (bounds inclusive).
constexpr Rect kPreTimeBlock{86, 20, 149, 47};
constexpr Rect kMainTimeBlock{86, 50, 149, 134};
constexpr Rect kLfoBlock{283, 75, 375, 140};

const std::array<View, 63> kViews{{
    sideKnob(1, kTagFbPan, {161, 30, 196, 65}, 130, "FBCK PAN", FbPanL, FbPanR, 0.5f, "FbPanL / FbPanR"),
    sideKnob(2, kTagFbGain, {208, 30, 243, 65}, 130, "FBCK GAIN", FbGainL, FbGainR, 0.0f, "FbGainL / FbGainR"),
    sideKnob(3, kTagDlyPan, {161, 93, 196, 128}, 130, "DELAY PAN", DlyPanL, DlyPanR, 0.5f, "DlyPanL / DlyPanR"),
    sideKnob(4, kTagDlyGate, {208, 93, 243, 128}, 130, "DELAY GATE", DlyGateL, DlyGateR, 0.0f, "DlyGateL / DlyGateR"),
    knob(5, Input, {383, 29, 418, 64}, 134, "INPUT", "Input", 0.5f),
    knob(6, Mix, {430, 29, 465, 64}, 134, "MIX", "Mix", 0.5f),
    knob(7, Output, {476, 29, 511, 64}, 133, "OUTPUT", "Output", 0.5f),
    knob(8, Ducking, {523, 29, 558, 64}, 133, "DUCKING", "Ducking", 0.5f),
    knob(9, LROffset, {383, 94, 418, 129}, 135, "OFFSET", "LROffset", 0.5f),
    knob(10, ModSrc, {430, 94, 465, 129}, 135, "SOURCE", "ModSrc", 0.5f),
    knob(11, ModSens, {476, 94, 511, 129}, 136, "SENS", "ModSens", 0.5f),
    knob(12, EnvSpeed, {523, 94, 558, 129}, 136, "SPEED", "EnvSpeed", 0.5f),
    knob(13, VcoMan, {578, 29, 613, 64}, 138, "MANUAL", "VcoMan", 0.5f),
    knob(14, VcoMod, {578, 94, 613, 129}, 139, "VCO MOD", "VcoMod", 0.5f),
    knob(15, Cutoff, {678, 29, 713, 64}, 131, "CUTOFF", "Cutoff", 1.0f),
    knob(16, Reso, {726, 29, 761, 64}, 131, "RESO", "Reso", 0.0f),
    knob(17, Drive, {773, 29, 808, 64}, 131, "DRIVE", "Drive", 0.0f),
    knob(18, CutfMod, {678, 94, 713, 129}, 132, "CUTF MOD", "CutfMod", 0.5f),
    knob(19, ResoMod, {726, 94, 761, 129}, 132, "RESO MOD", "ResoMod", 0.5f),
    knob(20, RvbDamp, {830, 29, 865, 64}, 137, "DAMP", "RvbDamp", 0.5f),
    knob(21, RvbAmt, {877, 29, 912, 64}, 137, "AMOUNT", "RvbAmt", 0.5f),
    onOff(22, Bypass, {340, 53, 364, 73}, 151, "BYPASS", false, Bypass, Bypass, "Bypass", "BYPASS", Place::Left),
    onOff(23, kTagLink, {61, 70, 85, 90}, 150, "LINK", false, -1, -1, "the link flag (starts off)", "LINK", Place::Right),
    onOff(24, kTagFbInv, {256, 39, 280, 59}, 150, "PHS INV (feedback)", true, FbInvL, FbInvR, "FbInvL / FbInvR", "PHS INV", Place::Above),
    onOff(25, kTagMuteIn, {256, 69, 280, 89}, 151, "MUTE IN", true, MuteInL, MuteInR, "MuteInL / MuteInR", "MUTE IN", Place::Above),
    onOff(26, kTagDlyInv, {256, 102, 280, 122}, 150, "PHS INV (delay)", true, DlyInvL, DlyInvR, "DlyInvL / DlyInvR", "PHS INV", Place::Above),
    onOff(27, VcoOn, {637, 102, 661, 122}, 150, "ON / OFF (VCO)", false, VcoOn, VcoOn, "VcoOn", "ON/OFF", Place::Above),
    onOff(28, FltOn, {784, 102, 808, 122}, 150, "ON / OFF (filter)", false, FltOn, FltOn, "FltOn", "ON/OFF", Place::Above),
    onOff(29, RvbOn, {887, 102, 911, 122}, 150, "ON / OFF (reverb)", false, RvbOn, RvbOn, "RvbOn", "ON/OFF", Place::Above),
    hSwitch(30, kTagModeSwitch, 2, {109, 90, 128, 99}, 142, "MODE TIME / BEAT", true, DlyModeL, DlyModeR, "DlyModeL / DlyModeR", 0.0f, "MODE", "TIME|BEAT"),
    hSwitch(31, kTagRangeSwitch, 3, {104, 57, 130, 66}, 143, "RANGE", true, RangeL, RangeR, "RangeL / RangeR", 1.0f, "RANGE", ".1s|1s|5s"),
    hSwitch(32, LfoMode, 3, {310, 91, 336, 100}, 143, "MODE FRQ / BEAT / POS", false, LfoMode, LfoMode, "LfoMode", 0.0f, "MODE", "FRQ|BEAT|POS"),
    hSwitch(33, FltMode, 3, {634, 27, 660, 36}, 143, "filter MODE", false, FltMode, FltMode, "FltMode", 0.0f, "MODE", "IN|FB|FX"),
    hSwitch(34, FltType, 3, {634, 57, 660, 66}, 143, "filter TYPE", false, FltType, FltType, "FltType", 0.0f, "TYPE", "LP|BP|HP"),
    hSwitch(35, RvbMode, 2, {841, 91, 867, 100}, 142, "MODE FX / OUT", false, RvbMode, RvbMode, "RvbMode", 0.0f, "MODE", "FX|OUT"),
    hSwitch(36, RvbType, 2, {841, 122, 867, 131}, 142, "TYPE SPRING / PLATE", false, RvbType, RvbType, "RvbType", 0.0f, "TYPE", "SPRING|PLATE"),
    movie(37, kTagDigit1, {297, 26, 310, 42}, 145, "display digit 1"),
    movie(38, kTagDigit1 + 1, {313, 26, 326, 42}, 144, "display digit 2"),
    movie(39, kTagDigit1 + 2, {329, 26, 342, 42}, 144, "display digit 3"),
    movie(40, kTagDigit1 + 3, {346, 26, 359, 42}, 144, "display digit 4"),
    movie(41, kTagPoint1, {310, 40, 313, 42}, 147, "point after digit 1"),
    movie(42, kTagPoint1 + 1, {326, 40, 329, 42}, 147, "point after digit 2"),
    movie(43, kTagPoint1 + 2, {342, 40, 345, 42}, 147, "point after digit 3"),
    movie(44, kTagSlash1, {310, 30, 313, 38}, 146, "slash after digit 1"),
    movie(45, kTagSlash1 + 1, {326, 30, 329, 38}, 146, "slash after digit 2"),
    movie(46, kTagSlash1 + 2, {343, 30, 346, 38}, 146, "slash after digit 3"),
    kick(47, kTagPreNum, {90, 24, 109, 43}, 140, "PRE TIME NUM", true, PreNumL, PreNumR, "PreNumL / PreNumR",
         Readout::PreTime, kPreTimeBlock),
    kick(48, kTagPreDen, {126, 24, 145, 43}, 140, "PRE TIME DEN", true, PreDenL, PreDenR, "PreDenL / PreDenR",
         Readout::PreTime),
    kick(49, kTagMainNum, {90, 113, 109, 132}, 141, "MAIN TIME NUM", true, DlyNumL, DlyNumR,
         "DlyNumL / DlyNumR (beat mode), DlyTimeL / DlyTimeR down (time mode)", Readout::MainTime),
    kick(50, kTagMainDen, {126, 113, 145, 132}, 140, "MAIN TIME DEN", true, DlyDenL, DlyDenR,
         "DlyDenL / DlyDenR (beat mode), DlyTimeL / DlyTimeR up (time mode)", Readout::MainTime),
    kick(51, kTagLfoNum, {296, 113, 315, 132}, 141, "LFO NUM", false, LfoNum, LfoNum,
         "LfoNum (synced modes), LFORate down (free mode)", Readout::Lfo),
    kick(52, kTagLfoDen, {332, 113, 351, 132}, 140, "LFO DEN", false, LfoDen, LfoDen,
         "LfoDen (synced modes), LFORate up (free mode)", Readout::Lfo),
    onOff(53, kTagLeft, {63, 15, 75, 61}, 148, "LEFT", false, -1, -1,
          "selects the left side; value 0 (lit) when left is selected, 1 otherwise", nullptr, Place::None),
    onOff(54, kTagRight, {63, 93, 75, 139}, 149, "RIGHT", false, -1, -1,
          "selects the right side; value 0 (lit) when right is selected, 1 otherwise", nullptr, Place::None),
    {55, LFOWave, ViewClass::SwitchVert, 5, {359, 83, 375, 139}, 152, "SHAPE", false, LFOWave, LFOWave,
     "LFOWave", false, 0.0f, "SHAPE", Place::Below, nullptr},
    hotArea(56, kTagMainTimeArea, {112, 115, 125, 132}, "hot area between MAIN TIME arrows", true, DlyTimeL,
            DlyTimeR, "DlyTimeL / DlyTimeR (time mode)", "MAIN TIME", Place::Below, Readout::MainTime,
            kMainTimeBlock),
    hotArea(57, kTagLfoRateArea, {317, 115, 330, 132}, "hot area between LFO arrows", false, LFORate, LFORate,
            "LFORate (free mode)", "RATE", Place::Below, Readout::Lfo, kLfoBlock),
    hotArea(58, kTagTempoArea, {293, 22, 365, 48}, "display area", false, -1, -1, "manual tempo", "BPM / VAL",
            Place::Above),
    movie(59, kTagMeterLeft, {43, 23, 50, 68}, 153, "left input meter"),
    movie(60, kTagMeterRight, {43, 87, 50, 132}, 153, "right input meter"),
    plate(61, {2, 2, 21, 153}, "left side plate"),
    plate(62, {921, 2, 940, 153}, "right side plate"),
    {63, kTagHelp, ViewClass::Help, 0, {921, 158, 932, 167}, 155, "help button", false, -1, -1,
     "help overlay (bitmap 154)", false, 0.0f, nullptr, Place::None, nullptr},
}};

constexpr Bitmap strip(int id, int w, int frames, int fh, const char* use) {
  return {id, w, frames * fh, 24, Layout::Strip, frames, fh, use};
}
constexpr Bitmap halves(int id, int w, int h, const char* use) {
  return {id, w, h, 24, Layout::TwoHalves, 2, h / 2, use};
}

const std::array<Bitmap, 28> kBitmaps{{
    {128, 942, 171, 24, Layout::Single, 1, 171, "frame background (the front panel)"},
    {129, 942, 171, 24, Layout::Single, 1, 171, "about picture"},
    strip(130, 36, 101, 37, "knobs 83-86"),
    strip(131, 36, 101, 36, "knobs 15, 16, 21"),
    strip(132, 36, 101, 36, "knobs 13, 53"),
    strip(133, 37, 101, 37, "knobs 1, 52"),
    strip(134, 36, 101, 37, "knobs 0, 2"),
    strip(135, 36, 101, 37, "knobs 11, 12"),
    strip(136, 37, 101, 37, "knobs 47, 22"),
    strip(137, 37, 101, 36, "knobs 39, 40"),
    strip(138, 36, 101, 36, "knob 17"),
    strip(139, 36, 101, 36, "knob 18"),
    halves(140, 19, 38, "kick buttons 74, 75, 77, 79 (arrow up, normal / pressed)"),
    halves(141, 19, 38, "kick buttons 76, 78 (arrow down, normal / pressed)"),
    strip(142, 19, 2, 9, "two-position switches 88, 37, 38"),
    strip(143, 26, 3, 9, "three-position switches 89, 32, 23, 14"),
    strip(144, 13, 11, 16, "display digits 2-4: blank, 0-9"),
    strip(145, 13, 13, 16, "display digit 1: blank, 0-9, minus, plus"),
    strip(146, 3, 2, 8, "display slash marks: off, on"),
    strip(147, 3, 2, 2, "display decimal points: off, on"),
    halves(148, 12, 92, "side button 91 (LEFT lit / unlit)"),
    halves(149, 12, 92, "side button 92 (RIGHT lit / unlit)"),
    halves(150, 24, 40, "on/off buttons 62, 93, 94, 45, 42, 46 (off / on)"),
    halves(151, 24, 40, "on/off buttons 41, 96 (off / on)"),
    {152, 16, 280, 32, Layout::Strip, 5, 56, "LFO waveform switch 9"},
    strip(153, 7, 21, 45, "input meters 80, 81 (0 = all dark ... 20 = full)"),
    {154, 942, 1240, 8, Layout::Strip, 8, 155, "help overlay pages 0-7"},
    strip(155, 11, 3, 9, "help button 97 (normal, hover, shown)"),
}};

// Sections: the help page regions, each box kept a little inside its region.
const std::array<Section, 6> kSections{{
    {2, "DELAY", {24, 3, 283, 153}, {24, 3, 283, 153}, 29},
    {1, "MIXER", {286, 3, 567, 77}, {286, 3, 567, 77}, 383},
    {3, "MODULATION", {286, 80, 567, 153}, {286, 80, 567, 153}, 383},
    {4, "VCO", {570, 3, 620, 77}, {570, 80, 667, 153}, 575},
    {5, "FILTER", {624, 3, 819, 77}, {671, 80, 819, 153}, 678},
    {6, "REVERB", {823, 3, 918, 153}, {823, 3, 918, 153}, 830},
}};

const std::array<Legend, 4> kLegends{{
    {"PRE TIME", 117.5, 20.5, Align::Centre},
    {"/", 117.5, 36.5, Align::Centre},
    {"IN L", 46.5, 76.0, Align::Centre},
    {"IN R", 46.5, 140.0, Align::Centre},
}};

}  // namespace

std::span<const View> views() { return kViews; }

const View* findViewByRow(int row) {
  for (const View& v : kViews)
    if (v.row == row) return &v;
  return nullptr;
}

const View* findViewByTag(int tag) {
  for (const View& v : kViews)
    if (v.tag == tag) return &v;
  return nullptr;
}

const View* hoverViewAt(double x, double y) {
  for (const View& v : kViews) {
    const Rect& b = v.hover;
    if (b.width() > 0 && x >= b.left && x <= b.right && y >= b.top && y <= b.bottom) return &v;
  }
  return nullptr;
}

Rect knobDrawRect(const View& knob, int frameHeight) {
  const int inset = frameHeight == 36 ? 2 : 1;
  return {knob.rect.left + 1, knob.rect.top + 1, knob.rect.right - inset, knob.rect.bottom - inset};
}

std::span<const Bitmap> bitmaps() { return kBitmaps; }

const Bitmap* findBitmap(int id) {
  for (const Bitmap& b : kBitmaps)
    if (b.id == id) return &b;
  return nullptr;
}

std::span<const Section> sections() { return kSections; }
std::span<const Legend> legends() { return kLegends; }

int helpPageAt(double x, double y) {
  const bool upper = y <= 77;
  if (x >= 23 && x <= 283) return 2;
  if (x >= 284 && x <= 568) return upper ? 1 : 3;
  if (x >= 567 && ((x <= 621 && upper) || (x <= 668 && !upper))) return 4;
  if ((x >= 622 && x <= 820 && upper) || (x >= 669 && x <= 820 && !upper)) return 5;
  if (x >= 821 && x <= 920) return 6;
  return 7;
}

}  // namespace editor::panel
