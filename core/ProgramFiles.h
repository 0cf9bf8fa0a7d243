// The preset, bank and MIDI-settings files of the plug-in, and the user's
// defaults, memos and last file locations kept between sessions: loaders
// and writers of their images over the core's programs and controller map.
// The object lives as long as the core; a panel reaches it through its
// host's file commands, a test directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "state/FileLocations.h"
#include "state/ImageFormat.h"
#include "state/UserImages.h"

namespace core {

class PluginCore;

class ProgramFiles {
 public:
  using Kind = state::FileLocations::Kind;

  explicit ProgramFiles(PluginCore& core) : core_(core) {}
  // The file locations this instance changed are kept for the next instance.
  ~ProgramFiles();
  ProgramFiles(const ProgramFiles&) = delete;
  ProgramFiles& operator=(const ProgramFiles&) = delete;

  // The file images. A loader takes a buffer of its kind's full image size
  // (269, 16109 or 245 bytes) and ignores an image it does not recognise;
  // `reversed` is the user's request to take the numbers in the other byte
  // order. The loaders also take the older 48-parameter images, their
  // programs converted to the current parameter set. The store operations
  // fill a buffer of that size.
  void loadBankData(const uint8_t* buffer, bool reversed) { applyBankImage(buffer, reversed, true); }
  void loadPresetData(const uint8_t* buffer, bool reversed) { applyPresetImage(buffer, reversed, true); }
  void loadMidiData(const uint8_t* buffer, bool reversed) { applyMidiImage(buffer, reversed, true); }
  void storeBankData(uint8_t* buffer);
  void storePresetData(uint8_t* buffer);
  void storeMidiData(uint8_t* buffer);
  // The loaders' work. With `acceptOlder` the older 48-parameter images
  // are taken too (their programs converted); without, only the current ID.
  void applyPresetImage(const uint8_t* buffer, bool reversed, bool acceptOlder);
  void applyBankImage(const uint8_t* buffer, bool reversed, bool acceptOlder);
  void applyMidiImage(const uint8_t* buffer, bool reversed, bool acceptOlder);

  // The file commands, by path. A path's folder becomes the current folder
  // and its file name the kind's last name; a bare file name is looked up in
  // the current folder and changes neither. Loading returns whether a file
  // was read (an unrecognised image is read and ignored; an image cut short
  // of its length is refused whole and changes nothing); saving returns
  // whether the file now holds the new image. The working directory is never
  // changed, files are opened read-only for loading, and a save replaces the
  // old file only once the new one is complete.
  bool loadFile(Kind kind, const std::string& path, bool reversed);
  bool saveFile(Kind kind, const std::string& path);
  bool loadPresetFile(const std::string& path, bool reversed) { return loadFile(Kind::Preset, path, reversed); }
  bool savePresetFile(const std::string& path) { return saveFile(Kind::Preset, path); }
  bool loadBankFile(const std::string& path, bool reversed) { return loadFile(Kind::Bank, path, reversed); }
  bool saveBankFile(const std::string& path) { return saveFile(Kind::Bank, path); }
  bool loadMidiFile(const std::string& path, bool reversed) { return loadFile(Kind::Midi, path, reversed); }
  bool saveMidiFile(const std::string& path) { return saveFile(Kind::Midi, path); }

  // The user's defaults and memos, kept between sessions in the per-user
  // settings store and shared by all instances. Recalling reads the value
  // into a zeroed image and hands it to the loader whether or not it was
  // there: the loader ignores a zero image (and a bank load still selects
  // program 0). A stored image cut short is refused whole.
  void storeUserImage(state::UserImage which);
  void recallUserImage(state::UserImage which);
  void removeUserImage(state::UserImage which) { state::removeUserImage(which); }
  void storeDefaultBank() { storeUserImage(state::UserImage::DefaultBank); }
  void storeDefaultPreset() { storeUserImage(state::UserImage::DefaultPreset); }
  void storeDefaultMidi() { storeUserImage(state::UserImage::DefaultMidi); }
  void storeMemoA() { storeUserImage(state::UserImage::MemoA); }
  void storeMemoB() { storeUserImage(state::UserImage::MemoB); }
  void deleteDefaultBank() { removeUserImage(state::UserImage::DefaultBank); }
  void deleteDefaultPreset() { removeUserImage(state::UserImage::DefaultPreset); }
  void loadDefaultBank() { recallUserImage(state::UserImage::DefaultBank); }
  void loadDefaultPreset() { recallUserImage(state::UserImage::DefaultPreset); }
  void loadDefaultMidi() { recallUserImage(state::UserImage::DefaultMidi); }
  void recallMemoA() { recallUserImage(state::UserImage::MemoA); }
  void recallMemoB() { recallUserImage(state::UserImage::MemoB); }
  // A new instance starts with the user's default bank, then the default
  // preset over program 0 (so it wins over the bank's), the default MIDI
  // assignments and the last file locations.
  void loadStartupSettings();
  // Only the file locations this instance changed are written back, never
  // as empty.
  void saveFileLocations() { locations_.save(); }
  void loadFileLocations() { locations_.load(); }

  // The folder and each last file name hold at most this many bytes; a
  // longer chosen path is refused whole rather than cut into a wrong one.
  static constexpr std::size_t kMaxFolder = state::FileLocations::kMaxFolder;
  static constexpr std::size_t kMaxFileName = state::FileLocations::kMaxFileName;
  const std::string& currentFolder() const { return locations_.folder(); }
  const std::string& lastName(Kind kind) const { return locations_.lastName(kind); }
  const std::string& lastBankName() const { return lastName(Kind::Bank); }
  const std::string& lastPresetName() const { return lastName(Kind::Preset); }
  const std::string& lastMidiName() const { return lastName(Kind::Midi); }

 private:
  PluginCore& core_;
  state::FileLocations locations_;
};

}  // namespace core
