// Event lists of any content through effProcessEvents, each followed by a
// block, as a host delivers MIDI just before the block it belongs to.
//
// Input: one byte for the tempo; a count of controller bindings and, per
// binding, a parameter choice and a controller; then events of six bytes
// (kind, status, controller, value, delta, end-of-list mark).
//
// Holds to: a bound controller sets its parameter to value / 127 (the value
// byte read signed and held to 0..127), the last message winning; nothing
// else moves those parameters; every list answers 1; blocks stay finite.
#include "params/ParameterTable.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using namespace fuzz;
namespace p = params;

// Parameters that a write changes alone, with no mode or side effect.
constexpr int kPlain[] = {p::Input,  p::Output, p::Mix,    p::FbGainL, p::FbGainR, p::FbPanL,  p::FbPanR,   p::LFORate,
                          p::ModSrc, p::Cutoff, p::Reso, p::RvbAmt, p::DlyPanL, p::DlyPanR, p::DlyGateL, p::Ducking};

struct EventList {
  std::vector<vst::VstMidiEvent> records;
  std::vector<vst::VstEvent*> pointers;
  Bytes storage;

  vst::VstEvents* build() {
    pointers.clear();
    for (auto& r : records) pointers.push_back(reinterpret_cast<vst::VstEvent*>(&r));
    storage.assign(offsetof(vst::VstEvents, events) + std::max<size_t>(2, pointers.size()) * sizeof(void*), 0);
    auto* events = reinterpret_cast<vst::VstEvents*>(storage.data());
    events->numEvents = static_cast<int32_t>(pointers.size());
    if (!pointers.empty())
      std::memcpy(storage.data() + offsetof(vst::VstEvents, events), pointers.data(),
                  pointers.size() * sizeof(void*));
    return events;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Effect& effect = Effect::get();
  Host::current().chooseTime(in);
  effect.reset();

  // Bindings as a MIDI-settings load makes them; a later binding of the same
  // controller takes it over.
  int driven[128];
  std::fill(std::begin(driven), std::end(driven), -1);
  const int bindings = in.byte() % 12;
  for (int b = 0; b < bindings; ++b) {
    const int param = kPlain[in.byte() % std::size(kPlain)];
    const int cc = in.byte() & 0x7f;
    for (int& p : driven)
      if (p == param) p = -1;
    driven[cc] = param;
    effect.setParameter(params::kNumParams + param, static_cast<float>((cc + 0.5) / 129));
  }
  float expected[params::kNumParams];
  for (int p : kPlain) expected[p] = effect.getParameter(p);

  EventList list;
  for (int lists = 0; !in.empty() && lists < 64;) {
    vst::VstMidiEvent event{};
    const uint8_t kind = in.byte();
    // Mostly MIDI events; some of other types that must be passed over.
    event.type = kind < 200 ? int32_t{vst::kVstMidiType} : (kind < 230 ? int32_t{vst::kVstSysExType} : int32_t{kind});
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.midiData[0] = static_cast<char>(in.byte());
    event.midiData[1] = static_cast<char>(in.byte());
    event.midiData[2] = static_cast<char>(in.byte());
    event.deltaFrames = in.byte() % 64;
    const bool endOfList = in.byte() & 1;
    list.records.push_back(event);

    const auto status = static_cast<uint8_t>(event.midiData[0]);
    const auto cc = static_cast<uint8_t>(event.midiData[1]);
    if (event.type == vst::kVstMidiType && (status & 0xf0) == 0xb0 && cc < 128 && driven[cc] >= 0) {
      int value = static_cast<signed char>(event.midiData[2]);
      value = std::clamp(value, 0, 127);
      expected[driven[cc]] = static_cast<float>(value / 127.0);
    }
    if (endOfList || in.empty() || list.records.size() >= 256) {
      FUZZ_CHECK(effect.dispatch(vst::effProcessEvents, 0, 0, list.build()) == 1, "an event list is not taken");
      list.records.clear();
      processBlock(effect, in, 32, lists & 1);
      ++lists;
    }
  }
  for (int p : kPlain)
    FUZZ_CHECK(effect.getParameter(p) == expected[p], "parameter %d reads %g, not %g", p, effect.getParameter(p),
               expected[p]);
  checkState(effect);
  return 0;
}
