#include "editor/Editor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "editor/CAbout.h"
#include "editor/CHelp.h"
#include "editor/CInvisibleSlider.h"
#include "editor/CSizeMenu.h"
#include "editor/PanelLayout.h"
#include "editor/PanelPictures.h"
#include "editor/PanelScale.h"
#include "editor/ZELAnimKnob.h"
#include "editor/ZELKickButton.h"
#include "editor/ZELOnOffButton.h"
#include "editor/ZELSwitch.h"
#include "editor/ZELSwitchVert.h"
#include "platform/SettingsStore.h"
#include "platform/TickCount.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/CMovieBitmap.h"
#include "toolkit/ServerDpi.h"

using namespace toolkit;
namespace panel = editor::panel;

namespace {

constexpr int kHelpPages = 154;
constexpr int kHelpButton = 155;
constexpr const char* kScaleValue = "UiScale";

CRect rectOf(const panel::Rect& r) { return {double(r.left), double(r.top), double(r.right), double(r.bottom)}; }

}  // namespace

Editor::Editor(editor::EditorHost* host) : CPresetSystemEditor(host), clock_(platform::tickCount) {
  editor::usePanelPictures();
  blinkTick_ = meterTick_ = clock_();
  setKnobMode(kLinearMode);
}

Editor::~Editor() = default;

// Hosts size their window from this before they open the editor: it already
// has the scale that open will use.
bool Editor::getRect(editor::PanelRect** rect) {
  if (!rect) return false;
  if (!frame) updateRect(panelScale());
  *rect = &rect_;
  return true;
}

double Editor::panelScale() {
  if (scale_ > 0.0) return scale_;
  editor::ScaleHints hints;
  platform::SettingsStore::forUser().readText(kScaleValue, hints.stored, 8);
  hints.hostFactor = hostScale_;
  if (const char* gdk = std::getenv("GDK_SCALE")) hints.gdkScale = gdk;
  hints.serverDpi = toolkit::serverDpi();
  scale_ = editor::choosePanelScale(hints);
  return scale_;
}

void Editor::setContentScale(float factor) {
  hostScale_ = factor;
  if (!frame) {
    scale_ = 0.0;  // chosen again at the next rectangle query or open
    return;
  }
  const double was = scale_;
  scale_ = 0.0;
  const double wanted = panelScale();
  scale_ = was;
  if (wanted != was) pendingScale_ = wanted;
}

void Editor::updateRect(double scale) {
  rect_.right = static_cast<int16_t>(std::ceil(kWidth * scale));
  rect_.bottom = static_cast<int16_t>(std::ceil(kHeight * scale));
}

// A size chosen from the menu is the user's choice from now on, in every
// instance; the panel takes it at the next idle.
void Editor::choosePanelSize(int entry) {
  const double chosen = editor::kPanelScales[std::clamp(entry, 0, 2)];
  platform::SettingsStore::forUser().writeText(kScaleValue, editor::panelScaleText(chosen));
  if (chosen != scale_) pendingScale_ = chosen;
}

// The host is asked for a window of the new size; one that refuses keeps
// the panel as it is until the editor is next opened.
void Editor::resizePanel(double scale) {
  const editor::PanelRect before = rect_;
  updateRect(scale);
  if (!host()->resizeEditorWindow(rect_.right, rect_.bottom)) {
    rect_ = before;
    return;
  }
  void* parent = systemWindow;
  close();
  scale_ = scale;
  open(parent);
}

CControl* Editor::panelView(int32_t tag) const {
  return tag >= 0 && tag < panel::kTagCount ? views_[static_cast<size_t>(tag)] : nullptr;
}

// ------------------------------------------------------------------ window

bool Editor::open(void* parent) {
  if (frame) close();
  FrameEditor::open(parent);
  displayVisible_ = true;
  const double scale = panelScale();
  updateRect(scale);
  auto* f = new CFrame(CRect(0, 0, kWidth, kHeight), parent, this, scale);
  if (!f->isOpen()) {
    f->forget();
    systemWindow = nullptr;
    return false;
  }
  auto* background = new CBitmap(kBackgroundBitmap, f->getScale());
  f->setBackground(background);
  background->forget();
  frame = f;
  // What the effect said before the window existed is in the values read now.
  pendingMask_ = 0;
  linkChanged_ = false;
  pendingTempo_ = -1.0;
  createViews();
  // The program bar goes on top of the panel's own views, the tooltip above all.
  CPresetSystemEditor::open(parent);
  tooltips_.open(frame);
  // Linear knobs, whatever mode the host asked for.
  setKnobMode(kLinearMode);
  return true;
}

// The views of the panel table in row order, each with its initial value.
void Editor::createViews() {
  const double scale = frame->getScale();
  std::map<int, CBitmap*> bitmaps;
  for (const panel::Bitmap& b : panel::bitmaps()) bitmaps[b.id] = new CBitmap(b.id, scale);
  auto* sizeMenu = new CSizeMenu(CRect(0, 0, kWidth, kHeight), this, panel::kTagSizeMenu);
  frame->addView(sizeMenu);
  views_[panel::kTagSizeMenu] = sizeMenu;
  sideMarks_.open(frame);

  for (const panel::View& v : panel::views()) {
    const CRect r = rectOf(v.rect);
    CBitmap* bitmap = v.bitmap ? bitmaps[v.bitmap] : nullptr;
    const panel::Bitmap* layout = v.bitmap ? panel::findBitmap(v.bitmap) : nullptr;
    const double frameHeight = layout ? layout->frameHeight : 0.0;
    const int frames = layout ? layout->frames : 0;
    CControl* control = nullptr;
    switch (v.viewClass) {
      case panel::ViewClass::AnimKnob: {
        const panel::Rect d = panel::knobDrawRect(v, layout->frameHeight);
        control = new ZELAnimKnob(r, this, v.tag, panel::kKnobFrames, frameHeight, bitmap,
                                  CPoint(panel::kKnobSourceOffset, panel::kKnobSourceOffset), rectOf(d));
        control->setWheelInc(panel::kKnobWheelIncrement);
        break;
      }
      case panel::ViewClass::OnOffButton: control = new ZELOnOffButton(r, this, v.tag, bitmap); break;
      case panel::ViewClass::Switch:
        control = new ZELSwitch(r, this, v.tag, frames, frameHeight, v.positions, bitmap, CPoint());
        break;
      case panel::ViewClass::SwitchVert:
        control = new ZELSwitchVert(r, this, v.tag, frames, frameHeight, v.positions, bitmap, CPoint());
        break;
      case panel::ViewClass::MovieBitmap:
        control = new CMovieBitmap(r, this, v.tag, frames, frameHeight, bitmap);
        break;
      case panel::ViewClass::KickButton: control = new ZELKickButton(r, this, v.tag, frameHeight, bitmap, CPoint()); break;
      case panel::ViewClass::InvisibleSlider: control = new CInvisibleSlider(r, this, v.tag); break;
      case panel::ViewClass::About:
        control = new CAbout(r, this, v.tag, bitmap, CRect(0, 0, kWidth, kHeight), CPoint(0, 0),
                             CPoint(panel::kVersionX, panel::kVersionY));
        break;
      case panel::ViewClass::Help: {
        auto* help = new CHelp(r, this, v.tag, bitmaps[kHelpPages], bitmaps[kHelpButton]);
        help_ = help;
        control = help;
        break;
      }
    }
    if (v.hasDefault) control->setDefaultValue(v.defaultValue);
    frame->addView(control);
    // The two side plates share their tag; either one opens the about picture.
    if (!views_[static_cast<size_t>(v.tag)]) views_[static_cast<size_t>(v.tag)] = control;
  }
  // Every view holds its own references now.
  for (auto& [id, bitmap] : bitmaps) bitmap->forget();

  // Initial values: the effect's parameters (the selected side's for the
  // side-dependent views), the link flag, the side buttons, the hot areas
  // as square roots, the meters empty.
  editor::EditorHost& effect = *host();
  showParameters(false);
  setView(panel::kTagLink, link_ ? 1.0f : 0.0f);
  setView(panel::kTagLeft, selectedSide_ ? 1.0f : 0.0f);
  setView(panel::kTagRight, selectedSide_ ? 0.0f : 1.0f);
  setView(panel::kTagTempoArea, static_cast<float>(std::sqrt(effect.getManualTempo())));
  setView(panel::kTagMeterLeft, 0.0f);
  setView(panel::kTagMeterRight, 0.0f);
}

// What the user has under way ends before the window goes, whoever closes
// it: a program name being typed is kept, and every edit a drag opened with
// the host is ended (a host in touch or latch automation would otherwise
// keep the parameter held).
void Editor::close() {
  if (frame) frame->finishGestures();
  closeSideEdits();
  tooltips_.close();
  sideMarks_.close();
  CPresetSystemEditor::close();
  views_.fill(nullptr);
  help_ = nullptr;
  editingTag_ = -1;
  pendingScale_ = 0.0;
  FrameEditor::close();
  scale_ = 0.0;  // the next open looks at the hints again
}

bool Editor::onKeyDown(VstKeyCode key) {
  if (FrameEditor::onKeyDown(key)) return true;
  if ((key.virt != VKEY_F1 && key.virt != VKEY_HELP) || !frame || !help_) return false;
  CPoint where(-1, -1);  // outside every section: the invitation page
  frame->getCurrentMouseLocation(where);
  return help_->openAt(where);
}

void Editor::setView(int32_t tag, float value) {
  if (CControl* control = panelView(tag)) control->setValue(value);
}

