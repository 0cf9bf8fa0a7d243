#include <time.h>

#include <algorithm>
#include <limits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

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

class Bench {
 public:
  explicit Bench(const Options& o) : o_(o), frames_(static_cast<long>(o.seconds * o.sampleRate)) {
    // Stereo noise at -12 dBFS, fed to every input (the key inputs too, so
    // the ducking has work to do).
    uint32_t seed = 1;
    for (auto& ch : noise_) {
      ch.resize(static_cast<size_t>(frames_));
      for (float& s : ch) {
        seed = seed * 1664525u + 1013904223u;
        s = 0.25f * static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
      }
    }
  }

  // Loads a fresh instance, lets `configure` set it up, and times the run.
  Measurement measure(const std::string& path, const std::string& label,
                      const std::function<void(host::PluginInstance&)>& configure) {
    host::HostScript script = scriptFor(o_, o_.sampleRate, true);
    script.connectedInputs = 64;
    script.connectedOutputs = 64;
    auto plugin = openPlugin(path, script);
    plugin->setSampleRate(static_cast<float>(o_.sampleRate));
    plugin->setBlockSize(o_.block);
    configure(*plugin);
    plugin->setSpeakerArrangement(std::min(4, plugin->numInputs()), std::min(2, plugin->numOutputs()));
    plugin->resume();

    const int numIn = plugin->numInputs(), numOut = plugin->numOutputs();
    std::vector<std::vector<float>> out(static_cast<size_t>(std::max(1, numOut)),
                                        std::vector<float>(static_cast<size_t>(o_.block)));
    std::vector<std::vector<float>> in(static_cast<size_t>(std::max(1, numIn)),
                                       std::vector<float>(static_cast<size_t>(o_.block)));
    std::vector<float*> inPtr(in.size()), outPtr(out.size());
    for (size_t c = 0; c < out.size(); ++c) outPtr[c] = out[c].data();
    for (size_t c = 0; c < in.size(); ++c) inPtr[c] = in[c].data();

    auto run = [&](long frames) {
      for (long pos = 0; pos < frames; pos += o_.block) {
        const int n = static_cast<int>(std::min<long>(o_.block, frames - pos));
        // A host copies its track buffers in too; the copy is part of any real run.
        for (size_t c = 0; c < in.size(); ++c) std::copy_n(noise_[c % 4].data() + pos, n, in[c].data());
        if (!plugin->processBlock(inPtr.data(), outPtr.data(), n)) throw CliError(path + ": no process entry");
      }
    };
    run(std::min<long>(frames_, o_.sampleRate));  // warm the caches and settle the smoothers
    double seconds = std::numeric_limits<double>::infinity();
    for (int pass = 0; pass < kRepeats; ++pass) {
      throwIfInterrupted();
      const double start = threadSeconds();
      run(frames_);
      seconds = std::min(seconds, threadSeconds() - start);
    }
    seconds = std::max(seconds, 1e-9);
    plugin->suspend();

    Measurement m;
    m.label = label;
    m.inputs = numIn;
    m.outputs = numOut;
    m.nsPerFrame = seconds * 1e9 / static_cast<double>(frames_);
    m.realTime = (static_cast<double>(frames_) / o_.sampleRate) / seconds;
    return m;
  }

 private:
  const Options& o_;
  long frames_;
  std::vector<float> noise_[4];
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
  std::printf("%g s of noise at %d Hz, block %d, single precision; the thread's CPU time, fastest of %d passes\n",
              o.seconds, o.sampleRate, o.block, kRepeats);
  std::printf("%-44s %5s %10s %10s\n", "configuration", "in/out", "ns/frame", "x realtime");

  std::vector<std::string> programs;
  {
    auto probe = openPlugin(tavrel, scriptFor(o, o.sampleRate, true));
    programs = programNames(*probe);
  }
  const Measurement program0 = bench.measure(tavrel, "Tavrel program 0" + (programs.empty() ? std::string() : " \"" + programs[0] + "\""),
                                             [&](host::PluginInstance& p) {
                                               if (!programs.empty()) selectProgram(p, 0);
                                             });
  printRow(program0, "");
  Measurement everything;
  bool haveEverything = true;
  try {
    everything = bench.measure(tavrel, "Tavrel every stage on", [&](host::PluginInstance& p) {
      if (!programs.empty()) selectProgram(p, 0);
      setByName(p, kEveryStage);
    });
    printRow(everything, "");
  } catch (const CliError& e) {
    haveEverything = false;
    std::printf("%-44s skipped: %s\n", "Tavrel every stage on", e.what());
  }
  std::vector<int> chosen;
  if (o.allPrograms) {
    for (int i = 1; i < static_cast<int>(programs.size()); ++i) chosen.push_back(i);
  } else {
    for (const char* name : {"Ping Pong", "Meta Flanger", "Bass Drone"})
      for (int i = 0; i < static_cast<int>(programs.size()); ++i)
        if (programs[i] == name) chosen.push_back(i);
  }
  for (int i : chosen) {
    throwIfInterrupted();
    printRow(bench.measure(tavrel, "Tavrel program " + std::to_string(i) + " \"" + programs[i] + "\"",
                           [&](host::PluginInstance& p) { selectProgram(p, i); }),
             "");
  }

  for (const PeerPlugin& peer : o.plugins) {
    throwIfInterrupted();
    const std::string name = std::filesystem::path(peer.path).filename().string();
    if (!std::filesystem::exists(peer.path)) {
      std::printf("%-44s skipped: not installed\n", name.c_str());
      continue;
    }
    try {
      const Measurement m = bench.measure(peer.path, name, [&](host::PluginInstance& p) { setByName(p, peer.sets); });
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
