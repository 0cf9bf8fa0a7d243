// The four-digit display and the input meters, refreshed at every idle.
//
// The display shows the value of what is being dragged, else of what the
// mouse rests on, else the tempo. Digit 1 has 13 frames (blank, 0-9, minus,
// plus), digits 2-4 have 11 (blank, 0-9); a point or slash mark is lit at 1.
#include <algorithm>
#include <cmath>

#include "editor/CHelp.h"
#include "editor/Editor.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "shell/ZEL.h"
#include "toolkit/CFrame.h"

using namespace params;
using namespace toolkit;

namespace {

constexpr int kDigits[] = {64, 65, 66, 67};
constexpr int kPoints[] = {68, 69, 70};
constexpr int kSlashes[] = {71, 72, 73};
constexpr int kMeterLeft = 80, kMeterRight = 81;
constexpr int kTempoReadout = 61;
constexpr uint32_t kBlinkMs = 250;
constexpr float kMeterFallMs = 500.0f;
const float kMeterFloor = std::pow(10.0f, -1.2f);
constexpr float kMeterRangeDb = 24.0f;

// The knobs in the order the mouse test finds them.
constexpr int kKnobOrder[] = {84, 83, 85, 86, 15, 16, 21, 13, 53, 11, 12, 22, 47, 0, 2, 1, 52, 17, 18, 39, 40};

bool inside(const CPoint& p, double left, double top, double right, double bottom) {
  return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

}  // namespace

void Editor::idle() {
  // The program bar's timer calls this again from inside the frame's own
  // idle: the window may only be rebuilt by the outermost call.
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } depth(idleDepth_);
  applyPendingChanges();
  AEffGUIEditor::idle();
  if (frame) {
    const uint32_t now = clock_();
    if (help_) help_->idleStep(now);

    clearDisplay();
    int blinkSelector = 0;
    const int index = readoutChoice(blinkSelector);
    // A fresh readout each time: a value without a sign of its own (the
    // modulation sensitivity) never shows the sign of the one before.
    ParameterReadout readout;
    readout.numerator = 0;
    zel()->getParameterReadout(index, readout);
    if (blinkSelector == 0 || !zel()->syncRangeExceeded(blinkSelector)) {
      displayVisible_ = true;
    } else if (now - blinkTick_ > kBlinkMs) {
      displayVisible_ = !displayVisible_;
      blinkTick_ = now;
    }
    renderReadout(readout);
    updateMeters(now);
  }
  CPresetSystemEditor::idle();
  // A new size rebuilds the window: only here, with no event of the old
  // frame still being handled.
  if (frame && pendingScale_ > 0.0 && idleDepth_ == 1) {
    const double scale = pendingScale_;
    pendingScale_ = 0.0;
    resizePanel(scale);
  }
}

// ----------------------------------------------------------- the readout

int Editor::lfoReadout() const { return steps(zel()->getParameter(LfoMode), 3) != 0 ? LfoNum : LFORate; }

// The main time: the note fraction in beat mode (blinking while it runs
// past what the lines hold), milliseconds in time mode.
int Editor::mainTimeReadout(int& blinkSelector) const {
  const bool right = selectedSide_;
  if (steps(zel()->getParameter(right ? DlyModeR : DlyModeL), 2) == 1) {
    blinkSelector = right ? 2 : 1;
    return right ? DlyNumR : DlyNumL;
  }
  return right ? DlyTimeR : DlyTimeL;
}

int Editor::readoutChoice(int& blinkSelector) const {
  blinkSelector = 0;
  const bool right = selectedSide_;
  auto knobReadout = [right](int tag) -> int {
    switch (tag) {
      case 83: return right ? FbPanR : FbPanL;
      case 84: return right ? FbGainR : FbGainL;
      case 85: return right ? DlyPanR : DlyPanL;
      case 86: return right ? DlyGateR : DlyGateL;
      default: return tag;
    }
  };
  if (editingTag_ != -1) {
    switch (editingTag_) {
      case 10: return lfoReadout();
      case 76:
      case 77:
      case 90: return mainTimeReadout(blinkSelector);
      case 83:
      case 84:
      case 85:
      case 86: return knobReadout(editingTag_);
      default:
        for (int tag : kKnobOrder)
          if (tag == editingTag_ && tag < 83) return tag;
        return kTempoReadout;  // the display area itself (61) and everything else
    }
  }
  CPoint p;
  if (!frame || !frame->getCurrentMouseLocation(p)) return kTempoReadout;
  if (inside(p, 283, 75, 375, 140)) return lfoReadout();
  if (inside(p, 86, 50, 149, 134)) return mainTimeReadout(blinkSelector);
  if (inside(p, 86, 20, 149, 47)) {
    blinkSelector = right ? 16 : 8;
    return right ? PreNumR : PreNumL;
  }
  if (CView* under = frame->getViewAt(p)) {
    for (int tag : kKnobOrder)
      if (panelView(tag) == under) return knobReadout(tag);
  }
  return kTempoReadout;
}

void Editor::clearDisplay() {
  for (int tag : kPoints) setView(tag, 0.0f);
  for (int tag : kSlashes) setView(tag, 0.0f);
  for (int tag : kDigits) setView(tag, 0.0f);
}

void Editor::renderReadout(const ParameterReadout& readout) {
  auto firstDigit = [this](int frame) { setView(kDigits[0], static_cast<float>(frame) / 12.0f); };
  auto digit = [this](int which, int frame) { setView(kDigits[which], static_cast<float>(frame) / 10.0f); };

  if (readout.numerator != -1) {
    // A note fraction, e.g. 3/16: 3, blank, slash, 1, 6. Blank while blinking off.
    if (!displayVisible_) return;
    firstDigit(std::clamp(readout.numerator, 0, 9) + 1);
    setView(kSlashes[1], 1.0f);
    const int den = std::clamp(readout.denominator, 0, 99);
    if (den >= 10) digit(2, den / 10 + 1);
    digit(3, den % 10 + 1);
    return;
  }

  int d = readout.digits;
  int code = readout.decimalCode;
  if (readout.isSigned) {
    d /= 10;
    code = code + 1 > 3 ? 0 : code + 1;
    firstDigit(d < 0 ? 11 : 12);
    d = std::abs(d) % 1000;
  } else {
    firstDigit(std::clamp(d / 1000, 0, 9) + 1);
    d %= 1000;
  }
  d = std::abs(d);
  digit(1, d / 100 + 1);
  digit(2, (d % 100) / 10 + 1);
  digit(3, d % 10 + 1);
  if (readout.splitMode >= 1 && readout.splitMode <= 3) setView(kSlashes[readout.splitMode - 1], 1.0f);
  if (code >= 1 && code <= 3) setView(kPoints[code - 1], 1.0f);
}

// ------------------------------------------------------------- the meters

// A meter jumps up to a new peak at once and falls over its full scale in
// 500 ms; below -24 dB it shows its floor.
void Editor::updateMeters(uint32_t now) {
  float peaks[2] = {0.0f, 0.0f};
  zel()->readInputPeaks(peaks[0], peaks[1]);
  const float fall = static_cast<float>(now - meterTick_) / kMeterFallMs;
  for (int side = 0; side < 2; ++side) {
    const float peak = peaks[side];
    const float db = peak < kMeterFloor ? -kMeterRangeDb : std::min(20.0f * std::log10(peak), 0.0f);
    const float target = db / kMeterRangeDb + 1.0f;
    if (CControl* meter = panelView(side == 0 ? kMeterLeft : kMeterRight))
      meter->setValue(std::max(target, std::max(meter->getValue() - fall, 0.0f)));
  }
  meterTick_ = now;
}
