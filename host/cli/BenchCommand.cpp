#include <time.h>
#include <unistd.h>

#include <chrono>

#include <algorithm>
#include <limits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
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

// Every configuration is timed once per round, the rounds one after another,
// and its fastest round counts: interruptions by other work only ever add
// time. A busy spell on a shared machine thus costs one round of every
// configuration instead of all the passes of one, and the ratios between
// configurations (Tavrel against a peer) stay fair.
constexpr int kRounds = 5;

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
  // Wall-clock time the plug-in runs before it is timed. The six-tap peer
  // takes its settings on a timer of its own: a host that runs in real time
  // gives it that time, while a bench that processes its first seconds of
  // audio in a few milliseconds would time it idle.
  double settleSeconds = 0.0;
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

    double seconds = run.useDouble ? time<double>(*plugin, path, frames, run.sampleRate, run.settleSeconds)
                                   : time<float>(*plugin, path, frames, run.sampleRate, run.settleSeconds);
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
  double time(host::PluginInstance& plugin, const std::string& path, long frames, int sampleRate, double settle) {
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
    const auto settled = std::chrono::steady_clock::now() + std::chrono::duration<double>(settle);
    while (std::chrono::steady_clock::now() < settled) {
      pass(o_.block);
      usleep(5000);
    }
    throwIfInterrupted();
    const double start = threadSeconds();
    pass(frames);
    return threadSeconds() - start;
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

// One configuration to time: which plug-in, how it is run and set up.
struct Job {
  std::string path, label;
  Run run;
  std::function<void(host::PluginInstance&)> configure;
  bool failed = false;  // skipped from its first failure on
  std::string why;
  Measurement fastest;
};

Job makeJob(std::string path, std::string label, Run run, std::function<void(host::PluginInstance&)> configure) {
  Job job;
  job.path = std::move(path);
  job.label = std::move(label);
  job.run = run;
  job.configure = std::move(configure);
  return job;
}

// Times every job once per round, round after round, keeping each job's
// fastest round.
void timeRounds(Bench& bench, std::vector<Job>& jobs) {
  for (int round = 0; round < kRounds; ++round) {
    for (Job& job : jobs) {
      if (job.failed) continue;
      try {
        const Measurement m = bench.measure(job.path, job.label, job.run, job.configure);
        if (round == 0 || m.nsPerFrame < job.fastest.nsPerFrame) job.fastest = m;
      } catch (const CliError& e) {
        job.failed = true;
        job.why = e.what();
      }
    }
  }
}

}  // namespace

int runBench(const Options& o) {
  if (!o.positional.empty()) throw CliError("usage: tavrel bench [--seconds N] [--plugin PATH]...", 2);
  const std::string tavrel = defaultPluginPath();
  Bench bench(o);
  const Run base{o.sampleRate, false};
  std::printf("%g s of noise at %d Hz, block %d, single precision unless said; the thread's CPU time, fastest of %d rounds\n",
              o.seconds, o.sampleRate, o.block, kRounds);
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

  // Jobs in printing order: program 0, every stage, the bank, the other rates
  // and the double entry, the peers.
  std::vector<Job> jobs;
  const std::string name0 = programs.empty() ? std::string() : " \"" + programs[0] + "\"";
  jobs.push_back(makeJob(tavrel, "Tavrel program 0" + name0, base, program(0)));
  jobs.push_back(makeJob(tavrel, "Tavrel every stage on", base, everyStage));
  const size_t bankFrom = jobs.size();
  for (int i = 1; i < static_cast<int>(programs.size()); ++i)
    jobs.push_back(makeJob(tavrel, "Tavrel program " + std::to_string(i) + " \"" + programs[i] + "\"", base, program(i)));
  const size_t bankTo = jobs.size();
  for (const int rate : {96000, 192000}) {
    if (rate == o.sampleRate) continue;
    const std::string at = ", " + std::to_string(rate / 1000) + " kHz";
    jobs.push_back(makeJob(tavrel, "Tavrel program 0" + at, Run{rate, false}, program(0)));
    jobs.push_back(makeJob(tavrel, "Tavrel every stage on" + at, Run{rate, false}, everyStage));
  }
  jobs.push_back(makeJob(tavrel, "Tavrel program 0, double", Run{o.sampleRate, true}, program(0)));
  jobs.push_back(makeJob(tavrel, "Tavrel every stage on, double", Run{o.sampleRate, true}, everyStage));
  const size_t peersFrom = jobs.size();
  const std::vector<PeerPlugin> peers = o.plugins.empty() ? defaultPeers() : o.plugins;
  for (const PeerPlugin& peer : peers) {
    Run peerRun = base;
    peerRun.settleSeconds = 0.3;
    Job job = makeJob(peer.path, std::filesystem::path(peer.path).filename().string(), peerRun,
                      [sets = peer.sets](host::PluginInstance& p) { setByName(p, sets); });
    if (!std::filesystem::exists(peer.path)) {
      job.failed = true;
      job.why = "not installed";
    }
    jobs.push_back(job);
  }

  timeRounds(bench, jobs);

  auto print = [](const Job& job, const std::string& extra) {
    if (job.failed)
      std::printf("%-44s skipped: %s\n", job.label.c_str(), job.why.c_str());
    else
      printRow(job.fastest, extra);
  };
  const Job& program0 = jobs[0];
  const Job& everything = jobs[1];
  print(program0, "");
  print(everything, "");

  // The whole factory bank: each program printed with --all-programs, the
  // median and the most expensive always.
  std::vector<Measurement> bank;
  if (!program0.failed) bank.push_back(program0.fastest);
  for (size_t j = bankFrom; j < bankTo; ++j) {
    if (o.allPrograms) print(jobs[j], "");
    if (!jobs[j].failed) bank.push_back(jobs[j].fastest);
  }
  if (!bank.empty()) {
    std::vector<Measurement> sorted = bank;
    std::sort(sorted.begin(), sorted.end(),
              [](const Measurement& a, const Measurement& b) { return a.nsPerFrame < b.nsPerFrame; });
    Measurement median = sorted[sorted.size() / 2];
    median.label = "Tavrel median of the " + std::to_string(bank.size()) + " programs";
    printRow(median, "");
    printRow(sorted.back(), "(the most expensive program)");
  }
  for (size_t j = bankTo; j < peersFrom; ++j) print(jobs[j], "");

  for (size_t j = peersFrom; j < jobs.size(); ++j) {
    const Job& peer = jobs[j];
    char ratios[160] = "";
    if (!peer.failed && !program0.failed) {
      const double ns = peer.fastest.nsPerFrame;
      if (!everything.failed)
        std::snprintf(ratios, sizeof ratios, "Tavrel program 0 / this %.2f, every stage / this %.2f",
                      program0.fastest.nsPerFrame / ns, everything.fastest.nsPerFrame / ns);
      else
        std::snprintf(ratios, sizeof ratios, "Tavrel program 0 / this %.2f", program0.fastest.nsPerFrame / ns);
    }
    print(peer, ratios);
  }
  return 0;
}

}  // namespace cli
