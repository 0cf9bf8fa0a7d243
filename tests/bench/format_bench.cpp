// What a frame costs in each plug-in format: the VST 2.4 library loaded by
// our own host and the LV2 bundle loaded through lilv, the same programs on
// the same noise in one run. Thread CPU time, fastest of five passes.
//
//   build/tests/tavrel_format_bench [seconds]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "params/ParameterTable.h"
#include "state/ChunkLayout.h"
#include "state/FactoryPresets.h"
#include "tests/support/Lv2Host.h"
#include "tests/support/Tavrel.h"

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;

double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

// Nanoseconds per stereo frame: the fastest of five passes over the noise.
template <typename RunBlock>
double fastestPass(const std::vector<float>& noise, RunBlock runBlock) {
  std::vector<float> outL(kBlock), outR(kBlock);
  double best = 1e30;
  for (int pass = 0; pass < 5; ++pass) {
    const double start = threadSeconds();
    for (size_t at = 0; at + kBlock <= noise.size(); at += kBlock)
      runBlock(noise.data() + at, noise.data() + at, outL.data(), outR.data());
    best = std::min(best, (threadSeconds() - start) * 1e9 / static_cast<double>(noise.size()));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  std::vector<float> noise(static_cast<size_t>(seconds * kRate) / kBlock * kBlock);
  std::mt19937 random(1);
  std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
  for (float& x : noise) x = sample(random);

  testing_support::Lv2World world;
  if (!world.plugin()) {
    std::fprintf(stderr, "no LV2 bundle at %s\n", TAVREL_LV2_BUNDLE);
    return 1;
  }
  std::printf("%-34s %10s %10s %8s\n", "ns per stereo frame, 44.1 kHz", "VST 2.4", "LV2", "LV2/VST");
  for (int program : {0, 30, 60}) {
    auto vst = testing_support::loadTavrel();
    vst->setSampleRate(static_cast<float>(kRate));
    vst->setBlockSize(kBlock);
    vst->resume();
    // The program goes in through the chunk's current program, as a host restores it.
    std::vector<uint8_t> chunk = vst->getChunk();
    std::memcpy(chunk.data() + state::kChunkCurrentAt, &program, 4);
    vst->setChunk(chunk);
    const double vstNs = fastestPass(noise, [&](const float* l, const float* r, float* ol, float* orr) {
      float* in[4] = {const_cast<float*>(l), const_cast<float*>(r), const_cast<float*>(l), const_cast<float*>(r)};
      float* out[2] = {ol, orr};
      vst->processBlock(in, out, kBlock);
    });

    // The same transport for both: the host at 120 BPM, stopped.
    testing_support::Lv2Instance lv2(world, kRate);
    lv2.sendPosition(120.0, 0.0, 0.0);
    lv2.sendSetInt("selectProgram", program);
    lv2.run(std::vector<float>(kBlock, 0.0f));
    // The ports take the program's values, as a host's preset would set them.
    for (int p = 0; p < params::kNumParams; ++p) lv2.parameter(p) = state::factoryPresets()[program].values[p];
    const double lv2Ns = fastestPass(noise, [&](const float* l, const float* r, float* ol, float* orr) {
      lv2.runBlock(l, r, ol, orr, kBlock, /*bare=*/true);
    });
    char name[64];
    std::snprintf(name, sizeof name, "program %d \"%s\"", program, state::factoryPresets()[program].name);
    std::printf("%-34s %10.1f %10.1f %8.3f\n", name, vstNs, lv2Ns, lv2Ns / vstNs);
  }
  return 0;
}
