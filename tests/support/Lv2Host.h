// A small LV2 host on lilv for the tests: loads the bundle from the build
// folder, makes an instance with the features a desktop host offers
// (urid:map, a worker that runs each order at once, the block length) and
// runs it block by block with control, audio and atom ports connected.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lv2/Uris.h"

namespace testing_support {

class Lv2World {
 public:
  Lv2World() : world_(lilv_world_new()) {
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, TAVREL_LV2_BUNDLE "/");
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world_, lv2plugin::kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
  }
  ~Lv2World() { lilv_world_free(world_); }
  LilvWorld* world() { return world_; }
  const LilvPlugin* plugin() const { return plugin_; }

  // One URID map shared by the world's instances.
  LV2_URID map(const char* uri) {
    auto [it, added] = ids_.try_emplace(uri, static_cast<LV2_URID>(ids_.size() + 1));
    if (added) uris_[it->second] = uri;
    return it->second;
  }
  const char* unmap(LV2_URID id) { return uris_.count(id) ? uris_[id].c_str() : nullptr; }
  LV2_URID_Map* mapFeature() { return &mapData_; }
  LV2_URID_Unmap* unmapFeature() { return &unmapData_; }

 private:
  LilvWorld* world_;
  const LilvPlugin* plugin_ = nullptr;
  std::map<std::string, LV2_URID> ids_;
  std::map<LV2_URID, std::string> uris_;
  LV2_URID_Map mapData_{this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<Lv2World*>(h)->map(uri); }};
  LV2_URID_Unmap unmapData_{this, [](LV2_URID_Unmap_Handle h, LV2_URID id) { return static_cast<Lv2World*>(h)->unmap(id); }};
};

// A plug-in's saved state by key: each value's bytes and type, as a host
// keeps them.
struct SavedValue {
  std::vector<uint8_t> bytes;
  uint32_t type = 0;
  bool operator==(const SavedValue&) const = default;
};
using SavedState = std::map<LV2_URID, SavedValue>;

class Lv2Instance {
 public:
  static constexpr uint32_t kBlock = 512;

  // `withMap` false: no feature at all, as the simplest hosts run it.
  Lv2Instance(Lv2World& world, double rate, bool withMap = true) : world_(world), rate_(rate) {
    block_ = kBlock;
    options_[0] = {LV2_OPTIONS_INSTANCE, 0, world.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                   world.map(LV2_ATOM__Int), &block_};
    options_[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    schedule_ = {this, [](LV2_Worker_Schedule_Handle h, uint32_t size, const void* data) {
                   return static_cast<Lv2Instance*>(h)->doWork(size, data);
                 }};
    features_[0] = {LV2_URID__map, world.mapFeature()};
    features_[1] = {LV2_URID__unmap, world.unmapFeature()};
    features_[2] = {LV2_WORKER__schedule, &schedule_};
    features_[3] = {LV2_OPTIONS__options, options_};
    const LV2_Feature* list[] = {&features_[0], &features_[1], &features_[2], &features_[3], nullptr};
    const LV2_Feature* none[] = {nullptr};
    instance_ = lilv_plugin_instantiate(world.plugin(), rate, withMap ? list : none);
    if (!instance_) return;
    const uint32_t ports = lilv_plugin_get_num_ports(world.plugin());
    controls_.assign(ports, 0.0f);
    std::vector<float> defaults(ports);
    lilv_plugin_get_port_ranges_float(world.plugin(), nullptr, nullptr, defaults.data());
    for (uint32_t p = lv2plugin::kFirstParameter; p < lv2plugin::kControl; ++p) {
      controls_[p] = defaults[p];
      lilv_instance_connect_port(instance_, p, &controls_[p]);
    }
    lilv_instance_connect_port(instance_, lv2plugin::kMeterL, &controls_[lv2plugin::kMeterL]);
    lilv_instance_connect_port(instance_, lv2plugin::kMeterR, &controls_[lv2plugin::kMeterR]);
    for (auto& b : atomIn_) b = 0;
    lilv_instance_connect_port(instance_, lv2plugin::kControl, atomIn_.data());
    lilv_instance_connect_port(instance_, lv2plugin::kNotify, atomOut_.data());
    lilv_instance_activate(instance_);
  }
  ~Lv2Instance() {
    if (!instance_) return;
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
  }
  explicit operator bool() const { return instance_ != nullptr; }
  LilvInstance* instance() { return instance_; }

  float& parameter(int index) { return controls_[lv2plugin::parameterPort(index)]; }

  // Through the plug-in's state interface, as a host saves and restores.
  SavedState saveState() {
    SavedState saved;
    state()->save(
        lilv_instance_get_handle(instance_),
        [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t) {
          const auto* bytes = static_cast<const uint8_t*>(value);
          (*static_cast<SavedState*>(h))[key] = {std::vector<uint8_t>(bytes, bytes + size), type};
          return LV2_STATE_SUCCESS;
        },
        &saved, 0, nullptr);
    return saved;
  }
  LV2_State_Status restoreState(const SavedState& saved) {
    return state()->restore(
        lilv_instance_get_handle(instance_),
        [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void* {
          const auto& s = *static_cast<const SavedState*>(h);
          auto it = s.find(key);
          if (it == s.end()) return nullptr;
          *size = it->second.bytes.size();
          *type = it->second.type;
          *flags = LV2_STATE_IS_POD;
          return it->second.bytes.data();
        },
        const_cast<SavedState*>(&saved), 0, nullptr);
  }

  // The next run's atom input: a time:Position or a patch:Set, at frame 0.
  void sendPosition(double bpm, double speed, double beat) {
    LV2_Atom_Forge_Frame frame;
    beginEvent();
    lv2_atom_forge_object(&forge_, &frame, 0, world_.map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge_, static_cast<float>(bpm));
    lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&forge_, 4);
    lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__speed));
    lv2_atom_forge_float(&forge_, static_cast<float>(speed));
    lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beat));
    lv2_atom_forge_double(&forge_, beat);
    lv2_atom_forge_pop(&forge_, &frame);
  }
  void sendController(uint8_t cc, uint8_t value) {
    const uint8_t midi[3] = {0xb0, cc, value};
    beginEvent();
    lv2_atom_forge_atom(&forge_, 3, world_.map("http://lv2plug.in/ns/ext/midi#MidiEvent"));
    lv2_atom_forge_write(&forge_, midi, 3);
  }
  void sendGet() {
    LV2_Atom_Forge_Frame frame;
    beginEvent();
    lv2_atom_forge_object(&forge_, &frame, 0, world_.map(LV2_PATCH__Get));
    lv2_atom_forge_pop(&forge_, &frame);
  }
  void sendSetInt(const char* name, int32_t value) {
    LV2_Atom_Forge_Frame frame;
    beginEvent();
    lv2_atom_forge_object(&forge_, &frame, 0, world_.map(LV2_PATCH__Set));
    lv2_atom_forge_key(&forge_, world_.map(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge_, world_.map((std::string(lv2plugin::kPrefix) + name).c_str()));
    lv2_atom_forge_key(&forge_, world_.map(LV2_PATCH__value));
    lv2_atom_forge_int(&forge_, value);
    lv2_atom_forge_pop(&forge_, &frame);
  }

  // Runs the signal through in blocks; `key` empty leaves the key ports unconnected.
  std::vector<std::vector<float>> run(const std::vector<float>& left, const std::vector<float>& right = {}) {
    const size_t n = left.size();
    std::vector<float> inR = right.empty() ? std::vector<float>(n, 0.0f) : right;
    std::vector<float> inL = left;
    std::vector<std::vector<float>> out(2, std::vector<float>(n, 0.0f));
    for (size_t at = 0; at < n; at += block_) {
      const auto frames = static_cast<uint32_t>(std::min<size_t>(block_, n - at));
      lilv_instance_connect_port(instance_, lv2plugin::kInputL, inL.data() + at);
      lilv_instance_connect_port(instance_, lv2plugin::kInputR, inR.data() + at);
      lilv_instance_connect_port(instance_, lv2plugin::kKeyL, nullptr);
      lilv_instance_connect_port(instance_, lv2plugin::kKeyR, nullptr);
      lilv_instance_connect_port(instance_, lv2plugin::kOutputL, out[0].data() + at);
      lilv_instance_connect_port(instance_, lv2plugin::kOutputR, out[1].data() + at);
      runOnce(frames);
    }
    return out;
  }
  // One block through the given buffers, the key ports left unconnected.
  // `bare`: only what any host does per block (no messages read or sent),
  // for measuring the plug-in alone.
  void runBlock(const float* inL, const float* inR, float* outL, float* outR, uint32_t frames, bool bare = false) {
    lilv_instance_connect_port(instance_, lv2plugin::kInputL, const_cast<float*>(inL));
    lilv_instance_connect_port(instance_, lv2plugin::kInputR, const_cast<float*>(inR));
    lilv_instance_connect_port(instance_, lv2plugin::kKeyL, nullptr);
    lilv_instance_connect_port(instance_, lv2plugin::kKeyR, nullptr);
    lilv_instance_connect_port(instance_, lv2plugin::kOutputL, outL);
    lilv_instance_connect_port(instance_, lv2plugin::kOutputR, outR);
    if (!bare) return runOnce(frames);
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(atomIn_.data());
    in->atom.size = sizeof(LV2_Atom_Sequence_Body);
    auto* notify = reinterpret_cast<LV2_Atom_Sequence*>(atomOut_.data());
    notify->atom.size = static_cast<uint32_t>(atomOut_.size() * 8 - sizeof(LV2_Atom));
    lilv_instance_run(instance_, frames);
  }
  void runOnce(uint32_t frames) {
    if (!forgeOpen_) beginSequence();
    lv2_atom_forge_pop(&forge_, &sequenceFrame_);
    forgeOpen_ = false;
    auto* notify = reinterpret_cast<LV2_Atom_Sequence*>(atomOut_.data());
    notify->atom.type = 0;
    notify->atom.size = static_cast<uint32_t>(atomOut_.size() * 8 - sizeof(LV2_Atom));
    lilv_instance_run(instance_, frames);
    readNotify();
    auto* in = reinterpret_cast<LV2_Atom_Sequence*>(atomIn_.data());
    in->atom.size = sizeof(LV2_Atom_Sequence_Body);  // consumed
    // The worker's answers reach the plug-in between runs.
    const auto* worker = static_cast<const LV2_Worker_Interface*>(
        lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    for (const auto& r : responses_) worker->work_response(lilv_instance_get_handle(instance_), r.size(), r.data());
    responses_.clear();
  }

  // What the plug-in last said on its notify port, by property name.
  std::map<std::string, std::string> told;

 private:
  const LV2_State_Interface* state() {
    return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  }
  void beginSequence() {
    lv2_atom_forge_init(&forge_, world_.mapFeature());
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(atomIn_.data()), atomIn_.size() * 8);
    lv2_atom_forge_sequence_head(&forge_, &sequenceFrame_, 0);
    forgeOpen_ = true;
  }
  void beginEvent() {
    if (!forgeOpen_) beginSequence();
    lv2_atom_forge_frame_time(&forge_, 0);
  }
  void readNotify() {
    const auto* seq = reinterpret_cast<const LV2_Atom_Sequence*>(atomOut_.data());
    const LV2_URID set = world_.map(LV2_PATCH__Set), property = world_.map(LV2_PATCH__property),
                   value = world_.map(LV2_PATCH__value);
    LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
      const auto* obj = reinterpret_cast<const LV2_Atom_Object*>(&ev->body);
      if (obj->body.otype != set) continue;
      const LV2_Atom *p = nullptr, *v = nullptr;
      lv2_atom_object_get(obj, property, &p, value, &v, 0);
      if (!p || !v) continue;
      const char* name = world_.unmap(reinterpret_cast<const LV2_Atom_URID*>(p)->body);
      const std::string key = name ? std::string(name).substr(std::strlen(lv2plugin::kPrefix)) : "";
      std::string text;
      if (v->type == world_.map(LV2_ATOM__String) || v->type == world_.map(LV2_ATOM__Path))
        text = reinterpret_cast<const char*>(v + 1);
      else if (v->type == world_.map(LV2_ATOM__Int))
        text = std::to_string(reinterpret_cast<const LV2_Atom_Int*>(v)->body);
      else if (v->type == world_.map(LV2_ATOM__Bool))
        text = reinterpret_cast<const LV2_Atom_Bool*>(v)->body ? "true" : "false";
      else if (v->type == world_.map(LV2_ATOM__Double))
        text = std::to_string(reinterpret_cast<const LV2_Atom_Double*>(v)->body);
      else if (v->type == world_.map(LV2_ATOM__Vector))
        text = "vector";
      told[key] = text;
    }
  }
  LV2_Worker_Status doWork(uint32_t size, const void* data) {
    const auto* worker = static_cast<const LV2_Worker_Interface*>(
        lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    return worker->work(
        lilv_instance_get_handle(instance_),
        [](LV2_Worker_Respond_Handle h, uint32_t n, const void* d) {
          auto* self = static_cast<Lv2Instance*>(h);
          const auto* bytes = static_cast<const uint8_t*>(d);
          self->responses_.emplace_back(bytes, bytes + n);
          return LV2_WORKER_SUCCESS;
        },
        this, size, data);
  }

  Lv2World& world_;
  double rate_;
  int32_t block_;
  LV2_Options_Option options_[2];
  LV2_Worker_Schedule schedule_;
  LV2_Feature features_[4];
  LilvInstance* instance_ = nullptr;
  std::vector<float> controls_;
  std::vector<uint64_t> atomIn_ = std::vector<uint64_t>(lv2plugin::kAtomBufferSize / 8);
  std::vector<uint64_t> atomOut_ = std::vector<uint64_t>(lv2plugin::kAtomBufferSize / 8);
  LV2_Atom_Forge forge_{};
  LV2_Atom_Forge_Frame sequenceFrame_{};
  bool forgeOpen_ = false;
  std::vector<std::vector<uint8_t>> responses_;
};

}  // namespace testing_support
