#include "state/FactoryPresets.h"

namespace state {

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

// quarter-note echoes answering across the sides: the right on the beat, the left an eighth later; ducked
constexpr Values kPingPong{
    0.5f, 0.58f, 0.36f, 0.09f, 0.09f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 1.0f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.34f, 0.166667f, 1.0f, 1.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.25f, 0.0f, 0.0f, 0.0f, 0.25f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 0.39f, 0.5f, 0.25f, 0.083333f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a deep, slow flanger: 6 ms lines swept far by a slow sine, strong inverted feedback, into a plate
constexpr Values kMetaFlanger{
    0.5f, 0.58f, 0.72f, 0.736f, 0.736f, 0.1365f, 0.8625f, 0.75f, 0.75f, 0.0f,
    0.064843f, 0.26f, 0.464f, 0.3905f, 0.0f, 0.469f, 0.11307f, 0.5f, 0.79f, 0.25f,
    0.25f, 0.775f, 0.617778f, 0.0f, 0.0f, 0.0f, 0.3f, 0.1f, 0.423077f, 0.269231f,
    0.5f, 0.833334f, 0.0f, 0.7f, 0.0f, 0.006f, 0.006f, 0.0f, 1.0f, 0.3235f,
    0.4685f, 0.25f, 0.25f, 0.0f, 0.5f, 0.75f, 0.25f, 0.6825f, 0.0f, 0.59f,
    0.705f, 0.39f, 1.0f, 0.35f, 0.25f, 0.25f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// quarter-triplet and quarter repeats crossing sides through a resonant high-pass that breathes with the input
constexpr Values kBassDrone{
    0.4985f, 0.62f, 0.62f, 0.165f, 0.3365f, 0.968f, 0.0f, 0.25f, 0.25f, 0.1f,
    0.057525f, 0.525f, 0.2085f, 0.654f, 1.0f, 0.3875f, 0.492443f, 0.5f, 0.495f, 0.25f,
    0.25f, 0.025f, 0.805f, 0.5f, 0.75f, 0.75f, 0.1f, 0.1f, 0.346154f, 0.269231f,
    0.5f, 0.5f, 0.5f, 0.3f, 0.0f, 0.542f, 0.361f, 0.0f, 1.0f, 0.3f,
    0.435f, 0.25f, 0.5f, 0.0f, 0.5f, 0.25f, 0.25f, 0.93f, 0.0f, 1.0f,
    0.235f, 0.235f, 0.25f, 0.485f, 0.083333f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// The sounds of the programs below are tuned at 120 BPM where they follow the
// tempo. Stepped values sit at their step centres; a program that uses drive
// or cut-off modulation sets both enabling switches (43, 44) to 1, for a
// switch below 0.5 would silence them when the program is applied.

// a high thin veil - dotted quarter and half notes partly crossing, slow chorus drift in antiphase, soft plate
constexpr Values kCirrostratus{
    0.5f, 0.56f, 0.42f, 0.62f, 0.62f, 0.35f, 0.65f, 0.25f, 0.25f, 0.1f,
    0.0746646f, 1.0f, 0.0f, 0.5f, 0.166667f, 0.722362f, 0.1f, 0.5f, 0.506f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.25f,
    0.45f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// shape-shifting triplet shadows - every other repeat inverted, a band-pass that drifts over two bars, dark spring
constexpr Values kNagual{
    0.5f, 0.56f, 0.45f, 0.5f, 0.5f, 0.0f, 1.0f, 0.75f, 0.25f, 0.5f,
    0.5f, 0.75f, 0.0f, 0.62f, 0.5f, 0.479506f, 0.2f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.346154f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.3f, 0.0384615f, 0.4f, 0.4f, 0.0f, 0.0f, 0.3f,
    0.4f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.25f, 0.115385f, 0.192308f, 0.0f, 0.0f,
};

// the clean console echo - dotted eighth left, quarter right, repeats just a little darker each time
constexpr Values kStudioOne{
    0.5f, 0.55f, 0.3f, 0.38f, 0.38f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.847003f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a tight rockabilly slapback - 92/108 ms, one hard repeat, a touch of grit, no tempo
constexpr Values kBitchSlap{
    0.5f, 0.56f, 0.4f, 0.12f, 0.12f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.767524f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.18f, 0.5f, 0.833333f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.166667f, 0.5f, 0.5f, 0.1f, 0.0f, 0.92f, 0.108f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.2f, 0.8f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// golden tape echo - warm low-passed repeats with gentle wow and a little spring
constexpr Values kElDorado{
    0.5f, 0.56f, 0.38f, 0.55f, 0.5f, 0.2f, 0.8f, 0.25f, 0.25f, 0.1f,
    0.169518f, 0.6f, 0.0f, 0.5f, 0.166667f, 0.669005f, 0.15f, 0.5f, 0.5035f, 0.25f,
    0.25f, 0.12f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.45f,
    0.25f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a bright living ocean - high-passed ringing repeats on half and five-sixteenth notes over a long plate
constexpr Values kSolaris{
    0.5f, 0.57f, 0.45f, 0.55f, 0.55f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.0504085f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.357248f, 0.15f, 0.5f, 0.505f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.5f, 0.115385f, 0.576923f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.1f,
    0.55f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a vocal delay that waits its turn - ping-pong quarter and dotted quarter, ducked under the voice, airy plate
constexpr Values kOracle{
    0.5f, 0.56f, 0.4f, 0.48f, 0.48f, 0.8f, 0.2f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.819264f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.2f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.3f, 0.269231f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.4f,
    0.3f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 0.25f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// repeats that curl away - a low-pass wandering at random in the loop, dissolving into spring haze
constexpr Values kUpInSmoke{
    0.5f, 0.55f, 0.42f, 0.6f, 0.6f, 0.0f, 1.0f, 0.25f, 0.25f, 0.9f,
    0.284376f, 1.0f, 0.0f, 0.35f, 0.166667f, 0.582053f, 0.1f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.2f,
    0.45f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a music box with a shaky motor - eighth and quarter-triplet repeats with fast warble, small band
constexpr Values kLullabyForARobot{
    0.5f, 0.56f, 0.38f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.5f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.60312f, 0.45f, 0.5f, 0.501f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.1f, 0.423077f, 0.346154f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.576923f, 0.4f, 0.4f, 0.0f, 0.0f, 0.5f,
    0.2f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a spray of tiny echoes - 1/48 and 1/64 notes crossing over, randomly re-pitched, high-passed into a plate
constexpr Values kAtomizer{
    0.5f, 0.56f, 0.45f, 0.72f, 0.72f, 0.7f, 0.3f, 0.25f, 0.25f, 0.9f,
    0.830482f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.530694f, 0.2f, 0.5f, 0.62f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.1f, 0.807692f, 0.884615f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.3f,
    0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// sixteenths against eighth triplets bouncing side to side, lean and gated, no mud
constexpr Values kFasttrack{
    0.5f, 0.57f, 0.35f, 0.55f, 0.55f, 1.0f, 0.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.286828f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.576923f, 0.5f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.12f, 0.12f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// thin air at the edge of space - whole and dotted half notes, high-passed, slow drift, huge bright plate
constexpr Values kExosphere{
    0.5f, 0.56f, 0.45f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.0277578f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.434973f, 0.1f, 0.5f, 0.503f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.0384615f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.05f,
    0.6f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.1f, 0.9f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a lush stereo chorus - 8 and 12 ms lines swept by a triangle half a cycle apart, tempo-free
constexpr Values kOctachoron{
    0.5f, 0.52f, 0.5f, 0.15f, 0.15f, 0.0f, 1.0f, 0.25f, 0.25f, 0.5f,
    0.211999f, 1.0f, 0.0f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.62f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.166667f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.166667f, 0.166667f, 0.166667f, 0.1f, 0.0f, 0.08f, 0.12f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a resonant band-pass sweeping the repeats up and down once a bar, like something landing
constexpr Values kCloseEncounter{
    0.5f, 0.56f, 0.4f, 0.6f, 0.6f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.75f, 0.0f, 0.8f, 0.5f, 0.530694f, 0.72f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.115385f, 0.4f, 0.4f, 0.0f, 1.0f, 0.4f,
    0.25f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// soft, muffled repeats - a low-pass at 750 Hz in the loop and a dark spring
constexpr Values kCottonWool{
    0.5f, 0.56f, 0.4f, 0.55f, 0.55f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.121357f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.447179f, 0.0f, 0.5f, 0.5015f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.5f, 0.269231f, 0.576923f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.6f,
    0.35f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// ping-pong repeats that keep sliding in pitch as a slow saw bends the clock
constexpr Values kVertigo{
    0.5f, 0.56f, 0.4f, 0.62f, 0.62f, 0.85f, 0.15f, 0.25f, 0.25f, 0.7f,
    0.5f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.255549f, 0.0f, 0.5f, 0.65f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.7f, 0.0384615f, 0.4f, 0.4f, 0.0f, 1.0f, 0.3f,
    0.3f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// drowned echoes - a resonant low-pass swaying slowly in the loop, wavering clock, deep spring
constexpr Values kRapturesOfTheDeep{
    0.5f, 0.58f, 0.45f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.0408747f, 0.85f, 0.0f, 0.62f, 0.166667f, 0.392444f, 0.25f, 0.5f, 0.503f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.115385f, 0.423077f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.35f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a shadow a step behind - gated quarters, the right a sixteenth later and inverted; only loud notes follow
constexpr Values kStalker{
    0.5f, 0.56f, 0.4f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.570519f, 0.3f, 0.5f, 0.5f, 0.25f,
    0.75f, 0.0f, 0.15f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.3f, 0.3f, 1.0f, 0.5f, 0.0f, 0.25f, 0.115385f, 0.269231f, 0.0f, 0.0f,
};

// punchy driven sixteenth and eighth ping-pong with a gate that keeps it tight
constexpr Values kBumper{
    0.5f, 0.58f, 0.38f, 0.45f, 0.45f, 1.0f, 0.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.217683f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.3f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.576923f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.2f, 0.2f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// pre-delays turn one note into an arpeggio - eighths and dotted eighths entering late, ping-ponging in the air
constexpr Values kAirpeggiator{
    0.5f, 0.56f, 0.4f, 0.55f, 0.55f, 1.0f, 0.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.375703f, 0.2f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.423077f, 0.576923f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.3f,
    0.3f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.25f, 0.25f, 0.115385f, 0.0384615f, 0.0f, 0.0f,
};

// eerie long echoes through a wandering band-pass, half and dotted half notes, a distant plate
constexpr Values kHangingRock{
    0.5f, 0.56f, 0.48f, 0.5f, 0.5f, 0.3f, 0.7f, 0.25f, 0.25f, 0.9f,
    0.0946279f, 0.5f, 0.0f, 0.6f, 0.5f, 0.49823f, 0.15f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.115385f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.2f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// 45/62 ms lines feeding each other at full gain through a resonant low-pass - a self-sustaining whirl
constexpr Values kWormhole{
    0.5f, 0.3f, 0.45f, 1.0f, 1.0f, 0.5f, 0.5f, 0.25f, 0.25f, 0.7f,
    0.0504085f, 0.5f, 0.0f, 0.7f, 0.166667f, 0.479506f, 0.88f, 0.5f, 0.58f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.166667f, 0.166667f, 0.166667f, 0.1f, 0.0f, 0.45f, 0.62f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// bright, high-passed repeats with a faint shimmer into an undamped plate
constexpr Values kIllumination{
    0.5f, 0.57f, 0.42f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.146241f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.479506f, 0.0f, 0.5f, 0.504f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.0f,
    0.55f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// two streams of 1/32 and 1/24 notes smashing across the stereo field, driven, inverted, resonant
constexpr Values kHadronCollider{
    0.5f, 0.6f, 0.42f, 0.6f, 0.6f, 1.0f, 0.0f, 0.75f, 0.75f, 0.7f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.336686f, 0.15f, 0.5f, 0.56f, 0.25f,
    0.25f, 0.45f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.730769f, 0.653846f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.269231f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// the right line has no input and lives off the left's repeats; a band-pass that feeds on your dynamics
constexpr Values kParasite{
    0.5f, 0.57f, 0.45f, 0.5f, 0.6f, 0.5f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 1.0f, 0.8f, 0.5f, 0.458611f, 0.15f, 0.5f, 0.5f, 0.25f,
    0.75f, 0.0f, 0.3f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.423077f, 0.576923f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.6f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 1.0f,
};

// squeezed and pumping - compressed input, eighth-note repeats ducked hard by the dry signal
constexpr Values kPressure{
    0.55f, 0.58f, 0.45f, 0.6f, 0.6f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.786468f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.6f, 0.08f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.1f, 0.423077f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 0.3f, 0.5f, 0.0f, 0.25f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a shaking band-pass at the edge of self-oscillation, random clock jitter on eighth-triplet and sixteenth lines
constexpr Values kDeliriumTremens{
    0.5f, 0.4f, 0.42f, 0.97f, 0.97f, 0.0f, 1.0f, 0.25f, 0.25f, 0.9f,
    0.75f, 1.0f, 0.0f, 0.62f, 0.5f, 0.515192f, 0.82f, 0.5f, 0.52f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.5f, 0.576923f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.6f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// sparse repeats seconds apart (2.4 s and 3.1 s), dulled and lost in a long spring, tempo-free
constexpr Values kDesolation{
    0.5f, 0.56f, 0.4f, 0.45f, 0.45f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.60312f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.833333f, 0.833333f, 0.5f, 0.1f, 0.0f, 0.48f, 0.62f, 0.0f, 0.0f, 0.0f,
    0.45f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.15f, 0.85f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a shimmering double image - one side inverted and both slowly detuned, high-passed into a plate
constexpr Values kMirage{
    0.5f, 0.56f, 0.4f, 0.45f, 0.45f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.10824f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.336686f, 0.0f, 0.5f, 0.506f, 0.25f,
    0.75f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.3f,
    0.25f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// every repeat sinks a little lower as a falling saw slows the clock, into a darkening spring
constexpr Values kDescent{
    0.5f, 0.56f, 0.42f, 0.7f, 0.7f, 0.0f, 1.0f, 0.25f, 0.25f, 0.7f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.694683f, 0.0f, 0.5f, 0.2f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.269231f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.9f, 0.0384615f, 0.4f, 0.4f, 0.0f, 0.0f, 0.3f,
    0.3f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// long legato ping-pong that steps aside while you play and flows back in the gaps
constexpr Values kLetItFlow{
    0.5f, 0.56f, 0.4f, 0.58f, 0.58f, 0.75f, 0.25f, 0.25f, 0.25f, 0.1f,
    0.0946279f, 1.0f, 0.0f, 0.5f, 0.166667f, 0.706269f, 0.0f, 0.5f, 0.504f, 0.25f,
    0.25f, 0.0f, 0.25f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.4f,
    0.35f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 0.55f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a wide, slowly waving curtain - long crossing repeats, triangle drift 180 degrees apart, big plate
constexpr Values kAuroraBorealis{
    0.5f, 0.56f, 0.48f, 0.72f, 0.72f, 0.3f, 0.7f, 0.25f, 0.25f, 0.5f,
    0.0343759f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.233796f, 0.0f, 0.5f, 0.506f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.3f, 0.115385f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.1f,
    0.62f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// wind over open land - whole and dotted half notes through a band-pass gusting at random, long spring
constexpr Values kPatagonia{
    0.5f, 0.56f, 0.48f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.9f,
    0.121357f, 0.5f, 0.0f, 0.68f, 0.5f, 0.544969f, 0.15f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.0384615f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.1f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a childhood memory on old tape - narrow band, a little saturation and wow, a spring in the back
constexpr Values kAsaNisiMasa{
    0.5f, 0.57f, 0.4f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.2315f, 0.5f, 0.0f, 0.5f, 0.5f, 0.582053f, 0.35f, 0.5f, 0.504f, 0.25f,
    0.25f, 0.15f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.5f, 0.423077f, 0.576923f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.35f,
    0.3f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// heavy footsteps - driven half notes, the right one a quarter behind, low-passed hard at 380 Hz
constexpr Values kSauropod{
    0.55f, 0.57f, 0.45f, 0.55f, 0.55f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.327756f, 0.1f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.35f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.115385f, 0.115385f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.25f, 0.115385f, 0.269231f, 0.0f, 0.0f,
};

// clean digital repeats with an envelope-following band-pass - the harder you play, the brighter they talk
constexpr Values kSiliconSoul{
    0.5f, 0.57f, 0.4f, 0.45f, 0.45f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 1.0f, 0.85f, 0.5f, 0.515192f, 0.45f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.05f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.3f, 0.423077f, 0.576923f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.55f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// the same quarter-note echo on both sides, the right one entering an eighth later and answering
constexpr Values kTwinBrothers{
    0.5f, 0.56f, 0.4f, 0.5f, 0.5f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.819264f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.25f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// loud hits make the resonant low-pass flare open - driven, inverted right loop
constexpr Values kBackdraft{
    0.5f, 0.6f, 0.42f, 0.45f, 0.45f, 0.0f, 1.0f, 0.25f, 0.75f, 0.1f,
    0.5f, 0.5f, 0.85f, 0.9f, 0.166667f, 0.479506f, 0.25f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.5f, 0.1f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.7f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// soft, slightly detuned long repeats drifting into a warm plate
constexpr Values kDaydreaming{
    0.5f, 0.56f, 0.42f, 0.6f, 0.6f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.080482f, 1.0f, 0.0f, 0.5f, 0.166667f, 0.639055f, 0.0f, 0.5f, 0.505f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.35f,
    0.45f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.25f, 0.0f, 0.269231f, 0.115385f, 0.0f, 0.0f,
};

// hard-driven, telephone-narrow triplet slaps
constexpr Values kDirtyHarry{
    0.6f, 0.55f, 0.4f, 0.45f, 0.45f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.570519f, 0.4f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.75f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.1f, 0.5f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a stone vault - 63/91 ms crossing reflections and the dry signal sent into a long plate, tempo-free
constexpr Values kCisternaMagna{
    0.5f, 0.68f, 0.5f, 0.72f, 0.72f, 0.35f, 0.65f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 0.746353f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.166667f, 0.166667f, 0.5f, 0.1f, 0.0f, 0.63f, 0.91f, 1.0f, 1.0f, 0.05f,
    0.55f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a metallic 2.5/3.5 ms flanger with strong feedback, shut off by a gate when the note ends, tempo-free
constexpr Values kSilverGate{
    0.5f, 0.56f, 0.5f, 0.62f, 0.62f, 0.0f, 1.0f, 0.25f, 0.25f, 0.5f,
    0.146241f, 0.75f, 0.0f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.72f, 0.25f,
    0.25f, 0.0f, 0.1f, 0.166667f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.166667f, 0.166667f, 0.166667f, 0.1f, 0.0f, 0.025f, 0.035f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.25f, 0.25f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// bubbling resonant low-pass jumping at random in a loop of sixteenths and eighth triplets
constexpr Values kPrimalSoup{
    0.5f, 0.56f, 0.45f, 0.38f, 0.38f, 0.0f, 1.0f, 0.25f, 0.25f, 0.9f,
    0.580482f, 0.5f, 0.0f, 0.75f, 0.166667f, 0.434973f, 0.35f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.576923f, 0.5f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.4f,
    0.35f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.55f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// piercing - driven 1/32 and 1/48 ping-pong through a resonant high-pass, the clock flipping on a square
constexpr Values kOrbitoclast{
    0.5f, 0.58f, 0.42f, 0.42f, 0.42f, 1.0f, 0.0f, 0.25f, 0.25f, 0.3f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.570519f, 0.3f, 0.5f, 0.6f, 0.25f,
    0.25f, 0.7f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.730769f, 0.807692f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.423077f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// glassy ringing repeats - a resonant high-pass in the loop, an undamped plate
constexpr Values kCrystalline{
    0.5f, 0.6f, 0.42f, 0.38f, 0.38f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.654651f, 0.35f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.0f,
    0.45f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// the left echo leads, the right hears nothing but what the left hands over, inverted
constexpr Values kMasterAndServant{
    0.5f, 0.56f, 0.42f, 0.62f, 0.5f, 0.45f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.75f, 0.0f, 0.5f, 0.166667f, 1.0f, 1.0f, 0.1f, 0.3f, 0.269231f, 0.576923f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 1.0f,
};

// lazy, seasick repeats - the clock wanders at random, the echoes never quite in time or in tune
constexpr Values kOutToLunch{
    0.5f, 0.56f, 0.4f, 0.55f, 0.55f, 0.0f, 1.0f, 0.25f, 0.25f, 0.9f,
    0.191384f, 1.0f, 0.0f, 0.5f, 0.166667f, 0.661971f, 0.0f, 0.5f, 0.508f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.25f,
    0.25f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// the underworld - inverted, resonant sub-low repeats, a filter that drops every two bars, dark spring
constexpr Values kXibalba{
    0.55f, 0.57f, 0.45f, 0.45f, 0.45f, 0.0f, 1.0f, 0.75f, 0.75f, 0.3f,
    0.5f, 0.5f, 0.0f, 0.4f, 0.166667f, 0.297963f, 0.2f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.423077f, 0.115385f,
    0.833334f, 0.833334f, 0.5f, 0.3f, 0.0384615f, 0.4f, 0.4f, 0.0f, 0.0f, 0.15f,
    0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// pale bright reflections - 130/175 ms high-passed early echoes into a plate, tempo-free
constexpr Values kAlbedo{
    0.5f, 0.57f, 0.4f, 0.42f, 0.42f, 0.3f, 0.7f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.530694f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 0.0f, 0.0f, 0.1f, 0.1f, 0.269231f, 0.269231f,
    0.5f, 0.5f, 0.5f, 0.1f, 0.0f, 0.13f, 0.175f, 0.0f, 1.0f, 0.25f,
    0.5f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// hard bursts - driven 1/24 and 1/32 notes through a screaming high-pass stepped by a sixteenth square
constexpr Values kGammaRay{
    0.5f, 0.56f, 0.38f, 0.35f, 0.35f, 0.0f, 1.0f, 0.25f, 0.25f, 0.3f,
    0.5f, 0.5f, 0.0f, 0.75f, 0.833333f, 0.621981f, 0.35f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.55f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.653846f, 0.730769f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.576923f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// the dub echo - dotted eighth and quarter, heavy feedback through a slowly swept low-pass, driven spring
constexpr Values kRubADub{
    0.5f, 0.57f, 0.45f, 0.65f, 0.65f, 0.8f, 0.2f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.65f, 0.166667f, 0.570519f, 0.15f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.2f, 0.5f, 0.5f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.269231f,
    0.833334f, 0.833334f, 0.5f, 0.7f, 0.0384615f, 0.4f, 0.4f, 0.0f, 0.0f, 0.25f,
    0.35f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// sparking glitches - 1/96 and 1/64 note loops, the clock jumping on a sixteenth square, driven and gated
constexpr Values kShortCircuit{
    0.5f, 0.58f, 0.4f, 0.6f, 0.6f, 0.0f, 1.0f, 0.25f, 0.25f, 0.3f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.434973f, 0.0f, 0.5f, 0.7f, 0.25f,
    0.25f, 0.6f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.1f, 0.1f, 0.961538f, 0.884615f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.576923f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.2f, 0.2f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// everything pulled into one vast space - long heavy repeats and the dry signal inside an undamped plate
constexpr Values kGreatAttractor{
    0.5f, 0.68f, 0.55f, 0.65f, 0.65f, 0.3f, 0.7f, 0.25f, 0.25f, 0.1f,
    0.0343759f, 1.0f, 0.0f, 0.5f, 0.166667f, 0.786468f, 0.0f, 0.5f, 0.503f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.5f, 1.0f, 1.0f, 0.1f, 0.3f, 0.0384615f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 1.0f, 1.0f, 0.0f,
    0.6f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// squelchy - a screaming resonant low-pass opened by the envelope, driven dotted sixteenths
constexpr Values kAcidReflux{
    0.5f, 0.56f, 0.42f, 0.55f, 0.55f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 1.0f, 0.8f, 0.166667f, 0.49823f, 0.78f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.4f, 0.05f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.1f, 0.576923f, 0.423077f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.7f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// a very wide stare - half-note triplet against half note, one side inverted, crossing over, detuned, plate
constexpr Values kBigEye{
    0.5f, 0.56f, 0.45f, 0.55f, 0.55f, 0.6f, 0.4f, 0.25f, 0.25f, 0.1f,
    0.0657586f, 1.0f, 0.0f, 0.5f, 0.166667f, 1.0f, 0.0f, 0.5f, 0.504f, 0.25f,
    0.75f, 0.0f, 0.5f, 0.166667f, 1.0f, 1.0f, 0.1f, 0.1f, 0.192308f, 0.115385f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.3f,
    0.35f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// nervous fast triplets and sixteenths that burst out the moment you stop
constexpr Values kFightOrFlight{
    0.5f, 0.57f, 0.45f, 0.7f, 0.7f, 1.0f, 0.0f, 0.25f, 0.25f, 0.1f,
    0.5f, 0.5f, 0.0f, 0.5f, 0.833333f, 0.407762f, 0.0f, 0.5f, 0.5f, 0.25f,
    0.25f, 0.25f, 0.06f, 0.5f, 1.0f, 1.0f, 0.1f, 0.1f, 0.5f, 0.576923f,
    0.833334f, 0.833334f, 0.5f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 0.0f, 0.0f,
    0.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 0.35f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

// 3 s and 2.5 s repeats drifting away forever-almost into an undamped plate
constexpr Values kBeyondTheStars{
    0.5f, 0.56f, 0.5f, 0.45f, 0.45f, 0.0f, 1.0f, 0.25f, 0.25f, 0.1f,
    0.0244027f, 1.0f, 0.0f, 0.5f, 0.833333f, 0.286828f, 0.0f, 0.5f, 0.503f, 0.25f,
    0.25f, 0.0f, 0.5f, 0.833333f, 1.0f, 1.0f, 0.3f, 0.5f, 0.115385f, 0.269231f,
    0.833334f, 0.833334f, 0.166667f, 0.1f, 0.0f, 0.4f, 0.4f, 0.0f, 1.0f, 0.2f,
    0.7f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 0.0f, 0.115385f, 0.115385f, 0.0f, 0.0f,
};

constexpr std::array<FactoryPreset, kNumPrograms> kFactory{{
    {"Default", kDefault},
    {"Cirrostratus", kCirrostratus},
    {"Nagual", kNagual},
    {"Studio One", kStudioOne},
    {"Bitch Slap", kBitchSlap},
    {"El Dorado", kElDorado},
    {"Solaris", kSolaris},
    {"Oracle", kOracle},
    {"Up In Smoke", kUpInSmoke},
    {"Lullaby For A Robot", kLullabyForARobot},
    {"Atomizer", kAtomizer},
    {"Fasttrack", kFasttrack},
    {"Exosphere", kExosphere},
    {"Octachoron", kOctachoron},
    {"Close Encounter", kCloseEncounter},
    {"Cotton Wool", kCottonWool},
    {"Vertigo", kVertigo},
    {"Raptures Of The Deep", kRapturesOfTheDeep},
    {"Stalker", kStalker},
    {"Bumper", kBumper},
    {"Airpeggiator", kAirpeggiator},
    {"Hanging Rock", kHangingRock},
    {"Wormhole", kWormhole},
    {"Illumination", kIllumination},
    {"Ping Pong", kPingPong},
    {"Hadron Collider", kHadronCollider},
    {"Parasite", kParasite},
    {"Pressure", kPressure},
    {"Delirium Tremens", kDeliriumTremens},
    {"Desolation", kDesolation},
    {"Mirage", kMirage},
    {"Descent", kDescent},
    {"Let It Flow", kLetItFlow},
    {"Aurora Borealis", kAuroraBorealis},
    {"Meta Flanger", kMetaFlanger},
    {"Patagonia", kPatagonia},
    {"Asa Nisi Masa", kAsaNisiMasa},
    {"Sauropod", kSauropod},
    {"Silicon Soul", kSiliconSoul},
    {"Twin Brothers", kTwinBrothers},
    {"Backdraft", kBackdraft},
    {"Daydreaming", kDaydreaming},
    {"Dirty Harry", kDirtyHarry},
    {"Cisterna Magna", kCisternaMagna},
    {"Silver Gate", kSilverGate},
    {"Primal Soup", kPrimalSoup},
    {"Orbitoclast", kOrbitoclast},
    {"Crystalline", kCrystalline},
    {"Master And Servant", kMasterAndServant},
    {"Out To Lunch", kOutToLunch},
    {"Xibalba", kXibalba},
    {"Albedo", kAlbedo},
    {"Gamma Ray", kGammaRay},
    {"Rub A Dub", kRubADub},
    {"Short Circuit", kShortCircuit},
    {"Great Attractor", kGreatAttractor},
    {"Acid Reflux", kAcidReflux},
    {"Big Eye", kBigEye},
    {"Fight Or Flight", kFightOrFlight},
    {"Beyond The Stars", kBeyondTheStars},
    {"Bass Drone", kBassDrone},
}};

}  // namespace

const std::array<FactoryPreset, kNumPrograms>& factoryPresets() { return kFactory; }

}  // namespace state
