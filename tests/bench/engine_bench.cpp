// Cost of the effect's audio path at 44.1 kHz in single precision, through
// the effect object as a host drives it (minus the library loading): ns of
// thread CPU time per stereo frame and how many times faster than real time,
// for program 0 and for heavier settings.
// Run: tavrel_engine_bench [--benchmark_min_time=2]
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "params/ParameterTable.h"
#include "shell/ZEL.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

intptr_t benchHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterGetSampleRate: return static_cast<intptr_t>(kRate);
    case vst::audioMasterGetBlockSize: return kBlock;
    case vst::audioMasterPinConnected: return 0;  // every pin connected
    default: return 0;
  }
}

// CPU time of this thread: on a machine shared with builds, wall time would
// count the time the scheduler gave to others.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

using Settings = std::vector<std::pair<int, float>>;

// Variable clock, feedback with crossfeed, drive and gates.
const Settings kHeavy = {
    {params::VcoOn, 1.0f},    {params::VcoMod, 0.8f},    {params::FbGainL, 0.6f}, {params::FbGainR, 0.6f},
    {params::FbPanL, 0.3f},   {params::FbPanR, 0.7f},    {params::DriveSwitch, 1.0f}, {params::Drive, 0.5f},
    {params::DlyGateL, 0.05f}, {params::DlyGateR, 0.05f}, {params::Ducking, 0.5f},
};

// All of the above with the filter in the loop, modulation and the reverb.
Settings everything() {
  Settings s = kHeavy;
  const Settings more = {{params::FltOn, 1.0f},  {params::FltMode, 0.5f}, {params::Reso, 0.5f},
                         {params::CutfMod, 0.8f}, {params::ResoMod, 0.7f}, {params::ModSrc, 0.5f},
                         {params::RvbOn, 1.0f},  {params::RvbAmt, 0.5f}};
  s.insert(s.end(), more.begin(), more.end());
  return s;
}

void run(benchmark::State& state, const Settings& settings) {
  auto effect = std::make_unique<ZEL>(benchHost);
  effect->setSampleRate(static_cast<float>(kRate));
  effect->setBlockSize(kBlock);
  for (const auto& [index, value] : settings) effect->setParameter(index, value);
  effect->resume();

  std::vector<std::vector<float>> in(4, std::vector<float>(kBlock)), out(2, std::vector<float>(kBlock));
  uint32_t seed = 1;
  for (auto& ch : in)
    for (float& s : ch) {
      seed = seed * 1664525u + 1013904223u;
      s = 0.25f * static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
    }
  float* ip[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* op[2] = {out[0].data(), out[1].data()};
  for (int i = 0; i < 200; ++i) effect->processReplacing(ip, op, kBlock);  // settle and warm up

  double seconds = 0.0;
  for (auto _ : state) {
    const double start = threadSeconds();
    effect->processReplacing(ip, op, kBlock);
    const double elapsed = threadSeconds() - start;
    benchmark::DoNotOptimize(op[0][0]);
    state.SetIterationTime(elapsed);
    seconds += elapsed;
  }
  const double frames = static_cast<double>(state.iterations()) * kBlock;
  state.counters["ns_per_frame"] = seconds * 1e9 / frames;
  state.counters["x_realtime"] = frames / kRate / seconds;
}

void Program0(benchmark::State& state) { run(state, {}); }
void Heavy(benchmark::State& state) { run(state, kHeavy); }
void Everything(benchmark::State& state) { run(state, everything()); }

BENCHMARK(Program0)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Heavy)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Everything)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
