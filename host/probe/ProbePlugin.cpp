// A tiny VST 2.4 plug-in that exists only to check the host library: it
// reports what the host told it and shows on its outputs how it was driven.
//   output 0 = input 0 + input 2 (so the tests see which inputs carry data)
//   output 1 = the length of the block being processed
// It scribbles over its inputs after reading them, as a badly behaved
// plug-in may, so the tests can check the host protects the caller's data.
// effVendorSpecific answers: index 0 = inputs counted connected at resume,
// 1 = outputs counted, 2 = the last block's samplePos and ppqPos written as
// two doubles through ptr (both -1 when the host gave no time info),
// 3 = number of MIDI events last delivered, 4 = the first event's bytes.
#include <cstring>

#include "vst/aeffect.h"

namespace {

struct Probe {
  vst::AEffect effect{};
  vst::HostCallback host = nullptr;
  int inputsConnected = -1;
  int outputsConnected = -1;
  double samplePos = -1.0;
  double ppqPos = -1.0;
  int midiCount = 0;
  int firstMidi = 0;
};

Probe* probeOf(vst::AEffect* e) { return reinterpret_cast<Probe*>(e->object); }

int countPins(Probe* p, int maxPins, intptr_t direction) {
  int n = 0;
  while (n < maxPins && p->host(&p->effect, vst::audioMasterPinConnected, n, direction, nullptr, 0.0f) == 0) ++n;
  return n;
}

void readTime(Probe* p) {
  auto* t = reinterpret_cast<vst::VstTimeInfo*>(
      p->host(&p->effect, vst::audioMasterGetTime, 0, vst::kVstPpqPosValid | vst::kVstTempoValid, nullptr, 0.0f));
  p->samplePos = t != nullptr ? t->samplePos : -1.0;
  p->ppqPos = t != nullptr ? t->ppqPos : -1.0;
}

template <typename T>
void processAny(vst::AEffect* e, T** in, T** out, int32_t frames) {
  Probe* p = probeOf(e);
  readTime(p);
  for (int32_t i = 0; i < frames; ++i) {
    out[0][i] = in[0][i] + in[2][i];
    out[1][i] = static_cast<T>(frames);
  }
  for (int c = 0; c < 4; ++c)
    for (int32_t i = 0; i < frames; ++i) in[c][i] = T(-999);
}

void processFloat(vst::AEffect* e, float** in, float** out, int32_t frames) { processAny(e, in, out, frames); }
void processDouble(vst::AEffect* e, double** in, double** out, int32_t frames) { processAny(e, in, out, frames); }
void setParameter(vst::AEffect*, int32_t, float) {}
float getParameter(vst::AEffect*, int32_t) { return 0.0f; }

intptr_t dispatcher(vst::AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float) {
  Probe* p = probeOf(e);
  switch (opcode) {
    case vst::effClose:
      delete p;
      return 1;
    case vst::effMainsChanged:
      if (value != 0) {
        p->inputsConnected = countPins(p, 4, 0);
        p->outputsConnected = countPins(p, 2, 1);
      }
      return 0;
    case vst::effProcessEvents: {
      auto* events = static_cast<vst::VstEvents*>(ptr);
      p->midiCount = events->numEvents;
      if (events->numEvents > 0) {
        auto* m = reinterpret_cast<vst::VstMidiEvent*>(events->events[0]);
        p->firstMidi = (static_cast<unsigned char>(m->midiData[0]) << 16) |
                       (static_cast<unsigned char>(m->midiData[1]) << 8) | static_cast<unsigned char>(m->midiData[2]);
      }
      return 1;
    }
    case vst::effVendorSpecific:
      switch (index) {
        case 0: return p->inputsConnected;
        case 1: return p->outputsConnected;
        case 2: {
          double both[2] = {p->samplePos, p->ppqPos};
          std::memcpy(ptr, both, sizeof both);
          return 1;
        }
        case 3: return p->midiCount;
        case 4: return p->firstMidi;
        default: return 0;
      }
    case vst::effGetEffectName:
      std::strcpy(static_cast<char*>(ptr), "Probe");
      return 1;
    default:
      return 0;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::HostCallback host) {
  if (host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  auto* p = new Probe();
  p->host = host;
  vst::AEffect& e = p->effect;
  e.magic = vst::kEffectMagic;
  e.dispatcher = dispatcher;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = 1;
  e.numParams = 1;
  e.numInputs = 4;
  e.numOutputs = 2;
  e.flags = vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing;
  e.object = p;
  e.uniqueID = vst::fourCharCode('P', 'r', 'b', '1');
  e.version = 1;
  e.ioRatio = 1.0f;
  e.processReplacing = processFloat;
  e.processDoubleReplacing = processDouble;
  return &e;
}
