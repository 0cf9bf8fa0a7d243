// The four-digit display and the input meters, refreshed at every idle.
//
// The display shows the value of what is being dragged, else of what the
// mouse rests on, else the tempo. Digit 1 has 13 frames (blank, 0-9, minus,
// plus), digits 2-4 have 11 (blank, 0-9); a point or slash mark is lit at 1.
#include <algorithm>
#include <cmath>

#include "editor/CHelp.h"
#include "editor/Editor.h"
#include "editor/PanelLayout.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "toolkit/CFrame.h"

using namespace params;
using namespace toolkit;
namespace panel = editor::panel;

namespace {

using enum panel::Tag;

constexpr int kTempoReadout = 61;  // the readout index of the tempo
constexpr uint32_t kBlinkMs = 250;
constexpr float kMeterFallMs = 500.0f;
const float kMeterFloor = std::pow(10.0f, -1.2f);
constexpr float kMeterRangeDb = 24.0f;

}  // namespace

// One pass per host idle: the changes from the effect, the user's events,
// the display and the meters they lead to, all drawn at once; then the
// program bar, whose changes show at the next idle.
void Editor::idle() {
  applyPendingChanges();
  if (frame) frame->handleEvents();
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
    host()->getParameterReadout(index, readout);
    if (blinkSelector == 0 || !host()->syncRangeExceeded(blinkSelector)) {
      displayVisible_ = true;
    } else if (now - blinkTick_ > kBlinkMs) {
      displayVisible_ = !displayVisible_;
      blinkTick_ = now;
    }
    renderReadout(readout);
    updateMeters(now);
    const editor::SideChoice sides{selectedSide_, link_};
    sideMarks_.show(sides);
    tooltips_.idle(now, [this, sides](int tag) { return editor::tooltipText(*host(), tag, sides); });
    frame->update();
  }
  refreshBar();
  // A new size rebuilds the window: only here, with no event of the old
  // frame still being handled.
  if (frame && pendingScale_ > 0.0) {
    const double scale = pendingScale_;
    pendingScale_ = 0.0;
    resizePanel(scale);
  }
}

// ----------------------------------------------------------- the readout

int Editor::lfoReadout() const { return steps(host()->getParameter(LfoMode), 3) != 0 ? LfoNum : LFORate; }

// The main time: the note fraction in beat mode (blinking while it runs
// past what the lines hold), milliseconds in time mode.
int Editor::mainTimeReadout(int& blinkSelector) const {
  const bool right = selectedSide_;
  if (steps(host()->getParameter(right ? DlyModeR : DlyModeL), 2) == 1) {
    blinkSelector = right ? 2 : 1;
    return right ? DlyNumR : DlyNumL;
  }
  return right ? DlyTimeR : DlyTimeL;
}

// The readout index a view shows on the display.
int Editor::readoutOf(const panel::View& v, int& blinkSelector) const {
  const bool right = selectedSide_;
  switch (v.readout) {
    case panel::Readout::Tempo: break;
    case panel::Readout::Parameter: return v.side && right ? v.paramRight : v.paramLeft;
    case panel::Readout::PreTime: blinkSelector = right ? 16 : 8; return right ? PreNumR : PreNumL;
    case panel::Readout::MainTime: return mainTimeReadout(blinkSelector);
    case panel::Readout::Lfo: return lfoReadout();
  }
  return kTempoReadout;
}

// What is being dragged, else the block or view the mouse rests on, else
// the tempo.
int Editor::readoutChoice(int& blinkSelector) const {
  blinkSelector = 0;
  if (editingTag_ != -1) {
    const panel::View* edited = panel::findViewByTag(editingTag_);
    return edited ? readoutOf(*edited, blinkSelector) : kTempoReadout;
  }
  CPoint p;
  if (!frame || !frame->getCurrentMouseLocation(p)) return kTempoReadout;
  if (const panel::View* block = panel::hoverViewAt(p.x, p.y)) return readoutOf(*block, blinkSelector);
  if (CView* under = frame->getViewAt(p)) {
    for (const panel::View& v : panel::views())
      if (v.readout != panel::Readout::Tempo && panelView(v.tag) == under) return readoutOf(v, blinkSelector);
  }
  return kTempoReadout;
}

void Editor::clearDisplay() {
  for (int i = 0; i < panel::kDisplayDigits - 1; ++i) setView(kTagPoint1 + i, 0.0f);
  for (int i = 0; i < panel::kDisplayDigits - 1; ++i) setView(kTagSlash1 + i, 0.0f);
  for (int i = 0; i < panel::kDisplayDigits; ++i) setView(kTagDigit1 + i, 0.0f);
}

void Editor::renderReadout(const ParameterReadout& readout) {
  auto firstDigit = [this](int frame) { setView(kTagDigit1, static_cast<float>(frame) / 12.0f); };
  auto digit = [this](int which, int frame) { setView(kTagDigit1 + which, static_cast<float>(frame) / 10.0f); };

  if (readout.numerator != -1) {
    // A note fraction, e.g. 3/16: 3, blank, slash, 1, 6. Blank while blinking off.
    if (!displayVisible_) return;
    firstDigit(std::clamp(readout.numerator, 0, 9) + 1);
    setView(kTagSlash1 + 1, 1.0f);
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
  if (readout.splitMode >= 1 && readout.splitMode <= 3) setView(kTagSlash1 + readout.splitMode - 1, 1.0f);
  if (code >= 1 && code <= 3) setView(kTagPoint1 + code - 1, 1.0f);
}

// ------------------------------------------------------------- the meters

// A meter jumps up to a new peak at once and falls over its full scale in
// 500 ms; below -24 dB it shows its floor.
void Editor::updateMeters(uint32_t now) {
  float peaks[2] = {0.0f, 0.0f};
  host()->readInputPeaks(peaks[0], peaks[1]);
  const float fall = static_cast<float>(now - meterTick_) / kMeterFallMs;
  for (int side = 0; side < 2; ++side) {
    const float peak = peaks[side];
    const float db = peak < kMeterFloor ? -kMeterRangeDb : std::min(20.0f * std::log10(peak), 0.0f);
    const float target = db / kMeterRangeDb + 1.0f;
    if (CControl* meter = panelView(side == 0 ? kTagMeterLeft : kTagMeterRight))
      meter->setValue(std::max(target, std::max(meter->getValue() - fall, 0.0f)));
  }
  meterTick_ = now;
}
