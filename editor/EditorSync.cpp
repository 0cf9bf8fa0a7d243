// The panel and the effect's parameters in step, both ways: control moves
// become automated writes (with the link onto the other side where LINK is
// on), and changes from the host, MIDI or a program reach the views.
#include <cmath>

#include "editor/Editor.h"
#include "editor/PanelLayout.h"
#include "editor/ZELKickButton.h"
#include "editor/ZELOnOffButton.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "params/Tempo.h"
#include "toolkit/CControl.h"

using namespace params;
using namespace toolkit;
namespace panel = editor::panel;
using enum panel::Tag;

namespace {

// Normalised LFORate of 0.01 Hz: ln 1.01 / ln 16.
const float kSlowestLfoRate = static_cast<float>(std::log(1.01) / std::log(16.0));
const double kLfoRateScale = 1.0 / std::log(16.0);

bool mirrored(int32_t tag) { return tag == kTagFbPan || tag == kTagDlyPan; }

}  // namespace

// --------------------------------------------------------- side parameters

int Editor::sideParameter(int32_t tag) const {
  const panel::View* v = panel::findViewByTag(tag);
  if (!v) return -1;
  return v->side && selectedSide_ ? v->paramRight : v->paramLeft;
}

int Editor::otherParameter(int32_t tag) const {
  const panel::View* v = panel::findViewByTag(tag);
  if (!v || !v->side) return -1;
  return selectedSide_ ? v->paramLeft : v->paramRight;
}

void Editor::writeBracketed(int index, float value) {
  host()->beginParameterEdit(index);
  host()->performParameterEdit(index, value);
  host()->endParameterEdit(index);
}

// ----------------------------------------------------------- from controls

void Editor::valueChanged(CControl* control) {
  CPresetSystemEditor::valueChanged(control);
  if (!control || !host()) return;
  const int32_t tag = control->getTag();
  const float v = control->getValue();
  if (tag >= presets::kTagProgramName) return;
  editor::EditorHost& effect = *host();
  switch (tag) {
    case kTagFbPan:
    case kTagFbGain:
    case kTagDlyPan:
    case kTagDlyGate:
    case kTagFbInv:
    case kTagDlyInv:
    case kTagMuteIn: writeSideView(tag, v); break;
    case kTagModeSwitch: writeModeSwitch(v); break;
    case kTagRangeSwitch: writeRangeSwitch(v); break;
    case kTagMainTimeArea: writeMainTimeArea(v); break;
    case kTagPreNum:
    case kTagPreDen:
    case kTagMainNum:
    case kTagMainDen:
    case kTagLfoNum:
    case kTagLfoDen: stepKickButton(tag, static_cast<ZELKickButton*>(control)->getStepSize()); break;
    case kTagLeft: selectSide(false); break;
    case kTagRight: selectSide(true); break;
    case kTagLink: changeLink(v, static_cast<ZELOnOffButton*>(control)->getCopyModifier() != 0); break;
    case kTagLfoRateArea: writeLfoRateArea(v); break;
    case kTagSizeMenu: choosePanelSize(static_cast<int>(v + 0.5f)); break;
    case kTagTempoArea:
      // While the host gives the tempo the display area sets none.
      if (!effect.hostTimeActive()) effect.setManualTempo(static_cast<float>(v * v));
      break;
    default:
      if (params::isHostParameter(tag)) effect.performParameterEdit(tag, v);
      break;
  }
}

void Editor::writeSideView(int32_t tag, float value) {
  host()->performParameterEdit(sideParameter(tag), value);
  if (!link_) return;
  const int other = otherParameter(tag);
  // LINK came on (from a program the host chose) after the drag began: the
  // other side's writes get their bracket now.
  if (SideEdit* edit = sideEditOf(tag)) openSideIndex(*edit, other);
  host()->performParameterEdit(other, mirrored(tag) ? 1.0f - value : value);
}

// MODE, RANGE and the main-time hot area write the selected side's delay
// time where the side takes the value (in beat mode the tempo sets range and
// time); the views then show what the write settled, or snap back to the
// value that stands. Returns whether the value was written.
bool Editor::writeDelayTimeView(int32_t tag, float value) {
  editor::EditorHost& effect = *host();
  const params::DelayTimeModel& side = effect.delayTime(selectedSide_);
  const int index = sideParameter(tag);
  const bool taken = side.takesPanelWrite(index);
  if (taken) {
    effect.performParameterEdit(index, value);
    for (const ParameterValue& settled : side.settledBy(index)) showParameter(settled.index, settled.value);
  } else {
    showParameter(index, effect.getParameter(index));
  }
  if (link_) effect.copyChannelSettings(selectedSide_);
  return taken;
}

void Editor::writeModeSwitch(float value) { writeDelayTimeView(kTagModeSwitch, value); }

void Editor::writeRangeSwitch(float value) {
  if (!writeDelayTimeView(kTagRangeSwitch, value)) return;
  if (CControl* s = panelView(kTagRangeSwitch)) s->invalid();
}

// The hot area's value squared, to the nearest 0.001, is the delay time.
// (Cutting down to the thousandth would lose one to float rounding: 0.7
// squared is 0.48999998, and must write 0.49.)
void Editor::writeMainTimeArea(float value) {
  const float squared = value * value;
  writeDelayTimeView(kTagMainTimeArea, std::round(squared * 1000.0f) / 1000.0f);
}

// The coarse control of a free LFO's rate; a synchronised LFO's rate comes
// from its note value, so the area snaps back.
void Editor::writeLfoRateArea(float value) {
  editor::EditorHost& effect = *host();
  if (steps(effect.getParameter(LfoMode), 3) != 0) {
    setView(kTagLfoRateArea, std::sqrt(effect.getParameter(LFORate)));
    return;
  }
  effect.performParameterEdit(LFORate, std::max(static_cast<float>(value * value), kSlowestLfoRate));
}

void Editor::stepKickButton(int32_t tag, float stepSize) {
  editor::EditorHost& effect = *host();
  switch (tag) {
    case kTagPreNum:
    case kTagPreDen: {
      const bool numerator = tag == kTagPreNum;
      const int side = sideParameter(tag);
      const float value = stepped(effect.getParameter(side), numerator ? 6 : 13, stepSize);
      writeBracketed(side, value);
      if (link_) {
        // The other side takes this side's whole fraction.
        const int partner = sideParameter(numerator ? kTagPreDen : kTagPreNum);
        writeBracketed(otherParameter(tag), value);
        writeBracketed(otherParameter(numerator ? kTagPreDen : kTagPreNum), effect.getParameter(partner));
      }
      break;
    }
    case kTagMainNum:
    case kTagMainDen: {
      // The side's mode decides what the arrows step: the time or the note value.
      const ParameterValue click = effect.delayTime(selectedSide_).arrowClick(tag == kTagMainNum, stepSize);
      writeBracketed(click.index, click.value);
      if (link_) effect.copyChannelSettings(selectedSide_);
      break;
    }
    case kTagLfoNum:
    case kTagLfoDen: {
      const bool down = tag == kTagLfoNum;
      if (steps(effect.getParameter(LfoMode), 3) != 0) {
        const int index = down ? LfoNum : LfoDen;
        writeBracketed(index, stepped(effect.getParameter(index), down ? 5 : 13, stepSize));
        break;
      }
      // A free LFO moves by 0.001 Hz per click, whatever the step size.
      double hz = std::pow(16.0, effect.getParameter(LFORate)) - 1.0;
      if (down) {
        hz = std::max(hz - 0.001, 0.01);
      } else {
        hz += 0.001;
        hz = hz > 15.0 ? 15.0 : (hz < 0.011 ? 0.011 : hz);
      }
      writeBracketed(LFORate, static_cast<float>(std::log(1.0 + hz) * kLfoRateScale));
      break;
    }
    default: break;
  }
}

// ----------------------------------------------------------------- sides

void Editor::selectSide(bool right) {
  setView(right ? kTagRight : kTagLeft, 0.0f);
  if (selectedSide_ == right) return;
  selectedSide_ = right;
  showParameters(true);
  setView(right ? kTagLeft : kTagRight, 1.0f);
}

namespace {

// The parameter a view shows with this side selected; -1 for none. The kick
// buttons are momentary and read their parameter at each click.
int shownParameter(const panel::View& v, bool right) {
  if (v.viewClass == panel::ViewClass::KickButton) return -1;
  return v.side && right ? v.paramRight : v.paramLeft;
}

// A hot area shows the square root of its parameter (the fine end of the
// range gets more travel); every other view the value itself.
float shownValue(const panel::View& v, float value) {
  return v.viewClass == panel::ViewClass::InvisibleSlider ? std::sqrt(value) : value;
}

}  // namespace

// The views show the effect's values (the selected side's for the
// side-dependent ones); nothing is written.
void Editor::showParameters(bool sideViewsOnly) {
  if (!frame || !host()) return;
  for (const panel::View& v : panel::views()) {
    const int index = shownParameter(v, selectedSide_);
    if (index < 0 || (sideViewsOnly && !v.side)) continue;
    setView(v.tag, shownValue(v, host()->getParameter(index)));
  }
}

// The views that show this parameter with the selected side take value.
void Editor::showParameter(int index, float value) {
  for (const panel::View& v : panel::views())
    if (shownParameter(v, selectedSide_) == index) setView(v.tag, shownValue(v, value));
}

// LINK: a plain click switches the link; a Control- or right-click turns it
// on (whichever way the picture toggled) and copies the selected side onto
// the other.
void Editor::changeLink(float value, bool copyModifier) {
  if (steps(value, 2) == 0 && !copyModifier) {
    link_ = false;
    return;
  }
  link_ = true;
  if (copyModifier) copySideToOther();
}

void Editor::copySideToOther() {
  struct Pair {
    int left, right;
    bool mirror;
  };
  static constexpr Pair kPairs[] = {
      {FbGainL, FbGainR, false}, {FbPanL, FbPanR, true},     {DlyPanL, DlyPanR, true},   {DlyGateL, DlyGateR, false},
      {FbInvL, FbInvR, false},   {MuteInL, MuteInR, false},  {DlyInvL, DlyInvR, false},  {DlyModeL, DlyModeR, false},
      {RangeL, RangeR, false},   {DlyNumL, DlyNumR, false},  {DlyDenL, DlyDenR, false},  {DlyTimeL, DlyTimeR, false},
      {PreNumL, PreNumR, false}, {PreDenL, PreDenR, false}};
  for (const Pair& p : kPairs) {
    const int from = selectedSide_ ? p.right : p.left;
    const int to = selectedSide_ ? p.left : p.right;
    const float value = host()->getParameter(from);
    writeBracketed(to, p.mirror ? 1.0f - value : value);
  }
}

// ------------------------------------------------------------ edit brackets

// The side views' edits name the real parameters; the toolkit passes only
// host parameter tags on by itself. Hosts expect every automated write inside
// a bracket of its own index, so the knobs and buttons whose link writes the
// other side bracket that one too; the mode, range and time views leave the
// other side to the channel copy, which brackets its own writes.
namespace {
bool linkWritesOther(int32_t tag) {
  return (tag >= kTagFbPan && tag <= kTagDlyGate) || tag == kTagFbInv || tag == kTagDlyInv || tag == kTagMuteIn;
}
bool sideEdit(int32_t tag) {
  return linkWritesOther(tag) || tag == kTagModeSwitch || tag == kTagRangeSwitch || tag == kTagMainTimeArea;
}
}  // namespace

void Editor::controlBeginEdit(CControl* control) {
  const int32_t tag = control->getTag();
  editingTag_ = tag;
  if (!sideEdit(tag)) return;
  if (SideEdit* edit = sideEditOf(tag)) {
    ++edit->depth;
    return;
  }
  sideEdits_.push_back({tag, 1, {}, 0});
  openSideIndex(sideEdits_.back(), sideParameter(tag));
  if (link_ && linkWritesOther(tag)) openSideIndex(sideEdits_.back(), otherParameter(tag));
}

void Editor::controlEndEdit(CControl* control) {
  const int32_t tag = control->getTag();
  if (tag == editingTag_) editingTag_ = -1;
  SideEdit* edit = sideEditOf(tag);
  if (edit && --edit->depth == 0) closeSideEdit(tag);
}

Editor::SideEdit* Editor::sideEditOf(int32_t tag) {
  for (SideEdit& edit : sideEdits_)
    if (edit.tag == tag) return &edit;
  return nullptr;
}

void Editor::openSideIndex(SideEdit& edit, int index) {
  for (int i = 0; i < edit.opened; ++i)
    if (edit.indices[static_cast<size_t>(i)] == index) return;
  if (index < 0 || edit.opened == static_cast<int>(edit.indices.size())) return;
  edit.indices[static_cast<size_t>(edit.opened++)] = index;
  host()->beginParameterEdit(index);
}

// Ends the other side first, as it was opened last.
void Editor::closeSideEdit(int32_t tag) {
  for (auto it = sideEdits_.begin(); it != sideEdits_.end(); ++it) {
    if (it->tag != tag) continue;
    const SideEdit edit = *it;
    sideEdits_.erase(it);
    for (int i = edit.opened - 1; i >= 0; --i) host()->endParameterEdit(edit.indices[static_cast<size_t>(i)]);
    return;
  }
}

void Editor::closeSideEdits() {
  while (!sideEdits_.empty()) closeSideEdit(sideEdits_.back().tag);
}

// ------------------------------------------------------------- from effect

// Any thread may call these (automation and MIDI arrive on the audio
// thread): the views take the values at the next idle, on the editor's own
// thread.
void Editor::setParameter(int32_t index, float value) {
  if (!params::isHostParameter(index) || index >= 60) return;
  pendingValues_[static_cast<size_t>(index)].store(value, std::memory_order_relaxed);
  pendingMask_.fetch_or(uint64_t{1} << index, std::memory_order_release);
}

void Editor::setLinked(bool on) {
  link_ = on;
  linkChanged_ = true;
}

void Editor::tempoChanged(double bpm) { pendingTempo_ = bpm; }

void Editor::applyPendingChanges() {
  if (!frame) return;
  uint64_t mask = pendingMask_.exchange(0, std::memory_order_acquire);
  while (mask) {
    const int index = __builtin_ctzll(mask);
    mask &= mask - 1;
    showParameter(index, pendingValues_[static_cast<size_t>(index)].load(std::memory_order_relaxed));
  }
  if (linkChanged_.exchange(false)) setView(kTagLink, link_ ? 1.0f : 0.0f);
  const double bpm = pendingTempo_.exchange(-1.0);
  if (bpm > 0.0) setView(kTagTempoArea, static_cast<float>(std::sqrt(manualOfTempo(bpm))));
}
