#include "toolkit/COptionMenu.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"

namespace toolkit {

namespace {
constexpr CColor kMenuBack{238, 238, 232, 255};
constexpr CColor kMenuText{24, 24, 24, 255};
constexpr CColor kMenuFrame{60, 60, 56, 255};
constexpr CColor kMenuHover{52, 92, 150, 255};
constexpr double kMarkWidth = 10;
constexpr double kPadding = 2;
}  // namespace

// The open list of a menu, shown over the panel as the frame's modal view.
class COptionMenuPopup : public CView {
 public:
  COptionMenuPopup(COptionMenu* menu, const CRect& size, int rows, double rowHeight, double columnWidth)
      : CView(size), menu_(menu), rows_(rows), rowHeight_(rowHeight), columnWidth_(columnWidth) {
    hover_ = menu->getCurrent();
  }

  int entryAt(const CPoint& p) const {
    if (!size_.pointInside(p)) return -1;
    const int column = static_cast<int>((p.x - size_.left - kPadding) / columnWidth_);
    const int row = static_cast<int>((p.y - size_.top - kPadding) / rowHeight_);
    if (column < 0 || row < 0 || row >= rows_) return -1;
    const int index = column * rows_ + row;
    if (index >= menu_->getNbEntries() || menu_->entries_[static_cast<std::size_t>(index)] == "-") return -1;
    return index;
  }

  void draw(CDrawContext* context) override {
    context->setFillColor(kMenuBack);
    context->setFrameColor(kMenuFrame);
    context->drawRect(size_, kDrawFilledAndStroked);
    context->setFont(menu_->getFont(), menu_->getFontSize());
    const int current = menu_->getCurrent();
    for (int i = 0; i < menu_->getNbEntries(); ++i) {
      const double x = size_.left + kPadding + (i / rows_) * columnWidth_;
      const double y = size_.top + kPadding + (i % rows_) * rowHeight_;
      const CRect cell(x, y, x + columnWidth_, y + rowHeight_);
      const std::string& title = menu_->entries_[static_cast<std::size_t>(i)];
      if (title == "-") {
        context->setFrameColor(kMenuFrame);
        const double mid = std::floor((cell.top + cell.bottom) / 2) + 0.5;
        context->drawLine(CPoint(cell.left + 2, mid), CPoint(cell.right - 2, mid));
        continue;
      }
      const bool hovered = i == hover_;
      if (hovered) {
        context->setFillColor(kMenuHover);
        context->fillRect(cell);
      }
      const CColor ink = hovered ? kWhiteCColor : kMenuText;
      if (i == current) {
        context->setFillColor(ink);
        const double d = std::min(5.0, rowHeight_ - 4);
        const double cy = (cell.top + cell.bottom) / 2;
        context->drawEllipse(CRect(cell.left + 3, cy - d / 2, cell.left + 3 + d, cy + d / 2), kDrawFilled);
      }
      context->setFontColor(ink);
      context->drawString(title.c_str(), CRect(cell.left + kMarkWidth, cell.top, cell.right - 2, cell.bottom),
                          kLeftText);
    }
    setDirty(false);
  }

  CMouseEventResult onMouseMoved(const CPoint& where, const CButtonState&) override {
    const int i = entryAt(where);
    if (i != hover_) {
      hover_ = i;
      invalid();
    }
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(const CPoint& where, const CButtonState& b) override { return onMouseMoved(where, b); }
  CMouseEventResult onMouseExited(const CPoint&, const CButtonState&) override {
    hover_ = -1;
    invalid();
    return kMouseEventHandled;
  }

  CMouseEventResult onMouseDown(const CPoint& where, const CButtonState& buttons) override {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventHandled;
    const int i = entryAt(where);
    if (i >= 0)
      menu_->choose(i);
    else
      close();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }

  bool onWheel(const CPoint&, float, const CButtonState&) override { return true; }

  int32_t onKeyDown(VstKeyCode& key) override {
    const int n = menu_->getNbEntries();
    switch (key.virt) {
      case VKEY_ESCAPE:
        close();
        return 1;
      case VKEY_RETURN:
      case VKEY_ENTER:
        if (hover_ >= 0)
          menu_->choose(hover_);
        else
          close();
        return 1;
      case VKEY_UP:
      case VKEY_DOWN: {
        const int step = key.virt == VKEY_UP ? -1 : 1;
        int i = hover_ < 0 ? (step > 0 ? -1 : n) : hover_;
        for (int k = 0; k < n; ++k) {
          i = (i + step + n) % n;
          if (menu_->entries_[static_cast<std::size_t>(i)] != "-") break;
        }
        hover_ = i;
        invalid();
        return 1;
      }
      default:
        return 1;  // the list holds the keyboard while open
    }
  }

  void close() {
    menu_->popup_ = nullptr;
    if (frame_ && frame_->getModalView() == this) frame_->setModalView(nullptr);
  }

  const char* getClassName() const override { return "COptionMenuPopup"; }
  CView* newCopy() const override { return nullptr; }

 private:
  COptionMenu* menu_;
  int rows_;
  double rowHeight_;
  double columnWidth_;
  int hover_ = -1;
};

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                         int32_t style)
    : CParamDisplay(size, background, style) {
  listener_ = listener;
  tag_ = tag;
  max_ = 0;
}

bool COptionMenu::addEntry(const char* title, int32_t index) {
  if (!title) return false;
  if (index < 0 || index >= getNbEntries())
    entries_.emplace_back(title);
  else
    entries_.insert(entries_.begin() + index, title);
  max_ = static_cast<float>(std::max<int32_t>(getNbEntries() - 1, 0));
  invalid();
  return true;
}

bool COptionMenu::setEntry(int32_t index, const char* title) {
  if (!title || index < 0 || index >= getNbEntries()) return false;
  entries_[static_cast<std::size_t>(index)] = title;
  invalid();
  return true;
}

bool COptionMenu::removeEntry(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  entries_.erase(entries_.begin() + index);
  max_ = static_cast<float>(std::max<int32_t>(getNbEntries() - 1, 0));
  bounceValue();
  invalid();
  return true;
}

void COptionMenu::removeAllEntry() {
  entries_.clear();
  max_ = 0;
  value_ = 0;
  invalid();
}

const char* COptionMenu::getEntry(int32_t index) const {
  if (index < 0 || index >= getNbEntries()) return nullptr;
  return entries_[static_cast<std::size_t>(index)].c_str();
}

bool COptionMenu::setCurrent(int32_t index) {
  if (index < 0 || index >= getNbEntries()) return false;
  value_ = static_cast<float>(index);
  invalid();
  return true;
}

int32_t COptionMenu::getCurrent() const {
  if (entries_.empty()) return -1;
  return std::clamp(static_cast<int32_t>(value_ + 0.5f), 0, getNbEntries() - 1);
}

void COptionMenu::draw(CDrawContext* context) {
  const char* title = getEntry(getCurrent());
  drawText(context, (style_ & kNoTextStyle) || !title ? "" : title);
  setDirty(false);
}

bool COptionMenu::isPopupOpen() const { return popup_ && frame_ && frame_->getModalView() == popup_; }

CMouseEventResult COptionMenu::onMouseDown(const CPoint&, const CButtonState& buttons) {
  if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
  if (!frame_ || entries_.empty() || frame_->getModalView()) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  // Measure the titles in the menu's font.
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  double widest = 0;
  {
    CDrawContext measure(scratch, 1.0);
    measure.setFont(font_, fontSize_);
    for (const std::string& e : entries_) widest = std::max(widest, measure.getStringWidth(e.c_str()));
  }
  cairo_surface_destroy(scratch);
  const CRect area = frame_->getViewSize();
  const int n = getNbEntries();
  const int rows = std::min(n, perColumn_);
  const int columns = (n + rows - 1) / rows;
  const double rowHeight = std::clamp(std::floor((area.height() - 2 * kPadding) / rows), 6.0, fontSize_ + 6);
  const double columnWidth = std::ceil(widest) + kMarkWidth + 6;
  const double w = std::min(columns * columnWidth + 2 * kPadding, area.width());
  const double h = std::min(rows * rowHeight + 2 * kPadding, area.height());
  // Below the menu if it fits, else above, else wherever it fits best.
  double x = std::clamp(size_.left, area.left, area.right - w);
  double y = size_.bottom;
  if (y + h > area.bottom) y = size_.top - h;
  if (y < area.top) y = std::clamp(size_.top - h / 2, area.top, area.bottom - h);
  x = std::round(x);
  y = std::round(y);
  auto* popup = new COptionMenuPopup(this, CRect(x, y, x + w, y + h), rows, rowHeight, columnWidth);
  if (!frame_->setModalView(popup)) {
    popup->forget();
  } else {
    popup_ = popup;
  }
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void COptionMenu::choose(int32_t index) {
  if (isPopupOpen()) static_cast<COptionMenuPopup*>(popup_)->close();
  popup_ = nullptr;
  if (index < 0 || index >= getNbEntries()) return;
  beginEdit();
  value_ = static_cast<float>(index);
  invalid();
  notify();
  endEdit();
}

}  // namespace toolkit
