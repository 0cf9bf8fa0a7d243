// The host chunk of the program store and the MIDI map (layout in
// state/ChunkLayout.h): its writer and its reader.
#pragma once

#include <cstdint>

#include "state/MidiMap.h"
#include "state/ProgramStore.h"

namespace state {

// Fills `chunk` (kChunkSize bytes) with the image of the programs, the
// current program's index and the assignment values.
void writeChunk(uint8_t* chunk, uint32_t ownId, const ProgramStore& programs, const MidiMap& map);

enum class ChunkRead {
  Taken,         // programs and assignments replaced, the map rebuilt
  OtherVersion,  // a chunk of this plug-in in another version: ignored
  Refused,       // wrong size, ID or program count: nothing changed
};

// Takes a chunk of `size` bytes into the programs and the map; `current`
// is the program index the chunk names (not checked). The chunk's bytes
// are only read.
ChunkRead readChunk(const uint8_t* chunk, int size, uint32_t ownId, ProgramStore& programs, MidiMap& map,
                    int& current);

}  // namespace state
