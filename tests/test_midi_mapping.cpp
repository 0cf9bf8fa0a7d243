// MIDI controllers driving parameters: scaling of the data byte, channels,
// which messages count, the assignment values 60..119, learn and forget, and
// the controller names of the editor's display.
#include <gtest/gtest.h>

#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "state/ControllerNames.h"
#include "support/PresetFiles.h"
#include "support/Tavrel.h"

namespace {

using namespace testing_support;
using host::MidiMessage;
using params::Cutoff;
using params::DlyTimeL;
using params::DlyTimeR;
using params::Mix;
constexpr int kSlots = params::kNumParams;  // parameter 60 + p holds the assignment of p

TEST(MidiMapping, ControlChangesScaleTheDataByteOnEveryChannel) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  plugin->setParameter(kSlots + Mix, assignmentFor(7));
  struct Case {
    MidiMessage message;
    float mix;
  };
  const Case cases[] = {
      {{0xb0, 7, 127}, 1.0f},       {{0xb0, 7, 0}, 0.0f},    {{0xb0, 7, 64}, 0.503937f},
      {{0xbf, 7, 32}, 32 / 127.0f}, {{0xb5, 7, 100}, 100 / 127.0f},
      {{0xb0, 7, 0x80}, 0.0f},  // the data byte is read signed: above 127 is negative and held at 0
      {{0xb0, 7, 0xff}, 0.0f},
  };
  for (const Case& c : cases) {
    plugin->setParameter(Mix, 0.25f);
    EXPECT_EQ(plugin->sendMidi({c.message}), 1);
    EXPECT_NEAR(plugin->getParameter(Mix), c.mix, 1e-6) << std::hex << int(c.message[0]) << " " << int(c.message[2]);
  }
  EXPECT_TRUE(plugin->calls(vst::audioMasterAutomate).empty()) << "controller moves are not host automation";
}

TEST(MidiMapping, OnlyControlChangesOfAssignedControllersChangeAnything) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  plugin->setParameter(kSlots + Mix, assignmentFor(7));
  plugin->setParameter(Mix, 0.25f);
  plugin->sendMidi({{0x90, 7, 100}, {0x80, 7, 100}, {0xa0, 7, 100}, {0xf8, 7, 100}, {0xb0, 0x87, 100},
                    {0xb0, 8, 100}, {0xe0, 7, 100}});
  EXPECT_EQ(plugin->getParameter(Mix), 0.25f);
}

TEST(MidiMapping, AssignmentValuesDecodeToControllers) {
  struct Case {
    float value;
    int controller;  // 128: none
  };
  const Case cases[] = {{0.5f, 64}, {0.0f, 0}, {assignmentFor(127), 127}, {assignmentFor(119), 119},
                        {1.0f, 128}, {noController(), 128}, {7.748062f, 128},
                        {-0.001f, 128}, {-0.5f, 128}};  // any negative value: none
  auto zel = makeZel();
  for (const Case& c : cases) {
    zel->setParameter(kSlots + Cutoff, c.value);
    const float stored = zel->getParameter(kSlots + Cutoff);
    EXPECT_EQ(stored, c.value);
    EXPECT_EQ(zel->getControllerForParameter(Cutoff), c.controller == 128 ? state::kNone : c.controller)
        << c.value;
    if (c.controller < 128) {
      EXPECT_EQ(zel->getParameterForController(c.controller), Cutoff);
    }
  }
}

TEST(MidiMapping, AFreshInstanceHasNoControllersAndSaysSoInItsAssignmentValues) {
  auto plugin = loadTavrel();
  ASSERT_TRUE(plugin);
  for (int p = 0; p < params::kNumParams; ++p) ASSERT_FLOAT_EQ(plugin->getParameter(kSlots + p), 7.748062f) << p;
}

TEST(MidiMapping, LearnBindsTheTouchedParameterAndSetsItWithTheSameMessage) {
  auto zel = makeZel();
  zel->setParameter(params::DlyModeL, 0.0f);  // free times: the delay times are not derived from note values
  zel->setParameter(params::DlyModeR, 0.0f);
  zel->startMidiLearn();
  zel->setParameter(DlyTimeL, 0.9f);  // touching the parameter names the target
  sendMidi(*zel, {{0xb3, 20, 32}});
  EXPECT_FALSE(zel->isLearning());
  EXPECT_EQ(zel->getControllerForParameter(DlyTimeL), 20);
  EXPECT_NEAR(zel->getParameter(DlyTimeL), 32 / 127.0, 1e-6);
  EXPECT_EQ(zel->getParameter(kSlots + DlyTimeL), assignmentFor(20)) << "what saves and chunks carry";

  // Learning controller 20 for DlyTimeR takes it away from DlyTimeL.
  zel->startMidiLearn();
  zel->setParameter(DlyTimeR, 0.1f);
  sendMidi(*zel, {{0xb0, 20, 64}});
  EXPECT_EQ(zel->getControllerForParameter(DlyTimeL), state::kNone);
  EXPECT_EQ(zel->getParameter(kSlots + DlyTimeL), assignmentFor(999));
  EXPECT_EQ(zel->getControllerForParameter(DlyTimeR), 20);

  // Moving DlyTimeR on to controller 21 leaves controller 20 driving nothing.
  zel->startMidiLearn();
  zel->setParameter(DlyTimeR, 0.1f);
  sendMidi(*zel, {{0xb0, 21, 0}});
  sendMidi(*zel, {{0xb0, 20, 127}});
  EXPECT_EQ(zel->getParameter(DlyTimeR), 0.0f);
  EXPECT_EQ(zel->getParameterForController(20), state::kNone);
}

TEST(MidiMapping, LearnIgnoresChannelModeControllersAndAnUntouchedTarget) {
  auto zel = makeZel();
  zel->setParameter(kSlots + Mix, assignmentFor(7));
  zel->startMidiLearn();
  sendMidi(*zel, {{0xb0, 7, 127}});  // nothing touched yet: a plain controller message
  EXPECT_TRUE(zel->isLearning());
  EXPECT_EQ(zel->getParameter(Mix), 1.0f);
  EXPECT_EQ(zel->getControllerForParameter(Mix), 7);

  zel->setParameter(Cutoff, 0.5f);
  for (int cc = 120; cc < 128; ++cc) sendMidi(*zel, {{0xb0, static_cast<uint8_t>(cc), 0}});
  EXPECT_TRUE(zel->isLearning());
  EXPECT_EQ(zel->getControllerForParameter(Cutoff), state::kNone);
}

TEST(MidiMapping, ForgetRemovesTheTouchedParametersControllerOnly) {
  auto zel = makeZel();
  zel->setParameter(kSlots + Cutoff, assignmentFor(5));
  zel->setParameter(kSlots + Mix, assignmentFor(5));  // both name 5; it drives Mix
  zel->setParameter(kSlots + DlyTimeL, assignmentFor(9));
  zel->startMidiForget();
  zel->setParameter(Cutoff, 0.3f);
  EXPECT_FALSE(zel->isForgetting());
  EXPECT_EQ(zel->getControllerForParameter(Cutoff), state::kNone);
  EXPECT_EQ(zel->getParameter(kSlots + Cutoff), assignmentFor(999));
  EXPECT_EQ(zel->getParameterForController(5), Mix) << "Mix keeps the controller Cutoff also named";

  zel->startMidiForget();
  zel->setParameter(Cutoff, 0.3f);  // nothing to forget: just ends the mode
  EXPECT_FALSE(zel->isForgetting());
  EXPECT_EQ(zel->getControllerForParameter(DlyTimeL), 9);
}

TEST(MidiMapping, AReassignedParameterNoLongerFollowsItsOldController) {
  auto zel = makeZel();
  zel->setParameter(kSlots + Mix, assignmentFor(7));
  zel->setParameter(kSlots + Mix, assignmentFor(10));
  zel->setParameter(Mix, 0.25f);
  sendMidi(*zel, {{0xb0, 7, 127}});
  EXPECT_EQ(zel->getParameter(Mix), 0.25f);
  sendMidi(*zel, {{0xb0, 10, 127}});
  EXPECT_EQ(zel->getParameter(Mix), 1.0f);
}

TEST(MidiMapping, ControllerNamesForTheDisplay) {
  struct Case {
    int index;
    const char* name;
  };
  const Case cases[] = {{0, "bank sel MSB"}, {7, "main volume"},   {33, "modul. LSB"},  {64, "sustain"},
                        {99, "NRPN MSB"},    {119, "control 119"}, {127, "poly mode on"}, {128, "not assigned"},
                        {129, ""}};
  for (const Case& c : cases) {
    EXPECT_STREQ(state::controllerName(c.index), c.name);
    EXPECT_STREQ(state::controllerNameForValue(params::stepValue(c.index, 130)), c.name);
  }
  char text[state::kControllerTextSize];
  state::controllerValueToText(params::stepValue(72, 130), text);
  EXPECT_STREQ(text, "release time");
  EXPECT_STREQ(state::controllerName(130), "");
}

}  // namespace
