// What the panel and the program bar ask of the plug-in they edit, and all
// they ask: the editor holds nothing else of it. A plug-in format's adapter
// implements it (the VST 2.4 effect today), so the editor knows no format.
//
// Parameter indices: 0..59 are the host's parameters, 60..119 the controller
// assignment slots (one per parameter).
#pragma once

#include <cstdint>
#include <string>

#include "params/DelayTimeModel.h"
#include "params/ParameterText.h"
#include "state/FileLocations.h"
#include "state/UserImages.h"

namespace editor {

class EditorHost {
 public:
  // ---- parameters
  virtual float getParameter(int index) = 0;
  // A write that is no edit of the user's (an image's controller assignments):
  // the host is not told.
  virtual void setParameter(int index, float value) = 0;
  // The user's edit of a host parameter: a write inside a bracket the host
  // sees, so it can record automation.
  virtual void beginParameterEdit(int index) = 0;
  virtual void performParameterEdit(int index, float value) = 0;
  virtual void endParameterEdit(int index) = 0;
  // What the four-digit display shows for a parameter (61: the tempo).
  virtual void getParameterReadout(int index, params::ParameterReadout& readout) const = 0;
  // A parameter's value as hosts show it and its unit ("dB", "ms", or none),
  // into buffers of at least 16 bytes each.
  virtual void getParameterText(int index, char* display, char* label) = 0;

  // ---- the delay sides
  // Whether a side takes a range or time now, what a write settles, and what
  // the main-time arrows step.
  virtual const params::DelayTimeModel& delayTime(bool right) const = 0;
  // LINK: one side's mode, range, time and note value onto the other, as edits.
  virtual void copyChannelSettings(bool rightToLeft) = 0;
  // Whether the note value chosen for the lines runs past what they hold
  // (selector: 1 left, 2 right main time; 8 left, 16 right pre-delay).
  virtual bool syncRangeExceeded(int selector) const = 0;

  // ---- tempo and meters
  // The manual tempo as the panel's tempo control holds it: 0..1 for the
  // slowest to the fastest tempo.
  virtual double getManualTempo() const = 0;
  virtual void setManualTempo(double position) = 0;
  // Whether the host gives the tempo (the manual tempo then counts for nothing).
  virtual bool hostTimeActive() const = 0;
  virtual void readInputPeaks(float& left, float& right) = 0;

  // ---- the host's window
  // Asks for the editor's window at this size; false when the host refuses.
  virtual bool resizeEditorWindow(int width, int height) = 0;

  // ---- programs
  // Program `index`'s name, all 24 bytes and a terminator.
  virtual void copyProgramName(int index, char* name) = 0;
  virtual int getCurrentProgramIndex() = 0;
  virtual void selectProgram(int index) = 0;
  virtual void renameCurrentProgram(const char* name) = 0;

  // ---- files, defaults and memos (done by the plug-in: the panel only
  // picks the path)
  using FileKind = state::FileLocations::Kind;
  // Whether a file was read (an unrecognised image is read and ignored).
  virtual bool loadFile(FileKind kind, const std::string& path, bool reversed) = 0;
  // Whether the file now holds the new image.
  virtual bool saveFile(FileKind kind, const std::string& path) = 0;
  // The folder a file dialog opens in, and the name it offers.
  virtual std::string currentFolder() = 0;
  virtual std::string lastFileName(FileKind kind) = 0;
  virtual void storeUserImage(state::UserImage which) = 0;
  virtual void recallUserImage(state::UserImage which) = 0;
  virtual void removeUserImage(state::UserImage which) = 0;

  // ---- MIDI controllers
  virtual void startMidiLearn() = 0;
  virtual void stopMidiLearn() = 0;
  virtual void startMidiForget() = 0;
  virtual void stopMidiForget() = 0;
  // The controller assigned to a parameter, else kNoController.
  static constexpr int kNoController = 999;
  virtual int getControllerForParameter(int param) = 0;

 protected:
  ~EditorHost() = default;
};

}  // namespace editor
