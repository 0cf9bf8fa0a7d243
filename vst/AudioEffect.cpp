#include "vst/AudioEffect.h"

#include <cstring>

#include "params/NumberText.h"
#include "vst/AEffEditor.h"

namespace vst {

namespace {

// The C entry points of the record. A host must never see an exception, so
// each one stops them here and answers as if the request had done nothing.
intptr_t dispatchEntry(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  AudioEffect* effect = AudioEffect::fromAeffect(e);
  if (!effect) return 0;
  try {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void processAccumulatingEntry(AEffect*, float**, float**, int32_t) {
  // The old accumulating process entry does nothing: hosts of this
  // generation call processReplacing or processDoubleReplacing.
}

void processReplacingEntry(AEffect* e, float** inputs, float** outputs, int32_t frames) {
  AudioEffect* effect = AudioEffect::fromAeffect(e);
  if (!effect || !inputs || !outputs || frames < 0) return;
  try {
    effect->processReplacing(inputs, outputs, frames);
  } catch (...) {
  }
}

void processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs, int32_t frames) {
  AudioEffect* effect = AudioEffect::fromAeffect(e);
  if (!effect || !inputs || !outputs || frames < 0) return;
  try {
    effect->processDoubleReplacing(inputs, outputs, frames);
  } catch (...) {
  }
}

void setParameterEntry(AEffect* e, int32_t index, float value) {
  AudioEffect* effect = AudioEffect::fromAeffect(e);
  if (!effect) return;
  try {
    effect->setParameter(index, value);
  } catch (...) {
  }
}

float getParameterEntry(AEffect* e, int32_t index) {
  AudioEffect* effect = AudioEffect::fromAeffect(e);
  if (!effect) return 0.0f;
  try {
    return effect->getParameter(index);
  } catch (...) {
    return 0.0f;
  }
}

}  // namespace

AudioEffect::AudioEffect(HostCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEntry;
  cEffect.process = processAccumulatingEntry;
  cEffect.setParameter = setParameterEntry;
  cEffect.getParameter = getParameterEntry;
  cEffect.numPrograms = programs;
  cEffect.numParams = params;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = fourCharCode('N', 'o', 'E', 'f');
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingEntry;
  cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() { delete editor; }

AudioEffect* AudioEffect::fromAeffect(AEffect* effect) {
  if (!effect || effect->magic != kEffectMagic) return nullptr;
  return static_cast<AudioEffect*>(effect->object);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      delete this;
      return 1;
    case effSetProgram:
      if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      if (text) setProgramName(text);
      return 0;
    case effGetProgramName:
      if (text) getProgramName(text);
      return 0;
    case effGetParamLabel:
      if (text) getParameterLabel(index, text);
      return 0;
    case effGetParamDisplay:
      if (text) getParameterDisplay(index, text);
      return 0;
    case effGetParamName:
      if (text) getParameterName(index, text);
      return 0;
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value)
        resume();
      else
        suspend();
      return 0;
    case effEditGetRect:
      if (editor && ptr) return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
      return 0;
    case effEditOpen:
      return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
      if (editor) editor->close();
      return 0;
    case effEditIdle:
      if (editor) editor->idle();
      return 0;
    case effGetChunk:
      if (!ptr) return 0;
      return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
      return 0;
  }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  if (audioMaster) audioMaster(&cEffect, audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
  VstInt32 version = 1;
  if (audioMaster) {
    version = static_cast<VstInt32>(audioMaster(&cEffect, audioMasterVersion, 0, 0, nullptr, 0.0f));
    if (!version) version = 1;  // a 1.0 host answers 0
  }
  return version;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
  return audioMaster ? static_cast<VstInt32>(audioMaster(&cEffect, audioMasterCurrentId, 0, 0, nullptr, 0.0f)) : 0;
}

void AudioEffect::masterIdle() {
  if (audioMaster) audioMaster(&cEffect, audioMasterIdle, 0, 0, nullptr, 0.0f);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) { params::floatText(value, text, maxLen); }
void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) { params::decibelText(value, text, maxLen); }
void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) { params::intText(value, text, maxLen); }

}  // namespace vst
