#include "editor/SideMarks.h"

#include <cairo.h>

#include <algorithm>

#include "editor/PanelLayout.h"
#include "toolkit/CDrawContext.h"
#include "toolkit/CFrame.h"
#include "toolkit/CView.h"

using namespace toolkit;
namespace panel = editor::panel;

namespace editor {

namespace {
constexpr double kMargin = 2.0;  // from the controls to the marks' outer edge
constexpr double kLine = 1.5;
// Corners only: the arms stay clear of the captions and legends printed
// beside the controls' middles.
constexpr double kUpright = 6.0;
constexpr double kAcross = 4.0;

enum class Owner { Both, Left, Right };  // a group of side views, or a side button
}  // namespace

class SideMark : public CView {
 public:
  SideMark(const CRect& around, Owner owner) : CView(around), owner_(owner) {
    setMouseEnabled(false);
    setVisible(false);
  }

  void show(SideChoice sides) {
    const bool left = owner_ != Owner::Right && (!sides.right || sides.linked);
    const bool right = owner_ != Owner::Left && (sides.right || sides.linked);
    if (left == left_ && right == right_ && isVisible() == (left || right)) return;
    left_ = left;
    right_ = right;
    setVisible(left || right);
    setDirty(true);
  }

  // Four corner marks; with both sides the left two in the left colour and
  // the right two in the right one.
  void draw(CDrawContext* context) override {
    cairo_t* cr = context->getCairo();
    const CRect& r = size_;
    const double h = kLine / 2;
    auto outline = [&](const CColor& c, double from, double to) {
      cairo_save(cr);
      cairo_rectangle(cr, from, r.top, to - from, r.height());
      cairo_clip(cr);
      const double x0 = r.left + h, y0 = r.top + h, x1 = r.right - h, y1 = r.bottom - h;
      const double up = std::min(kUpright, r.height() / 3), across = std::min(kAcross, r.width() / 3);
      for (const double x : {x0, x1})
        for (const double y : {y0, y1}) {
          const double dx = x == x0 ? across : -across, dy = y == y0 ? up : -up;
          cairo_move_to(cr, x, y + dy);
          cairo_line_to(cr, x, y);
          cairo_line_to(cr, x + dx, y);
        }
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
      cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
      cairo_set_line_width(cr, kLine);
      cairo_stroke(cr);
      cairo_restore(cr);
    };
    const double middle = (r.left + r.right) / 2;
    if (left_ && right_) {
      outline(SideMarks::kLeftColour, r.left, middle);
      outline(SideMarks::kRightColour, middle, r.right);
    } else {
      outline(left_ ? SideMarks::kLeftColour : SideMarks::kRightColour, r.left, r.right);
    }
    setDirty(false);
  }

  const char* getClassName() const override { return "SideMark"; }

 private:
  Owner owner_;
  bool left_ = false, right_ = false;
};

namespace {

CRect around(const panel::Rect& r) {
  return {r.left - kMargin, r.top - kMargin, r.right + kMargin, r.bottom + kMargin};
}

// The side views' outlines; views whose outlines would touch share one.
std::vector<CRect> sideGroups() {
  std::vector<CRect> groups;
  for (const panel::View& v : panel::views())
    if (v.side) groups.push_back(around(v.rect));
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t i = 0; i < groups.size() && !merged; ++i)
      for (size_t j = i + 1; j < groups.size() && !merged; ++j)
        if (groups[i].rectOverlap(groups[j])) {
          groups[i] = groups[i].united(groups[j]);
          groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
        }
  }
  return groups;
}

}  // namespace

void SideMarks::open(CFrame* frame) {
  marks_.clear();
  if (!frame) return;
  auto add = [&](SideMark* mark) {
    frame->addView(mark);
    marks_.push_back(mark);
  };
  for (const CRect& group : sideGroups()) add(new SideMark(group, Owner::Both));
  add(new SideMark(around(panel::findViewByTag(panel::kTagLeft)->rect), Owner::Left));
  add(new SideMark(around(panel::findViewByTag(panel::kTagRight)->rect), Owner::Right));
}

void SideMarks::show(SideChoice sides) {
  for (SideMark* mark : marks_) mark->show(sides);
}

}  // namespace editor
