// The plug-in's editor: a fixed 942 x 171 panel. The object exists from the
// effect's construction; its window only between the host's open and close.
#pragma once

#include "presets/CPresetSystemEditor.h"

class ZEL;

class Editor : public presets::CPresetSystemEditor {
 public:
  static constexpr int kWidth = 942;
  static constexpr int kHeight = 171;
  static constexpr int kBackgroundBitmap = 128;  // the front panel

  explicit Editor(ZEL* effect);
  ~Editor() override;

  bool getRect(vst::ERect** rect) override;
  // The window: a frame of kWidth x kHeight in the host's parent window with
  // the panel picture as its background; closed again by close().
  bool open(void* parent) override;
  void close() override;
  void idle() override;
  void setParameter(int32_t index, float value) override;

  // The loaders also take the older 48-parameter images, their programs
  // converted to the current parameter set.
  void loadBankData(const uint8_t* buffer, bool reversed) override;
  void loadPresetData(const uint8_t* buffer, bool reversed) override;
  void loadMidiData(const uint8_t* buffer, bool reversed) override;

  // From the effect: the LINK state after a program change, and each tempo update.
  virtual void setLinked(bool on);
  virtual void tempoChanged(double bpm);

  bool isLinked() const { return link_; }
  bool selectedSide() const { return selectedSide_; }

 private:
  vst::ERect rect_{0, 0, kHeight, kWidth};
  bool selectedSide_ = false;  // false: left
  bool link_ = false;
  int editingTag_ = -1;
};
