// The UI's side of the message protocol in lv2/Uris.h: the URIDs it needs,
// patch:Set and patch:Get objects forged for the DSP's control input, and
// patch:Set objects read from its notify output.
#pragma once

#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <string>

namespace lv2ui {

// Every message property, in the order of their names in UiMessages.cpp.
enum class Key {
  SelectProgram, RenameProgram, MidiLearn, MidiForget, ManualTempo,
  LoadPreset, LoadBank, LoadMidi, LoadPresetReversed, LoadBankReversed, LoadMidiReversed,
  SavePreset, SaveBank, SaveMidi, StoreUserImage, RecallUserImage, RemoveUserImage,
  ProgramNames, CurrentProgram, ProgramNameShown, Tempo, HostTime, Controllers, Learning, Forgetting,
  RangeExceeded, Folder, LastNames, BarMessage, ParameterValues, LinkSuggested,
  Count,
};

struct Vocabulary {
  explicit Vocabulary(LV2_URID_Map* map);
  LV2_URID eventTransfer, patchSet, patchGet, patchProperty, patchValue;
  LV2_URID atomInt, atomBool, atomDouble, atomFloat, atomString, atomPath, atomVector;
  std::array<LV2_URID, static_cast<size_t>(Key::Count)> keys{};
};

// A patch:Set read from the notify port: its property and value.
struct Message {
  Key key;
  const LV2_Atom* value;
  const Vocabulary* words;

  int intValue() const;        // Int or Bool, else 0
  double doubleValue() const;  // Double, Float or Int, else 0
  std::string text() const;    // String or Path, else empty
};

// Forges one message at a time into a buffer of its own.
class MessageWriter {
 public:
  explicit MessageWriter(LV2_URID_Map* map);

  const Vocabulary& vocabulary() const { return vocabulary_; }

  // The forged atom, or null when it did not fit.
  const LV2_Atom* setInt(Key key, int32_t value);
  const LV2_Atom* setBool(Key key, bool value);
  const LV2_Atom* setDouble(Key key, double value);
  const LV2_Atom* setString(Key key, const std::string& value);
  const LV2_Atom* setPath(Key key, const std::string& value);
  // patch:Get without a property: everything the DSP tells the UI.
  const LV2_Atom* getAll();

  // A patch:Set of one of our properties, else false.
  bool read(const LV2_Atom* atom, Message& message) const;

 private:
  LV2_Atom_Forge_Frame* beginSet(Key key, LV2_Atom_Forge_Frame& frame);
  const LV2_Atom* finish(LV2_Atom_Forge_Frame& frame);

  Vocabulary vocabulary_;
  LV2_Atom_Forge forge_{};
  alignas(8) std::array<uint8_t, 4096> buffer_{};
};

}  // namespace lv2ui
