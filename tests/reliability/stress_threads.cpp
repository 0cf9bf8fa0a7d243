// The built plug-in driven from the threads a real host uses, all at once:
//
//  - audio: blocks back to back, MIDI control changes delivered just before
//    each block, float and double blocks, every output sample checked;
//  - user interface: the editor open with its idle running, random
//    parameters automated (every switch and range, the write-only 43 / 44,
//    RvbType, the controller slots, values outside 0..1 and non-numbers),
//    parameter texts read back;
//  - state: chunks saved and restored, programs selected through chunks,
//    program names read.
// Between blocks the audio thread now and then suspends and resumes.
//
// Usage: tavrel_stress_threads PLUGIN.so [SECONDS]. Prints what each thread
// did; exits non-zero when an output sample is not finite or out of bounds,
// a chunk of the plug-in's own is refused, or a thread made no progress.
// Built with -fsanitize=thread it is the thread checker's workload.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/PluginHost.h"
#include "params/ParameterTable.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBlock = 256;
constexpr double kOutputBound = 64.0;

std::atomic<bool> stop{false};
std::atomic<int> failures{0};

void fail(const char* what) {
  if (failures.fetch_add(1) < 10) std::fprintf(stderr, "stress: %s\n", what);
}

struct Counts {
  std::atomic<long> blocks{0}, midi{0}, writes{0}, texts{0}, idles{0}, chunks{0}, programs{0}, resumes{0};
};

void audioThread(host::PluginInstance& plugin, Counts& counts) {
  std::vector<float> in[4], out[2];
  std::vector<double> inD[4], outD[2];
  for (int c = 0; c < 4; ++c) {
    in[c].assign(kBlock, 0.0f);
    inD[c].assign(kBlock, 0.0);
  }
  for (int c = 0; c < 2; ++c) {
    out[c].assign(kBlock, 0.0f);
    outD[c].assign(kBlock, 0.0);
  }
  std::mt19937 random(1);
  long n = 0;
  while (!stop.load(std::memory_order_relaxed)) {
    for (int c = 0; c < 4; ++c)
      for (int i = 0; i < kBlock; ++i) {
        const float s = ((i / 29 + c) & 1) ? 0.8f : -0.8f;  // a loud square on every input
        in[c][i] = s;
        inD[c][i] = s;
      }
    // As hosts do: the block's events just before the block.
    const auto cc = static_cast<uint8_t>(random() % 8);
    plugin.sendMidi({{0xb0, cc, static_cast<uint8_t>(random() % 128)}, {0x90, 60, 100}});
    counts.midi.fetch_add(1, std::memory_order_relaxed);
    const bool precisionDouble = ++n % 3 == 0;
    float* ip[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* op[2] = {out[0].data(), out[1].data()};
    double* ipD[4] = {inD[0].data(), inD[1].data(), inD[2].data(), inD[3].data()};
    double* opD[2] = {outD[0].data(), outD[1].data()};
    if (precisionDouble)
      plugin.processBlockDouble(ipD, opD, kBlock);
    else
      plugin.processBlock(ip, op, kBlock);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kBlock; ++i) {
        const double y = precisionDouble ? outD[c][i] : out[c][i];
        if (!std::isfinite(y) || std::fabs(y) > kOutputBound) fail("an output sample is not finite or out of bounds");
      }
    counts.blocks.fetch_add(1, std::memory_order_relaxed);
    // Now and then the host stops and restarts the effect between blocks
    // (on the audio thread: the host's transport, which the effect reads
    // when it resumes, belongs to that thread).
    if (n % 500 == 0) {
      plugin.dispatch(vst::effMainsChanged, 0, 0);
      plugin.dispatch(vst::effMainsChanged, 0, 1);
      counts.resumes.fetch_add(1, std::memory_order_relaxed);
    }
  }
}

void interfaceThread(host::PluginInstance& plugin, Counts& counts) {
  std::mt19937 random(2);
  static constexpr float kOdd[] = {-1.0f, 2.0f, 1e30f, -0.0f, NAN, INFINITY, 0.5f, 1.0f};
  plugin.dispatch(vst::effEditOpen);  // no window system here: the editor opens without a window
  long n = 0;
  while (!stop.load(std::memory_order_relaxed)) {
    int index = static_cast<int>(random() % params::kNumParams);
    if (n % 7 == 0) index = params::RvbType;
    if (n % 11 == 0) index = n % 22 ? params::DriveSwitch : params::CutfModSwitch;
    if (n % 13 == 0) index = params::kNumParams + static_cast<int>(random() % 8);  // a controller slot
    float value = static_cast<float>(random() % 1001) / 1000.0f;
    if (n % 17 == 0) value = kOdd[random() % std::size(kOdd)];
    plugin.setParameter(index, value);
    counts.writes.fetch_add(1, std::memory_order_relaxed);
    if (index < params::kNumParams) {
      plugin.parameterDisplay(index);
      plugin.parameterLabel(index);
      plugin.getParameter(index);
      counts.texts.fetch_add(1, std::memory_order_relaxed);
    }
    if (++n % 8 == 0) {
      plugin.dispatch(vst::effEditIdle);
      counts.idles.fetch_add(1, std::memory_order_relaxed);
    }
    if (n % 4000 == 0) {  // the user closes and opens the window now and then
      plugin.dispatch(vst::effEditClose);
      plugin.dispatch(vst::effEditOpen);
    }
  }
  plugin.dispatch(vst::effEditClose);
}

void stateThread(host::PluginInstance& plugin, Counts& counts) {
  std::mt19937 random(3);
  while (!stop.load(std::memory_order_relaxed)) {
    std::vector<uint8_t> chunk = plugin.getChunk();
    if (chunk.size() != 16376) fail("a chunk of the wrong size");
    // Select a program through the chunk's current-program field, as a host
    // restoring a project does.
    const auto program = static_cast<int32_t>(random() % 61);
    if (chunk.size() >= 16) std::memcpy(chunk.data() + 12, &program, 4);
    if (plugin.setChunk(chunk) != 0) fail("the plug-in refused its own chunk");
    counts.chunks.fetch_add(1, std::memory_order_relaxed);
    counts.programs.fetch_add(1, std::memory_order_relaxed);
    plugin.programNameIndexed(static_cast<int>(random() % 61));
    plugin.programName();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PLUGIN.so [SECONDS]\n", argv[0]);
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
  host::HostScript script;
  script.recordCalls = false;  // hours of calls would fill the log
  script.playing = true;
  std::string error;
  auto plugin = host::PluginInstance::load(argv[1], script, &error);
  if (!plugin) {
    std::fprintf(stderr, "stress: %s\n", error.c_str());
    return 2;
  }
  plugin->setSampleRate(48000.0f);
  plugin->setBlockSize(kBlock);
  plugin->resume();
  for (int p = 0; p < 8; ++p)  // controllers 0..7 drive parameters 0, 7, 14, ...
    plugin->setParameter(params::kNumParams + 7 * p, static_cast<float>((p + 0.5) / 129));

  Counts counts;
  const auto start = Clock::now();
  std::thread audio(audioThread, std::ref(*plugin), std::ref(counts));
  std::thread ui(interfaceThread, std::ref(*plugin), std::ref(counts));
  std::thread state(stateThread, std::ref(*plugin), std::ref(counts));
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop = true;
  audio.join();
  ui.join();
  state.join();
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  plugin->suspend();

  std::printf(
      "stress: %.1f s: audio %ld blocks (%ld event lists); interface %ld parameter writes, %ld text reads, "
      "%ld editor idles; state %ld chunk round trips and program selections; %ld suspend/resume\n",
      elapsed, counts.blocks.load(), counts.midi.load(), counts.writes.load(), counts.texts.load(),
      counts.idles.load(), counts.chunks.load(), counts.resumes.load());
  if (counts.blocks == 0 || counts.writes == 0 || counts.chunks == 0) fail("a thread made no progress");
  return failures ? 1 : 0;
}
