// The field that opens over a knob or the main-time area for a typed value:
// it starts empty with the keyboard focus; Enter hands the text to the
// editor, Escape closes it without a word, and either way (or when a click
// elsewhere takes the focus) it leaves the panel.
#pragma once

#include <functional>
#include <string>

#include "toolkit/CTextEdit.h"

class TypedValueField : public toolkit::CTextEdit, private toolkit::CControlListener {
 public:
  using Commit = std::function<void(const std::string& text)>;
  using Closed = std::function<void()>;

  // Placed centred over `control` (frame pixels), within the panel's width
  // and the height above the program bar. `closed` is told after the commit
  // or the cancel.
  TypedValueField(const toolkit::CRect& control, double panelWidth, double panelHeight, Commit commit, Closed closed);

  void looseFocus() override;

  TOOLKIT_CLASS_METHODS(TypedValueField, toolkit::CTextEdit)

 private:
  void valueChanged(toolkit::CControl* control) override;

  Commit commit_;
  Closed closed_;
};
