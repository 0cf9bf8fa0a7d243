#include "lv2/ui/UiMessages.h"

#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>

#include "lv2/Uris.h"

namespace lv2ui {

namespace {

constexpr const char* kKeyNames[] = {
    "selectProgram", "renameProgram", "midiLearn", "midiForget", "manualTempo",
    "loadPreset", "loadBank", "loadMidi", "loadPresetReversed", "loadBankReversed", "loadMidiReversed",
    "savePreset", "saveBank", "saveMidi", "storeUserImage", "recallUserImage", "removeUserImage",
    "programNames", "currentProgram", "programNameShown", "tempo", "hostTime", "controllers", "learning",
    "forgetting", "rangeExceeded", "folder", "lastNames", "barMessage", "parameterValues", "linkSuggested",
};
static_assert(sizeof(kKeyNames) / sizeof(kKeyNames[0]) == static_cast<size_t>(Key::Count), "a name for every key");

}  // namespace

Vocabulary::Vocabulary(LV2_URID_Map* map) {
  auto id = [map](const char* uri) { return map->map(map->handle, uri); };
  eventTransfer = id(LV2_ATOM__eventTransfer);
  patchSet = id(LV2_PATCH__Set);
  patchGet = id(LV2_PATCH__Get);
  patchProperty = id(LV2_PATCH__property);
  patchValue = id(LV2_PATCH__value);
  atomInt = id(LV2_ATOM__Int);
  atomBool = id(LV2_ATOM__Bool);
  atomDouble = id(LV2_ATOM__Double);
  atomFloat = id(LV2_ATOM__Float);
  atomString = id(LV2_ATOM__String);
  atomPath = id(LV2_ATOM__Path);
  atomVector = id(LV2_ATOM__Vector);
  for (size_t i = 0; i < keys.size(); ++i) keys[i] = id((std::string(lv2plugin::kPrefix) + kKeyNames[i]).c_str());
}

MessageWriter::MessageWriter(LV2_URID_Map* map) : vocabulary_(map) { lv2_atom_forge_init(&forge_, map); }

LV2_Atom_Forge_Frame* MessageWriter::beginSet(Key key, LV2_Atom_Forge_Frame& frame) {
  lv2_atom_forge_set_buffer(&forge_, buffer_.data(), buffer_.size());
  if (!lv2_atom_forge_object(&forge_, &frame, 0, vocabulary_.patchSet)) return nullptr;
  lv2_atom_forge_key(&forge_, vocabulary_.patchProperty);
  lv2_atom_forge_urid(&forge_, vocabulary_.keys[static_cast<size_t>(key)]);
  lv2_atom_forge_key(&forge_, vocabulary_.patchValue);
  return &frame;
}

// The forge returns 0 for any write past the buffer's end; the object's
// header then tells nothing whole, so the message is dropped.
const LV2_Atom* MessageWriter::finish(LV2_Atom_Forge_Frame& frame) {
  lv2_atom_forge_pop(&forge_, &frame);
  if (forge_.offset > buffer_.size() || forge_.offset == 0) return nullptr;
  const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer_.data());
  return lv2_atom_total_size(atom) <= forge_.offset ? atom : nullptr;
}

const LV2_Atom* MessageWriter::setInt(Key key, int32_t value) {
  LV2_Atom_Forge_Frame frame;
  if (!beginSet(key, frame) || !lv2_atom_forge_int(&forge_, value)) return nullptr;
  return finish(frame);
}

const LV2_Atom* MessageWriter::setBool(Key key, bool value) {
  LV2_Atom_Forge_Frame frame;
  if (!beginSet(key, frame) || !lv2_atom_forge_bool(&forge_, value)) return nullptr;
  return finish(frame);
}

const LV2_Atom* MessageWriter::setDouble(Key key, double value) {
  LV2_Atom_Forge_Frame frame;
  if (!beginSet(key, frame) || !lv2_atom_forge_double(&forge_, value)) return nullptr;
  return finish(frame);
}

const LV2_Atom* MessageWriter::setString(Key key, const std::string& value) {
  LV2_Atom_Forge_Frame frame;
  if (!beginSet(key, frame) || !lv2_atom_forge_string(&forge_, value.c_str(), static_cast<uint32_t>(value.size())))
    return nullptr;
  return finish(frame);
}

const LV2_Atom* MessageWriter::setPath(Key key, const std::string& value) {
  LV2_Atom_Forge_Frame frame;
  if (!beginSet(key, frame) || !lv2_atom_forge_path(&forge_, value.c_str(), static_cast<uint32_t>(value.size())))
    return nullptr;
  return finish(frame);
}

const LV2_Atom* MessageWriter::getAll() {
  lv2_atom_forge_set_buffer(&forge_, buffer_.data(), buffer_.size());
  LV2_Atom_Forge_Frame frame;
  if (!lv2_atom_forge_object(&forge_, &frame, 0, vocabulary_.patchGet)) return nullptr;
  return finish(frame);
}

bool MessageWriter::read(const LV2_Atom* atom, Message& message) const {
  if (!atom || atom->type != forge_.Object) return false;
  const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
  if (object->body.otype != vocabulary_.patchSet) return false;
  const LV2_Atom* property = nullptr;
  const LV2_Atom* value = nullptr;
  lv2_atom_object_get(object, vocabulary_.patchProperty, &property, vocabulary_.patchValue, &value, 0);
  if (!property || !value || property->type != forge_.URID) return false;
  const LV2_URID id = reinterpret_cast<const LV2_Atom_URID*>(property)->body;
  for (size_t i = 0; i < vocabulary_.keys.size(); ++i) {
    if (vocabulary_.keys[i] != id) continue;
    message = {static_cast<Key>(i), value, &vocabulary_};
    return true;
  }
  return false;
}

// Each reader checks the atom's type and size: the notify port carries
// whatever the DSP forged, and a short atom is read as nothing.
int Message::intValue() const {
  if ((value->type != words->atomInt && value->type != words->atomBool) || value->size < sizeof(int32_t)) return 0;
  return reinterpret_cast<const LV2_Atom_Int*>(value)->body;
}

double Message::doubleValue() const {
  if (value->type == words->atomDouble && value->size >= sizeof(double))
    return reinterpret_cast<const LV2_Atom_Double*>(value)->body;
  if (value->type == words->atomFloat && value->size >= sizeof(float))
    return reinterpret_cast<const LV2_Atom_Float*>(value)->body;
  return intValue();
}

std::string Message::text() const {
  if (value->type != words->atomString && value->type != words->atomPath) return {};
  const char* body = static_cast<const char*>(LV2_ATOM_BODY_CONST(value));
  uint32_t n = 0;
  while (n < value->size && body[n]) ++n;
  return std::string(body, n);
}

}  // namespace lv2ui
