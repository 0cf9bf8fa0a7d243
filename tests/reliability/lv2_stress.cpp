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
using testing_support::SavedState;

std::atomic<bool> stop{false};
std::atomic<int> failures{0};

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
  const SavedState full = instance.saveState();
  const int32_t program = 12;
  const auto* bytes = reinterpret_cast<const uint8_t*>(&program);
  const SavedState onlyProgram{
      {world.map(lv2plugin::kProgramUri), {std::vector<uint8_t>(bytes, bytes + 4), world.map(LV2_ATOM__Int)}}};
  const SavedState* states[2] = {&full, &onlyProgram};

  std::atomic<long> blocks{0}, restores{0};
  std::thread state([&] {
    for (int i = 0; !stop; ++i) {
      if (instance.restoreState(*states[i % 2]) != LV2_STATE_SUCCESS) failures++;
      if (i % 4 == 0) instance.saveState();
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
