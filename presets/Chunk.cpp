// The host chunk (layout in presets/ChunkLayout.h).
#include <cstring>

#include "state/ByteOrder.h"
#include "presets/CPresetSystemEffect.h"

namespace presets {

namespace {

constexpr int kValuesInRecord = kNameSize;  // offset of the 60 floats behind the name

// A number of the chunk, in this machine's order.
uint32_t chunkWord(const uint8_t* at, bool reversed) {
  const uint32_t w = readWord(at);
  return reversed ? reverseBytes(w) : w;
}

}  // namespace

// The image goes out in the effect's own buffer, which nothing but the next
// getChunk writes: the host may keep reading it until it asks again.
vst::VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!chunk_ || !data) return 0;
  uint8_t* chunk = chunk_.get();
  std::memset(chunk, 0, kChunkSize);
  writeWord(chunk + kChunkVersionAt, kChunkVersion);
  writeWord(chunk + kChunkIdAt, static_cast<uint32_t>(getPluginID()));
  writeWord(chunk + kChunkCountAt, kNumPrograms);
  writeWord(chunk + kChunkCurrentAt, static_cast<uint32_t>(currentProgram_.get()));
  for (int p = 0; programs_ && p < kNumPrograms; ++p) {
    uint8_t* record = chunk + kChunkRecordsAt + p * static_cast<int>(sizeof(ProgramRecord));
    std::memcpy(record, programs_[p].name, kNameSize);
    for (int i = 0; i < params::kNumParams; ++i) writeFloat(record + kValuesInRecord + 4 * i, programs_[p].values[i]);
  }
  for (int i = 0; i < params::kNumParams; ++i) writeFloat(chunk + kChunkAssignmentsAt + 4 * i, assignmentValues_[i].get());
  *data = chunk;
  return kChunkSize;
}

// 0 on success and for a chunk of another version (ignored), -1 when the
// chunk is refused; nothing changes unless the chunk is taken. The host's
// bytes are read where they are (byte-reversed on the way when they come
// from a machine of the other order) and never written: they may be the
// image the last getChunk handed out.
vst::VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  if (!chunk_ || !data || byteSize != kChunkSize) return -1;
  const auto* chunk = static_cast<const uint8_t*>(data);

  const uint32_t id = readWord(chunk + kChunkIdAt);
  const auto ownId = static_cast<uint32_t>(getPluginID());
  const bool reversed = id == reverseBytes(ownId) && id != ownId;
  if (!reversed && id != ownId) return -1;
  if (chunkWord(chunk + kChunkVersionAt, reversed) != kChunkVersion) return 0;
  if (static_cast<int32_t>(chunkWord(chunk + kChunkCountAt, reversed)) != kNumPrograms) return -1;
  if (!programs_ || !hasMaps()) return -1;

  // Values outside 0..1 are held to it: a project from anywhere plays, but
  // never with a setting no control can make.
  for (int p = 0; p < kNumPrograms; ++p) {
    const uint8_t* record = chunk + kChunkRecordsAt + p * static_cast<int>(sizeof(ProgramRecord));
    std::memcpy(programs_[p].name, record, kNameSize);
    for (int i = 0; i < params::kNumParams; ++i)
      programs_[p].values[i] = params::heldNormalised(readFloat(record + kValuesInRecord + 4 * i, reversed));
  }
  for (int i = 0; i < params::kNumParams; ++i)
    assignmentValues_[i] = readFloat(chunk + kChunkAssignmentsAt + 4 * i, reversed);
  rebuildMidiMap();

  const auto current = static_cast<int32_t>(chunkWord(chunk + kChunkCurrentAt, reversed));
  if (current >= 0 && current < kNumPrograms) selectProgram(current);
  return 0;
}

}  // namespace presets
