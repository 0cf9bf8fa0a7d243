// The plug-in's loaders and writers of the preset, bank and MIDI-settings
// images (their layout and coding: state/ImageFormat.h).
#include <cstring>

#include "presets/CPresetSystemEditor.h"
#include "state/ImageFormat.h"

namespace presets {

namespace {

bool recognised(const uint8_t* image, editor::EditorHost& effect, uint8_t type, bool acceptOlder, bool reversed,
                state::ImageLayout& layout) {
  const auto pluginId = static_cast<uint32_t>(effect.getPluginID());
  return state::recogniseImage(image, pluginId, type, acceptOlder, reversed, layout) == state::ImageCheck::Recognised;
}

// A name field need not end in a zero: make a terminated copy.
void terminatedName(const state::ProgramRecord& record, char (&name)[state::kNameSize + 1]) {
  std::memcpy(name, record.name, state::kNameSize);
  name[state::kNameSize] = 0;
}

}  // namespace

void CPresetSystemEditor::applyPresetImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  editor::EditorHost* effect = host();
  if (!buffer || !effect || !effect->programs()) return;
  const int current = effect->getCurrentProgramIndex();
  state::ImageLayout layout;
  if (!recognised(buffer, *effect, state::kPresetType, acceptOlder, reversed, layout)) return;

  state::ProgramRecord& record = effect->programs()[current];
  state::decodePresetImage(buffer, layout, record);

  char name[state::kNameSize + 1];
  terminatedName(record, name);
  applyProgramName(name);
  effect->selectProgram(current);
}

void CPresetSystemEditor::applyBankImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  editor::EditorHost* effect = host();
  if (!buffer || !effect || !effect->programs()) return;
  // Program 0 becomes current whether or not the image is taken.
  effect->selectProgram(0);
  state::ImageLayout layout;
  if (!recognised(buffer, *effect, state::kBankType, acceptOlder, reversed, layout)) return;

  decodeBankImage(buffer, layout, effect->programs());
  refreshProgramMenu();

  char name[state::kNameSize + 1];
  terminatedName(effect->programs()[0], name);
  showProgramName(name);
  effect->selectProgram(0);
}

// Each value goes through the effect's setParameter 60..119, which decodes
// it into the controller map. An older image leaves the assignments of
// parameters 48..59 as they were.
void CPresetSystemEditor::applyMidiImage(const uint8_t* buffer, bool reversed, bool acceptOlder) {
  editor::EditorHost* effect = host();
  if (!buffer || !effect) return;
  state::ImageLayout layout;
  if (!recognised(buffer, *effect, state::kMidiType, acceptOlder, reversed, layout)) return;
  float assignments[params::kNumParams];
  const int count = state::decodeMidiImage(buffer, layout, assignments);
  for (int i = 0; i < count; ++i) effect->setParameter(params::kNumParams + i, assignments[i]);
}

void CPresetSystemEditor::loadPresetData(const uint8_t* buffer, bool reversed) {
  applyPresetImage(buffer, reversed, false);
}

void CPresetSystemEditor::loadBankData(const uint8_t* buffer, bool reversed) {
  applyBankImage(buffer, reversed, false);
}

void CPresetSystemEditor::loadMidiData(const uint8_t* buffer, bool reversed) {
  applyMidiImage(buffer, reversed, false);
}

void CPresetSystemEditor::storePresetData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, state::kPresetImageSize);
  editor::EditorHost* effect = host();
  if (!effect || !effect->programs()) return;
  encodePresetImage(buffer, static_cast<uint32_t>(effect->getPluginID()),
                    effect->programs()[effect->getCurrentProgramIndex()]);
}

void CPresetSystemEditor::storeBankData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, state::kBankImageSize);
  editor::EditorHost* effect = host();
  if (!effect || !effect->programs()) return;
  encodeBankImage(buffer, static_cast<uint32_t>(effect->getPluginID()), effect->programs());
}

void CPresetSystemEditor::storeMidiData(uint8_t* buffer) {
  if (!buffer) return;
  std::memset(buffer, 0, state::kMidiImageSize);
  editor::EditorHost* effect = host();
  if (!effect) return;
  float assignments[params::kNumParams];
  for (int i = 0; i < params::kNumParams; ++i) assignments[i] = effect->getParameter(params::kNumParams + i);
  state::encodeMidiImage(buffer, static_cast<uint32_t>(effect->getPluginID()), assignments);
}

void CPresetSystemEditor::applyProgramName(const char* name) {
  showProgramName(name);
  if (host()) host()->renameCurrentProgram(name);
}

}  // namespace presets
