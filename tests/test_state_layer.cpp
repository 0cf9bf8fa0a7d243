// The state layer on its own, as a second plug-in format's adapter uses it:
// the chunk of a program store and MIDI map, written and taken back with no
// VST type in between.
#include <gtest/gtest.h>

#include <vector>

#include "state/ChunkImage.h"
#include "state/ChunkLayout.h"

namespace {

using state::ChunkRead;

std::vector<uint8_t> chunkOf(const state::ProgramStore& programs, const state::MidiMap& map) {
  std::vector<uint8_t> chunk(state::kChunkSize);
  state::writeChunk(chunk.data(), static_cast<uint32_t>(state::kPluginId), programs, map);
  return chunk;
}

TEST(StateLayer, ChunkIsTakenWholeOrNotAtAll) {
  state::ProgramStore edited;
  edited.setCurrent(7);
  edited[7].setName("taken back");
  edited[60].values[params::DlyTimeR] = 0.3f;
  state::MidiMap map;
  map.assign(params::FbGainL, 20);
  const std::vector<uint8_t> written = chunkOf(edited, map);

  std::vector<uint8_t> otherVersion = written;
  otherVersion[state::kChunkVersionAt] ^= 1;
  std::vector<uint8_t> foreign = written;
  foreign[state::kChunkIdAt] ^= 1;
  struct Case {
    const char* what;
    std::vector<uint8_t> chunk;
    int size;
    ChunkRead result;
  } cases[] = {
      {"as written", written, state::kChunkSize, ChunkRead::Taken},
      {"another version", otherVersion, state::kChunkSize, ChunkRead::OtherVersion},
      {"another plug-in's ID", foreign, state::kChunkSize, ChunkRead::Refused},
      {"one byte short", written, state::kChunkSize - 1, ChunkRead::Refused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    state::ProgramStore programs;
    state::MidiMap restored;
    const std::vector<uint8_t> fresh = chunkOf(programs, restored);
    int current = -1;
    EXPECT_EQ(state::readChunk(c.chunk.data(), c.size, static_cast<uint32_t>(state::kPluginId), programs, restored,
                               current),
              c.result);
    if (c.result == ChunkRead::Taken) {
      EXPECT_EQ(current, 7);
      programs.setCurrent(current);
      EXPECT_EQ(chunkOf(programs, restored), written);
      EXPECT_EQ(restored.parameterOf(20), params::FbGainL);
    } else {
      EXPECT_EQ(chunkOf(programs, restored), fresh);
    }
  }
}

}  // namespace
