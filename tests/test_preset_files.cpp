// Preset, bank and MIDI-settings files: round trips, the corpus of
// hand-made images (both byte orders, the older 48-parameter build, damaged
// files), the file commands' handling of the disk, and a bounded fuzz of
// the three loaders.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <random>

#include "core/ProgramFiles.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "support/PresetFiles.h"
#include "support/Tavrel.h"

namespace {

using namespace testing_support;
using namespace params;
constexpr int kSlots = kNumParams;

struct Rig {
  std::unique_ptr<ZEL> zel = makeZel();
  core::ProgramFiles& files = zel->files();
  state::ProgramRecord& program(int k) { return zel->programs()[k]; }
  state::ProgramRecord& current() { return program(zel->getCurrentProgramIndex()); }
  Bytes bank() {
    Bytes b(state::kBankImageSize);
    files.storeBankData(b.data());
    return b;
  }
  Bytes midi() {
    Bytes b(state::kMidiImageSize);
    files.storeMidiData(b.data());
    return b;
  }
};

TEST(PresetFiles, SavedFilesLoadBackBitForBit) {
  ScratchFolder folder;
  Rig rig;
  rig.zel->selectProgram(34);
  rig.zel->setParameter(Cutoff, 0.31415f);
  rig.zel->setParameter(kSlots + Mix, assignmentFor(7));
  const state::ProgramRecord saved = rig.current();
  const Bytes bank = rig.bank(), midi = rig.midi();
  ASSERT_TRUE(rig.files.savePresetFile(folder / "p.zel"));
  ASSERT_TRUE(rig.files.saveBankFile(folder / "b.zbk"));
  ASSERT_TRUE(rig.files.saveMidiFile(folder / "m.zmd"));
  EXPECT_EQ(readBytes(folder / "b.zbk"), bank);
  EXPECT_EQ(readBytes(folder / "m.zmd"), midi);
  EXPECT_EQ(readBytes(folder / "p.zel").size(), 269u);

  Rig other;
  other.zel->selectProgram(5);
  ASSERT_TRUE(other.files.loadPresetFile(folder / "p.zel", false));
  EXPECT_EQ(std::memcmp(&other.current(), &saved, sizeof saved), 0);
  EXPECT_EQ(other.zel->getParameter(Cutoff), 0.31415f);
  ASSERT_TRUE(other.files.loadBankFile(folder / "b.zbk", false));
  EXPECT_EQ(other.bank(), bank);
  ASSERT_TRUE(other.files.loadMidiFile(folder / "m.zmd", false));
  EXPECT_EQ(other.midi(), midi);
  EXPECT_EQ(other.zel->getControllerForParameter(Mix), 7);
}

// Which values a loader takes from the corpus, by file and request.
TEST(PresetFiles, CorpusPresetsInEitherByteOrder) {
  struct Case {
    const char* file;
    bool reversedRequest;
    const char* name;
    bool valuesReversed;
  };
  const Case cases[] = {{"native.zel", false, "Corpus Native", false},
                        {"reversed.zel", false, "Corpus Reversed", false},
                        {"reversed.zel", true, "Corpus Reversed", true},
                        {"native.zel", true, "Corpus Native", true}};
  for (const Case& c : cases) {
    Rig rig;
    rig.zel->selectProgram(3);
    ASSERT_TRUE(rig.files.loadPresetFile(corpus(c.file), c.reversedRequest));
    EXPECT_STREQ(rig.program(3).name, c.name);
    for (int i = 0; i < kNumParams; ++i) {
      const float expected = c.valuesReversed ? reversedFloat(corpusPresetValue(i)) : corpusPresetValue(i);
      ASSERT_EQ(std::memcmp(&rig.program(3).values[i], &expected, 4), 0) << c.file << " value " << i;
    }
  }
}

TEST(PresetFiles, CorpusBanksAndMidiSettingsInEitherByteOrder) {
  for (const char* file : {"native.zbk", "reversed.zbk"}) {
    Rig rig;
    ASSERT_TRUE(rig.files.loadBankFile(corpus(file), false));
    for (int k : {0, 17, 60}) {
      EXPECT_EQ(std::string(rig.program(k).name), "Bank " + std::string(k < 10 ? "0" : "") + std::to_string(k));
      for (int i = 0; i < kNumParams; ++i) ASSERT_EQ(rig.program(k).values[i], corpusBankValue(k, i)) << file;
    }
  }
  for (const char* file : {"native.zmd", "reversed.zmd"}) {
    Rig rig;
    ASSERT_TRUE(rig.files.loadMidiFile(corpus(file), false));
    for (int p = 0; p < kNumParams; ++p) {
      const int cc = corpusController(p);
      EXPECT_EQ(rig.zel->getControllerForParameter(p), cc == 128 ? state::kNone : cc) << file << " " << p;
      EXPECT_EQ(rig.zel->getParameter(kSlots + p), assignmentFor(cc));
    }
  }
}

// What the older build's parameters 48..59 become.
void expectNeutralNewParameters(const state::ProgramRecord& r) {
  const float expected[12] = {0, 1, 0, 0, 1, 0.5f, 0, 0, stepValue(1, 13), stepValue(1, 13), 0, 0};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(r.values[DlyPanL + i], expected[i]) << "parameter " << DlyPanL + i;
}

TEST(PresetFiles, OlderPresetsAreConverted) {
  for (const char* file : {"older.zel", "older-reversed.zel"}) {
    Rig rig;
    rig.zel->selectProgram(8);
    ASSERT_TRUE(rig.files.loadPresetFile(corpus(file), false));
    const state::ProgramRecord& r = rig.program(8);
    EXPECT_STREQ(r.name, "Corpus Older");
    EXPECT_EQ(r.values[LfoMode], stepValue(2, 3)) << "fifth LFO waveform state";
    EXPECT_EQ(r.values[LfoDen], stepValue(3, 13)) << "note value step 0 becomes 3";
    EXPECT_EQ(r.values[LFOWave], 0.9f);
    EXPECT_EQ(r.values[Input], corpusPresetValue(0));
    EXPECT_EQ(r.values[47], corpusPresetValue(47));
    expectNeutralNewParameters(r);
  }
}

TEST(PresetFiles, OlderProgramConversionRules) {
  struct Case {
    float lfoMode, lfoWave, lfoDen;
    float newMode, newDen;
  };
  const Case cases[] = {
      {0.2f, 0.1f, 0.5f, stepValue(0, 3), 0.5f},   {0.7f, 0.1f, 0.5f, stepValue(2, 3), 0.5f},
      {0.2f, 0.79f, 0.0f, stepValue(0, 3), 0.0f},  {0.2f, 0.9f, 0.0f, stepValue(2, 3), stepValue(3, 13)},
      {0.2f, 0.9f, 0.5f, stepValue(2, 3), stepValue(10, 13)}, {0.2f, 1.0f, 1.0f, stepValue(2, 3), stepValue(12, 13)},
  };
  for (const Case& c : cases) {
    Bytes image(state::kPresetImageSize, 0);
    setWordAt(image, 0, state::kOlderPluginId);
    image[4] = state::kPresetType;
    std::memcpy(&image[29 + 4 * LfoMode], &c.lfoMode, 4);
    std::memcpy(&image[29 + 4 * LFOWave], &c.lfoWave, 4);
    std::memcpy(&image[29 + 4 * LfoDen], &c.lfoDen, 4);
    Rig rig;
    rig.files.loadPresetData(image.data(), false);
    EXPECT_EQ(rig.current().values[LfoMode], c.newMode) << c.lfoMode << " " << c.lfoWave << " " << c.lfoDen;
    EXPECT_EQ(rig.current().values[LfoDen], c.newDen) << c.lfoMode << " " << c.lfoWave << " " << c.lfoDen;
  }
  // The base loader knows the current ID only.
  Rig base;
  const state::ProgramRecord before = base.current();
  Bytes older = readBytes(corpus("older.zel"));
  older.resize(state::kPresetImageSize);
  base.files.applyPresetImage(older.data(), false, /*acceptOlder=*/false);
  EXPECT_EQ(std::memcmp(&base.current(), &before, sizeof before), 0);
}

TEST(PresetFiles, OlderBanksAndMidiSettings) {
  Rig rig;
  ASSERT_TRUE(rig.files.loadBankFile(corpus("older.zbk"), false));
  for (int k : {0, 30, 60}) {
    EXPECT_EQ(rig.program(k).values[Input], corpusBankValue(k, 0));
    expectNeutralNewParameters(rig.program(k));
  }
  rig.zel->setParameter(kSlots + MuteInR, assignmentFor(77));
  ASSERT_TRUE(rig.files.loadMidiFile(corpus("older.zmd"), false));
  EXPECT_EQ(rig.zel->getControllerForParameter(45), 55);
  EXPECT_EQ(rig.zel->getControllerForParameter(MuteInR), 77) << "the older settings end at parameter 47";
}

// An image shorter than its ID's layout needs is refused whole: no program,
// name, assignment or current program changes (a bank load selects none).
TEST(PresetFiles, AnImageCutShortIsRefusedWhole) {
  using Load = bool (core::ProgramFiles::*)(const std::string&, bool);
  struct Case {
    const char* file;
    Load load;
    size_t length;
  };
  const Case cases[] = {
      {"native.zel", &core::ProgramFiles::loadPresetFile, 100},  {"native.zel", &core::ProgramFiles::loadPresetFile, 268},
      {"native.zbk", &core::ProgramFiles::loadBankFile, 5000},   {"native.zbk", &core::ProgramFiles::loadBankFile, 16108},
      {"native.zmd", &core::ProgramFiles::loadMidiFile, 244},    {"reversed.zbk", &core::ProgramFiles::loadBankFile, 13181},
      {"older.zel", &core::ProgramFiles::loadPresetFile, 220},   {"older.zbk", &core::ProgramFiles::loadBankFile, 13180},
      {"older.zmd", &core::ProgramFiles::loadMidiFile, 196},     {"native.zbk", &core::ProgramFiles::loadBankFile, 4},
  };
  ScratchFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " cut to " + std::to_string(c.length));
    Bytes file = readBytes(corpus(c.file));
    file.resize(c.length);
    writeBytes(folder / "cut", file);
    Rig rig;
    rig.zel->selectProgram(17);
    const Bytes bank = rig.bank(), midi = rig.midi();
    EXPECT_FALSE((rig.files.*c.load)(folder / "cut", false));
    EXPECT_EQ(rig.zel->getCurrentProgramIndex(), 17);
    EXPECT_TRUE(rig.bank() == bank) << "programs or names changed";
    EXPECT_TRUE(rig.midi() == midi) << "assignments changed";
  }
}

TEST(PresetFiles, DamagedAndForeignFiles) {
  Rig rig;
  EXPECT_FALSE(rig.files.loadPresetFile(corpus("truncated.zel"), false));

  const Bytes midi = rig.midi();
  ASSERT_TRUE(rig.files.loadMidiFile(corpus("wrong-type.zmd"), false));
  ASSERT_TRUE(rig.files.loadMidiFile(corpus("native.zel"), false));
  EXPECT_EQ(rig.midi(), midi);

  ScratchFolder folder;
  Bytes longer = readBytes(corpus("native.zel"));
  longer.resize(4000, 0xee);
  writeBytes(folder / "long.zel", longer);
  rig.zel->selectProgram(2);
  ASSERT_TRUE(rig.files.loadPresetFile(folder / "long.zel", false));
  EXPECT_EQ(rig.current().values[59], corpusPresetValue(59));

  // A bank load makes program 0 current even when it refuses the image...
  rig.zel->selectProgram(17);
  const Bytes bank = rig.bank();
  ASSERT_TRUE(rig.files.loadBankFile(corpus("native.zel"), false));
  EXPECT_EQ(rig.zel->getCurrentProgramIndex(), 0);
  EXPECT_EQ(rig.bank(), bank);
  // ...but a file that cannot be read is no load at all.
  rig.zel->selectProgram(17);
  EXPECT_FALSE(rig.files.loadBankFile(folder / "missing.zbk", false));
  EXPECT_FALSE(rig.files.loadPresetFile(folder.path, false)) << "a folder is no file";
  EXPECT_EQ(rig.zel->getCurrentProgramIndex(), 17);
}

TEST(PresetFiles, FileCommandsLeaveTheWorkingDirectoryAndRememberTheFolder) {
  ScratchFolder folder;
  char before[4096], after[4096];
  ASSERT_TRUE(::getcwd(before, sizeof before));
  Rig rig;
  ASSERT_TRUE(rig.files.saveMidiFile(folder / "m.zmd"));
  ASSERT_TRUE(rig.files.loadPresetFile(corpus("native.zel"), false));
  ASSERT_TRUE(::getcwd(after, sizeof after));
  EXPECT_STREQ(after, before);
  EXPECT_EQ(rig.files.currentFolder(), std::string(TAVREL_TEST_DATA) + "/");
  EXPECT_EQ(rig.files.lastPresetName(), "native.zel");
  EXPECT_EQ(rig.files.lastMidiName(), "m.zmd");
  // A bare name is looked for in the current folder.
  rig.zel->selectProgram(9);
  ASSERT_TRUE(rig.files.loadPresetFile("reversed.zel", false));
  EXPECT_STREQ(rig.current().name, "Corpus Reversed");
  EXPECT_EQ(rig.files.lastPresetName(), "native.zel");
}

TEST(PresetFiles, AReadOnlyFileLoads) {
  ScratchFolder folder;
  writeBytes(folder / "shared.zel", readBytes(corpus("native.zel")));
  ::chmod((folder / "shared.zel").c_str(), 0444);
  ::chmod(folder.path.c_str(), 0755);
  // Checked in a child without the rights of the superuser, for whom no file is read-only.
  EXPECT_EXIT(
      {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        Rig rig;
        const bool loaded = rig.files.loadPresetFile(folder / "shared.zel", false);
        std::_Exit(loaded && std::strcmp(rig.current().name, "Corpus Native") == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(PresetFiles, AFailedSaveLeavesTheOldFileWhole) {
  ScratchFolder folder;
  const Bytes old = readBytes(corpus("native.zbk"));
  writeBytes(folder / "keep.zbk", old);
  ::chmod((folder / "keep.zbk").c_str(), 0640);
  Rig rig;
  // The disk fills up after 1000 bytes of the new file.
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool written = rig.files.saveBankFile(folder / "keep.zbk");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_EQ(readBytes(folder / "keep.zbk"), old);
  EXPECT_EQ(folder.entries(), 1u) << "no temporary file left behind";

  ASSERT_TRUE(rig.files.saveBankFile(folder / "keep.zbk"));
  EXPECT_EQ(readBytes(folder / "keep.zbk"), rig.bank());
  struct stat info {};
  ::stat((folder / "keep.zbk").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
  EXPECT_EQ(folder.entries(), 1u);
  EXPECT_FALSE(rig.files.savePresetFile(folder / "no-such-folder/p.zel"));
}

// Random and mutated images through all three loaders, either request.
TEST(PresetFiles, FuzzedImagesNeverReachOutsideTheirBuffers) {
  Rig rig;
  const Bytes seeds[] = {readBytes(corpus("native.zel")), readBytes(corpus("reversed.zbk")),
                         readBytes(corpus("native.zmd")), readBytes(corpus("older.zbk")),
                         readBytes(corpus("older-reversed.zel")), readBytes(corpus("older.zmd"))};
  const int sizes[] = {state::kPresetImageSize, state::kBankImageSize, state::kMidiImageSize};
  std::mt19937 random(2024);
  for (int round = 0; round < 1500; ++round) {
    const int kind = round % 3;
    Bytes image = seeds[round % 6];
    if (round % 5 == 4) {
      for (auto& byte : image) byte = static_cast<uint8_t>(random());
      if (random() % 2) std::memcpy(image.data(), seeds[round % 6].data(), 5);  // a valid header on garbage
    } else {
      for (int e = 0; e < 1 + static_cast<int>(random() % 24); ++e)
        image[random() % image.size()] = static_cast<uint8_t>(random());
    }
    image.resize(static_cast<size_t>(sizes[kind]));  // loaders get the full image size, zero-padded
    const bool reversedRequest = random() % 2;
    if (kind == 0) rig.files.loadPresetData(image.data(), reversedRequest);
    if (kind == 1) rig.files.loadBankData(image.data(), reversedRequest);
    if (kind == 2) rig.files.loadMidiData(image.data(), reversedRequest);
    for (int p = 0; p < kNumParams; ++p) {
      const int cc = rig.zel->getControllerForParameter(p);
      ASSERT_TRUE((cc >= 0 && cc < 128) || cc == state::kNone);
    }
  }
  // Files of any length, through the file commands.
  ScratchFolder folder;
  for (size_t length : {0, 1, 4, 5, 28, 29, 100, 220, 268, 270, 13181, 16108, 16110}) {
    Bytes file = seeds[length % 6];
    file.resize(length, 0x55);
    writeBytes(folder / "f", file);
    rig.files.loadPresetFile(folder / "f", length % 2);
    rig.files.loadBankFile(folder / "f", false);
    rig.files.loadMidiFile(folder / "f", true);
  }
}

}  // namespace
