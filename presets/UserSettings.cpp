// The user's defaults, memos and last file locations: the images of the
// preset, bank and MIDI-settings files, kept by name in the per-user
// settings store and loaded through the same loaders as the files.
#include <optional>
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
// In the order of the editor's locations().
constexpr const char* kLocationValues[] = {kCurrDir, kCurrBank, kCurrPreset, kCurrMidi};

}  // namespace

void CPresetSystemEditor::storeImage(const char* value, int size, Storer store) {
  std::vector<uint8_t> image(static_cast<size_t>(size), 0);
  (this->*store)(image.data());
  platform::SettingsStore::forUser().write(value, image.data(), image.size());
}

// A missing value still reaches the loader as a zero image; a value cut
// short of its image is refused whole.
void CPresetSystemEditor::loadImage(const char* value, uint8_t type, Loader load) {
  if (!host()) return;
  std::vector<uint8_t> image(static_cast<size_t>(imageSize(type, ImageLayout{})), 0);
  const std::optional<size_t> length = platform::SettingsStore::forUser().read(value, image.data(), image.size());
  if (length && isCutShort(image.data(), *length, static_cast<uint32_t>(host()->getPluginID()), type)) return;
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

void CPresetSystemEditor::loadDefaultBank() { loadImage(kDefaultBank, kBankType, &CPresetSystemEditor::loadBankData); }
void CPresetSystemEditor::loadDefaultPreset() { loadImage(kDefaultPreset, kPresetType, &CPresetSystemEditor::loadPresetData); }
void CPresetSystemEditor::loadDefaultMidi() { loadImage(kDefaultMidi, kMidiType, &CPresetSystemEditor::loadMidiData); }
void CPresetSystemEditor::recallMemoA() { loadImage(kMemoA, kPresetType, &CPresetSystemEditor::loadPresetData); }
void CPresetSystemEditor::recallMemoB() { loadImage(kMemoB, kPresetType, &CPresetSystemEditor::loadPresetData); }

// Every instance closes at the end of a session: one that wrote back what it
// merely found would undo a newer folder another instance chose, so only a
// location this instance changed is written, and an empty one never is.
void CPresetSystemEditor::saveFileLocations() {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  const auto texts = locations();
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = *texts[i];
    if (text.empty() || text == foundLocations_[i]) continue;
    if (store.writeText(kLocationValues[i], text)) foundLocations_[i] = text;
  }
}

// A missing value reads as an empty text, which replaces the working folder
// the editor started with.
void CPresetSystemEditor::loadFileLocations() {
  const platform::SettingsStore store = platform::SettingsStore::forUser();
  const auto texts = locations();
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!store.readText(kLocationValues[i], *texts[i], i == 0 ? kMaxFolder : kMaxFileName)) texts[i]->clear();
    foundLocations_[i] = *texts[i];
  }
}

}  // namespace presets
