// Arbitrary sequences of host requests: every dispatcher opcode with chosen
// indices and values and valid buffers, parameter writes of any float
// (non-numbers, infinities, huge values, the write-only switches and the
// controller slots), and blocks of any size in either precision, also longer
// than the block size announced and before the effect was resumed.
//
// Input: one byte for the tempo, then operations, each a kind byte followed
// by its arguments.
//
// Holds to: no request reaches outside its buffers; every block is finite
// and bounded; parameters read back within 0..1; and at the end the state's
// chunk is taken back and round-trips.
#include "tests/fuzz/FuzzSupport.h"

namespace {

using namespace fuzz;

// Room for any reply: the longest text the interface defines is 256 bytes
// and the largest record well under 1 KiB.
constexpr size_t kBufferSize = 4096;

void speakerArrangement(vst::VstSpeakerArrangement& arrangement, Input& in) {
  arrangement = vst::VstSpeakerArrangement{};
  arrangement.type = static_cast<int32_t>(in.byte()) - 2;
  arrangement.numChannels = in.byte() < 224 ? in.byte() % 9 : in.integer();
}

// Set when an input changed the engine's set-up (rate, block size, running
// state, channels): only then does the next input start with a fresh resume,
// whose clearing of the lines costs more than most inputs.
bool setUpChanged = true;

void request(Effect& effect, Input& in) {
  const uint8_t choice = in.byte();
  const int32_t opcode = choice < 200 ? choice % (vst::effGetNumMidiOutputChannels + 1) : in.integer();
  const int32_t index = in.integer();
  intptr_t value = in.integer();
  const float opt = in.byte() < 128 ? static_cast<float>(in.integer()) : in.value();

  alignas(16) static uint8_t buffer[kBufferSize];
  std::memset(buffer, 0, sizeof buffer);
  const Bytes text = in.take(in.byte());  // a name, a parameter text, a canDo question
  if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
  void* ptr = buffer;

  switch (opcode) {
    case vst::effSetSampleRate:
    case vst::effSetBlockSize:
    case vst::effMainsChanged:
    case vst::effSetSpeakerArrangement:
    case vst::effSetBlockSizeAndSampleRate:
      setUpChanged = true;
      break;
    default:
      break;
  }
  switch (opcode) {
    case vst::effClose:
      return;  // the effect lives as long as the fuzzing process
    case vst::effEditOpen:
      ptr = nullptr;  // no window system here: the editor opens without a window
      break;
    case vst::effGetChunk:
    case vst::effEditGetRect: {
      void* answer = nullptr;
      const intptr_t size = effect.dispatch(opcode, index, value, &answer, opt);
      if (opcode == vst::effGetChunk && size > 0) {
        FUZZ_CHECK(answer && size == state::kChunkSize, "getChunk answered %ld", static_cast<long>(size));
        Bytes copy(static_cast<const uint8_t*>(answer), static_cast<const uint8_t*>(answer) + size);
      }
      if (opcode == vst::effEditGetRect && size) FUZZ_CHECK(answer, "a rectangle without a record");
      return;
    }
    case vst::effSetChunk: {
      Bytes chunk = in.byte() < 128 ? effect.pristine() : in.take(in.u16());
      for (int edits = in.byte() % 8; edits > 0 && !chunk.empty(); --edits) chunk[in.u16() % chunk.size()] = in.byte();
      effect.dispatch(opcode, index, static_cast<intptr_t>(chunk.size()), chunk.data(), opt);
      return;
    }
    case vst::effSetSpeakerArrangement: {
      vst::VstSpeakerArrangement inputs, outputs;
      speakerArrangement(inputs, in);
      speakerArrangement(outputs, in);
      effect.dispatch(opcode, index, reinterpret_cast<intptr_t>(&inputs), &outputs, opt);
      return;
    }
    case vst::effGetSpeakerArrangement: {
      vst::VstSpeakerArrangement* inputs = nullptr;
      vst::VstSpeakerArrangement* outputs = nullptr;
      effect.dispatch(opcode, index, reinterpret_cast<intptr_t>(&inputs), &outputs, opt);
      return;
    }
    case vst::effProcessEvents: {
      const int count = in.byte() % 8;
      std::vector<vst::VstMidiEvent> records(static_cast<size_t>(count));
      Bytes storage(offsetof(vst::VstEvents, events) + (count + 2) * sizeof(void*), 0);
      auto* events = reinterpret_cast<vst::VstEvents*>(storage.data());
      events->numEvents = in.byte() < 240 ? count : -count;
      for (int i = 0; i < count; ++i) {
        records[i].type = in.byte() < 200 ? int32_t{vst::kVstMidiType} : int32_t{in.byte()};
        records[i].byteSize = sizeof(vst::VstMidiEvent);
        for (int b = 0; b < 3; ++b) records[i].midiData[b] = static_cast<char>(in.byte());
        vst::VstEvent* pointer = in.byte() < 250 ? reinterpret_cast<vst::VstEvent*>(&records[i]) : nullptr;
        std::memcpy(storage.data() + offsetof(vst::VstEvents, events) + i * sizeof(void*), &pointer, sizeof pointer);
      }
      effect.dispatch(opcode, index, value, events, opt);
      return;
    }
    case vst::effMainsChanged:
      value = value & 1;
      break;
    case vst::effSetSampleRate: {
      static constexpr float kRates[] = {44100, 48000, 96000, 4096, 200000, 22050, 8000, 192000, 176400, 0,
                                         -1,    384000, 4095,  200001, 1e30f, std::numeric_limits<float>::quiet_NaN()};
      effect.dispatch(opcode, index, value, ptr, kRates[in.byte() % std::size(kRates)]);
      return;
    }
    default:
      break;
  }
  effect.dispatch(opcode, index, value, ptr, opt);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Effect& effect = Effect::get();
  Host::current().chooseTime(in);
  effect.reset(setUpChanged);
  setUpChanged = false;
  if (in.byte() & 1) {
    effect.dispatch(vst::effMainsChanged, 0, 0);  // blocks before resume
    setUpChanged = true;
  }

  for (int operations = 0; !in.empty() && operations < 96; ++operations) {
    const uint8_t kind = in.byte();
    if (kind < 96) {
      request(effect, in);
    } else if (kind < 192) {
      const int32_t index = in.byte() < 224 ? in.byte() % 124 - 2 : in.integer();
      effect.setParameter(index, in.value());
    } else if (kind < 224) {
      static char text[256];
      const int32_t index = in.byte() % 124 - 2;
      effect.getParameter(index);
      effect.dispatch(vst::effGetParamDisplay, index, 0, text);
      effect.dispatch(vst::effGetParamName, index, 0, text);
    } else {
      // Up to 8192 frames, whatever block size was announced.
      const int frames = in.byte() < 240 ? in.byte() % 129 : in.u16() % 8193;
      processBlock(effect, in, frames, kind & 1);
    }
  }

  checkState(effect);
  const Bytes state = effect.chunk();
  checkProgramValues(state);
  FUZZ_CHECK(effect.setChunk(state) == 0, "the effect's own chunk is refused");
  FUZZ_CHECK(effect.chunk() == state, "the effect's own chunk does not round-trip");
  processBlock(effect, in, 64, false);
  return 0;
}
