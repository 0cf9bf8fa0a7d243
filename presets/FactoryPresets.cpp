#include "presets/FactoryPresets.h"

namespace presets {

namespace {

using Values = std::array<float, params::kNumParams>;

// Every parameter at its default: quarter notes on both sides, no feedback,
// half wet, clock modulation ready, filter and reverb off.
constexpr Values kDefault{
    0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,                  // 0-9
    0.5f, 0.5f, 0.5f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.5f, 0.25f,              // 10-19
    0.25f, 0.0f, 0.5f, 0.166667f, 1.0f, 1.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,    // 20-29
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,          // 30-39
    0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,                    // 40-49
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,          // 50-59
};

constexpr Values kPingPong{
    0.5f, 0.58f, 0.36f, 0.09f, 0.09f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 1.0f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.34f, 0.166667f, 1.0f, 1.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.25f, 0.0f, 0.0f, 0.0f, 0.25f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 0.39f, 0.5f, 0.25f, 0.083333f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

constexpr Values kMetaFlanger{
    0.5f, 0.58f, 0.72f, 0.736f, 0.736f, 0.1365f, 0.8625f, 0.75f, 0.75f, 0.0f,
    0.064843f, 0.26f, 0.464f, 0.3905f, 0.0f, 0.469f, 0.11307f, 0.5f, 0.79f, 0.25f,
    0.25f, 0.775f, 0.617778f, 0.0f, 0.0f, 0.0f, 0.3f, 0.1f, 0.423077f, 0.269231f,
    0.5f, 0.833334f, 0.0f, 0.7f, 0.0f, 0.006f, 0.006f, 0.0f, 1.0f, 0.3235f,
    0.4685f, 0.25f, 0.25f, 0.0f, 0.5f, 0.75f, 0.25f, 0.6825f, 0.0f, 0.59f,
    0.705f, 0.39f, 1.0f, 0.35f, 0.25f, 0.25f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

constexpr Values kBassDrone{
    0.4985f, 0.62f, 0.62f, 0.165f, 0.3365f, 0.968f, 0.0f, 0.25f, 0.25f, 0.1f,
    0.057525f, 0.525f, 0.2085f, 0.654f, 1.0f, 0.3875f, 0.492443f, 0.5f, 0.495f, 0.25f,
    0.25f, 0.025f, 0.805f, 0.5f, 0.75f, 0.75f, 0.1f, 0.1f, 0.346154f, 0.269231f,
    0.5f, 0.5f, 0.5f, 0.3f, 0.0f, 0.542f, 0.361f, 0.0f, 1.0f, 0.3f,
    0.435f, 0.25f, 0.5f, 0.0f, 0.5f, 0.25f, 0.25f, 0.93f, 0.0f, 1.0f,
    0.235f, 0.235f, 0.25f, 0.485f, 0.083333f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// Programs whose sound is still to be designed start from the defaults.
constexpr std::array<FactoryPreset, kNumPrograms> kFactory{{
    {"Default", kDefault},
    {"Cirrostratus", kDefault},
    {"Nagual", kDefault},
    {"Studio One", kDefault},
    {"Bitch Slap", kDefault},
    {"El Dorado", kDefault},
    {"Solaris", kDefault},
    {"Oracle", kDefault},
    {"Up In Smoke", kDefault},
    {"Lullaby For A Robot", kDefault},
    {"Atomizer", kDefault},
    {"Fasttrack", kDefault},
    {"Exosphere", kDefault},
    {"Octachoron", kDefault},
    {"Close Encounter", kDefault},
    {"Cotton Wool", kDefault},
    {"Vertigo", kDefault},
    {"Raptures Of The Deep", kDefault},
    {"Stalker", kDefault},
    {"Bumper", kDefault},
    {"Airpeggiator", kDefault},
    {"Hanging Rock", kDefault},
    {"Wormhole", kDefault},
    {"Illumination", kDefault},
    {"Ping Pong", kPingPong},
    {"Hadron Collider", kDefault},
    {"Parasite", kDefault},
    {"Pressure", kDefault},
    {"Delirium Tremens", kDefault},
    {"Desolation", kDefault},
    {"Mirage", kDefault},
    {"Descent", kDefault},
    {"Let It Flow", kDefault},
    {"Aurora Borealis", kDefault},
    {"Meta Flanger", kMetaFlanger},
    {"Patagonia", kDefault},
    {"Asa Nisi Masa", kDefault},
    {"Sauropod", kDefault},
    {"Silicon Soul", kDefault},
    {"Twin Brothers", kDefault},
    {"Backdraft", kDefault},
    {"Daydreaming", kDefault},
    {"Dirty Harry", kDefault},
    {"Cisterna Magna", kDefault},
    {"Silver Gate", kDefault},
    {"Primal Soup", kDefault},
    {"Orbitoclast", kDefault},
    {"Crystalline", kDefault},
    {"Master And Servant", kDefault},
    {"Out To Lunch", kDefault},
    {"Xibalba", kDefault},
    {"Albedo", kDefault},
    {"Gamma Ray", kDefault},
    {"Rub A Dub", kDefault},
    {"Short Circuit", kDefault},
    {"Great Attractor", kDefault},
    {"Acid Reflux", kDefault},
    {"Big Eye", kDefault},
    {"Fight Or Flight", kDefault},
    {"Beyond The Stars", kDefault},
    {"Bass Drone", kBassDrone},
}};

}  // namespace

const std::array<FactoryPreset, kNumPrograms>& factoryPresets() { return kFactory; }

}  // namespace presets
