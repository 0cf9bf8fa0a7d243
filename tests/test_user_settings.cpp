// The user's defaults, memos and file locations, kept between instances and
// sessions in the per-user settings folder.
//
// Every process of this suite keeps its settings in a folder of its own, made
// before the first test and removed at exit: no test reads or changes the
// settings of the user running it, and none sees another's leftovers. The
// desktop's scale hints (GDK_SCALE, an X server's Xft.dpi) are not the
// tests' either: the panel opens at 1x unless a test asks otherwise.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "core/ProgramFiles.h"
#include "platform/SettingsStore.h"
#include "state/FactoryPresets.h"
#include "support/PresetFiles.h"
#include "support/Tavrel.h"

namespace {

std::string& settingsHome() {
  static std::string home;
  return home;
}

int removeEntry(const char* path, const struct stat*, int, FTW*) { return ::remove(path); }

// Runs before main: the whole process, the plug-in it loads and the
// command-line hosts it starts see the private folder.
const bool kPrivateSettings = [] {
  char pattern[] = "/tmp/tavrel-settings-XXXXXX";
  if (!::mkdtemp(pattern)) return false;
  settingsHome() = pattern;
  ::setenv("XDG_CONFIG_HOME", pattern, 1);
  ::unsetenv("GDK_SCALE");
  ::unsetenv("DISPLAY");
  std::atexit([] { ::nftw(settingsHome().c_str(), removeEntry, 8, FTW_DEPTH | FTW_PHYS); });
  return true;
}();

using namespace params;
using state::ProgramRecord;

platform::SettingsStore store() { return platform::SettingsStore::forUser(); }

// A fresh start for each test: the folder emptied.
void forgetEverything() {
  for (const char* v : {"DefaultBank", "DefaultPreset", "DefaultMidi", "MemoA", "MemoB", "CurrDir", "CurrBank",
                        "CurrPreset", "CurrMidi"})
    store().remove(v);
}

std::string nameOf(const ProgramRecord& p) { return std::string(p.name, strnlen(p.name, state::kNameSize)); }

TEST(UserSettings, TheFolderFollowsXdgConfigHome) {
  ASSERT_TRUE(kPrivateSettings);
  EXPECT_EQ(store().folder(), settingsHome() + "/Korvane/Tavrel/");
}

TEST(UserSettings, AFreshUserStartsWithTheFactoryBankAndNoLocations) {
  forgetEverything();
  auto zel = testing_support::makeZel();
  EXPECT_EQ(zel->getCurrentProgramIndex(), 0);
  for (int p = 0; p < state::kNumPrograms; ++p) {
    ASSERT_EQ(nameOf(zel->programs()[p]), state::factoryPresets()[p].name);
    for (int i = 0; i < kNumParams; ++i) ASSERT_EQ(zel->programs()[p].values[i], state::factoryPresets()[p].values[i]);
  }
  EXPECT_EQ(zel->getControllerForParameter(Cutoff), state::kNone);
  EXPECT_EQ(zel->files().currentFolder(), "");
  EXPECT_EQ(zel->files().lastBankName(), "");
}

// What one instance stores, the next one (or a later session) starts with.
TEST(UserSettings, DefaultsReachTheNextInstanceInTheirOrder) {
  forgetEverything();
  {
    auto zel = testing_support::makeZel();
    core::ProgramFiles& files = zel->files();
    zel->selectProgram(0);
    zel->setParameter(Mix, 0.125f);  // program 0 as the bank keeps it
    files.storeDefaultBank();
    zel->setParameter(Mix, 0.75f);   // and as the default preset keeps it
    zel->renameCurrentProgram("Mine");
    files.storeDefaultPreset();
    zel->assignController(Cutoff, 74);
    files.storeDefaultMidi();
  }
  struct Case {
    const char* name;
    const char* removed;
    float mix;
    const char* programName;
  };
  const Case cases[] = {
      {"the default preset wins over the bank's program 0", nullptr, 0.75f, "Mine"},
      {"without the default preset, the bank's program 0", "DefaultPreset", 0.125f, "Default"},
      {"without either, the factory program 0", "DefaultBank", state::factoryPresets()[0].values[Mix], "Default"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.removed) {
      auto zel = testing_support::makeZel();
      if (std::strcmp(c.removed, "DefaultPreset") == 0) zel->files().deleteDefaultPreset();
      else zel->files().deleteDefaultBank();
    }
    auto zel = testing_support::makeZel();
    EXPECT_EQ(zel->getParameter(Mix), c.mix);
    EXPECT_EQ(nameOf(zel->programs()[0]), c.programName);
    EXPECT_EQ(zel->getControllerForParameter(Cutoff), 74);
  }
}

TEST(UserSettings, AMemoCarriesAProgramToAnotherSlotAndAnotherInstance) {
  forgetEverything();
  {
    auto zel = testing_support::makeZel();
    zel->selectProgram(10);
    zel->files().recallMemoA();  // an empty memo changes nothing
    EXPECT_EQ(nameOf(zel->programs()[10]), state::factoryPresets()[10].name);
    zel->selectProgram(3);
    zel->setParameter(FbGainL, 0.625f);
    zel->files().storeMemoA();
  }
  auto zel = testing_support::makeZel();
  zel->selectProgram(10);
  zel->files().recallMemoA();
  EXPECT_EQ(zel->getCurrentProgramIndex(), 10);
  EXPECT_EQ(nameOf(zel->programs()[10]), state::factoryPresets()[3].name);
  EXPECT_EQ(zel->programs()[10].values[FbGainL], 0.625f);
  EXPECT_EQ(zel->getParameter(FbGainL), 0.625f);
  EXPECT_EQ(nameOf(zel->programs()[3]), state::factoryPresets()[3].name);  // the slot it came from is untouched
}

TEST(UserSettings, TheLastFolderAndNamesReachTheNextInstanceAndLongPathsAreRefused) {
  forgetEverything();
  // A folder of 1000 bytes is an ordinary one.
  std::string folder = settingsHome() + "/presets";
  while (folder.size() < 1000) folder += "/" + std::string(120, 'd');
  folder += '/';
  std::filesystem::create_directories(folder);
  {
    auto zel = testing_support::makeZel();
    core::ProgramFiles& files = zel->files();
    ASSERT_TRUE(files.saveBankFile(folder + "live.zbk"));
    ASSERT_TRUE(files.savePresetFile(folder + "lead.zel"));
    // A folder or name longer than a path can be does not fit: refused, nothing changes.
    EXPECT_FALSE(files.savePresetFile("/" + std::string(4096, 'f') + "/x.zel"));
    EXPECT_FALSE(files.loadPresetFile(folder + std::string(257, 'n'), false));
    EXPECT_EQ(files.currentFolder(), folder);
    EXPECT_EQ(files.lastPresetName(), "lead.zel");
  }
  for (int session = 0; session < 2; ++session) {  // and an instance that changes nothing keeps it
    auto zel = testing_support::makeZel();
    EXPECT_EQ(zel->files().currentFolder(), folder);
    EXPECT_EQ(zel->files().lastBankName(), "live.zbk");
    EXPECT_EQ(zel->files().lastPresetName(), "lead.zel");
    EXPECT_EQ(zel->files().lastMidiName(), "");
  }
}

timespec modified(const char* value) {
  struct stat info {};
  ::stat((store().folder() + value).c_str(), &info);
  return info.st_mtim;
}

// At the end of a session every instance closes. One that used no dialog
// writes nothing; one that did writes only what it changed, so the folder
// another instance chose later survives whichever closes last.
TEST(UserSettings, AnInstanceWritesBackOnlyTheLocationsItChanged) {
  forgetEverything();
  const std::string folder = settingsHome() + "/chosen/";
  ::mkdir(folder.c_str(), 0777);
  const char* values[] = {"CurrDir", "CurrBank", "CurrPreset", "CurrMidi"};
  const char* texts[] = {"/old/", "old.zbk", "old.zel", "old.zmd"};
  const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(store().writeText(values[i], texts[i]));
    ASSERT_EQ(::utimensat(AT_FDCWD, (store().folder() + values[i]).c_str(), past, 0), 0);
  }
  auto idle = testing_support::makeZel();
  {
    auto chooser = testing_support::makeZel();
    ASSERT_TRUE(chooser->files().saveBankFile(folder + "new.zbk"));
  }
  idle.reset();
  std::string text;
  const char* expected[] = {folder.c_str(), "new.zbk", "old.zel", "old.zmd"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(store().readText(values[i], text, 4096));
    EXPECT_EQ(text, expected[i]) << values[i];
    EXPECT_EQ(modified(values[i]).tv_sec == past[0].tv_sec, i >= 2) << values[i] << " written";
  }
}

// Stored images cut short (as a full disk or an interrupted copy leaves
// them) are refused whole: a new instance starts as if they were missing.
TEST(UserSettings, DefaultsCutShortAreIgnoredAtStart) {
  struct Case {
    const char* value;
    int size;
    void (core::ProgramFiles::*store)(uint8_t*);
  };
  const Case cases[] = {{"DefaultBank", state::kBankImageSize, &core::ProgramFiles::storeBankData},
                        {"DefaultPreset", state::kPresetImageSize, &core::ProgramFiles::storePresetData},
                        {"DefaultMidi", state::kMidiImageSize, &core::ProgramFiles::storeMidiData}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    forgetEverything();
    {
      auto zel = testing_support::makeZel();
      for (int p = 0; p < state::kNumPrograms; ++p) {
        zel->selectProgram(p);
        zel->setParameter(Mix, 0.125f);
      }
      zel->selectProgram(0);
      zel->assignController(Cutoff, 74);
      testing_support::Bytes image(static_cast<size_t>(c.size));
      (zel->files().*c.store)(image.data());
      ASSERT_TRUE(store().write(c.value, image.data(), image.size() - 1));
    }
    auto zel = testing_support::makeZel();
    EXPECT_EQ(zel->getCurrentProgramIndex(), 0);
    for (int p = 0; p < state::kNumPrograms; ++p) {
      ASSERT_EQ(nameOf(zel->programs()[p]), state::factoryPresets()[p].name);
      ASSERT_EQ(zel->programs()[p].values[Mix], state::factoryPresets()[p].values[Mix]);
    }
    EXPECT_EQ(zel->getControllerForParameter(Cutoff), state::kNone);
  }
}

// A settings folder filled with what is no file (a FIFO no one writes, a
// link to an endless device, a link loop, a folder) under every value's name:
// the plug-in loads, sizes its window and reads a picked FIFO without
// waiting. Run in a child that an alarm ends, so a regression fails instead
// of hanging the suite.
TEST(UserSettings, ValuesThatAreNoFilesAreIgnoredAtOnce) {
  const char* names[] = {"DefaultBank", "DefaultPreset", "DefaultMidi", "MemoA", "MemoB", "CurrDir",
                         "CurrBank",    "CurrPreset",    "CurrMidi",    "UiScale"};
  enum Kind { Fifo, EndlessDevice, LinkLoop, Folder };
  for (Kind kind : {Fifo, EndlessDevice, LinkLoop, Folder}) {
    SCOPED_TRACE(kind);
    testing_support::ScratchFolder home;
    const std::string folder = home / "Korvane/Tavrel/";
    std::filesystem::create_directories(folder);
    for (const char* name : names) {
      const std::string path = folder + name;
      int made = -1;
      if (kind == Fifo) made = ::mkfifo(path.c_str(), 0600);
      if (kind == EndlessDevice) made = ::symlink("/dev/zero", path.c_str());
      if (kind == LinkLoop) made = ::symlink(name, path.c_str());
      if (kind == Folder) made = ::mkdir(path.c_str(), 0700);
      ASSERT_EQ(made, 0) << path;
    }
    EXPECT_EXIT(
        {
          ::alarm(60);
          ::setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
          auto plugin = testing_support::loadTavrel();
          vst::ERect* rect = nullptr;
          if (!plugin || plugin->dispatch(vst::effEditGetRect, 0, 0, &rect) != 1 || !rect) std::_Exit(1);
          if (plugin->programNameIndexed(0) != state::factoryPresets()[0].name) std::_Exit(2);
          auto zel = testing_support::makeZel();
          zel->files().recallMemoA();
          if (zel->files().loadPresetFile(folder + "CurrDir", false)) std::_Exit(3);
          plugin.reset();
          std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
  }
}

// Two instances storing their banks at once, a third reading meanwhile:
// every read finds one whole image of the two, never a mix.
TEST(UserSettings, WritersAtOnceLeaveOneWholeImage) {
  forgetEverything();
  constexpr std::size_t kSize = state::kBankImageSize;
  std::vector<uint8_t> a(kSize, 0xAA), b(kSize, 0xBB);
  store().write("DefaultBank", a.data(), kSize);
  auto writer = [&](const std::vector<uint8_t>& image) {
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(store().write("DefaultBank", image.data(), kSize));
  };
  std::thread first(writer, std::cref(a)), second(writer, std::cref(b));
  for (int i = 0; i < 400; ++i) {
    std::vector<uint8_t> seen(kSize, 0);
    ASSERT_TRUE(store().read("DefaultBank", seen.data(), kSize));
    ASSERT_TRUE(seen == a || seen == b) << "read " << i;
  }
  first.join();
  second.join();
}

}  // namespace
