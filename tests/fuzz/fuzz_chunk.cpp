// Host chunks of any length and content through effSetChunk, as a bank
// chunk (index 0) or a program chunk (index 1).
//
// Input: one byte of choices (bit 0: program chunk; bit 1: the rest is
// laid over the effect's own chunk instead of taken at its own length;
// bit 2: read the chunk back as a program chunk), one byte for the tempo,
// then the chunk.
//
// Holds to: a refused or ignored chunk changes nothing (the next chunk is
// byte-identical); a taken one becomes the state exactly, with its values
// held to 0..1, and then round-trips; a block afterwards stays finite.
#include "state/ByteOrder.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using namespace fuzz;

uint32_t wordAt(const Bytes& b, int at) {
  uint32_t w;
  std::memcpy(&w, b.data() + at, 4);
  return w;
}

// What the state's chunk must be after `sent` was taken, given the chunk
// before: numbers in this machine's order, values held, the current program
// kept when the chunk names none in range.
Bytes expectedAfter(Bytes sent, const Bytes& before, bool reversed) {
  auto reverseAt = [&](size_t at) {
    uint32_t w = state::reverseBytes(wordAt(sent, static_cast<int>(at)));
    std::memcpy(sent.data() + at, &w, 4);
  };
  if (reversed) {
    for (int at : {0, 8, 12, 16, 20, 24, 28}) reverseAt(at);
    for (int k = 0; k < state::kNumPrograms; ++k)
      for (int i = 0; i < params::kNumParams; ++i)
        reverseAt(state::kChunkRecordsAt + k * sizeof(state::ProgramRecord) + state::kNameSize + 4 * i);
    for (int i = 0; i < params::kNumParams; ++i) reverseAt(state::kChunkAssignmentsAt + 4 * i);
  }
  std::memcpy(sent.data() + state::kChunkIdAt, before.data() + state::kChunkIdAt, 4);
  std::memset(sent.data() + 16, 0, 16);
  const auto current = static_cast<int32_t>(wordAt(sent, state::kChunkCurrentAt));
  if (current < 0 || current >= state::kNumPrograms)
    std::memcpy(sent.data() + state::kChunkCurrentAt, before.data() + state::kChunkCurrentAt, 4);
  for (int k = 0; k < state::kNumPrograms; ++k)
    for (int i = 0; i < params::kNumParams; ++i) {
      uint8_t* at = sent.data() + state::kChunkRecordsAt + k * sizeof(state::ProgramRecord) +
                    state::kNameSize + 4 * i;
      float v;
      std::memcpy(&v, at, 4);
      v = !(v >= 0.0f) ? 0.0f : (v > 1.0f ? 1.0f : v);
      std::memcpy(at, &v, 4);
    }
  return sent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Effect& effect = Effect::get();
  const uint8_t choices = in.byte();
  Host::current().chooseTime(in);
  effect.reset();

  const bool isPreset = choices & 1;
  Bytes sent = in.take();
  if (choices & 2) {
    // Laid over a valid chunk: small inputs reach deep into the format.
    Bytes over = effect.pristine();
    if (!sent.empty()) std::memcpy(over.data(), sent.data(), std::min(sent.size(), over.size()));
    sent = std::move(over);
  }

  const Bytes before = effect.chunk();
  const intptr_t result = effect.setChunk(sent, isPreset);
  const Bytes after = effect.chunk(choices & 4);

  const uint32_t ownId = static_cast<uint32_t>(state::kPluginId);
  bool known = sent.size() == static_cast<size_t>(state::kChunkSize);
  const uint32_t id = known ? wordAt(sent, state::kChunkIdAt) : 0;
  const bool reversed = known && id == state::reverseBytes(ownId) && id != ownId;
  known = known && (id == ownId || reversed);
  auto oriented = [&](int at) { return reversed ? state::reverseBytes(wordAt(sent, at)) : wordAt(sent, at); };
  const bool otherVersion = known && oriented(state::kChunkVersionAt) != state::kChunkVersion;
  const bool taken = known && !otherVersion && oriented(state::kChunkCountAt) == state::kNumPrograms;

  if (!taken) {
    FUZZ_CHECK(result == (otherVersion ? 0 : -1), "setChunk answered %ld", static_cast<long>(result));
    FUZZ_CHECK(after == before, "a chunk that was not taken changed the state");
  } else {
    FUZZ_CHECK(result == 0, "a valid chunk was refused with %ld", static_cast<long>(result));
    FUZZ_CHECK(after == expectedAfter(sent, before, reversed), "the state is not the chunk that was taken");
    FUZZ_CHECK(effect.setChunk(after, !isPreset) == 0, "the effect's own chunk is refused");
    FUZZ_CHECK(effect.chunk() == after, "the effect's own chunk does not round-trip");
  }
  checkProgramValues(after);
  checkState(effect);
  processBlock(effect, in, 64, choices & 8);
  return 0;
}
