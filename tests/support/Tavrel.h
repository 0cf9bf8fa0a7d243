// Shared test helpers: the built plug-in loaded through the host library as
// a DAW loads it, and an in-process effect for what hosts cannot see.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

}  // namespace testing_support
