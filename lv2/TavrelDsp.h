// The plug-in as an LV2 host runs it: the adapter between the host's ports
// and the plug-in core. Control ports are applied when they move; MIDI
// controllers, the host's transport and the UI's messages arrive on the
// atom input; what the UI must hear goes out on the notify port; the file
// commands run on the host's worker; the state is the chunk the VST 2.4
// build stores, plus the manual tempo.
#pragma once

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "core/PluginCore.h"
#include "lv2/Urids.h"
#include "params/ParameterTable.h"

namespace lv2plugin {

class TavrelDsp final : public core::CoreEvents {
 public:
  // Null features are allowed; `map` and `schedule` may be null.
  TavrelDsp(double sampleRate, const LV2_URID_Map* map, const LV2_Worker_Schedule* schedule, int blockSize);

  void connect(uint32_t port, void* data);
  void activate();
  void deactivate() { core_.suspend(); }
  void run(uint32_t frames);

  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
  LV2_Worker_Status work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle, uint32_t size,
                         const void* data);
  LV2_Worker_Status workResponse(uint32_t size, const void* data);

  core::PluginCore& core() { return core_; }

  // What the UI is told, one bit each; set from any thread, sent by run.
  enum News : uint32_t {
    kNames = 1u << 0,
    kCurrent = 1u << 1,
    kNameShown = 1u << 2,
    kTempo = 1u << 3,
    kControllers = 1u << 4,
    kLearnState = 1u << 5,
    kLocations = 1u << 6,
    kValues = 1u << 7,
    kLink = 1u << 8,
    kNoWorker = 1u << 9,
    kEverything = (1u << 9) - 1,
  };

 private:
  // The core's events.
  void parametersChanged() override { tell(kValues | kNames); }
  void parameterChanged(int index, float value) override;
  void tempoChanged(double) override { tell(kTempo); }
  void programChanged() override { tell(kCurrent | kNames | kValues); }
  void linkSuggested(bool on) override {
    linkOn_.store(on, std::memory_order_relaxed);
    tell(kLink);
  }
  void programNameShown(const char*) override { tell(kNameShown); }
  void programNamesChanged() override { tell(kNames); }
  void learnEnded() override { tell(kLearnState | kControllers); }
  void forgetEnded() override { tell(kLearnState | kControllers); }

  void tell(uint32_t news) { news_.fetch_or(news, std::memory_order_relaxed); }

  void applyControlPorts();
  void readEvents(uint32_t frames);
  void processFrames(uint32_t from, uint32_t to);
  void readPosition(const LV2_Atom_Object* position);
  void readMessage(const LV2_Atom_Object* message);
  bool scheduleFileWork(LV2_URID property, const LV2_Atom* value);
  void writeNews();
  void keepLocations();
  void writeMeters(uint32_t frames);

  core::PluginCore core_;
  Urids urids_;
  const LV2_Worker_Schedule* schedule_;
  LV2_Atom_Forge forge_{};
  double sampleRate_;
  int blockSize_;

  const float* audioIn_[4] = {};
  float* audioOut_[2] = {};
  std::array<const float*, params::kNumParams> controls_{};
  const LV2_Atom_Sequence* control_ = nullptr;
  LV2_Atom_Sequence* notify_ = nullptr;
  float* meters_[2] = {};

  // The value each control port had when it was last applied (not a number
  // before the first run: every connected port is applied once then).
  std::array<float, params::kNumParams> applied_{};
  // A restore or a file command changed the state: the ports as they are
  // now count as applied, so the next run changes nothing the host did not move.
  std::atomic<bool> portsSettled_{false};
  // The thread applying the control ports while it does (writes of its own
  // need no news: the host's ports already show them).
  std::atomic<std::thread::id> applyingPorts_{};
  bool uiListening_ = false;    // a UI has asked for the news (audio thread)
  std::atomic<bool> linkOn_{false};  // the latest LINK suggestion

  // The host's transport from its last time:Position, advanced by run.
  bool hostTimeSeen_ = false;
  double tempo_ = 120.0;
  double speed_ = 0.0;
  bool positionKnown_ = false;
  double ppqPos_ = 0.0;

  // The input meters: the highest peak held for a while, so a UI that reads
  // the ports at its own pace still sees a short peak.
  float meterHeld_[2] = {};
  uint32_t meterAge_ = 0;

  std::atomic<uint32_t> news_{kEverything};
  // The folder and last file names a file dialog starts from, as the audio
  // thread last heard them (from the worker's answers).
  char folder_[4096 + 1] = {};
  char lastNames_[3 * (256 + 1) + 1] = {};
};

}  // namespace lv2plugin
