// The editor's file commands: preset, bank and MIDI-settings files by path.
//
// The plug-in runs inside someone else's process, so it never changes the
// working directory: files are opened by their full path. Files are opened
// read-only for loading (shared preset folders and read-only media load
// too), and a save writes a temporary file beside the target and renames it
// into place, so a failed or interrupted save leaves the old file whole.
#include <vector>

#include "presets/CPresetSystemEditor.h"
#include "state/UserImages.h"

namespace presets {

using state::FileLocations;

// Only a regular file is read (a FIFO or device the user picks is refused at
// once), and no more of it than the image; an image cut short is refused.
bool CPresetSystemEditor::loadFile(const std::string& path, FileLocations::Kind kind, uint8_t type, Loader load,
                                   bool reversed) {
  if (path.empty() || !locations_.fits(path) || !host()) return false;
  const std::string file = locations_.remember(path, kind);
  std::vector<uint8_t> image;
  if (!state::readImageFile(file, type, static_cast<uint32_t>(host()->getPluginID()), image)) return false;
  (this->*load)(image.data(), reversed);
  return true;
}

bool CPresetSystemEditor::saveFile(const std::string& path, FileLocations::Kind kind, int size, Storer store) {
  if (path.empty() || !locations_.fits(path) || !host() || !host()->programs()) return false;
  const std::string file = locations_.remember(path, kind);
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  (this->*store)(image.data());
  return state::writeImageFile(file, image);
}

bool CPresetSystemEditor::loadPresetFile(const std::string& path, bool reversed) {
  return loadFile(path, FileLocations::Preset, state::kPresetType, &CPresetSystemEditor::loadPresetData, reversed);
}

bool CPresetSystemEditor::savePresetFile(const std::string& path) {
  return saveFile(path, FileLocations::Preset, state::kPresetImageSize, &CPresetSystemEditor::storePresetData);
}

bool CPresetSystemEditor::loadBankFile(const std::string& path, bool reversed) {
  return loadFile(path, FileLocations::Bank, state::kBankType, &CPresetSystemEditor::loadBankData, reversed);
}

bool CPresetSystemEditor::saveBankFile(const std::string& path) {
  return saveFile(path, FileLocations::Bank, state::kBankImageSize, &CPresetSystemEditor::storeBankData);
}

bool CPresetSystemEditor::loadMidiFile(const std::string& path, bool reversed) {
  return loadFile(path, FileLocations::Midi, state::kMidiType, &CPresetSystemEditor::loadMidiData, reversed);
}

bool CPresetSystemEditor::saveMidiFile(const std::string& path) {
  return saveFile(path, FileLocations::Midi, state::kMidiImageSize, &CPresetSystemEditor::storeMidiData);
}

}  // namespace presets
