// The host chunk: what a host project saves and restores. Driven through the
// host interface, plus a bounded fuzz of setChunk in-process.
#include <gtest/gtest.h>

#include <random>

#include "params/ParameterTable.h"
#include "support/PresetFiles.h"
#include "support/Tavrel.h"

namespace {

using namespace testing_support;
constexpr size_t kChunk = 16376, kRecords = 32, kRecord = 264, kAssignments = 16136;
constexpr int kSlots = params::kNumParams;

size_t valueAt(int program, int param) { return kRecords + program * kRecord + 24 + 4 * param; }

// Every number of the chunk in the other byte order; names stay.
Bytes otherByteOrder(Bytes chunk) {
  for (size_t at : {0, 4, 8, 12, 16, 20, 24, 28}) setWordAt(chunk, at, reversed(wordAt(chunk, at)));
  for (int p = 0; p < 61; ++p)
    for (int i = 0; i < 60; ++i) setWordAt(chunk, valueAt(p, i), reversed(wordAt(chunk, valueAt(p, i))));
  for (int i = 0; i < 60; ++i) setWordAt(chunk, kAssignments + 4 * i, reversed(wordAt(chunk, kAssignments + 4 * i)));
  return chunk;
}

// A state that differs from a fresh instance everywhere a chunk reaches.
Bytes editedChunk(host::PluginInstance& plugin) {
  plugin.setParameter(params::DlyTimeL, 0.7f);
  plugin.setParameter(params::Cutoff, 0.123456f);
  plugin.setProgramName("Edited Default");
  plugin.setParameter(kSlots + params::Mix, assignmentFor(7));
  plugin.setParameter(kSlots + params::Reso, 0.5f);
  Bytes chunk = plugin.getChunk();
  setWordAt(chunk, 12, 24);  // "Ping Pong" current
  return chunk;
}

TEST(Chunks, LayoutOfAFreshInstance) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  const Bytes chunk = plugin->getChunk();
  ASSERT_EQ(chunk.size(), kChunk);
  EXPECT_EQ(wordAt(chunk, 0), 0x01000000u);
  EXPECT_EQ(wordAt(chunk, 4), 0x52646c78u);
  EXPECT_EQ(wordAt(chunk, 8), 61u);
  EXPECT_EQ(wordAt(chunk, 12), 0u);
  EXPECT_EQ(Bytes(chunk.begin() + 16, chunk.begin() + 32), Bytes(16, 0));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chunk[kRecords + 60 * kRecord])), "Bass Drone");
  float mix;
  std::memcpy(&mix, &chunk[valueAt(0, params::Mix)], 4);
  EXPECT_EQ(mix, 0.5f);
}

TEST(Chunks, AReopenedProjectRestoresProgramsCurrentProgramAndBindingsBitForBit) {
  auto first = loadTavrel();
  ASSERT_TRUE(first);
  const Bytes saved = editedChunk(*first);
  for (const Bytes& image : {saved, otherByteOrder(saved)}) {
    auto reopened = loadTavrel();
    ASSERT_TRUE(reopened);
    ASSERT_EQ(reopened->setChunk(image), 0);
    EXPECT_EQ(reopened->getChunk(), saved);
    EXPECT_EQ(reopened->programName(), "Ping Pong");
    EXPECT_EQ(reopened->getParameter(params::DlyTimeL), 0.4f) << "Ping Pong's own values reach the engine";
    EXPECT_EQ(reopened->programNameIndexed(0), "Edited Default");
    reopened->sendMidi({{0xb0, 7, 127}, {0xb0, 64, 127}});
    EXPECT_EQ(reopened->getParameter(params::Mix), 1.0f);
    EXPECT_EQ(reopened->getParameter(params::Reso), 1.0f);
  }
}

TEST(Chunks, RefusedAndIgnoredChunksChangeNothing) {
  auto source = loadTavrel();
  ASSERT_TRUE(source);
  const Bytes good = editedChunk(*source);
  struct Case {
    const char* what;
    Bytes chunk;
    intptr_t result;
  };
  auto with = [&](size_t at, uint32_t word, bool otherOrder = false) {
    Bytes b = otherOrder ? otherByteOrder(good) : good;
    setWordAt(b, at, otherOrder ? reversed(word) : word);
    return b;
  };
  const Case cases[] = {
      {"one byte short", Bytes(good.begin(), good.end() - 1), -1},
      {"one byte long", [&] { Bytes b = good; b.push_back(0); return b; }(), -1},
      {"empty", {}, -1},
      {"foreign ID", with(4, 0x52646c71u), -1},
      {"60 programs", with(8, 60), -1},
      {"version 2", with(0, 0x02000000u), 0},
      {"version 2, other byte order", with(0, 0x02000000u, true), 0},
  };
  for (const Case& c : cases) {
    auto plugin = loadTavrel();
    ASSERT_TRUE(plugin);
    const Bytes before = plugin->getChunk();
    EXPECT_EQ(plugin->setChunk(c.chunk), c.result) << c.what;
    EXPECT_EQ(plugin->getChunk(), before) << c.what;
  }
}

// A host may keep reading the image getChunk handed it until it asks for the
// next one, whatever it loads meanwhile; and the bytes it loads are read, not
// written (a chunk of the other byte order is not turned round in place).
TEST(Chunks, TheImageHandedToTheHostStaysIntactWhileOthersLoad) {
  auto zel = makeZel();
  void* data = nullptr;
  ASSERT_EQ(zel->getChunk(&data), static_cast<int>(kChunk));
  const auto* handedOut = static_cast<const uint8_t*>(data);
  const Bytes handed(handedOut, handedOut + kChunk);
  Bytes other = handed;
  setWordAt(other, 12, 24);
  other[kRecords] = 'X';
  for (const Bytes& image : {other, otherByteOrder(other)}) {
    Bytes hostCopy = image;
    ASSERT_EQ(zel->setChunk(hostCopy.data(), static_cast<int>(kChunk)), 0);
    EXPECT_EQ(zel->getCurrentProgramIndex(), 24);
    EXPECT_EQ(zel->programs()[0].name[0], 'X');
    EXPECT_EQ(Bytes(handedOut, handedOut + kChunk), handed);
    EXPECT_EQ(hostCopy, image);
  }
  // Handed back as it is, the effect's own image loads too.
  ASSERT_EQ(zel->setChunk(data, static_cast<int>(kChunk)), 0);
  EXPECT_EQ(zel->getCurrentProgramIndex(), 0);
  EXPECT_EQ(Bytes(handedOut, handedOut + kChunk), handed);
}

// Random and mutated chunks of every size near the real one: nothing may
// read or write outside the given bytes (run under the sanitizers), and the
// state stays usable.
TEST(Chunks, FuzzedChunksAreRefusedOrTakenSafely) {
  auto zel = makeZel();
  void* data = nullptr;
  ASSERT_EQ(zel->getChunk(&data), static_cast<int>(kChunk));
  const Bytes good(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + kChunk);
  std::mt19937 random(6);
  const uint32_t specials[] = {0, 0xffffffffu, 0x7fc00000u, 0x7f800000u, 0xff800000u, 0x80000000u, 61, 999};
  for (int round = 0; round < 2000; ++round) {
    Bytes chunk = round % 2 ? otherByteOrder(good) : good;
    const int edits = 1 + static_cast<int>(random() % 40);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % (kChunk - 3);
      if (random() % 2) chunk[at] = static_cast<uint8_t>(random());
      else setWordAt(chunk, at & ~size_t{3}, specials[random() % std::size(specials)]);
    }
    if (round % 10 == 0) chunk.resize(random() % (kChunk + 8));
    // Exactly as many bytes as announced, so any overread is caught.
    auto exact = std::make_unique<uint8_t[]>(chunk.size() + 1);
    std::memcpy(exact.get(), chunk.data(), chunk.size());
    const int result = zel->setChunk(exact.get(), static_cast<int>(chunk.size()));
    ASSERT_TRUE(result == 0 || result == -1);
    ASSERT_GE(zel->getCurrentProgramIndex(), 0);
    ASSERT_LT(zel->getCurrentProgramIndex(), 61);
    for (int p = 0; p < params::kNumParams; ++p) {
      const int cc = zel->getControllerForParameter(p);
      ASSERT_TRUE((cc >= 0 && cc < 128) || cc == state::kNone);
    }
  }
  EXPECT_EQ(zel->setChunk(const_cast<uint8_t*>(good.data()), static_cast<int>(kChunk)), 0);
  ASSERT_EQ(zel->getChunk(&data), static_cast<int>(kChunk));
  EXPECT_EQ(Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + kChunk), good);
}

}  // namespace
