// What the fuzz targets share: a reader that turns the fuzzer's bytes into
// choices, one effect per target process driven through its AEffect record
// as a host drives it, a host callback with a tempo the input chooses, and
// the checks every target makes of the state and the audio.
//
// A failed check prints what broke and aborts, which libFuzzer records as a
// crash with the input that caused it and the replay driver reports as a
// failed test.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "params/ParameterTable.h"
#include "state/ChunkLayout.h"
#include "shell/ZEL.h"
#include "vst/aeffect.h"

namespace fuzz {

#define FUZZ_CHECK(condition, ...)                                            \
  do {                                                                        \
    if (!(condition)) {                                                       \
      std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, \
                   #condition);                                               \
      std::fprintf(stderr, __VA_ARGS__);                                      \
      std::fprintf(stderr, "\n");                                             \
      std::abort();                                                           \
    }                                                                         \
  } while (0)

using Bytes = std::vector<uint8_t>;

// Hands out the input's bytes as choices; past the end every read gives 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return at_ >= size_; }
  size_t left() const { return empty() ? 0 : size_ - at_; }
  uint8_t byte() { return empty() ? 0 : data_[at_++]; }
  uint16_t u16() { return static_cast<uint16_t>(byte() | byte() << 8); }
  uint32_t u32() { return static_cast<uint32_t>(u16() | static_cast<uint32_t>(u16()) << 16); }
  bool flag() { return byte() & 1; }
  // The rest of the input, or at most `most` bytes of it.
  Bytes take(size_t most = std::numeric_limits<size_t>::max()) {
    const size_t n = std::min(most, left());
    Bytes out(data_ + at_, data_ + at_ + n);
    at_ += n;
    return out;
  }

  // A float a careless host might send: mostly ordinary values, sometimes
  // the ends of the range, non-numbers, infinities and huge values.
  float value() {
    static constexpr float kSpecial[] = {0.0f,     1.0f,   0.5f,  -0.0f,   -1.0f,  1.0000001f, -1e-45f, 1e-45f,
                                         2.0f,     1e30f,  -1e30f, 7.748062f, 0.25f, 0.75f,
                                         std::numeric_limits<float>::quiet_NaN(),
                                         std::numeric_limits<float>::infinity(),
                                         -std::numeric_limits<float>::infinity(),
                                         std::numeric_limits<float>::max()};
    const uint8_t choice = byte();
    if (choice < 128) return choice / 127.0f;
    if (choice < 192) return kSpecial[choice % std::size(kSpecial)];
    float raw;
    const uint32_t bits = u32();
    std::memcpy(&raw, &bits, 4);
    return raw;
  }

  // An index or count around the edges hosts get wrong.
  int32_t integer() {
    static constexpr int32_t kSpecial[] = {0,   1,   -1,  2,   59,   60,   61,   119,  120, 127,
                                           128, 129, 999, 255, 1024, 8192, 16376, 44100, -2147483647 - 1, 2147483647};
    const uint8_t choice = byte();
    if (choice < 64) return choice;
    if (choice < 224) return kSpecial[choice % std::size(kSpecial)];
    return static_cast<int32_t>(u32());
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The host as the effect sees it: version 2.4, a tempo and song position
// the target sets, every pin connected, and events wanted.
struct Host {
  vst::VstTimeInfo time{};
  bool timeInfo = true;

  static Host& current() {
    static Host host;
    return host;
  }
  static intptr_t callback(vst::AEffect*, int32_t opcode, int32_t index, intptr_t, void* ptr, float) {
    Host& self = current();
    switch (opcode) {
      case vst::audioMasterVersion:
        return 2400;
      case vst::audioMasterGetTime:
        return self.timeInfo ? reinterpret_cast<intptr_t>(&self.time) : 0;
      case vst::audioMasterPinConnected:
        return index < 4 ? 0 : 1;  // 0 means connected
      case vst::audioMasterGetSampleRate:
        return 44100;
      case vst::audioMasterGetBlockSize:
        return 512;
      case vst::audioMasterCanDo:
        return ptr && std::strcmp(static_cast<const char*>(ptr), "sendVstMidiEvent") == 0;
      default:
        return 0;
    }
  }
  // A tempo and position from the input; a few inputs get no time at all.
  void chooseTime(Input& in) {
    const uint8_t choice = in.byte();
    timeInfo = choice != 255;
    static constexpr double kTempi[] = {120.0, 30.0, 400.0, 29.9, 400.1, 0.0, -120.0, 1e9, 87.3};
    time = vst::VstTimeInfo{};
    time.sampleRate = 44100.0;
    time.tempo = kTempi[choice % std::size(kTempi)];
    if (choice % 16 == 15) time.tempo = std::numeric_limits<double>::quiet_NaN();
    time.ppqPos = (choice & 0x40) ? 1e12 : 3.25;
    time.timeSigNumerator = time.timeSigDenominator = 4;
    time.flags = vst::kVstTempoValid | vst::kVstPpqPosValid | ((choice & 0x20) ? vst::kVstTransportPlaying : 0);
  }
};

// One effect for the whole fuzzing process (making one costs far more than
// a run), made as VSTPluginMain makes it and reached through its record.
class Effect {
 public:
  static Effect& get() {
    static Effect effect;
    return effect;
  }

  vst::AEffect* record() const { return effect_; }
  ZEL& zel() const { return *static_cast<ZEL*>(vst::AudioEffect::fromAeffect(effect_)); }

  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  }
  void setParameter(int32_t index, float value) { effect_->setParameter(effect_, index, value); }
  float getParameter(int32_t index) { return effect_->getParameter(effect_, index); }

  Bytes chunk(bool isPreset = false) {
    void* data = nullptr;
    const intptr_t size = dispatch(vst::effGetChunk, isPreset, 0, &data);
    FUZZ_CHECK(size == state::kChunkSize && data, "getChunk gave %ld bytes", static_cast<long>(size));
    const auto* bytes = static_cast<const uint8_t*>(data);
    return Bytes(bytes, bytes + size);
  }
  intptr_t setChunk(Bytes bytes, bool isPreset = false) {
    return dispatch(vst::effSetChunk, isPreset, static_cast<intptr_t>(bytes.size()), bytes.data());
  }

  // Back to the programs, controllers and modes of a fresh instance, so an
  // input's effect on the state does not depend on the inputs run before
  // it. With `engine`, also back to a running engine at 44100 Hz (a resume
  // clears some megabytes of lines: only for inputs that may have changed
  // the set-up).
  void reset(bool engine = false) {
    dispatch(vst::effEditClose);
    if (engine) {
      // No suspend first: the resume below clears the lines anyway.
      dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
      dispatch(vst::effSetBlockSize, 0, 512);
    }
    FUZZ_CHECK(setChunk(pristine_) == 0, "the fresh chunk is refused");
    zel().stopMidiLearn();
    zel().stopMidiForget();
    if (engine) dispatch(vst::effMainsChanged, 0, 1);
  }

  const Bytes& pristine() const { return pristine_; }

 private:
  Effect() {
    effect_ = VSTPluginMainForFuzzing(Host::callback);
    FUZZ_CHECK(effect_, "no effect instance");
    dispatch(vst::effOpen);
    pristine_ = chunk();
    dispatch(vst::effMainsChanged, 0, 1);
  }
  static vst::AEffect* VSTPluginMainForFuzzing(vst::HostCallback host) {
    vst::AudioEffect* effect = createEffectInstance(host);
    return effect ? effect->getAeffect() : nullptr;
  }

  vst::AEffect* effect_ = nullptr;
  Bytes pristine_;
};

// What a block may put out: the engine holds its loops and its output stage
// within a few times full scale, so anything beyond this is a fault.
constexpr double kOutputBound = 64.0;

// Runs a block of `frames` through the float or double entry with input
// taken from the fuzzer's bytes, and checks every output sample.
inline void processBlock(Effect& effect, Input& in, int frames, bool doublePrecision) {
  if (frames <= 0) return;
  const uint8_t level = in.byte();
  const uint32_t seed = in.u32();
  auto sample = [&](int channel, int i) {
    // A deterministic mixture: silence, a loud square, or hashed noise.
    if (level < 32) return 0.0;
    if (level < 96) return ((i / 37 + channel) & 1) ? 1.0 : -1.0;
    uint32_t h = seed ^ static_cast<uint32_t>(i * 2654435761u) ^ static_cast<uint32_t>(channel * 40503u);
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return (static_cast<double>(h) / 4294967295.0 * 2.0 - 1.0) * (level / 255.0);
  };
  auto run = [&](auto zero) {
    using Sample = decltype(zero);
    std::vector<std::vector<Sample>> ins(4, std::vector<Sample>(static_cast<size_t>(frames)));
    std::vector<std::vector<Sample>> outs(2, std::vector<Sample>(static_cast<size_t>(frames), Sample(12345)));
    for (int c = 0; c < 4; ++c)
      for (int i = 0; i < frames; ++i) ins[c][i] = static_cast<Sample>(sample(c, i));
    Sample* inPointers[4] = {ins[0].data(), ins[1].data(), ins[2].data(), ins[3].data()};
    Sample* outPointers[2] = {outs[0].data(), outs[1].data()};
    if constexpr (std::is_same_v<Sample, float>)
      effect.record()->processReplacing(effect.record(), inPointers, outPointers, frames);
    else
      effect.record()->processDoubleReplacing(effect.record(), inPointers, outPointers, frames);
    // A host that set a mono output arrangement reads only the first output.
    const engine::ChannelMap& map = effect.zel().engine().channelMap();
    for (int c = 0; c < 2; ++c) {
      if (c != map.outL && c != map.outR) continue;
      for (int i = 0; i < frames; ++i) {
        const double y = outs[c][i];
        FUZZ_CHECK(std::isfinite(y) && std::fabs(y) <= kOutputBound, "output %d sample %d of %d is %g", c, i,
                   frames, y);
      }
    }
  };
  if (doublePrecision)
    run(0.0);
  else
    run(0.0f);
}

// The state every target holds to after any input: each parameter reads
// back within 0..1, and the two directions of the controller map agree.
inline void checkState(Effect& effect) {
  for (int p = 0; p < params::kNumParams; ++p) {
    const float v = effect.getParameter(p);
    FUZZ_CHECK(v >= 0.0f && v <= 1.0f, "parameter %d reads %g", p, v);
  }
  ZEL& zel = effect.zel();
  for (int p = 0; p < params::kNumParams; ++p) {
    const int cc = zel.getControllerForParameter(p);
    FUZZ_CHECK((cc >= 0 && cc < 128) || cc == state::kNone, "parameter %d has controller %d", p, cc);
  }
  for (int cc = 0; cc < 128; ++cc) {
    const int p = zel.getParameterForController(cc);
    FUZZ_CHECK(p == state::kNone || (p >= 0 && p < params::kNumParams && zel.getControllerForParameter(p) == cc),
               "controller %d drives parameter %d", cc, p);
  }
}

// Every program of the store holds values a control can make.
inline void checkProgramValues(const Bytes& chunk) {
  for (int k = 0; k < state::kNumPrograms; ++k)
    for (int i = 0; i < params::kNumParams; ++i) {
      float v;
      std::memcpy(&v, chunk.data() + state::kChunkRecordsAt + k * sizeof(state::ProgramRecord) +
                          state::kNameSize + 4 * i,
                  4);
      FUZZ_CHECK(v >= 0.0f && v <= 1.0f, "program %d value %d is %g", k, i, v);
    }
}

}  // namespace fuzz
