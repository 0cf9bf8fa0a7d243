// The host library itself, checked against a probe plug-in that reports how
// it was driven: block cutting, silence for missing inputs, the pin
// convention, transport time, MIDI delivery and several instances at once;
// and the host log that stands in for the plug-in.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/PluginHost.h"
#include "host/StateImages.h"

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

// The host's own reading of preset, bank and MIDI-settings files into a
// chunk: byte orders, the older 48-parameter layout, and refusals.
namespace {

namespace ti = host::tavrel;

std::vector<uint8_t> blankChunk(int current) {
  std::vector<uint8_t> chunk(ti::kChunkSize, 0);
  ti::writeWord(chunk, 0, 0x01000000u);
  ti::writeWord(chunk, 4, ti::kPluginId);
  ti::writeWord(chunk, 8, ti::kPrograms);
  ti::setCurrentProgram(chunk, current);
  return chunk;
}

uint32_t bits(float f) {
  uint32_t w;
  std::memcpy(&w, &f, 4);
  return w;
}

// A preset image with `count` values, value i = `value(i)`.
template <typename F>
std::vector<uint8_t> presetImage(uint32_t id, int count, bool swapped, F value) {
  std::vector<uint8_t> image(5 + ti::kNameSize + 4 * static_cast<size_t>(count), 0);
  auto put = [&](size_t at, uint32_t w) {
    ti::writeWord(image, at, swapped ? __builtin_bswap32(w) : w);
  };
  put(0, id);
  image[4] = '!';
  std::memcpy(image.data() + 5, "Loaded", 6);
  for (int i = 0; i < count; ++i) put(5 + ti::kNameSize + 4 * i, bits(value(i)));
  return image;
}

TEST(StateImages, PresetImagesLoadIntoTheCurrentProgram) {
  struct Case {
    const char* what;
    uint32_t id;
    int count;
    bool swapped;
  };
  const Case cases[] = {{"native", ti::kPluginId, 60, false},
                        {"other byte order", ti::kPluginId, 60, true},
                        {"older 48 values", ti::kOldPluginId, 48, false},
                        {"older 48 values, other byte order", ti::kOldPluginId, 48, true}};
  for (const Case& c : cases) {
    std::vector<uint8_t> chunk = blankChunk(17);
    const auto image = presetImage(c.id, c.count, c.swapped, [](int i) { return 0.01f * static_cast<float>(i % 30); });
    ASSERT_EQ(ti::applyPreset(chunk, image), "") << c.what;
    EXPECT_EQ(ti::programName(chunk, 17), "Loaded") << c.what;
    EXPECT_EQ(ti::programName(chunk, 16), "") << c.what;
    EXPECT_FLOAT_EQ(ti::programValue(chunk, 17, 5), 0.05f) << c.what;
    if (c.count == 48) {
      // Parameters 48..59 take their neutral values; the two-state LFO mode
      // (0.32 is its first state) becomes the first of three.
      const float neutral[12] = {0, 1, 0, 0, 1, 0.5f, 0, 0, 1.5f / 13, 1.5f / 13, 0, 0};
      for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(ti::programValue(chunk, 17, 48 + i), neutral[i]) << c.what << " " << i;
      EXPECT_FLOAT_EQ(ti::programValue(chunk, 17, 32), 0.5f / 3) << c.what;
    } else {
      EXPECT_FLOAT_EQ(ti::programValue(chunk, 17, 59), 0.29f) << c.what;
    }
  }
}

TEST(StateImages, OlderRandomWaveTurnsIntoSongLockedLfo) {
  struct Case {
    float lfoDen, expectedDen;
  };
  // LfoDen step 0 becomes step 3, others move up four steps, at most to 12.
  for (const Case c : {Case{0.0f, 3.5f / 13}, Case{1.5f / 13, 5.5f / 13}, Case{10.5f / 13, 12.5f / 13}}) {
    std::vector<uint8_t> chunk = blankChunk(0);
    const auto image = presetImage(ti::kOldPluginId, 48, false, [&](int i) {
      return i == 9 ? 0.9f /* fifth LFO wave */ : i == 34 ? c.lfoDen : 0.0f;
    });
    ASSERT_EQ(ti::applyPreset(chunk, image), "");
    EXPECT_FLOAT_EQ(ti::programValue(chunk, 0, 32), 2.5f / 3);
    EXPECT_FLOAT_EQ(ti::programValue(chunk, 0, 34), c.expectedDen);
  }
}

TEST(StateImages, ForeignTruncatedOrMistypedImagesChangeNothing) {
  auto valid = presetImage(ti::kPluginId, 60, false, [](int) { return 0.5f; });
  auto wrongType = valid;
  wrongType[4] = '7';
  auto foreign = valid;
  ti::writeWord(foreign, 0, 0x12345678u);
  auto truncated = valid;
  truncated.resize(200);
  for (const auto& image : {wrongType, foreign, truncated, std::vector<uint8_t>{}}) {
    std::vector<uint8_t> chunk = blankChunk(3);
    const std::vector<uint8_t> before = chunk;
    EXPECT_NE(ti::applyPreset(chunk, image), "");
    EXPECT_EQ(chunk, before);
  }
}

TEST(StateImages, BankReplacesAllProgramsAndSelectsTheFirst) {
  std::vector<uint8_t> bank(ti::kBankSize, 0);
  ti::writeWord(bank, 0, ti::kPluginId);
  bank[4] = '7';
  for (int k = 0; k < ti::kPrograms; ++k) {
    const size_t at = 5 + k * ti::kRecordSize;
    bank[at] = static_cast<uint8_t>('A' + k % 26);
    ti::writeWord(bank, at + ti::kNameSize + 4 * 59, bits(static_cast<float>(k) / 100));
  }
  std::vector<uint8_t> chunk = blankChunk(40);
  ASSERT_EQ(ti::applyBank(chunk, bank), "");
  EXPECT_EQ(ti::currentProgram(chunk), 0);
  EXPECT_EQ(ti::programName(chunk, 60), std::string(1, static_cast<char>('A' + 60 % 26)));
  EXPECT_FLOAT_EQ(ti::programValue(chunk, 60, 59), 0.60f);

  std::vector<uint8_t> midi(ti::kMidiSize, 0);
  ti::writeWord(midi, 0, ti::kPluginId);
  midi[4] = 0x0B;
  ti::writeWord(midi, 5 + 4 * 59, bits(7.5f / 129));
  ASSERT_EQ(ti::applyMidiSettings(chunk, midi), "");
  EXPECT_EQ(ti::readWord(chunk, ti::kChunkAssignments + 4 * 59), bits(7.5f / 129));
}

}  // namespace

// The host log stands in for the plug-in: a host driving it hears Tavrel bit
// for bit, and the log holds the calls with what a fault may hide in (chunk
// checksums, buffer addresses, the key inputs, the time info, the close).
#if defined(TAVREL_HOST_LOG_PATH) && defined(TAVREL_PLUGIN_PATH)
TEST(HostLog, PassesEveryCallThroughAndWritesItDown) {
  const std::string logPath = testing::TempDir() + "tavrel-hostlog-" + std::to_string(getpid()) + ".txt";
  std::remove(logPath.c_str());
  setenv("TAVREL_HOSTLOG_FILE", logPath.c_str(), 1);
  setenv("TAVREL_HOSTLOG_PLUGIN", TAVREL_PLUGIN_PATH, 1);
  std::vector<std::vector<float>> in(4, std::vector<float>(3000));
  for (size_t i = 0; i < 3000; ++i) in[0][i] = in[1][i] = static_cast<float>(std::sin(0.05 * i));
  std::vector<std::vector<float>> heard[2];
  const char* paths[2] = {TAVREL_PLUGIN_PATH, TAVREL_HOST_LOG_PATH};
  for (int k = 0; k < 2; ++k) {
    std::string error;
    auto p = host::PluginInstance::load(paths[k], {}, &error);
    ASSERT_NE(p, nullptr) << error;
    std::vector<uint8_t> chunk = p->getChunk();
    host::tavrel::setCurrentProgram(chunk, 1);
    p->setChunk(chunk);
    p->resume();
    ASSERT_TRUE(p->process(in, heard[k]));
  }
  unsetenv("TAVREL_HOSTLOG_FILE");
  unsetenv("TAVREL_HOSTLOG_PLUGIN");
  EXPECT_EQ(heard[1], heard[0]);

  std::ifstream file(logPath);
  std::stringstream log;
  log << file.rdbuf();
  for (const char* expected : {"dispatch effOpen", "effSetChunk(24) preset=0 bytes=", "processReplacing frames=512 in=",
                               "key2:[0,0]", "time info at", "tempo=120", "dispatch effClose"})
    EXPECT_NE(log.str().find(expected), std::string::npos) << expected;
  std::remove(logPath.c_str());
}

// A host that connects only the main pair may hand over key buffers that are
// not there at all; Tavrel leaves them alone, and so must the log.
TEST(HostLog, LeavesKeyBuffersThatAreNotThereUnread) {
  const std::string logPath = testing::TempDir() + "tavrel-hostlog-keys-" + std::to_string(getpid()) + ".txt";
  std::remove(logPath.c_str());
  setenv("TAVREL_HOSTLOG_FILE", logPath.c_str(), 1);
  setenv("TAVREL_HOSTLOG_PLUGIN", TAVREL_PLUGIN_PATH, 1);
  host::HostScript script;
  script.connectedInputs = 2;
  std::string error;
  auto p = host::PluginInstance::load(TAVREL_HOST_LOG_PATH, script, &error);
  ASSERT_NE(p, nullptr) << error;
  p->resume();
  const long page = sysconf(_SC_PAGESIZE);
  void* gone = mmap(nullptr, static_cast<size_t>(page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(gone, MAP_FAILED);
  munmap(gone, static_cast<size_t>(page));
  std::vector<float> left(64, 0.5f), right(64, 0.5f), outL(64), outR(64);
  float* in[4] = {left.data(), right.data(), static_cast<float*>(gone), static_cast<float*>(gone)};
  float* out[2] = {outL.data(), outR.data()};
  ASSERT_TRUE(p->processBlock(in, out, 64));
  p.reset();
  unsetenv("TAVREL_HOSTLOG_FILE");
  unsetenv("TAVREL_HOSTLOG_PLUGIN");
  std::ifstream file(logPath);
  std::stringstream log;
  log << file.rdbuf();
  EXPECT_NE(log.str().find("key2:unmapped key3:unmapped"), std::string::npos);
  std::remove(logPath.c_str());
}
#endif
