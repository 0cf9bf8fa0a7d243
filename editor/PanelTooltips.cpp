#include "editor/PanelTooltips.h"

#include "platform/SettingsStore.h"
#include "toolkit/CControl.h"
#include "toolkit/CFrame.h"

using namespace toolkit;

namespace editor {

void PanelTooltips::open(CFrame* frame) {
  close();
  std::string setting;
  enabled_ = !(platform::SettingsStore::forUser().readText(kSettingName, setting, 8) &&
               (setting.starts_with("0") || setting.starts_with("off")));
  if (!frame || !enabled_) return;
  frame_ = frame;
  label_ = new CTooltip();
  frame_->addView(label_);
  frame_->setPointerListener([this](CFrame::PointerNews news) { pointerNews(news == CFrame::PointerNews::Pressed); });
  delay_ = HoverDelay(kDelayMs);
  outside_ = false;
}

void PanelTooltips::close() {
  if (frame_) frame_->setPointerListener(nullptr);
  frame_ = nullptr;
  label_ = nullptr;
}

void PanelTooltips::pointerNews(bool pressed) {
  if (pressed) {
    delay_.press();
  } else {
    outside_ = frame_->getCurrentMouseLocation(leftAt_);
  }
  label_->hide();
}

void PanelTooltips::idle(uint32_t now, const TextOf& textOf) {
  if (!label_) return;
  CControl* target = nullptr;
  CPoint p;
  if (frame_->getCurrentMouseLocation(p) && !(outside_ && p == leftAt_)) {
    outside_ = false;
    if (!frame_->getModalView() && frame_->getViewSize().pointInside(p))
      target = dynamic_cast<CControl*>(frame_->getViewAt(p));
  }
  if (!delay_.rest(target, now)) {
    label_->hide();
    return;
  }
  const std::string text = textOf(target->getTag());
  if (text.empty())
    label_->hide();
  else
    label_->show(text, target->getViewSize());
}

}  // namespace editor
