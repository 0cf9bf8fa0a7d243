// Where the file commands work: the current folder and the last file name
// of each kind, kept between sessions in the per-user settings store and
// shared by all instances.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace state {

class FileLocations {
 public:
  enum Kind { Bank = 1, Preset = 2, Midi = 3 };

  // The folder and each last file name hold at most this many bytes; a
  // longer chosen path is refused whole rather than cut into a wrong one.
  static constexpr std::size_t kMaxFolder = 4096;
  static constexpr std::size_t kMaxFileName = 256;

  // The working directory is the folder until the stored locations are loaded.
  FileLocations();

  const std::string& folder() const { return texts_[0]; }
  const std::string& lastName(Kind kind) const { return texts_[kind]; }

  // Whether the path's folder and file name fit the limits above.
  bool fits(const std::string& path) const;
  // The folder of a chosen path becomes the current folder and its file
  // name the kind's last name; a bare file name lies in the current folder
  // and changes neither. Returns the path to open.
  std::string remember(const std::string& path, Kind kind);

  // Writes back only the locations this instance changed, never an empty
  // one; a missing stored value reads as an empty text.
  void save();
  void load();

 private:
  // The folder, then the last bank, preset and MIDI-settings names.
  std::array<std::string, 4> texts_;
  // The same as this instance found them (in the store, else the working
  // directory).
  std::array<std::string, 4> found_;
};

}  // namespace state
