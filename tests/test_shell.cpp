// The effect as a host meets it: loading, identity, fixed properties,
// capability answers, programs and the dispatcher's defaults.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "support/Tavrel.h"

using testing_support::loadTavrel;

namespace {

TEST(Loading, HostThatAnswersVersionZeroGetsNoInstance) {
  host::HostScript script;
  script.version = 0;
  std::string error;
  EXPECT_FALSE(host::PluginInstance::load(TAVREL_PLUGIN_PATH, script, &error));
}

TEST(Loading, EntryIsExportedUnderBothNamesAndNothingElse) {
  void* library = dlopen(TAVREL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_TRUE(library) << dlerror();
  void* entry = dlsym(library, "VSTPluginMain");
  EXPECT_TRUE(entry);
  EXPECT_EQ(entry, dlsym(library, "main"));
  // Inner functions stay hidden, so two plug-ins with our class names never clash.
  EXPECT_FALSE(dlsym(library, "_ZN3vst11AudioEffect10dispatcherEiilPvf"));
  dlclose(library);
}

TEST(Loading, InstancesAreIndependent) {
  auto a = loadTavrel();
  auto b = loadTavrel();
  a->setParameter(params::Mix, 0.9f);
  EXPECT_FLOAT_EQ(a->getParameter(params::Mix), 0.9f);
  EXPECT_FLOAT_EQ(b->getParameter(params::Mix), 0.5f);
}

TEST(Properties, RecordReportsTheEffectsShape) {
  auto plugin = loadTavrel();
  const vst::AEffect* e = plugin->effect();
  EXPECT_EQ(e->magic, vst::kEffectMagic);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numParams, 60);
  EXPECT_EQ(e->numInputs, 4);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x1031);
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_EQ(e->uniqueID, vst::fourCharCode('R', 'd', 'l', 'x'));
  EXPECT_EQ(e->uniqueID, 0x52646c78);
  EXPECT_EQ(e->version, 1);
  EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
  EXPECT_TRUE(e->processReplacing && e->processDoubleReplacing && e->process);
}

TEST(Properties, IdentityStrings) {
  auto plugin = loadTavrel();
  EXPECT_EQ(plugin->effectName(), "Tavrel");
  EXPECT_FALSE(plugin->vendorString().empty());
  const std::string product = plugin->productString();
  EXPECT_EQ(product.rfind("Tavrel - ", 0), 0u) << product;
  EXPECT_LT(product.size(), 64u);
  char text[256];
  EXPECT_EQ(plugin->dispatch(vst::effGetEffectName, 0, 0, text), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetVendorVersion), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetVstVersion), 2400);
  EXPECT_EQ(plugin->dispatch(vst::effGetPlugCategory), vst::kPlugCategUnknown);
}

TEST(Capabilities, MidiInputOnlyWhileTheHostSendsMidi) {
  struct Case {
    intptr_t hostAnswer;
    intptr_t expected;
  };
  for (const Case c : {Case{1, 1}, Case{-1, 1}, Case{0, 0}}) {
    host::HostScript script;
    script.canDoSendVstMidiEvent = c.hostAnswer;
    auto plugin = loadTavrel(script);
    EXPECT_EQ(plugin->canDo("receiveVstMidiEvent"), c.expected) << "host answer " << c.hostAnswer;
  }
  auto plugin = loadTavrel();
  for (const char* text : {"receiveVstTimeInfo", "bypass", "sendVstMidiEvent", "", "plugAsChannelInsert"})
    EXPECT_EQ(plugin->canDo(text), 0) << text;
}

TEST(Dispatcher, DefaultsOfAPlainEffect) {
  auto plugin = loadTavrel();
  EXPECT_EQ(plugin->dispatch(vst::effSetBypass, 0, 1), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetProcessPrecision, 0, 1), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetNumMidiInputChannels), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetTailSize), 0);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(plugin->dispatch(vst::effCanBeAutomated, i), 1);
}

TEST(Dispatcher, UnknownOpcodesAndNullPointersAreHarmless) {
  auto plugin = loadTavrel();
  for (int opcode : {-1, 9, 16, 80, 200, 100000}) EXPECT_EQ(plugin->dispatch(opcode, 3, 7, nullptr, 1.0f), 0);
  for (int opcode : {vst::effGetParamName, vst::effGetParamDisplay, vst::effGetParamLabel, vst::effGetProgramName,
                     vst::effSetProgramName, vst::effGetEffectName, vst::effGetVendorString, vst::effGetProductString,
                     vst::effCanDo, vst::effGetChunk, vst::effProcessEvents,
                     vst::effGetProgramNameIndexed, vst::effGetParameterProperties, vst::effSetSpeakerArrangement,
                     vst::effEditGetRect})
    EXPECT_EQ(plugin->dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
  EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 0, 16376, nullptr), -1);  // refused, not a success
  // Parameter indices outside the table.
  for (int index : {-1, 120, 5000}) {
    plugin->setParameter(index, 0.7f);
    EXPECT_EQ(plugin->getParameter(index), 0.0f);
    char text[64] = "untouched";
    plugin->dispatch(vst::effGetParamName, index, 0, text);
    EXPECT_STREQ(text, "untouched");
  }
}

TEST(Editor, ReportsItsPanelSize) {
  auto plugin = loadTavrel();
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 171);
  EXPECT_EQ(rect->right, 942);
}

TEST(SpeakerArrangement, AcceptsTheLayoutsTheEffectServes) {
  auto plugin = loadTavrel();
  struct Case {
    int in, out;
    bool accepted;
  };
  const Case cases[] = {{1, 1, true},  {1, 2, true},  {2, 1, true},  {2, 2, true},  {3, 2, true},
                        {4, 2, true},  {5, 2, false}, {2, 4, false}, {0, 2, false}, {4, 1, false}};
  for (const Case& c : cases)
    EXPECT_EQ(plugin->setSpeakerArrangement(c.in, c.out), c.accepted) << c.in << " -> " << c.out;
}

}  // namespace
