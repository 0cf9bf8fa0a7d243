// The audio thread beside the host's other threads: the host is never called
// with the processing lock held, and a reverb type written while a block runs
// never waits for it, never reports a change it did not make, and reaches the
// engine by the next block, suspend or resume. Driven by ordering (latches);
// a deadline only keeps a regression from hanging the suite.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
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

struct Hold {
  std::latch held{1}, release{1};
};

// A host whose next time call, once a hold is armed, keeps the calling
// thread inside it until the test releases the hold. One at a time.
std::atomic<Hold*> timeCallHold{nullptr};

intptr_t slowTimeHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  static vst::VstTimeInfo time{};
  if (opcode == vst::audioMasterVersion) return 2400;
  if (opcode != vst::audioMasterGetTime) return 0;
  if (Hold* hold = timeCallHold.exchange(nullptr)) {
    hold->held.count_down();
    hold->release.wait();
  }
  time.tempo = 120.0;
  time.flags = vst::kVstTempoValid;
  return reinterpret_cast<intptr_t>(&time);
}

void runBlock(ZEL& zel) {
  static thread_local float in[4][kFrames], out[2][kFrames];
  float* inputs[4] = {in[0], in[1], in[2], in[3]};
  float* outputs[2] = {out[0], out[1]};
  zel.processReplacing(inputs, outputs, kFrames);
}

// Spring is playing; the audio thread is held (in the host's time call, the
// issue's own scene, or by a block holding the lock) while a project load or
// automation makes it plate. The write returns meanwhile and shows plate at
// once; whatever runs next plays it.
TEST(AudioThread, AReverbTypeWrittenWhileTheAudioThreadIsHeldShowsAtOnceAndPlaysNext) {
  struct Case {
    const char* scene;
    bool inTimeCall;    // else a block holds the processing lock
    bool throughChunk;  // else automation: plate, spring, plate (the last one counts)
    void (*next)(ZEL&);
  };
  const Case cases[] = {
      {"project load during the host's time call", true, true, runBlock},
      {"automation during the host's time call", true, false, runBlock},
      {"automation during a block, then a block", false, false, runBlock},
      {"automation during a block, then suspend", false, false, [](ZEL& zel) { zel.suspend(); }},
      {"project load during a block, then resume", false, true, [](ZEL& zel) { zel.resume(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scene);
    auto zel = std::make_unique<ZEL>(slowTimeHost);
    zel->setSampleRate(44100.0f);
    zel->setBlockSize(kFrames);
    zel->resume();
    zel->setParameter(RvbType, 0.0f);
    runBlock(*zel);
    ASSERT_EQ(zel->engine().reverb().type(), engine::kSpring);
    void* data = nullptr;
    const int size = zel->getChunk(&data);
    Bytes plate(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    const float one = 1.0f;
    std::memcpy(&plate[32 + 24 + 4 * RvbType], &one, 4);  // program 0, the current one

    Hold hold;
    std::thread audio;
    if (c.inTimeCall) {
      timeCallHold = &hold;
      audio = std::thread([&] { runBlock(*zel); });
    } else {
      audio = std::thread([&] {
        std::lock_guard<core::ProcessingLock> inBlock(zel->processingLock());
        hold.held.count_down();
        hold.release.wait();
      });
    }
    hold.held.wait();
    auto write = std::async(std::launch::async, [&] {
      if (c.throughChunk) return zel->setChunk(plate.data(), static_cast<int>(plate.size()));
      for (float type : {1.0f, 0.0f, 1.0f}) zel->setParameter(RvbType, type);
      return 0;
    });
    // Only a hang would take this long; the effect must not wait at all.
    EXPECT_EQ(write.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "the write waited";
    EXPECT_EQ(zel->getParameter(RvbType), 1.0f);
    EXPECT_EQ(zel->programs()[0].values[RvbType], 1.0f);
    char text[64] = {};
    zel->getParameterDisplay(RvbType, text);
    EXPECT_STREQ(text, "plate");
    if (!c.inTimeCall) {
      EXPECT_EQ(zel->engine().reverb().type(), engine::kSpring) << "reconfigured under a block";
    }
    hold.release.count_down();
    audio.join();
    EXPECT_EQ(write.get(), 0);

    c.next(*zel);
    EXPECT_EQ(zel->engine().reverb().type(), engine::kPlate);
  }
}

}  // namespace
