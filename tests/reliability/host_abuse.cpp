// The host-abuse validator: the built plug-in driven through the host
// library the way careless and hostile hosts drive plug-ins. Sample rates
// across the whole range and invalid ones, block sizes 1..8192 and blocks
// longer than announced, processing before resume, double suspends, float
// and double blocks interleaved, in-place buffers, hundreds of instances
// made and closed, many alive at once, state round trips, and the editor
// window opened and closed again and again while audio runs.
#include <dirent.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <thread>

#include "params/ParameterTable.h"
#include "support/Tavrel.h"
#include "support/ToolkitXvfb.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>

namespace {

using testing_support::loadTavrel;
using Plugin = std::unique_ptr<host::PluginInstance>;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // the checkers keep freed memory aside
#else
constexpr bool kSanitized = false;
#endif

constexpr double kOutputBound = 64.0;

int countEntries(const char* folder) {
  int n = 0;
  if (DIR* d = opendir(folder)) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}
int openDescriptors() { return countEntries("/proc/self/fd"); }
int threads() { return countEntries("/proc/self/task"); }
size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Noise and a square on the main inputs and a quieter key, `frames` long.
std::vector<std::vector<float>> signal(long frames, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::vector<std::vector<float>> in(4, std::vector<float>(static_cast<size_t>(frames)));
  for (long i = 0; i < frames; ++i) {
    in[0][i] = static_cast<float>(random() % 2001) / 1000.0f - 1.0f;
    in[1][i] = (i / 50) % 2 ? 0.9f : -0.9f;
    in[2][i] = in[3][i] = 0.1f * in[0][i];
  }
  return in;
}

// Every sample finite and bounded; returns the energy of the block.
template <typename Sample>
double checkedEnergy(const std::vector<std::vector<Sample>>& out, const std::string& where) {
  double energy = 0.0;
  for (size_t c = 0; c < out.size(); ++c)
    for (size_t i = 0; i < out[c].size(); ++i) {
      const double y = out[c][i];
      if (!std::isfinite(y) || std::fabs(y) > kOutputBound) {
        ADD_FAILURE() << where << ": output " << c << " sample " << i << " is " << y;
        return energy;
      }
      energy += y * y;
    }
  return energy;
}

// Raw block through the record, with the host's own buffers.
void rawBlock(host::PluginInstance& plugin, int frames, bool doublePrecision, const std::string& where) {
  auto in = signal(frames);
  std::vector<std::vector<float>> out(2, std::vector<float>(static_cast<size_t>(frames), 7.0f));
  if (doublePrecision) {
    std::vector<std::vector<double>> inD(4), outD(2, std::vector<double>(static_cast<size_t>(frames), 7.0));
    for (int c = 0; c < 4; ++c) inD[c].assign(in[c].begin(), in[c].end());
    double* ip[4] = {inD[0].data(), inD[1].data(), inD[2].data(), inD[3].data()};
    double* op[2] = {outD[0].data(), outD[1].data()};
    plugin.processBlockDouble(ip, op, frames);
    checkedEnergy(outD, where);
  } else {
    float* ip[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* op[2] = {out[0].data(), out[1].data()};
    plugin.processBlock(ip, op, frames);
    checkedEnergy(out, where);
  }
}

TEST(HostAbuse, EverySampleRateFromTheRangeAndInvalidOnesPlay) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  plugin->setParameter(params::DlyModeL, 0.0f);  // a short delay in ms, so the echo shows inside the render
  plugin->setParameter(params::RangeL, 0.1f);
  plugin->setParameter(params::RvbOn, 1.0f);
  std::vector<float> rates = {4096, 4097, 8000, 11025, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000,
                              199999, 200000};
  for (float r = 4096; r < 200000; r += 1999) rates.push_back(r);
  // Not rates at all: the effect runs as at 44100 Hz.
  const float invalid[] = {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(), 384000.0f, 4095.0f, 200001.0f};
  rates.insert(rates.end(), std::begin(invalid), std::end(invalid));
  const auto in = signal(3000);
  for (float rate : rates) {
    plugin->suspend();
    plugin->setSampleRate(rate);
    plugin->resume();
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(plugin->process(in, out));
    EXPECT_GT(checkedEnergy(out, "rate " + std::to_string(rate)), 1.0) << "silent at " << rate << " Hz";
    std::vector<std::vector<double>> inD(4), outD;
    for (int c = 0; c < 4; ++c) inD[c].assign(in[c].begin(), in[c].begin() + 500);
    ASSERT_TRUE(plugin->processDouble(inD, outD));
    checkedEnergy(outD, "double at rate " + std::to_string(rate));
  }
}

TEST(HostAbuse, BlocksOfEverySizeAndLongerThanAnnounced) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  plugin->setSampleRate(48000.0f);
  plugin->setBlockSize(512);
  plugin->resume();
  for (int frames = 1; frames <= 8192; ++frames)
    rawBlock(*plugin, frames, frames % 2, "block of " + std::to_string(frames));

  // Announced sizes that are too small, invalid or enormous, each followed by
  // blocks far longer than announced.
  for (int announced : {1, 2, 3, 64, 1000, 44100, 44101, 0, -1, 1 << 30}) {
    plugin->suspend();
    plugin->setBlockSize(announced);
    plugin->resume();
    for (int frames : {1, 7, 4096, 8192})
      rawBlock(*plugin, frames, frames == 7, "announced " + std::to_string(announced));
  }
}

TEST(HostAbuse, OutOfOrderLifecycleCalls) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  // Before any resume, and with no sample rate or block size from the host.
  rawBlock(*plugin, 512, false, "before resume");
  rawBlock(*plugin, 512, true, "before resume, double");
  for (int round = 0; round < 3; ++round) {
    plugin->dispatch(vst::effMainsChanged, 0, 0);
    plugin->dispatch(vst::effMainsChanged, 0, 0);
    rawBlock(*plugin, 256, false, "after two suspends");
    plugin->dispatch(vst::effMainsChanged, 0, 1);
    plugin->dispatch(vst::effMainsChanged, 0, 1);
    rawBlock(*plugin, 256, true, "after two resumes");
  }
  // Closed while running: the host's destructor closes without a suspend.
  plugin->dispatch(vst::effMainsChanged, 0, 1);
  rawBlock(*plugin, 64, false, "running");
}

// Arithmetic is in double whatever the host's sample type: float and double
// blocks interleaved give the float render, and a block whose outputs are
// its inputs (in place) gives the same output as separate buffers.
TEST(HostAbuse, InterleavedPrecisionAndInPlaceBuffersGiveTheSameSound) {
  constexpr int kFrames = 256, kBlocks = 40;
  auto reference = loadTavrel();
  auto interleaved = loadTavrel();
  auto inPlace = loadTavrel();
  ASSERT_TRUE(reference && interleaved && inPlace);
  for (auto* p : {reference.get(), interleaved.get(), inPlace.get()}) {
    p->setParameter(params::FbGainL, 0.6f);
    p->setParameter(params::LFOWave, 0.1f);  // the sine: the random wave would differ between instances
    p->setSampleRate(44100.0f);
    p->setBlockSize(kFrames);
    p->resume();
  }
  const auto in = signal(kFrames * kBlocks, 9);
  for (int b = 0; b < kBlocks; ++b) {
    std::vector<float> block[4];
    for (int c = 0; c < 4; ++c) block[c].assign(in[c].begin() + b * kFrames, in[c].begin() + (b + 1) * kFrames);

    std::vector<float> a[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
    float* ip[4] = {block[0].data(), block[1].data(), block[2].data(), block[3].data()};
    float* op[2] = {a[0].data(), a[1].data()};
    reference->processBlock(ip, op, kFrames);

    std::vector<float> fromMixed[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
    if (b % 2) {
      std::vector<double> inD[4], outD[2] = {std::vector<double>(kFrames), std::vector<double>(kFrames)};
      for (int c = 0; c < 4; ++c) inD[c].assign(block[c].begin(), block[c].end());
      double* ipD[4] = {inD[0].data(), inD[1].data(), inD[2].data(), inD[3].data()};
      double* opD[2] = {outD[0].data(), outD[1].data()};
      interleaved->processBlockDouble(ipD, opD, kFrames);
      for (int c = 0; c < 2; ++c) fromMixed[c].assign(outD[c].begin(), outD[c].end());
    } else {
      float* opM[2] = {fromMixed[0].data(), fromMixed[1].data()};
      interleaved->processBlock(ip, opM, kFrames);
    }

    std::vector<float> shared[4];
    for (int c = 0; c < 4; ++c) shared[c] = block[c];
    float* ipS[4] = {shared[0].data(), shared[1].data(), shared[2].data(), shared[3].data()};
    float* opS[2] = {shared[0].data(), shared[1].data()};  // outputs written over the main inputs
    inPlace->processBlock(ipS, opS, kFrames);

    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kFrames; ++i) {
        ASSERT_NEAR(fromMixed[c][i], a[c][i], 1e-6f) << "block " << b << " channel " << c << " sample " << i;
        ASSERT_EQ(shared[c][i], a[c][i]) << "in place: block " << b << " channel " << c << " sample " << i;
      }
  }
}

// Two hundred instances made, run and closed: no memory, descriptor or
// thread stays behind. Sixteen alive at once, run from four threads.
TEST(HostAbuse, ManyInstancesComeAndGoWithoutGrowth) {
  auto keeper = loadTavrel();  // keeps the library loaded between instances
  ASSERT_TRUE(keeper);
  auto cycle = [] {
    auto plugin = loadTavrel();
    ASSERT_TRUE(plugin);
    plugin->setSampleRate(48000.0f);
    plugin->resume();
    rawBlock(*plugin, 128, false, "short-lived instance");
    plugin->getChunk();
  };
  for (int i = 0; i < 10; ++i) cycle();
  const size_t heap = heapInUse();
  const int descriptors = openDescriptors(), threadCount = threads();
  for (int i = 0; i < 200; ++i) cycle();
  EXPECT_EQ(openDescriptors(), descriptors);
  EXPECT_EQ(threads(), threadCount);
  if (!kSanitized) {
    EXPECT_LT(heapInUse(), heap + 64 * 1024) << "from " << heap;
  }

  std::vector<Plugin> alive;
  for (int i = 0; i < 16; ++i) {
    alive.push_back(loadTavrel());
    ASSERT_TRUE(alive.back());
    alive.back()->setSampleRate(i % 2 ? 96000.0f : 44100.0f);
    alive.back()->setParameter(params::Mix, i / 16.0f);
    alive.back()->resume();
  }
  std::vector<std::thread> runners;
  for (int t = 0; t < 4; ++t)
    runners.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round)
        for (int i = t; i < 16; i += 4) rawBlock(*alive[i], 256, round % 2, "one of sixteen");
    });
  for (auto& r : runners) r.join();
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(alive[i]->getParameter(params::Mix), i / 16.0f);
}

// Random settings, saved and restored into a fresh instance: the same chunk
// and the same parameters.
TEST(HostAbuse, StateRoundTripsAfterRandomParameters) {
  std::mt19937 random(15);
  for (int round = 0; round < 5; ++round) {
    auto first = loadTavrel();
    ASSERT_TRUE(first);
    for (int i = 0; i < 300; ++i) {
      const int index = static_cast<int>(random() % params::kNumParams);
      first->setParameter(index, static_cast<float>(random() % 1001) / 1000.0f);
    }
    for (int p = 0; p < 5; ++p)
      first->setParameter(params::kNumParams + static_cast<int>(random() % params::kNumParams),
                          static_cast<float>((random() % 129 + 0.5) / 129));
    const auto chunk = first->getChunk();
    auto second = loadTavrel();
    ASSERT_EQ(second->setChunk(chunk), 0);
    EXPECT_EQ(second->getChunk(), chunk);
    for (int p = 0; p < params::kNumAssignable; ++p) {
      // A side in note mode ignores its time (the tempo decides), and a
      // switch back to time mode derives it anew: it is no part of the state.
      if (p == params::DlyTimeL && first->getParameter(params::DlyModeL) >= 0.5f) continue;
      if (p == params::DlyTimeR && first->getParameter(params::DlyModeR) >= 0.5f) continue;
      EXPECT_EQ(second->getParameter(p), first->getParameter(p)) << "parameter " << p << " round " << round;
    }
  }
}

// The editor's window fifty times, in fresh and reused host windows, while
// audio runs: no X error, and no descriptor, thread, X connection or memory
// left behind.
std::atomic<int> xErrors{0};
int countXError(Display*, XErrorEvent*) {
  xErrors.fetch_add(1);
  return 0;
}

int xConnections() {
  // The plug-in's connections are sockets; count them.
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (dirent* e = readdir(d)) {
      char link[64] = {};
      const std::string path = std::string("/proc/self/fd/") + e->d_name;
      if (readlink(path.c_str(), link, sizeof link - 1) > 0 && std::string(link).rfind("socket:", 0) == 0) ++n;
    }
    closedir(d);
  }
  return n;
}

TEST(X11HostAbuse, FiftyEditorOpeningsWhileAudioRuns) {
  toolkit_rig::Xvfb server;
  if (!server.running()) GTEST_SKIP() << server.error() << ": no X server for the window tests";
  Display* display = XOpenDisplay(server.name().c_str());
  ASSERT_NE(display, nullptr);
  auto previous = XSetErrorHandler(countXError);
  auto makeParent = [&] {
    const Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 942, 171, 0, 0, 0);
    XMapWindow(display, w);
    XSync(display, False);
    return w;
  };

  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  plugin->script().recordCalls = false;
  plugin->setBlockSize(256);
  plugin->resume();
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::thread audio([&] {
    while (!stop) {
      rawBlock(*plugin, 256, false, "audio beside the editor");
      ++blocks;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  });

  const Window reused = makeParent();
  auto openAndClose = [&](Window parent) {
    ASSERT_NE(plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 0);
    for (int i = 0; i < 3; ++i) {
      plugin->dispatch(vst::effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    plugin->dispatch(vst::effEditClose);
  };
  openAndClose(reused);  // the first opening loads fonts and pictures for good
  openAndClose(reused);
  const int descriptors = openDescriptors(), threadCount = threads(), connections = xConnections();
  const size_t heap = heapInUse();
  for (int cycle = 0; cycle < 50; ++cycle) {
    const Window parent = cycle % 2 ? makeParent() : reused;
    openAndClose(parent);
    if (parent != reused) XDestroyWindow(display, parent);
  }
  XSync(display, False);
  // Counted with the audio thread still running, as at the start.
  EXPECT_EQ(openDescriptors(), descriptors);
  EXPECT_EQ(xConnections(), connections);
  EXPECT_EQ(threads(), threadCount);
  stop = true;
  audio.join();

  EXPECT_GT(blocks.load(), 0);
  EXPECT_EQ(xErrors.load(), 0);
  if (!kSanitized) {
    EXPECT_LT(heapInUse(), heap + 256 * 1024) << "from " << heap;
  }
  XSetErrorHandler(previous);
  XCloseDisplay(display);
}

}  // namespace
