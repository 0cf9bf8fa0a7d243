// The library's exported entry: hosts call it with their callback and get
// the effect's AEffect record, or null.
#include "shell/ZEL.h"

#define TAVREL_EXPORT __attribute__((visibility("default")))

extern "C" TAVREL_EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback audioMaster) {
  try {
    if (!audioMaster || !audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
    vst::AudioEffect* effect = createEffectInstance(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

// Older Linux hosts look for the entry under the name "main".
extern "C" TAVREL_EXPORT vst::AEffect* vstMainAlias(vst::HostCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
