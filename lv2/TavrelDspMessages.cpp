// The LV2 adapter's messages with its UI, its file work on the host's
// worker, and its state.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "lv2/TavrelDsp.h"
#include "params/Tempo.h"

namespace lv2plugin {

namespace {

// A file command or a stored image handed to the worker: the command, its
// number (a state::UserImage) and the path, terminated.
struct WorkOrder {
  LV2_URID property;
  int32_t number;
  char path[4096 + 256 + 2];
};

// The locations a file dialog starts from, handed back by the worker.
struct Locations {
  char folder[4096 + 1];
  char lastNames[3 * (256 + 1) + 1];
};

const char* stringOf(const LV2_Atom* atom) { return reinterpret_cast<const char*>(atom + 1); }

// The text of an atom whose body is a terminated string (String, Path).
bool terminatedText(const LV2_Atom* atom) {
  return atom && atom->size > 0 && stringOf(atom)[atom->size - 1] == '\0';
}

}  // namespace

// ---------------------------------------------------------------- messages

void TavrelDsp::readMessage(const LV2_Atom_Object* message) {
  if (message->body.otype == urids_.patchGet) {
    uiListening_ = true;
    tell(kEverything);
    return;
  }
  if (message->body.otype != urids_.patchSet) return;
  const LV2_Atom *property = nullptr, *value = nullptr;
  lv2_atom_object_get(message, urids_.patchProperty, &property, urids_.patchValue, &value, 0);
  if (!property || property->type != forge_.URID || !value) return;
  const LV2_URID key = reinterpret_cast<const LV2_Atom_URID*>(property)->body;
  const auto intOf = [this](const LV2_Atom* a, int& out) {
    if (a->type == urids_.atomInt) out = reinterpret_cast<const LV2_Atom_Int*>(a)->body;
    else if (a->type == urids_.atomBool) out = reinterpret_cast<const LV2_Atom_Bool*>(a)->body;
    else return false;
    return true;
  };
  int number = 0;
  if (key == urids_.selectProgram && intOf(value, number)) {
    core_.selectProgram(number);
  } else if (key == urids_.renameProgram && terminatedText(value)) {
    core_.renameCurrentProgram(stringOf(value));
    tell(kNames | kNameShown);
  } else if (key == urids_.midiLearn && intOf(value, number)) {
    number ? core_.startMidiLearn() : core_.stopMidiLearn();
    tell(kLearnState);
  } else if (key == urids_.midiForget && intOf(value, number)) {
    number ? core_.startMidiForget() : core_.stopMidiForget();
    tell(kLearnState);
  } else if (key == urids_.manualTempo && value->type == urids_.atomDouble) {
    core_.setManualTempo(reinterpret_cast<const LV2_Atom_Double*>(value)->body);
  } else if (!scheduleFileWork(key, value)) {
    tell(kNoWorker);
  }
}

// Files and the user's stored images are never touched on the audio thread:
// the order goes to the host's worker. False when it cannot (no worker, or
// a message that is no file command).
bool TavrelDsp::scheduleFileWork(LV2_URID property, const LV2_Atom* value) {
  const LV2_URID fileCommands[] = {urids_.loadPreset, urids_.loadBank, urids_.loadMidi, urids_.loadPresetReversed,
                                   urids_.loadBankReversed, urids_.loadMidiReversed, urids_.savePreset,
                                   urids_.saveBank, urids_.saveMidi};
  const LV2_URID imageCommands[] = {urids_.storeUserImage, urids_.recallUserImage, urids_.removeUserImage};
  WorkOrder order{property, 0, {}};
  if (std::find(std::begin(fileCommands), std::end(fileCommands), property) != std::end(fileCommands)) {
    if (!terminatedText(value) || value->size > sizeof order.path) return true;  // no path: nothing to do
    std::memcpy(order.path, stringOf(value), value->size);
  } else if (std::find(std::begin(imageCommands), std::end(imageCommands), property) != std::end(imageCommands)) {
    if (value->type != urids_.atomInt) return true;
    order.number = reinterpret_cast<const LV2_Atom_Int*>(value)->body;
    if (order.number < 0 || order.number > static_cast<int>(state::UserImage::MemoB)) return true;
  } else {
    return true;  // a message this plug-in does not know
  }
  if (!schedule_) return false;
  const auto size = static_cast<uint32_t>(offsetof(WorkOrder, path) + std::strlen(order.path) + 1);
  schedule_->schedule_work(schedule_->handle, size, &order);
  return true;
}

LV2_Worker_Status TavrelDsp::work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                                  uint32_t size, const void* data) {
  if (size < offsetof(WorkOrder, path) + 1 || size > sizeof(WorkOrder)) return LV2_WORKER_ERR_UNKNOWN;
  WorkOrder order{};
  std::memcpy(&order, data, size);
  order.path[sizeof order.path - 1] = '\0';
  using Kind = core::ProgramFiles::Kind;
  core::ProgramFiles& files = core_.files();
  const LV2_URID p = order.property;
  const std::string path = order.path;
  if (p == urids_.loadPreset || p == urids_.loadPresetReversed) files.loadFile(Kind::Preset, path, p != urids_.loadPreset);
  else if (p == urids_.loadBank || p == urids_.loadBankReversed) files.loadFile(Kind::Bank, path, p != urids_.loadBank);
  else if (p == urids_.loadMidi || p == urids_.loadMidiReversed) files.loadFile(Kind::Midi, path, p != urids_.loadMidi);
  else if (p == urids_.savePreset) files.saveFile(Kind::Preset, path);
  else if (p == urids_.saveBank) files.saveFile(Kind::Bank, path);
  else if (p == urids_.saveMidi) files.saveFile(Kind::Midi, path);
  else if (p == urids_.storeUserImage) files.storeUserImage(static_cast<state::UserImage>(order.number));
  else if (p == urids_.recallUserImage) files.recallUserImage(static_cast<state::UserImage>(order.number));
  else if (p == urids_.removeUserImage) files.removeUserImage(static_cast<state::UserImage>(order.number));
  // What was loaded counts as the state now: the ports as they are count as
  // applied until the host (or the UI) moves them.
  portsSettled_.store(true, std::memory_order_release);
  tell(kNames | kCurrent | kNameShown | kValues | kControllers | kTempo);

  Locations locations{};
  std::snprintf(locations.folder, sizeof locations.folder, "%s", files.currentFolder().c_str());
  std::snprintf(locations.lastNames, sizeof locations.lastNames, "%s\n%s\n%s\n", files.lastBankName().c_str(),
                files.lastPresetName().c_str(), files.lastMidiName().c_str());
  respond(handle, sizeof locations, &locations);
  return LV2_WORKER_SUCCESS;
}

// On the audio thread, between runs: the locations the worker handed back.
LV2_Worker_Status TavrelDsp::workResponse(uint32_t size, const void* data) {
  if (size != sizeof(Locations) || !data) return LV2_WORKER_ERR_UNKNOWN;
  const auto* locations = static_cast<const Locations*>(data);
  std::memcpy(folder_, locations->folder, sizeof folder_);
  std::memcpy(lastNames_, locations->lastNames, sizeof lastNames_);
  folder_[sizeof folder_ - 1] = lastNames_[sizeof lastNames_ - 1] = '\0';
  tell(kLocations);
  return LV2_WORKER_SUCCESS;
}

void TavrelDsp::keepLocations() {
  core::ProgramFiles& files = core_.files();
  std::snprintf(folder_, sizeof folder_, "%s", files.currentFolder().c_str());
  std::snprintf(lastNames_, sizeof lastNames_, "%s\n%s\n%s\n", files.lastBankName().c_str(),
                files.lastPresetName().c_str(), files.lastMidiName().c_str());
}

// ---------------------------------------------------------------- the news

namespace {

struct SetMessage {
  LV2_Atom_Forge& forge;
  LV2_Atom_Forge_Frame frame{};
  bool open = false;
  SetMessage(LV2_Atom_Forge& f, const Urids& u, LV2_URID property) : forge(f) {
    open = lv2_atom_forge_frame_time(&forge, 0) && lv2_atom_forge_object(&forge, &frame, 0, u.patchSet) &&
           lv2_atom_forge_key(&forge, u.patchProperty) && lv2_atom_forge_urid(&forge, property) &&
           lv2_atom_forge_key(&forge, u.patchValue);
  }
  bool close(LV2_Atom_Forge_Ref value) {
    if (!open || !value) return false;
    lv2_atom_forge_pop(&forge, &frame);
    return true;
  }
};

}  // namespace

// Each piece of news the UI is owed goes out as one patch:Set; what finds
// no room in the port's buffer waits for the next run.
void TavrelDsp::writeNews() {
  // Nothing is said before a UI has asked: hosts read every patch:Set on
  // the output as a change of one of the plug-in's own properties, and some
  // (Ardour) warn about each one they do not know.
  if (!uiListening_) return;
  const uint32_t news = news_.exchange(0, std::memory_order_relaxed);
  if (!news) return;
  uint32_t unsent = 0;
  auto send = [&](uint32_t bit, LV2_URID property, auto&& writeValue) {
    if (!(news & bit)) return;
    SetMessage message(forge_, urids_, property);
    if (!message.open || !message.close(writeValue())) unsent |= bit;
  };
  auto text = [this](const char* s) { return lv2_atom_forge_string(&forge_, s, static_cast<uint32_t>(std::strlen(s))); };

  send(kNames, urids_.programNames, [&] {
    char names[state::kNumPrograms * (state::kNameSize + 1) + 1] = {};
    size_t used = 0;
    for (int p = 0; p < state::kNumPrograms; ++p) {
      char name[state::kNameSize + 1] = {};
      core_.copyProgramName(p, name);
      used += static_cast<size_t>(std::snprintf(names + used, sizeof names - used, "%s\n", name));
    }
    return text(names);
  });
  send(kCurrent, urids_.currentProgram, [&] { return lv2_atom_forge_int(&forge_, core_.currentProgram()); });
  send(kNameShown, urids_.programNameShown, [&] {
    char name[state::kNameSize + 1] = {};
    core_.copyProgramName(core_.currentProgram(), name);
    return text(name);
  });
  send(kTempo, urids_.tempoNow, [&] { return lv2_atom_forge_double(&forge_, core_.parameters().tempo()); });
  send(kTempo, urids_.hostTime, [&] { return lv2_atom_forge_bool(&forge_, core_.hostTimeActive()); });
  send(kTempo, urids_.manualTempo, [&] { return lv2_atom_forge_double(&forge_, core_.manualTempo()); });
  send(kTempo, urids_.rangeExceeded, [&] {
    int selectors = 0;
    for (int s : {1, 2, 8, 16})
      if (core_.syncRangeExceeded(s)) selectors |= s;
    return lv2_atom_forge_int(&forge_, selectors);
  });
  send(kControllers, urids_.controllers, [&] {
    char list[params::kNumParams * 4 + 1] = {};
    size_t used = 0;
    for (int i = 0; i < params::kNumParams; ++i)
      used += static_cast<size_t>(std::snprintf(list + used, sizeof list - used, i ? " %d" : "%d", core_.controllerOf(i)));
    return text(list);
  });
  send(kLearnState, urids_.learning, [&] { return lv2_atom_forge_bool(&forge_, core_.isLearning()); });
  send(kLearnState, urids_.forgetting, [&] { return lv2_atom_forge_bool(&forge_, core_.isForgetting()); });
  send(kLocations, urids_.folder, [&] {
    return lv2_atom_forge_path(&forge_, folder_, static_cast<uint32_t>(std::strlen(folder_)));
  });
  send(kLocations, urids_.lastNames, [&] { return text(lastNames_); });
  send(kValues, urids_.parameterValues, [&] {
    float values[params::kNumParams];
    for (int i = 0; i < params::kNumParams; ++i) values[i] = core_.getParameter(i);
    return lv2_atom_forge_vector(&forge_, sizeof(float), urids_.atomFloat, params::kNumParams, values);
  });
  send(kLink, urids_.linkSuggested, [&] { return lv2_atom_forge_bool(&forge_, linkOn_.load(std::memory_order_relaxed)); });
  send(kNoWorker, urids_.barMessage, [&] { return text("no worker"); });
  if (unsent) tell(unsent);
}

// ------------------------------------------------------------------- state

// The chunk (exactly the bytes the VST 2.4 build stores) and the manual
// tempo in beats per minute, so that a session without host time comes
// back the same.
LV2_State_Status TavrelDsp::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!urids_.mapped()) return LV2_STATE_ERR_NO_FEATURE;
  const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  LV2_State_Status status =
      store(handle, urids_.chunk, core_.writeChunk(), state::kChunkSize, urids_.atomChunk, flags);
  if (status != LV2_STATE_SUCCESS) return status;
  const double tempo = params::tempoOfManual(core_.manualTempo());
  return store(handle, urids_.tempo, &tempo, sizeof tempo, urids_.atomDouble, flags);
}

// The chunk wins over the ports: as they are now, they count as applied, so
// the first run after it changes nothing the host did not move. A state
// that carries only a program (a factory preset) selects that program.
LV2_State_Status TavrelDsp::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!urids_.mapped()) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  if (const void* chunk = retrieve(handle, urids_.chunk, &size, &type, &flags)) {
    if (type != urids_.atomChunk || core_.readChunk(chunk, static_cast<int>(size)) == state::ChunkRead::Refused)
      return LV2_STATE_ERR_BAD_TYPE;
  } else {
    const void* program = retrieve(handle, urids_.program, &size, &type, &flags);
    if (program && type == urids_.atomInt && size == sizeof(int32_t))
      core_.selectProgram(*static_cast<const int32_t*>(program));
  }
  const void* tempo = retrieve(handle, urids_.tempo, &size, &type, &flags);
  if (tempo && type == urids_.atomDouble && size == sizeof(double)) {
    const double bpm = *static_cast<const double*>(tempo);
    if (bpm >= params::kSlowestTempo && bpm <= params::kFastestTempo) core_.setManualTempo(params::manualOfTempo(bpm));
  }
  portsSettled_.store(true, std::memory_order_release);
  tell(kEverything);
  return LV2_STATE_SUCCESS;
}

}  // namespace lv2plugin
