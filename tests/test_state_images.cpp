// The command-line host's reading of preset, bank and MIDI-settings files
// into a chunk, against the plug-in's own loaders: the same images must give
// the same programs and controller map, and damaged or random files must be
// refused or taken without reaching outside their bytes (run under the
// sanitizers).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "core/ProgramFiles.h"
#include "host/StateImages.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "support/PresetFiles.h"
#include "support/Tavrel.h"

namespace {

using namespace testing_support;
using namespace params;
namespace ti = host::tavrel;

Bytes chunkOf(ZEL& zel) {
  void* data = nullptr;
  const int size = zel.getChunk(&data);
  return Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

Bytes recordValues(const state::ProgramRecord& record) {
  const auto* v = reinterpret_cast<const uint8_t*>(record.values);
  return Bytes(v, v + sizeof record.values);
}

using Apply = std::string (*)(Bytes&, const Bytes&);
using Load = void (core::ProgramFiles::*)(const uint8_t*, bool);

struct Kind {
  Apply apply;
  Load load;
  int size;
};
const Kind kPreset{ti::applyPreset, &core::ProgramFiles::loadPresetData, state::kPresetImageSize};
const Kind kBank{ti::applyBank, &core::ProgramFiles::loadBankData, state::kBankImageSize};
const Kind kMidi{ti::applyMidiSettings, &core::ProgramFiles::loadMidiData, state::kMidiImageSize};

// Loads `file` into `zel` through the plug-in's editor, zero-padded or cut
// to the kind's image size as the file commands do.
void loadInPlugIn(ZEL& zel, const Kind& kind, Bytes file) {
  file.resize(static_cast<size_t>(kind.size), 0);
  (zel.files().*kind.load)(file.data(), false);
}

// Two effects: one loads a file itself, the other is given the chunk the
// host made of it.
struct Pair {
  std::unique_ptr<ZEL> own = makeZel();
  std::unique_ptr<ZEL> given = makeZel();
};

// After the host took `file` into `chunk` (made from `before`), both effects
// of `pair` hold the same programs and controller map.
void expectSameAsPlugIn(Pair& pair, const Kind& kind, const Bytes& before, const Bytes& chunk, const Bytes& file,
                        const std::string& what) {
  ZEL* own = pair.own.get();
  ZEL* given = pair.given.get();
  ASSERT_EQ(own->setChunk(const_cast<uint8_t*>(before.data()), static_cast<int>(before.size())), 0) << what;
  loadInPlugIn(*own, kind, file);
  ASSERT_EQ(given->setChunk(const_cast<uint8_t*>(chunk.data()), static_cast<int>(chunk.size())), 0) << what;
  ASSERT_EQ(given->getCurrentProgramIndex(), own->getCurrentProgramIndex()) << what;
  for (int k = 0; k < state::kNumPrograms; ++k) {
    ASSERT_EQ(recordValues(given->programs()[k]), recordValues(own->programs()[k])) << what << ", program " << k;
    const char* name = own->programs()[k].name;
    ASSERT_EQ(ti::programName(chunk, k), std::string(name, strnlen(name, state::kNameSize)))
        << what << ", program " << k;
  }
  for (int p = 0; p < kNumParams; ++p)
    ASSERT_EQ(given->getControllerForParameter(p), own->getControllerForParameter(p)) << what << ", parameter " << p;
}

TEST(StateImages, CorpusFilesGiveTheStateThePlugInsOwnLoadersGive) {
  struct Case {
    const char* file;
    const Kind& kind;
  };
  const Case cases[] = {
      {"native.zel", kPreset}, {"reversed.zel", kPreset}, {"older.zel", kPreset}, {"older-reversed.zel", kPreset},
      {"native.zbk", kBank},   {"reversed.zbk", kBank},   {"older.zbk", kBank},   {"native.zmd", kMidi},
      {"reversed.zmd", kMidi}, {"older.zmd", kMidi},
  };
  Pair pair;
  for (const Case& c : cases) {
    auto zel = makeZel();
    zel->selectProgram(23);
    zel->setParameter(kNumParams + MuteInR, assignmentFor(77));
    const Bytes before = chunkOf(*zel);
    Bytes chunk = before;
    const Bytes file = readBytes(corpus(c.file));
    ASSERT_EQ(c.kind.apply(chunk, file), "") << c.file;
    expectSameAsPlugIn(pair, c.kind, before, chunk, file, c.file);
  }
}

// Values no older build wrote (NaN, infinities, out of range) still turn
// into valid steps of the current LFO mode and note value.
TEST(StateImages, OlderProgramsWithGarbageValuesConvertToValidSteps) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float lfoMode, lfoWave, lfoDen;
    float newMode, newDen;
  };
  const Case cases[] = {
      {nan, 0.9f, nan, stepValue(2, 3), stepValue(3, 13)},
      {-1.0f, 0.9f, -0.5f, stepValue(2, 3), stepValue(3, 13)},
      {1e30f, 0.9f, 1e30f, stepValue(2, 3), stepValue(12, 13)},
      {inf, inf, -inf, stepValue(2, 3), stepValue(3, 13)},
      {-inf, nan, 0.5f, stepValue(0, 3), 0.5f},
      {nan, -3.0f, 0.25f, stepValue(0, 3), 0.25f},
      {2.0f, 1e9f, 7.0f, stepValue(2, 3), stepValue(12, 13)},
  };
  auto zel = makeZel();
  const Bytes blank = chunkOf(*zel);
  for (const Case& c : cases) {
    Bytes file(state::kOlderPresetImageSize, 0);
    setWordAt(file, 0, static_cast<uint32_t>(state::kOlderPluginId));
    file[4] = state::kPresetType;
    std::memcpy(&file[29 + 4 * LfoMode], &c.lfoMode, 4);
    std::memcpy(&file[29 + 4 * LFOWave], &c.lfoWave, 4);
    std::memcpy(&file[29 + 4 * LfoDen], &c.lfoDen, 4);
    Bytes chunk = blank;
    ASSERT_EQ(ti::applyPreset(chunk, file), "");
    const int current = ti::currentProgram(chunk);
    EXPECT_EQ(ti::programValue(chunk, current, LfoMode), c.newMode) << c.lfoMode << " " << c.lfoWave << " " << c.lfoDen;
    EXPECT_EQ(ti::programValue(chunk, current, LfoDen), c.newDen) << c.lfoMode << " " << c.lfoWave << " " << c.lfoDen;
  }
}

// Mutated, cut, lengthened and random files through all three apply
// functions, each also offered the other kinds' files.
TEST(StateImages, FuzzedFilesAreRefusedUnchangedOrTakenAsThePlugInTakesThem) {
  struct Seed {
    Bytes file;
    const Kind& kind;
  };
  const Seed seeds[] = {{readBytes(corpus("native.zel")), kPreset},         {readBytes(corpus("reversed.zbk")), kBank},
                        {readBytes(corpus("native.zmd")), kMidi},           {readBytes(corpus("older.zbk")), kBank},
                        {readBytes(corpus("older-reversed.zel")), kPreset}, {readBytes(corpus("older.zmd")), kMidi}};
  const Kind* kinds[] = {&kPreset, &kBank, &kMidi};
  const uint32_t specials[] = {0x7fc00000u, 0x7f800000u, 0xff800000u, 0xbf800000u, 0x7f7fffffu, 0xffffffffu};
  std::mt19937 random(7);
  auto zel = makeZel();
  Pair pair;
  int taken = 0;
  for (int round = 0; round < 2000; ++round) {
    const Seed& seed = seeds[round % 6];
    Bytes file = seed.file;
    switch (random() % 4) {
      case 0:  // a few bytes changed
        for (int e = 0; e < 1 + static_cast<int>(random() % 12); ++e)
          file[5 + random() % (file.size() - 5)] = static_cast<uint8_t>(random());
        break;
      case 1:  // special numbers in place of values
        for (int e = 0; e < 1 + static_cast<int>(random() % 12); ++e)
          setWordAt(file, 5 + 4 * (random() % ((file.size() - 5) / 4)), specials[random() % std::size(specials)]);
        break;
      case 2:  // cut or lengthened
        file.resize(random() % (seed.file.size() + 40), static_cast<uint8_t>(random()));
        break;
      default:  // garbage behind a valid header
        for (size_t i = 5; i < file.size(); ++i) file[i] = static_cast<uint8_t>(random());
        break;
    }
    const Bytes exact(file.begin(), file.end());  // no spare capacity for an overread to hide in
    // Mostly the seed's own kind; now and then another kind's loader.
    const Kind& kind = random() % 4 == 0 ? *kinds[random() % 3] : seed.kind;
    zel->selectProgram(static_cast<int>(random() % state::kNumPrograms));
    const Bytes before = chunkOf(*zel);
    Bytes chunk = before;
    const std::string why = kind.apply(chunk, exact);
    if (!why.empty()) {
      ASSERT_EQ(chunk, before) << why;
      continue;
    }
    ++taken;
    ASSERT_TRUE(ti::isChunk(chunk));
    expectSameAsPlugIn(pair, kind, before, chunk, exact, "round " + std::to_string(round));
  }
  EXPECT_GT(taken, 700);
}

}  // namespace
