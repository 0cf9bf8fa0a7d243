// The plug-in's loaders and writers of the preset, bank and MIDI-settings
// images (their layout and coding: state/ImageFormat.h), the file commands
// and the user's stored images.
//
// The plug-in runs inside someone else's process, so it never changes the
// working directory: files are opened by their full path. Files are opened
// read-only for loading (shared preset folders and read-only media load
// too), and a save writes a temporary file beside the target and renames it
// into place, so a failed or interrupted save leaves the old file whole.
#include "core/ProgramFiles.h"

#include <cstring>
#include <vector>

#include "core/PluginCore.h"
#include "params/ParameterTable.h"

namespace core {

namespace {

constexpr auto kOwnId = static_cast<uint32_t>(PluginCore::kPluginId);

bool recognised(const uint8_t* image, uint8_t type, bool acceptOlder, bool reversed, state::ImageLayout& layout) {
  return state::recogniseImage(image, kOwnId, type, acceptOlder, reversed, layout) == state::ImageCheck::Recognised;
}

// A name field need not end in a zero: make a terminated copy.
void terminatedName(const state::ProgramRecord& record, char (&name)[state::kNameSize + 1]) {
  std::memcpy(name, record.name, state::kNameSize);
  name[state::kNameSize] = 0;
}

// Each kind of image: its type byte, its size, and its loader and writer.
struct ImageKind {
  uint8_t type;
  int size;
  void (ProgramFiles::*load)(const uint8_t*, bool);
  void (ProgramFiles::*store)(uint8_t*);
};

const ImageKind& imageKind(ProgramFiles::Kind kind) {
  static const ImageKind kBank{state::kBankType, state::kBankImageSize, &ProgramFiles::loadBankData,
                               &ProgramFiles::storeBankData};
  static const ImageKind kPreset{state::kPresetType, state::kPresetImageSize, &ProgramFiles::loadPresetData,
                                 &ProgramFiles::storePresetData};
  static const ImageKind kMidi{state::kMidiType, state::kMidiImageSize, &ProgramFiles::loadMidiData,
                               &ProgramFiles::storeMidiData};
  return kind == ProgramFiles::Kind::Bank ? kBank : (kind == ProgramFiles::Kind::Midi ? kMidi : kPreset);
}

ProgramFiles::Kind kindOf(state::UserImage which) {
  switch (which) {
    case state::UserImage::DefaultBank: return ProgramFiles::Kind::Bank;
    case state::UserImage::DefaultMidi: return ProgramFiles::Kind::Midi;
    default: return ProgramFiles::Kind::Preset;
  }
}

}  // namespace

ProgramFiles::~ProgramFiles() { saveFileLocations(); }

// ------------------------------------------------------------------ images

void ProgramFiles::applyPresetImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  if (!buffer) return;
  const int current = core_.currentProgram();
  state::ImageLayout layout;
  if (!recognised(buffer, state::kPresetType, acceptOlder, reversed, layout)) return;

  state::ProgramRecord& record = core_.programs()[current];
  state::decodePresetImage(buffer, layout, record);

  char name[state::kNameSize + 1];
  terminatedName(record, name);
  core_.showProgramName(name);
  core_.renameCurrentProgram(name);
  core_.selectProgram(current);
}

void ProgramFiles::applyBankImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  if (!buffer) return;
  // Program 0 becomes current whether or not the image is taken.
  core_.selectProgram(0);
  state::ImageLayout layout;
  if (!recognised(buffer, state::kBankType, acceptOlder, reversed, layout)) return;

  decodeBankImage(buffer, layout, core_.programs());
  core_.showProgramNames();

  char name[state::kNameSize + 1];
  terminatedName(core_.programs()[0], name);
  core_.showProgramName(name);
  core_.selectProgram(0);
}

// Each value goes through the core's setParameter 60..119, which decodes it
// into the controller map. An older image leaves the assignments of
// parameters 48..59 as they were.
void ProgramFiles::applyMidiImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  if (!buffer) return;
  state::ImageLayout layout;
  if (!recognised(buffer, state::kMidiType, acceptOlder, reversed, layout)) return;
  float assignments[params::kNumParams];
  const int count = state::decodeMidiImage(buffer, layout, assignments);
  for (int i = 0; i < count; ++i) core_.setParameter(params::kNumParams + i, assignments[i]);
}

void ProgramFiles::storePresetData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, state::kPresetImageSize);
  encodePresetImage(buffer, kOwnId, core_.programs()[core_.currentProgram()]);
}

void ProgramFiles::storeBankData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, state::kBankImageSize);
  encodeBankImage(buffer, kOwnId, core_.programs());
}

void ProgramFiles::storeMidiData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, state::kMidiImageSize);
  float assignments[params::kNumParams];
  for (int i = 0; i < params::kNumParams; ++i) assignments[i] = core_.getParameter(params::kNumParams + i);
  state::encodeMidiImage(buffer, kOwnId, assignments);
}

// ------------------------------------------------------------------- files

// Only a regular file is read (a FIFO or device the user picks is refused at
// once), and no more of it than the image; an image cut short is refused.
bool ProgramFiles::loadFile(Kind kind, const std::string& path, bool reversed) {
  if (path.empty() || !locations_.fits(path)) return false;
  const ImageKind& image = imageKind(kind);
  const std::string file = locations_.remember(path, kind);
  std::vector<uint8_t> bytes;
  if (!state::readImageFile(file, image.type, kOwnId, bytes)) return false;
  (this->*image.load)(bytes.data(), reversed);
  return true;
}

bool ProgramFiles::saveFile(Kind kind, const std::string& path) {
  if (path.empty() || !locations_.fits(path)) return false;
  const ImageKind& image = imageKind(kind);
  const std::string file = locations_.remember(path, kind);
  std::vector<uint8_t> bytes(static_cast<size_t>(image.size), 0);
  (this->*image.store)(bytes.data());
  return state::writeImageFile(file, bytes);
}

// ------------------------------------------------------------- user images

void ProgramFiles::storeUserImage(state::UserImage which) {
  const ImageKind& image = imageKind(kindOf(which));
  std::vector<uint8_t> bytes(static_cast<size_t>(image.size), 0);
  (this->*image.store)(bytes.data());
  state::writeUserImage(which, bytes);
}

// A missing value still reaches the loader as a zero image; a value cut
// short of its image is refused whole.
void ProgramFiles::recallUserImage(state::UserImage which) {
  const ImageKind& image = imageKind(kindOf(which));
  std::vector<uint8_t> bytes;
  if (!state::readUserImage(which, image.type, kOwnId, bytes)) return;
  (this->*image.load)(bytes.data(), false);
}

void ProgramFiles::loadStartupSettings() {
  loadDefaultBank();
  loadDefaultPreset();
  loadDefaultMidi();
  loadFileLocations();
}

}  // namespace core
