// Shared test helpers: the built plug-in loaded through the host library as
// a DAW loads it, and an in-process effect for what hosts cannot see.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/PluginHost.h"
#include "shell/ZEL.h"

namespace testing_support {

inline std::unique_ptr<host::PluginInstance> loadTavrel(const host::HostScript& script = {}) {
  std::string error;
  auto plugin = host::PluginInstance::load(TAVREL_PLUGIN_PATH, script, &error);
  EXPECT_TRUE(plugin) << error;
  return plugin;
}

// Answers as a 2.4 host with no transport and nothing connected.
inline intptr_t quietHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// An effect made in this process, for the editor-facing operations.
inline std::unique_ptr<ZEL> makeZel() { return std::make_unique<ZEL>(quietHost); }

// An in-process host that records the calls the effect makes. One at a time.
struct RecordingHost {
  struct Call {
    int32_t opcode, index;
    float opt;
  };
  std::vector<Call> calls;
  double tempo = 0.0;  // 0: no time information
  vst::VstTimeInfo time{};

  RecordingHost() { current() = this; }
  ~RecordingHost() { current() = nullptr; }

  static RecordingHost*& current() {
    static RecordingHost* host = nullptr;
    return host;
  }
  static intptr_t callback(vst::AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float opt) {
    RecordingHost* self = current();
    if (opcode == vst::audioMasterVersion) return 2400;
    if (!self) return 0;
    self->calls.push_back({opcode, index, opt});
    if (opcode == vst::audioMasterGetTime && self->tempo > 0.0) {
      self->time.tempo = self->tempo;
      self->time.flags = vst::kVstTempoValid;
      return reinterpret_cast<intptr_t>(&self->time);
    }
    return 0;
  }
  int count(int32_t opcode) const {
    int n = 0;
    for (const Call& c : calls) n += c.opcode == opcode;
    return n;
  }
  std::unique_ptr<ZEL> makeZel() { return std::make_unique<ZEL>(callback); }
};

}  // namespace testing_support
