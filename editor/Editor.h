// The plug-in's editor: a fixed 942 x 171 panel. The object exists from the
// effect's construction; its window only between the host's open and close.
//
// The left part of the panel edits one delay side at a time: LEFT and RIGHT
// choose which side the fourteen side-dependent views show and edit, and LINK
// mirrors an edit of the selected side onto the other. The four-digit
// display shows the value under the mouse (or being dragged), the tempo
// otherwise; two LED meters show the input peaks.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/EditorHost.h"
#include "editor/PanelLayout.h"
#include "editor/PanelTooltips.h"
#include "editor/SideMarks.h"
#include "params/ParameterText.h"
#include "editor/programbar/CPresetSystemEditor.h"

class CHelp;

class Editor : public presets::CPresetSystemEditor {
 public:
  static constexpr int kWidth = 942;
  static constexpr int kHeight = 171;
  static constexpr int kBackgroundBitmap = 128;  // the front panel

  explicit Editor(editor::EditorHost* host);
  ~Editor() override;

  bool getRect(editor::PanelRect** rect) override;
  // The window: the panel's 63 views on the panel picture in the host's
  // parent window, with the program bar below; closed again by close().
  bool open(void* parent) override;
  void close() override;
  // Shows changes from the effect, the display and the meters.
  void idle() override;
  // A parameter changed, from whatever thread and source: the view showing
  // it follows at the next idle. Nothing is written back.
  void setParameter(int32_t index, float value) override;

  // F1 opens help at the section under the pointer; other keys go to the
  // views.
  bool onKeyDown(toolkit::VstKeyCode key) override;
  const editor::PanelTooltips& tooltips() const { return tooltips_; }

  // The panel's controls report here.
  void valueChanged(toolkit::CControl* control) override;
  void controlBeginEdit(toolkit::CControl* control) override;
  void controlEndEdit(toolkit::CControl* control) override;
  // A double-click on a knob, or a right-click on the main time or the
  // pre-delay (arrows or area), opens a field over it for a typed value;
  // answers 1 when one opened.
  int32_t controlModifierClicked(toolkit::CControl* control, toolkit::CButtonState buttons) override;

  // From the effect (any thread): the LINK state after a program change, and
  // each tempo update.
  virtual void setLinked(bool on);
  virtual void tempoChanged(double bpm);

  bool isLinked() const { return link_; }
  bool selectedSide() const { return selectedSide_; }  // false: left
  int editingTag() const { return editingTag_; }
  // The panel view with this tag while the window is open, else null.
  toolkit::CControl* panelView(int32_t tag) const;

  // The display scale the panel is (or will next be) drawn at: the user's
  // stored choice, else the host's content scale, GDK_SCALE, the X server's
  // Xft.dpi, else 1.
  double panelScale();
  // A content scale the host hands over (any factor; the nearest of 1, 1.5
  // and 2 is used).
  void setContentScale(float factor);

  // The millisecond clock of blinking, meter fall and help fades.
  using Clock = uint32_t (*)();
  void setClock(Clock clock) { clock_ = clock; }

 private:
  void createViews();
  void updateRect(double scale);
  void choosePanelSize(int entry);
  void resizePanel(double scale);

  // Synchronisation between the views and the effect.
  int sideParameter(int32_t tag) const;
  int otherParameter(int32_t tag) const;
  void writeBracketed(int index, float value);
  void writeSideView(int32_t tag, float value);
  bool writeDelayTimeView(int32_t tag, float value);
  void writeModeSwitch(float value);
  void writeRangeSwitch(float value);
  void writeMainTimeArea(float value);
  void writeLfoRateArea(float value);
  void stepKickButton(int32_t tag, float stepSize);
  void selectSide(bool right);
  void showParameters(bool sideViewsOnly);
  void showParameter(int index, float value);
  void changeLink(float value, bool copyModifier);
  void copySideToOther();
  void setView(int32_t tag, float value);
  void applyPendingChanges();

  // Typed values: the text of a field that opened over the view with this
  // tag (a knob, the main-time area, PRE TIME NUM for the pre-delay).
  void applyTypedValue(int32_t tag, const std::string& text);
  void typeTime(int32_t tag, const std::string& text);

  // A side view's edit: the parameters it opened with the host, so that its
  // end closes exactly those, whatever LINK did in between.
  struct SideEdit {
    int32_t tag;
    int depth;  // begins not yet ended (a wheel turn during the drag nests one)
    std::array<int, 2> indices;
    int opened;
  };
  SideEdit* sideEditOf(int32_t tag);
  void openSideIndex(SideEdit& edit, int index);
  void closeSideEdit(int32_t tag);
  void closeSideEdits();

  // The display and the meters.
  int readoutChoice(int& blinkSelector) const;
  int readoutOf(const editor::panel::View& v, int& blinkSelector) const;
  int mainTimeReadout(int& blinkSelector) const;
  int lfoReadout() const;
  void clearDisplay();
  void renderReadout(const params::ParameterReadout& readout);
  void updateMeters(uint32_t now);

  editor::PanelRect rect_{0, 0, kHeight, kWidth};
  double scale_ = 0.0;         // 0 until chosen; chosen again at each open
  double hostScale_ = 0.0;     // the host's content scale, 0 for none
  double pendingScale_ = 0.0;  // a size chosen from the menu, applied at idle
  bool selectedSide_ = false;  // false: left
  std::atomic<bool> link_{false};
  int editingTag_ = -1;
  std::vector<SideEdit> sideEdits_;
  bool displayVisible_ = true;
  Clock clock_;
  uint32_t blinkTick_;
  uint32_t meterTick_;

  std::array<toolkit::CControl*, editor::panel::kTagCount> views_{};
  CHelp* help_ = nullptr;
  editor::PanelTooltips tooltips_;
  editor::SideMarks sideMarks_;

  // Values from the effect waiting for the next idle, one bit per parameter,
  // and the link and tempo changes likewise.
  std::array<std::atomic<float>, 60> pendingValues_{};
  std::atomic<uint64_t> pendingMask_{0};
  std::atomic<bool> linkChanged_{false};
  std::atomic<double> pendingTempo_{-1.0};
};
