// The editor half of the preset system: the file images of presets, banks
// and MIDI settings, the file commands and the per-user defaults. The object
// lives as long as the effect, with or without a window.
#pragma once

#include <cstdint>
#include <string>

#include "vst/AEffEditor.h"

namespace presets {

class CPresetSystemEffect;

constexpr int kPresetImageSize = 269;
constexpr int kBankImageSize = 16109;
constexpr int kMidiImageSize = 245;

class CPresetSystemEditor : public vst::AEffEditor {
 public:
  explicit CPresetSystemEditor(CPresetSystemEffect* effect);
  ~CPresetSystemEditor() override;

  // Notification of every parameter change from the effect (index 0..119).
  virtual void setParameter(int32_t index, float value);

  virtual void releaseLearnButton();
  virtual void releaseForgetButton();
  virtual void showProgramName(const char* name);
  virtual void loadStartupSettings();
  virtual void loadBankData(const uint8_t* buffer, bool reversed);
  virtual void storeBankData(uint8_t* buffer);
  virtual void loadPresetData(const uint8_t* buffer, bool reversed);
  virtual void storePresetData(uint8_t* buffer);
  virtual void loadMidiData(const uint8_t* buffer, bool reversed);
  virtual void storeMidiData(uint8_t* buffer);

  const std::string& currentFolder() const { return currentFolder_; }

 protected:
  CPresetSystemEffect* presetEffect() { return presetEffect_; }

  CPresetSystemEffect* presetEffect_;
  std::string currentFolder_;
  std::string lastBankName_;
  std::string lastPresetName_;
  std::string lastMidiName_;
};

}  // namespace presets
