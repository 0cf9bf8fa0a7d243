#include "state/ChunkImage.h"

#include <cstring>

#include "state/ByteOrder.h"
#include "state/ChunkLayout.h"

namespace state {

namespace {

constexpr int kValuesInRecord = kNameSize;  // offset of the 60 floats behind the name

// A number of the chunk, in this machine's order.
uint32_t chunkWord(const uint8_t* at, bool reversed) {
  const uint32_t w = readWord(at);
  return reversed ? reverseBytes(w) : w;
}

uint8_t* recordAt(uint8_t* chunk, int program) {
  return chunk + kChunkRecordsAt + program * static_cast<int>(sizeof(ProgramRecord));
}

const uint8_t* recordAt(const uint8_t* chunk, int program) {
  return chunk + kChunkRecordsAt + program * static_cast<int>(sizeof(ProgramRecord));
}

}  // namespace

void writeChunk(uint8_t* chunk, uint32_t ownId, const ProgramStore& programs, const MidiMap& map) {
  std::memset(chunk, 0, kChunkSize);
  writeWord(chunk + kChunkVersionAt, kChunkVersion);
  writeWord(chunk + kChunkIdAt, ownId);
  writeWord(chunk + kChunkCountAt, kNumPrograms);
  writeWord(chunk + kChunkCurrentAt, static_cast<uint32_t>(programs.current()));
  for (int p = 0; p < kNumPrograms; ++p) {
    uint8_t* record = recordAt(chunk, p);
    std::memcpy(record, programs[p].name, kNameSize);
    for (int i = 0; i < params::kNumParams; ++i) writeFloat(record + kValuesInRecord + 4 * i, programs[p].values[i]);
  }
  for (int i = 0; i < params::kNumParams; ++i) writeFloat(chunk + kChunkAssignmentsAt + 4 * i, map.assignment(i));
}

// A chunk from a machine of the other order is read where it is, its
// numbers byte-reversed on the way.
ChunkRead readChunk(const uint8_t* chunk, int size, uint32_t ownId, ProgramStore& programs, MidiMap& map,
                    int& current) {
  if (!chunk || size != kChunkSize) return ChunkRead::Refused;
  const uint32_t id = readWord(chunk + kChunkIdAt);
  const bool reversed = id == reverseBytes(ownId) && id != ownId;
  if (!reversed && id != ownId) return ChunkRead::Refused;
  if (chunkWord(chunk + kChunkVersionAt, reversed) != kChunkVersion) return ChunkRead::OtherVersion;
  if (static_cast<int32_t>(chunkWord(chunk + kChunkCountAt, reversed)) != kNumPrograms) return ChunkRead::Refused;

  // Values outside 0..1 are held to it: a project from anywhere plays, but
  // never with a setting no control can make.
  for (int p = 0; p < kNumPrograms; ++p) {
    const uint8_t* record = recordAt(chunk, p);
    std::memcpy(programs[p].name, record, kNameSize);
    for (int i = 0; i < params::kNumParams; ++i)
      programs[p].values[i] = params::heldNormalised(readFloat(record + kValuesInRecord + 4 * i, reversed));
  }
  float assignments[params::kNumParams];
  for (int i = 0; i < params::kNumParams; ++i) assignments[i] = readFloat(chunk + kChunkAssignmentsAt + 4 * i, reversed);
  map.restore(assignments);
  current = static_cast<int32_t>(chunkWord(chunk + kChunkCurrentAt, reversed));
  return ChunkRead::Taken;
}

}  // namespace state
