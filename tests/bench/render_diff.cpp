// How far a build of the plug-in sounds from a reference build: every factory
// program rendered through both, a bar of drums (2 s) and 8 s of tail at
// 44.1 kHz in single and double precision, and once more with depths and a
// gain turned half-way through the bar; prints the peak difference of each
// render in dBFS. The self-sustaining programs are compared over the bar only,
// since a loop held at its limit amplifies any last-bit difference for ever.
// Run: tavrel_render_diff REFERENCE.so [CANDIDATE.so]  (default: this build)
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/PluginHost.h"
#include "host/StateImages.h"
#include "state/FactoryPresets.h"
#include "tests/support/DrumBar.h"

namespace {

constexpr double kRate = 44100.0;
const std::set<std::string> kSelfSustaining = {"Wormhole", "Delirium Tremens"};

template <typename T>
using Stereo = std::vector<std::vector<T>>;

enum class Kind { Single, Double, Turned };

int parameterIndex(host::PluginInstance& p, const char* name) {
  for (int i = 0; i < p.numParams(); ++i)
    if (p.parameterName(i) == name) return i;
  std::fprintf(stderr, "no parameter %s\n", name);
  std::exit(2);
}

// One render of `program`; the output as doubles, both channels end to end.
std::vector<double> render(host::PluginInstance& p, int program, Kind kind, const Stereo<float>& phrase) {
  std::vector<uint8_t> chunk = p.getChunk();
  host::tavrel::setCurrentProgram(chunk, program);
  p.setChunk(chunk);
  p.suspend();
  p.resume();
  std::vector<double> all;
  auto keep = [&](const auto& out) {
    for (const auto& c : out) all.insert(all.end(), c.begin(), c.end());
  };
  if (kind == Kind::Double) {
    Stereo<double> in(2), out;
    for (int c = 0; c < 2; ++c) in[c].assign(phrase[c].begin(), phrase[c].end());
    p.processDouble(in, out);
    keep(out);
    return all;
  }
  if (kind == Kind::Single) {
    Stereo<float> out;
    p.process(phrase, out);
    keep(out);
    return all;
  }
  // Turned: the first second as it is, then the depths of every modulation
  // target and the input gain turned, the rest with them.
  const long half = static_cast<long>(kRate);
  Stereo<float> a(2), b(2), outA, outB;
  for (int c = 0; c < 2; ++c) {
    a[c].assign(phrase[c].begin(), phrase[c].begin() + half);
    b[c].assign(phrase[c].begin() + half, phrase[c].end());
  }
  p.process(a, outA);
  for (const char* depth : {"VcoMod", "CutfMod", "ResoMod"}) p.setParameter(parameterIndex(p, depth), 0.85f);
  p.setParameter(parameterIndex(p, "Input"), 0.6f);
  p.process(b, outB);
  for (int c = 0; c < 2; ++c) outA[c].insert(outA[c].end(), outB[c].begin(), outB[c].end());
  keep(outA);
  return all;
}

std::unique_ptr<host::PluginInstance> open(const std::string& path) {
  host::HostScript script;
  script.connectedInputs = 2;  // no key: the ducking programs duck under their own input
  script.recordCalls = false;
  std::string error;
  auto p = host::PluginInstance::load(path, script, &error);
  if (!p) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
    std::exit(2);
  }
  p->setSampleRate(static_cast<float>(kRate));
  p->setBlockSize(512);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: tavrel_render_diff REFERENCE.so [CANDIDATE.so]\n");
    return 2;
  }
  auto reference = open(argv[1]);
  auto candidate = open(argc > 2 ? argv[2] : TAVREL_PLUGIN_PATH);
  const Stereo<float> phrase = testing_support::drumBar(10.0, kRate);
  const long frames = static_cast<long>(phrase[0].size());

  std::printf("%-3s %-24s %10s %10s %10s   (peak difference, dBFS)\n", "#", "program", "single", "double",
              "turned");
  double worst = -400.0;
  for (int program = 0; program < state::kNumPrograms; ++program) {
    const std::string name = state::factoryPresets()[program].name;
    const long compared = kSelfSustaining.count(name) ? static_cast<long>(2.0 * kRate) : frames;
    std::printf("%-3d %-24s", program, name.c_str());
    for (Kind kind : {Kind::Single, Kind::Double, Kind::Turned}) {
      const std::vector<double> r = render(*reference, program, kind, phrase);
      const std::vector<double> c = render(*candidate, program, kind, phrase);
      double peak = 0.0;
      for (long ch = 0; ch < 2; ++ch)
        for (long i = 0; i < compared; ++i)
          peak = std::max(peak, std::fabs(r[ch * frames + i] - c[ch * frames + i]));
      const double db = peak > 0.0 ? 20.0 * std::log10(peak) : -400.0;
      worst = std::max(worst, db);
      if (peak > 0.0)
        std::printf(" %10.1f", db);
      else
        std::printf(" %10s", "exact");
    }
    std::printf("%s\n", compared < frames ? "   (first 2 s)" : "");
    std::fflush(stdout);
  }
  std::printf("worst: %s\n", worst > -400.0 ? (std::to_string(worst) + " dBFS").c_str() : "exact");
  return worst > -120.0 ? 1 : 0;
}
