// The host chunk: the whole state of the preset system in one image.
#include "presets/CPresetSystemEffect.h"

namespace presets {

// Placeholder until the chunk image is written.
vst::VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!chunk_ || !data) return 0;
  *data = chunk_.get();
  return 0;
}

vst::VstInt32 CPresetSystemEffect::setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return -1; }

}  // namespace presets
