// The LV2 build driven as a host that declares thread-safe restore may:
// blocks run back to back on the audio thread (control ports moved, a
// controller and now and then a program message in the atom input) while
// another thread saves and restores the state, one full state and one that
// carries only a factory program, over and over.
//
// Usage: tavrel_lv2_stress [SECONDS]. Prints what each thread did; exits
// non-zero when an output sample is not finite or out of bounds, a restore
// fails, or a thread made no progress. Built with -fsanitize=thread it is
// the thread checker's workload for the LV2 build.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "params/ParameterTable.h"
#include "tests/support/Lv2Host.h"

namespace {

using testing_support::Lv2Instance;
using testing_support::Lv2World;
using SavedState = std::map<LV2_URID, std::vector<uint8_t>>;

std::atomic<bool> stop{false};
std::atomic<int> failures{0};

const LV2_State_Interface* stateOf(Lv2Instance& instance) {
  return static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance.instance(), LV2_STATE__interface));
}

SavedState save(Lv2Instance& instance) {
  SavedState saved;
  stateOf(instance)->save(
      lilv_instance_get_handle(instance.instance()),
      [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t, uint32_t) {
        const auto* bytes = static_cast<const uint8_t*>(value);
        (*static_cast<SavedState*>(h))[key].assign(bytes, bytes + size);
        return LV2_STATE_SUCCESS;
      },
      &saved, 0, nullptr);
  return saved;
}

struct Source {
  const SavedState* state;
  LV2_URID chunk, atomChunk, atomDouble, atomInt, program;
};

bool restore(Lv2Instance& instance, const Source& source) {
  return stateOf(instance)->restore(
             lilv_instance_get_handle(instance.instance()),
             [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void* {
               const auto& s = *static_cast<const Source*>(h);
               auto it = s.state->find(key);
               if (it == s.state->end()) return nullptr;
               *size = it->second.size();
               *type = key == s.chunk ? s.atomChunk : (key == s.program ? s.atomInt : s.atomDouble);
               *flags = LV2_STATE_IS_POD;
               return it->second.data();
             },
             const_cast<Source*>(&source), 0, nullptr) == LV2_STATE_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  Lv2World world;
  if (!world.plugin()) {
    std::fprintf(stderr, "no LV2 bundle at %s\n", TAVREL_LV2_BUNDLE);
    return 1;
  }
  Lv2Instance instance(world, 44100);
  instance.sendSetInt("selectProgram", 30);
  instance.run(std::vector<float>(512, 0.0f));
  const SavedState full = save(instance);
  SavedState onlyProgram;
  const int32_t program = 12;
  onlyProgram[world.map(lv2plugin::kProgramUri)].assign(reinterpret_cast<const uint8_t*>(&program),
                                                        reinterpret_cast<const uint8_t*>(&program) + 4);
  const Source sources[2] = {
      {&full, world.map(lv2plugin::kChunkUri), world.map(LV2_ATOM__Chunk), world.map(LV2_ATOM__Double),
       world.map(LV2_ATOM__Int), world.map(lv2plugin::kProgramUri)},
      {&onlyProgram, world.map(lv2plugin::kChunkUri), world.map(LV2_ATOM__Chunk), world.map(LV2_ATOM__Double),
       world.map(LV2_ATOM__Int), world.map(lv2plugin::kProgramUri)}};

  std::atomic<long> blocks{0}, restores{0};
  std::thread state([&] {
    for (int i = 0; !stop; ++i) {
      if (!restore(instance, sources[i % 2])) failures++;
      if (i % 4 == 0) save(instance);
      restores++;
    }
  });

  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<float> in(256), outL(256), outR(256);
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    for (float& x : in) x = unit(random) - 0.5f;
    instance.parameter(static_cast<int>(random() % params::kNumParams)) = unit(random);
    instance.sendController(static_cast<uint8_t>(random() % 128), static_cast<uint8_t>(random() % 128));
    if (blocks % 50 == 0) instance.sendSetInt("selectProgram", static_cast<int32_t>(random() % 61));
    instance.runBlock(in.data(), in.data(), outL.data(), outR.data(), 256);
    for (size_t i = 0; i < 256; ++i)
      if (!std::isfinite(outL[i]) || !std::isfinite(outR[i]) || std::fabs(outL[i]) > 64 || std::fabs(outR[i]) > 64) {
        failures++;
        break;
      }
    blocks++;
  }
  stop = true;
  state.join();
  std::printf("audio: %ld blocks; state: %ld restores\n", blocks.load(), restores.load());
  if (blocks == 0 || restores == 0) failures++;
  return failures ? 1 : 0;
}
