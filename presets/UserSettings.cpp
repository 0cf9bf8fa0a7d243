// The user's defaults, memos and last file locations: the images of the
// preset, bank and MIDI-settings files, kept by name in the per-user
// settings store and loaded through the same loaders as the files.
#include <vector>

#include "platform/SettingsStore.h"
#include "presets/CPresetSystemEditor.h"

namespace presets {

namespace {

constexpr const char* kDefaultBank = "DefaultBank";
constexpr const char* kDefaultPreset = "DefaultPreset";
constexpr const char* kDefaultMidi = "DefaultMidi";
constexpr const char* kMemoA = "MemoA";
constexpr const char* kMemoB = "MemoB";
constexpr const char* kCurrDir = "CurrDir";
constexpr const char* kCurrBank = "CurrBank";
constexpr const char* kCurrPreset = "CurrPreset";
constexpr const char* kCurrMidi = "CurrMidi";

}  // namespace

void CPresetSystemEditor::storeImage(const char* value, int size, Storer store) {
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  (this->*store)(image.data());
  platform::SettingsStore::forUser().write(value, image.data(), image.size());
}

void CPresetSystemEditor::loadImage(const char* value, int size, Loader load) {
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  platform::SettingsStore::forUser().read(value, image.data(), image.size());
  (this->*load)(image.data(), false);
}

void CPresetSystemEditor::storeDefaultBank() { storeImage(kDefaultBank, kBankImageSize, &CPresetSystemEditor::storeBankData); }
void CPresetSystemEditor::storeDefaultPreset() {
  storeImage(kDefaultPreset, kPresetImageSize, &CPresetSystemEditor::storePresetData);
}
void CPresetSystemEditor::storeDefaultMidi() { storeImage(kDefaultMidi, kMidiImageSize, &CPresetSystemEditor::storeMidiData); }
void CPresetSystemEditor::storeMemoA() { storeImage(kMemoA, kPresetImageSize, &CPresetSystemEditor::storePresetData); }
void CPresetSystemEditor::storeMemoB() { storeImage(kMemoB, kPresetImageSize, &CPresetSystemEditor::storePresetData); }

void CPresetSystemEditor::deleteDefaultBank() { platform::SettingsStore::forUser().remove(kDefaultBank); }
void CPresetSystemEditor::deleteDefaultPreset() { platform::SettingsStore::forUser().remove(kDefaultPreset); }

void CPresetSystemEditor::loadDefaultBank() { loadImage(kDefaultBank, kBankImageSize, &CPresetSystemEditor::loadBankData); }
void CPresetSystemEditor::loadDefaultPreset() {
  loadImage(kDefaultPreset, kPresetImageSize, &CPresetSystemEditor::loadPresetData);
}
void CPresetSystemEditor::loadDefaultMidi() { loadImage(kDefaultMidi, kMidiImageSize, &CPresetSystemEditor::loadMidiData); }
void CPresetSystemEditor::recallMemoA() { loadImage(kMemoA, kPresetImageSize, &CPresetSystemEditor::loadPresetData); }
void CPresetSystemEditor::recallMemoB() { loadImage(kMemoB, kPresetImageSize, &CPresetSystemEditor::loadPresetData); }

void CPresetSystemEditor::saveFileLocations() {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  store.writeText(kCurrDir, currentFolder_);
  store.writeText(kCurrBank, lastBankName_);
  store.writeText(kCurrPreset, lastPresetName_);
  store.writeText(kCurrMidi, lastMidiName_);
}

// A missing value reads as an empty text, which replaces the working folder
// the editor started with.
void CPresetSystemEditor::loadFileLocations() {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  for (auto [value, text] : {std::pair{kCurrDir, &currentFolder_}, std::pair{kCurrBank, &lastBankName_},
                             std::pair{kCurrPreset, &lastPresetName_}, std::pair{kCurrMidi, &lastMidiName_}}) {
    if (!store.readText(value, *text, kMaxPathPart)) text->clear();
  }
}

}  // namespace presets
