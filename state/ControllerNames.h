// Names of the 128 MIDI controllers for the controller display, plus the two
// texts for a parameter without controller and for nothing to show.
#pragma once

namespace state {

constexpr int kControllerNotAssigned = 128;  // "not assigned"
constexpr int kControllerNothing = 129;      // empty text
constexpr int kControllerNameCount = 130;

// Index 0..129; any other index yields the empty text.
const char* controllerName(int index);

// The text the controller display shows for its value v: the name of step
// steps(v, 130), so stepValue(c, 130) shows controller c's name.
const char* controllerNameForValue(float value);

// The display's value-to-text form: copies the name into `text`, which must
// hold at least kControllerTextSize bytes.
constexpr int kControllerTextSize = 16;
void controllerValueToText(float value, char* text);

}  // namespace state
