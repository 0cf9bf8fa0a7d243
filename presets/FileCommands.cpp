// The editor's file commands: preset, bank and MIDI-settings files by path.
//
// The plug-in runs inside someone else's process, so it never changes the
// working directory: files are opened by their full path. Files are opened
// read-only for loading (shared preset folders and read-only media load
// too), and a save writes a temporary file beside the target and renames it
// into place, so a failed or interrupted save leaves the old file whole.
#include <optional>
#include <vector>

#include "platform/AtomicFile.h"
#include "presets/CPresetSystemEditor.h"

namespace presets {

// The folder of a chosen path becomes the current folder and its file name
// the kind's last name; a bare file name lies in the current folder and
// changes neither. Returns the path to open.
std::string CPresetSystemEditor::rememberPath(const std::string& path, std::string& lastName) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    if (currentFolder_.empty() || currentFolder_.back() == '/') return currentFolder_ + path;
    return currentFolder_ + '/' + path;
  }
  currentFolder_ = path.substr(0, slash + 1);
  lastName = path.substr(slash + 1);
  return path;
}

bool CPresetSystemEditor::fitsPathParts(const std::string& path) const {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path.size() <= kMaxFileName;
  return slash + 1 <= kMaxFolder && path.size() - slash - 1 <= kMaxFileName;
}

// Only a regular file is read (a FIFO or device the user picks is refused at
// once), and no more of it than the image; an image cut short is refused.
bool CPresetSystemEditor::loadFile(const std::string& path, std::string& lastName, uint8_t type, Loader load,
                                   bool reversed) {
  if (path.empty() || !fitsPathParts(path) || !host()) return false;
  const std::string file = rememberPath(path, lastName);
  std::vector<uint8_t> image(static_cast<size_t>(imageSize(type, ImageLayout{})), 0);
  const std::optional<size_t> length = platform::readFileInto(file, image.data(), image.size());
  if (!length || isCutShort(image.data(), *length, static_cast<uint32_t>(host()->getPluginID()), type))
    return false;
  (this->*load)(image.data(), reversed);
  return true;
}

bool CPresetSystemEditor::saveFile(const std::string& path, std::string& lastName, int size, Storer store) {
  if (path.empty() || !fitsPathParts(path) || !host() || !host()->programs()) return false;
  const std::string file = rememberPath(path, lastName);
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  (this->*store)(image.data());
  return platform::replaceFile(file, image.data(), image.size());
}

bool CPresetSystemEditor::loadPresetFile(const std::string& path, bool reversed) {
  return loadFile(path, lastPresetName_, kPresetType, &CPresetSystemEditor::loadPresetData, reversed);
}

bool CPresetSystemEditor::savePresetFile(const std::string& path) {
  return saveFile(path, lastPresetName_, kPresetImageSize, &CPresetSystemEditor::storePresetData);
}

bool CPresetSystemEditor::loadBankFile(const std::string& path, bool reversed) {
  return loadFile(path, lastBankName_, kBankType, &CPresetSystemEditor::loadBankData, reversed);
}

bool CPresetSystemEditor::saveBankFile(const std::string& path) {
  return saveFile(path, lastBankName_, kBankImageSize, &CPresetSystemEditor::storeBankData);
}

bool CPresetSystemEditor::loadMidiFile(const std::string& path, bool reversed) {
  return loadFile(path, lastMidiName_, kMidiType, &CPresetSystemEditor::loadMidiData, reversed);
}

bool CPresetSystemEditor::saveMidiFile(const std::string& path) {
  return saveFile(path, lastMidiName_, kMidiImageSize, &CPresetSystemEditor::storeMidiData);
}

}  // namespace presets
