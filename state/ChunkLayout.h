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
#pragma once

#include <cstdint>

#include "params/ParameterTable.h"
#include "state/ByteOrder.h"
#include "state/ProgramRecord.h"

namespace state {

constexpr int32_t kPluginId = fourCharId('R', 'd', 'l', 'x');

constexpr uint32_t kChunkVersion = 0x01000000u;
constexpr int kChunkVersionAt = 0;
constexpr int kChunkIdAt = 4;
constexpr int kChunkCountAt = 8;
constexpr int kChunkCurrentAt = 12;
constexpr int kChunkRecordsAt = 32;
constexpr int kChunkAssignmentsAt = kChunkRecordsAt + kNumPrograms * static_cast<int>(sizeof(ProgramRecord));
constexpr int kChunkSize = kChunkAssignmentsAt + params::kNumParams * 4;

static_assert(kChunkAssignmentsAt == 16136, "assignment values follow the records");
static_assert(kChunkSize == 16376, "the chunk ends with the assignment values");

}  // namespace state
