// Typed values: a field over a knob or the main-time area takes a value in
// the unit its value text shows, and the editor writes what the text asks
// for, each parameter in an edit bracket of its own.
#include "editor/Editor.h"
#include "editor/PanelLayout.h"
#include "editor/TypedValueField.h"
#include "params/TypedValue.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

using namespace toolkit;
namespace panel = editor::panel;

// The knobs take a double-click: its first click writes nothing. The
// main-time area takes a right-click instead, as every click of its left
// button writes the time, and so do the arrows beside it.
int32_t Editor::controlModifierClicked(CControl* control, CButtonState buttons) {
  if (!frame || !host() || !control) return 0;
  const int32_t tag = control->getTag();
  const panel::View* view = panel::findViewByTag(tag);
  const bool knob = view && view->viewClass == panel::ViewClass::AnimKnob && (buttons & kDoubleClick);
  const bool mainTime = tag == panel::kTagMainTimeArea && (buttons & kButtonsMask) == kRButton;
  if (!knob && !mainTime) return 0;
  auto* field = new TypedValueField(control->getViewSize(), kWidth, panel::kHelpHeight,
                                    [this, tag](const std::string& text) { applyTypedValue(tag, text); });
  frame->addView(field);
  frame->setFocusView(field);
  return 1;
}

// A knob's typed value goes the way of a wheel notch: the knob's own edit
// bracket (both sides' parameters for a side knob with LINK on), its report,
// and the link rule.
void Editor::applyTypedValue(int32_t tag, const std::string& text) {
  if (!frame || !host()) return;
  if (tag == panel::kTagMainTimeArea) {
    typeMainTime(text);
    return;
  }
  CControl* knob = panelView(tag);
  const std::optional<float> value = params::typedValue(sideParameter(tag), text);
  if (!knob || !value) return;
  knob->setValue(*value);
  knob->beginEdit();
  knob->invalid();
  valueChanged(knob);
  knob->endEdit();
}

// In time mode the range and then the time; in note mode the numerator and
// the denominator. LINK hands the whole delay time on to the other side.
void Editor::typeMainTime(const std::string& text) {
  editor::EditorHost& effect = *host();
  const bool noteMode = !effect.delayTime(selectedSide_).timeMode();
  const auto writes = params::typedDelayTime(selectedSide_ ? 1 : 0, noteMode, text);
  if (!writes) return;
  for (const params::ParameterValue& w : *writes) writeBracketed(w.index, w.value);
  if (link_) effect.copyChannelSettings(selectedSide_);
}
