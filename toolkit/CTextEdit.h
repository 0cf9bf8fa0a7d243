// A single line of editable text. A left click takes the keyboard focus (the
// window asks the system for it, so that keys reach us and not the host's
// shortcuts); typing inserts at the cursor; Backspace, Delete, Left, Right,
// Home and End edit and move. Enter or losing the focus commits: the focus
// goes back and the listener hears of a changed text. Escape restores the
// text as it was and gives the focus back without a report.
#pragma once

#include <string>

#include "toolkit/CParamDisplay.h"

namespace toolkit {

class CTextEdit : public CParamDisplay {
 public:
  static constexpr std::size_t kMaxLength = 255;  // bytes of UTF-8

  CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const char* text = nullptr,
            CBitmap* background = nullptr, int32_t style = 0);

  void setText(const char* text);
  const std::string& getText() const { return text_; }
  void getText(char* out) const;  // at most kMaxLength + 1 bytes

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(VstKeyCode& key) override;
  void takeFocus() override;
  void looseFocus() override;

  bool isEditing() const { return editing_; }
  std::size_t getCursor() const { return cursor_; }

  TOOLKIT_CLASS_METHODS(CTextEdit, CParamDisplay)

 private:
  std::string text_;
  std::string before_;  // the text when editing began
  std::size_t cursor_ = 0;  // byte offset
  bool editing_ = false;
  bool cancelled_ = false;
};

}  // namespace toolkit
