// The user's defaults, memos and last file locations: the images of the
// preset, bank and MIDI-settings files, kept by name in the per-user
// settings store (state/UserImages.h, state/FileLocations.h) and loaded
// through the same loaders as the files.
#include <vector>

#include "presets/CPresetSystemEditor.h"

namespace presets {

using state::UserImage;

void CPresetSystemEditor::storeImage(UserImage which, int size, Storer store) {
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  (this->*store)(image.data());
  state::writeUserImage(which, image);
}

// A missing value still reaches the loader as a zero image; a value cut
// short of its image is refused whole.
void CPresetSystemEditor::loadImage(UserImage which, uint8_t type, Loader load) {
  if (!host()) return;
  std::vector<uint8_t> image;
  if (!state::readUserImage(which, type, static_cast<uint32_t>(host()->getPluginID()), image)) return;
  (this->*load)(image.data(), false);
}

void CPresetSystemEditor::storeDefaultBank() {
  storeImage(UserImage::DefaultBank, state::kBankImageSize, &CPresetSystemEditor::storeBankData);
}
void CPresetSystemEditor::storeDefaultPreset() {
  storeImage(UserImage::DefaultPreset, state::kPresetImageSize, &CPresetSystemEditor::storePresetData);
}
void CPresetSystemEditor::storeDefaultMidi() {
  storeImage(UserImage::DefaultMidi, state::kMidiImageSize, &CPresetSystemEditor::storeMidiData);
}
void CPresetSystemEditor::storeMemoA() { storeImage(UserImage::MemoA, state::kPresetImageSize, &CPresetSystemEditor::storePresetData); }
void CPresetSystemEditor::storeMemoB() { storeImage(UserImage::MemoB, state::kPresetImageSize, &CPresetSystemEditor::storePresetData); }

void CPresetSystemEditor::deleteDefaultBank() { state::removeUserImage(UserImage::DefaultBank); }
void CPresetSystemEditor::deleteDefaultPreset() { state::removeUserImage(UserImage::DefaultPreset); }

void CPresetSystemEditor::loadDefaultBank() {
  loadImage(UserImage::DefaultBank, state::kBankType, &CPresetSystemEditor::loadBankData);
}
void CPresetSystemEditor::loadDefaultPreset() {
  loadImage(UserImage::DefaultPreset, state::kPresetType, &CPresetSystemEditor::loadPresetData);
}
void CPresetSystemEditor::loadDefaultMidi() {
  loadImage(UserImage::DefaultMidi, state::kMidiType, &CPresetSystemEditor::loadMidiData);
}
void CPresetSystemEditor::recallMemoA() { loadImage(UserImage::MemoA, state::kPresetType, &CPresetSystemEditor::loadPresetData); }
void CPresetSystemEditor::recallMemoB() { loadImage(UserImage::MemoB, state::kPresetType, &CPresetSystemEditor::loadPresetData); }

void CPresetSystemEditor::saveFileLocations() { locations_.save(); }
void CPresetSystemEditor::loadFileLocations() { locations_.load(); }

}  // namespace presets
