// The LV2 build as an LV2 host meets it, through lilv: where echoes land
// with and without the host's transport, the state round trip, the factory
// presets, and a host that offers no feature at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "params/ParameterTable.h"
#include "state/ChunkLayout.h"
#include "state/FactoryPresets.h"
#include "tests/support/Lv2Host.h"

namespace {

using namespace params;
using testing_support::Lv2Instance;
using testing_support::Lv2World;
using Signal = std::vector<float>;

Signal impulse(long n) {
  Signal s(static_cast<size_t>(n), 0.0f);
  s[0] = 1.0f;
  return s;
}

long firstAbove(const Signal& s, float threshold) {
  for (size_t i = 0; i < s.size(); ++i)
    if (std::fabs(s[i]) > threshold) return static_cast<long>(i);
  return -1;
}

int32_t currentProgramIn(Lv2World& world, const testing_support::SavedState& saved) {
  const auto& chunk = saved.at(world.map(lv2plugin::kChunkUri)).bytes;
  int32_t current = -1;
  std::memcpy(&current, chunk.data() + state::kChunkCurrentAt, 4);
  return current;
}

// Program 0 made a plain echo (fixed clock, wet only), then a moment of
// silence for the fades the changes start.
void plainEcho(Lv2Instance& instance, double rate) {
  instance.parameter(VcoOn) = 0.0f;
  instance.parameter(Mix) = 1.0f;
  instance.run(Signal(static_cast<size_t>(rate * 0.25), 0.0f));
}

TEST(Lv2Host, ImpulseLandsWhereTheTempoPutsIt) {
  struct Case {
    const char* name;
    double rate;
    double hostBpm;  // 0: no time:Position, the manual tempo (120) counts
    long at;
  };
  const Case cases[] = {
      {"44.1 kHz, manual tempo: a quarter note", 44100, 0, 22050 + 44},
      {"96 kHz, manual tempo", 96000, 0, 48000 + 96},
      {"44.1 kHz, the host at 90 BPM", 44100, 90, 29400 + 44},
      {"96 kHz, the host at 90 BPM", 96000, 90, 64000 + 96},
  };
  Lv2World world;
  ASSERT_NE(world.plugin(), nullptr) << "bundle " TAVREL_LV2_BUNDLE;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lv2Instance instance(world, c.rate);
    ASSERT_TRUE(instance);
    if (c.hostBpm > 0) instance.sendPosition(c.hostBpm, 1.0, 0.0);
    plainEcho(instance, c.rate);
    const auto out = instance.run(impulse(c.at + 200));
    EXPECT_EQ(firstAbove(out[0], 1e-6f), c.at);
    EXPECT_FLOAT_EQ(out[0][static_cast<size_t>(c.at)], 1.0f);
  }
}

// A host with no feature at all (no URID map: no MIDI, transport or
// messages) still gets its audio and control ports.
TEST(Lv2Host, AHostWithoutFeaturesStillHearsTheEcho) {
  Lv2World world;
  Lv2Instance instance(world, 44100, /*withMap=*/false);
  ASSERT_TRUE(instance);
  plainEcho(instance, 44100);
  const auto out = instance.run(impulse(22050 + 300));
  EXPECT_EQ(firstAbove(out[0], 1e-6f), 22050 + 44);
}

// Saved from one instance, restored into a fresh one: the same chunk bit
// for bit, the ports as the host restores them changing nothing, and the
// same sound from the same input.
TEST(Lv2Host, StateRoundTripIsBitExactAndSoundsTheSame) {
  Lv2World world;
  Lv2Instance saver(world, 44100);
  saver.sendSetInt("selectProgram", 7);
  saver.run(Signal(512, 0.0f));
  saver.parameter(Mix) = 0.3f;
  saver.parameter(FbGainL) = 0.6f;
  saver.run(Signal(4096, 0.25f));
  const auto saved = saver.saveState();
  ASSERT_EQ(saved.at(world.map(lv2plugin::kChunkUri)).bytes.size(), static_cast<size_t>(state::kChunkSize));

  Lv2Instance restored(world, 44100);
  ASSERT_EQ(restored.restoreState(saved), LV2_STATE_SUCCESS);
  restored.run(Signal(512, 0.0f));  // its ports, still at program 0, move nothing
  EXPECT_EQ(restored.saveState(), saved);

  // Both start from silence and hear the same phrase.
  lilv_instance_deactivate(saver.instance());
  lilv_instance_activate(saver.instance());
  lilv_instance_deactivate(restored.instance());
  lilv_instance_activate(restored.instance());
  Signal phrase(20000);
  for (size_t i = 0; i < phrase.size(); ++i) phrase[i] = static_cast<float>(std::sin(i * 0.03) * (i < 3000));
  EXPECT_EQ(saver.run(phrase), restored.run(phrase));
}

// The notify port stays quiet until a UI asks (hosts take every patch:Set
// there for a property of the plug-in's own); then the UI hears all it
// shows, and after a program the values for the host's ports and LINK.
TEST(Lv2Host, TheUiHearsNothingUntilItAsksThenAllItShows) {
  Lv2World world;
  Lv2Instance instance(world, 44100);
  instance.run(Signal(512, 0.0f));
  EXPECT_TRUE(instance.told.empty());
  instance.sendGet();
  instance.run(Signal(512, 0.0f));
  for (const char* key : {"programNames", "currentProgram", "tempo", "hostTime", "controllers", "learning",
                          "folder", "lastNames", "parameterValues", "linkSuggested"})
    EXPECT_EQ(instance.told.count(key), 1u) << key;
  EXPECT_EQ(instance.told["tempo"], std::to_string(120.0));
  EXPECT_EQ(instance.told["linkSuggested"], "true") << "program 0 mirrors its sides";
  instance.told.clear();
  instance.sendSetInt("selectProgram", 5);  // "El Dorado": its sides differ
  instance.run(Signal(512, 0.0f));
  EXPECT_EQ(instance.told["currentProgram"], "5");
  EXPECT_EQ(instance.told["linkSuggested"], "false");
  EXPECT_EQ(instance.told.count("parameterValues"), 1u);
}

// Every factory preset the host lists selects its own program, by name.
TEST(Lv2Host, TheFactoryPresetsSelectTheirPrograms) {
  Lv2World world;
  LilvWorld* w = world.world();
  LilvNode* presetClass = lilv_new_uri(w, LV2_PRESETS__Preset);
  LilvNode* label = lilv_new_uri(w, LILV_NS_RDFS "label");
  LilvNodes* presets = lilv_plugin_get_related(world.plugin(), presetClass);
  ASSERT_EQ(lilv_nodes_size(presets), static_cast<unsigned>(state::kNumPrograms));
  Lv2Instance instance(world, 44100);
  int checked = 0;
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, i);
    lilv_world_load_resource(w, preset);
    const std::string uri = lilv_node_as_uri(preset);
    const int program = std::stoi(uri.substr(std::strlen(lv2plugin::kPresetPrefix)));
    SCOPED_TRACE(uri);
    LilvNodes* labels = lilv_world_find_nodes(w, preset, label, nullptr);
    ASSERT_NE(labels, nullptr);
    EXPECT_EQ(std::string(lilv_node_as_string(lilv_nodes_get_first(labels))), state::factoryPresets()[program].name);
    lilv_nodes_free(labels);
    LilvState* st = lilv_state_new_from_world(w, world.mapFeature(), preset);
    ASSERT_NE(st, nullptr);
    lilv_state_restore(
        st, instance.instance(),
        [](const char* symbol, void* user, const void* value, uint32_t, uint32_t) {
          auto& inst = *static_cast<Lv2Instance*>(user);
          for (int p = 0; p < kNumParams; ++p)
            if (kParameterTable[p].name == std::string(symbol)) inst.parameter(p) = *static_cast<const float*>(value);
        },
        &instance, 0, nullptr);
    lilv_state_free(st);
    instance.run(Signal(64, 0.0f));
    EXPECT_EQ(currentProgramIn(world, instance.saveState()), program);
    ++checked;
  }
  EXPECT_EQ(checked, state::kNumPrograms);
  lilv_nodes_free(presets);
  lilv_node_free(label);
  lilv_node_free(presetClass);
}

}  // namespace
