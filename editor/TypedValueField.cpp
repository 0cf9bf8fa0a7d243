#include "editor/TypedValueField.h"

#include <algorithm>

#include "toolkit/CFont.h"
#include "toolkit/CFrame.h"

using namespace toolkit;

namespace {

constexpr double kWidth = 56;
constexpr double kHeight = 16;
constexpr CColor kInk{20, 20, 18, 255};
constexpr CColor kPaper{236, 234, 222, 255};

CRect centredOver(const CRect& control, double panelWidth, double panelHeight) {
  const double cx = (control.left + control.right) / 2, cy = (control.top + control.bottom) / 2;
  const double left = std::clamp(cx - kWidth / 2, 0.0, panelWidth - kWidth);
  const double top = std::clamp(cy - kHeight / 2, 0.0, panelHeight - kHeight);
  return CRect(left, top, left + kWidth, top + kHeight);
}

}  // namespace

// The field reports to itself: its edit brackets carry no parameter tag (-1),
// so the toolkit tells no host of them; the writes the text asks for are the
// editor's, each in a bracket of its own.
TypedValueField::TypedValueField(const CRect& control, double panelWidth, double panelHeight, Commit commit,
                                 Closed closed)
    : CTextEdit(centredOver(control, panelWidth, panelHeight), nullptr, -1),
      commit_(std::move(commit)),
      closed_(std::move(closed)) {
  listener_ = this;
  setFont(kNormalFontSmall);
  setHoriAlign(kCenterText);
  setFontColor(kInk);
  setFrameColor(kInk);
  setBackColor(kPaper);
}

void TypedValueField::valueChanged(CControl*) {
  if (commit_) commit_(getText());
}

// Committed or cancelled, the field has done its work. Removing it retires
// it; the frame frees it once the event that got here is over.
void TypedValueField::looseFocus() {
  CTextEdit::looseFocus();
  if (closed_) closed_();
  if (frame_ && frame_->isChild(this)) frame_->removeView(this);
}
