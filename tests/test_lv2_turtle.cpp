// The LV2 bundle's Turtle as a host reads it through lilv: the plug-in and
// its 70 ports in order, the parameters' symbols, names, ranges, defaults
// and enumerations as the parameter table says, the UI, and the 61 factory
// presets with their names, port values and program property.
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

#include "lv2/Uris.h"
#include "params/ParameterTable.h"
#include "params/Steps.h"
#include "state/FactoryPresets.h"

namespace {

using namespace lv2plugin;

constexpr const char* kLv2 = "http://lv2plug.in/ns/lv2core#";
constexpr const char* kAtom = "http://lv2plug.in/ns/ext/atom#";

class Lv2Turtle : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    world_ = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, TAVREL_LV2_BUNDLE "/");
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world_, kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
  }
  static void TearDownTestSuite() { lilv_world_free(world_); }

  // A node owned by the fixture, freed with it.
  LilvNode* node(const std::string& uri) {
    nodes_.push_back(lilv_new_uri(world_, uri.c_str()));
    return nodes_.back();
  }
  void TearDown() override {
    for (LilvNode* n : nodes_) lilv_node_free(n);
  }
  const LilvPort* port(uint32_t index) { return lilv_plugin_get_port_by_index(plugin_, index); }
  std::string symbol(uint32_t index) { return lilv_node_as_string(lilv_port_get_symbol(plugin_, port(index))); }

  static LilvWorld* world_;
  static const LilvPlugin* plugin_;
  std::vector<LilvNode*> nodes_;
};

LilvWorld* Lv2Turtle::world_ = nullptr;
const LilvPlugin* Lv2Turtle::plugin_ = nullptr;

TEST_F(Lv2Turtle, PortsInOrderWithTheParameterTablesSymbolsNamesRangesAndProgramZerosDefaults) {
  ASSERT_NE(plugin_, nullptr);
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin_), kPortCount);
  const std::vector<std::string> others = {"in_l", "in_r", "key_l", "key_r", "out_l", "out_r"};
  for (uint32_t i = 0; i < others.size(); ++i) {
    EXPECT_EQ(symbol(i), others[i]);
    EXPECT_TRUE(lilv_port_is_a(plugin_, port(i), node(std::string(kLv2) + "AudioPort")));
    EXPECT_EQ(lilv_port_is_a(plugin_, port(i), node(std::string(kLv2) + "InputPort")), i < kOutputL);
    const bool key = i == kKeyL || i == kKeyR;
    EXPECT_EQ(lilv_port_has_property(plugin_, port(i), node(std::string(kLv2) + "isSideChain")), key);
    EXPECT_EQ(lilv_port_has_property(plugin_, port(i), node(std::string(kLv2) + "connectionOptional")), key);
  }
  std::vector<float> minimum(kPortCount), maximum(kPortCount), fallback(kPortCount);
  lilv_plugin_get_port_ranges_float(plugin_, minimum.data(), maximum.data(), fallback.data());
  const auto& first = state::factoryPresets()[0].values;
  for (int i = 0; i < params::kNumParams; ++i) {
    const uint32_t p = parameterPort(i);
    const auto& info = params::kParameterTable[static_cast<size_t>(i)];
    SCOPED_TRACE(info.name);
    EXPECT_TRUE(lilv_port_is_a(plugin_, port(p), node(std::string(kLv2) + "ControlPort")));
    EXPECT_EQ(symbol(p), i == params::DriveSwitch ? "DriveSw" : i == params::CutfModSwitch ? "CutfModSw" : info.name);
    LilvNode* name = lilv_port_get_name(plugin_, port(p));
    EXPECT_STREQ(lilv_node_as_string(name), info.longName);
    lilv_node_free(name);
    EXPECT_EQ(minimum[p], 0.0f);
    EXPECT_EQ(maximum[p], 1.0f);
    EXPECT_EQ(fallback[p], first[static_cast<size_t>(i)]);
    EXPECT_EQ(lilv_port_has_property(plugin_, port(p), node("http://lv2plug.in/ns/ext/port-props#notOnGUI")),
              info.kind == params::Kind::WriteOnly);
  }
  for (uint32_t p : {kControl, kNotify}) {
    EXPECT_TRUE(lilv_port_is_a(plugin_, port(p), node(std::string(kAtom) + "AtomPort")));
    EXPECT_TRUE(lilv_port_supports_event(plugin_, port(p), node("http://lv2plug.in/ns/ext/patch#Message")));
  }
  EXPECT_TRUE(lilv_port_supports_event(plugin_, port(kControl), node("http://lv2plug.in/ns/ext/midi#MidiEvent")));
  EXPECT_TRUE(lilv_port_supports_event(plugin_, port(kControl), node("http://lv2plug.in/ns/ext/time#Position")));
  for (uint32_t p : {kMeterL, kMeterR})
    EXPECT_TRUE(lilv_port_is_a(plugin_, port(p), node(std::string(kLv2) + "OutputPort")));
}

// Every stepped parameter is an enumeration with a point on each step
// centre; the labels are the parameter's own value texts.
TEST_F(Lv2Turtle, SteppedParametersAreEnumerationsLabelledWithTheirValueTexts) {
  ASSERT_NE(plugin_, nullptr);
  const std::map<int, std::vector<std::string>> labels = {
      {params::FbInvL, {"off", "on"}},
      {params::LFOWave, {"sin", "sqr", "tri", "saw", "rnd"}},
      {params::FltType, {"LPF", "BPF", "HPF"}},
      {params::FltMode, {"in", "fb", "fx"}},
      {params::RangeR, {"100 ms", "1000 ms", "5000 ms"}},
      {params::RvbType, {"spring", "plate"}},
      {params::PreNumL, {"0", "1", "3", "5", "7", "9"}},
      {params::MuteInR, {"off", "muted"}},
  };
  for (int i = 0; i < params::kNumParams; ++i) {
    const auto& info = params::kParameterTable[static_cast<size_t>(i)];
    SCOPED_TRACE(info.name);
    const LilvPort* p = port(parameterPort(i));
    const bool stepped = info.steps > 0;
    EXPECT_EQ(lilv_port_has_property(plugin_, p, node(std::string(kLv2) + "enumeration")), stepped);
    EXPECT_FALSE(lilv_port_has_property(plugin_, p, node(std::string(kLv2) + "toggled")));
    LilvScalePoints* points = lilv_port_get_scale_points(plugin_, p);
    std::map<float, std::string> found;
    LILV_FOREACH(scale_points, it, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, it);
      found[lilv_node_as_float(lilv_scale_point_get_value(point))] =
          lilv_node_as_string(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(points);
    ASSERT_EQ(found.size(), static_cast<size_t>(info.steps));
    for (int step = 0; step < info.steps; ++step) {
      ASSERT_EQ(found.count(params::stepValue(step, info.steps)), 1u) << "step " << step;
      if (labels.count(i)) {
        EXPECT_EQ(found[params::stepValue(step, info.steps)], labels.at(i)[static_cast<size_t>(step)]);
      }
    }
  }
}

TEST_F(Lv2Turtle, TheX11UiIsDeclared) {
  ASSERT_NE(plugin_, nullptr);
  LilvUIs* uis = lilv_plugin_get_uis(plugin_);
  const LilvUI* ui = lilv_uis_get_by_uri(uis, node(kUiUri));
  ASSERT_NE(ui, nullptr);
  EXPECT_TRUE(lilv_ui_is_a(ui, node("http://lv2plug.in/ns/extensions/ui#X11UI")));
  const std::string binary = lilv_node_as_uri(lilv_ui_get_binary_uri(ui));
  EXPECT_EQ(binary.substr(binary.size() - std::string(kUiBinary).size()), kUiBinary);
  lilv_uis_free(uis);
}

// The URID map a host hands lilv to read a preset's state.
LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
  auto& uris = *static_cast<std::vector<std::string>*>(handle);
  for (size_t i = 0; i < uris.size(); ++i)
    if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
  uris.push_back(uri);
  return static_cast<LV2_URID>(uris.size());
}

void collectPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
  if (size == sizeof(float)) (*static_cast<std::map<std::string, float>*>(data))[symbol] = *static_cast<const float*>(value);
}

// What a plug-in's state restore is handed for the program property, read
// as the DSP reads it: an atom:Int.
struct Restored {
  LV2_URID_Map* map;
  int program = -1;
};

LV2_State_Status restoreProgram(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                                uint32_t, const LV2_Feature* const*) {
  auto& restored = *static_cast<Restored*>(handle);
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* value = retrieve(state, mapUri(restored.map->handle, kProgramUri), &size, &type, &flags);
  if (value && type == mapUri(restored.map->handle, LV2_ATOM__Int) && size == sizeof(int32_t))
    restored.program = *static_cast<const int32_t*>(value);
  return LV2_STATE_SUCCESS;
}

const void* stateInterface(const char* uri) {
  static const LV2_State_Interface interface{nullptr, restoreProgram};
  return std::string(uri) == LV2_STATE__interface ? &interface : nullptr;
}

TEST_F(Lv2Turtle, FactoryPresetsCarryNamesPortValuesAndTheirProgram) {
  ASSERT_NE(plugin_, nullptr);
  LilvNodes* presets = lilv_plugin_get_related(plugin_, node("http://lv2plug.in/ns/ext/presets#Preset"));
  EXPECT_EQ(lilv_nodes_size(presets), static_cast<unsigned>(state::kNumPrograms));
  lilv_nodes_free(presets);

  std::vector<std::string> uris;
  LV2_URID_Map map{&uris, mapUri};
  LilvNode* label = node("http://www.w3.org/2000/01/rdf-schema#label");
  for (int p = 0; p < state::kNumPrograms; ++p) {
    const state::FactoryPreset& program = state::factoryPresets()[static_cast<size_t>(p)];
    SCOPED_TRACE(program.name);
    char id[8];
    std::snprintf(id, sizeof id, "%02d", p);
    LilvNode* preset = node(std::string(kPresetPrefix) + id);
    lilv_world_load_resource(world_, preset);
    LilvNode* name = lilv_world_get(world_, preset, label, nullptr);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(lilv_node_as_string(name), program.name);
    lilv_node_free(name);

    LilvState* state = lilv_state_new_from_world(world_, &map, preset);
    ASSERT_NE(state, nullptr);
    std::map<std::string, float> values;
    lilv_state_emit_port_values(state, collectPortValue, &values);
    Restored restored{&map};
    LV2_Descriptor descriptor{};
    descriptor.extension_data = stateInterface;
    LilvInstance instance{&descriptor, &restored, nullptr};
    lilv_state_restore(state, &instance, nullptr, nullptr, 0, nullptr);
    lilv_state_free(state);
    EXPECT_EQ(restored.program, p);
    ASSERT_EQ(values.size(), static_cast<size_t>(params::kNumParams));
    for (int i = 0; i < params::kNumParams; ++i)
      EXPECT_EQ(values[symbol(parameterPort(i))], program.values[static_cast<size_t>(i)]) << symbol(parameterPort(i));
  }
}

}  // namespace
