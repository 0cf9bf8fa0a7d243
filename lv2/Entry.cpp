// The LV2 entry: the descriptor a host finds in the bundle's DSP binary.
// Nothing throws into the host: an instance that cannot be made is null.
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <new>

#include "lv2/TavrelDsp.h"

namespace {

using lv2plugin::TavrelDsp;

TavrelDsp* dsp(LV2_Handle handle) { return static_cast<TavrelDsp*>(handle); }

// The block length the host promises, where it says (the engine sizes its
// input meters by it); any length still plays.
int blockLengthFrom(const LV2_Options_Option* options, const LV2_URID_Map* map) {
  if (!options || !map) return 0;
  const LV2_URID nominal = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
  const LV2_URID maximum = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
  int found = 0;
  for (const LV2_Options_Option* o = options; o->key; ++o) {
    if (o->type != atomInt || o->size != sizeof(int32_t) || !o->value) continue;
    if (o->key == nominal) return *static_cast<const int32_t*>(o->value);
    if (o->key == maximum) found = *static_cast<const int32_t*>(o->value);
  }
  return found;
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
  const LV2_URID_Map* map = nullptr;
  const LV2_Worker_Schedule* schedule = nullptr;
  const LV2_Options_Option* options = nullptr;
  for (int i = 0; features && features[i]; ++i) {
    const LV2_Feature* f = features[i];
    if (!std::strcmp(f->URI, LV2_URID__map)) map = static_cast<const LV2_URID_Map*>(f->data);
    else if (!std::strcmp(f->URI, LV2_WORKER__schedule)) schedule = static_cast<const LV2_Worker_Schedule*>(f->data);
    else if (!std::strcmp(f->URI, LV2_OPTIONS__options)) options = static_cast<const LV2_Options_Option*>(f->data);
  }
  if (!(rate > 0.0)) return nullptr;
  try {
    return new TavrelDsp(rate, map, schedule, blockLengthFrom(options, map));
  } catch (...) {
    return nullptr;
  }
}

void connectPort(LV2_Handle h, uint32_t port, void* data) { dsp(h)->connect(port, data); }
void activate(LV2_Handle h) { dsp(h)->activate(); }
void run(LV2_Handle h, uint32_t frames) { dsp(h)->run(frames); }
void deactivate(LV2_Handle h) { dsp(h)->deactivate(); }
void cleanup(LV2_Handle h) { delete dsp(h); }

LV2_State_Status save(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*) {
  try {
    return dsp(h)->save(store, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restore(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                         const LV2_Feature* const*) {
  try {
    return dsp(h)->restore(retrieve, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_Worker_Status work(LV2_Handle h, LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                       uint32_t size, const void* data) {
  try {
    return dsp(h)->work(respond, handle, size, data);
  } catch (...) {
    return LV2_WORKER_ERR_UNKNOWN;
  }
}

LV2_Worker_Status workResponse(LV2_Handle h, uint32_t size, const void* data) {
  return dsp(h)->workResponse(size, data);
}

const void* extensionData(const char* uri) {
  static const LV2_State_Interface state{save, restore};
  static const LV2_Worker_Interface worker{work, workResponse, nullptr};
  if (!std::strcmp(uri, LV2_STATE__interface)) return &state;
  if (!std::strcmp(uri, LV2_WORKER__interface)) return &worker;
  return nullptr;
}

const LV2_Descriptor kDescriptor{lv2plugin::kPluginUri, instantiate, connectPort, activate, run,
                                 deactivate,            cleanup,     extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
