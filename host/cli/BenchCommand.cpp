#include <time.h>

#include <algorithm>
#include <limits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "host/cli/CliError.h"
#include "host/cli/Commands.h"
#include "host/cli/Render.h"

namespace cli {
namespace {

// Every stage of the chain working at once: variable clock with modulation,
// filter in the feedback loop with modulated cutoff and resonance, drive,
// gates, ducking, feedback with crossfeed, reverb.
const std::vector<std::pair<std::string, std::string>> kEveryStage = {
    {"VcoOn", "1"},     {"VcoMod", "0.8"},   {"FltOn", "1"},      {"FltMode", "0.5"},   {"Reso", "0.5"},
    {"CutfMod", "0.8"}, {"ResoMod", "0.7"},  {"Cutoff", "0.7"},   {"Drive", "0.5"},     {"DlyGateL", "0.05"},
    {"DlyGateR", "0.05"}, {"Ducking", "0.5"}, {"FbGainL", "0.6"}, {"FbGainR", "0.6"},   {"FbPanL", "0.3"},
    {"FbPanR", "0.7"},  {"RvbOn", "1"},      {"RvbAmt", "0.5"},   {"ModSrc", "0.5"},    {"LFORate", "0.5"},
};

// The peers a figure is compared with when they are installed (Debian's
// lsp-plugins-vst and dragonfly-reverb-vst): the heaviest open delay with six
// taps, their feedback and their equalisers, and a whole plate reverb as it
// comes.
std::vector<PeerPlugin> defaultPeers() {
  PeerPlugin delay{"/usr/lib/vst/lsp-plugins/art-delay-stereo.so", {{"fb", "1"}}};
  for (int tap = 0; tap < 6; ++tap) {
    const std::string t = std::to_string(tap);
    for (const char* on : {"on", "eq", "lc", "hc", "fbe"}) delay.sets.push_back({on + t, "1"});
    delay.sets.push_back({"frac" + t, std::to_string(0.05 * (tap + 1))});
    delay.sets.push_back({"fbg" + t, "0.5"});
  }
  return {delay, PeerPlugin{"/usr/lib/lxvst/DragonflyPlateReverb-vst.so", {}}};
}

// CPU time this thread has used, in seconds. Wall-clock time counts whatever
// else the machine runs meanwhile; the thread's own time does not, so the
// figures stay comparable on a busy machine.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Each configuration runs its noise this many times; the fastest pass counts,
// since interruptions by other work only ever add time.
constexpr int kRepeats = 5;

struct Measurement {
  std::string label;
  int inputs = 0, outputs = 0;
  double nsPerFrame = 0;
  double realTime = 0;
};

// How a configuration is run: its sample rate and sample type.
struct Run {
  int sampleRate = 44100;
  bool useDouble = false;
};

class Bench {
 public:
  explicit Bench(const Options& o) : o_(o) {}

  // Loads a fresh instance, lets `configure` set it up, and times the run.
  Measurement measure(const std::string& path, const std::string& label, const Run& run,
                      const std::function<void(host::PluginInstance&)>& configure) {
    const long frames = static_cast<long>(o_.seconds * run.sampleRate);
    host::HostScript script = scriptFor(o_, run.sampleRate, true);
    script.connectedInputs = 64;
    script.connectedOutputs = 64;
    auto plugin = openPlugin(path, script);
    if (run.useDouble && !plugin->canDoubleReplacing()) throw CliError("no double-precision process entry");
    plugin->setSampleRate(static_cast<float>(run.sampleRate));
    plugin->setBlockSize(o_.block);
    plugin->setSpeakerArrangement(std::min(4, plugin->numInputs()), std::min(2, plugin->numOutputs()));
    // Set up as a track is: the plug-in started, then its settings. Some
    // plug-ins (the six-tap peer among them) take parameter changes only
    // while running.
    plugin->resume();
    configure(*plugin);

    double seconds = run.useDouble ? time<double>(*plugin, path, frames, run.sampleRate)
                                   : time<float>(*plugin, path, frames, run.sampleRate);
    seconds = std::max(seconds, 1e-9);
    plugin->suspend();

    Measurement m;
    m.label = label;
    m.inputs = plugin->numInputs();
    m.outputs = plugin->numOutputs();
    m.nsPerFrame = seconds * 1e9 / static_cast<double>(frames);
    m.realTime = (static_cast<double>(frames) / run.sampleRate) / seconds;
    return m;
  }

 private:
  // Stereo noise at -12 dBFS, fed to every input (the key inputs too, so the
  // ducking has work to do); the same noise at every rate, only longer.
  const std::vector<float>& noise(int channel, long frames) {
    uint32_t& seed = seeds_[channel];
    std::vector<float>& ch = noise_[channel];
    while (static_cast<long>(ch.size()) < frames) {
      seed = seed * 1664525u + 1013904223u;
      ch.push_back(0.25f * static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f);
    }
    return ch;
  }

  template <typename Sample>
  double time(host::PluginInstance& plugin, const std::string& path, long frames, int sampleRate) {
    const int numIn = plugin.numInputs(), numOut = plugin.numOutputs();
    std::vector<std::vector<Sample>> out(static_cast<size_t>(std::max(1, numOut)),
                                         std::vector<Sample>(static_cast<size_t>(o_.block)));
    std::vector<std::vector<Sample>> in(static_cast<size_t>(std::max(1, numIn)),
                                        std::vector<Sample>(static_cast<size_t>(o_.block)));
    std::vector<Sample*> inPtr(in.size()), outPtr(out.size());
    for (size_t c = 0; c < out.size(); ++c) outPtr[c] = out[c].data();
    for (size_t c = 0; c < in.size(); ++c) inPtr[c] = in[c].data();
    for (int c = 0; c < 4; ++c) noise(c, frames);

    auto pass = [&](long length) {
      for (long pos = 0; pos < length; pos += o_.block) {
        const int n = static_cast<int>(std::min<long>(o_.block, length - pos));
        // A host copies its track buffers in too; the copy is part of any real run.
        for (size_t c = 0; c < in.size(); ++c) std::copy_n(noise_[c % 4].data() + pos, n, in[c].data());
        bool done;
        if constexpr (std::is_same_v<Sample, double>)
          done = plugin.processBlockDouble(inPtr.data(), outPtr.data(), n);
        else
          done = plugin.processBlock(inPtr.data(), outPtr.data(), n);
        if (!done) throw CliError(path + ": no process entry");
      }
    };
    pass(std::min<long>(frames, sampleRate));  // warm the caches and settle the smoothers
    double seconds = std::numeric_limits<double>::infinity();
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
      throwIfInterrupted();
      const double start = threadSeconds();
      pass(frames);
      seconds = std::min(seconds, threadSeconds() - start);
    }
    return seconds;
  }

  const Options& o_;
  std::vector<float> noise_[4];
  uint32_t seeds_[4] = {1, 1, 1, 1};
};

void printRow(const Measurement& m, const std::string& extra) {
  std::printf("%-44s %2d/%-2d %10.1f %10.0f   %s\n", m.label.c_str(), m.inputs, m.outputs, m.nsPerFrame, m.realTime,
              extra.c_str());
  std::fflush(stdout);
}

}  // namespace

int runBench(const Options& o) {
  if (!o.positional.empty()) throw CliError("usage: tavrel bench [--seconds N] [--plugin PATH]...", 2);
  const std::string tavrel = defaultPluginPath();
  Bench bench(o);
  const Run base{o.sampleRate, false};
  std::printf("%g s of noise at %d Hz, block %d, single precision unless said; the thread's CPU time, fastest of %d passes\n",
              o.seconds, o.sampleRate, o.block, kRepeats);
  std::printf("%-44s %5s %10s %10s\n", "configuration", "in/out", "ns/frame", "x realtime");

  std::vector<std::string> programs;
  {
    auto probe = openPlugin(tavrel, scriptFor(o, o.sampleRate, true));
    programs = programNames(*probe);
  }
  auto program = [&](int i) {
    return [&programs, i](host::PluginInstance& p) {
      if (i < static_cast<int>(programs.size())) selectProgram(p, i);
    };
  };
  auto everyStage = [&](host::PluginInstance& p) {
    if (!programs.empty()) selectProgram(p, 0);
    setByName(p, kEveryStage);
  };
  const std::string name0 = programs.empty() ? std::string() : " \"" + programs[0] + "\"";

  const Measurement program0 = bench.measure(tavrel, "Tavrel program 0" + name0, base, program(0));
  printRow(program0, "");
  Measurement everything;
  bool haveEverything = true;
  try {
    everything = bench.measure(tavrel, "Tavrel every stage on", base, everyStage);
    printRow(everything, "");
  } catch (const CliError& e) {
    haveEverything = false;
    std::printf("%-44s skipped: %s\n", "Tavrel every stage on", e.what());
  }

  // The whole factory bank: each program printed with --all-programs, the
  // median and the most expensive always.
  std::vector<Measurement> bank;
  for (int i = 0; i < static_cast<int>(programs.size()); ++i) {
    throwIfInterrupted();
    bank.push_back(i == 0 ? program0
                          : bench.measure(tavrel, "Tavrel program " + std::to_string(i) + " \"" + programs[i] + "\"",
                                          base, program(i)));
    if (o.allPrograms && i > 0) printRow(bank.back(), "");
  }
  if (!bank.empty()) {
    std::vector<Measurement> sorted = bank;
    std::sort(sorted.begin(), sorted.end(),
              [](const Measurement& a, const Measurement& b) { return a.nsPerFrame < b.nsPerFrame; });
    Measurement median = sorted[sorted.size() / 2];
    median.label = "Tavrel median of the " + std::to_string(bank.size()) + " programs";
    printRow(median, "");
    Measurement most = sorted.back();
    printRow(most, "(the most expensive program)");
  }

  // Other rates and the double-precision entry.
  for (const int rate : {96000, 192000}) {
    if (rate == o.sampleRate) continue;
    const std::string at = ", " + std::to_string(rate / 1000) + " kHz";
    printRow(bench.measure(tavrel, "Tavrel program 0" + at, Run{rate, false}, program(0)), "");
    printRow(bench.measure(tavrel, "Tavrel every stage on" + at, Run{rate, false}, everyStage), "");
  }
  try {
    printRow(bench.measure(tavrel, "Tavrel program 0, double", Run{o.sampleRate, true}, program(0)), "");
    printRow(bench.measure(tavrel, "Tavrel every stage on, double", Run{o.sampleRate, true}, everyStage), "");
  } catch (const CliError& e) {
    std::printf("%-44s skipped: %s\n", "Tavrel double precision", e.what());
  }

  const std::vector<PeerPlugin> peers = o.plugins.empty() ? defaultPeers() : o.plugins;
  for (const PeerPlugin& peer : peers) {
    throwIfInterrupted();
    const std::string name = std::filesystem::path(peer.path).filename().string();
    if (!std::filesystem::exists(peer.path)) {
      std::printf("%-44s skipped: not installed\n", name.c_str());
      continue;
    }
    try {
      const Measurement m = bench.measure(peer.path, name, base, [&](host::PluginInstance& p) { setByName(p, peer.sets); });
      char ratios[160];
      if (haveEverything)
        std::snprintf(ratios, sizeof ratios, "Tavrel program 0 / this %.2f, every stage / this %.2f",
                      program0.nsPerFrame / m.nsPerFrame, everything.nsPerFrame / m.nsPerFrame);
      else
        std::snprintf(ratios, sizeof ratios, "Tavrel program 0 / this %.2f", program0.nsPerFrame / m.nsPerFrame);
      printRow(m, ratios);
    } catch (const CliError& e) {
      std::printf("%-44s skipped: %s\n", name.c_str(), e.what());
    }
  }
  return 0;
}

}  // namespace cli
