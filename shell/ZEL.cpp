#include "shell/ZEL.h"

#include <cmath>
#include <cstring>

#include "editor/Editor.h"
#include "params/ParameterTable.h"
#include "shell/PanelBridge.h"
#include "shell/ParameterProperties.h"

static_assert(editor::EditorHost::kNoController == state::kNone,
              "the editor and the controller map agree on no controller");

// The panel exists before the core loads the user's defaults and applies
// program 0, so that it hears the LINK state and the names they bring.
ZEL::ZEL(vst::HostCallback audioMaster) : AudioEffectX(audioMaster, 1, params::kNumParams), core_(*this) {
  programsAreChunks(true);
  setNumInputs(4);  // main stereo input, then the stereo key of the ducking
  setNumOutputs(2);
  setUniqueID(core::PluginCore::kPluginId);
  canProcessReplacing();
  canDoubleReplacing();
  auto panel = std::make_unique<Editor>(this);
  panel_ = panel.get();
  setEditor(new shell::PanelBridge(std::move(panel)));
  core_.start();
}

ZEL::~ZEL() {
  // A host may end the instance with its window still open: the window
  // closes first, while the core can still hear the end of a drag or a
  // typed name, and the panel goes before the core it asks.
  vst::AEffEditor* bridge = editor;
  if (bridge) bridge->close();
  editor = nullptr;
  panel_ = nullptr;
  delete bridge;
}

// ---------------------------------------------------------------- lifecycle

void ZEL::suspend() { core_.suspend(); }

// The host is asked everything first (events, transport, connected pins);
// the core takes its lock only for its own work.
void ZEL::resume() {
  wantEvents(1);
  core::SetUp setUp;
  if (const vst::VstTimeInfo* time = getTimeInfo(vst::kVstTempoValid);
      time && (time->flags & vst::kVstTempoValid) && std::isfinite(time->tempo))
    setUp.hostTempo = time->tempo;
  if (!core_.channelMapFixed()) {
    int inputs = 0, outputs = 0;
    while (inputs < 4 && isInputConnected(inputs)) ++inputs;
    while (outputs < 2 && isOutputConnected(outputs)) ++outputs;
    setUp.pinsCounted = engine::ChannelMap::forChannelCounts(inputs, outputs, setUp.countedMap);
  }
  setUp.sampleRate = getSampleRate();
  setUp.blockSize = getBlockSize();
  core_.resume(setUp);
}

// --------------------------------------------------------------------- audio

// The host's transport is asked before the core takes its lock: the lock is
// never held across a call into the host.
void ZEL::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  core_.process(inputs, outputs, sampleFrames, hostTransport());
}

void ZEL::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  core_.process(inputs, outputs, sampleFrames, hostTransport());
}

// Each field counts only when the host marks it valid: a record without the
// tempo flag carries a tempo of 0 or whatever the host left there.
core::Transport ZEL::hostTransport() {
  core::Transport transport;
  const vst::VstTimeInfo* time = getTimeInfo(vst::kVstTempoValid);
  if (time && (time->flags & vst::kVstTempoValid)) {
    transport.tempoValid = true;
    transport.tempo = time->tempo;
  }
  time = getTimeInfo(vst::kVstPpqPosValid);
  if (time && (time->flags & vst::kVstPpqPosValid) && (time->flags & vst::kVstTransportPlaying)) {
    transport.positionValid = true;
    transport.ppqPos = time->ppqPos;
  }
  return transport;
}

// ---------------------------------------------------------------- parameters

void ZEL::getParameterLabel(VstInt32 index, char* label) { params::parameterLabel(index, label); }
void ZEL::getParameterDisplay(VstInt32 index, char* text) { params::parameterDisplay(core_.parameters(), index, text); }
void ZEL::getParameterName(VstInt32 index, char* text) { params::parameterName(index, text); }
bool ZEL::getParameterProperties(VstInt32 index, vst::VstParameterProperties* p) {
  return p && shell::fillParameterProperties(index, *p);
}
void ZEL::getParameterReadout(int index, params::ParameterReadout& readout) const {
  params::parameterReadout(core_.parameters(), index, readout);
}
void ZEL::getParameterText(int index, char* display, char* label) {
  params::parameterDisplay(core_.parameters(), index, display);
  params::parameterLabel(index, label);
}

// ------------------------------------------------------------------ programs

// The name goes out whole: 24 bytes and a terminator. Hosts give buffers far
// larger than the published 24 bytes, and a name that fills all 24 would
// otherwise lose its last character.
void ZEL::getProgramName(char* name) { core_.copyProgramName(core_.currentProgram(), name); }

bool ZEL::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  return core_.copyProgramName(index, text);
}

// The image goes out in the core's own buffer, which nothing but the next
// getChunk writes: the host may keep reading it until it asks again.
vst::VstInt32 ZEL::getChunk(void** data, bool /*isPreset*/) {
  if (!data) return 0;
  *data = const_cast<uint8_t*>(core_.writeChunk());
  return state::kChunkSize;
}

// 0 on success and for a chunk of another version (ignored), -1 when the
// chunk is refused.
vst::VstInt32 ZEL::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  return core_.readChunk(data, byteSize) == state::ChunkRead::Refused ? -1 : 0;
}

bool ZEL::loadFile(FileKind kind, const std::string& path, bool reversed) {
  return core_.files().loadFile(kind, path, reversed);
}

bool ZEL::saveFile(FileKind kind, const std::string& path) { return core_.files().saveFile(kind, path); }

// ------------------------------------------------------------ MIDI events

// Control changes on any channel. Runs on the host's event thread: no
// allocation, constant work per event.
vst::VstInt32 ZEL::processEvents(vst::VstEvents* events) {
  if (!events) return 1;
  // The host allocates numEvents pointers behind the header.
  vst::VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = list[i];
    if (!event || event->type != vst::kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
    const auto status = static_cast<uint8_t>(midi->midiData[0]);
    if ((status & 0xf0) != 0xb0) continue;
    // The data byte arrives as a signed char; the core holds it to 0..127.
    core_.controlChange(static_cast<uint8_t>(midi->midiData[1]), static_cast<signed char>(midi->midiData[2]));
  }
  return 1;
}

vst::VstInt32 ZEL::canDo(char* text) {
  if (text && std::strcmp(text, "receiveVstMidiEvent") == 0)
    return canHostDo(const_cast<char*>("sendVstMidiEvent")) ? 1 : 0;
  return 0;
}

// ------------------------------------------------------------ host interface

bool ZEL::setSpeakerArrangement(vst::VstSpeakerArrangement* input, vst::VstSpeakerArrangement* output) {
  return input && output && core_.fixChannelMap(input->numChannels, output->numChannels);
}

bool ZEL::getEffectName(char* name) {
  std::strcpy(name, kEffectName);
  return true;
}

bool ZEL::getVendorString(char* text) {
  std::strcpy(text, kVendor);
  return true;
}

bool ZEL::getProductString(char* text) {
  std::strcpy(text, kProduct);
  return true;
}

// Some hosts hand their content scale (for high-resolution screens) through
// this vendor call: index 'PreS', value 'AeCs', the factor in opt.
vst::VstIntPtr ZEL::vendorSpecific(VstInt32 index, vst::VstIntPtr value, void* /*ptr*/, float opt) {
  if (index == vst::fourCharCode('P', 'r', 'e', 'S') && value == vst::fourCharCode('A', 'e', 'C', 's')) {
    if (!(opt > 0.0f) || !std::isfinite(opt) || !panel_) return 0;
    panel_->setContentScale(opt);
    return 1;
  }
  return 0;
}

// --------------------------------------------------------- the core's events

void ZEL::automate(int index, float value) {
  if (audioMaster) audioMaster(getAeffect(), vst::audioMasterAutomate, index, 0, nullptr, value);
}

void ZEL::parameterChanged(int index, float value) {
  if (panel_) panel_->setParameter(index, value);
}

void ZEL::tempoChanged(double bpm) {
  if (panel_) panel_->tempoChanged(bpm);
}

void ZEL::linkSuggested(bool on) {
  if (panel_) panel_->setLinked(on);
}

void ZEL::programChanged() {
  if (panel_) panel_->programChanged();
}

void ZEL::programNameShown(const char* name) {
  if (panel_) panel_->showProgramName(name);
}

void ZEL::programNamesChanged() {
  if (panel_) panel_->refreshProgramMenu();
}

void ZEL::learnEnded() {
  if (panel_) panel_->releaseLearnButton();
}

void ZEL::forgetEnded() {
  if (panel_) panel_->releaseForgetButton();
}

// -------------------------------------------------------------------- entry

vst::AudioEffect* createEffectInstance(vst::HostCallback audioMaster) {
  if (!audioMaster || !audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
  try {
    return new ZEL(audioMaster);
  } catch (...) {
    // The host expects null when no instance could be made.
    return nullptr;
  }
}
