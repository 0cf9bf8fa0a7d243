// The host library itself, checked against a probe plug-in that reports how
// it was driven: block cutting, silence for missing inputs, the pin
// convention, transport time, MIDI delivery and several instances at once.
#include <gtest/gtest.h>

#include <vector>

#include "host/PluginHost.h"

#ifdef TAVREL_HOST_PROBE_PATH

namespace {

using host::HostScript;
using host::PluginInstance;

std::unique_ptr<PluginInstance> loadProbe(const HostScript& script = {}) {
  std::string error;
  auto probe = PluginInstance::load(TAVREL_HOST_PROBE_PATH, script, &error);
  EXPECT_NE(probe, nullptr) << error;
  return probe;
}

intptr_t ask(PluginInstance& p, int what) { return p.dispatch(vst::effVendorSpecific, what); }

TEST(HostLibrary, CutsLongBuffersIntoHostBlocksAndFeedsSilencePastShortInputs) {
  struct Case {
    int block;
    long frames;
    std::vector<float> expectedBlocks;
  };
  const Case cases[] = {{512, 1300, {512, 512, 276}}, {64, 64, {64}}, {1000, 7, {7}}, {3, 10, {3, 3, 3, 1}}};
  for (const Case& c : cases) {
    HostScript script;
    script.blockSize = c.block;
    auto probe = loadProbe(script);
    ASSERT_NE(probe, nullptr);
    std::vector<float> main(static_cast<size_t>(c.frames), 1.0f);
    std::vector<float> key(static_cast<size_t>(c.frames / 2), 0.5f);  // ends half way
    const std::vector<std::vector<float>> inputs{main, {}, key};     // input 3 missing entirely
    std::vector<std::vector<float>> outputs;
    ASSERT_TRUE(probe->process(inputs, outputs));
    ASSERT_EQ(outputs.size(), 2u);
    ASSERT_EQ(outputs[0].size(), static_cast<size_t>(c.frames));
    std::vector<float> blocks;
    for (long i = 0; i < c.frames; i += static_cast<long>(outputs[1][i])) blocks.push_back(outputs[1][i]);
    EXPECT_EQ(blocks, c.expectedBlocks) << "block " << c.block << ", " << c.frames << " frames";
    for (long i = 0; i < c.frames; ++i)
      ASSERT_FLOAT_EQ(outputs[0][i], i < c.frames / 2 ? 1.5f : 1.0f) << "frame " << i;
    EXPECT_EQ(inputs[0], main) << "the plug-in's writes into its inputs reached the caller";
  }
}

TEST(HostLibrary, DoublePathDrivesTheDoubleEntry) {
  auto probe = loadProbe();
  ASSERT_NE(probe, nullptr);
  std::vector<std::vector<double>> outputs;
  ASSERT_TRUE(probe->processDouble({{0.25, 0.25, 0.25}}, outputs));
  EXPECT_EQ(outputs[0], (std::vector<double>{0.25, 0.25, 0.25}));
  EXPECT_EQ(outputs[1], (std::vector<double>{3, 3, 3}));
}

TEST(HostLibrary, PinsBelowTheScriptedCountsAnswerConnectedWithZero) {
  struct Case {
    int inputs, outputs;
  };
  for (const Case c : {Case{4, 2}, Case{2, 2}, Case{3, 1}, Case{0, 0}}) {
    HostScript script;
    script.connectedInputs = c.inputs;
    script.connectedOutputs = c.outputs;
    auto probe = loadProbe(script);
    ASSERT_NE(probe, nullptr);
    probe->resume();
    EXPECT_EQ(ask(*probe, 0), c.inputs);
    EXPECT_EQ(ask(*probe, 1), c.outputs);
  }
}

TEST(HostLibrary, TransportAdvancesBetweenBlocksOnlyWhilePlaying) {
  struct Case {
    bool timeInfo, playing;
    double lastSamplePos, lastPpq;  // as seen by the last of three 441-frame blocks
  };
  const Case cases[] = {
      {true, true, 882.0, 882.0 / 44100.0 * 90.0 / 60.0 + 8.0},
      {true, false, 0.0, 8.0},
      {false, true, -1.0, -1.0},
  };
  for (const Case& c : cases) {
    HostScript script;
    script.timeInfo = c.timeInfo;
    script.playing = c.playing;
    script.tempo = 90.0;
    script.ppqPos = 8.0;
    script.blockSize = 441;
    auto probe = loadProbe(script);
    ASSERT_NE(probe, nullptr);
    std::vector<std::vector<float>> outputs;
    ASSERT_TRUE(probe->process({}, outputs, 3 * 441));
    double seen[2] = {0, 0};
    probe->dispatch(vst::effVendorSpecific, 2, 0, seen);
    EXPECT_DOUBLE_EQ(seen[0], c.lastSamplePos);
    EXPECT_NEAR(seen[1], c.lastPpq, 1e-9);
  }
}

TEST(HostLibrary, LoadFailuresComeBackAsMessages) {
  std::string error;
  EXPECT_EQ(PluginInstance::load("/nonexistent/Nothing.so", {}, &error), nullptr);
  EXPECT_NE(error.find("/nonexistent/Nothing.so"), std::string::npos) << error;
  HostScript refuse;
  refuse.version = 0;
  error.clear();
  EXPECT_EQ(PluginInstance::load(TAVREL_HOST_PROBE_PATH, refuse, &error), nullptr);
  EXPECT_NE(error.find("returned no effect"), std::string::npos) << error;
}

TEST(HostLibrary, CallsReachTheInstanceThatMadeThem) {
  HostScript a;
  a.connectedInputs = 4;
  HostScript b;
  b.connectedInputs = 1;
  auto first = loadProbe(a);
  auto second = loadProbe(b);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // The version question comes while the effect does not exist yet.
  EXPECT_EQ(first->calls(vst::audioMasterVersion).size(), 1u);
  EXPECT_EQ(second->calls(vst::audioMasterVersion).size(), 1u);
  first->clearCalls();
  second->resume();
  EXPECT_EQ(ask(*second, 0), 1);
  EXPECT_TRUE(first->calls().empty());
  EXPECT_EQ(second->calls(vst::audioMasterPinConnected).size(), 2u + 2u);  // inputs stop at the first open pin
}

TEST(HostLibrary, MidiMessagesArriveAsOneEventList) {
  auto probe = loadProbe();
  ASSERT_NE(probe, nullptr);
  probe->sendMidi({{0xB0, 7, 100}, {0xB1, 1, 2}, {0x90, 60, 64}});
  EXPECT_EQ(ask(*probe, 3), 3);
  EXPECT_EQ(ask(*probe, 4), 0xB00764);
}

}  // namespace

#endif
