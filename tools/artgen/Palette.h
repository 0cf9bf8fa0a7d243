// The colours of the unit.
#pragma once

#include "tools/artgen/Art.h"

namespace artgen::palette {

constexpr Colour kChassis = hex(0x1a1b1d);
constexpr Colour kSection = hex(0x2b2d31);
constexpr Colour kStrip = hex(0x141517);
constexpr Colour kTitle = hex(0xe8a23a);     // amber section titles
constexpr Colour kLabel = hex(0xdcd8cc);     // control captions
constexpr Colour kLegend = hex(0xa3a096);    // position names and small print
constexpr Colour kTick = hex(0x8a877f);
constexpr Colour kDisplay = hex(0x150705);   // the LED display's glass
constexpr Colour kLedOn = hex(0xff5a2a);
constexpr Colour kLedGhost = hex(0x230b07);
constexpr Colour kMeterOff = hex(0x0d0e0f);
constexpr Colour kLcd = hex(0xbdcfda);       // the preset bar's name field and controller display

}  // namespace artgen::palette
