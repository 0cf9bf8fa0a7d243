// The host chunk (its image: state/ChunkImage.h).
#include "presets/CPresetSystemEffect.h"
#include "state/ChunkImage.h"

namespace presets {

// The image goes out in the effect's own buffer, which nothing but the next
// getChunk writes: the host may keep reading it until it asks again.
vst::VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!chunk_ || !data) return 0;
  writeChunk(chunk_.get(), static_cast<uint32_t>(getPluginID()), programStore_, midiMap_);
  *data = chunk_.get();
  return state::kChunkSize;
}

// 0 on success and for a chunk of another version (ignored), -1 when the
// chunk is refused; nothing changes unless the chunk is taken. The host's
// bytes are never written: they may be the image the last getChunk handed
// out.
vst::VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  if (!chunk_) return -1;
  int current = 0;
  switch (readChunk(static_cast<const uint8_t*>(data), byteSize, static_cast<uint32_t>(getPluginID()), programStore_,
                    midiMap_, current)) {
    case state::ChunkRead::Refused: return -1;
    case state::ChunkRead::OtherVersion: return 0;
    case state::ChunkRead::Taken: break;
  }
  if (current >= 0 && current < state::kNumPrograms) selectProgram(current);
  return 0;
}

}  // namespace presets
