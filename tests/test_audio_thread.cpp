// The audio thread beside the host's other threads: the host is never called
// with the processing lock held, and a reverb type written while a block runs
// never waits for it, never reports a change it did not make, and reaches the
// engine by the next block, suspend or resume. Driven by ordering (latches);
// a deadline only keeps a regression from hanging the suite.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <latch>
#include <thread>

#include "params/ParameterTable.h"
#include "support/PresetFiles.h"
#include "support/Tavrel.h"

namespace {

using namespace testing_support;
using params::RvbType;

constexpr int kFrames = 64;
constexpr auto kDeadline = std::chrono::seconds(30);  // far beyond any wait the effect may make

// A host whose next time call, once a hold is armed, keeps the audio thread
// inside it until the test lets it go. One at a time.
struct TimeCallHold {
  std::latch entered{1}, release{1};
};

struct SlowTimeHost {
  std::atomic<TimeCallHold*> armed{nullptr};
  vst::VstTimeInfo time{};

  SlowTimeHost() { current() = this; }
  ~SlowTimeHost() { current() = nullptr; }
  static SlowTimeHost*& current() {
    static SlowTimeHost* host = nullptr;
    return host;
  }
  static intptr_t callback(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    if (opcode == vst::audioMasterVersion) return 2400;
    SlowTimeHost* self = current();
    if (opcode != vst::audioMasterGetTime || !self) return 0;
    if (TimeCallHold* hold = self->armed.exchange(nullptr)) {
      hold->entered.count_down();
      hold->release.wait();
    }
    self->time.tempo = 120.0;
    self->time.flags = vst::kVstTempoValid;
    return reinterpret_cast<intptr_t>(&self->time);
  }
};

struct Block {
  float in[4][kFrames] = {}, out[2][kFrames] = {};
  void run(ZEL& zel) {
    float* inputs[4] = {in[0], in[1], in[2], in[3]};
    float* outputs[2] = {out[0], out[1]};
    zel.processReplacing(inputs, outputs, kFrames);
  }
};

void startAudio(ZEL& zel) {
  zel.setSampleRate(44100.0f);
  zel.setBlockSize(kFrames);
  zel.resume();
}

// Runs `write` on another thread; false when it has not returned by the
// deadline (it is then left to finish once the test releases what it waits on).
bool returnsWhileHeld(std::function<void()> write, std::future<void>& pending) {
  pending = std::async(std::launch::async, std::move(write));
  return pending.wait_for(kDeadline) == std::future_status::ready;
}

Bytes chunkWithReverbType(ZEL& zel, float type) {
  void* data = nullptr;
  const int size = zel.getChunk(&data);
  Bytes chunk(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  const size_t at = 32 + zel.getCurrentProgramIndex() * 264 + 24 + 4 * RvbType;
  std::memcpy(&chunk[at], &type, 4);
  return chunk;
}

// The issue's own scene: the audio thread sits in the host's time call. A
// project load and an automated type change both return meanwhile, show the
// new type at once, and the engine plays it from the next block on.
TEST(AudioThread, ChunksAndReverbTypesDoNotWaitForTheHostsTimeCall) {
  SlowTimeHost host;
  auto zel = std::make_unique<ZEL>(SlowTimeHost::callback);
  startAudio(*zel);
  zel->setParameter(RvbType, 0.0f);
  Block block;
  block.run(*zel);
  ASSERT_EQ(zel->engine().reverb().type(), engine::kSpring);

  struct Case {
    const char* what;
    float type;
    bool throughChunk;
  };
  for (const Case& c : {Case{"project load", 1.0f, true}, Case{"automation", 0.0f, false}}) {
    SCOPED_TRACE(c.what);
    const Bytes chunk = chunkWithReverbType(*zel, c.type);
    TimeCallHold hold;
    host.armed = &hold;
    std::thread audio([&] { block.run(*zel); });
    hold.entered.wait();

    std::future<void> write;
    const bool returned = returnsWhileHeld(
        [&] {
          if (c.throughChunk)
            EXPECT_EQ(zel->setChunk(const_cast<uint8_t*>(chunk.data()), static_cast<int>(chunk.size())), 0);
          else
            zel->setParameter(RvbType, c.type);
        },
        write);
    EXPECT_TRUE(returned) << "the write waited for the audio thread";
    EXPECT_EQ(zel->getParameter(RvbType), c.type);
    EXPECT_EQ(zel->programs()[zel->getCurrentProgramIndex()].values[RvbType], c.type);
    hold.release.count_down();
    audio.join();
    write.wait();

    block.run(*zel);
    EXPECT_EQ(zel->engine().reverb().type(), c.type > 0.5f ? engine::kPlate : engine::kSpring);
  }
}

// A block holds the lock (the test stands in for it): the writer hands the
// reconfiguration over, and whichever takes the lock next applies the type
// written last.
TEST(AudioThread, AReverbTypeWrittenDuringABlockIsTakenByWhateverRunsNext) {
  struct Case {
    const char* takenBy;
    std::function<void(ZEL&, Block&)> next;
  };
  const Case cases[] = {
      {"the next block", [](ZEL& zel, Block& block) { block.run(zel); }},
      {"suspend", [](ZEL& zel, Block&) { zel.suspend(); }},
      {"resume", [](ZEL& zel, Block&) { zel.resume(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.takenBy);
    auto zel = makeZel();
    startAudio(*zel);
    zel->setParameter(RvbType, 0.0f);
    Block block;

    std::latch held(1), release(1);
    std::thread blockInProgress([&] {
      std::lock_guard<shell::ProcessingLock> hold(zel->processingLock());
      held.count_down();
      release.wait();
    });
    held.wait();
    std::future<void> write;
    const bool returned = returnsWhileHeld(
        [&] {
          zel->setParameter(RvbType, 1.0f);
          zel->setParameter(RvbType, 0.0f);  // a later change replaces an earlier one
          zel->setParameter(RvbType, 1.0f);
        },
        write);
    EXPECT_TRUE(returned) << "the write waited for the block";
    EXPECT_EQ(zel->getParameter(RvbType), 1.0f);
    char text[64] = {};
    zel->getParameterDisplay(RvbType, text);
    EXPECT_STREQ(text, "plate");
    EXPECT_EQ(zel->engine().reverb().type(), engine::kSpring) << "reconfigured under a running block";
    release.count_down();
    blockInProgress.join();
    write.wait();

    c.next(*zel, block);
    EXPECT_EQ(zel->engine().reverb().type(), engine::kPlate);
  }
}

}  // namespace
