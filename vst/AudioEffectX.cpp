#include "vst/AudioEffectX.h"

#include "vst/AEffEditor.h"

namespace vst {

AudioEffectX::AudioEffectX(HostCallback master, VstInt32 programs, VstInt32 params)
    : AudioEffect(master, programs, params) {}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effProcessEvents:
      return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
      return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
      return text && string2parameter(index, text) ? 1 : 0;
    case effGetProgramNameIndexed:
      return text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effGetInputProperties:
      return ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
      return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory:
      return getPlugCategory();
    case effSetSpeakerArrangement:
      if (!value || !ptr) return 0;
      return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                   static_cast<VstSpeakerArrangement*>(ptr))
                 ? 1
                 : 0;
    case effGetSpeakerArrangement:
      if (!value || !ptr) return 0;
      return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                   static_cast<VstSpeakerArrangement**>(ptr))
                 ? 1
                 : 0;
    case effSetBypass:
      return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
      return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
      return text && getVendorString(text) ? 1 : 0;
    case effGetProductString:
      return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
      return getVendorVersion();
    case effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return text ? canDo(text) : 0;
    case effGetTailSize:
      return getGetTailSize();
    case effGetParameterProperties:
      return ptr && getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
      return editor && editor->onKeyDown(index, value, opt) ? 1 : 0;
    case effEditKeyUp:
      return editor && editor->onKeyUp(index, value, opt) ? 1 : 0;
    case effSetEditKnobMode:
      return editor && editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
    case effBeginSetProgram:
      return beginSetProgram();
    case effEndSetProgram:
      return endSetProgram();
    case effStartProcess:
      return startProcess();
    case effStopProcess:
      return stopProcess();
    case effSetProcessPrecision:
      return setProcessPrecision(static_cast<VstInt32>(value)) ? 1 : 0;
    case effGetNumMidiInputChannels:
      return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
      return getNumMidiOutputChannels();
    default:
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

VstPlugCategory AudioEffectX::getPlugCategory() {
  return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
  *input = nullptr;
  *output = nullptr;
  return false;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
  if (!audioMaster) return nullptr;
  return reinterpret_cast<VstTimeInfo*>(audioMaster(&cEffect, audioMasterGetTime, 0, filter, nullptr, 0.0f));
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return audioMaster && audioMaster(&cEffect, audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}

bool AudioEffectX::canHostDo(char* text) {
  return audioMaster && audioMaster(&cEffect, audioMasterCanDo, 0, 0, text, 0.0f) != 0;
}

bool AudioEffectX::beginEdit(VstInt32 index) {
  return audioMaster && audioMaster(&cEffect, audioMasterBeginEdit, index, 0, nullptr, 0.0f) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
  return audioMaster && audioMaster(&cEffect, audioMasterEndEdit, index, 0, nullptr, 0.0f) != 0;
}

bool AudioEffectX::updateDisplay() {
  return audioMaster && audioMaster(&cEffect, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f) != 0;
}

bool AudioEffectX::ioChanged() {
  return audioMaster && audioMaster(&cEffect, audioMasterIOChanged, 0, 0, nullptr, 0.0f) != 0;
}

void AudioEffectX::wantEvents(VstInt32 filter) {
  if (audioMaster) audioMaster(&cEffect, audioMasterWantMidi, 0, filter, nullptr, 0.0f);
}

// A host answers 0 when the pin is connected.
bool AudioEffectX::isInputConnected(VstInt32 input) {
  return audioMaster && audioMaster(&cEffect, audioMasterPinConnected, input, 0, nullptr, 0.0f) == 0;
}

bool AudioEffectX::isOutputConnected(VstInt32 output) {
  return audioMaster && audioMaster(&cEffect, audioMasterPinConnected, output, 1, nullptr, 0.0f) == 0;
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events) {
  return audioMaster && audioMaster(&cEffect, audioMasterProcessEvents, 0, 0, events, 0.0f) == 1;
}

}  // namespace vst
