// The host chunk: the whole state of the preset system in one image of
// 16376 bytes, for a whole-bank request and a single-program request alike.
//
//   0      version 0x01000000
//   4      plug-in ID
//   8      number of programs, 61
//   12     current program
//   16     16 zero bytes
//   32     the 61 program records (24-byte name, 60 floats)
//   16136  the 60 controller assignment values
//
// Numbers are in the writer's byte order; a chunk from a machine of the
// other order is recognised by its byte-reversed ID.
#include <cstring>

#include "presets/ByteOrder.h"
#include "presets/CPresetSystemEffect.h"

namespace presets {

namespace {

constexpr uint32_t kChunkVersion = 0x01000000u;
constexpr int kVersionAt = 0;
constexpr int kIdAt = 4;
constexpr int kCountAt = 8;
constexpr int kCurrentAt = 12;
constexpr int kRecordsAt = 32;
constexpr int kAssignmentsAt = kRecordsAt + kNumPrograms * static_cast<int>(sizeof(ProgramRecord));
constexpr int kValuesInRecord = kNameSize;  // offset of the 60 floats behind the name

static_assert(kAssignmentsAt == 16136, "assignment values follow the records");
static_assert(kAssignmentsAt + params::kNumParams * 4 == kChunkSize, "the chunk ends with the assignment values");

// Every number of the chunk changes order; the names stay as they are.
void reverseChunkNumbers(uint8_t* chunk) {
  for (int at : {kVersionAt, kCountAt, kCurrentAt, 16, 20, 24, 28}) reverseWordInPlace(chunk + at);
  for (int p = 0; p < kNumPrograms; ++p) {
    uint8_t* values = chunk + kRecordsAt + p * static_cast<int>(sizeof(ProgramRecord)) + kValuesInRecord;
    for (int i = 0; i < params::kNumParams; ++i) reverseWordInPlace(values + 4 * i);
  }
  for (int i = 0; i < params::kNumParams; ++i) reverseWordInPlace(chunk + kAssignmentsAt + 4 * i);
}

}  // namespace

vst::VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!chunk_ || !data) return 0;
  uint8_t* chunk = chunk_.get();
  std::memset(chunk, 0, kChunkSize);
  writeWord(chunk + kVersionAt, kChunkVersion);
  writeWord(chunk + kIdAt, static_cast<uint32_t>(getPluginID()));
  writeWord(chunk + kCountAt, kNumPrograms);
  writeWord(chunk + kCurrentAt, static_cast<uint32_t>(currentProgram_.get()));
  if (programs_) std::memcpy(chunk + kRecordsAt, programs_.get(), kNumPrograms * sizeof(ProgramRecord));
  for (int i = 0; i < params::kNumParams; ++i) writeFloat(chunk + kAssignmentsAt + 4 * i, assignmentValues_[i].get());
  *data = chunk;
  return kChunkSize;
}

// 0 on success and for a chunk of another version (ignored), -1 when the
// chunk is refused; nothing changes unless the chunk is taken.
vst::VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  if (!chunk_ || !data || byteSize != kChunkSize) return -1;
  uint8_t* chunk = chunk_.get();
  // A host may hand back the very buffer getChunk gave it.
  if (data != chunk) std::memmove(chunk, data, kChunkSize);

  const uint32_t id = readWord(chunk + kIdAt);
  const auto ownId = static_cast<uint32_t>(getPluginID());
  if (id == reverseBytes(ownId) && id != ownId) {
    reverseChunkNumbers(chunk);
  } else if (id != ownId) {
    return -1;
  }
  if (readWord(chunk + kVersionAt) != kChunkVersion) return 0;
  if (static_cast<int32_t>(readWord(chunk + kCountAt)) != kNumPrograms) return -1;
  if (!programs_ || !hasMaps()) return -1;

  std::memcpy(programs_.get(), chunk + kRecordsAt, kNumPrograms * sizeof(ProgramRecord));
  for (int i = 0; i < params::kNumParams; ++i) assignmentValues_[i] = readFloat(chunk + kAssignmentsAt + 4 * i, false);
  rebuildMidiMap();

  const auto current = static_cast<int32_t>(readWord(chunk + kCurrentAt));
  if (current >= 0 && current < kNumPrograms) selectProgram(current);
  return 0;
}

}  // namespace presets
