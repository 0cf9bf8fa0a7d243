// The colours of the unit.
#pragma once

#include "tools/artgen/Art.h"

namespace artgen::palette {

constexpr Colour kChassis = hex(0x1a1b1d);
constexpr Colour kSection = hex(0x2b2d31);
constexpr Colour kStrip = hex(0x141517);
// Text colours stand at least 7:1 against the sections' grey.
constexpr Colour kTitle = hex(0xf2b650);     // amber section titles
constexpr Colour kLabel = hex(0xdcd8cc);     // control captions
constexpr Colour kLegend = hex(0xc4c0b4);    // position names and small print
constexpr Colour kTick = hex(0x8a877f);
constexpr Colour kDisplay = hex(0x150705);   // the LED display's glass
constexpr Colour kLedOn = hex(0xff5a2a);
constexpr Colour kLedGhost = hex(0x230b07);
constexpr Colour kMeterOff = hex(0x0d0e0f);
constexpr Colour kLcd = hex(0xbdcfda);       // the preset bar's name field and controller display

// Type sizes in 1x pixels: Liberation Sans' capitals are 0.688 of the size,
// so labels have capitals of 7 px and legends of 6 px at 100 %.
constexpr double kLabelSize = 10.2;
constexpr double kLegendSize = 8.8;
constexpr double kHelpSize = 9.2;

}  // namespace artgen::palette
