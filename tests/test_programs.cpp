// The program store behind the single host program: factory programs,
// names, selection and where parameter writes land.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "state/FactoryPresets.h"
#include "support/Tavrel.h"

using testing_support::loadTavrel;
using testing_support::makeZel;

namespace {

TEST(Programs, HostSeesOneProgramWhateverIsSelected) {
  auto plugin = loadTavrel();
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 0);
  plugin->dispatch(vst::effSetProgram, 0, 5);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 0);
  EXPECT_EQ(plugin->programName(), "Default");
}

TEST(Programs, FactoryNamesByIndex) {
  auto plugin = loadTavrel();
  const struct {
    int index;
    const char* name;
  } cases[] = {{0, "Default"}, {9, "Lullaby For A Robot"}, {24, "Ping Pong"}, {34, "Meta Flanger"}, {60, "Bass Drone"}};
  for (const auto& c : cases) EXPECT_EQ(plugin->programNameIndexed(c.index), c.name);
  char text[64] = "untouched";
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, 61, 0, text), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, -1, 0, text), 0);
  EXPECT_STREQ(text, "untouched");
}

TEST(Programs, AfterConstructionTheParametersHoldTheFirstProgram) {
  auto plugin = loadTavrel();
  const auto& first = state::factoryPresets()[0].values;
  for (int i = 0; i < 60; ++i) {
    if (i == params::DriveSwitch || i == params::CutfModSwitch) continue;
    EXPECT_FLOAT_EQ(plugin->getParameter(i), first[i]) << params::kParameterTable[i].name;
  }
  EXPECT_EQ(plugin->getParameter(params::DriveSwitch), 1.0f);
  EXPECT_EQ(plugin->getParameter(params::CutfModSwitch), 1.0f);
}

TEST(Programs, LongNamesKeepTheirFirst24Characters) {
  auto zel = makeZel();
  char name[64] = "A name of exactly thirty chars";
  zel->setProgramName(name);
  char back[64];
  std::memset(back, 'x', sizeof back);
  zel->getProgramName(back);
  EXPECT_STREQ(back, "A name of exactly thirty");  // all 24 bytes, then the terminator
  EXPECT_TRUE(zel->getProgramNameIndexed(0, 0, back));
  EXPECT_STREQ(back, "A name of exactly thirty");

  auto plugin = loadTavrel();
  plugin->setProgramName("Short");
  EXPECT_EQ(plugin->programName(), "Short");
  EXPECT_EQ(plugin->programNameIndexed(0), "Short");
}

TEST(Programs, SelectingAppliesValuesAndWritesNothingBack) {
  auto zel = makeZel();
  auto* store = zel->programs();
  state::ProgramRecord before0 = store[0], before24 = store[24];

  zel->selectProgram(24);
  char name[64];
  zel->getProgramName(name);
  EXPECT_STREQ(name, "Ping Pong");
  EXPECT_FLOAT_EQ(zel->getParameter(params::Output), 0.58f);
  EXPECT_FLOAT_EQ(zel->getParameter(params::FbGainL), 0.09f);
  zel->selectProgram(34);
  EXPECT_EQ(std::memcmp(&store[24], &before24, sizeof before24), 0);
  EXPECT_EQ(std::memcmp(&store[0], &before0, sizeof before0), 0);
  EXPECT_EQ(zel->getCurrentProgramIndex(), 34);
}

TEST(Programs, HostWritesLandInTheCurrentProgramOnly) {
  auto zel = makeZel();
  zel->selectProgram(24);
  const state::ProgramRecord other = zel->programs()[3];
  zel->setParameter(params::DlyTimeL, 0.7f);  // note mode: the engine ignores it, the program keeps it
  EXPECT_FLOAT_EQ(zel->programs()[24].values[params::DlyTimeL], 0.7f);
  EXPECT_FLOAT_EQ(zel->getParameter(params::DlyTimeL), 0.4f);
  EXPECT_EQ(std::memcmp(&zel->programs()[3], &other, sizeof other), 0);
}

TEST(Programs, SelectingAsksTheHostToRefresh) {
  testing_support::RecordingHost hostLog;
  auto zel = hostLog.makeZel();
  hostLog.calls.clear();
  zel->selectProgram(60);
  EXPECT_EQ(hostLog.count(vst::audioMasterUpdateDisplay), 1);
  EXPECT_EQ(hostLog.count(vst::audioMasterAutomate), 0);  // applying a program is not automation
}

// While a program is applied, the application's own writes stay out of the
// store; a controller moved on another thread meanwhile lands in it. The
// host's display refresh at the end of the application is the moment.
ZEL* applyingZel = nullptr;
intptr_t writeFromAnotherThreadWhileApplying(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode == vst::audioMasterVersion) return 2400;
  if (opcode == vst::audioMasterUpdateDisplay && applyingZel && applyingZel->isApplyingProgram())
    std::thread([] { applyingZel->setParameter(params::Mix, 0.25f); }).join();
  return 0;
}

TEST(Programs, AWriteFromAnotherThreadDuringAProgramChangeReachesTheStore) {
  auto zel = std::make_unique<ZEL>(writeFromAnotherThreadWhileApplying);
  applyingZel = zel.get();
  zel->selectProgram(3);
  applyingZel = nullptr;
  EXPECT_EQ(zel->programs()[3].values[params::Mix], 0.25f);
  EXPECT_EQ(zel->getParameter(params::Mix), 0.25f);
}

}  // namespace
