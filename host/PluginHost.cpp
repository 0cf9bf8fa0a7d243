#include "host/PluginHost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace host {
namespace {

using EntryProc = vst::AEffect* (*)(vst::HostCallback);

// The plug-in calls the host before its AEffect exists (effect == nullptr
// during the entry call) and may call it from its constructor with a record
// the host has not seen yet: those calls belong to the instance this thread
// is loading. Afterwards the registry maps each AEffect to its instance.
thread_local PluginInstance* tLoading = nullptr;
std::mutex gRegistryMutex;
std::map<const vst::AEffect*, PluginInstance*> gRegistry;

PluginInstance* instanceFor(const vst::AEffect* effect) {
  if (effect != nullptr) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    auto it = gRegistry.find(effect);
    if (it != gRegistry.end()) return it->second;
  }
  return tLoading;
}

void copyText(void* ptr, const char* text, size_t capacity) {
  if (ptr == nullptr || capacity == 0) return;
  std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
  static_cast<char*>(ptr)[capacity - 1] = '\0';
}

constexpr size_t kTextBuffer = 256;
constexpr size_t kMaxChunk = 64u << 20;  // refuse absurd chunk sizes rather than copy them
constexpr const char* kHostName = "Tavrel test host";

}  // namespace

std::unique_ptr<PluginInstance> PluginInstance::load(const std::string& path, const HostScript& script,
                                                     std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<PluginInstance> {
    if (error != nullptr) *error = why;
    return nullptr;
  };

  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    return fail("cannot load " + path + ": " + (why != nullptr ? why : "unknown reason"));
  }
  auto entry = reinterpret_cast<EntryProc>(dlsym(library, "VSTPluginMain"));
  if (entry == nullptr) entry = reinterpret_cast<EntryProc>(dlsym(library, "main"));
  if (entry == nullptr) {
    dlclose(library);
    return fail(path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main");
  }

  std::unique_ptr<PluginInstance> instance(new PluginInstance());
  instance->path_ = path;
  instance->script_ = script;
  instance->script_.blockSize = std::max(1, instance->script_.blockSize);

  tLoading = instance.get();
  vst::AEffect* effect = entry(&PluginInstance::hostCallback);
  tLoading = nullptr;

  if (effect == nullptr) {
    dlclose(library);
    return fail(path + ": the plug-in's entry point returned no effect");
  }
  if (effect->magic != vst::kEffectMagic) {
    // Not a record we can trust: do not call through it, not even to close.
    dlclose(library);
    return fail(path + ": the plug-in's effect record has a wrong magic number");
  }
  if (effect->dispatcher == nullptr) {
    dlclose(library);
    return fail(path + ": the plug-in's effect record has no dispatcher");
  }
  if (effect->numInputs < 0 || effect->numOutputs < 0 || effect->numInputs > 64 ||
      effect->numOutputs > 64 || effect->numParams < 0 || effect->numPrograms < 0) {
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    dlclose(library);
    return fail(path + ": the plug-in reports an implausible channel, parameter or program count");
  }

  instance->library_ = library;
  instance->effect_ = effect;
  {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gRegistry[effect] = instance.get();
  }
  tLoading = instance.get();
  instance->dispatch(vst::effOpen);
  tLoading = nullptr;
  instance->dispatch(vst::effSetSampleRate, 0, 0, nullptr, instance->script_.sampleRate);
  instance->dispatch(vst::effSetBlockSize, 0, instance->script_.blockSize);
  return instance;
}

PluginInstance::~PluginInstance() {
  if (effect_ != nullptr) {
    if (resumed_) suspend();
    dispatch(vst::effClose);
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gRegistry.erase(effect_);
  }
  if (library_ != nullptr) dlclose(library_);
}

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

intptr_t PluginInstance::hostCallback(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                      void* ptr, float opt) {
  PluginInstance* self = instanceFor(effect);
  if (self == nullptr) {
    // A call from a plug-in we are not hosting (or from a thread of its own
    // after we let it go): answer only what every host answers.
    return opcode == vst::audioMasterVersion ? 2400 : 0;
  }
  try {
    return self->answer(effect, opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;  // never let an exception unwind through the plug-in's frames
  }
}

intptr_t PluginInstance::answer(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                void* ptr, float opt) {
  const HostScript& s = script_;
  if (s.recordCalls) {
    HostCall call{opcode, index, value, opt, {}};
    if (opcode == vst::audioMasterCanDo && ptr != nullptr) {
      call.text.assign(static_cast<const char*>(ptr), strnlen(static_cast<const char*>(ptr), kTextBuffer));
    }
    std::lock_guard<std::mutex> lock(callsMutex_);
    calls_.push_back(std::move(call));
  }

  switch (opcode) {
    case vst::audioMasterVersion:
      return s.version;
    case vst::audioMasterCurrentId:
      return effect != nullptr ? effect->uniqueID : 0;
    case vst::audioMasterGetTime: {
      if (!s.timeInfo) return 0;
      timeInfo_ = vst::VstTimeInfo{};
      timeInfo_.samplePos = s.samplePos;
      timeInfo_.sampleRate = s.sampleRate;
      timeInfo_.ppqPos = s.ppqPos;
      timeInfo_.tempo = s.tempo;
      timeInfo_.barStartPos = s.timeSigNumerator > 0 ? s.ppqPos - std::fmod(s.ppqPos, 4.0 * s.timeSigNumerator /
                                                                                   std::max(1, s.timeSigDenominator))
                                                     : 0.0;
      timeInfo_.timeSigNumerator = s.timeSigNumerator;
      timeInfo_.timeSigDenominator = s.timeSigDenominator;
      timeInfo_.flags = s.timeFlags | (s.playing ? vst::kVstTransportPlaying : 0);
      return reinterpret_cast<intptr_t>(&timeInfo_);
    }
    case vst::audioMasterPinConnected:
      // VST 2.4 convention: 0 means the pin IS connected.
      if (value == 0) return index >= 0 && index < s.connectedInputs ? 0 : 1;
      return index >= 0 && index < s.connectedOutputs ? 0 : 1;
    case vst::audioMasterCanDo: {
      if (ptr == nullptr) return 0;
      if (std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0) return s.canDoSendVstMidiEvent;
      return 0;
    }
    case vst::audioMasterGetSampleRate:
      return static_cast<intptr_t>(s.sampleRate);
    case vst::audioMasterGetBlockSize:
      return s.blockSize;
    case vst::audioMasterGetVendorString:
    case vst::audioMasterGetProductString:
      copyText(ptr, kHostName, vst::kVstMaxVendorStrLen);
      return 1;
    case vst::audioMasterGetVendorVersion:
      return 1;
    case vst::audioMasterGetCurrentProcessLevel:
      return 0;  // not supported: the plug-in must not rely on it
    case vst::audioMasterGetAutomationState:
      return 1;  // off
    case vst::audioMasterGetLanguage:
      return 1;  // English
    case vst::audioMasterWantMidi:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit:
    case vst::audioMasterUpdateDisplay:
      return 1;
    default:
      return 0;  // audioMasterAutomate, audioMasterIOChanged, audioMasterIdle, ...
  }
}

std::vector<HostCall> PluginInstance::calls() const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  return calls_;
}

std::vector<HostCall> PluginInstance::calls(int32_t opcode) const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  std::vector<HostCall> out;
  for (const HostCall& c : calls_)
    if (c.opcode == opcode) out.push_back(c);
  return out;
}

void PluginInstance::clearCalls() {
  std::lock_guard<std::mutex> lock(callsMutex_);
  calls_.clear();
}

bool PluginInstance::canDoubleReplacing() const {
  return (effect_->flags & vst::effFlagsCanDoubleReplacing) != 0 && effect_->processDoubleReplacing != nullptr;
}

void PluginInstance::resume() {
  dispatch(vst::effMainsChanged, 0, 1);
  resumed_ = true;
}

void PluginInstance::suspend() {
  dispatch(vst::effMainsChanged, 0, 0);
  resumed_ = false;
}

void PluginInstance::setSampleRate(float rate) {
  script_.sampleRate = rate;
  dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
}

void PluginInstance::setBlockSize(int frames) {
  script_.blockSize = std::max(1, frames);
  dispatch(vst::effSetBlockSize, 0, script_.blockSize);
}

bool PluginInstance::setSpeakerArrangement(int inputChannels, int outputChannels) {
  vst::VstSpeakerArrangement in{};
  vst::VstSpeakerArrangement out{};
  in.numChannels = inputChannels;
  out.numChannels = outputChannels;
  return dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out) != 0;
}

void PluginInstance::setParameter(int index, float value) {
  if (effect_->setParameter != nullptr) effect_->setParameter(effect_, index, value);
}

float PluginInstance::getParameter(int index) {
  return effect_->getParameter != nullptr ? effect_->getParameter(effect_, index) : 0.0f;
}

std::string PluginInstance::textRequest(int32_t opcode, int index) {
  // Real hosts give far more room than the published 8 or 24 characters;
  // the extra space keeps a long answer from overrunning the host.
  char buffer[kTextBuffer] = {};
  dispatch(opcode, index, 0, buffer);
  buffer[kTextBuffer - 1] = '\0';
  return buffer;
}

bool PluginInstance::getParameterProperties(int index, vst::VstParameterProperties& properties) {
  properties = vst::VstParameterProperties{};
  return dispatch(vst::effGetParameterProperties, index, 0, &properties) != 0;
}

void PluginInstance::setProgramName(const std::string& name) {
  char buffer[kTextBuffer] = {};
  copyText(buffer, name.c_str(), vst::kVstMaxProgNameLen);
  dispatch(vst::effSetProgramName, 0, 0, buffer);
}

intptr_t PluginInstance::canDo(const std::string& text) {
  return dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text.c_str()));
}

std::vector<uint8_t> PluginInstance::getChunk() {
  void* data = nullptr;
  intptr_t size = dispatch(vst::effGetChunk, 0, 0, &data);
  if (data == nullptr || size <= 0 || static_cast<size_t>(size) > kMaxChunk) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t PluginInstance::setChunk(const std::vector<uint8_t>& bytes) {
  // The plug-in gets its own copy to read from; a host never hands out
  // memory it is about to change.
  std::vector<uint8_t> copy(bytes);
  return dispatch(vst::effSetChunk, 0, static_cast<intptr_t>(copy.size()), copy.empty() ? nullptr : copy.data());
}

intptr_t PluginInstance::sendMidi(const std::vector<MidiMessage>& messages) {
  midiEvents_.assign(messages.size(), vst::VstMidiEvent{});
  for (size_t i = 0; i < messages.size(); ++i) {
    vst::VstMidiEvent& e = midiEvents_[i];
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(vst::VstMidiEvent);
    for (int b = 0; b < 3; ++b) e.midiData[b] = static_cast<char>(messages[i][b]);
  }
  // VstEvents ends in an open array of event pointers: allocate room for
  // all of them behind the header.
  size_t pointers = std::max<size_t>(2, messages.size());
  eventStorage_.assign(offsetof(vst::VstEvents, events) + pointers * sizeof(vst::VstEvent*), 0);
  auto* events = reinterpret_cast<vst::VstEvents*>(eventStorage_.data());
  events->numEvents = static_cast<int32_t>(messages.size());
  for (size_t i = 0; i < messages.size(); ++i)
    events->events[i] = reinterpret_cast<vst::VstEvent*>(&midiEvents_[i]);
  return dispatch(vst::effProcessEvents, 0, 0, events);
}

void PluginInstance::advanceTransport(long frames) {
  if (!script_.playing || frames <= 0) return;
  script_.samplePos += static_cast<double>(frames);
  if (script_.sampleRate > 0.0f)
    script_.ppqPos += static_cast<double>(frames) / script_.sampleRate * script_.tempo / 60.0;
}

bool PluginInstance::processBlock(float** inputs, float** outputs, int frames) {
  if (effect_->processReplacing == nullptr) return false;
  effect_->processReplacing(effect_, inputs, outputs, frames);
  advanceTransport(frames);
  return true;
}

bool PluginInstance::processBlockDouble(double** inputs, double** outputs, int frames) {
  if (!canDoubleReplacing()) return false;
  effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
  advanceTransport(frames);
  return true;
}

template <typename T>
bool PluginInstance::processPlanar(const std::vector<std::vector<T>>& inputs,
                                   std::vector<std::vector<T>>& outputs, long frames) {
  if (frames < 0) {
    frames = 0;
    for (const auto& channel : inputs) frames = std::max<long>(frames, static_cast<long>(channel.size()));
  }
  const int numIn = effect_->numInputs;
  const int numOut = effect_->numOutputs;
  const int block = std::max(1, script_.blockSize);
  outputs.resize(static_cast<size_t>(numOut));
  for (auto& channel : outputs) channel.assign(static_cast<size_t>(frames), T(0));

  // A real host hands the plug-in buffers of its own: the inputs are copied
  // in block by block (so a plug-in that writes into its inputs cannot touch
  // the caller's data), and a missing or short channel reads as silence.
  std::vector<std::vector<T>> scratch(static_cast<size_t>(numIn), std::vector<T>(static_cast<size_t>(block)));
  std::vector<T*> in(static_cast<size_t>(std::max(1, numIn)), nullptr);
  std::vector<T*> out(static_cast<size_t>(std::max(1, numOut)), nullptr);

  for (long pos = 0; pos < frames; pos += block) {
    const int n = static_cast<int>(std::min<long>(block, frames - pos));
    for (int c = 0; c < numIn; ++c) {
      const std::vector<T>* source = static_cast<size_t>(c) < inputs.size() ? &inputs[c] : nullptr;
      const long available = source != nullptr ? static_cast<long>(source->size()) - pos : 0;
      const long copied = std::clamp<long>(available, 0, n);
      if (copied > 0) std::copy_n(source->begin() + pos, copied, scratch[c].begin());
      std::fill(scratch[c].begin() + copied, scratch[c].end(), T(0));
      in[c] = scratch[c].data();
    }
    for (int c = 0; c < numOut; ++c) out[c] = outputs[c].data() + pos;
    bool ok;
    if constexpr (std::is_same_v<T, float>) {
      ok = processBlock(in.data(), out.data(), n);
    } else {
      ok = processBlockDouble(in.data(), out.data(), n);
    }
    if (!ok) return false;
  }
  return true;
}

bool PluginInstance::process(const std::vector<std::vector<float>>& inputs,
                             std::vector<std::vector<float>>& outputs, long frames) {
  return processPlanar(inputs, outputs, frames);
}

bool PluginInstance::processDouble(const std::vector<std::vector<double>>& inputs,
                                   std::vector<std::vector<double>>& outputs, long frames) {
  return processPlanar(inputs, outputs, frames);
}

}  // namespace host
