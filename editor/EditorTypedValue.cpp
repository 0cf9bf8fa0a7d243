// Typed values: a field over a knob or a delay time takes a value in the
// unit its value text shows, and the editor writes what the text asks for,
// each parameter in an edit bracket of its own.
#include "editor/Editor.h"
#include "editor/PanelLayout.h"
#include "editor/TypedValueField.h"
#include "params/TypedValue.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

using namespace toolkit;
namespace panel = editor::panel;
using enum panel::Tag;

namespace {

// The field's text goes to the view of the tag that stands for the time a
// right-click was made on: the main time (its arrows and the area between
// them) or the pre-delay (its arrows); -1 for any other.
int32_t typedTimeOf(int32_t tag) {
  switch (tag) {
    case kTagMainTimeArea: case kTagMainNum: case kTagMainDen: return kTagMainTimeArea;
    case kTagPreNum: case kTagPreDen: return kTagPreNum;
    default: return -1;
  }
}

}  // namespace

// The knobs take a double-click: its first click writes nothing. The delay
// times take a right-click instead, as every click of the left button on
// their arrows and areas writes; the field opens over the middle of the time.
int32_t Editor::controlModifierClicked(CControl* control, CButtonState buttons) {
  if (!frame || !host() || !control) return 0;
  int32_t tag = control->getTag();
  const panel::View* view = panel::findViewByTag(tag);
  CRect over = control->getViewSize();
  if ((buttons & kButtonsMask) == kRButton && typedTimeOf(tag) >= 0) {
    tag = typedTimeOf(tag);
    const CControl* first = panelView(tag == kTagPreNum ? kTagPreNum : kTagMainNum);
    const CControl* last = panelView(tag == kTagPreNum ? kTagPreDen : kTagMainDen);
    if (first && last) over = CRect(first->getViewSize().left, over.top, last->getViewSize().right, over.bottom);
  } else if (!(view && view->viewClass == panel::ViewClass::AnimKnob && (buttons & kDoubleClick))) {
    return 0;
  }
  // While the field is open the display shows the value it replaces, as it
  // does during a drag.
  auto* field = new TypedValueField(
      over, kWidth, panel::kHelpHeight, [this, tag](const std::string& text) { applyTypedValue(tag, text); },
      [this, tag] {
        if (editingTag_ == tag) editingTag_ = -1;
      });
  frame->addView(field);
  frame->setFocusView(field);
  editingTag_ = tag;
  return 1;
}

// A knob's typed value goes the way of a wheel notch: the knob's own edit
// bracket (both sides' parameters for a side knob with LINK on), its report,
// and the link rule.
void Editor::applyTypedValue(int32_t tag, const std::string& text) {
  if (!frame || !host()) return;
  if (typedTimeOf(tag) >= 0) {
    typeTime(tag, text);
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

// The main time writes its range and time (time mode) or its note value
// (note mode), and LINK hands the whole delay time on to the other side. The
// pre-delay writes its note value, and LINK the same on the other side.
void Editor::typeTime(int32_t tag, const std::string& text) {
  editor::EditorHost& effect = *host();
  const int side = selectedSide_ ? 1 : 0;
  const bool main = tag == kTagMainTimeArea;
  const auto writes = main ? params::typedDelayTime(side, !effect.delayTime(selectedSide_).timeMode(), text)
                           : params::typedPreDelay(side, text);
  if (!writes) return;
  for (const params::ParameterValue& w : *writes) writeBracketed(w.index, w.value);
  if (!link_) return;
  if (main) {
    effect.copyChannelSettings(selectedSide_);
    return;
  }
  writeBracketed(otherParameter(kTagPreNum), writes->values[0].value);
  writeBracketed(otherParameter(kTagPreDen), writes->values[1].value);
}
