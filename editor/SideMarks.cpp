#include "editor/SideMarks.h"

#include <cairo.h>

#include <algorithm>
#include <vector>

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

// All the marks in one view over the side section, so that the frame has a
// single view more to look at in each idle.
class SideMark : public CView {
 public:
  struct Group {
    CRect around;
    Owner owner;
  };

  explicit SideMark(std::vector<Group> groups) : CView(boundsOf(groups)), groups_(std::move(groups)) {
    setMouseEnabled(false);
  }

  void show(SideChoice sides) {
    sides_ = sides;
    setDirty(true);
  }

  // Four corner marks around each group; with both sides the left two in the
  // left colour and the right two in the right one.
  void draw(CDrawContext* context) override {
    const bool leftEdited = !sides_.right || sides_.linked, rightEdited = sides_.right || sides_.linked;
    for (const Group& g : groups_) {
      const bool left = g.owner != Owner::Right && leftEdited;
      const bool right = g.owner != Owner::Left && rightEdited;
      const double middle = (g.around.left + g.around.right) / 2;
      if (left && right) {
        corners(context, g.around, SideMarks::kLeftColour, g.around.left, middle);
        corners(context, g.around, SideMarks::kRightColour, middle, g.around.right);
      } else if (left || right) {
        corners(context, g.around, left ? SideMarks::kLeftColour : SideMarks::kRightColour, g.around.left,
                g.around.right);
      }
    }
    setDirty(false);
  }

  const char* getClassName() const override { return "SideMark"; }

 private:
  static CRect boundsOf(const std::vector<Group>& groups) {
    CRect bounds;
    for (const Group& g : groups) bounds = bounds.united(g.around);
    return bounds;
  }

  // The corners of r that lie between x = from and x = to.
  static void corners(CDrawContext* context, const CRect& r, const CColor& c, double from, double to) {
    cairo_t* cr = context->getCairo();
    cairo_save(cr);
    cairo_rectangle(cr, from, r.top, to - from, r.height());
    cairo_clip(cr);
    const double h = kLine / 2;
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
  }

  std::vector<Group> groups_;
  SideChoice sides_;
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
  mark_ = nullptr;
  fresh_ = true;
  if (!frame) return;
  std::vector<SideMark::Group> groups;
  for (const CRect& group : sideGroups()) groups.push_back({group, Owner::Both});
  groups.push_back({around(panel::findViewByTag(panel::kTagLeft)->rect), Owner::Left});
  groups.push_back({around(panel::findViewByTag(panel::kTagRight)->rect), Owner::Right});
  mark_ = new SideMark(std::move(groups));
  frame->addView(mark_);
}

void SideMarks::show(SideChoice sides) {
  if (!mark_ || (!fresh_ && sides.right == shown_.right && sides.linked == shown_.linked)) return;
  fresh_ = false;
  shown_ = sides;
  mark_->show(sides);
}

}  // namespace editor
